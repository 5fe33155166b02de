#!/usr/bin/env bash
# Makes the Debian package from the build tree BUILD_DIR (default build/; configured and partly
# built if needed) and checks it with lintian: an error or a warning fails, the informational tags
# left are explained in dist/README.md. Prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
[ -f "$BUILD_DIR/CMakeCache.txt" ] || cmake -S . -B "$BUILD_DIR" -DORVALE_WERROR=ON >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target orvale orvale-launcher orvale-pim orvale-dump orvale-config \
  orvale_dist >/dev/null
rm -rf "$BUILD_DIR/package"
log=$(cd "$BUILD_DIR" && cpack -G DEB 2>&1) || { echo "$log" >&2; exit 1; }
deb=$(ls "$BUILD_DIR"/package/orvale_*.deb)
if command -v lintian >/dev/null; then
  status=0
  report=$(lintian --fail-on error,warning "$deb" 2>&1) || status=$?
  grep -v 'running with root privileges' <<<"$report" >&2 || true
  [ "$status" = 0 ] || { echo "package: lintian found errors or warnings" >&2; exit 1; }
fi
echo "$deb"
