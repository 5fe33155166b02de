#!/usr/bin/env bash
# Builds the loopback SyncML test server in a folder of its own:
#   setup.sh WORKDIR
# copies the packaged Horde SyncML library (and the Horde packages it loads) from the installed
# Debian packages into WORKDIR/lib, applies our fixes to those copies and puts our backend and front
# script into WORKDIR/app. The installed files are only read.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -eq 1 ] || { echo "usage: $0 WORKDIR" >&2; exit 2; }
work=$1
mkdir -p "$work"
work=$(cd "$work" && pwd)

# The library and what it loads at run time; each must be installed (.ci/packages.d/server.txt).
packages="php-horde-syncml php-horde-xml-wbxml php-horde-util php-horde-support php-horde-log
          php-horde-translation php-horde-date php-horde-icalendar php-horde-exception"

rm -rf "$work/lib.new"
mkdir -p "$work/lib.new"
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    echo "setup.sh: Debian package $p is not installed (scripts/install-deps.sh)" >&2
    exit 1
  fi
  # Only the PHP classes below /usr/share/php/Horde; translations and docs are not needed.
  dpkg -L "$p" | grep -E '^/usr/share/php/Horde/.*\.php$' | while read -r f; do
    [ -f "$f" ] || continue
    rel=${f#/usr/share/php/}
    mkdir -p "$work/lib.new/$(dirname "$rel")"
    cp "$f" "$work/lib.new/$rel"
  done
done

# Our fixes, applied to the copies only. A failing hunk means the packaged version changed.
if ! patch -d "$work/lib.new" -p1 --forward --silent --no-backup-if-mismatch \
      <"$here/horde-fixes.patch"; then
  echo "setup.sh: horde-fixes.patch does not apply to the installed Horde packages" >&2
  exit 1
fi

rm -rf "$work/lib" "$work/app"
mv "$work/lib.new" "$work/lib"
mkdir -p "$work/app"
cp "$here"/php/*.php "$work/app/"
echo "$work"
