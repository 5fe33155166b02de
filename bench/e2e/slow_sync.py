#!/usr/bin/env python3
"""Timed program (not a test): the first sync of 5,000 contacts by `orvale autosync` against the
loopback server, in both directions in one run. Upload: a device holding the contacts syncs with
an empty server. Download: a fresh, empty device syncs with the server that now holds them. For
each it prints the wall time, the client's CPU time and peak memory and the messages; for the
upload the client messages' average size as a share of the MaxMsgSize (65536); for the download
the fsync-family calls the client made per server message that carried items (counted by strace
in a further download to another fresh device, so the timed runs are not slowed by it).

usage: slow_sync.py [BUILD_DIR] [COUNT]     (defaults: build/, 5000)
"""
import os
import re
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
SYNC_CALLS = ("fsync", "fdatasync", "sync_file_range", "syncfs", "sync", "msync")


def has_items(path):
    with open(path, "rb") as f:
        return b"BEGIN:VCARD" in f.read()


def timed_autosync(device):
    start = time.monotonic()
    proc = subprocess.Popen([harness.program("orvale"), "autosync"], env=device.env)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.monotonic() - start
    if status != 0:
        sys.exit("orvale autosync failed: status %d" % status)
    return wall, usage


def messages(device, side):
    folder = device.capture_dir()
    names = [n for n in sorted(os.listdir(folder)) if "_from_%s" % side in n]
    return [(n, os.path.getsize(os.path.join(folder, n)), has_items(os.path.join(folder, n))) for n in names]


def sync_calls(device):
    """{call: count} of the fsync family over one `orvale autosync`, from strace's summary."""
    out = os.path.join(device.root, "strace.txt")
    subprocess.run(["strace", "-f", "-c", "-o", out, "-e", "trace=" + ",".join(SYNC_CALLS),
                    harness.program("orvale"), "autosync"], env=device.env, check=True,
                   timeout=harness.RUN_TIMEOUT)
    counts = {}
    with open(out) as f:
        for line in f:
            m = re.match(r"\s*[\d.]+\s+[\d.]+\s+\d+\s+(\d+)\s+(?:\d+\s+)?(\w+)\s*$", line)
            if m and m.group(2) in SYNC_CALLS:
                counts[m.group(2)] = int(m.group(1))
    return counts


def report(title, wall, usage):
    print("%s:" % title)
    print("  wall time: %.2f s" % wall)
    print("  client CPU time: %.2f s (user %.2f, system %.2f)" % (usage.ru_utime + usage.ru_stime,
                                                                  usage.ru_utime, usage.ru_stime))
    print("  client peak memory: %.1f MB (goal < 30 MB)" % (usage.ru_maxrss / 1024.0))


def upload(work, server, count):
    """A device holding `count` contacts syncs them up to the server: (the device, wall, usage)."""
    up = harness.Device(os.path.join(work, "upload"))
    up.import_contacts(harness.sample.contacts(count))
    up.conf(server.url, contacts="contacts")
    wall, usage = timed_autosync(up)
    return up, wall, usage


def main():
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 5000
    work = tempfile.mkdtemp(prefix="orvale-bench-")
    server = harness.Server(os.path.join(work, "server")).start()
    try:
        up, up_wall, up_usage = upload(work, server, count)
        client = messages(up, "client")
        sizes = [size for _, size, _ in client]
        # Every item message but the last was closed because the next item did not fit, so they
        # show how well a message is filled. The rest (initialisation, the last changes, the
        # closing statuses) are small by nature.
        with_items = [size for _, size, items in client if items]
        full = with_items[:-1] or with_items
        stored = int(server.tool("count", "contacts").decode())
        print("upload: %d contacts sent, %d stored by the server" % (count, stored))
        report("upload", up_wall, up_usage)
        print("  messages: %d client, %d in all" % (len(client), 2 * len(client)))
        print("  client message average: %.0f bytes = %.1f%% of MaxMsgSize (goal >= 90%%)"
              % (sum(sizes) / len(sizes), 100.0 * sum(sizes) / len(sizes) / MAX_MSG_SIZE))
        if full:
            print("  messages closed full of items: %d, average %.1f%% of MaxMsgSize (smallest %.1f%%, largest "
                  "%.1f%%)" % (len(full), 100.0 * sum(full) / len(full) / MAX_MSG_SIZE,
                               100.0 * min(full) / MAX_MSG_SIZE, 100.0 * max(full) / MAX_MSG_SIZE))
        if stored != count:
            sys.exit("the server holds %d contacts, not %d" % (stored, count))

        down = harness.Device(os.path.join(work, "download"))
        down.conf(server.url, contacts="contacts")
        harness.next_second()
        down_wall, down_usage = timed_autosync(down)
        received = messages(down, "server")
        with_items = sum(1 for _, _, items in received if items)
        held = len(down.keys())
        print("download: %d contacts on the server, %d stored by the device" % (count, held))
        report("download", down_wall, down_usage)
        print("  messages: %d server, %d of them with items" % (len(received), with_items))
        up_cpu = up_usage.ru_utime + up_usage.ru_stime
        down_cpu = down_usage.ru_utime + down_usage.ru_stime
        print("client CPU, download / upload: %.2f (goal <= 1.5)" % (down_cpu / up_cpu))

        if shutil.which("strace"):
            counted = harness.Device(os.path.join(work, "download-strace"))
            counted.conf(server.url, contacts="contacts")
            harness.next_second()
            calls = sync_calls(counted)
            item_messages = sum(1 for _, _, items in messages(counted, "server") if items)
            total = sum(calls.values())
            print("download fsync-family calls: %d in all (%s), %.2f per server message with items (%d)"
                  % (total, ", ".join("%s %d" % kv for kv in sorted(calls.items())) or "none",
                     total / max(item_messages, 1), item_messages))
        else:
            print("download fsync-family calls: strace is not installed")
        if held != count:
            sys.exit("the device holds %d contacts, not %d" % (held, count))
    finally:
        server.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
