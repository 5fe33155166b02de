#!/usr/bin/env bash
# Starts the loopback SyncML test server:  start.sh WORKDIR
# Sets up WORKDIR (setup.sh) when needed, gives it a fresh data folder (WORKDIR/data), starts PHP's
# built-in web server on a free port of 127.0.0.1 and prints, once it answers:
#   URL=http://127.0.0.1:PORT/sync
#   PORT=PORT
#   PID=PID
# (also written to WORKDIR/server.env). Stop it with stop.sh PID (or stop.sh WORKDIR).
# ORVALE_E2E_SERVER_DEBUG=1 logs every message into WORKDIR/data/log.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -eq 1 ] || { echo "usage: $0 WORKDIR" >&2; exit 2; }
work=$1
if [ ! -f "$work/app/front.php" ] || [ ! -d "$work/lib/Horde/SyncMl" ] \
   || [ "$here/horde-fixes.patch" -nt "$work/app/front.php" ] \
   || [ -n "$(find "$here/php" -newer "$work/app/front.php" -name '*.php' | head -1)" ]; then
  "$here/setup.sh" "$work" >/dev/null
fi
work=$(cd "$work" && pwd)
rm -rf "$work/data"
mkdir -p "$work/data/log" "$work/data/sessions"

# Only these extensions, whatever the machine's php.ini loads: the test then needs exactly the
# packages of .ci/packages.d/server.txt.
php_args=(-n -d date.timezone=UTC -d extension=pdo -d extension=pdo_sqlite -d memory_limit=512M)

# The store exists from the start, so the store tool can fill it before the first session.
php "${php_args[@]}" -r 'require $argv[1]; TestSqlDatabase::createSchema(new PDO("sqlite:" . $argv[2]));' \
  "$work/app/TestSqlDatabase.php" "$work/data/syncml.sqlite"

for attempt in 1 2 3 4 5; do
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  ORVALE_E2E_SERVER_DATA="$work/data" setsid php "${php_args[@]}" -S "127.0.0.1:$port" \
    -t "$work/app" "$work/app/front.php" >"$work/data/log/php-server.log" 2>&1 </dev/null &
  pid=$!
  for _ in $(seq 1 100); do
    if python3 - "$port" "$work/data" <<'PY' 2>/dev/null; then
import os, sys, urllib.request
with urllib.request.urlopen("http://127.0.0.1:%s/" % sys.argv[1], timeout=1) as r:
    sys.exit(0 if os.path.realpath(sys.argv[2]).encode() in r.read().split(b"\n") else 1)
PY
      printf 'URL=http://127.0.0.1:%s/sync\nPORT=%s\nPID=%s\n' "$port" "$port" "$pid" | tee "$work/server.env"
      exit 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
done
echo "start.sh: the server did not come up; see $work/data/log/php-server.log" >&2
cat "$work/data/log/php-server.log" >&2 || true
exit 1
