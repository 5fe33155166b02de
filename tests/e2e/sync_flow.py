#!/usr/bin/env python3
"""End-to-end: `orvale autosync` against the loopback server (either of them, see harness.py), one
session after another.

A first sync of 200 contacts is a slow sync that leaves the server holding each one as exported;
then no change sends nothing; a device edit arrives as Replace; server adds and deletes reach the
device (and the Map the server); a device delete reaches the server.
"""
import harness
from harness import E2eCase, names, next_second, sent_commands, without_uid


class SyncFlow(E2eCase):
    def test_sessions_in_turn(self):
        dev, srv = self.device, self.server
        dev.import_contacts(harness.sample.contacts(200))
        before = dev.show_conf()["lastsync"]

        # 1. First sync: a slow sync, every contact sent as Add and stored as exported.
        dev.autosync()
        self.assertEqual(harness.alert_codes(dev), ["201"])
        self.assertEqual(sent_commands(dev), {"Add": 200})
        mapping = srv.map()  # client id -> server id
        self.assertEqual(len(mapping), 200)
        stored = srv.items()
        for key, text in dev.items().items():
            if srv.keeps_text:
                self.assertEqual(stored[mapping[key]], without_uid(text), key)
            else:
                self.assertEqual(names({0: stored[mapping[key]]}), names({0: text}), key)
        first_text = dev.show_conf()["lastsync"]
        self.assertNotEqual(first_text, before)

        # 2. Nothing changed: a two-way sync that sends no item and receives none.
        next_second()
        dev.autosync()
        self.assertEqual(harness.alert_codes(dev), ["200"])
        self.assertEqual(sent_commands(dev), {})
        self.assertEqual(sent_commands(dev, "server"), {})

        # 3. A contact edited on the device arrives as Replace of the mapped server item.
        key = dev.keys()[17]
        edited = harness.sample.contact(9017).replace("Sample9017", "Edited17")
        dev.edit(key, edited)
        next_second()
        dev.autosync()
        self.assertEqual(sent_commands(dev), {"Replace": 1})
        if srv.keeps_text:
            self.assertIn(b"Edited17", srv.items()[mapping[key]])
        else:
            # This server answers the Replace 201 and keeps the edit as an item of its own beside
            # the old one.
            self.assertTrue(any(b"Edited17" in text for text in srv.items().values()))

        # 4. One added and one deleted on the server arrive on the device; the Map goes back.
        next_second()
        new_id = srv.add(harness.sample.contact(5000))
        gone_key = dev.keys()[3]
        srv.delete(mapping[gone_key])
        next_second()
        dev.autosync()
        self.assertEqual(sent_commands(dev, "server"), {"Add": 1, "Delete": 1})
        device_names = names(dev.items())
        self.assertIn("Sample5000", device_names)
        self.assertNotIn(gone_key, dev.keys())
        self.assertIn(new_id, srv.map().values())

        # 5. A device delete reaches the server.
        doomed = dev.keys()[40]
        doomed_id = srv.map()[doomed]
        dev.delete(doomed)
        next_second()
        dev.autosync()
        self.assertEqual(sent_commands(dev), {"Delete": 1})
        self.assertNotIn(doomed_id, srv.items())
        if srv.keeps_text:
            self.assertEqual(names(dev.items()), names(srv.items()))
        else:
            self.assertLessEqual(set(names(dev.items())), set(names(srv.items())))
        self.assertEqual(len(dev.keys()), 199)


if __name__ == "__main__":
    harness.main()
