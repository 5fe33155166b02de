#!/usr/bin/env python3
"""End-to-end: contacts larger than a message travel in chunks, both ways.

A contact with a 60 KB JPEG and one whose NOTE is 200 KB of UTF-8 text go up in chunks and are
stored by the server exactly as exported; a second, fresh device receives both in chunks and holds
the same picture bytes and note text. A connection cut in the middle of a chunked transfer, either
way, followed by a clean sync, leaves exactly one complete copy on both sides.
"""
import base64
import collections
import quopri
import random
import re
import shutil

import harness
from fault_proxy import AFTER, BEFORE, FaultProxy
from harness import E2eCase, names, next_second, without_uid

PICTURE_BYTES = 60 * 1024
NOTE_BYTES = 200 * 1024


def jpeg(size, seed=12):
    """A valid baseline JPEG of one grey pixel, padded to `size` bytes with comment segments."""
    rnd = random.Random(seed)
    head = b"\xff\xd8" + b"\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"
    tail = (b"\xff\xdb\x00\x43\x00" + bytes([1] * 64)                       # quantisation table
            + b"\xff\xc0\x00\x0b\x08\x00\x01\x00\x01\x01\x01\x11\x00"        # 1x1, one component
            + b"\xff\xc4\x00\x14\x00" + bytes([1] + [0] * 15) + b"\x00"      # DC table: one code
            + b"\xff\xc4\x00\x14\x10" + bytes([1] + [0] * 15) + b"\x00"      # AC table: end of block
            + b"\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00" + b"\x3f"          # scan: DC 0, EOB
            + b"\xff\xd9")
    body, room = b"", size - len(head) - len(tail)
    while room > 4:
        n = min(room - 4, 65533)
        body += b"\xff\xfe" + (n + 2).to_bytes(2, "big") + rnd.randbytes(n)
        room -= n + 4
    return head + body + b"\x00" * room + tail


def note_text(size, seed=7):
    words = ["Grüße", "из", "Москвы", "東京の", "夜", "ἀλήθεια", "ça", "va", "🙂", "naïve", "Ærø", "and"]
    rnd = random.Random(seed)
    out, n = [], 0
    while n < size:
        w = rnd.choice(words)
        out.append(w)
        n += len(w.encode()) + 1
    return " ".join(out)


PICTURE = jpeg(PICTURE_BYTES)
NOTE = note_text(NOTE_BYTES)
CARDS = ("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Photo;Pia;;;\r\nFN:Pia Photo\r\n"
         "PHOTO;ENCODING=BASE64;TYPE=JPEG:" + base64.b64encode(PICTURE).decode() + "\r\n\r\nEND:VCARD\r\n"
         "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Notes;Nora;;;\r\nFN:Nora Notes\r\n"
         "NOTE;CHARSET=UTF-8:" + NOTE + "\r\nEND:VCARD\r\n")
# Mostly white space, so that a chunk begins with it: the server must not trim a chunk. (The server
# itself cuts its chunks between two letters, so some are needed.)
SPACES = ("ab" + " " * 2000) * 36 + "end"
SPACES_CARD = "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Spaces;Sam;;;\r\nNOTE:" + SPACES + "\r\nEND:VCARD\r\n"


def picture_of(card):
    m = re.search(rb"^PHOTO[^:]*:(.*?)\r\n", re.sub(rb"\r\n[ \t]", b"", card), re.M)
    return base64.b64decode(m.group(1)) if m else None


def note_of(card):
    """The NOTE value as text: quoted-printable folded with soft line breaks, or plain text folded
    with a leading space."""
    m = re.search(rb"^NOTE([^:]*):(.*?)(?<!=)\r\n(?![ \t])", card, re.M | re.S)
    if not m:
        return None
    if b"QUOTED-PRINTABLE" in m.group(1):
        return quopri.decodestring(m.group(2).replace(b"=\r\n", b"")).decode("utf-8")
    return re.sub(rb"\r\n[ \t]", b"", m.group(2)).decode("utf-8")


def chunks(device, side):
    """Per message of one side: the (Size, MoreData) of every item command inside its Syncs."""
    out = []
    for name, root in harness.captured(device):
        if root is None or ("_from_%s" % side) not in name:
            continue
        for sync in root.iter("Sync"):
            for cmd in sync:
                if cmd.tag in ("Add", "Replace"):
                    for item in cmd.findall("Item"):
                        out.append((cmd.findtext("Meta/Size"), item.find("MoreData") is not None))
    return out


def chunked_items(found):
    """How many items went in chunks, and how many chunks in all."""
    items = sum(1 for size, more in found if size is not None and more)
    return items, sum(1 for _, more in found if more) + items


def nth_message(holds, n):
    """A cut predicate: the n-th client message for whose element tree `holds` is true."""
    seen = [0]

    def when(body):
        if holds(harness.decode(body)):
            seen[0] += 1
        return seen[0] == n
    return when


def with_chunk(root):
    return any(True for _ in root.iter("MoreData"))


def with_chunk_status(root):
    return any(s.findtext("Data") == "213" for s in root.iter("Status"))


class LargeObjects(E2eCase):
    def fresh_device(self, url):
        root = self.device.root + "-second"
        shutil.rmtree(root, ignore_errors=True)
        device = harness.Device(root)
        device.conf(url, contacts="contacts")
        return device

    def check_device(self, device, spaces=False):
        items = list(device.items().values())
        self.assertEqual(sorted(names(dict(enumerate(items)))), ["Notes", "Photo"] + (["Spaces"] if spaces else []))
        for card in items:
            if b"N:Photo" in card:
                self.assertEqual(picture_of(card), PICTURE)
            else:
                self.assertEqual(note_of(card), SPACES if b"N:Spaces" in card else NOTE)
        return {names({0: c})[0]: without_uid(c) for c in items}

    def test_both_ways_in_chunks(self):
        dev, srv = self.device, self.server
        dev.import_contacts(CARDS + SPACES_CARD)
        source = self.check_device(dev, spaces=True)
        self.assertGreater(len(source["Photo"]), 65536)
        self.assertGreater(len(source["Notes"]), NOTE_BYTES)
        self.assertEqual(dev.sync()["result"], 0)
        up = chunks(dev, "client")
        self.assertEqual(chunked_items(up)[0], 3, up)
        # The first chunk names the exported size; the server stores each exactly as exported.
        self.assertEqual(sorted(int(s) for s, more in up if s), sorted(len(c) for c in dev.items().values()))
        stored = srv.items()
        mapping = srv.map()
        for key, card in dev.items().items():
            self.assertEqual(stored[mapping[key]], without_uid(card))

        second = self.fresh_device(srv.url)
        next_second()  # the server hands out what changed before the second of the session's start
        self.assertEqual(second.sync()["result"], 0)
        self.assertEqual(chunked_items(chunks(second, "server"))[0], 3)
        self.assertEqual(self.check_device(second, spaces=True), source)
        self.assertEqual(len(srv.items()), 3)

    def test_cut_in_the_middle_of_chunks(self):
        dev, srv = self.device, self.server
        dev.import_contacts(CARDS)
        source = self.check_device(dev)
        with FaultProxy(srv.url) as proxy:
            dev.conf(proxy.url, contacts="contacts")
            # Upload: the third chunk never reaches the server.
            proxy.arm(None, BEFORE, when=nth_message(with_chunk, 3))
            self.assertNotEqual(dev.sync()["result"], 0)
            self.assertIsNotNone(proxy.cut_body)
            proxy.arm(None, BEFORE)
            next_second()
            self.assertEqual(dev.sync()["result"], 0)
            self.assertEqual(collections.Counter(names(srv.items())), {"Notes": 1, "Photo": 1})
            self.assertEqual(sorted(srv.items().values()), sorted(source.values()))

            # Download to a fresh device: the server's reply to our third message with a 213 is lost.
            second = self.fresh_device(proxy.url)
            next_second()
            proxy.arm(None, AFTER, when=nth_message(with_chunk_status, 3))
            self.assertNotEqual(second.sync()["result"], 0)
            # The picture was whole before the cut; nothing of the note, still in chunks, is kept.
            self.assertEqual(names(second.items()), ["Photo"])
            proxy.arm(None, AFTER)
            next_second()
            self.assertEqual(second.sync()["result"], 0)
            self.assertEqual(self.check_device(second), source)
        self.assertEqual(collections.Counter(names(srv.items())), {"Notes": 1, "Photo": 1})
        self.assertEqual(collections.Counter(names(dev.items())), {"Notes": 1, "Photo": 1})


if __name__ == "__main__":
    harness.main()
