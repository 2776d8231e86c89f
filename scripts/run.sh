#!/usr/bin/env bash
# Installs the dependencies when missing, builds Quorvane and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
exec "${QV_BUILD_DIR:-$root/build}/quorvane" "$@"
