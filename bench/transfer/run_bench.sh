#!/usr/bin/env bash
# Times the command line's search, whole process against whole process, beside curl's
# command-line tool fetching the same files with the same protocol over one connection:
# "quorvane search" over four connections (the default) and over one (--connections 1, the
# same number as curl), each started from a program folder of its own with its data folder
# empty. Plain FTP (vsftpd) for 1,000 files of 4 KB and for 10 files of 20 MB; FTP with
# explicit TLS (vsftpd, ftpes://, a certificate issued by a CA made for the run, trusted by
# fingerprint on a first run that is not timed) and SFTP (the tests' asyncssh server, sftp://,
# its key in the known_hosts of the run's home) for 1,000 files of 4 KB. A second set times the
# search against a server whose every reply comes 10 ms late (bench/transfer/lateftpserver.py,
# loopback only) beside lftp's "mirror" at the same number of connections (-P 4, -P 8) and curl
# over one connection, for 200 files of 4 KB.
#
# Every run is checked before its time counts: its exit status, the number of files it left and
# each one's size; a side that failed once voids its rows with the reason. Each figure is the
# best of 3 runs. The memory rows give our search's peak less the peak of "quorvane list" run
# from the same program folder (what the search adds to the process), beside the whole peaks.
# Prints the rows for bench/run.sh (bench/rows.sh) and, on standard error, each run.
#
# Usage: bench/transfer/run_bench.sh [build dir]   (run as root: installs vsftpd, asyncssh and
# lftp when missing and starts the servers on 127.0.0.1 with their own configuration, vsftpd
# serving a temporary folder to anonymous logins, so no account is added and no system file is
# changed; the folder and the servers go at the end). QV_TRANSFER_BENCH_QUICK=1 runs small
# scenarios, to check the set-up; QV_BENCH_COUNT=<n> uses n small files instead of 1,000;
# QV_TRANSFER_RUNS=<n> takes the best of n runs instead of 3; QV_BENCH_LARGE=0 leaves the 20 MB files out; QV_TRANSFER_PROTOCOLS="sftp"
# (any of "ftp ftpes sftp late") runs only those protocols' scenarios ("late": the late server's).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-${QV_BUILD_DIR:-$root/build}}
quorvane=$build/quorvane
[ -x "$quorvane" ] || cmake --build "$build" --target quorvane >/dev/null

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
runs=${QV_TRANSFER_RUNS:-3}

# Certificates for the TLS server: a CA (given to curl) and a certificate it issued.
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
    known_line="[127.0.0.1]:$port $(cut -d' ' -f1,2 "$work/sftp_key.pub")"
    host_sha256=$(ssh-keygen -l -E sha256 -f "$work/sftp_key.pub" | awk '{print $2}' | sed 's/^SHA256://')
}

# serve <ftp|ftpes|sftp> <root>: the server of the protocol, and what each side is given for
# it: the address our search takes, curl's base URL and options.
serve() {
    curl_options=() known_line=""
    case $1 in
    ftp)
        start_server "$2"
        address="127.0.0.1:$port"
        ;;
    ftpes)
        start_server "$2" "$certs/signed.pem" "$certs/signed.key" "$certs/ca.pem"
        address="ftpes://127.0.0.1:$port"
        curl_options=(--ssl-reqd --cacert "$certs/ca.pem")
        ;;
    sftp)
        start_sftp_server "$2"
        address="sftp://127.0.0.1:$port"
        curl_options=(--hostpubsha256 "$host_sha256")
        ;;
    esac
    base="ftp://127.0.0.1:$port/%2Fu/vantrelle/accounts"
    [ "$1" != sftp ] || base="sftp://127.0.0.1:$port/u/vantrelle/accounts"
}

# program_folder <dir>: a copy of the program in <dir>/prog (its program folder) and a home of
# its own in <dir>/home, holding the SFTP server's key when there is one.
program_folder() {
    rm -rf "${1:?}/prog" "${1:?}/home"
    mkdir -p "$1/prog" "$1/home/.ssh"
    cp "$quorvane" "$1/prog/quorvane"
    [ -z "$known_line" ] || echo "$known_line" >"$1/home/.ssh/known_hosts"
}

# search_run <dir> <address> <login> <connections> [more options]: one "quorvane search" from
# <dir>/prog, its data folder emptied first (a search that kept unchanged copies would do less
# work than its peer); sets t_ms, t_status, t_kb.
search_run() {
    local dir=$1 address=$2 login=$3 connections=$4
    shift 4
    rm -rf "$dir/prog/data"
    timed env HOME="$dir/home" QUORVANE_PASSWORD="$password" "$dir/prog/quorvane" search \
        --address "$address" --login "$login" --connections "$connections" "$@"
}

# trust_server <dir> <address> <login>: a first search, not timed; a TLS server it does not
# trust yet is trusted by the fingerprint it names (recorded in the program folder).
trust_server() {
    search_run "$@" 4
    if [ "$t_status" = 5 ]; then
        local fingerprint
        fingerprint=$(grep -o -- '--trust-fingerprint [^ ]*' "$work/timed.err" | head -n 1 |
            cut -d' ' -f2 | sed 's/\.$//')
        search_run "$@" 4 --trust-fingerprint "$fingerprint"
    fi
    [ "$t_status" = 0 ] || echo "the first search failed ($t_status): $(said)" >&2
}

# ours <side> <dir> <address> <login> <connections> <count> <bytes each>: one timed search,
# checked.
ours() {
    local side=$1 dir=$2 why
    search_run "$dir" "$3" "$4" "$5"
    echo "  $side: ${t_ms} ms, status $t_status, ${t_kb} kB" >&2
    if [ "$t_status" != 0 ]; then
        side_fail "$side" "quorvane search exited $t_status: $(said)"
    elif ! why=$(check_files "$dir/prog/data" "$6" "$7"); then
        side_fail "$side" "quorvane search: $why"
    else
        side_take "$side" "$t_ms" "$t_kb"
    fi
}

# list_peak <dir>: the peak resident kB of "quorvane list" from the program folder: the
# process's own baseline, before any search.
list_peak() {
    rm -rf "$1/prog/data"
    mkdir -p "$1/prog/data"
    timed env HOME="$1/home" "$1/prog/quorvane" list
    [ "$t_status" = 0 ] && echo "$t_kb" || echo "void: quorvane list exited $t_status: $(said)"
}

# scenario <label> <folder name> <count> <bytes each> <ftp|ftpes|sftp> <goal at 4 connections>
scenario() {
    local label=$1 name=$2 count=$3 size=$4 protocol=$5 goal=$6
    local dir=$work/$name accounts=$work/$name/root/u/vantrelle/accounts
    mkdir -p "$accounts"
    chmod -R 755 "$dir"
    merge_files "$accounts" "$count" "$size"
    serve "$protocol" "$dir/root"
    program_folder "$dir"
    curl_config "$accounts" "$base" "$dir/curl" "$dir/curl.cfg"
    echo "$label over $protocol" >&2
    trust_server "$dir" "$address" "$user"
    local s
    for s in ours4 ours1 curl; do side_forget "$s"; done
    # The sides take turns, so that a burst of other work on the machine falls on all of them.
    for _ in $(seq "$runs"); do
        ours ours4 "$dir" "$address" "$user" 4 "$count" "$size"
        ours ours1 "$dir" "$address" "$user" 1 "$count" "$size"
        curl_run curl "$base" "$dir/curl.cfg" "$dir/curl" "$count" "$size" "$user" "${curl_options[@]}"
    done
    local baseline
    baseline=$(list_peak "$dir")
    stop_server
    local what="$label over $protocol://"
    row_line "$what: quorvane search, 4 connections, vs curl, 1 connection (processes)" \
        "$(side_time ours4)" "$(side_time curl)" ms "$goal"
    row_line "$what: quorvane search --connections 1 vs curl, 1 connection (processes)" \
        "$(side_time ours1)" "$(side_time curl)" ms none
    if [ "$name" = large ]; then
        row_line "peak memory: $what, quorvane search (4 connections) vs curl, whole processes" \
            "$(to_mib "$(side_kb ours4)")" "$(to_mib "$(side_kb curl)")" MiB none
        row_line "peak memory added: $what, quorvane search (4 connections), peak less quorvane list's" \
            "$(to_mib "$(minus "$(side_kb ours4)" "$baseline")")" - MiB "value<=64"
    fi
    rm -rf "$dir"
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

# lftp_run <side> <port> <parallel> <folder> <count> <bytes each>: lftp's mirror of the folder
# with that many transfers at once; checked.
lftp_run() {
    local side=$1 why
    rm -rf "$4"
    timed lftp -c "set ftp:ssl-allow no; set net:max-retries 2; \
        open -u $late_user,$password ftp://127.0.0.1:$2; mirror -P $3 /u/vantrelle/accounts $4"
    echo "  $side: ${t_ms} ms, status $t_status" >&2
    if [ "$t_status" != 0 ]; then
        side_fail "$side" "lftp exited $t_status: $(said)"
    elif ! why=$(check_files "$4" "$5" "$6"); then
        side_fail "$side" "lftp: $why"
    else
        side_take "$side" "$t_ms" "$t_kb"
    fi
}

# late_scenario <label> <count> <bytes each>: against the late server, "quorvane search" over
# 4, 8 and 1 connections beside lftp's mirror over as many and curl over one.
late_scenario() {
    local label=$1 count=$2 size=$3
    local dir=$work/late accounts=$work/late/root/u/vantrelle/accounts
    mkdir -p "$accounts"
    merge_files "$accounts" "$count" "$size"
    known_line=""
    program_folder "$dir"
    start_late_server "$dir/root"
    local base="ftp://127.0.0.1:$port/%2Fu/vantrelle/accounts" address="127.0.0.1:$port" s
    curl_config "$accounts" "$base" "$dir/curl" "$dir/curl.cfg"
    echo "$label, replies 10 ms late" >&2
    for s in ours4 ours8 ours1 lftp4 lftp8 curl; do side_forget "$s"; done
    for _ in $(seq "$runs"); do
        ours ours4 "$dir" "$address" "$late_user" 4 "$count" "$size"
        lftp_run lftp4 "$port" 4 "$dir/lftp" "$count" "$size"
        ours ours8 "$dir" "$address" "$late_user" 8 "$count" "$size"
        lftp_run lftp8 "$port" 8 "$dir/lftp" "$count" "$size"
        ours ours1 "$dir" "$address" "$late_user" 1 "$count" "$size"
        curl_run curl "$base" "$dir/curl.cfg" "$dir/curl" "$count" "$size" "$late_user"
    done
    stop_server
    local what="$label, replies 10 ms late"
    row_line "$what: quorvane search, 4 connections, vs lftp mirror -P 4 (processes)" \
        "$(side_time ours4)" "$(side_time lftp4)" ms "ratio<=1.00"
    row_line "$what: quorvane search --connections 8 vs lftp mirror -P 8 (processes)" \
        "$(side_time ours8)" "$(side_time lftp8)" ms "ratio<=1.00"
    row_line "$what: quorvane search, 4 connections, vs curl, 1 connection (processes)" \
        "$(side_time ours4)" "$(side_time curl)" ms "ratio<=0.20"
    row_line "$what: quorvane search --connections 1 vs curl, 1 connection (processes)" \
        "$(side_time ours1)" "$(side_time curl)" ms none
    rm -rf "$dir"
}
late_user=qvbench

small=${QV_BENCH_COUNT:-1000}
[ "${QV_TRANSFER_BENCH_QUICK:-0}" = 1 ] && small=20
protocols=" ${QV_TRANSFER_PROTOCOLS:-ftp ftpes sftp late} "
if [[ $protocols == *" ftp "* ]]; then
    if [ "${QV_TRANSFER_BENCH_QUICK:-0}" = 1 ]; then
        scenario "20 x 4 KB" small "$small" 4096 ftp none
        scenario "2 x 1 MB" large 2 $((1024 * 1024)) ftp none
    else
        scenario "$small x 4 KB" small "$small" 4096 ftp none
        [ "${QV_BENCH_LARGE:-1}" = 0 ] || scenario "10 x 20 MB" large 10 $((20 * 1024 * 1024)) ftp none
    fi
fi
[[ $protocols != *" ftpes "* ]] || scenario "$small x 4 KB" small-ftpes "$small" 4096 ftpes "ratio<=0.20"
[[ $protocols != *" sftp "* ]] || scenario "$small x 4 KB" small-sftp "$small" 4096 sftp "ratio<=0.50"
if [[ $protocols == *" late "* ]]; then
    late=${QV_LATE_COUNT:-200}
    [ "${QV_TRANSFER_BENCH_QUICK:-0}" = 1 ] && late=20
    late_scenario "$late x 4 KB over ftp://" "$late" 4096
fi
