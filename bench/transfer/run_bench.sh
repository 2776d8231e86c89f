#!/usr/bin/env bash
# Times a search of the program against a local server beside curl's command-line tool fetching
# the same files over one connection with the same protocol: plain FTP (vsftpd) for 1,000 files
# of 4 KB and for 10 files of 20 MB; FTP with explicit TLS (vsftpd, ftpes://, a certificate issued
# by a CA made for the run) and SFTP (the tests' asyncssh server, sftp://) for 1,000 files of 4 KB.
# Prints each time, the ratio and the peak memory of each side. A second table times
# "quorvane search" (the command line, 4 connections unless said) against a server whose every
# reply comes 10 ms late (bench/transfer/lateftpserver.py, loopback only) beside lftp's
# "mirror -P 8" and curl over one connection, for 200 files of 4 KB.
#
# Usage: bench/transfer/run_bench.sh [build dir]   (run as root: installs vsftpd and asyncssh when
# missing and starts the servers on 127.0.0.1 with their own configuration, vsftpd serving a
# temporary folder to anonymous logins, so no account is added and no system file is changed;
# the folder and the servers go at the end). QV_TRANSFER_BENCH_QUICK=1 runs small scenarios, to
# check the set-up; QV_BENCH_COUNT=<n> uses n small files instead of 1,000 (the labels keep
# "1000"); QV_BENCH_LARGE=0 leaves the 20 MB files out; QV_TRANSFER_PROTOCOLS="sftp" (any of
# "ftp ftpes sftp late") runs only those protocols' scenarios ("late": the late server's table).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-${QV_BUILD_DIR:-$root/build}}
bench=$build/bench/transfer/bench_transfer_search
[ -x "$bench" ] || cmake --build "$build" --target bench_transfer_search >/dev/null

if ! /usr/bin/python3 -c 'import asyncssh, cryptography' 2>/dev/null; then
    apt-get update -qq >/dev/null
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq python3-asyncssh >/dev/null
fi
if ! command -v lftp >/dev/null; then
    apt-get update -qq >/dev/null
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq lftp >/dev/null
fi

work=$(mktemp -d /tmp/qv-bench-transfer.XXXXXX)
chmod 755 "$work"
# shellcheck source=bench/transfer/vsftpd.sh
source "$root/bench/transfer/vsftpd.sh"

# Certificates for the TLS server: a CA (given to both sides) and a certificate it issued.
certs=$work/certs
mkdir -p "$certs"
/usr/bin/python3 "$root/tests/support/makecerts.py" "$certs"
chmod 755 "$certs"

# start_sftp_server <root>: the tests' SFTP server, whose key goes into a known_hosts file. It
# runs four processes, as a server that gives each session a process of its own serves four
# sessions at once; curl's one session is served as before.
start_sftp_server() {
    : >"$work/sftp.out"
    /usr/bin/python3 "$root/tests/support/sftpserver.py" --root "$1" --user "$user" \
        --password "$password" --host-key "$work/sftp_key" --config "$work/sftp.json" \
        --events /dev/null --processes 4 >"$work/sftp.out" &
    server_pid=$!
    for _ in $(seq 100); do
        port=$(sed -n 's/^LISTENING //p' "$work/sftp.out")
        [ -n "$port" ] && break
        sleep 0.1
    done
    [ -n "$port" ] || { echo "the SFTP server did not start" >&2; exit 1; }
    echo "[127.0.0.1]:$port $(cut -d' ' -f1,2 "$work/sftp_key.pub")" >"$work/known_hosts"
    host_sha256=$(ssh-keygen -l -E sha256 -f "$work/sftp_key.pub" | awk '{print $2}' | sed 's/^SHA256://')
}

# serve <ftp|ftpes|sftp> <root>: the server of the protocol, and what each side is given for
# it: the address our search takes, curl's base URL and options, and our trust arguments.
serve() {
    curl_options=() trust=()
    case $1 in
    ftp)
        start_server "$2"
        address="127.0.0.1:$port"
        ;;
    ftpes)
        start_server "$2" "$certs/signed.pem" "$certs/signed.key" "$certs/ca.pem"
        address="ftpes://127.0.0.1:$port"
        curl_options=(--ssl-reqd --cacert "$certs/ca.pem")
        trust=("$certs/ca.pem")
        ;;
    sftp)
        start_sftp_server "$2"
        address="sftp://127.0.0.1:$port"
        curl_options=(--hostpubsha256 "$host_sha256")
        trust=("" "$work/known_hosts")
        ;;
    esac
    base="ftp://127.0.0.1:$port/%2Fu/vantrelle/accounts"
    [ "$1" != sftp ] || base="sftp://127.0.0.1:$port/u/vantrelle/accounts"
}

# scenario <label> <folder name> <count> <bytes each> <ftp|ftpes|sftp>
scenario() {
    local label=$1 name=$2 count=$3 size=$4 protocol=$5
    local ftproot=$work/$name/root accounts=$work/$name/root/u/vantrelle/accounts
    mkdir -p "$accounts" "$work/$name/curl"
    chmod -R 755 "$work/$name"
    merge_files "$accounts" "$count" "$size"
    serve "$protocol" "$ftproot"

    # curl: the listing, then every file, all over one connection; ours: the address as typed.
    local config=$work/$name/curl.cfg
    curl_config "$accounts" "$base" "$work/$name/curl" "$config"
    # Best of three runs of each side: the machine is shared, and the best run shows the cost of
    # the work itself.
    local ms curl_ms=999999999 curl_kb=0 ours ours_ms=999999999 ours_kb=0 ours_files=0
    for _ in 1 2 3; do
        rm -f "$work/$name/curl/"*
        ms=$(curl_fetch "$base" "$config" "${curl_options[@]}")
        [ "$ms" -lt "$curl_ms" ] && curl_ms=$ms
        curl_kb=$(tail -n 1 "$work/curl.mem") # the last line: GNU time's note of a signal comes first

        ours=$(/usr/bin/time -f "cpu_s=%U+%S" "$bench" "$address" "$user" "$password" "${trust[@]}" 2>&1 | grep -v XDG | tr "\n" " ")
        echo "  search: $ours" >&2
        ms=$(sed -E 's/.*search_ms=([0-9]+).*/\1/' <<<"$ours")
        [ "$ms" -lt "$ours_ms" ] && ours_ms=$ms
        ours_kb=$(sed -E 's/.*peak_kb=([0-9]+).*/\1/' <<<"$ours")
        ours_files=$(sed -E 's/.*files=([0-9]+).*/\1/' <<<"$ours")
    done
    stop_server
    [ "$ours_files" = "$count" ] || { echo "search found $ours_files of $count files" >&2; exit 1; }
    printf '%-18s %10d %10d %7.2fx %15d %13d\n' "$label" "$ours_ms" "$curl_ms" \
        "$(/usr/bin/python3 -c "print($ours_ms / max($curl_ms, 1))")" "$ours_kb" "$curl_kb"
    rm -rf "$work/$name"
}

# start_late_server <root>: the late server, serving the root to the benchmark's login.
start_late_server() {
    : >"$work/late.out"
    /usr/bin/python3 "$root/bench/transfer/lateftpserver.py" --root "$1" --user "$late_user" \
        --password "$password" --delay-ms 10 >"$work/late.out" 2>"$work/late.err" &
    server_pid=$!
    for _ in $(seq 100); do
        port=$(sed -n 's/^LISTENING //p' "$work/late.out")
        [ -n "$port" ] && return 0
        sleep 0.1
    done
    echo "the late FTP server did not start" >&2
    exit 1
}

# millis <command...>: runs it, prints its wall time in milliseconds.
millis() {
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1
    t1=$(date +%s%N)
    echo $(((t1 - t0) / 1000000))
}

# late_scenario <label> <count> <bytes each> <connections>: "quorvane search" from a program
# folder of its own beside lftp's mirror over 8 connections and curl over one, against the late
# server; best of three runs each.
late_scenario() {
    local label=$1 count=$2 size=$3 connections=$4
    local dir=$work/late accounts=$work/late/root/u/vantrelle/accounts
    mkdir -p "$accounts" "$dir/prog" "$dir/home" "$dir/curl"
    merge_files "$accounts" "$count" "$size"
    cp "$build/quorvane" "$dir/prog/quorvane"
    start_late_server "$dir/root"
    local base="ftp://127.0.0.1:$port/%2Fu/vantrelle/accounts"
    curl_config "$accounts" "$base" "$dir/curl" "$dir/curl.cfg"
    local ms ours_ms=999999999 ours_kb=0 lftp_ms=999999999 curl_ms=999999999
    for _ in 1 2 3; do
        rm -rf "$dir/prog/data" "$dir/lftp" "$dir/curl/"*
        ms=$(millis env HOME="$dir/home" QUORVANE_PASSWORD="$password" /usr/bin/time -f %M \
            -o "$dir/ours.mem" "$dir/prog/quorvane" search --address "127.0.0.1:$port" \
            --login "$late_user" --connections "$connections")
        [ "$(ls "$dir/prog/data" | wc -l)" = "$count" ] || { echo "search fetched too few" >&2; exit 1; }
        [ "$ms" -lt "$ours_ms" ] && ours_ms=$ms
        ours_kb=$(tail -n 1 "$dir/ours.mem")
        ms=$(millis lftp -c "set ftp:ssl-allow no; set net:max-retries 2; \
            open -u $late_user,$password ftp://127.0.0.1:$port; \
            mirror -P 8 /u/vantrelle/accounts $dir/lftp")
        [ "$ms" -lt "$lftp_ms" ] && lftp_ms=$ms
        ms=$(user=$late_user curl_fetch "$base" "$dir/curl.cfg")
        [ "$ms" -lt "$curl_ms" ] && curl_ms=$ms
    done
    stop_server
    printf '%-32s %10d %10d %10d %8.2fx %8.2fx %15d\n' "$label" "$ours_ms" "$lftp_ms" "$curl_ms" \
        "$(/usr/bin/python3 -c "print($ours_ms / max($lftp_ms, 1))")" \
        "$(/usr/bin/python3 -c "print($ours_ms / max($curl_ms, 1))")" "$ours_kb"
    rm -rf "$dir"
}
late_user=qvbench

printf '%-18s %10s %10s %8s %15s %13s\n' scenario search_ms curl_ms ratio search_peak_kb curl_peak_kb
small=${QV_BENCH_COUNT:-1000}
if [ "${QV_TRANSFER_BENCH_QUICK:-0}" = 1 ]; then
    small=20
fi
protocols=" ${QV_TRANSFER_PROTOCOLS:-ftp ftpes sftp} "
if [[ $protocols == *" ftp "* ]]; then
    if [ "${QV_TRANSFER_BENCH_QUICK:-0}" = 1 ]; then
        scenario "20 x 4 KB" small "$small" 4096 ftp
        scenario "2 x 1 MB" large 2 $((1024 * 1024)) ftp
    else
        scenario "1000 x 4 KB" small "$small" 4096 ftp
        [ "${QV_BENCH_LARGE:-1}" = 0 ] || scenario "10 x 20 MB" large 10 $((20 * 1024 * 1024)) ftp
    fi
fi
[[ $protocols != *" ftpes "* ]] || scenario "ftpes 1000 x 4 KB" small-ftpes "$small" 4096 ftpes
[[ $protocols != *" sftp "* ]] || scenario "sftp 1000 x 4 KB" small-sftp "$small" 4096 sftp
echo "best of 3 runs each; goals: ftpes <= 0.20, sftp <= 0.50; search peak memory <= 64 MiB"
if [[ $protocols == *" late "* ]] || [ -z "${QV_TRANSFER_PROTOCOLS:-}" ]; then
    echo
    printf '%-32s %10s %10s %10s %9s %9s %15s\n' late_scenario search_ms lftp_P8_ms curl_ms \
        vs_lftp vs_curl search_peak_kb
    late=${QV_LATE_COUNT:-200}
    [ "${QV_TRANSFER_BENCH_QUICK:-0}" = 1 ] && late=20
    late_scenario "late 200 x 4 KB" "$late" 4096 4
    late_scenario "late 200 x 4 KB, 8 connections" "$late" 4096 8
    echo "every reply 10 ms late; best of 3 runs each; goals: vs_lftp <= 1.00, vs_curl <= 0.20"
fi
