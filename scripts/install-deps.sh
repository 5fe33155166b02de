#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the main job need (.ci/packages.d/*.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
mapfile -t pkgs < <(cat .ci/packages.d/*.txt | sed 's/#.*//' | tr -s ' \t' '\n' | grep -v '^$' | sort -u)
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${pkgs[@]}" >/dev/null
echo "installed ${#pkgs[@]} packages"
# The tests of background sync and the timed starts themselves need atd running.
scripts/start-atd.sh
