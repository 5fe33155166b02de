#!/usr/bin/env python3
"""Installs the build tree into a fresh prefix and checks what a user finds there.

usage: install_layout.py BUILD_DIR PREFIX VERSION
The PNG sizes expected come from $ORVALE_ICON_SIZES (";"-separated; empty when the build had no
renderer). Tools that are not on the machine (desktop-file-validate, man) skip their check.
"""
import gzip
import os
import shutil
import subprocess
import sys
import tempfile

PROGRAMS = ["orvale", "orvale-launcher", "orvale-pim", "orvale-dump", "orvale-config"]
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL: " + what)


def run(args, env=None):
    return subprocess.run(args, capture_output=True, text=True, env=env, timeout=60)


def main():
    build, prefix, version = sys.argv[1:4]
    shutil.rmtree(prefix, ignore_errors=True)
    r = run(["cmake", "--install", build, "--prefix", prefix])
    if r.returncode != 0:
        print(r.stdout + r.stderr)
        return 1
    share = os.path.join(prefix, "share")
    sizes = [s for s in os.environ.get("ORVALE_ICON_SIZES", "").split(";") if s]
    expected = [os.path.join("bin", p) for p in PROGRAMS]
    expected += [os.path.join("share/man/man1", p + ".1.gz") for p in PROGRAMS]
    expected += ["share/applications/orvale.desktop", "share/icons/hicolor/scalable/apps/orvale.svg",
                 "share/doc/orvale/copyright", "share/doc/orvale/changelog.gz"]
    expected += ["share/icons/hicolor/%sx%s/apps/orvale.png" % (s, s) for s in sizes]
    if os.path.exists(os.path.join(os.path.dirname(__file__), "../../License.txt")):
        expected.append("share/orvale/License.txt")
    for rel in expected:
        check(os.path.isfile(os.path.join(prefix, rel)), "installed: " + rel)

    for size in sizes:
        path = os.path.join(share, "icons/hicolor/%sx%s/apps/orvale.png" % (size, size))
        if os.path.isfile(path):
            with open(path, "rb") as f:
                head = f.read(24)
            check(head[:8] == b"\x89PNG\r\n\x1a\n" and int.from_bytes(head[16:20], "big") == int(size),
                  "icon %s is a %s-pixel PNG" % (path, size))

    # The programs, run from the prefix: --version and --help answer and leave the device root alone.
    with tempfile.TemporaryDirectory() as work:
        root = os.path.join(work, "device")
        env = dict(os.environ, ORVALE_DEVICE_ROOT=root, QT_QPA_PLATFORM="offscreen")
        for p in PROGRAMS:
            exe = os.path.join(prefix, "bin", p)
            r = run([exe, "--version"], env)
            check(r.returncode == 0 and r.stdout == "%s %s\n" % (p, version),
                  "%s --version printed %r (exit %d)" % (p, r.stdout, r.returncode))
            r = run([exe, "--help"], env)
            check(r.returncode == 0 and r.stdout.startswith("usage: " + p), "%s --help" % p)
        r = run([os.path.join(prefix, "bin", "orvale"), "--help"], env)
        check("orvale autosync" in r.stdout and "screens" in r.stdout, "orvale --help names both modes")
        check(not os.path.exists(root), "--version and --help made no device root")

    if shutil.which("desktop-file-validate"):
        r = run(["desktop-file-validate", os.path.join(share, "applications/orvale.desktop")])
        check(r.returncode == 0 and not r.stdout.strip(), "desktop-file-validate: " + r.stdout + r.stderr)

    # Every page renders without a warning from man or groff and has the sections a user looks for.
    if shutil.which("man"):
        for p in PROGRAMS:
            page = os.path.join(share, "man/man1", p + ".1.gz")
            env = dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8", MAN_KEEP_FORMATTING="")
            r = run(["man", "--warnings", "-l", page], env)
            check(r.returncode == 0 and not r.stderr.strip(), "man -l %s: %s" % (p, r.stderr.strip()))
            with gzip.open(page, "rt") as f:
                source = f.read()
            for section in ["NAME", "SYNOPSIS", "DESCRIPTION", "ENVIRONMENT", "FILES", "EXIT STATUS"]:
                check(".SH " + section in source, "%s(1) has the section %s" % (p, section))

    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
