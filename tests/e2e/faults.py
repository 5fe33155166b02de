#!/usr/bin/env python3
"""End-to-end faults: the connection is cut at exchange k, for every k of a session in turn, with
changes waiting on both sides. Each cut run fails and leaves the end-of-run files as they were;
the next run completes, after which device and server hold the same contacts, none lost and none
duplicated."""
import harness
from fault_proxy import AFTER, BEFORE, FaultProxy
from harness import E2eCase, names, next_second


class Faults(E2eCase):
    def test_cut_at_every_exchange(self):
        dev, srv = self.device, self.server
        dev.import_contacts(harness.sample.contacts(30))
        with FaultProxy(srv.url) as proxy:
            dev.conf(proxy.url, contacts="contacts")
            serial = 1000
            expected = set(names(dev.items()))
            for mode in (AFTER, BEFORE):
                k = 1
                while True:
                    # Changes on both sides for this round: a device add and edit, a server add.
                    serial += 1
                    dev.import_contacts(harness.sample.contacts(1, serial))
                    expected.add("Sample%d" % serial)
                    key = sorted(dev.keys())[serial % 20]
                    old_name = names({key: dev.show(key)})[0]
                    dev.edit(key, harness.sample.contact(serial + 5000))
                    expected.discard(old_name)
                    expected.add("Sample%d" % (serial + 5000))
                    srv.add(harness.sample.contact(serial + 20000))
                    expected.add("Sample%d" % (serial + 20000))
                    next_second()

                    before = dev.state_files()
                    proxy.arm(k, mode)
                    report = dev.sync()
                    where = "%s cut at exchange %d" % (mode, k)
                    if proxy.exchanges < k:
                        # The session had fewer exchanges: it went through uncut.
                        self.assertEqual(report["result"], 0, where)
                        break
                    self.assertNotEqual(report["result"], 0, where)
                    self.assertEqual(dev.state_files(), before, where)

                    proxy.arm(None, mode)
                    next_second()
                    self.assertEqual(dev.sync()["result"], 0, where)
                    self.assertEqual(names(dev.items()), sorted(expected), where)
                    self.assertEqual(names(srv.items()), sorted(expected), where)
                    k += 1
                self.assertGreaterEqual(k, 3, mode)


if __name__ == "__main__":
    harness.main()
