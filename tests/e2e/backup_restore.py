#!/usr/bin/env python3
"""End-to-end: the backup a first sync takes, and `orvale-pim contacts restore` after a sync that
deleted half the contacts: the folder comes back as it was and the next sync sends the contacts up
again. A damaged backup is refused with a clear message and changes nothing.
"""
import os

import harness
from harness import E2eCase, names, next_second, sent_commands, without_uid

COUNT = 40


class BackupRestore(E2eCase):
    def backups(self):
        out = self.device.run("orvale-pim", "contacts", "backups").stdout.decode()
        return [line.split("\t") for line in out.splitlines()]

    def test_restore_after_the_server_deleted_half(self):
        dev, srv = self.device, self.server
        dev.import_contacts(harness.sample.contacts(COUNT))
        original = dev.items()

        # The first sync backs the folder up before anything travels.
        dev.autosync()
        self.assertEqual(sent_commands(dev), {"Add": COUNT})
        listed = self.backups()
        self.assertEqual(len(listed), 1)
        name, _, items, why = listed[0]
        self.assertEqual((items, why), ("%d items" % COUNT, "before the first sync"))

        # Half the contacts deleted on the server reach the device.
        mapping = srv.map()
        doomed = sorted(original)[::2]
        next_second()
        for key in doomed:
            srv.delete(mapping[key])
        next_second()
        dev.autosync()
        self.assertEqual(sent_commands(dev, "server"), {"Delete": COUNT // 2})
        self.assertEqual(len(dev.keys()), COUNT // 2)
        after_deletes = dev.items()

        # A damaged backup is refused before anything changes.
        path = dev.path("Backups", "Contacts", name + ".backup")
        with open(path, "rb") as f:
            good = f.read()
        damaged = bytearray(good)
        damaged[len(good) // 2] ^= 0x01
        with open(path, "wb") as f:
            f.write(damaged)
        r = dev.run("orvale-pim", "contacts", "restore", name, check=False)
        self.assertEqual(r.returncode, 8)
        self.assertIn(b"is damaged", r.stderr)
        self.assertIn(b"nothing was changed", r.stderr)
        self.assertEqual(dev.items(), after_deletes)
        with open(path, "wb") as f:
            f.write(good)

        # The restore brings every contact back with its text; the deleted ones get new keys.
        r = dev.run("orvale-pim", "contacts", "restore", name)
        self.assertIn(b"%d made again" % (COUNT // 2), r.stdout)
        restored = dev.items()
        self.assertEqual(len(restored), COUNT)
        self.assertEqual(sorted(without_uid(t) for t in restored.values()),
                         sorted(without_uid(t) for t in original.values()))
        for key in set(original) - set(doomed):
            self.assertEqual(restored[key], original[key])

        # The next sync sends them up again, and the server holds the folder whole.
        next_second()
        dev.autosync()
        self.assertEqual(sent_commands(dev), {"Add": COUNT // 2})
        self.assertEqual(names(srv.items()), names(original))


if __name__ == "__main__":
    harness.main()
