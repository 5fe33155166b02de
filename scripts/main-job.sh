#!/usr/bin/env bash
# The main job: build, start the loopback SyncML server, fill a fresh device root with sample
# contacts, events and tasks, write a Conf.dat for that server with each folder paired with its own
# server database, run one background sync ("orvale autosync"), print what happened, and stop the
# server (also when something fails). Packages: scripts/install-deps.sh.
#   CONTACTS=N            number of sample contacts (default 50)
#   EVENTS=N, TASKS=N     number of sample events and tasks (default 20 each)
#   ORVALE_BIN_DIR=DIR    run the programs installed in DIR (e.g. from the Debian package) instead
#                         of building the tree
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -n "${ORVALE_BIN_DIR:-}" ]; then
  bin=$(cd "$ORVALE_BIN_DIR" && pwd)
  orvale=$bin/orvale pim=$bin/orvale-pim config=$bin/orvale-config
else
  BUILD_DIR=${BUILD_DIR:-build}
  BUILD_DIR=$BUILD_DIR scripts/build.sh
  build=$(cd "$BUILD_DIR" && pwd)
  orvale=$build/app/orvale pim=$build/tools/pim/orvale-pim config=$build/app/orvale-config
fi
echo "programs: $orvale $("$orvale" --version)"

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
tests/e2e/events.py "${EVENTS:-20}" >"$work/sample-events.vcs"
tests/e2e/tasks.py "${TASKS:-20}" >"$work/sample-tasks.vcs"
"$pim" contacts import "$work/sample-contacts.vcf" >/dev/null
"$pim" calendar import "$work/sample-events.vcs" >/dev/null
"$pim" tasks import "$work/sample-tasks.vcs" >/dev/null
echo "device root: $ORVALE_DEVICE_ROOT with $("$pim" contacts list | wc -l) contacts," \
  "$("$pim" calendar list | wc -l) events and $("$pim" tasks list | wc -l) tasks"

# The settings as a person sets them without screens; the password goes in on standard input.
echo orvale-secret | "$config" set --password-stdin "url=$URL" user=orvale contacts=1 contacts-uri=contacts \
  calendar=1 calendar-uri=calendar tasks=1 tasks-uri=tasks logging=1 setup=1
echo "orvale autosync ..."
start=$(date +%s.%N)
"$orvale" autosync
echo "orvale autosync exited with $? after $(python3 -c "import time; print('%.1f s' % (time.time() - $start))")"

tests/e2e/run_report.py "$ORVALE_DEVICE_ROOT" "$work/server"
