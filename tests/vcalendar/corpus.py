#!/usr/bin/env python3
"""The vCalendar corpus: every event of the table goes into a device of its own as a received item
is stored (orvale-vcal-probe); the occurrences the device then holds must be what KDE's vCalendar
reader (orvale-kcal-occurrences) and python-dateutil read from the device's export, and what
dateutil reads from the text as sent. Events the device cannot hold must be refused. Run in
Europe/Berlin, America/New_York and UTC.

Usage: corpus.py PROBE KCAL [--zone Z] [--case NAME] [--show]. Exit 77 (skipped) when the KDE
oracle was not built or dateutil is missing; 1 when any case differs, with one line per case.
"""
import datetime as dt
import os
import subprocess
import sys
import tempfile
import time

try:
    from dateutil import rrule
except ImportError:  # the oracle is optional on a machine without it
    rrule = None

ZONES = ["Europe/Berlin", "America/New_York", "UTC"]
CET = "TZ:+01\r\nDAYLIGHT:TRUE;+02;20270328T010000Z;20271031T010000Z;CEST;CET\r\n"
EST = "TZ:-05\r\nDAYLIGHT:TRUE;-04;20270314T070000Z;20271107T060000Z;EDT;EST\r\n"
LONG = ("Projektbesprechung zum Umbau der Halle, Termin: Raum 3, Gebaeude B;Halle 2, bitte Unterlagen "
        "mitbringen, Beginn: puenktlich")

# name, calendar lines before the VEVENT, VEVENT lines, outcome ("same", "refused"), whether the
# KDE reader is asked (False for a case that only its own known quirks would fail).
CASES = [
    # Daily, with interval, count, end date, no end; across a change of daylight saving time.
    ("daily-3-count", "", "DTSTART:20270310T090000\r\nDTEND:20270310T100000\r\nRRULE:D3 #10", "same", True),
    ("daily-1-end", "", "DTSTART:20270320T233000\r\nDTEND:20270320T234500\r\nRRULE:D1 20270405T235959", "same", True),
    ("daily-2-forever", "", "DTSTART:20271020T081500\r\nDTEND:20271020T091500\r\nRRULE:D2 #0", "same", True),
    # Weekly: near midnight, across the change, several days, interval 2, end date.
    ("weekly-near-midnight", "", "DTSTART:20270104T003000\r\nDTEND:20270104T013000\r\nRRULE:W1 MO #8", "same", True),
    ("weekly-late-evening", "", "DTSTART:20270104T233000\r\nDTEND:20270104T235900\r\nRRULE:W1 MO #8", "same", True),
    ("weekly-dst-exdate", "", "DTSTART:20270301T090000\r\nDTEND:20270301T100000\r\nRRULE:W1 MO #18\r\n"
     "EXDATE:20270329T090000", "same", True),
    ("weekly-2-days-end", "", "DTSTART:20270301T180000\r\nDTEND:20270301T190000\r\n"
     "RRULE:W2 MO WE FR 20270430T235959", "same", True),
    ("weekly-3-forever", "", "DTSTART:20270302T071500\r\nDTEND:20270302T080000\r\nRRULE:W3 TU TH #0", "same", True),
    ("weekly-utc-exdate", "", "DTSTART:20270301T090000\r\nDTEND:20270301T100000\r\nRRULE:W1 MO #6\r\n"
     "EXDATE:20270315T080000Z", "same", True),
    # Monthly by day: interval, count, end date; a day from the end cannot be held.
    ("monthly-day-count", "", "DTSTART:20270115T100000\r\nDTEND:20270115T110000\r\nRRULE:MD1 15 #6", "same", True),
    ("monthly-day-2-count", "", "DTSTART:20270115T100000\r\nDTEND:20270115T110000\r\nRRULE:MD2 15 #6", "same", True),
    ("monthly-day-3-end", "", "DTSTART:20270110T100000\r\nDTEND:20270110T110000\r\nRRULE:MD3 10 20280110T235959", "same", True),
    ("monthly-day-forever", "", "DTSTART:20270105T204500\r\nDTEND:20270105T214500\r\nRRULE:MD1 5 #0", "same", True),
    ("monthly-day-from-end", "", "DTSTART:20270131T100000\r\nDTEND:20270131T110000\r\nRRULE:MD1 1- #4", "refused", True),
    # Monthly by position: last, first from the start, interval, end date; other positions from the
    # end cannot be held.
    ("monthly-last-friday", "", "DTSTART:20270129T100000\r\nDTEND:20270129T110000\r\nRRULE:MP1 1- FR #6", "same", True),
    ("monthly-2-last-monday", "", "DTSTART:20270125T100000\r\nDTEND:20270125T110000\r\nRRULE:MP2 1- MO #4", "same", True),
    ("monthly-second-tuesday", "", "DTSTART:20270112T100000\r\nDTEND:20270112T110000\r\nRRULE:MP1 2+ TU #10", "same", True),
    ("monthly-3-third-wed-end", "", "DTSTART:20270120T190000\r\nDTEND:20270120T200000\r\n"
     "RRULE:MP3 3+ WE 20280301T235959", "same", True),
    ("monthly-first-sunday-forever", "", "DTSTART:20270103T103000\r\nDTEND:20270103T113000\r\nRRULE:MP1 1+ SU #0", "same", True),
    ("monthly-second-last-friday", "", "DTSTART:20270122T100000\r\nDTEND:20270122T110000\r\nRRULE:MP1 2- FR #4", "refused", True),
    ("monthly-3-second-last", "", "DTSTART:20270122T100000\r\nDTEND:20270122T110000\r\nRRULE:MP3 2- FR #17", "refused", True),
    # Yearly by month and by day of the year.
    ("yearly-2-may", "", "DTSTART:20250510T120000\r\nDTEND:20250510T130000\r\nRRULE:YM2 5 #4", "same", True),
    ("yearly-june-forever", "", "DTSTART:20270612T083000\r\nDTEND:20270612T093000\r\nRRULE:YM1 6 #0", "same", True),
    ("yearly-3-march-end", "", "DTSTART:20270305T083000\r\nDTEND:20270305T093000\r\nRRULE:YM3 3 20360306T235959", "same", True),
    ("yearly-day-46", "", "DTSTART:20270215T100000\r\nDTEND:20270215T110000\r\nRRULE:YD1 46 #3", "same", True),
    ("yearly-day-100", "", "DTSTART:20270410T100000\r\nDTEND:20270410T110000\r\nRRULE:YD1 100 #3", "refused", True),
    ("yearly-day-141", "", "DTSTART:20270521T100000\r\nDTEND:20270521T110000\r\nRRULE:YD1 141 #17", "refused", True),
    ("yearly-last-sunday", "", "DTSTART:20270328T100000\r\nDTEND:20270328T110000\r\nRRULE:MP12 1- SU #4", "same", True),
    # All-day forms: a date, a local midnight without end, next-midnight end, a birthday.
    ("allday-date", "", "DTSTART:20270410\r\nDTEND:20270410", "same", True),
    ("allday-midnight-alone", "", "DTSTART:20270410T000000", "same", True),
    ("allday-next-midnight", "", "DTSTART:20270410T000000\r\nDTEND:20270411T000000", "same", True),
    ("allday-birthday", "", "DTSTART:20270311T000000\r\nRRULE:YM1 3 #0", "same", True),
    ("allday-weekly-exdate", "", "DTSTART:20270305\r\nDTEND:20270305\r\nRRULE:W1 FR #6\r\nEXDATE:20270319", "same", True),
    # Times in UTC and in a zone with daylight saving time.
    ("single-utc", "", "DTSTART:20270705T070000Z\r\nDTEND:20270705T080000Z", "same", True),
    ("daylight-berlin-summer", CET, "DTSTART:20270705T090000\r\nDTEND:20270705T100000", "same", True),
    ("daylight-berlin-winter", CET, "DTSTART:20271205T090000\r\nDTEND:20271205T100000", "same", True),
    ("daylight-new-york-weekly", EST, "DTSTART:20270405T090000\r\nDTEND:20270405T100000\r\nRRULE:W1 MO #6", "same", True),
    # Texts: separators, and a value that looks like a component boundary.
    ("text-separators", "", "DTSTART:20270705T070000Z\r\nDTEND:20270705T080000Z\r\n"
     "SUMMARY:Raum 3, Gebaeude B: Treffen\r\nDESCRIPTION:" + LONG.replace(";", "\\;"), "same", True),
    ("text-old-escapes", "", "DTSTART:20270705T070000Z\r\nDTEND:20270705T080000Z\r\n"
     "SUMMARY:Raum 3\\, Gebaeude B\\: Treffen", "same", True),
    ("text-begin-inside", "", "DTSTART:20270705T070000Z\r\nDTEND:20270705T080000Z\r\n"
     "SUMMARY:Agenda - BEGIN:9am\\, END:5pm", "same", False),
]


# ---- reading vCalendar text as the format says (the second, dateutil side) ----

def unfold(text):
    out = []
    for raw in text.replace("\r\n", "\n").split("\n"):
        if raw.startswith((" ", "\t")) and out:
            out[-1] += raw[1:]
        elif raw:
            out.append(raw)
    return out


def split_values(value):
    parts, cur, i = [], "", 0
    while i < len(value):
        c = value[i]
        if c == "\\" and i + 1 < len(value):
            cur += value[i:i + 2]
            i += 2
            continue
        if c == ";":
            parts.append(cur)
            cur = ""
        else:
            cur += c
        i += 1
    parts.append(cur)
    return parts


def unescape(v):
    out, i = "", 0
    while i < len(v):
        if v[i] == "\\" and i + 1 < len(v):
            out += "\r\n" if v[i + 1] in "nN" else v[i + 1]
            i += 2
        else:
            out += v[i]
            i += 1
    return out


def properties(text):
    """name -> list of (value text) for the VEVENT and the calendar around it."""
    props = {}
    for line in unfold(text):
        head, sep, value = line.partition(":")
        if not sep:
            continue
        name = head.split(";")[0].upper()
        if name in ("BEGIN", "END"):
            continue
        props.setdefault(name, []).append(value)
    return props


def offset_of(text):
    sign = -1 if text.startswith("-") else 1
    t = text.lstrip("+-").replace(":", "")
    return sign * (int(t[:2] or 0) * 3600 + int(t[2:4] or 0) * 60)


def parse_time(v):
    v = v.strip()
    if len(v) == 8:
        return dt.datetime.strptime(v, "%Y%m%d"), "date"
    when = dt.datetime.strptime(v[:15], "%Y%m%dT%H%M%S")
    return when, "utc" if v.endswith("Z") else "wall"


class Zone:
    """How a wall-clock time of the text becomes an instant: TZ and DAYLIGHT, else device local."""

    def __init__(self, props):
        self.standard = offset_of(props["TZ"][0]) if "TZ" in props else None
        self.daylight = []
        for d in props.get("DAYLIGHT", []):
            parts = split_values(d)
            if len(parts) >= 4 and parts[0].upper() == "TRUE":
                off = offset_of(parts[1])
                a, ka = parse_time(parts[2])
                b, kb = parse_time(parts[3])
                a = a if ka == "utc" else a - dt.timedelta(seconds=self.standard or 0)
                b = b if kb == "utc" else b - dt.timedelta(seconds=off)
                self.daylight.append((a, b, off))

    def to_utc(self, wall):
        if self.standard is None:
            return dt.datetime.utcfromtimestamp(time.mktime(wall.timetuple()))
        for a, b, off in self.daylight:
            if a <= wall - dt.timedelta(seconds=off) < b:
                return wall - dt.timedelta(seconds=off)
        return wall - dt.timedelta(seconds=self.standard)


DAYS = {"MO": rrule.MO, "TU": rrule.TU, "WE": rrule.WE, "TH": rrule.TH, "FR": rrule.FR, "SA": rrule.SA,
        "SU": rrule.SU} if rrule else {}


def rule_of(value, start):
    """The dateutil rule for a vCalendar 1.0 basic rule starting at the wall-clock `start`."""
    tokens = value.split()
    head = tokens[0]
    kind = next(k for k in ("MD", "MP", "YM", "YD", "D", "W") if head.startswith(k))
    args = {"dtstart": start, "interval": int(head[len(kind):])}
    freq = {"D": rrule.DAILY, "W": rrule.WEEKLY, "MD": rrule.MONTHLY, "MP": rrule.MONTHLY,
            "YM": rrule.YEARLY, "YD": rrule.YEARLY}[kind]
    days, monthdays, months, yeardays, position, end = [], [], [], [], None, None
    for t in tokens[1:]:
        if t.startswith("#"):
            end = ("count", int(t[1:]))
        elif len(t) >= 8 and t[:8].isdigit():
            end = ("until", t)
        elif t in DAYS:
            days.append(DAYS[t](position) if position else DAYS[t])
        elif t[-1] in "+-" and t[:-1].isdigit():
            n = int(t[:-1]) * (1 if t[-1] == "+" else -1)
            if kind == "MP":
                position = n
            else:
                monthdays.append(n)
        elif t == "LD":
            monthdays.append(-1)
        elif t.isdigit():
            {"MD": monthdays, "YM": months, "YD": yeardays}[kind].append(int(t))
    if kind == "W":
        args["byweekday"] = days or [DAYS[["MO", "TU", "WE", "TH", "FR", "SA", "SU"][start.weekday()]]]
        args["wkst"] = rrule.SU  # weeks of the device begin on Sunday
    if kind == "MD":
        args["bymonthday"] = monthdays or [start.day]
    if kind == "MP":
        args["byweekday"] = days
    if kind == "YM":
        args["bymonth"] = months or [start.month]
        args["bymonthday"] = [start.day]
    if kind == "YD":
        args["byyearday"] = yeardays
    if end is None:
        end = ("count", 2)  # the format's default duration
    return freq, args, end


def dateutil_lines(text, first, last):
    props = properties(text)
    zone = Zone(props)
    start_text = props["DTSTART"][0]
    end_text = props.get("DTEND", [None])[0]
    start, kind = parse_time(start_text)
    all_day = kind == "date" or (
        kind == "wall" and start_text[9:15] == "000000"
        and (end_text is None or (not end_text.endswith("Z") and (len(end_text) == 8 or end_text[9:15] in ("000000", "235959", "235900")))))
    lines = []
    for tag, name in (("S", "SUMMARY"), ("N", "DESCRIPTION")):
        if name in props:
            value = ";".join(unescape(v) for v in split_values(props[name][0])).replace("\r\n", "\\n")
            if value:
                lines.append(tag + " " + value)

    def instant(wall):
        return wall if kind == "utc" else zone.to_utc(wall)

    def emit(wall):
        if all_day:
            if first <= wall.date() <= last:
                lines.append("D " + wall.strftime("%Y%m%d"))
            return
        utc = instant(wall)
        local = dt.datetime.fromtimestamp(utc.replace(tzinfo=dt.timezone.utc).timestamp())
        if first <= local.date() <= last:
            lines.append("T " + utc.strftime("%Y%m%dT%H%M%SZ"))

    if "RRULE" not in props:
        emit(start)
        return sorted(lines)
    freq, args, end = rule_of(props["RRULE"][0], start)
    horizon = dt.datetime.combine(last, dt.time(23, 59, 59)) + dt.timedelta(days=2)
    if end[0] == "count" and end[1] > 0:
        args["count"] = end[1]
    elif end[0] == "until":
        until, ukind = parse_time(end[1])
        if ukind == "utc" and kind != "utc":
            until = dt.datetime.fromtimestamp(until.replace(tzinfo=dt.timezone.utc).timestamp())
        args["until"] = until if ukind != "date" else until + dt.timedelta(hours=23, minutes=59, seconds=59)
    else:
        args["until"] = horizon
    excluded = set()
    for value in props.get("EXDATE", []):
        for part in split_values(value.replace(",", ";")):
            if part:
                excluded.add(parse_time(part))
    for wall in rrule.rrule(freq, **args):
        if wall > horizon:
            break
        gone = False
        for when, ekind in excluded:
            if ekind == "date":
                gone |= when.date() == wall.date()
            elif ekind == "utc":
                gone |= when == instant(wall)
            else:
                gone |= when == wall
        if not gone:
            emit(wall)
    return sorted(lines)


# ---- the run ----

def event_text(calendar_lines, event_lines):
    return ("BEGIN:VCALENDAR\r\nVERSION:1.0\r\n" + calendar_lines + "BEGIN:VEVENT\r\n" + event_lines +
            "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")


def window(text):
    start, _ = parse_time(properties(text)["DTSTART"][0])
    return (start - dt.timedelta(days=2)).date(), (start + dt.timedelta(days=3 * 366)).date()


def run_case(probe, kcal, zone, root, work, case, show):
    name, calendar_lines, event_lines, outcome, ask_kcal = case
    sent = event_text(calendar_lines, event_lines)
    first, last = window(sent)
    source = os.path.join(work, name + ".vcs")
    exported = os.path.join(work, name + ".out.vcs")
    with open(source, "w", newline="") as f:
        f.write(sent)
    env = dict(os.environ, TZ=zone, ORVALE_DEVICE_ROOT=root)
    days = [first.strftime("%Y%m%d"), last.strftime("%Y%m%d")]
    device = subprocess.run([probe, source, exported] + days, env=env, capture_output=True, text=True)
    if device.returncode == 3:
        return None if outcome == "refused" else "refused, but the device can hold it"
    if device.returncode != 0:
        return "probe failed: " + device.stderr.strip()
    if outcome == "refused":
        return "stored, but the device cannot hold it"
    held = sorted(device.stdout.splitlines())
    with open(exported, newline="") as f:
        export = f.read()
    problems = []
    readings = [("dateutil on the text sent", dateutil_lines(sent, first, last)),
                ("dateutil on the export", dateutil_lines(export, first, last))]
    if ask_kcal:
        k = subprocess.run([kcal, exported] + days, env=env, capture_output=True, text=True)
        # The KDE reader keeps the backslash of "\;": its quirk, not our text.
        readings.append(("KDE on the export", sorted(l.replace("\\;", ";") for l in k.stdout.splitlines())))
    for what, lines in readings:
        if lines != held:
            problems.append("%s: %s" % (what, diff(held, lines)))
    if show:
        print("----", zone, name, "\n" + export + "\n".join(held))
    return "; ".join(problems) or None


def diff(held, lines):
    only_device = [l for l in held if l not in lines][:3]
    only_reader = [l for l in lines if l not in held][:3]
    return "device only %s, reader only %s" % (only_device, only_reader)


def main():
    args = sys.argv[1:]
    if len(args) < 2:
        print(__doc__)
        return 2
    probe, kcal = args[0], args[1]
    zones = [args[args.index("--zone") + 1]] if "--zone" in args else ZONES
    only = args[args.index("--case") + 1] if "--case" in args else None
    show = "--show" in args
    if rrule is None or not os.path.exists(kcal):
        print("skipped: the KDE vCalendar reader or python-dateutil is not available")
        return 77
    failed = 0
    for zone in zones:
        os.environ["TZ"] = zone
        time.tzset()
        with tempfile.TemporaryDirectory() as work:
            root = os.path.join(work, "device")
            os.mkdir(root)
            cases = [c for c in CASES if only is None or c[0] == only]
            differ = 0
            for case in cases:
                problem = run_case(probe, kcal, zone, root, work, case, show)
                if problem:
                    differ += 1
                    print("%s %s: %s" % (zone, case[0], problem))
            print("%s: %d of %d differ" % (zone, differ, len(cases)))
            failed += differ
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
