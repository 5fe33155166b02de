#!/usr/bin/env python3
"""Timed program (not a test): the first sync of 5,000 contacts from the loopback server into a
fresh device over Evolution Data Server, beside the same download into a fresh device over
Orvale's own database, in one run. For each: wall time, the client's CPU time and peak memory (the
`orvale` process alone), the server's messages; for EDS also the address-book factory's peak memory
(a process of its own) and the contacts EDS holds afterwards, counted through EDS's own API.

Run it under scripts/eds-session.sh (an EDS of its own on a private bus, so the count and the
factory are this run's alone):
  scripts/eds-session.sh python3 bench/e2e/eds_download.py [BUILD_DIR] [COUNT]   (build/, 5000)
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import slow_sync
from slow_sync import harness

# EDS's GObject bindings are installed for the system's Python, which need not be the one running
# this program.
COUNT_IN_EDS = r"""
import gi
gi.require_version("EBook", "1.2")
gi.require_version("EDataServer", "1.2")
from gi.repository import EBook, EDataServer
registry = EDataServer.SourceRegistry.new_sync(None)
client = EBook.BookClient.connect_sync(registry.ref_builtin_address_book(), 30, None)
ok, uids = client.get_contacts_uids_sync('(contains "x-evolution-any-field" "")', None)
print(len(uids))
"""


def count_in_eds():
    python = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable
    done = subprocess.run([python, "-c", COUNT_IN_EDS], stdout=subprocess.PIPE, timeout=harness.RUN_TIMEOUT)
    return int(done.stdout) if done.returncode == 0 else None


def factory_memory():
    """{pid: (name, peak kB, current kB, CPU seconds)} of this session's address-book factory processes."""
    ours = ("XDG_DATA_HOME=" + os.environ.get("XDG_DATA_HOME", "")).encode()
    out = {}
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                name = os.path.basename(f.read().split(b"\0")[0].decode(errors="replace"))
            if not name.startswith("evolution-addressbook-factory"):
                continue
            with open("/proc/%s/environ" % pid, "rb") as f:
                if ours not in f.read().split(b"\0"):
                    continue
            with open("/proc/%s/status" % pid) as f:
                fields = dict(line.split(":", 1) for line in f if ":" in line)
            with open("/proc/%s/stat" % pid) as f:
                ticks = f.read().rsplit(")", 1)[1].split()[11:13]  # utime, stime
            out[int(pid)] = (name, int(fields["VmHWM"].split()[0]), int(fields["VmRSS"].split()[0]),
                             sum(map(int, ticks)) / os.sysconf("SC_CLK_TCK"))
        except (OSError, KeyError, ValueError):
            continue
    return out


def build_type():
    try:
        with open(os.path.join(harness.build_dir(), "CMakeCache.txt")) as f:
            for line in f:
                if line.startswith("CMAKE_BUILD_TYPE:"):
                    return line.split("=", 1)[1].strip() or "no build type"
    except OSError:
        pass
    return "unknown build type"


def download(device, server):
    device.conf(server.url, contacts="contacts")
    harness.next_second()
    wall, usage = slow_sync.timed_autosync(device)
    received = slow_sync.messages(device, "server")
    return wall, usage, len(received), sum(1 for _, _, items in received if items)


def main():
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS") or not os.environ.get("XDG_DATA_HOME"):
        sys.exit("run me under scripts/eds-session.sh: the EDS half needs an EDS and a bus of its own")
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 5000
    work = tempfile.mkdtemp(prefix="orvale-bench-eds-")
    server = harness.Server(os.path.join(work, "server")).start()
    try:
        slow_sync.upload(work, server, count)
        stored = int(server.tool("count", "contacts").decode())
        if stored != count:
            sys.exit("the server holds %d contacts, not %d" % (stored, count))

        # The registry and the factory start by D-Bus activation on first use; that start is the
        # desktop session's, not the sync's, so it is paid here and shown apart.
        warm = harness.Device(os.path.join(work, "eds-start"))
        warm.run("orvale-config", "set", "store=eds")
        start = time.monotonic()
        warm.keys()
        eds_start = time.monotonic() - start

        own = harness.Device(os.path.join(work, "own"))
        own_wall, own_usage, own_msgs, own_items = download(own, server)
        own_held = len(own.keys())

        eds = harness.Device(os.path.join(work, "eds"))
        eds.run("orvale-config", "set", "store=eds")
        before = factory_memory()
        eds_wall, eds_usage, eds_msgs, eds_items = download(eds, server)
        factories = factory_memory()
        eds_held = len(eds.keys())
        in_eds = count_in_eds()

        def cpu(usage):
            return usage.ru_utime + usage.ru_stime

        print("download of %d contacts, %s, one run (EDS start before it: %.2f s)" % (count, build_type(), eds_start))
        print("%-34s %14s %14s" % ("", "own database", "EDS"))
        print("%-34s %12.2f s %12.2f s" % ("wall time", own_wall, eds_wall))
        print("%-34s %12.2f s %12.2f s" % ("client CPU (user + system)", cpu(own_usage), cpu(eds_usage)))
        print("%-34s %11.1f MB %11.1f MB" % ("client peak memory", own_usage.ru_maxrss / 1024.0,
                                             eds_usage.ru_maxrss / 1024.0))
        print("%-34s %14s %14s" % ("server messages (with items)", "%d (%d)" % (own_msgs, own_items),
                                   "%d (%d)" % (eds_msgs, eds_items)))
        print("%-34s %14d %14d" % ("contacts listed by orvale-pim", own_held, eds_held))
        print("contacts in EDS's address book, counted by EDS: %s" % ("unknown" if in_eds is None else in_eds))
        for pid, (name, peak, now, cpu_s) in sorted(factories.items()):
            print("EDS factory %s (pid %d): peak memory %.1f MB, now %.1f MB; CPU during the download %.2f s"
                  % (name, pid, peak / 1024.0, now / 1024.0, cpu_s - before.get(pid, (0, 0, 0, 0))[3]))
        print("EDS / own wall time: %.2f (goal <= 2); EDS client peak memory %.1f MB (goal < 60 MB)"
              % (eds_wall / own_wall, eds_usage.ru_maxrss / 1024.0))
        if own_held != count or eds_held != count or in_eds != count:
            sys.exit("not every contact arrived")
    finally:
        server.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
