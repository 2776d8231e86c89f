#!/usr/bin/env bash
# Exports 32,767 records of 26 values to .xlsx and to the HTML page, and has LibreOffice convert
# the same data from CSV to .xlsx in the same run; prints the ratios.
# Goals: the workbook at least 5 x faster than LibreOffice; the page within 2 x of the floor
# (the same bytes written in one buffered write).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${QV_BUILD_DIR:-$root/build}

if ! command -v soffice >/dev/null; then
    echo "Installing LibreOffice Calc for the comparison"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y --no-install-recommends libreoffice-calc >/dev/null
fi

cmake --build "$build" --target bench_output >/dev/null
bench="$build/bench/output/bench_output"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

json="$work/bench.json"
"$bench" --benchmark_format=json --benchmark_out="$json" --benchmark_out_format=json >/dev/null
ms() { /usr/bin/python3 -c 'import json,sys
d=json.load(open(sys.argv[1]))
print([b["real_time"] for b in d["benchmarks"] if b["name"].startswith(sys.argv[2])][0])' "$json" "$1"; }
xlsx=$(ms BM_ExportXlsx)
html=$(ms BM_ExportHtml)
floor=$(ms BM_HtmlFloor)

"$bench" --csv "$work/records.csv"
# A first start sets up the profile; the timed run is the second.
profile="file://$work/profile"
soffice -env:UserInstallation="$profile" --headless --convert-to xlsx --outdir "$work/warm" \
    "$work/records.csv" >/dev/null 2>&1 || true
start=$(date +%s.%N)
soffice -env:UserInstallation="$profile" --headless --convert-to xlsx --outdir "$work/out" \
    "$work/records.csv" >/dev/null 2>&1
end=$(date +%s.%N)
[ -f "$work/out/records.xlsx" ] || { echo "LibreOffice produced no workbook" >&2; exit 1; }
lo=$(/usr/bin/python3 -c "print(($end - $start) * 1000)")
# bench/run.sh collects the figures of this run: the benchmark JSON and LibreOffice's time.
if [ -n "${QV_BENCH_RESULTS:-}" ]; then
    cp "$json" "$QV_BENCH_RESULTS.json"
    echo "$lo" >"$QV_BENCH_RESULTS.libreoffice_ms"
fi

/usr/bin/python3 - "$xlsx" "$html" "$floor" "$lo" <<'PY'
import sys
xlsx, html, floor, lo = map(float, sys.argv[1:])
print(f"{'32,767 records x 26 values':40} {'ms':>10} {'ratio':>10}")
print(f"{'LibreOffice CSV -> xlsx':40} {lo:10.0f}")
print(f"{'Quorvane export -> xlsx':40} {xlsx:10.0f} {lo / xlsx:9.1f}x faster (goal >= 5x)")
print(f"{'one buffered write of the page (floor)':40} {floor:10.0f}")
print(f"{'Quorvane export -> output.html':40} {html:10.0f} {html / floor:9.2f}x floor (goal <= 2x)")
PY
