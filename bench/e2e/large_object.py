#!/usr/bin/env python3
"""Timed program (not a test): one contact of about 1 MB (its NOTE) sent up by `orvale autosync`
through the loopback server, then received by a second, fresh device. For each direction it prints
the messages that carried chunks against the minimum (the item's size divided by the usable size
of a message, MaxMsgSize - 500), and the client's CPU time per MB beside the same session with one
small contact, so the difference is what the large object cost.

usage: large_object.py [BUILD_DIR] [BYTES]     (defaults: build/, 1048576)
"""
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
E2E = os.path.join(HERE, "..", "..", "tests", "e2e")
sys.path.insert(0, E2E)
if len(sys.argv) > 1:
    os.environ["ORVALE_BUILD_DIR"] = os.path.abspath(sys.argv[1])
import harness  # noqa: E402

MAX_MSG_SIZE = 65536
USABLE = MAX_MSG_SIZE - 500


def card(name, note_bytes):
    words = "lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor".split()
    note, n = [], 0
    while n < note_bytes:
        note.append(words[len(note) % len(words)])
        n += len(note[-1]) + 1
    return "BEGIN:VCARD\r\nVERSION:2.1\r\nN:%s;Big;;;\r\nNOTE:%s\r\nEND:VCARD\r\n" % (name, " ".join(note))


def autosync(device):
    proc = subprocess.Popen([harness.program("orvale"), "autosync"], env=device.env)
    _, status, usage = os.wait4(proc.pid, 0)
    if status != 0:
        sys.exit("orvale autosync failed: status %d" % status)
    return usage.ru_utime + usage.ru_stime


def chunk_messages(device, side):
    """How many of one side's messages carried a chunk (MoreData, or the last chunk: an item with
    a Size announced earlier), and their sizes."""
    sizes, open_object = [], False
    folder = device.capture_dir()
    for name in sorted(os.listdir(folder), key=lambda n: int(n[:n.index("_")])):
        if ("_from_%s" % side) not in name:
            continue
        path = os.path.join(folder, name)
        with open(path, "rb") as f:
            data = f.read()
        if not data:
            continue
        xml = harness.decode(data)
        more = any(True for _ in xml.iter("MoreData"))
        if more or open_object:
            sizes.append(len(data))
        open_object = more
    return sizes


def session(work, name, server, text):
    """Device 1 sends `text`, a fresh device 2 receives it: the two CPU times and message sizes."""
    up = harness.Device(os.path.join(work, name + "-up"))
    up.import_contacts(text)
    up.conf(server.url, contacts="contacts")
    cpu_up = autosync(up)
    sent = chunk_messages(up, "client")
    size = max(len(c) for c in up.items().values())
    harness.next_second()
    down = harness.Device(os.path.join(work, name + "-down"))
    down.conf(server.url, contacts="contacts")
    cpu_down = autosync(down)
    received = chunk_messages(down, "server")
    got = list(down.items().values())
    if len(got) != 1 or re.sub(rb"UID:[^\r]*\r\n", b"", got[0]) != re.sub(rb"UID:[^\r]*\r\n", b"", list(up.items().values())[0]):
        sys.exit("%s: the second device does not hold the item as sent" % name)
    return size, cpu_up, cpu_down, sent, received


def main():
    item_bytes = int(sys.argv[2]) if len(sys.argv) > 2 else 1 << 20
    work = tempfile.mkdtemp(prefix="orvale-bench-lo-")
    try:
        # A server of its own per item: each fresh device sees only its item.
        results = {}
        for name, note in (("small", 200), ("large", item_bytes)):
            server = harness.Server(os.path.join(work, "server-" + name)).start()
            try:
                results[name] = session(work, name, server, card(name.capitalize(), note))
            finally:
                server.stop()
        size, up_cpu, down_cpu, sent, received = results["large"]
        _, up_base, down_base, _, _ = results["small"]
        mb = size / float(1 << 20)
        minimum = math.ceil(size / float(USABLE))
        print("item: %d bytes (%.2f MB) as exported; usable message size %d bytes (MaxMsgSize %d - 500)"
              % (size, mb, USABLE, MAX_MSG_SIZE))
        for what, messages, cpu, base in (("sent", sent, up_cpu, up_base), ("received", received, down_cpu, down_base)):
            print("%s: %d messages with chunks (minimum %d), average %.1f%% of MaxMsgSize; client CPU %.3f s, "
                  "%.3f s with a small contact, so %.3f s per MB"
                  % (what, len(messages), minimum, 100.0 * sum(messages) / max(1, len(messages)) / MAX_MSG_SIZE,
                     cpu, base, (cpu - base) / mb))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
