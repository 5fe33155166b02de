#!/usr/bin/env bash
# Builds and runs every test (unit, end-to-end). Extra arguments go to ctest (e.g. -L unit).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
BUILD_DIR=$BUILD_DIR scripts/build.sh ${CMAKE_ARGS:-}
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)" "$@"
