#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a fixed time.
#   bash scripts/fuzz.sh             # 10 seconds a target (what the test command runs)
#   bash scripts/fuzz.sh 600         # a longer run: 10 minutes a target
#   bash scripts/fuzz.sh 60 avi      # one target
# New interesting inputs collect in build-fuzz/corpus/<target>; an input that crashes a target is
# written to build-fuzz/crashes/<target>/ and the script fails. Keep such an input in
# tests/fuzz/regressions/<target>/ once fixed: the ordinary test suite replays it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-10}
shift || true
build=${QV_FUZZ_BUILD_DIR:-$root/build-fuzz}

CC=clang CXX=clang++ QV_BUILD_DIR="$build" QV_BUILD_TYPE=RelWithDebInfo \
    QV_BUILD_TARGET=fuzzers bash "$root/scripts/build.sh" -DQV_BUILD_FUZZ=ON -DQV_BUILD_BENCH=OFF

targets=("$@")
if ((${#targets[@]} == 0)); then
    for exe in "$build"/tests/fuzz/fuzz_*; do
        [ -f "$exe" ] && [ -x "$exe" ] && targets+=("$(basename "$exe" | sed 's/^fuzz_//')")
    done
fi

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
failed=0
for t in "${targets[@]}"; do
    corpus="$build/corpus/$t"
    crashes="$build/crashes/$t"
    mkdir -p "$corpus" "$crashes"
    seeds=()
    for d in "$root/tests/fuzz/corpus/$t" "$root/tests/fuzz/regressions/$t"; do
        [ -d "$d" ] && seeds+=("$d")
    done
    echo "fuzzing $t for ${seconds}s"
    if ! "$build/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" "${seeds[@]}" \
        2>"$build/fuzz_$t.log"; then
        echo "fuzz_$t found a failure; input and log: $crashes, $build/fuzz_$t.log" >&2
        tail -40 "$build/fuzz_$t.log" >&2
        failed=1
    else
        grep -E 'stat::number_of_executed_units|Done' "$build/fuzz_$t.log" | tr '\n' ' '
        echo
    fi
done
exit $failed
