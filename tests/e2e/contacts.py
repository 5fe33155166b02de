#!/usr/bin/env python3
"""Sample contacts for the end-to-end tests and the main job, as vCard 2.1 text.

usage: contacts.py COUNT [FIRST]   prints COUNT contacts numbered from FIRST (default 1)

Every contact has a unique name ("Sample<n>"), so a name identifies it on both sides.
"""
import sys

FIRST = ["Anna", "Björn", "Chiara", "Dmitri", "Eva", "Farid", "Grete", "Hugo", "Inès", "Jonas"]
ORGS = ["Tarn Instruments", "Halden & Söner", "Mistral Logistics", "Norrbotten Maps"]


def contact(n):
    given = FIRST[n % len(FIRST)]
    lines = [
        "BEGIN:VCARD",
        "VERSION:2.1",
        "N;CHARSET=UTF-8:Sample%d;%s;;;" % (n, given),
        "FN;CHARSET=UTF-8:%s Sample%d" % (given, n),
        "ORG;CHARSET=UTF-8:%s;Dept %d" % (ORGS[n % len(ORGS)], n % 7),
        "TITLE:Engineer grade %d" % (n % 5),
        "TEL;WORK:+46 31 %03d %03d" % (n // 1000 % 1000, n % 1000),
        "TEL;CELL:+46 70 555 %04d" % (n % 10000),
        "EMAIL:sample%d@mail.example" % n,
        "ADR;WORK;CHARSET=UTF-8:;;Storgatan %d;Göteborg;;411 %02d;Sweden" % (n % 90 + 1, n % 100),
        "NOTE:Contact number %d of the sample set." % n,
        "END:VCARD",
    ]
    return "\r\n".join(lines) + "\r\n"


def contacts(count, first=1):
    return "".join(contact(n) for n in range(first, first + count))


if __name__ == "__main__":
    count = int(sys.argv[1])
    first = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    sys.stdout.buffer.write(contacts(count, first).encode("utf-8"))
