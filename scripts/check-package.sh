#!/usr/bin/env bash
# Checks a Debian package of Orvale: unpacked into a clean folder, every program answers --version
# and the main job runs with the unpacked programs; then, as root, it installs and removes cleanly
# with dpkg. usage: scripts/check-package.sh PACKAGE.deb
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(readlink -f "$1")
dest=$(mktemp -d /tmp/orvale-package-XXXXXX)
trap 'rm -rf "$dest"' EXIT
dpkg-deb -x "$deb" "$dest"
for p in orvale orvale-launcher orvale-pim orvale-dump orvale-config; do
  "$dest/usr/bin/$p" --version
done
desktop-file-validate "$dest/usr/share/applications/orvale.desktop"
ORVALE_BIN_DIR=$dest/usr/bin scripts/main-job.sh

if [ "$(id -u)" = 0 ]; then
  if dpkg -s orvale >/dev/null 2>&1; then echo "check-package: orvale is installed already; not touched"; exit 0; fi
  dpkg -i "$deb" >/dev/null
  files=$(dpkg -L orvale)
  /usr/bin/orvale --version
  man -w orvale-pim >/dev/null
  dpkg -r orvale >/dev/null
  left=$(for f in $files; do [ -f "$f" ] && echo "$f"; done || true)
  if [ -n "$left" ] || dpkg -s orvale >/dev/null 2>&1; then
    echo "check-package: dpkg -r left behind: $left" >&2
    exit 1
  fi
  echo "dpkg -i and dpkg -r: clean"
fi
