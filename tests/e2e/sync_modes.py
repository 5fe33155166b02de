#!/usr/bin/env python3
"""End-to-end: the sync types beyond two-way and slow, chosen with orvale-config for one folder.

Every row starts from a device and a server that were in step and then differ: an item deleted on
the device (1), one edited on both sides (2), one edited on the device (3), one on the server (4),
one deleted on the server (5), one new on the device (6), one new on the server (7). After the
chosen sync, both sides hold exactly the items the row expects (by name or summary, each once),
the choice has fallen back to two-way, and the next sync alerts 200. Contacts, calendar and tasks
each go through every type; for contacts every type is also interrupted (the reply of the message
with our Sync lost; the program killed with SIGKILL as it sends its next message) and run again,
which ends in the same state. The doubled state after a slow sync repaired by a refresh from the
device is refresh_repair.py.
"""
import os
import re
import shutil
import signal
import subprocess
import urllib.parse

import contacts
import events
import harness
import tasks
from fault_proxy import AFTER, BEFORE, FaultProxy
from harness import E2eCase, by_summary, next_second, names

# What each side holds afterwards, by item number and the side whose edit it carries.
EXPECTED = {
    "refresh-from-server": ("1 2srv 3 4srv 7", "1 2srv 3 4srv 7"),
    "refresh-from-device": ("2dev 3dev 4 5 6", "2dev 3dev 4 5 6"),
    "one-way-from-server": ("2srv 3dev 4srv 6 7", "1 2srv 3 4srv 7"),
    "one-way-from-device": ("2dev 3dev 4 5 6", "2dev 3dev 4srv 6 7"),
}
# Where each type is interrupted: the exchange cut and whether the server saw it first. The types
# where the server sends are cut after the server sent its items (SIGKILL: after the device applied
# them, as it sends the statuses and Map). Those where only the device sends are cut before the
# server took the device's final package: once this server has taken it, the session is complete
# for the server and the next one is answered 508 (for a one-way type, a slow sync follows). A
# refresh from the device (a slow sync) is cut at every instant in refresh_repair.py.
INTERRUPTIONS = {
    "refresh-from-server": [("reply lost", 2, AFTER), ("SIGKILL", 3, BEFORE)],
    "one-way-from-server": [("reply lost", 2, BEFORE), ("SIGKILL", 3, BEFORE)],
    "refresh-from-device": [("reply lost", 2, BEFORE), ("SIGKILL", 2, BEFORE)],
    "one-way-from-device": [("reply lost", 2, BEFORE), ("SIGKILL", 2, BEFORE)],
}
KINDS = {
    "contacts": (contacts.contact, "Sample"),
    "calendar": (events.event, "Event"),
    "tasks": (tasks.task, "Task"),
}


def sample(kind, n):
    return KINDS[kind][0](n)


def identities(kind, items):
    """Sorted identities of a side's items: names for contacts, summaries for the others."""
    if kind == "contacts":
        return names(items)
    return sorted(harness.summary(t if isinstance(t, bytes) else t.encode()) for t in items.values())


def renamed(kind, text, n, suffix):
    """The item's name (N) or summary gets the suffix, as a user's edit."""
    field = "N" if kind == "contacts" else "SUMMARY"
    end = ";" if kind == "contacts" else "\r?$"
    pattern = r"^(%s(?:;[^:]*)?:%s%d)(%s)" % (field, KINDS[kind][1], n, end)
    out, count = re.subn(pattern, r"\1 %s\2" % suffix, text, count=1, flags=re.M)
    assert count == 1, (kind, n, text)
    return out


def expected(kind, wanted):
    # `wanted` names the items a side should hold, "2dev 4": item 2 as edited on the device, item 4
    # as first made.
    prefix = KINDS[kind][1]
    out = []
    for word in wanted.split():
        n, edit = int(word.rstrip("devsrv")), word.lstrip("0123456789")
        out.append("%s%d%s" % (prefix, n, " " + edit if edit else ""))
    return sorted(out)


class SyncModes(E2eCase):
    def prepare(self, kind, proxy=None):
        """A fresh device in step with a fresh server, then the differences."""
        self.server.stop()
        self.server.start()
        url = self.server.url
        if proxy is not None:
            proxy.target = urllib.parse.urlsplit(url)
            url = proxy.url
        shutil.rmtree(self.device.root, ignore_errors=True)
        dev = self.device = harness.Device(self.device.root)
        dev.conf(url, **{kind: kind})
        dev.import_contacts("".join(sample(kind, n) for n in range(1, 6)), kind)
        self.assertEqual(dev.sync()["result"], 0)
        next_second()
        on_device = {int(i.split(" ")[0][len(KINDS[kind][1]):]): key
                     for key, i in ((k, identities(kind, {k: t})[0]) for k, t in dev.items(kind).items())}
        texts = {n: dev.show(key, kind).decode() for n, key in on_device.items()}
        dev.delete(on_device[1], kind)
        dev.edit(on_device[2], renamed(kind, texts[2], 2, "dev"), kind)
        dev.edit(on_device[3], renamed(kind, texts[3], 3, "dev"), kind)
        dev.import_contacts(sample(kind, 6), kind)
        on_server = {int(identities(kind, {i: d})[0][len(KINDS[kind][1]):]): i
                     for i, d in self.server.items(kind).items()}
        stored = self.server.items(kind)
        self.server.edit(on_server[2], renamed(kind, stored[on_server[2]].decode(), 2, "srv"))
        self.server.edit(on_server[4], renamed(kind, stored[on_server[4]].decode(), 4, "srv"))
        self.server.delete(on_server[5])
        self.server.add(sample(kind, 7), kind)
        next_second()
        return dev

    def choose(self, dev, kind, mode):
        dev.run("orvale-config", "set", "%s-next-sync=%s" % (kind, mode))
        self.assertEqual(self.next_sync(dev, kind), mode)

    def next_sync(self, dev, kind):
        return dev.run("orvale-pim", kind, "next-sync").stdout.decode().strip()

    def check_after(self, dev, kind, mode):
        want_device, want_server = EXPECTED[mode]
        self.assertEqual(identities(kind, dev.items(kind)), expected(kind, want_device), "device")
        self.assertEqual(identities(kind, self.server.items(kind)), expected(kind, want_server), "server")
        self.assertEqual(self.next_sync(dev, kind), "two-way")

    def test_each_type_for_each_folder(self):
        for kind in KINDS:
            for mode in EXPECTED:
                with self.subTest(kind=kind, mode=mode):
                    dev = self.prepare(kind)
                    self.choose(dev, kind, mode)
                    self.assertEqual(dev.sync()["result"], 0)
                    # A refresh from the device goes as a slow sync whose server items are learned.
                    code = {"refresh-from-server": "205", "refresh-from-device": "201",
                            "one-way-from-server": "204", "one-way-from-device": "202"}[mode]
                    self.assertEqual(harness.alert_codes(dev), [code])
                    self.check_after(dev, kind, mode)
                    if mode.startswith("refresh-from-server"):
                        backups = dev.run("orvale-pim", kind, "backups").stdout.decode().splitlines()
                        self.assertGreaterEqual(len(backups), 2, backups)  # the first sync's and this one's
                    next_second()
                    self.assertEqual(dev.sync()["result"], 0)
                    self.assertEqual(harness.alert_codes(dev), ["200"])

    def test_interrupted_types_end_as_uninterrupted(self):
        kind = "contacts"
        with FaultProxy(self.server.url) as proxy:
            for mode, cuts in INTERRUPTIONS.items():
                for how, exchange, when in cuts:
                    with self.subTest(mode=mode, how=how, exchange=exchange, when=when):
                        proxy.arm(None, AFTER)
                        dev = self.prepare(kind, proxy)
                        self.choose(dev, kind, mode)
                        if how == "reply lost":
                            proxy.arm(exchange, when)
                            self.assertNotEqual(dev.sync()["result"], 0)
                        else:
                            running = []

                            def kill(body, exchange=exchange):
                                if proxy.exchanges < exchange or not running:
                                    return False
                                running[0].send_signal(signal.SIGKILL)
                                return True
                            proxy.arm(None, when, when=kill)
                            running.append(subprocess.Popen([harness.program("orvale"), "autosync"], env=dev.env,
                                                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
                            self.assertEqual(running[0].wait(timeout=harness.RUN_TIMEOUT), -signal.SIGKILL)
                        self.assertEqual(self.next_sync(dev, kind), mode, "the choice outlives the interruption")
                        proxy.arm(None, AFTER)
                        next_second()
                        self.assertEqual(dev.sync()["result"], 0)
                        self.check_after(dev, kind, mode)


if __name__ == "__main__":
    harness.main()
