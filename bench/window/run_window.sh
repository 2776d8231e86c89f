#!/usr/bin/env bash
# The program's own window shown on an X server (Xvfb, QT_QPA_PLATFORM=xcb), each action started
# by a click on its control, beside its peer in the same run. Where the peer is a command, ours is
# the whole window process too (bench/window/bench_window, from its start to the result, less the
# fixed pause before the click), and the command line's run of the same work stands beside it;
# the time from the click is shown as well, without a peer. The rows:
#   search   1,000 merge files of 4 KB + 5 of 20 MB from a local vsftpd: the window (four
#            connections) and "quorvane search --connections 1", beside curl's command-line
#            tool fetching the same files over one connection
#   xlsx     32,767 records x 26 fields to the workbook: the window and "quorvane export xlsx",
#            beside "soffice --headless --convert-to xlsx" of the same data as CSV
#   xlsx-a11y the same export from the click with the accessibility bridge on (an AT-SPI bus and
#            QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1), beside it off
#   html     the same records to the page: the window and "quorvane export html", beside
#            "soffice --headless --convert-to html"
#   startup  the main window built until it is shown (no peer)
#   merge    Complete Merge of 32,767 records into a one-page letter with IF, \# and \@ fields
#            (mergeletter.py), from the click until the merged document is saved; beside
#            LibreOffice's mail merge (com.sun.star.text.MailMerge, lomerge.py) of the same
#            template and data into one file in an office already running, both without their
#            start-up; the office is stopped after $QV_MERGE_PEER_TIMEOUT seconds (300), its time
#            then a lower bound; run once
#   merge-memory what that merge adds to the window's memory (the peak less the resident size
#            just before the click), beside what the same merge into the letter with plain
#            MERGEFIELDs only adds
#   merge-big "quorvane merge" of $QV_MERGE_BIG_RECORDS records (200,000; 0 leaves it out) of the
#            same letter: its time, its peak, and the peak less that of "quorvane list" from the
#            same program folder
#            (QV_MERGE_RECORDS=200 merges fewer records in the merge rows: a quick check)
# Every side's result is checked before its time counts (exit status; files counted and sized;
# the workbook, page or merged document opened and its rows or letters counted); a side that
# failed voids its row with the reason. Prints the rows for bench/run.sh (bench/rows.sh); each
# figure the best of $QV_WINDOW_RUNS runs (2).
# QV_WINDOW_ROWS chooses the rows to run, by name (e.g. QV_WINDOW_ROWS="xlsx xlsx-a11y"); all
# rows when unset. xlsx-a11y compares with the xlsx row's click time and runs it too.
#
# Usage: bench/window/run_window.sh [build dir]   (as root: installs vsftpd, Xvfb, the AT-SPI
# bus and LibreOffice Calc when missing)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-${QV_BUILD_DIR:-$root/build}}
bench=$build/bench/window/bench_window
quorvane=$build/quorvane
[ -x "$bench" ] || cmake --build "$build" --target bench_window >/dev/null
runs=${QV_WINDOW_RUNS:-2}
check=$root/bench/checkdoc.py

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

# figure <line> <key>: the value of key=<value> in a line of bench_window's.
figure() { grep -o "$2=[0-9-]*" <<<"$1" | head -n 1 | cut -d= -f2; }

# window <side> <check> <args...>: one run of the driver on its own X server; the check (a
# command, given the kept document's path, or "-") must pass too. Records the side's process
# time (side <side>), its time from the click (<side>-click) and the memory its action added
# (<side>-added, as a "time" of kB: the smallest of the runs).
window() {
    local side=$1 check_with=$2 out why
    shift 2
    rm -f "$work/kept"
    if ! out=$(xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
        QV_WINDOW_KEEP="$work/kept" "$@" 2>"$work/window.err"); then
        side_fail "$side" "bench_window $2 failed: $(head -c 300 "$work/window.err" | tr '\n\t' '  ')"
        side_fail "$side-click" "${side_why[$side]}"
        side_fail "$side-added" "${side_why[$side]}"
        return
    fi
    if [ "$check_with" != - ] && ! why=$($check_with "$work/kept"); then
        side_fail "$side" "$why"
        side_fail "$side-click" "$why"
        side_fail "$side-added" "$why"
        return
    fi
    echo "  $side: $out" >&2
    side_take "$side" "$(figure "$out" process_ms)" "$(figure "$out" peak_kb)"
    side_take "$side-click" "$(figure "$out" ms)" "$(figure "$out" peak_kb)"
    side_take "$side-added" "$(figure "$out" added_kb)" 0
}

# window_a11y <args...>: the driver with an AT-SPI bus and the bridge always on; prints its line.
window_a11y() {
    # shellcheck disable=SC2016 # expanded by the inner shell
    dbus-run-session -- bash -c '
        /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 & launcher=$!
        sleep 1
        QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
            env QT_QPA_PLATFORM=xcb "$@"; status=$?
        kill $launcher 2>/dev/null; wait $launcher 2>/dev/null
        exit $status' _ "$@"
}

# program_folder <dir>: a copy of the program in <dir>/prog, with a data folder and a home.
program_folder() {
    rm -rf "${1:?}/prog" "${1:?}/home"
    mkdir -p "$1/prog/data" "$1/prog/Word" "$1/home"
    cp "$quorvane" "$1/prog/quorvane"
}

# cli <side> <dir> <check> <command...>: one timed run of the program's command line from the
# program folder in <dir>; the check (given nothing) must pass too.
cli() {
    local side=$1 dir=$2 check_with=$3 why
    shift 3
    timed env HOME="$dir/home" QUORVANE_PASSWORD="$password" "$dir/prog/quorvane" "$@"
    echo "  $side: ${t_ms} ms, status $t_status, ${t_kb} kB" >&2
    if [ "$t_status" != 0 ]; then
        side_fail "$side" "quorvane $1 exited $t_status: $(said)"
    elif ! why=$($check_with); then
        side_fail "$side" "quorvane $1: $why"
    else
        side_take "$side" "$t_ms" "$t_kb"
    fi
}

# The search: 1,000 small files and 5 big ones in the served folder.
search_rows() {
    local dir=$work/search accounts=$work/search/ftp/u/vantrelle/accounts
    mkdir -p "$accounts"
    chmod -R 755 "$dir"
    merge_files "$accounts" 1000 4096
    merge_files "$accounts" 5 $((20 * 1024 * 1024)) 1000
    local total=$((1000 * 4096 + 5 * 20 * 1024 * 1024))
    start_server "$dir/ftp"
    local base="ftp://127.0.0.1:$port/%2Fu/vantrelle/accounts"
    curl_config "$accounts" "$base" "$dir/curl" "$dir/curl.cfg"
    program_folder "$dir"
    check_search() { check_files "$dir/prog/data" 1005 "=$total"; }
    for _ in $(seq "$runs"); do
        curl_run curl "$base" "$dir/curl.cfg" "$dir/curl" 1005 "=$total" "$user"
        window search - "$bench" search "127.0.0.1:$port" "$user" "$password" 1005
        rm -rf "$dir/prog/data"
        cli cli1 "$dir" check_search search --address "127.0.0.1:$port" --login "$user" \
            --connections 1
    done
    stop_server
    local what="search 1000 x 4 KB + 5 x 20 MB over ftp://"
    row_line "$what: shown window, 4 connections, start to result, vs curl, 1 connection (processes)" \
        "$(side_time search)" "$(side_time curl)" ms none
    row_line "$what: quorvane search --connections 1 vs curl, 1 connection (processes)" \
        "$(side_time cli1)" "$(side_time curl)" ms none
    row_line "$what: shown window, from the click (no peer)" "$(side_time search-click)" - ms none
    row_line "peak memory added: $what, shown window (peak less the window's before the click)" \
        "$(to_mib "$(side_time search-added)")" - MiB "value<=64"
    rm -rf "$dir"
}

# The records of the exports, as a merge file and as CSV for LibreOffice.
records() {
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
# The records only, as the workbook holds them (the field names are not a row of it).
with open(sys.argv[2], "w", newline="", encoding="utf-8") as f:
    csv.writer(f).writerows(rows)
PY
}

check_document() { # check_document <xlsx|html> <path>: the 32,767 records
    /usr/bin/python3 "$check" "$1" "$2" 32767
}
check_workbook() { check_document xlsx "$1"; }
check_page() { check_document html "$1"; }

# office <side> <format>: LibreOffice converting the CSV, as a process; its document checked.
office() {
    local side=$1 format=$2 why
    rm -rf "$work/office"
    timed soffice -env:UserInstallation="file://$work/profile" --headless --convert-to "$format" \
        --outdir "$work/office" "$work/records.csv"
    echo "  $side: ${t_ms} ms, status $t_status" >&2
    if [ "$t_status" != 0 ]; then
        side_fail "$side" "soffice exited $t_status: $(said)"
    elif ! why=$(check_document "$format" "$work/office/records.$format"); then
        side_fail "$side" "soffice: $why"
    else
        side_take "$side" "$t_ms" "$t_kb"
    fi
}

# export_rows <xlsx|html> <goal against LibreOffice>
export_rows() {
    local format=$1 goal=$2 dir=$work/export checker=check_workbook
    [ "$format" = xlsx ] || checker=check_page
    program_folder "$dir"
    cp "$work/BENCH.LET" "$dir/prog/data/BENCH.LET"
    check_cli() { check_document "$format" "$dir/out.$format"; }
    for _ in $(seq "$runs"); do
        office "office-$format" "$format"
        window "window-$format" "$checker" "$bench" "$format" "$work/BENCH.LET"
        rm -f "$dir/out.$format"
        cli "cli-$format" "$dir" check_cli export "$format" BENCH --output "$dir/out.$format"
    done
    local what=".$format"
    [ "$format" = xlsx ] || what="HTML"
    what="export 32,767 x 26 to $what"
    row_line "$what: shown window, start to saved, vs soffice --convert-to $format (processes)" \
        "$(side_time "window-$format")" "$(side_time "office-$format")" ms "$goal"
    row_line "$what: quorvane export $format vs soffice --convert-to $format (processes)" \
        "$(side_time "cli-$format")" "$(side_time "office-$format")" ms "$goal"
    row_line "$what: shown window, from the click (no peer)" "$(side_time "window-$format-click")" \
        - ms none
    if [ "$format" = xlsx ]; then
        row_line "peak memory added: $what, shown window (peak less the window's before the click)" \
            "$(to_mib "$(side_time window-xlsx-added)")" - MiB none
    fi
}

# The accessibility bridge on, beside the xlsx row's runs with it off (both from the click).
a11y_row() {
    local out
    for _ in $(seq "$runs"); do
        if out=$(window_a11y "$bench" xlsx "$work/BENCH.LET" 2>"$work/window.err"); then
            echo "  a11y: $out" >&2
            side_take a11y "$(figure "$out" ms)" 0
        else
            side_fail a11y "bench_window xlsx with the bridge on failed: $(head -c 300 "$work/window.err")"
        fi
    done
    row_line "export 32,767 x 26 to .xlsx from the click, shown window: accessibility bridge on vs off (same driver)" \
        "$(side_time a11y)" "$(side_time window-xlsx-click)" ms none
}

# office_merge: LibreOffice's mail merge of the letter, in an office of its own (its own profile
# and port; its start and the data source's registration are not counted), run once, its
# merged document checked by lomerge.py. Sets side "office-merge"; a merge still running after
# $QV_MERGE_PEER_TIMEOUT seconds is stopped and its time kept as a lower bound ($merge_over).
office_merge() {
    local port out=$work/merge-office pid status=0 start
    port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    rm -rf "$out"
    merge_over=""
    setsid soffice -env:UserInstallation="file://$work/merge-profile" --headless --invisible \
        --nologo --norestore --nodefault --nolockcheck \
        --accept="socket,host=127.0.0.1,port=$port;urp;" >"$work/soffice.log" 2>&1 &
    pid=$!
    timeout "${QV_MERGE_PEER_TIMEOUT:-300}" /usr/bin/python3 "$root/bench/window/lomerge.py" \
        "$port" "$work/merge" "$work/merge/fields.dot" "$out" >"$work/lomerge.out" || status=$?
    start=$(grep -m1 -o '^start=[0-9]*' "$work/lomerge.out" | cut -d= -f2 || true)
    kill -- -"$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    cat "$work/lomerge.out" >&2
    if [ "$status" = 124 ] && [ -n "$start" ]; then
        echo "LibreOffice's mail merge stopped after ${QV_MERGE_PEER_TIMEOUT:-300} s" >&2
        merge_over=$(($(date +%s%3N) - start))
    elif [ "$status" = 124 ]; then
        side_fail office-merge "LibreOffice did not begin the merge within ${QV_MERGE_PEER_TIMEOUT:-300} s"
    elif [ "$status" != 0 ]; then
        side_fail office-merge "LibreOffice's mail merge failed ($status): $(tail -n 3 "$work/soffice.log" | tr '\n\t' '  ')"
    else
        side_take office-merge "$(grep -m1 -o '^ms=[0-9]*' "$work/lomerge.out" | cut -d= -f2)" 0
    fi
}

merge_rows() {
    local records=${QV_MERGE_RECORDS:-32767}
    check_merged() {
        /usr/bin/python3 "$check" docx "$1" "$records" "Vantrelle Supplies Ltd, Accounts Department"
    }
    for _ in $(seq "$runs"); do
        window merge check_merged "$bench" merge "$work/merge/LETTER.LET" "$work/merge/fields.dot"
        if wanted merge-memory; then
            window plain check_merged "$bench" merge "$work/merge/LETTER.LET" "$work/merge/plain.dot"
        fi
    done
    local what="Complete Merge of $records letters with IF, \\# and \\@ fields"
    if wanted merge; then
        row_line "$what: shown window, from the click (no peer)" "$(side_time merge-click)" - ms \
            "value<=2000"
        office_merge
        local peer
        peer=$(side_time office-merge)
        [ -z "$merge_over" ] || peer=">$merge_over"
        row_line "$what: from the click vs LibreOffice's MailMerge in a running office (both without start-up)" \
            "$(side_time merge-click)" "$peer" ms "ratio<=0.05"
    fi
    if wanted merge-memory; then
        row_line "peak memory added: $what vs plain MERGEFIELDs, shown window (each less the window's before the click)" \
            "$(to_mib "$(side_time merge-added)")" "$(to_mib "$(side_time plain-added)")" MiB \
            "ratio<2"
    fi
}

# "quorvane merge" of many records, once: its time and its memory.
merge_big_row() {
    local records=$1 dir=$work/big
    /usr/bin/python3 "$root/bench/window/mergeletter.py" "$dir/letter" "$records"
    program_folder "$dir"
    local baseline
    baseline=$(
        timed env HOME="$dir/home" "$dir/prog/quorvane" list
        [ "$t_status" = 0 ] && echo "$t_kb" || echo "void: quorvane list exited $t_status"
    )
    mv "$dir/letter/LETTER.LET" "$dir/prog/data/BIG.LET"
    cp "$dir/letter/fields.dot" "$dir/prog/Word/BIG.dot"
    check_big() {
        /usr/bin/python3 "$check" docx "$dir/big.docx" "$records" \
            "Vantrelle Supplies Ltd, Accounts Department"
    }
    cli big "$dir" check_big merge BIG --output "$dir/big.docx"
    local what="quorvane merge of $records letters with IF, \\# and \\@ fields"
    row_line "$what (process, no peer)" "$(side_time big)" - ms none
    row_line "peak memory: $what, whole process (no peer)" "$(to_mib "$(side_kb big)")" - MiB none
    row_line "peak memory added: $what (peak less quorvane list's)" \
        "$(to_mib "$(minus "$(side_kb big)" "$baseline")")" - MiB "value<=256"
    rm -rf "$dir"
}

if wanted startup; then
    for _ in $(seq "$runs"); do
        window startup - "$bench" startup
    done
    row_line "start-up to the main window shown, shown window (no peer)" \
        "$(side_time startup-click)" - ms none
fi
wanted search && search_rows
if wanted xlsx || wanted xlsx-a11y || wanted html; then
    records
    # LibreOffice's first start sets up its profile; it is not counted.
    soffice -env:UserInstallation="file://$work/profile" --headless --convert-to xlsx \
        --outdir "$work/warm" "$work/records.csv" >/dev/null 2>&1 || true
fi
if wanted xlsx || wanted xlsx-a11y; then
    export_rows xlsx "ratio<=0.20"
    wanted xlsx-a11y && a11y_row
fi
wanted html && export_rows html none

# The letter and its records for Complete Merge; LibreOffice reads the merge file from the same
# folder (the only .LET in it).
if wanted merge || wanted merge-memory; then
    /usr/bin/python3 "$root/bench/window/mergeletter.py" "$work/merge" "${QV_MERGE_RECORDS:-32767}"
    merge_rows
fi
big=${QV_MERGE_BIG_RECORDS:-200000}
if wanted merge-big && [ "$big" != 0 ]; then
    merge_big_row "$big"
fi
true
