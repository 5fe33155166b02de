#!/usr/bin/python3
"""End-to-end over Evolution Data Server: device A keeps its folders in EDS (`store=eds`), device B
in its own database, both against the loopback server.

Contacts, events (recurring with a deleted occurrence, all-day, with alarms) and tasks made in EDS
through its own API (eds_items.py, as another desktop program would) go up in A's first sync; B
receives them and exports what A exports. A change, a delete and an add made in EDS between syncs
travel once each, and B follows. Changes made on B reach EDS, read back through EDS's API. A sync
with nothing changed sends nothing, on either side of EDS's writes.

Runs under scripts/eds-session.sh (a private bus with an EDS of its own); exit 77 (skipped) when
no EDS can be reached. Needs the Debian /usr/bin/python3 (GObject introspection).
"""
import datetime
import os
import re
import shutil
import sys
import zoneinfo

import harness
import run_report
from harness import Device, E2eCase, by_summary, names, next_second, without_uid

ZONE = "Europe/Berlin"
TZID = "/freeassociation.sourceforge.net/" + ZONE
FOLDERS = {"contacts": "Contacts", "events": "Calendar", "tasks": "Tasks"}
DEVICE_FOLDER = {"contacts": "contacts", "events": "calendar", "tasks": "tasks"}


def day(offset):
    return datetime.date.today() + datetime.timedelta(days=offset)


def ymd(offset):
    return day(offset).strftime("%Y%m%d")


def berlin(offset, hour):
    """The wall-clock time in ZONE, as the device exports it, of `hour`:00 UTC on day `offset`."""
    utc = datetime.datetime.combine(day(offset), datetime.time(hour), tzinfo=datetime.timezone.utc)
    return utc.astimezone(zoneinfo.ZoneInfo(ZONE)).strftime("%Y%m%dT%H%M%S")


def vcard(*lines):
    return "\r\n".join(("BEGIN:VCARD", "VERSION:3.0") + lines + ("END:VCARD", ""))


def component(kind, *lines):
    return "\r\n".join(("BEGIN:" + kind,) + lines + ("END:" + kind, ""))


def alarm(trigger):
    return ("BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:Reminder", "TRIGGER" + trigger, "END:VALARM")


# What other programs write into EDS, and what each item must carry on the devices (a regular
# expression over the exported vCard or vCalendar text): the mapping's reading of EDS, checked on
# the SQLite device B, which knows nothing of EDS.
MADE_IN_EDS = {
    "contacts": [
        (vcard("FN:Ada Lovelace", "N:Lovelace;Ada;;;", "ORG:Analytical Engines;Research", "TITLE:Analyst",
               "TEL;TYPE=WORK,VOICE:+44 20 1111", "TEL;TYPE=HOME,VOICE:+44 20 2222", "TEL;TYPE=CELL:+44 77 3333",
               "EMAIL;TYPE=INTERNET:ada@example.org", "ADR;TYPE=WORK:;;12 Engine Row;London;;W1;United Kingdom",
               "BDAY:1815-12-10", "NOTE:First line\\nsecond line", "CATEGORIES:Work,Friends",
               "URL:https://example.org/ada"),
         [r"\r\nN:Lovelace;Ada", r"ORG:Analytical Engines;Research", r"TEL;WORK:\+44 20 1111",
          r"TEL;CELL:\+44 77 3333", r"ada@example.org", r"12 Engine Row;London", r"BDAY:1815-?12-?10",
          r"First line=0D=0Asecond line", r"TITLE:Analyst", r"Work,Friends"]),
        (vcard("FN:Grace Hopper", "N:Hopper;Grace;Brewster;Rear Admiral;", "NICKNAME:Amazing Grace",
               "TEL;TYPE=WORK,FAX:+1 555 0100"),
         [r"\r\nN:Hopper;Grace;Brewster;Rear Admiral", r"TEL;WORK;FAX:\+1 555 0100"]),
        (vcard("FN:Jürgen Müller", "N:Mueller;Jürgen;;;", "ADR;TYPE=HOME:;;Hauptstraße 5;Köln;;50667;Deutschland",
               "EMAIL;TYPE=INTERNET:juergen@example.de"),
         [r"J=C3=BCrgen M=C3=BCller|Jürgen Müller", r"ADR;HOME;[^:]*:;;Hauptstra=C3=9Fe 5;", r"juergen@example.de"]),
    ],
    "events": [
        (component("VEVENT", "SUMMARY:Standup", "DTSTART;TZID=%s:%sT091500" % (TZID, ymd(-7)),
                   "DTEND;TZID=%s:%sT093000" % (TZID, ymd(-7)), "RRULE:FREQ=DAILY;COUNT=10",
                   "EXDATE;TZID=%s:%sT091500" % (TZID, ymd(-5)), "LOCATION:Room 4",
                   *alarm(":-PT10M")),
         [r"DTSTART:%sT091500" % ymd(-7), r"RRULE:D1 #10", r"EXDATE:%sT091500" % ymd(-5),
          r"AALARM:%sT090500" % ymd(-7), r"LOCATION:Room 4", r"STATUS:BUSY"]),
        (component("VEVENT", "SUMMARY:Holiday", "DTSTART;VALUE=DATE:" + ymd(3), "DTEND;VALUE=DATE:" + ymd(5),
                   "TRANSP:TRANSPARENT"),
         [r"DTSTART:%sT000000" % ymd(3), r"DTEND:%sT000000" % ymd(5), r"STATUS:FREE"]),
        (component("VEVENT", "SUMMARY:Dentist", "DTSTART:%sT140000Z" % ymd(2), "DTEND:%sT144500Z" % ymd(2),
                   "DESCRIPTION:Bring the card", "CATEGORIES:Health", *alarm(":-PT30M")),
         [r"DTSTART:%sT140000Z" % ymd(2), r"AALARM:%sT133000Z|DALARM:%sT133000Z" % (ymd(2), ymd(2)),
          r"Bring the card", r"CATEGORIES:Health"]),
        (component("VEVENT", "SUMMARY:Anniversary", "DTSTART;VALUE=DATE:" + ymd(10),
                   "DTEND;VALUE=DATE:" + ymd(11), "RRULE:FREQ=YEARLY", *alarm(";RELATED=START:-P1D")),
         [r"RRULE:YM1 %d #0" % day(10).month, r"AALARM:%sT000000" % ymd(9)]),
    ],
    "tasks": [
        (component("VTODO", "SUMMARY:File taxes", "DUE;VALUE=DATE:" + ymd(20), "PRIORITY:1",
                   *alarm(";VALUE=DATE-TIME:%sT080000Z" % ymd(19))),
         [r"DUE:%s" % ymd(20), r"PRIORITY:1", r"AALARM:%s" % berlin(19, 8)]),
        (component("VTODO", "SUMMARY:Buy milk", "STATUS:COMPLETED", "PERCENT-COMPLETE:100",
                   "COMPLETED:%sT100000Z" % ymd(-1)),
         [r"STATUS:COMPLETED", r"COMPLETED:%s" % ymd(-1)]),
        (component("VTODO", "SUMMARY:Plan trip", "DTSTART;VALUE=DATE:" + ymd(1), "DUE;VALUE=DATE:" + ymd(30),
                   "DESCRIPTION:Trains or planes", "CATEGORIES:Travel"),
         [r"DUE:%s" % ymd(30), r"Trains or planes", r"CATEGORIES:Travel"]),
    ],
}


def identity(kind, text):
    return names({0: text})[0] if kind == "contacts" else harness.summary(text)


def exported(dev, kind):
    """{identity: export without its UID line} of a device folder."""
    return {identity(kind, t): without_uid(t) for t in dev.items(DEVICE_FOLDER[kind]).values()}


def key(text):
    return re.search(r"^UID:(.*?)\r?$", text, re.M).group(1)


def eds_identity(kind, text):
    if kind == "contacts":
        return re.search(r"^N:([^;\r\n]*)", text, re.M).group(1)
    return re.search(r"^SUMMARY:(.*?)\r?$", text, re.M).group(1)


class EdsSync(E2eCase):
    def setUp(self):
        super().setUp()
        import eds_items  # the GObject bindings: only now that EDS is known to be there
        self.eds = eds_items.Eds()
        work = os.path.dirname(self.device.root)
        self.a, self.b = (self.device_at(os.path.join(work, name)) for name in ("eds-a", "own-b"))
        self.a.run("orvale-config", "set", "store=eds")

    def device_at(self, root):
        shutil.rmtree(root, ignore_errors=True)
        dev = Device(root)
        dev.env["TZ"] = ZONE
        dev.conf(self.server.url, contacts="contacts", calendar="calendar", tasks="tasks", logging="1")
        return dev

    def sync(self, dev, sent, received):
        """One run on `dev`; what it sent and received, per folder, is as given."""
        next_second()
        self.assertEqual(dev.sync()["result"], 0)
        self.assertEqual(run_report.per_folder(dev, "client"), sent)
        self.assertEqual(run_report.per_folder(dev, "server"), received)

    def assert_same_on_both(self):
        for kind in FOLDERS:
            self.assertEqual(exported(self.b, kind), exported(self.a, kind), kind)

    def assert_server_holds(self, counts):
        for kind, n in counts.items():
            self.assertEqual(len(self.server.items(DEVICE_FOLDER[kind])), n, kind)

    @staticmethod
    def on_device(dev, kind, name):
        """The export of one item, its key in its UID line."""
        return next(t for t in dev.items(DEVICE_FOLDER[kind]).values() if identity(kind, t) == name).decode("utf-8")

    def eds_items(self, kind):
        return {eds_identity(kind, t): (uid, t) for uid, t in self.eds.items(kind).items()}

    def test_eds_device_and_own_device_through_the_server(self):
        a, b, eds = self.a, self.b, self.eds
        # 1. Made in EDS, up from A in a slow sync; B receives every item as A exports it.
        for kind, items in MADE_IN_EDS.items():
            for text, _ in items:
                eds.add(kind, text)
        counts = {k: len(v) for k, v in MADE_IN_EDS.items()}
        self.sync(a, {FOLDERS[k]: {"Add": n} for k, n in counts.items()}, {})
        self.assertEqual(harness.alert_codes(a), ["201", "201", "201"])
        self.assert_server_holds(counts)
        self.sync(b, {}, {FOLDERS[k]: {"Add": n} for k, n in counts.items()})
        self.assert_same_on_both()
        for kind, items in MADE_IN_EDS.items():
            on_b = exported(b, kind)
            for text, expected in items:
                got = on_b[eds_identity(kind, text)].decode("utf-8")
                for pattern in expected:
                    self.assertRegex(got, pattern, (kind, eds_identity(kind, text)))
        self.sync(a, {}, {})

        # 2. Between syncs, in EDS: a contact changed, an event deleted, a task added; each goes
        # once, and B follows.
        _, text = self.eds_items("contacts")["Hopper"]
        eds.modify("contacts", text.replace("Amazing Grace", "Grandma COBOL"))
        eds.remove("events", self.eds_items("events")["Holiday"][0])
        eds.add("tasks", component("VTODO", "SUMMARY:Call plumber", "DUE;VALUE=DATE:" + ymd(2), "PRIORITY:5"))
        self.sync(a, {"Contacts": {"Replace": 1}, "Calendar": {"Delete": 1}, "Tasks": {"Add": 1}}, {})
        self.assert_server_holds({"contacts": 3, "events": 3, "tasks": 4})
        self.sync(b, {}, {"Contacts": {"Replace": 1}, "Calendar": {"Delete": 1}, "Tasks": {"Add": 1}})
        self.assertIn(b"Grandma COBOL", exported(b, "contacts")["Hopper"])
        self.assert_same_on_both()

        # 3. Changes made on B reach EDS: a contact edited, a task deleted, an event added.
        ada = self.on_device(b, "contacts", "Lovelace")
        b.edit(key(ada), ada.replace("Analyst", "Programmer"))
        b.delete(key(self.on_device(b, "tasks", "Buy milk")), "tasks")
        b.import_contacts("BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nSUMMARY:Review\r\n"
                          "DTSTART:%sT120000Z\r\nDTEND:%sT130000Z\r\nLOCATION:Hall\r\nEND:VEVENT\r\n"
                          "END:VCALENDAR\r\n" % (ymd(4), ymd(4)), "calendar")
        self.sync(b, {"Contacts": {"Replace": 1}, "Tasks": {"Delete": 1}, "Calendar": {"Add": 1}}, {})
        self.sync(a, {}, {"Contacts": {"Replace": 1}, "Tasks": {"Delete": 1}, "Calendar": {"Add": 1}})
        in_eds = {k: self.eds_items(k) for k in FOLDERS}
        self.assertIn("Programmer", in_eds["contacts"]["Lovelace"][1])
        self.assertNotIn("Buy milk", in_eds["tasks"])
        review = in_eds["events"]["Review"][1]
        self.assertRegex(review, r"DTSTART;TZID=[^:\r\n]*%s:%s" % (ZONE, berlin(4, 12)))
        self.assertIn("LOCATION:Hall", review)
        self.assertEqual({k: len(v) for k, v in in_eds.items()}, {"contacts": 3, "events": 4, "tasks": 3})
        self.assert_same_on_both()
        # What A wrote into EDS is not taken for an edit made there.
        self.sync(a, {}, {})


if __name__ == "__main__":
    probe = Device(os.path.join(os.environ.get("ORVALE_E2E_WORK", "/tmp/orvale-e2e"), "eds-probe"))
    if probe.run("orvale-config", "eds-sources", check=False).returncode == 7:
        print("skipped: Evolution Data Server cannot be reached (no session bus?)")
        sys.exit(77)
    harness.main()
