#!/usr/bin/env python3
"""End-to-end: background sync on the at queue. orvale-config (with the password on standard
input) switches it on, which arms the device's Launcher.exe link; the job, fired by atd, runs the
Launcher, which re-arms from its own start time and starts `orvale autosync`, which syncs the
device's contacts to the loopback server.

Needs atd running (scripts/start-atd.sh). Without it the test is skipped (exit 77), except under
CI, where it fails. Every job it arms is marked with its own device root and removed at the end.
"""
import calendar
import fcntl
import os
import shlex
import subprocess
import sys
import time
import unittest

import harness
from harness import E2eCase

SKIPPED = 77
WAIT = 120


def atd_running():
    try:
        with open("/run/atd.pid") as f:
            os.kill(int(f.read().strip()), 0)
        return True
    except (OSError, ValueError):
        return False


def marker_word(path):
    """A path as the jobs' marker line writes it: bytes outside printable ASCII, and '%', as %XX."""
    return "".join(chr(b) if 0x20 < b < 0x7F and b != 0x25 else "%%%02X" % b for b in os.fsencode(path))


class Queue:
    """The at queue as seen by one device root: its pending jobs are the ones marked with it."""

    def __init__(self, env):
        self.device_env = env
        self.env = dict(env, LC_ALL="C")

    def _run(self, *args, data=None):
        return subprocess.run(list(args), input=data, env=self.env, cwd="/", stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, check=True, timeout=30, text=True).stdout

    def pending(self, root=None, under=None):
        """{job id: (program, minute as UTC seconds)} of the pending jobs marked with `root`, or
        with any root below the folder `under` (the queue's times are read in the device's zone,
        UTC)."""
        jobs = {}
        for line in self._run("atq").splitlines():
            job, _, rest = line.partition("\t")
            fields = rest.split()
            if len(fields) < 7 or fields[-2] == "=":
                continue
            when = calendar.timegm(time.strptime(" ".join(fields[:5]), "%a %b %d %H:%M:%S %Y"))
            for l in self.script(job).splitlines():
                words = l.split()
                if not l.startswith("# orvale-timed-start ") or len(words) != 4:
                    continue
                marked, program = (w.split("=", 1)[1] for w in words[2:4])
                if marked == marker_word(root or "") or (under and marked.startswith(marker_word(under) + "/")):
                    jobs[job] = (program, when)
        return jobs

    def script(self, job):
        try:
            return self._run("at", "-c", job)
        except subprocess.CalledProcessError:
            return ""  # gone meanwhile

    def submit_now(self, script):
        # In the device's own environment, as the arming program queued it.
        subprocess.run(["at", "now"], input=script, env=self.device_env, cwd="/", stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True, timeout=30, text=True)

    def remove(self, jobs):
        if jobs:
            subprocess.run(["atrm"] + list(jobs), env=self.env, stderr=subprocess.DEVNULL, timeout=30)


def minute(t):
    return int(t) // 60 * 60


def wait_for(what, check):
    deadline = time.time() + WAIT
    while time.time() < deadline:
        if check():
            return
        time.sleep(0.2)
    raise AssertionError("timed out waiting for " + what)


class Launcher(E2eCase):
    def setUp(self):
        super().setUp()
        self.queue = Queue(self.device.env)
        work = os.path.dirname(self.device.root)
        # Jobs of this script's roots left by a run that was killed, and those of this run.
        self.queue.remove(self.queue.pending(under=work))
        self.addCleanup(lambda: self.queue.remove(self.queue.pending(under=work)))

    def config(self, *args, password=None):
        return self.device.run("orvale-config", "set", *args, *(["--password-stdin"] if password else []),
                               data=password.encode() + b"\n" if password else None)

    def test_the_job_fired_by_atd_rearms_and_syncs(self):
        dev, srv = self.device, self.server
        os.remove(dev.app_file("Conf.dat"))
        dev.import_contacts(harness.sample.contacts(20))
        launcher = dev.app_file("Launcher.exe")

        t0 = time.time()
        self.config("url=" + srv.url, "user=" + harness.USER, "contacts=1", "contacts-uri=contacts",
                    "autosync=1", "interval=2", "unit=hour", "setup=1", password=harness.PASSWORD)
        t1 = time.time()
        jobs = self.queue.pending(dev.root)
        self.assertEqual(len(jobs), 1, jobs)
        (job, (program, when)), = jobs.items()
        self.assertEqual(program, marker_word(launcher))
        self.assertIn(when, (minute(t0 + 7200), minute(t1 + 7200)))
        self.assertEqual(os.readlink(launcher), harness.program("orvale-launcher"))

        # Fire exactly that job now: its script, queued again for the current minute, with one line
        # added just before it hands over to the Launcher that notes the time. How long atd takes to
        # pick the job up (seconds on a loaded machine) then no longer counts; what is left between
        # that note and the Launcher reading its clock is one exec.
        script = self.queue.script(job)
        handover = script.rindex("\nexec ")
        started = dev.path("launcher-started")
        self.queue.submit_now(script[:handover] + "\ndate +%s.%N >" + shlex.quote(started) + script[handover:])
        wait_for("the background sync", lambda: dev.show_conf()["lastsync"] != "")
        wait_for("orvale to end", lambda: not held(dev.path(".platform", "mutex", "Orvale_Mutex.lock")))
        self.assertEqual(len(srv.items()), 20)

        # The Launcher replaced the armed job by one two hours after its own start.
        jobs = self.queue.pending(dev.root)
        self.assertEqual(len(jobs), 1, jobs)
        (new_job, (program, when)), = jobs.items()
        self.assertNotEqual(new_job, job)
        self.assertEqual(program, marker_word(launcher))
        with open(started) as f:
            fired = float(f.read())
        self.assertIn(when, (minute(fired + 7200), minute(fired + 2 + 7200)))

        # Switching background sync off removes it at once.
        self.config("autosync=0")
        self.assertEqual(self.queue.pending(dev.root), {})


def held(lock_path):
    """Whether a process holds the program's instance mutex (a lock on its file)."""
    try:
        fd = os.open(lock_path, os.O_RDWR)
    except OSError:
        return False
    try:
        fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
        return False
    except OSError:
        return True
    finally:
        os.close(fd)


if __name__ == "__main__":
    if not atd_running():
        if os.environ.get("CI"):
            sys.exit("atd is not running, and CI must run the background-sync test (scripts/start-atd.sh)")
        print("SKIPPED: atd is not running (scripts/start-atd.sh starts it)")
        sys.exit(SKIPPED)
    harness.main()
