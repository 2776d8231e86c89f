#!/usr/bin/env bash
# Installs the dependencies when missing, checks that every C++ file is laid out as
# .clang-format says, builds Quorvane and runs every test: first the normal build, then a short
# fuzzing run of every parser, and last the whole suite again built with AddressSanitizer,
# LeakSanitizer and UndefinedBehaviorSanitizer (set QV_SKIP_SANITIZERS=1 to leave that pass out). The normal and the sanitizer build fail on a compiler warning
# (QV_WERROR=OFF lets them pass).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
# A file clang-format would change fails the command before anything is built; `bash
# scripts/format.sh` lays the files out.
if ! bash "$root/scripts/format.sh" --check; then
    echo "These files are not laid out as .clang-format says: run bash scripts/format.sh" >&2
    exit 1
fi
export QV_WERROR=${QV_WERROR:-ON}

build=${QV_BUILD_DIR:-$root/build}
QV_BUILD_DIR="$build" bash "$root/scripts/build.sh"
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")

# Every parser survives a short fuzzing run (QV_FUZZ_SECONDS a target; 0 leaves it out).
if [ "${QV_FUZZ_SECONDS:-10}" != 0 ]; then
    # The fuzz build (clang) shows its warnings without failing on them; the builds above and
    # below fail on every warning.
    QV_WERROR=OFF bash "$root/scripts/fuzz.sh" "${QV_FUZZ_SECONDS:-10}"
fi

if [ "${QV_SKIP_SANITIZERS:-0}" != 1 ]; then
    asan="$build-sanitize"
    QV_BUILD_DIR="$asan" QV_BUILD_TYPE=Debug bash "$root/scripts/build.sh" \
        -DQV_SANITIZE=ON -DQV_BUILD_BENCH=OFF
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:suppressions=$root/tests/sanitizer/asan.supp"
    export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    (cd "$asan" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")
fi
