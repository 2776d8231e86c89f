#!/usr/bin/env bash
# Configures and builds Quorvane into build/ (or $QV_BUILD_DIR). QV_WERROR=ON makes every compiler
# warning an error (QV_WERROR=OFF turns that off again in an existing build folder).
# QV_BUILD_TARGET="a b" builds only those targets (and what they depend on).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QV_BUILD_DIR:-$root/build}
type=${QV_BUILD_TYPE:-RelWithDebInfo}
launcher=()
# Several checkouts of the project share one compiler cache: paths below the checkout count
# relative to it.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
werror=(${QV_WERROR:+-DQV_WERROR="$QV_WERROR"})
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" "${werror[@]}" \
    "$@" >/dev/null
cmake --build "$build" -j "$(nproc)" ${QV_BUILD_TARGET:+--target $QV_BUILD_TARGET}
