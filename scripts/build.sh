#!/usr/bin/env bash
# Configures and builds into BUILD_DIR (default build/) with warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DORVALE_WERROR=ON "$@" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
