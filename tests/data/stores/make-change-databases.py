#!/usr/bin/env python3
# Writes the expected change databases of ChangeDatabaseTest from first principles: identifiers as
# the device store allocates them, fingerprints by zlib's CRC-32 over the UTF-8 text of each item,
# records little-endian in signed identifier order. Run it here when the scenario changes.
import struct, zlib

def oid(counter):
    return (counter * 0x9E3779B1) & 0xFFFFFFFF

def signed(v):
    return v - (1 << 32) if v & 0x80000000 else v

# Text of each item: name, time (nothing when its high 32 bits are zero), 16-bit number (nothing
# when 0), flag.
ann = "Ann" + "20070612T083000Z" + "5" + "0"
anna = "Anna" + "20070612T083000Z" + "5" + "0"
bob = "Bob" + "0"
cleo = "Cleo" + "0"
dan = "Dan" + "1"

def db(records):
    out = b""
    for k, text in sorted(records.items(), key=lambda kv: signed(kv[0])):
        out += struct.pack("<II", k, zlib.crc32(text.encode("utf-8")))
    return out

# Run 1 records everything but nothing excluded; run 2 (Ann edited and refused, Bob's delete
# accepted, Cleo excluded and refused, Eve preserved) keeps Ann's and Cleo's old state.
open("after-first-run.hdb", "wb").write(db({oid(1): ann, oid(2): bob, oid(3): cleo, oid(4): dan}))
open("after-second-run.hdb", "wb").write(db({oid(1): ann, oid(3): cleo, oid(4): dan}))
# Run 3 accepts everything: Anna recorded, Cleo dropped, Eve recorded.
open("after-third-run.hdb", "wb").write(db({oid(1): anna, oid(4): dan, oid(5): "\u00c8ve" + "0"}))
