#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer + UBSan and runs each for SECONDS
# (default 45) on a copy of its seed corpus (tests/data/fuzz/<name>/). Fails on any crash or leak.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-45}
BUILD_DIR=${BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -DORVALE_FUZZ=ON -DORVALE_TESTS=OFF -DORVALE_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target fuzz_all
shopt -s nullglob
for src in fuzz/fuzz_*.cpp; do
  name=$(basename "$src" .cpp)
  work=$(mktemp -d)
  if [ -d "tests/data/fuzz/$name" ]; then cp -r "tests/data/fuzz/$name/." "$work/"; fi
  echo "fuzzing $name for ${SECONDS_EACH}s"
  "$BUILD_DIR/fuzz/$name" -max_total_time="$SECONDS_EACH" -max_len=65536 -rss_limit_mb=2048 \
    -print_final_stats=1 "$work" 2>&1 | tail -n 12
  rm -rf "$work"
done
