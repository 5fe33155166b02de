#!/usr/bin/env python3
"""Prints what the last run on a device root did: per folder the items sent and received (read
from the captured messages), what the server now holds, and where the captured messages are.

usage: run_report.py DEVICE_ROOT SERVER_WORKDIR
"""
import os
import sys

import harness

FOLDERS = {"./WinMobileContacts": "Contacts", "./WinMobileCalendar": "Calendar", "./WinMobileTasks": "Tasks"}


def per_folder(device, side):
    counts = {}
    for name, root in harness.captured(device):
        if root is None or ("_from_%s" % side) not in name:
            continue
        for sync in root.iter("Sync"):
            # The client's Sync has our store as Source; the server's has it as Target.
            uri = sync.findtext("Source/LocURI" if side == "client" else "Target/LocURI")
            folder = FOLDERS.get(uri, uri)
            for cmd in sync:
                if cmd.tag in ("Add", "Replace", "Delete"):
                    c = counts.setdefault(folder, {})
                    c[cmd.tag] = c.get(cmd.tag, 0) + len(cmd.findall("Item"))
    return counts


def describe(c):
    return ", ".join("%d %s" % (n, k) for k, n in sorted(c.items())) or "nothing"


def main():
    device = harness.Device(sys.argv[1])
    server = harness.Server(sys.argv[2])
    if not os.path.isdir(device.capture_dir()) or not os.listdir(device.capture_dir()):
        print("no messages were exchanged")
    else:
        sent, received = per_folder(device, "client"), per_folder(device, "server")
        print("messages exchanged: %d" % (len(os.listdir(device.capture_dir())) // 2))
        for folder in sorted(set(sent) | set(received) | {"Contacts"}):
            print("%-9s sent: %s; received: %s" % (folder, describe(sent.get(folder, {})),
                                                   describe(received.get(folder, {}))))
    settings = dict(line.split("=", 1) for line in device.run("orvale-config", "show").stdout.decode().splitlines())
    print("last sync text: %s" % (settings.get("lastsync") or "(none: the run did not succeed)"))
    log = device.run_log()
    if log is not None:
        print("Logs.dat: %s" % log.replace("\r\n", " | ").strip(" |"))
    for db in ("contacts", "calendar", "tasks"):
        print("server %s: %s items" % (db, server.tool("count", db).decode().strip()))
    print(server.tool("list", "contacts").decode().rstrip()[:2000])
    print("captured messages: %s" % device.capture_dir())


if __name__ == "__main__":
    main()
