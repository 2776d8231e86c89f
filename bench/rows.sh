# shellcheck shell=bash disable=SC2034,SC2154 # sets the figures its callers read; $work is theirs
# Sourced by the benchmark scripts: timing a whole process, checking what it left, and printing
# one row of bench/run.sh's table. The caller sets $work (a temporary folder) first.
#
# A row is one line, fields separated by tabs:
#   ROW <label> <ours> <peer> <unit> <goal>
# ours and peer are numbers; "-" for a row without a peer; "void: <why>" when that side failed
# (its time does not count, and the row gives no ratio). goal is "none", "ratio<=X" or "ratio<X"
# (ours / peer), "value<=X" (ours, in the row's unit), or several of them joined by ";".

row_line() { # row_line <label> <ours> <peer> <unit> <goal>
    printf 'ROW\t%s\t%s\t%s\t%s\t%s\n' "$@"
}

# timed <command...>: runs it with its output in $work/timed.out and $work/timed.err; sets
# t_ms (wall time, milliseconds), t_status (its exit status) and t_kb (its peak resident kB).
timed() {
    local t0 t1
    t0=$(date +%s%N)
    /usr/bin/time -f %M -o "$work/timed.mem" "$@" >"$work/timed.out" 2>"$work/timed.err" &&
        t_status=0 || t_status=$?
    t1=$(date +%s%N)
    t_ms=$(((t1 - t0) / 1000000))
    # The last line: GNU time's note of a status or a signal comes first.
    t_kb=$(tail -n 1 "$work/timed.mem" 2>/dev/null)
    [[ $t_kb =~ ^[0-9]+$ ]] || t_kb=0
}

# check_files <folder> <count> <bytes each | =total bytes>: whether the folder holds exactly that
# many files, each of that size (or all of them together that many bytes); prints what is wrong
# otherwise.
check_files() {
    local n bad total
    n=$(find "$1" -maxdepth 1 -type f 2>/dev/null | wc -l)
    [ "$n" = "$2" ] || { echo "$n files of $2 arrived"; return 1; }
    if [[ $3 == =* ]]; then
        total=$(find "$1" -maxdepth 1 -type f -printf '%s\n' | awk '{ t += $1 } END { print t + 0 }')
        [ "$total" = "${3#=}" ] || { echo "$total bytes of ${3#=} arrived"; return 1; }
        return 0
    fi
    bad=$(find "$1" -maxdepth 1 -type f ! -size "$3"c | wc -l)
    [ "$bad" = 0 ] || { echo "$bad of the files are not $3 bytes"; return 1; }
}

# The best of several runs of each side, by name: side_take <side> <ms> <kB> after each good
# run, side_fail <side> <why> after a failed one (any failure voids the side); side_time <side>
# prints the fastest time or "void: <why>", side_kb <side> the peak of the fastest run.
declare -A side_ms=() side_kb_=() side_why=()
side_take() {
    if [ -z "${side_ms[$1]:-}" ] || [ "$2" -lt "${side_ms[$1]}" ]; then
        side_ms[$1]=$2
        side_kb_[$1]=$3
    fi
}
side_fail() { [ -n "${side_why[$1]:-}" ] || side_why[$1]=$2; }
side_time() {
    if [ -n "${side_why[$1]:-}" ]; then
        echo "void: ${side_why[$1]}"
    elif [ -n "${side_ms[$1]:-}" ]; then
        echo "${side_ms[$1]}"
    else
        echo "void: not run"
    fi
}
side_kb() {
    if [ -n "${side_why[$1]:-}" ]; then echo "void: ${side_why[$1]}"; else echo "${side_kb_[$1]:-0}"; fi
}
side_forget() { unset "side_ms[$1]" "side_kb_[$1]" "side_why[$1]"; }

# The first lines of a failed command's error output, on one line, for a row's message.
said() { head -c 300 "$work/timed.err" | tr '\n\t' '  '; }

# to_mib <kB or "void: ...">: the figure in MiB (one decimal), a void passed on as it is.
to_mib() {
    if [[ $1 =~ ^[0-9]+$ ]]; then awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; else echo "$1"; fi
}

# minus <a> <b>: a - b for two numbers; a void of either passed on.
minus() {
    if [[ $1 =~ ^[0-9]+$ ]] && [[ $2 =~ ^[0-9]+$ ]]; then echo $(($1 - $2)); elif [[ $1 =~ ^[0-9]+$ ]]; then echo "$2"; else echo "$1"; fi
}
