#!/usr/bin/env bash
# Starts atd, the daemon that runs the at queue (background sync's timed starts), unless it runs
# already. Through the service manager when the machine has one running, else directly (a fresh
# container has none). Safe to run again.
set -euo pipefail
running() { [ -s /run/atd.pid ] && kill -0 "$(cat /run/atd.pid)" 2>/dev/null; }
if running; then exit 0; fi
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
if [ -d /run/systemd/system ] && $SUDO systemctl start atd 2>/dev/null; then :; else $SUDO atd; fi
for _ in $(seq 50); do running && exit 0; sleep 0.1; done
echo "start-atd: atd did not start" >&2
exit 1
