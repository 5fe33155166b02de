#!/usr/bin/env python3
"""Timed program (not a test): `orvale-pim contacts import` and `export` of the same contacts by
the programs of two build folders, in one run, so a change is measured beside what came before it
(for example a worktree of an earlier commit built in Release). Each program imports into a fresh
device root and exports to a file, ROUNDS times, alternating between the two; the best round of
each is printed as items/s with its user CPU time.

usage: compare_pim.py BUILD_BEFORE BUILD_AFTER [COUNT] [ROUNDS]     (defaults: 10000, 3)
"""
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e"))
import contacts as sample  # noqa: E402


def timed(argv, env):
    """Wall seconds and user+system CPU seconds of one child process."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    subprocess.run(argv, env=env, check=True, stdout=subprocess.DEVNULL)
    wall = time.monotonic() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return wall, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def round_of(pim, cards, work, count):
    root = tempfile.mkdtemp(dir=work)
    env = dict(os.environ, ORVALE_DEVICE_ROOT=root)
    imported = timed([pim, "contacts", "import", cards], env)
    exported = timed([pim, "contacts", "export", os.path.join(work, "out.vcf")], env)
    shutil.rmtree(root)
    return {"import": imported, "export": exported}


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    builds = [os.path.abspath(b) for b in sys.argv[1:3]]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 10000
    rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 3
    work = tempfile.mkdtemp(prefix="orvale-compare-")
    try:
        cards = os.path.join(work, "contacts.vcf")
        with open(cards, "wb") as f:
            f.write(sample.contacts(count).encode("utf-8"))
        pims = [os.path.join(b, "tools", "pim", "orvale-pim") for b in builds]
        best = [{}, {}]
        for _ in range(rounds):
            for i, pim in enumerate(pims):
                for step, (wall, cpu) in round_of(pim, cards, work, count).items():
                    if step not in best[i] or wall < best[i][step][0]:
                        best[i][step] = (wall, cpu)
        print("%d contacts, best of %d rounds" % (count, rounds))
        for step in ("import", "export"):
            for label, b in zip(("before", "after"), best):
                wall, cpu = b[step]
                print("  %-6s %-6s %8.0f items/s  (%.2f s wall, %.2f s CPU)" % (step, label, count / wall, wall, cpu))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
