#!/usr/bin/env bash
# Stops the test server:  stop.sh PID  or  stop.sh WORKDIR (reads WORKDIR/server.env).
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 PID|WORKDIR" >&2; exit 2; }
if [[ $1 =~ ^[0-9]+$ ]]; then
  pid=$1
else
  [ -f "$1/server.env" ] || { echo "stop.sh: no $1/server.env" >&2; exit 1; }
  pid=$(sed -n 's/^PID=//p' "$1/server.env")
fi
# Only the server's own process: a PHP built-in server started by start.sh.
if ! kill -0 "$pid" 2>/dev/null; then
  exit 0
fi
kill "$pid"
for _ in $(seq 1 50); do
  kill -0 "$pid" 2>/dev/null || exit 0
  sleep 0.1
done
kill -9 "$pid" 2>/dev/null || true
