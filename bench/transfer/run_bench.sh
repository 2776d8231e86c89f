#!/usr/bin/env bash
# Times a search of the program against a local vsftpd beside curl's command-line tool fetching
# the same files over one connection, for 1,000 files of 4 KB and for 10 files of 20 MB.
# Prints each time, the ratio (goal: at most 1.3 x curl) and the peak memory of each side.
#
# Usage: bench/transfer/run_bench.sh [build dir]   (run as root: installs vsftpd when missing
# and starts it on 127.0.0.1 with its own configuration, serving a temporary folder to anonymous
# logins, so no account is added and no system file is changed; the folder and the server go at
# the end). QV_TRANSFER_BENCH_QUICK=1 runs two small scenarios instead, to check the set-up.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-${QV_BUILD_DIR:-$root/build}}
bench=$build/bench/transfer/bench_transfer_search
[ -x "$bench" ] || cmake --build "$build" --target bench_transfer_search >/dev/null

work=$(mktemp -d /tmp/qv-bench-transfer.XXXXXX)
chmod 755 "$work"
# shellcheck source=bench/transfer/vsftpd.sh
source "$root/bench/transfer/vsftpd.sh"

# scenario <label> <folder name> <count> <bytes each>
scenario() {
    local label=$1 name=$2 count=$3 size=$4
    local ftproot=$work/$name/root accounts=$work/$name/root/u/vantrelle/accounts
    mkdir -p "$accounts" "$work/$name/curl"
    chmod -R 755 "$work/$name"
    merge_files "$accounts" "$count" "$size"
    start_server "$ftproot"

    # curl: the listing, then every file, all over one connection.
    local config=$work/$name/curl.cfg base="ftp://127.0.0.1:$port/%2Fu/vantrelle/accounts"
    curl_config "$accounts" "$base" "$work/$name/curl" "$config"
    # Best of three runs of each side: the machine is shared, and the best run shows the cost of
    # the work itself.
    local ms curl_ms=999999999 curl_kb=0 ours ours_ms=999999999 ours_kb=0 ours_files=0
    for _ in 1 2 3; do
        rm -f "$work/$name/curl/"*
        ms=$(curl_fetch "$base" "$config")
        [ "$ms" -lt "$curl_ms" ] && curl_ms=$ms
        curl_kb=$(cat "$work/curl.mem")

        ours=$(/usr/bin/time -f "cpu_s=%U+%S" "$bench" "127.0.0.1:$port" "$user" "$password" 2>&1 | grep -v XDG | tr "\n" " ")
        echo "  search: $ours" >&2
        ms=$(sed -E 's/.*search_ms=([0-9]+).*/\1/' <<<"$ours")
        [ "$ms" -lt "$ours_ms" ] && ours_ms=$ms
        ours_kb=$(sed -E 's/.*peak_kb=([0-9]+).*/\1/' <<<"$ours")
        ours_files=$(sed -E 's/.*files=([0-9]+).*/\1/' <<<"$ours")
    done
    stop_server
    [ "$ours_files" = "$count" ] || { echo "search found $ours_files of $count files" >&2; exit 1; }
    printf '%-14s %10d %10d %7.2fx %15d %13d\n' "$label" "$ours_ms" "$curl_ms" \
        "$(/usr/bin/python3 -c "print($ours_ms / max($curl_ms, 1))")" "$ours_kb" "$curl_kb"
    rm -rf "$work/$name"
}

printf '%-14s %10s %10s %8s %15s %13s\n' scenario search_ms curl_ms ratio search_peak_kb curl_peak_kb
if [ "${QV_TRANSFER_BENCH_QUICK:-0}" = 1 ]; then
    scenario "20 x 4 KB" small 20 4096
    scenario "2 x 1 MB" large 2 $((1024 * 1024))
else
    scenario "1000 x 4 KB" small 1000 4096
    scenario "10 x 20 MB" large 10 $((20 * 1024 * 1024))
fi
echo "best of 3 runs each; goal: ratio <= 1.30; search peak memory about the same in both rows"
