#!/usr/bin/env bash
# Builds Quorvane in release mode (build-release/, or $QV_BENCH_BUILD_DIR), runs every benchmark
# of bench/ and prints one table: each operation, our figure, the figure of its peer measured in
# the same run, the ratio ours / peer (below 1: we are faster or smaller), the goal and whether
# the figure meets it; then the rows that fall short.
#
#   bash bench/run.sh
#
# Every row compares the same work on both sides, and its label says how: whole process against
# whole process ("processes": our command line, or the shown window started by the script from
# its start to the result, beside the peer's command), or in-process against a peer in the same
# kind of process ("in-process"); where ours uses four connections, a row at one connection
# stands beside it. A row "from the click" or "no peer" has no ratio. Every peer's result is
# checked before its time counts (exit status, files counted and sized, the document opened and
# its rows or letters counted), and so is ours; a side that failed voids its row with the
# reason. Memory rows marked "added" give the peak less the same process's resident size before
# the operation (or less the peak of "quorvane list" from the same program folder).
#
# The benchmarks: bench/transfer/run_bench.sh (downloads against vsftpd, over ftpes:// and
# sftp://, and against a server whose replies come late), bench/window/run_window.sh (the shown
# window on Xvfb and the command line beside curl and LibreOffice; Complete Merge), and the
# in-process ones: bench_mergefiles (record loading beside the bare parse), bench_output (the
# exports from rows in memory, the page beside one buffered write of it), bench_widefile (a very
# wide merge file in the shown window beside the bare read and split in the same process) and
# bench_startup. A benchmark that fails shows "n/a", with its log named below the table.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QV_BENCH_BUILD_DIR:-$root/build-release}
work=$(mktemp -d /tmp/qv-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
logs=$build/bench-logs
mkdir -p "$logs"

# QV_BENCH_SKIP_BUILD=1 with QV_BENCH_BUILD_DIR runs the benchmarks of a build made before.
if [ "${QV_BENCH_SKIP_BUILD:-0}" = 1 ]; then
    echo "Using the build in $build" >&2
else
    echo "Building in release mode into $build" >&2
    if ! QV_BUILD_DIR="$build" QV_BUILD_TYPE=Release bash "$root/scripts/build.sh" \
        -DQV_BUILD_BENCH=ON >"$logs/build.log" 2>&1; then
        echo "the release build failed; see $logs/build.log" >&2
        tail -20 "$logs/build.log" >&2
        exit 1
    fi
fi
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

# Each benchmark leaves its results in $work; a failure is logged and the table shows n/a.
# QV_BENCH_ONLY="window" runs only the benchmarks named (transfer mergefiles output widefile
# window startup); the others show n/a. With QV_WINDOW_ROWS="merge merge-memory" as well, only
# Complete Merge's rows are measured.
run() { # run <name> <command...>
    local name=$1
    shift
    if [ -n "${QV_BENCH_ONLY:-}" ] && [[ " $QV_BENCH_ONLY " != *" $name "* ]]; then
        return 0
    fi
    echo "running $name" >&2
    if ! "$@" >"$logs/$name.log" 2>"$logs/$name.err"; then
        echo "  $name failed (see $logs/$name.err)" >&2
        echo "$name" >>"$work/failed"
    fi
    cp "$logs/$name.log" "$work/$name.txt" 2>/dev/null
}

run transfer bash "$root/bench/transfer/run_bench.sh" "$build"
run mergefiles "$build/bench/mergefiles/bench_mergefiles" --benchmark_out="$work/mergefiles.json" \
    --benchmark_out_format=json
run output "$build/bench/output/bench_output" --benchmark_out="$work/output.json" \
    --benchmark_out_format=json
# The wide merge file in the program's shown window, on an X server of its own.
run widefile xvfb-run -a env QT_QPA_PLATFORM=xcb "$build/bench/widefile/bench_widefile"
run window bash "$root/bench/window/run_window.sh" "$build"
run startup "$build/bench/app/bench_startup" --benchmark_out="$work/startup.json" \
    --benchmark_out_format=json

/usr/bin/python3 "$root/bench/table.py" "$work" "$logs"
