#!/usr/bin/env bash
# The main job: build, start the loopback SyncML server, fill a fresh device root with sample
# contacts, write a Conf.dat for that server, run one background sync ("orvale autosync"), print
# what happened, and stop the server (also when something fails). Packages: scripts/install-deps.sh.
#   CONTACTS=N   number of sample contacts (default 50)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
BUILD_DIR=$BUILD_DIR scripts/build.sh
build=$(cd "$BUILD_DIR" && pwd)

work=$(mktemp -d /tmp/orvale-main-job-XXXXXX)
export ORVALE_DEVICE_ROOT=$work/device
export QT_QPA_PLATFORM=offscreen
mkdir -p "$ORVALE_DEVICE_ROOT"
server_pid=
stop_server() { [ -z "$server_pid" ] || tests/e2e/server/stop.sh "$server_pid" || true; }
trap stop_server EXIT

tests/e2e/server/start.sh "$work/server" >/dev/null
. "$work/server/server.env"
server_pid=$PID
echo "server: $URL (pid $PID, data in $work/server/data)"

tests/e2e/contacts.py "${CONTACTS:-50}" >"$work/sample-contacts.vcf"
"$build/tools/pim/orvale-pim" contacts import "$work/sample-contacts.vcf" >/dev/null
echo "device root: $ORVALE_DEVICE_ROOT with $("$build/tools/pim/orvale-pim" contacts list | wc -l) contacts"

# The settings as a person sets them without screens; the password goes in on standard input.
echo orvale-secret | "$build/app/orvale-config" set "url=$URL" user=orvale contacts=1 contacts-uri=contacts \
  logging=1 setup=1 --password-stdin
echo "orvale autosync ..."
start=$(date +%s.%N)
"$build/app/orvale" autosync
echo "orvale autosync exited with $? after $(python3 -c "import time; print('%.1f s' % (time.time() - $start))")"

ORVALE_BUILD_DIR=$build tests/e2e/run_report.py "$ORVALE_DEVICE_ROOT" "$work/server"
