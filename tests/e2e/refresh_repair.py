#!/usr/bin/env python3
"""End-to-end: the doubled state after a slow sync repaired by a refresh from the device.

A device and a server in step; a slow sync asked for leaves a server that matched nothing holding
every contact twice, and one more is added on the server. The user then asks the server to be made
equal to the device. (The second server's slow sync doubles the device too, as its texts match
nothing; the device's items, doubled or not, are what the server must end with.) A server that
keeps its own items in such a refresh (both test servers do) sends them, or some of them, to the
device; the device stores none of them, learns each, and in the same run a two-way session deletes
them on the server. Afterwards both sides hold exactly the device's contacts, each once, and the
next two-way sync moves nothing. The same run killed (SIGKILL) as it sends each of its messages,
before and after the server took it, and run again ends in the same state.
"""
import collections
import shutil
import signal
import subprocess
import urllib.parse

import contacts
import harness
from fault_proxy import AFTER, BEFORE, FaultProxy
from harness import E2eCase, names, next_second

COUNT = 8


class RefreshRepair(E2eCase):
    def doubled(self, url):
        """A fresh device and server in step, then a slow sync asked for (a server that matches
        nothing keeps every contact twice) and a contact added on the server: the server holds
        items the device does not. The refresh from the device is chosen; gives the device's names."""
        self.server.stop()
        self.server.start()
        root = self.device.root
        shutil.rmtree(root, ignore_errors=True)
        dev = self.device = harness.Device(root)
        dev.conf(url(), contacts="contacts", logging="1")
        dev.import_contacts(contacts.contacts(COUNT))
        self.assertEqual(dev.sync()["result"], 0)
        next_second()
        dev.run("orvale-config", "set", "contacts-next-sync=slow")
        self.assertEqual(dev.sync()["result"], 0)
        self.server.add(contacts.contact(COUNT + 1))
        on_device = names(dev.items())
        extra = collections.Counter(names(self.server.items("contacts"))) - collections.Counter(on_device)
        self.assertTrue(extra, "nothing to repair")
        next_second()
        dev.run("orvale-config", "set", "contacts-next-sync=refresh-from-device")
        return dev, on_device

    def check_repaired(self, dev, want, interrupted=False):
        self.assertEqual(names(dev.items()), want, "device")
        self.assertEqual(names(self.server.items("contacts")), want, "server")
        self.assertEqual(dev.run("orvale-pim", "contacts", "next-sync").stdout.decode().strip(), "two-way")
        next_second()
        # Nothing is left to settle: the next sync moves nothing either way.
        self.assertEqual(dev.sync()["result"], 0)
        self.assertEqual(harness.alert_codes(dev), ["200"])
        sent = harness.sent_commands(dev, "client")
        if interrupted and sent:
            # Cut after the server took the Deletes, the run again was answered 508: its slow sync
            # sends no deletion, they stay recorded and go once more (the server answers 211).
            self.assertEqual(set(sent), {"Delete"})
            next_second()
            self.assertEqual(dev.sync()["result"], 0)
            sent = harness.sent_commands(dev, "client")
        self.assertEqual(sent, {})
        self.assertEqual(harness.sent_commands(dev, "server"), {})
        self.assertEqual(names(dev.items()), want)
        self.assertEqual(names(self.server.items("contacts")), want)

    def test_doubled_state_repaired_by_a_refresh_from_the_device(self):
        dev, want = self.doubled(lambda: self.server.url)
        print("before the refresh: device %d, server %d contacts" % (len(want), len(self.server.items("contacts"))))
        # A refresh from an empty folder would empty the server: refused without --force.
        refused = dev.run("orvale-config", "set", "tasks-next-sync=refresh-from-device", check=False)
        self.assertEqual(refused.returncode, 2, refused.stderr)
        self.assertEqual(dev.sync()["result"], 0)
        self.check_repaired(dev, want)

    def test_killed_repair_ends_as_uninterrupted(self):
        if harness.server_kind() == "virtuoso":
            self.skipTest("each instant needs a fresh server; run against the first server only")
        with FaultProxy(self.server.url) as proxy:
            def via_proxy():
                proxy.target = urllib.parse.urlsplit(self.server.url)
                return proxy.url
            exchange = 1
            while True:
                for when in (BEFORE, AFTER):
                    with self.subTest(exchange=exchange, when=when):
                        proxy.arm(None, AFTER)
                        dev, want = self.doubled(via_proxy)
                        running = []

                        def kill(body, exchange=exchange):
                            if proxy.exchanges < exchange or not running:
                                return False
                            running[0].send_signal(signal.SIGKILL)
                            return True
                        proxy.arm(None, when, when=kill)
                        running.append(subprocess.Popen([harness.program("orvale"), "autosync"], env=dev.env,
                                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
                        code = running[0].wait(timeout=harness.RUN_TIMEOUT)
                        proxy.arm(None, AFTER)
                        if code == 0:
                            # The run had fewer exchanges: every instant has been tried.
                            self.check_repaired(dev, want)
                            return
                        self.assertEqual(code, -signal.SIGKILL)
                        next_second()
                        self.assertEqual(dev.sync()["result"], 0)
                        self.check_repaired(dev, want, interrupted=True)
                exchange += 1


if __name__ == "__main__":
    harness.main()
