#!/usr/bin/env bash
# The letters as files and PDF, beside LibreOffice in the same run:
#   each  N letters to N PDF files: "quorvane merge LETTER --to pdf --each {Name}" from the
#         command's start to its end (LibreOffice's start and layout included), beside
#         LibreOffice's MailMerge service saving one PDF per record (lomergeeach.py; its office's
#         start and the data source's registration not counted)
#   one   N letters to one PDF: "quorvane merge LETTER --to pdf", beside
#         "soffice --headless --convert-to pdf" of our own merged .docx (a fresh private profile,
#         as ours uses)
#   big   QV_LETTERS_BIG letters (32,767) to one PDF: the time and the peak memory of quorvane
#         itself (LibreOffice's own is printed from its process's accounting)
#
#   bash bench/letters/run.sh BUILD_DIR       (QV_LETTERS_RECORDS=1000, QV_LETTERS_BIG=32767;
#                                              QV_LETTERS_BIG=0 leaves that row out)
# Prints one line a row: "<row> <ours ms> <peer ms> <ratio>", and for big "<ms> <peak KB>".
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build-release}" && pwd)
records=${QV_LETTERS_RECORDS:-1000}
big=${QV_LETTERS_BIG:-32767}
work=$(mktemp -d /tmp/quorvane-bench-letters-XXXXXX)
trap 'rm -rf "$work"' EXIT

ms() { date +%s%3N; }

# A program folder of its own: the executable linked in, the merge file and its template.
program_folder() { # folder records
    mkdir -p "$1/data" "$1/Word" "$1/home"
    ln -f "$build/quorvane" "$1/quorvane" 2>/dev/null || cp "$build/quorvane" "$1/quorvane"
    /usr/bin/python3 "$root/bench/window/mergeletter.py" "$1/letter" "$2" >/dev/null
    cp "$1/letter/LETTER.LET" "$1/data/LETTER.LET"
    cp "$1/letter/fields.dot" "$1/Word/LETTER.dot"
}

quorvane() { # folder args...
    local folder=$1
    shift
    (cd "$folder/home" && HOME="$folder/home" QT_QPA_PLATFORM=offscreen "$folder/quorvane" "$@")
}

timed() { # command... -> ms
    local start
    start=$(ms)
    "$@" >/dev/null 2>"$work/last.err" || { cat "$work/last.err" >&2; exit 1; }
    echo $(($(ms) - start))
}

peer_each() { # folder
    local port pid out=$1/peer-each
    port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    setsid soffice -env:UserInstallation="file://$work/peer-profile" --headless --invisible \
        --nologo --norestore --nodefault --nolockcheck \
        --accept="socket,host=127.0.0.1,port=$port;urp;" >"$work/soffice.log" 2>&1 &
    pid=$!
    /usr/bin/python3 "$root/bench/letters/lomergeeach.py" "$port" "$1/letter" \
        "$1/letter/fields.dot" "$out" >"$work/peer.out" || { cat "$work/peer.out" "$work/soffice.log" >&2; }
    kill -- -"$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    grep -m1 -o '^ms=[0-9]*' "$work/peer.out" | cut -d= -f2
}

row() { # name ours peer
    echo "$1 $2 $3 $(awk -v a="$2" -v b="$3" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "n/a" }')"
}

f=$work/p
program_folder "$f" "$records"
ours_each=$(timed quorvane "$f" merge LETTER --to pdf --each "{Name}" --output "$f/each")
[ "$(find "$f/each" -name '*.pdf' | wc -l)" = "$records" ] || { echo "not $records PDF files" >&2; exit 1; }
row each "$ours_each" "$(peer_each "$f")"

ours_one=$(timed quorvane "$f" merge LETTER --to pdf --output "$f/one.pdf")
quorvane "$f" merge LETTER --output "$f/merged.docx" >/dev/null
peer_one=$(timed soffice -env:UserInstallation="file://$work/convert-profile" --headless \
    --convert-to pdf --outdir "$f/converted" "$f/merged.docx")
row one "$ours_one" "$peer_one"

if [ "$big" -gt 0 ]; then
    b=$work/big
    program_folder "$b" "$big"
    start=$(ms)
    (cd "$b/home" && HOME="$b/home" /usr/bin/time -f "%M" -o "$work/big.mem" \
        "$b/quorvane" merge LETTER --to pdf --output "$b/one.pdf" >/dev/null 2>"$work/big.err") ||
        { cat "$work/big.err" >&2; exit 1; }
    echo "big $(($(ms) - start)) $(tail -1 "$work/big.mem") $(pdfinfo "$b/one.pdf" | awk '/^Pages:/ { print $2 }')"
fi
