#!/usr/bin/env python3
"""End-to-end: the real `orvale` program, offscreen, driven from the keyboard through its setup
pages against the loopback server, then Sync on the main screen. The program plays a key script
($ORVALE_UI_SCRIPT) into its own screens and prints what they show."""
import os
import subprocess

import harness
from harness import E2eCase

SETUP_AND_SYNC = """
wait credentials
focus url
key Ctrl+A
type {url}
focus username
type {user}
focus password
type {password}
key F2
wait servertest
waittext line3 Done!
dump
key F2
wait folderuris
dump
key F2
wait folders
focus folder.tasks
key Space
focus folder.calendar
key Space
key F2
wait main
key F1
waittext status Done!
dump
key F4
"""

SYNC_AGAIN = """
wait main
dump
key F1
waittext status Done!
dump
key F4
"""


def screens(output):
    """[{name: text}] of every dump, in order."""
    out = []
    for line in output.splitlines():
        key, sep, value = line.partition("=")
        if not sep:
            continue
        if key == "screen":
            out.append({})
        if out:
            out[-1][key] = value
    return out


class Screens(E2eCase):
    def setUp(self):
        super().setUp()
        # A device that has never been set up.
        os.remove(self.device.app_file("Conf.dat"))

    def play(self, script):
        path = self.device.path("ui-script.txt")
        with open(path, "w") as f:
            f.write(script.format(url=self.server.url, user=harness.USER, password=harness.PASSWORD))
        env = dict(self.device.env, ORVALE_UI_SCRIPT=path)
        r = subprocess.run([harness.program("orvale")], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                           timeout=harness.RUN_TIMEOUT)
        self.assertEqual(r.returncode, 0, r.stderr.decode(errors="replace"))
        return screens(r.stdout.decode())

    def test_setup_then_sync(self):
        dev = self.device
        dev.import_contacts(harness.sample.contacts(20))
        test, uris, main = self.play(SETUP_AND_SYNC)
        self.assertEqual((test["line1"], test["line2"], test["line3"]),
                         ("Authenticated successfully", "Configured Folders", "Done!"))
        # The server test found the databases the server offers.
        self.assertEqual((uris["uri.contacts"], uris["uri.tasks"], uris["uri.calendar"]),
                         ("contacts", "tasks", "calendar"))
        self.assertEqual(main["screen"], "main")
        self.assertEqual(main["counts"], "Contacts: 0 Received, 20 Sent")
        self.assertRegex(main["lastSync"], r"^Synchronized: \d\d/\d\d/\d\d \d\d:\d\d [AP]M$")
        self.assertEqual(harness.names(self.server.items()), harness.names(dev.items()))
        self.assertEqual(len(self.server.items()), 20)

        # The next start goes straight to the main screen; a sync with nothing new sends nothing.
        harness.next_second()
        opened, synced = self.play(SYNC_AGAIN)
        self.assertEqual(opened["lastSync"], main["lastSync"])
        self.assertEqual(synced["counts"], "Contacts: 0 Received, 0 Sent")
        self.assertEqual(synced["status"], "Done!")


if __name__ == "__main__":
    harness.main()
