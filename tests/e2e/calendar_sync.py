#!/usr/bin/env python3
"""End-to-end: calendar events between two devices through the loopback server.

A device with 200 events (a tenth recurring, some all-day) slow-syncs; a second, fresh device
receives them, and the occurrences computed from what it holds equal the first one's, event by
event. An occurrence deleted on the first device (a new EXDATE), a server-side edit and a server
delete each reach the devices once and come back from neither. With the date window on (7 days
back, 30 ahead) an old event stays on the device and a weekly meeting without end goes up.
"""
import datetime
import os
import re
import shutil
import sys

import events as sample
import harness
from harness import Device, E2eCase, by_summary, next_second, sent_commands, without_uid

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "vcalendar"))
import corpus  # noqa: E402  (the table of the vCalendar corpus test)

ZONE = "Europe/Berlin"
CALENDAR = "calendar"


def calendar_device(root, url, user=harness.USER, password=harness.PASSWORD, **fields):
    shutil.rmtree(root, ignore_errors=True)
    dev = Device(root)
    dev.env["TZ"] = ZONE
    dev.conf(url, user=user, password=password, calendar=CALENDAR, logging="1", **fields)
    return dev


def occurrences(dev):
    """{summary: [local start, ...]} over 60 days back to 400 ahead, as the device computes them."""
    today = datetime.date.today()
    first, last = today - datetime.timedelta(days=60), today + datetime.timedelta(days=400)
    out = dev.run("orvale-e2e-run", "occurrences", first.strftime("%Y%m%d"), last.strftime("%Y%m%d")).stdout
    return dict(line.split("\t", 1) for line in out.decode().splitlines())


class CalendarSync(E2eCase):
    def test_two_devices_through_the_server(self):
        srv = self.server
        work = os.path.dirname(self.device.root)
        one = calendar_device(os.path.join(work, "calendar-one"), srv.url)
        two = calendar_device(os.path.join(work, "calendar-two"), srv.url)
        one.import_contacts(sample.events(200), CALENDAR)

        # 1. A slow sync sends every event; the server stores each as exported.
        one.autosync()
        self.assertEqual(harness.alert_codes(one), ["201"])
        self.assertEqual(sent_commands(one), {"Add": 200})
        mapping = srv.map(CALENDAR)
        stored = srv.items(CALENDAR)
        exported = one.items(CALENDAR)
        for key, text in exported.items():
            self.assertEqual(stored[mapping[key]], without_uid(text), key)

        # 2. A fresh device receives all of them: the same texts, the same occurrences. (The server
        # sends only what was stored before the second of the session's start.)
        next_second()
        two.autosync()
        self.assertEqual(sent_commands(two, "server"), {"Add": 200})
        self.assertEqual({s: without_uid(t) for s, t in by_summary(two.items(CALENDAR)).items()},
                         {s: without_uid(t) for s, t in by_summary(exported).items()})
        expected = occurrences(one)
        self.assertEqual(len(expected), 200)
        self.assertEqual(occurrences(two), expected)
        recurring = [s for s, starts in expected.items() if starts.count(",") >= 3]
        self.assertGreaterEqual(len(recurring), 15)

        # 3. An occurrence deleted on the first device goes up once, as a Replace with a new EXDATE.
        weekly = by_summary(one.items(CALENDAR))["Event50"]
        key = re.search(rb"^UID:(.*?)\r?$", weekly, re.M).group(1).decode()
        third = expected["Event50"].split(",")[2]
        gone = datetime.datetime.strptime(third, "%Y%m%dT%H%M%S")
        text = weekly.decode().replace("END:VEVENT", "EXDATE:%s\r\nEND:VEVENT" % gone.strftime("%Y%m%dT%H%M%S"))
        one.edit(key, text, CALENDAR)
        next_second()
        one.autosync()
        self.assertEqual(sent_commands(one), {"Replace": 1})
        self.assertNotIn(third, occurrences(one)["Event50"])
        next_second()
        two.autosync()
        self.assertEqual(sent_commands(two, "server"), {"Replace": 1})
        self.assertEqual(sent_commands(two), {})
        self.assertEqual(occurrences(two), occurrences(one))

        # 4. A server edit and a server delete reach both devices once; nothing comes back.
        ids = {re.search(rb"^SUMMARY:(.*?)\r?$", d, re.M).group(1).decode(): i for i, d in srv.items(CALENDAR).items()}
        next_second()
        srv.edit(ids["Event7"], srv.items(CALENDAR)[ids["Event7"]].decode().replace("Event7", "Event7 moved"))
        srv.delete(ids["Event12"])
        next_second()
        for dev in (one, two):
            dev.autosync()
            self.assertEqual(sent_commands(dev, "server"), {"Replace": 1, "Delete": 1})
            self.assertEqual(sent_commands(dev), {})
            summaries = occurrences(dev)
            self.assertIn("Event7 moved", summaries)
            self.assertNotIn("Event12", summaries)
        next_second()
        one.autosync()
        self.assertEqual(sent_commands(one), {})
        self.assertEqual(sent_commands(one, "server"), {})
        self.assertEqual(occurrences(two), occurrences(one))

    def test_corpus_reaches_a_second_device_as_the_same_occurrences(self):
        """The vCalendar corpus: what one device holds, a second one holds after the server; the
        series the device cannot hold are refused by the receiving device, logged, and kept whole
        on the server."""
        srv = self.server
        work = os.path.dirname(self.device.root)
        one = calendar_device(os.path.join(work, "corpus-one"), srv.url)
        two = calendar_device(os.path.join(work, "corpus-two"), srv.url)

        def text(case):
            name, calendar_lines, event_lines = case[:3]
            if "SUMMARY:" not in event_lines:
                event_lines += "\r\nSUMMARY:corpus " + name
            return corpus.event_text(calendar_lines, event_lines)

        held = [c for c in corpus.CASES if c[3] == "same"]
        refused = [c for c in corpus.CASES if c[3] == "refused"]
        one.import_contacts("".join(text(c) for c in held), CALENDAR)
        one.autosync()
        self.assertEqual(sent_commands(one), {"Add": len(held)})
        for case in refused:
            srv.add(text(case), CALENDAR)
        next_second()
        two.autosync()
        self.assertEqual(sent_commands(two, "server"), {"Add": len(held) + len(refused)})
        self.assertEqual(two.run_log().count("Cant set content"), len(refused))
        window = ("20250101", "20301231")
        def starts(dev):
            return sorted(dev.run("orvale-e2e-run", "occurrences", *window).stdout.decode().splitlines())
        self.assertEqual(starts(two), starts(one))
        self.assertEqual(len(starts(one)), len(held))
        stored = b"".join(srv.items(CALENDAR).values())
        for case in refused:
            self.assertIn(b"SUMMARY:corpus " + case[0].encode(), stored)

    def test_date_window_keeps_old_events_out(self):
        today = datetime.date.today()
        dev = calendar_device(os.path.join(os.path.dirname(self.device.root), "calendar-window"), self.server.url,
                              user="second", password="second-secret", range="1", back="7", forward="30")
        old = today - datetime.timedelta(days=10)
        first = today - datetime.timedelta(days=400)
        texts = [("Old", "DTSTART:%s\r\nDTEND:%s" % (old.strftime("%Y%m%dT090000"), old.strftime("%Y%m%dT100000"))),
                 ("Weekly", "DTSTART:%s\r\nDTEND:%s\r\nRRULE:W1 #0" % (first.strftime("%Y%m%dT090000"),
                                                                    first.strftime("%Y%m%dT100000"))),
                 ("Today", "DTSTART:%s" % today.strftime("%Y%m%dT120000"))]
        dev.import_contacts("".join("BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nSUMMARY:%s\r\n%s\r\n"
                                    "END:VEVENT\r\nEND:VCALENDAR\r\n" % t for t in texts), CALENDAR)
        dev.autosync()
        self.assertEqual(sent_commands(dev), {"Add": 2})
        stored = b"".join(self.server.items(CALENDAR, user="second").values())
        self.assertIn(b"SUMMARY:Weekly", stored)
        self.assertIn(b"SUMMARY:Today", stored)
        self.assertNotIn(b"SUMMARY:Old", stored)


if __name__ == "__main__":
    harness.main()
