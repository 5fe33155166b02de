#!/usr/bin/env python3
"""End-to-end: a device's first sync killed with SIGKILL at random instants, then synced to the
end (for the device with contacts of its own, first killed 0.3, 1.0 and 2.0 s in); a slow sync asked for (anchors removed) after a completed sync; and one the server forces
with 508 (a last anchor it does not know). Afterwards the device holds every contact of both sides
exactly once. This server erases its map at a slow sync asked for and matches nothing by content;
what it ends up holding is printed.

With ORVALE_E2E_STORE=eds the device keeps its contacts in Evolution Data Server (eds_device.py;
ctest runs the two killed first syncs so), and its own contacts are already in the EDS address book.

ORVALE_KILL_SEED sets the seed of the kill instants (default 18), ORVALE_KILLS the number of
kills per case (default 6).
"""
import collections
import os
import random
import shutil
import subprocess
import sys
import time

import eds_device
import harness
from harness import E2eCase, names, next_second

# Over EDS the kills aim at the writes, which half as many contacts still spread over eight
# batches; the whole test stays within a few minutes there.
SERVER_CONTACTS = 1000 if eds_device.wanted() else 2000
OWN_CONTACTS = 400
OWN_FIRST = 5001
KILLS = int(os.environ.get("ORVALE_KILLS", "6"))
SEED = int(os.environ.get("ORVALE_KILL_SEED", "18"))


def counted(items):
    return collections.Counter(names(items))


def sample_names(count, first=1):
    return collections.Counter("Sample%d" % n for n in range(first, first + count))


def report(what, on_device, on_server):
    def held(side, items):
        twice = sum(1 for n in items.values() if n > 1)
        return "the %s holds %d contacts, %d names more than once" % (side, sum(items.values()), twice)
    print("%s: %s; %s" % (what, held("device", on_device), held("server", on_server)), file=sys.stderr)


def other_last_anchor(path):
    """The device's own label in its anchor file replaced: its next Alert carries a Last the server
    did not store."""
    with open(path, "r+") as f:
        stored = f.read()
        f.seek(0)
        f.write("20000101T000000Z" + stored[stored.index(":"):])
        f.truncate()


def alert_answers(dev):
    """The server's Status codes for the client's Alerts in the last run."""
    return [st.findtext("Data") for name, root in harness.captured(dev) if root is not None and "server" in name
            for st in root.iter("Status") if st.findtext("Cmd") == "Alert"]


class FirstSync(E2eCase):
    def other_device(self, name, contacts=0, first=1):
        root = self.device.root + "-" + name
        shutil.rmtree(root, ignore_errors=True)
        dev = harness.Device(root)
        if contacts:
            dev.import_contacts(harness.sample.contacts(contacts, first))
        dev.conf(self.server.url, contacts="contacts")
        return dev

    def autosync_seconds(self, dev):
        start = time.monotonic()
        dev.autosync()
        return time.monotonic() - start

    def random_kill(self, dev, longest, rng, items):
        """(writes, seconds): the run is killed `seconds` after it noted `writes` EDS writes. Over
        the own store, at a random time shorter than a whole first sync takes; over EDS, whose
        connect and slow-sync start take longer than the whole sync into the own store, just after
        a random number of the items still to store, so that kills land among the EDS writes."""
        if eds_device.wanted():
            return rng.randint(1, max(1, items - eds_device.stored(dev))), rng.uniform(0, 0.1)
        return 0, rng.uniform(0.05, 0.8 * longest)

    def kill_first_sync(self, dev, longest, rng, instants=(), items=0):
        """`orvale autosync` started again and again, each killed after the given instants, then
        at random instants (random_kill); the number of runs that were killed, and of those killed
        with EDS writes noted as intended and not yet done."""
        killed = mid_write = 0
        for n in range(len(instants) + KILLS):
            writes, wait = (0, instants[n]) if n < len(instants) else self.random_kill(dev, longest, rng, items)
            proc = subprocess.Popen([harness.program("orvale"), "autosync"], env=dev.env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            if writes:
                eds_device.wait_for_writes(dev, proc, writes, harness.RUN_TIMEOUT)
            try:
                proc.wait(timeout=wait)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
                killed += 1
                mid_write += eds_device.wanted() and eds_device.intents_left(dev) > 0
        return killed, mid_write

    def sync_to_the_end(self, dev):
        for _ in range(3):
            next_second()
            if dev.sync()["result"] == 0:
                break
        next_second()
        self.assertEqual(dev.sync()["result"], 0)

    def killed_first_sync(self, own, instants=()):
        rng = random.Random(SEED + own)
        self.other_device("source", SERVER_CONTACTS).autosync()
        next_second()
        # How long a whole first sync of this server takes here (a sanitizer build is slower).
        longest = self.autosync_seconds(self.other_device("measure"))
        dev = self.device
        if own:
            dev.import_contacts(harness.sample.contacts(own, OWN_FIRST))
        killed, mid_write = self.kill_first_sync(dev, longest, rng, instants, SERVER_CONTACTS + own)
        self.assertGreater(killed, 0)
        if eds_device.wanted():
            self.assertGreater(mid_write, 0, "no kill landed among the EDS writes")
        self.sync_to_the_end(dev)
        expected = sample_names(SERVER_CONTACTS) + sample_names(own, OWN_FIRST)
        self.assertEqual(counted(dev.items()), expected)
        on_server = counted(self.server.items())
        report("first sync of %d own contacts, %d of %d runs killed (seed %d, a whole sync %.1f s)%s"
               % (own, killed, KILLS + len(instants), SEED, longest,
                  ", %d of them with EDS writes under way" % mid_write if eds_device.wanted() else ""),
               counted(dev.items()), on_server)
        return expected, on_server

    def test_killed_first_sync_into_an_empty_device(self):
        expected, on_server = self.killed_first_sync(0)
        self.assertEqual(on_server, expected)

    def test_killed_first_sync_of_a_device_with_its_own_contacts(self):
        # Each interrupted slow sync may leave the device's contacts on a server that erases its
        # map and matches nothing: the next slow sync brings those copies back, and the device,
        # whose items are paired already, must not store them a second time.
        expected, on_server = self.killed_first_sync(OWN_CONTACTS, (0.3, 1.0, 2.0))
        self.assertEqual(set(on_server), set(expected), "nothing lost on the server")

    def slow_sync_after_a_completed_sync(self, what, spoil_anchor, check_start):
        dev = self.device
        dev.import_contacts(harness.sample.contacts(500))
        self.assertEqual(dev.sync()["result"], 0)
        spoil_anchor(dev.path("Anchor_Contacts"))
        next_second()
        self.assertEqual(dev.sync()["result"], 0)
        check_start(dev)
        self.assertEqual(counted(dev.items()), sample_names(500))
        report(what + " after a completed sync of 500", counted(dev.items()), counted(self.server.items()))
        next_second()
        self.assertEqual(dev.sync()["result"], 0)
        on_server = counted(self.server.items())
        report("and after the next two-way sync", counted(dev.items()), on_server)
        self.assertEqual(counted(dev.items()), sample_names(500))
        self.assertEqual(set(on_server), set(sample_names(500)), "nothing lost on the server")

    def test_slow_sync_asked_for_after_a_completed_sync(self):
        # The settings' "Slow Sync": the anchors go, the device asks for a slow sync. The server
        # makes a second item of each contact the device sends and maps that one; its first item
        # comes in the same session, equal to a device item the server has taken already, and is
        # answered as equal, unmapped. Mapping it too would leave the second item unmapped, to come
        # down as new in the next sync: the device holds each contact once, the server twice.
        self.slow_sync_after_a_completed_sync("slow sync asked for", os.remove,
                                              lambda dev: self.assertEqual(harness.alert_codes(dev), ["201"]))

    def test_slow_sync_the_server_forces_after_a_completed_sync(self):
        # The device's last anchor is not the one the server stored: it answers 508.
        self.slow_sync_after_a_completed_sync("508", other_last_anchor,
                                              lambda dev: self.assertIn("508", alert_answers(dev)))


if __name__ == "__main__":
    harness.main()
