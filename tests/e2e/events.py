#!/usr/bin/env python3
"""Sample calendar events for the end-to-end tests, as vCalendar 1.0 text, dated around a given day.

usage: events.py COUNT [FIRST]   prints COUNT events numbered from FIRST (default 1), around today

Every event has a unique summary ("Event<n>"), so a summary identifies it on both sides. One in ten
recurs (every rule kind in turn, some with exceptions), one in ten is all-day (as dates alone or as
midnight times), the rest are timed, some with alarms, attendees, categories or a time zone.
"""
import datetime
import sys

RULES = ["D1 #5", "D2 #0", "W1 MO WE #10", "W2 TU TH %(until)s", "W1 #0", "MD1 15 #6",
         "MP1 2+ TU #0", "MD2 28 %(until)s", "YM1 6 #0", "MP1 3+ FR #8"]
PEOPLE = ["anna@example.org", "Jürgen Müller", "mailto:chiara@example.org"]


def stamp(d, utc=False):
    return d.strftime("%Y%m%dT%H%M%S") + ("Z" if utc else "")


def event(n, today=None):
    today = today or datetime.date.today()
    day = today + datetime.timedelta(days=n % 61 - 30)
    start = datetime.datetime.combine(day, datetime.time(8 + n % 9, 15 * (n % 4)))
    lines = ["BEGIN:VCALENDAR", "VERSION:1.0"]
    if n % 10 == 3:
        lines.append("TZ:-05")  # the times below are New York's
    lines += ["BEGIN:VEVENT", "SUMMARY:Event%d" % n]
    if n % 10 == 5:
        if n % 20 == 5:
            lines += ["DTSTART:" + day.strftime("%Y%m%d"),
                      "DTEND:" + (day + datetime.timedelta(days=1 + n % 3)).strftime("%Y%m%d")]
        else:
            lines += ["DTSTART:" + day.strftime("%Y%m%dT000000"), "DTEND:" + day.strftime("%Y%m%dT235959")]
    else:
        end = start + datetime.timedelta(minutes=30 + 15 * (n % 5))
        lines += ["DTSTART:" + stamp(start), "DTEND:" + stamp(end)]
        if n % 3 == 0:
            lines.append("AALARM:" + stamp(start - datetime.timedelta(minutes=15)))
    if n % 10 == 0:
        until = datetime.datetime.combine(today + datetime.timedelta(days=90), datetime.time(0, 0))
        lines.append("RRULE:" + RULES[n // 10 % len(RULES)] % {"until": stamp(until, True)})
        if n % 20 == 0:
            lines.append("EXDATE:" + stamp(start + datetime.timedelta(days=7 if "W" in RULES[n // 10 % len(RULES)] else 1)))
    if n % 4 == 1:
        lines.append("CATEGORIES:Business;Project %d" % (n % 7))
    if n % 7 == 2:
        lines += ["ATTENDEE:" + p for p in PEOPLE[: 1 + n % 3]]
    lines += ["LOCATION:Room %d" % (n % 12), "DESCRIPTION:Event number %d of the sample set." % n,
              "END:VEVENT", "END:VCALENDAR"]
    return "\r\n".join(lines) + "\r\n"


def events(count, first=1, today=None):
    return "".join(event(n, today) for n in range(first, first + count))


if __name__ == "__main__":
    count = int(sys.argv[1])
    first = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    sys.stdout.buffer.write(events(count, first).encode("utf-8"))
