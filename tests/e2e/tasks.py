#!/usr/bin/env python3
"""Sample tasks for the end-to-end tests and the main job, as vCalendar 1.0 text, dated around a
given day.

usage: tasks.py COUNT [FIRST]   prints COUNT tasks numbered from FIRST (default 1), around today

Every task has a unique summary ("Task<n>"), so a summary identifies it on both sides. Their dates
come as dates alone, in UTC or in a zone given by TZ; one in eight recurs (each rule kind in turn),
one in five is completed, and priorities, classes, alarms and categories vary.
"""
import datetime
import sys

RULES = ["D1 #5", "W1 MO WE #6", "W2 FR %(until)s", "MD1 15 #4", "MP1 2+ TU #0", "YM1 %(month)d #3",
         "MP12 1+ MO #0", "D3 #0"]
CLASSES = [None, "PERSONAL", "PRIVATE", "CONFIDENTIAL"]


def task(n, today=None):
    today = today or datetime.date.today()
    due = today + datetime.timedelta(days=n % 41 - 10)
    start = due - datetime.timedelta(days=n % 4)
    lines = ["BEGIN:VCALENDAR", "VERSION:1.0"]
    if n % 6 == 2:
        lines.append("TZ:+01:00")  # the times below are that zone's
    lines += ["BEGIN:VTODO", "SUMMARY:Task%d" % n, "DESCRIPTION:Task number %d of the sample set." % n]
    if n % 3 == 0:
        lines += ["DTSTART:" + start.strftime("%Y%m%d"), "DUE:" + due.strftime("%Y%m%d")]
    elif n % 3 == 1:
        lines += ["DUE:" + due.strftime("%Y%m%dT100000Z")]
    else:
        lines += ["DTSTART:" + start.strftime("%Y%m%dT120000")]  # no DUE: the start is due
    lines.append("PRIORITY:%d" % (1 + n % 3))
    if CLASSES[n % 4]:
        lines.append("CLASS:" + CLASSES[n % 4])
    if n % 5 == 0:
        lines += ["STATUS:COMPLETED", "COMPLETED:" + due.strftime("%Y%m%d")]
    if n % 4 == 1:
        lines.append("AALARM:" + due.strftime("%Y%m%dT080000Z") + ";;;")
    if n % 7 == 3:
        lines.append("CATEGORIES:Errands;Home %d" % (n % 5))
    if n % 8 == 4:
        until = datetime.datetime.combine(today + datetime.timedelta(days=120), datetime.time(0, 0))
        rule = RULES[n // 8 % len(RULES)] % {"until": until.strftime("%Y%m%dT%H%M%SZ"), "month": due.month}
        lines.append("RRULE:" + rule)
    lines += ["END:VTODO", "END:VCALENDAR"]
    return "\r\n".join(lines) + "\r\n"


def tasks(count, first=1, today=None):
    return "".join(task(n, today) for n in range(first, first + count))


if __name__ == "__main__":
    count = int(sys.argv[1])
    first = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    sys.stdout.buffer.write(tasks(count, first).encode("utf-8"))
