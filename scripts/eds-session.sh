#!/usr/bin/env bash
# Runs CMD... against an Evolution Data Server of its own: a temporary HOME and XDG folders, and a
# private D-Bus session bus on which the registry and the address-book and calendar factories start
# by D-Bus activation. Nothing reads or writes the user's own address book, calendar or settings, and
# the services end with the bus when CMD ends.
#   scripts/eds-session.sh CMD [ARG...]
# Exit status: CMD's. EDS_SESSION_KEEP=1 keeps the temporary folder (its path goes to stderr).
set -euo pipefail
if [ $# -eq 0 ]; then
  echo "usage: $0 CMD [ARG...]" >&2
  exit 2
fi
command -v dbus-run-session >/dev/null || { echo "$0: dbus-run-session is missing (package dbus)" >&2; exit 127; }

top=$(mktemp -d "${TMPDIR:-/tmp}/orvale-eds.XXXXXX")
cleanup() {
  if [ "${EDS_SESSION_KEEP:-0}" = 1 ]; then
    echo "eds-session: kept $top" >&2
  else
    rm -rf "$top"
  fi
}
trap cleanup EXIT
mkdir -p "$top/home" "$top/config" "$top/data" "$top/cache" "$top/runtime"
chmod 700 "$top/runtime"

# The registry writes its sources below XDG_CONFIG_HOME and the backends their books below
# XDG_DATA_HOME; both, and the rest of the session's state, stay in the temporary folder.
# GSettings' memory backend keeps the services from touching a dconf database; GIO_USE_VFS=local
# keeps gvfs (which would want the host's bus) out.
set +e
env HOME="$top/home" XDG_CONFIG_HOME="$top/config" XDG_DATA_HOME="$top/data" \
  XDG_CACHE_HOME="$top/cache" XDG_RUNTIME_DIR="$top/runtime" \
  GSETTINGS_BACKEND=memory GIO_USE_VFS=local \
  dbus-run-session -- "$@"
status=$?
set -e
exit "$status"
