#!/usr/bin/env bash
# Configures and builds Quorvane into build/ (or $QV_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QV_BUILD_DIR:-$root/build}
type=${QV_BUILD_TYPE:-RelWithDebInfo}
launcher=()
# Several checkouts of the project share one compiler cache: paths below the checkout count
# relative to it.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" "$@" >/dev/null
cmake --build "$build" -j "$(nproc)" ${QV_BUILD_TARGET:+--target "$QV_BUILD_TARGET"}
