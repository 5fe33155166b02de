#!/usr/bin/env bash
# The main job: build, then run one background sync ("orvale autosync") on a fresh device root.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
ROOT=$(mktemp -d /tmp/orvale-device-XXXXXX)
export ORVALE_DEVICE_ROOT=$ROOT
echo "device root: $ROOT"
build/app/orvale autosync
echo "orvale autosync exited with $?"
