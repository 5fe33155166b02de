#!/usr/bin/env python3
"""End-to-end faults: the connection is cut at exchange k, for every k of a session in turn, with
changes waiting on both sides, once after the server answered (the reply is lost) and once before
the server saw the message; the same for every exchange of a new device's first (slow) sync with
items both ways. Each cut run fails and leaves the end-of-run files as they were; the next run
completes, after which device and server hold the same contacts, none lost, none twice."""
import collections
import shutil

import harness
from fault_proxy import AFTER, BEFORE, FaultProxy
from harness import E2eCase, names, next_second


def fresh(root):
    shutil.rmtree(root, ignore_errors=True)
    return root


def counted(items):
    return collections.Counter(names(items))


def carries_map(body):
    return any(True for _ in harness.decode(body).iter("Map"))


def map_lost(proxy):
    """The cut took the client's Map with it before the server saw it."""
    return proxy.mode == BEFORE and proxy.cut_body is not None and carries_map(proxy.cut_body)


class Faults(E2eCase):
    def round_of_changes(self, serial, expected):
        """A device add and edit, and a server add, waiting for the next session."""
        dev = self.device
        dev.import_contacts(harness.sample.contacts(1, serial))
        expected[("Sample%d" % serial)] += 1
        key = sorted(dev.keys())[serial % 20]
        old = names({key: dev.show(key)})[0]
        dev.edit(key, harness.sample.contact(serial + 5000))
        expected[old] -= 1
        expected["Sample%d" % (serial + 5000)] += 1
        self.server.add(harness.sample.contact(serial + 20000))
        expected["Sample%d" % (serial + 20000)] += 1
        next_second()

    def cut_and_recover(self, proxy, k, mode):
        """None when the session had fewer than k exchanges (it went through uncut), else whether
        the cut lost the client's Map."""
        dev = self.device
        where = "%s cut at exchange %d" % (mode, k)
        before = dev.state_files()
        proxy.arm(k, mode)
        report = dev.sync()
        if proxy.exchanges < k:
            self.assertEqual(report["result"], 0, where)
            return None
        self.assertNotEqual(report["result"], 0, where)
        self.assertEqual(dev.state_files(), before, where)
        lost = map_lost(proxy)
        proxy.arm(None, mode)
        next_second()
        self.assertEqual(dev.sync()["result"], 0, where)
        return lost

    def test_cut_at_every_exchange(self):
        dev, srv = self.device, self.server
        dev.import_contacts(harness.sample.contacts(30))
        expected = counted(dev.items())
        with FaultProxy(srv.url) as proxy:
            dev.conf(proxy.url, contacts="contacts")
            serial = 1000
            for mode in (AFTER, BEFORE):
                k = 1
                while True:
                    serial += 1
                    self.round_of_changes(serial, expected)
                    lost = self.cut_and_recover(proxy, k, mode)
                    if lost is None:
                        break
                    where = "%s cut at exchange %d" % (mode, k)
                    on_device, on_server = counted(dev.items()), counted(srv.items())
                    # Nothing lost, nothing that should not be there, on either side.
                    self.assertEqual(set(+on_device), set(+expected), where)
                    self.assertEqual(set(+on_server), set(+expected), where)
                    self.assertEqual(on_device, expected, where)
                    self.assertEqual(on_server, expected, where)
                    k += 1
                self.assertGreaterEqual(k, 3, mode)

    def test_cut_at_every_exchange_of_a_first_slow_sync(self):
        """A new device's first sync, a slow sync with items both ways spread over several
        messages, is cut at exchange k for every k, after and before the server saw it. The cut
        run leaves the end-of-run files as they were; the next run completes, and both sides then
        hold every contact of both exactly once."""
        srv = self.server
        source = harness.Device(fresh(self.device.root + "-source"))
        source.import_contacts(harness.sample.contacts(300))
        source.conf(srv.url, contacts="contacts")
        self.assertEqual(source.sync()["result"], 0)
        expected = counted(srv.items())
        with FaultProxy(srv.url) as proxy:
            serial = 100000
            for mode in (AFTER, BEFORE):
                k = 1
                while True:
                    where = "%s cut at exchange %d of a first sync" % (mode, k)
                    dev = harness.Device(fresh("%s-first-%s-%d" % (self.device.root, mode, k)))
                    dev.import_contacts(harness.sample.contacts(40, serial))
                    dev.conf(proxy.url, contacts="contacts")
                    own = counted(dev.items())
                    serial += 40
                    next_second()
                    before = dev.state_files()
                    proxy.arm(k, mode)
                    report = dev.sync()
                    if proxy.exchanges < k:
                        self.assertEqual(report["result"], 0, where)
                    else:
                        self.assertNotEqual(report["result"], 0, where)
                        self.assertEqual(dev.state_files(), before, where)
                        proxy.arm(None, mode)
                        next_second()
                        self.assertEqual(dev.sync()["result"], 0, where)
                    expected += own
                    self.assertEqual(counted(dev.items()), expected, where)
                    self.assertEqual(counted(srv.items()), expected, where)
                    if proxy.exchanges < k:
                        break
                    k += 1
                self.assertGreaterEqual(k, 6, mode)

    def test_lost_map_duplicates_nothing(self):
        """A server Add is applied, then the message with the client's Map never reaches the
        server: the server sends the Add again in the next session, which must update the
        device's first copy rather than store a second one, and that copy must not go up as new."""
        dev, srv = self.device, self.server
        dev.import_contacts(harness.sample.contacts(3))
        self.assertEqual(dev.sync()["result"], 0)
        with FaultProxy(srv.url) as proxy:
            dev.conf(proxy.url, contacts="contacts")
            next_second()
            srv.add(harness.sample.contact(777))
            next_second()
            # Which exchange carries the Map depends on when the server sends its Add, so the
            # cut picks the message by what it holds.
            proxy.arm(None, BEFORE, when=carries_map)
            self.assertNotEqual(dev.sync()["result"], 0)
            self.assertTrue(map_lost(proxy))
            self.assertEqual(names(dev.items()).count("Sample777"), 1)
            proxy.arm(None, BEFORE)
            next_second()
            self.assertEqual(dev.sync()["result"], 0)
        self.assertEqual(names(dev.items()).count("Sample777"), 1)
        self.assertEqual(names(srv.items()).count("Sample777"), 1)


if __name__ == "__main__":
    harness.main()
