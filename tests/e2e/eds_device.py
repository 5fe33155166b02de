"""The e2e device over Evolution Data Server: with ORVALE_E2E_STORE=eds, the device a test case
syncs (E2eCase's `device`) keeps its items in EDS (`orvale-config set store=eds`); the other devices a
script makes stay on the own store. The scripts read and seed it through orvale-pim as before.

EDS's address book, calendar and task list belong to the session, not to a device root, so each
test runs in a session of its own (scripts/eds-session.sh): a test never sees another's items.
A test whose session cannot reach the EDS registry (`orvale-config eds-sources` exits 7) is skipped
with exit status 77; the script's status is 77 only when every test was skipped.
"""
import os
import sqlite3
import subprocess
import sys
import time
import unittest

IN_SESSION = "ORVALE_E2E_EDS_SESSION"
SKIPPED = 77
NO_EDS = 7


def wanted():
    return os.environ.get("ORVALE_E2E_STORE", "own") == "eds"


def use(device):
    device.run("orvale-config", "set", "store=eds")


def _count(device, where):
    path = device.path("eds-ids.db")
    if not os.path.exists(path):
        return 0
    db = sqlite3.connect(path, timeout=10)
    try:
        return db.execute("SELECT count(*) FROM ids WHERE " + where).fetchone()[0]
    finally:
        db.close()


def stored(device):
    """How many items the EDS identifier table knows."""
    return _count(device, "1")


def intents_left(device):
    """How many writes the EDS identifier table notes as intended and not yet done: after a
    SIGKILL, more than none means the run died with its EDS writes under way."""
    return _count(device, "intent <> 0")


def _test_ids(script):
    names = [a for a in sys.argv[1:] if not a.startswith("-")]
    if names:
        return names
    module = os.path.splitext(os.path.basename(script))[0]
    suite = unittest.defaultTestLoader.loadTestsFromModule(sys.modules["__main__"])

    def flat(s):
        for t in s:
            yield from (flat(t) if isinstance(t, unittest.TestSuite) else [t])
    return [t.id().replace("__main__.", "", 1) or module for t in flat(suite)]


def main(program):
    """Outside a session: each test again in a session of its own. Inside: the test itself."""
    if os.environ.get(IN_SESSION):
        probe = subprocess.run([program("orvale-config"), "eds-sources"], stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, timeout=120)
        if probe.returncode == NO_EDS:
            print("skipped: no Evolution Data Server here (%s)" % probe.stderr.decode().strip(), file=sys.stderr)
            sys.exit(SKIPPED)
        unittest.main(verbosity=2)
        return
    script = os.path.abspath(sys.argv[0])
    session = os.path.join(os.path.dirname(script), "..", "..", "scripts", "eds-session.sh")
    statuses = []
    for test in _test_ids(script):
        print("== %s in an EDS session of its own" % test, file=sys.stderr, flush=True)
        statuses.append(subprocess.run([session, sys.executable, script, test],
                                       env=dict(os.environ, **{IN_SESSION: "1"}), timeout=900).returncode)
    if statuses and all(s == SKIPPED for s in statuses):
        sys.exit(SKIPPED)
    sys.exit(0 if all(s in (0, SKIPPED) for s in statuses) else 1)


def _intents(path):
    try:
        db = sqlite3.connect("file:%s?mode=ro" % path, uri=True, timeout=1)
        try:
            return db.execute("SELECT count(*) FROM ids WHERE intent <> 0").fetchone()[0]
        finally:
            db.close()
    except sqlite3.Error:
        # Not made yet, or busy for a moment.
        return None


def wait_for_writes(device, proc, count, seconds):
    """Waits until the running `proc` has noted `count` writes to EDS as intended (summed over its
    batches), or has ended, or `seconds` have passed. A kill right after lands among that batch's
    EDS writes or soon after, where the timing of a whole sync cannot aim."""
    path = device.path("eds-ids.db")
    deadline = time.monotonic() + seconds
    done = batch = 0
    while proc.poll() is None and time.monotonic() < deadline:
        now = _intents(path)
        if now:
            batch = max(batch, now)
            if done + batch >= count:
                return
        elif now == 0 and batch:
            done, batch = done + batch, 0
        time.sleep(0.004)
