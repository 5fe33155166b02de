#!/usr/bin/env python3
"""Timed program (not a test): what the run's own log costs. 5,000 contacts go up from one device
by `orvale autosync`, then down to fresh devices, alternately with the contacts' names in the log
(the default) and without (log-names=off); each run's client CPU time and log size are printed,
and the names' share of the CPU time (median of the runs) against the goals: a log below 1 MB and
under 5 % of the run's CPU.

usage: run_log.py [BUILD_DIR] [COUNT] [ROUNDS]     (defaults: build/, 5000, 2)
"""
import glob
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e"))
if len(sys.argv) > 1:
    os.environ["ORVALE_BUILD_DIR"] = os.path.abspath(sys.argv[1])
import harness  # noqa: E402


def autosync(device):
    proc = subprocess.Popen([harness.program("orvale"), "autosync"], env=device.env)
    _, status, usage = os.wait4(proc.pid, 0)
    if status != 0:
        sys.exit("orvale autosync failed: status %d" % status)
    logs = sorted(glob.glob(device.app_file(os.path.join("Logs", "run-*.log"))))
    return usage.ru_utime + usage.ru_stime, os.path.getsize(logs[-1])


def device(work, name, url, names):
    dev = harness.Device(os.path.join(work, name))
    dev.conf(url, contacts="contacts")
    with open(dev.app_file("LogSettings"), "w") as f:
        f.write("log-names=%s\n" % ("on" if names else "off"))
    return dev


def main():
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 5000
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 2
    work = tempfile.mkdtemp(prefix="orvale-bench-log-")
    server = harness.Server(os.path.join(work, "server")).start()
    try:
        up = device(work, "upload", server.url, True)
        up.import_contacts(harness.sample.contacts(count))
        cpu, size = autosync(up)
        print("upload of %d contacts, names on: CPU %.2f s, log %d bytes (goal < 1 MB)" % (count, cpu, size))
        cpus = {True: [], False: []}
        for r in range(rounds):
            for names in (True, False):
                dev = device(work, "down-%d-%s" % (r, names), server.url, names)
                harness.next_second()
                cpu, size = autosync(dev)
                cpus[names].append(cpu)
                print("download %d, names %s: CPU %.2f s, log %d bytes" % (r + 1, "on " if names else "off", cpu, size))
        on, off = statistics.median(cpus[True]), statistics.median(cpus[False])
        print("names in the log: %.2f s of %.2f s CPU = %.1f %% (goal < 5 %%; CPU times on a shared machine vary)"
              % (on - off, on, 100.0 * (on - off) / on))
    finally:
        server.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
