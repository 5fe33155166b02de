#!/usr/bin/env python3
"""Timed program (not a test): a slow sync of 5,000 contacts by `orvale autosync` against the
loopback server. Prints the wall time, the client's CPU time and peak memory, the number of
messages, and the client messages' average size as a share of the MaxMsgSize (65536).

usage: slow_sync.py [BUILD_DIR] [COUNT]     (defaults: build/, 5000)
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
E2E = os.path.join(HERE, "..", "..", "tests", "e2e")
sys.path.insert(0, E2E)
if len(sys.argv) > 1:
    os.environ["ORVALE_BUILD_DIR"] = os.path.abspath(sys.argv[1])
import harness  # noqa: E402

MAX_MSG_SIZE = 65536


def main():
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 5000
    work = tempfile.mkdtemp(prefix="orvale-bench-")
    server = harness.Server(os.path.join(work, "server")).start()
    try:
        device = harness.Device(os.path.join(work, "device"))
        device.import_contacts(harness.sample.contacts(count))
        device.conf(server.url, contacts="contacts")
        start = time.monotonic()
        proc = subprocess.Popen([harness.program("orvale"), "autosync"], env=device.env)
        _, status, usage = os.wait4(proc.pid, 0)
        wall = time.monotonic() - start
        if status != 0:
            sys.exit("orvale autosync failed: status %d" % status)
        folder = device.capture_dir()
        client = [os.path.getsize(os.path.join(folder, n)) for n in sorted(os.listdir(folder)) if "_from_client" in n]
        full = client[1:-1] or client  # the first (Alert) and last (statuses, Map) are small by nature
        stored = int(server.tool("count", "contacts").decode())
        print("contacts: %d sent, %d stored by the server" % (count, stored))
        print("wall time: %.2f s" % wall)
        print("client CPU time: %.2f s (user %.2f, system %.2f)" % (usage.ru_utime + usage.ru_stime,
                                                                    usage.ru_utime, usage.ru_stime))
        print("client peak memory: %.1f MB (goal < 30 MB)" % (usage.ru_maxrss / 1024.0))
        print("messages: %d client, %d in all" % (len(client), 2 * len(client)))
        print("client message average: %.0f bytes = %.1f%% of MaxMsgSize; without the first and last: %.1f%%"
              " (goal >= 90%%)" % (sum(client) / len(client), 100.0 * sum(client) / len(client) / MAX_MSG_SIZE,
                                   100.0 * sum(full) / len(full) / MAX_MSG_SIZE))
        if stored != count:
            sys.exit("the server holds %d contacts, not %d" % (stored, count))
    finally:
        server.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
