#!/usr/bin/env bash
# Writes one PNG per screen and state into OUTDIR, at 100 % and 200 % scale (STATE-100.png,
# STATE-200.png), taken from the real screens on the offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 1 ]; then
  echo "usage: scripts/screenshots.sh OUTDIR" >&2
  exit 2
fi
out=$(mkdir -p "$1" && cd "$1" && pwd)
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DORVALE_WERROR=ON >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target orvale-screen-tour
for scale in 1 2; do
  QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$scale "$BUILD_DIR/tests/tour/orvale-screen-tour" "$out" "${scale}00"
done
echo "screenshots in $out: $(ls "$out" | wc -l) files"
