#!/usr/bin/env bash
# The program's own window shown on an X server (Xvfb, QT_QPA_PLATFORM=xcb), each action started
# by a click on its control and timed until its result exists, beside its peer in the same run:
#   search   1,000 merge files of 4 KB + 5 of 20 MB from a local vsftpd; peer: curl's
#            command-line tool fetching the same files over one connection
#   xlsx     32,767 records x 26 fields to the workbook, until saved; peer: LibreOffice
#            converting the same data from CSV to .xlsx
#   xlsx-a11y the same export with the accessibility bridge on (an AT-SPI bus running and
#            QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1); peer: the same export with it off
#   html     the same records to the page, until written; peer: LibreOffice CSV -> HTML
#   startup  the main window built until it is shown (no peer)
#   merge    Complete Merge of 32,767 records into a one-page letter with IF, \# and \@ fields
#            (mergeletter.py), until the merged document is saved; peer: LibreOffice's mail merge
#            (com.sun.star.text.MailMerge, lomerge.py) of the same template and data into one
#            file, bounded by $QV_MERGE_PEER_TIMEOUT seconds (600), run once
#   merge-memory the peak of that merge; peer: the peak of the same merge into the letter with
#            plain MERGEFIELDs only
#            (QV_MERGE_RECORDS=200 merges fewer records: a quick check of the set-up)
# Prints one line each: <row> <ours ms> <peer ms> <our peak kB> <peer peak kB> (0: not measured);
# the best of $QV_WINDOW_RUNS runs (2) of each side. A peer stopped at its time bound prints
# "<row>-peer-over <ms>" as well, its time then being a lower bound.
# QV_WINDOW_ROWS chooses the rows to run, by name (e.g. QV_WINDOW_ROWS="xlsx xlsx-a11y"); all
# rows when unset. xlsx-a11y compares with the xlsx row and runs it too.
#
# Usage: bench/window/run_window.sh [build dir]   (as root: installs vsftpd, Xvfb, the AT-SPI
# bus and LibreOffice Calc when missing)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-${QV_BUILD_DIR:-$root/build}}
bench=$build/bench/window/bench_window
[ -x "$bench" ] || cmake --build "$build" --target bench_window >/dev/null
runs=${QV_WINDOW_RUNS:-2}

work=$(mktemp -d /tmp/qv-bench-window.XXXXXX)
chmod 755 "$work"
# shellcheck source=bench/transfer/vsftpd.sh
source "$root/bench/transfer/vsftpd.sh"

wanted() { # wanted <row>: whether QV_WINDOW_ROWS names it (or is unset)
    [ -z "${QV_WINDOW_ROWS:-}" ] || [[ " $QV_WINDOW_ROWS " == *" $1 "* ]]
}

need=()
command -v xvfb-run >/dev/null || need+=(xvfb xauth)
[ -x /usr/libexec/at-spi-bus-launcher ] || need+=(at-spi2-core)
command -v dbus-run-session >/dev/null || need+=(dbus)
command -v soffice >/dev/null || need+=(libreoffice-calc)
if wanted merge && ! /usr/bin/python3 -c 'import uno' 2>/dev/null; then
    need+=(python3-uno libreoffice-writer-nogui libreoffice-base)
fi
if [ ${#need[@]} -gt 0 ]; then
    apt-get update -qq >/dev/null
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" \
        >/dev/null
fi

# window <args...>: one run of the driver on its own X server; prints "<ms> <peak kB>".
window() {
    local out
    out=$(xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "$bench" "$@" \
        2>"$work/window.err") || {
        cat "$work/window.err" >&2
        echo "bench_window $1 failed: $out" >&2
        exit 1
    }
    grep -m1 -o 'ms=[0-9]* peak_kb=[0-9]*' <<<"$out" | sed -E 's/ms=([0-9]+) peak_kb=([0-9]+)/\1 \2/'

}

# window_a11y <args...>: the same with an AT-SPI bus and the bridge always on.
window_a11y() {
    dbus-run-session -- bash -c '
        /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 & launcher=$!
        sleep 1
        QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@"; status=$?
        kill $launcher 2>/dev/null; wait $launcher 2>/dev/null
        exit $status' _ bash -c "$(declare -f window); work=$work bench=$bench window \"\$@\"" \
        _ "$@"
}

# best <command...>: the fastest of $runs runs, "<ms> <peak kB>" (the peak of that run).
best() {
    local line best_line="" ms best_ms=999999999
    for _ in $(seq "$runs"); do
        line=$("$@") || exit 1
        ms=${line%% *}
        if [ "$ms" -lt "$best_ms" ]; then
            best_ms=$ms
            best_line=$line
        fi
    done
    echo "$best_line"
}

# The search: 1,000 small files and 5 big ones in the served folder.
search_row() {
    local ftproot=$work/ftp accounts=$work/ftp/u/vantrelle/accounts
    mkdir -p "$accounts" "$work/curl"
    chmod -R 755 "$work/ftp"
    merge_files "$accounts" 1000 4096
    merge_files "$accounts" 5 $((20 * 1024 * 1024)) 1000
    start_server "$ftproot"
    local base="ftp://127.0.0.1:$port/%2Fu/vantrelle/accounts"
    curl_config "$accounts" "$base" "$work/curl" "$work/curl.cfg"
    curl_once() {
        rm -f "$work/curl/"*
        echo "$(curl_fetch "$base" "$work/curl.cfg") $(cat "$work/curl.mem")"
    }
    local peer ours
    peer=$(best curl_once)
    ours=$(best window search "127.0.0.1:$port" "$user" "$password" 1005)
    stop_server
    rm -rf "$work/ftp" "$work/curl"
    row search "$ours" "$peer"
}

# The records of the exports, as a merge file and as CSV for LibreOffice.
/usr/bin/python3 - "$work/BENCH.LET" "$work/records.csv" <<'PY'
import csv, sys
rows = []
for r in range(1, 32768):
    row = []
    for k in range(26):
        row.append([f"Customer {r} {k}", str(r * 31 + k), f"00{r * 7 + k}",
                    f"12 Main Street Apt {k}"][k % 4])
    rows.append(row)
header = [f"Field{k}" for k in range(1, 27)]
with open(sys.argv[1], "w", newline="\n", encoding="cp1252") as f:
    for row in [header] + rows:
        f.write("|".join(row) + "\n")
with open(sys.argv[2], "w", newline="", encoding="utf-8") as f:
    csv.writer(f).writerows([header] + rows)
PY

# LibreOffice converting the CSV; the first start sets up its profile and is not counted.
office() { # office <format>
    local start end
    rm -rf "$work/office"
    start=$(date +%s%N)
    soffice -env:UserInstallation="file://$work/profile" --headless --convert-to "$1" \
        --outdir "$work/office" "$work/records.csv" >/dev/null 2>&1
    end=$(date +%s%N)
    [ -f "$work/office/records.$1" ] || { echo "LibreOffice wrote no .$1" >&2; exit 1; }
    echo "$(((end - start) / 1000000)) 0"
}
if wanted xlsx || wanted html; then
    office xlsx >/dev/null
fi

row() { # row <name> <ours "ms kB"> <peer "ms kB">
    [ -n "$2" ] && [ -n "$3" ] || { echo "$1: a run failed" >&2; exit 1; }
    echo "$1 ${2% *} ${3% *} ${2#* } ${3#* }"
}

if wanted startup; then
    row startup "$(best window startup)" "0 0"
fi
if wanted search; then
    search_row
fi
if wanted xlsx || wanted xlsx-a11y; then
    xlsx=$(best window xlsx "$work/BENCH.LET")
    if wanted xlsx; then
        row xlsx "$xlsx" "$(best office xlsx)"
    fi
    if wanted xlsx-a11y; then
        row xlsx-a11y "$(best window_a11y xlsx "$work/BENCH.LET")" "$xlsx"
    fi
fi
if wanted html; then
    row html "$(best window html "$work/BENCH.LET")" "$(best office html)"
fi

# The letter and its 32,767 records for Complete Merge; LibreOffice reads the merge file from the
# same folder (the only .LET in it).
if wanted merge || wanted merge-memory; then
    /usr/bin/python3 "$root/bench/window/mergeletter.py" "$work/merge" "${QV_MERGE_RECORDS:-32767}"
fi

# office_merge: LibreOffice's mail merge of the letter, in an office of its own (its own profile
# and port; its start and the data source's registration are not counted), run once; "<ms> 0".
# A merge still running after $QV_MERGE_PEER_TIMEOUT seconds is stopped: the time it ran is
# printed and $work/merge-peer-over written.
office_merge() {
    local port out=$work/merge-office pid status=0 start
    port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    rm -rf "$out" "$work/merge-peer-over"
    setsid soffice -env:UserInstallation="file://$work/merge-profile" --headless --invisible \
        --nologo --norestore --nodefault --nolockcheck \
        --accept="socket,host=127.0.0.1,port=$port;urp;" >"$work/soffice.log" 2>&1 &
    pid=$!
    timeout "${QV_MERGE_PEER_TIMEOUT:-600}" /usr/bin/python3 "$root/bench/window/lomerge.py" \
        "$port" "$work/merge" "$work/merge/fields.dot" "$out" >"$work/lomerge.out" || status=$?
    start=$(grep -m1 -o '^start=[0-9]*' "$work/lomerge.out" | cut -d= -f2)
    kill -- -"$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    cat "$work/lomerge.out" >&2
    if [ "$status" = 124 ] && [ -n "$start" ]; then
        echo "LibreOffice's mail merge stopped after ${QV_MERGE_PEER_TIMEOUT:-600} s" >&2
        echo "$(($(date +%s%3N) - start)) 0" | tee "$work/merge-peer-over"
        return
    fi
    [ "$status" = 0 ] || { cat "$work/soffice.log" >&2; echo "LibreOffice's mail merge failed ($status)" >&2; exit 1; }
    echo "$(grep -m1 -o '^ms=[0-9]*' "$work/lomerge.out" | cut -d= -f2) 0"
}

if wanted merge || wanted merge-memory; then
    merge=$(best window merge "$work/merge/LETTER.LET" "$work/merge/fields.dot")
fi
if wanted merge; then
    row merge "$merge" "$(office_merge)"
    if [ -f "$work/merge-peer-over" ]; then
        echo "merge-peer-over $(cut -d' ' -f1 "$work/merge-peer-over")"
    fi
fi
if wanted merge-memory; then
    row merge-memory "$merge" "$(best window merge "$work/merge/LETTER.LET" "$work/merge/plain.dot")"
fi
