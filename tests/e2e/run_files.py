#!/usr/bin/env python3
"""End-to-end: what a run leaves on the device besides the contacts: Logs.dat, the capture
folder, the last sync text, and the server test's folder discovery."""
import os
import re

import harness
from harness import E2eCase


PLAIN_PASSWORD = ("The password goes to the server unencrypted (the URL begins with http://): anyone on the way "
                  "can read it. Use https:// if the server offers it.")


class RunFiles(E2eCase):
    def test_log_capture_and_last_sync_text(self):
        dev, srv = self.device, self.server
        dev.import_contacts(harness.sample.contacts(5))
        dev.autosync()
        last = dev.show_conf()["lastsync"]
        self.assertRegex(last, r"^\d\d/\d\d/\d\d \d\d:\d\d [AP]M$")
        # A background run's log has the start line and the last sync text only, and the warning
        # that the password went over plain http (the loopback server asks for the basic form).
        self.assertEqual(dev.run_log(), "Starting sync\r\n%s\r\n%s\r\n" % (last, PLAIN_PASSWORD))

        # One file per message, requests and replies alternating, all WBXML SyncML.
        files = sorted(os.listdir(dev.capture_dir()))
        self.assertGreaterEqual(len(files), 4)
        n = len(files) // 2
        self.assertEqual(files, sorted(["%02d_from_%s.xml" % (i, s) for i in range(1, n + 1)
                                        for s in ("client", "server")]))
        for name, root in harness.captured(dev):
            self.assertEqual(root.tag, "SyncML", name)
        self.assertEqual(os.stat(os.path.join(dev.capture_dir(), files[0])).st_mode & 0o777, 0o600)

        # A failed run keeps the text and says why; a successful one with logging off writes no
        # Logs.dat.
        os.remove(dev.path("Logs.dat"))
        dev.conf(srv.url, password="wrong", contacts="contacts", lastsync="never", logging="1")
        self.assertEqual(dev.run("orvale", "autosync", check=False).returncode, 11)
        self.assertEqual(dev.show_conf()["lastsync"], "never")
        self.assertRegex(dev.run_log(), "^Starting sync\r\nnever\r\n" + re.escape(PLAIN_PASSWORD) +
                         "\r\nthe server refused the credentials\r\n"
                         "\\d\\d:\\d\\d:\\d\\d: Wrong user name or password \\(the server answered 401\\)")
        os.remove(dev.path("Logs.dat"))
        dev.conf(srv.url, contacts="contacts", lastsync="never")
        dev.autosync()
        self.assertRegex(dev.show_conf()["lastsync"], r"^\d\d/\d\d/\d\d \d\d:\d\d [AP]M$")
        self.assertIsNone(dev.run_log())

        # The interactive core logs its folders with the counts it saw.
        dev.conf(srv.url, contacts="contacts", logging="1", lastsync=last)
        harness.next_second()
        dev.import_contacts(harness.sample.contacts(2, 100))
        report = dev.sync()
        self.assertEqual(report["result"], 0)
        self.assertEqual(report["status"][-1], "Done!")
        self.assertTrue(report["lastsync"].startswith("Synchronized: "))
        self.assertRegex(dev.run_log(), r"^Starting sync\r\n.*\r\nContacts:\r\n0 Received, 2 Sent\r\n%s\r\n$"
                         % re.escape(PLAIN_PASSWORD))

    def test_cancel_leaves_the_end_of_run_files(self):
        dev = self.device
        dev.import_contacts(harness.sample.contacts(40))
        before = dev.state_files()
        report = dev.sync(cancel_after=1)
        self.assertEqual((report.get("cancelled"), report["result"]), (1, 3))
        self.assertNotIn("Done!", report["status"])
        self.assertEqual(dev.state_files(), before)
        self.assertIsNone(dev.run_log())
        # The next run does all of it again, and nothing is doubled.
        harness.next_second()
        self.assertEqual(dev.sync()["result"], 0)
        self.assertEqual(harness.names(self.server.items()), harness.names(dev.items()))

    def test_server_test_fills_the_uris(self):
        dev = self.device
        dev.conf(self.server.url, contacts="wrong-uri", tasks="x")
        result, lines = dev.server_test()
        self.assertEqual(result, 0)
        self.assertEqual(lines, ["Authenticated successfully", "Configured Folders", "Done!"])
        conf = dev.show_conf()
        self.assertEqual((conf["contacts"], conf["tasks"], conf["calendar"]),
                         ("contacts", "tasks", "calendar"))
        # A new second, so a new session ID: the server continues a session it knows by its ID.
        harness.next_second()
        dev.conf(self.server.url, password="wrong")
        # The second line says why, after the time of the attempt.
        result, lines = dev.server_test()
        self.assertEqual((result, lines[0], lines[2]), (1, "Authentication failed", ""))
        self.assertRegex(lines[1], r"^\d\d:\d\d:\d\d: Wrong user name or password \(the server answered 401\): "
                                   "check them in Settings$")


if __name__ == "__main__":
    harness.main()
