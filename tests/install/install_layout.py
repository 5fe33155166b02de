#!/usr/bin/env python3
"""Installs the build tree into a fresh prefix and checks what a user finds there.

usage: install_layout.py BUILD_DIR PREFIX VERSION
The screens module is expected at $ORVALE_SCREENS_MODULE (relative to PREFIX). The PNG sizes expected come from $ORVALE_ICON_SIZES (";"-separated; empty when the build had no
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
    module = os.environ["ORVALE_SCREENS_MODULE"]
    expected = [os.path.join("bin", p) for p in PROGRAMS] + [module]
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

    # The screens are the only part of orvale that needs Qt: a background run maps none of it, and
    # the module carries no second copy of the program's own state (any orvale symbol it defines
    # outside the screens must be an inline copy, which the loader merges with the program's).
    orvale = os.path.join(prefix, "bin", "orvale")
    with tempfile.TemporaryDirectory() as work:
        env = dict(os.environ, ORVALE_DEVICE_ROOT=os.path.join(work, "device"), LD_DEBUG="files")
        r = run([orvale, "autosync"], env)
        # No Conf.dat: nothing to sync (exit 15), said on stderr.
        check(r.returncode == 15 and "libQt6" not in r.stderr and "orvale-screens" not in r.stderr,
              "orvale autosync loaded no Qt library (exit %d)" % r.returncode)
    if shutil.which("nm"):
        r = run(["nm", "-D", "--defined-only", "-C", os.path.join(prefix, module)])
        own = [line for line in r.stdout.splitlines()
               if " orvale::" in line and " orvale::ui::" not in line and line.split()[1] in "TDBRC"]
        check(r.returncode == 0 and not own, "the screens module defines the program's own symbols: %s" % own[:5])
    # Without the module, the screens fail with the path and the loader's reason, before touching
    # any device state.
    with tempfile.TemporaryDirectory() as work:
        os.mkdir(os.path.join(work, "bin"))
        lone = os.path.join(work, "bin", "orvale")
        shutil.copy(orvale, lone)
        root = os.path.join(work, "device")
        r = run([lone], dict(os.environ, ORVALE_DEVICE_ROOT=root, QT_QPA_PLATFORM="offscreen"))
        check(r.returncode == 1 and os.path.basename(module) in r.stderr and "No such file" in r.stderr
              and not os.path.exists(root), "orvale without its module: exit %d, %r" % (r.returncode, r.stderr))

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
