#!/usr/bin/env bash
# Installs the Debian package with apt-get into a minimal Debian 12 root made by debootstrap and
# runs the installed program there: every library found, `quorvane --version`, and a search on
# the command line against the tests' FTP server on 127.0.0.1 (the root shares the network).
# Needs root and debootstrap; without them it says why and skips (exit status 77).
# The pristine root is kept in $QV_TEST_CACHE (/var/cache/quorvane-test), the packages apt
# fetched for it too, so a second run needs no download but the index.
#   check_install.sh <source folder> <build folder>
set -euo pipefail
source_dir=$1
build=$2
skip() {
    echo "SKIP: $*"
    exit 77
}
[ "$(id -u)" -eq 0 ] || skip "the install check needs root (debootstrap, chroot, mount)"
command -v debootstrap >/dev/null || skip "debootstrap is not installed"

cache=${QV_TEST_CACHE:-/var/cache/quorvane-test}
work="$build/tests/package/install"
. "$source_dir/tests/package/make_package.sh"
. "$source_dir/tests/package/chroot.sh"
make_package "$build" "$work/package"
mkdir -p "$cache"
pristine_root "$cache" || skip "debootstrap could not make a Debian 12 root (no mirror reachable?)"

root="$work/root"
server=
cleanup() {
    [ -z "$server" ] || kill "$server" 2>/dev/null || true
    leave_root "$root" && rm -rf "$work"
}
leave_root "$root" && rm -rf "$root"
cp -a "$cache/bookworm" "$root"
# dpkg need not sync every file of a root that lives for one run.
echo force-unsafe-io >"$root/etc/dpkg/dpkg.cfg.d/quorvane-test-unsafe-io"
trap cleanup EXIT
enter_root "$root" "$cache/archives"

# The install: apt-get resolves the package's Depends from the mirror.
cp "$package" "$root/tmp/"
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "/tmp/$(basename "$package")" >"$work/apt.log" 2>&1 || {
    cat "$work/apt.log" >&2
    echo "FAIL: apt-get could not install the package" >&2
    exit 1
}
for program in /usr/lib/quorvane/quorvane /usr/lib/quorvane/tamsel-gallery; do
    if in_root ldd "$program" | grep 'not found'; then
        echo "FAIL: $program misses libraries (above)" >&2
        exit 1
    fi
done
echo "installed; every library of the program found"

# The program runs as an operator, who cannot write to the installed folder.
in_root useradd --create-home qvoperator
as_operator() {
    chroot --userspec=qvoperator:qvoperator "$root" env -i HOME=/home/qvoperator \
        PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}

version=$(as_operator quorvane --version)
[ "$version" = "Quorvane 2.0.1" ] || {
    echo "FAIL: quorvane --version printed '$version'" >&2
    exit 1
}

check_search() {
    local ftp="$work/ftp"
    mkdir -p "$ftp/root/u/vantrelle/accounts"
    printf 'Account|Name\n0100001|Aoife Byrne\n' >"$ftp/root/u/vantrelle/accounts/FIRST.LET"
    printf 'Account|Name\n0100002|Sean Walsh\n' >"$ftp/root/u/vantrelle/accounts/SECOND.LET"
    echo '{}' >"$ftp/config.json"
    /usr/bin/python3 -u "$source_dir/tests/support/ftpserver.py" --root "$ftp/root" \
        --user qvuser --password qvsecret --config "$ftp/config.json" --events "$ftp/events" \
        >"$ftp/out" 2>&1 &
    server=$!
    local port=
    for _ in $(seq 100); do
        port=$(sed -n 's/^LISTENING \([0-9]*\)$/\1/p' "$ftp/out")
        [ -n "$port" ] && break
        sleep 0.1
    done
    [ -n "$port" ] || { cat "$ftp/out" >&2; echo "FAIL: the FTP server did not start" >&2; exit 1; }

    printf 'qvsecret\n' >"$root/home/qvoperator/password"
    in_root chown qvoperator:qvoperator /home/qvoperator/password
    chmod 600 "$root/home/qvoperator/password"
    local out
    out=$(as_operator quorvane search --address "127.0.0.1:$port" --login qvuser \
        --password-file /home/qvoperator/password) || {
        echo "FAIL: quorvane search ended with status $?: $out" >&2
        exit 1
    }
    grep -q "2 files found" <<<"$out" || { echo "FAIL: search printed '$out'" >&2; exit 1; }
    local data="$root/home/qvoperator/.local/share/Quorvane/data"
    for name in FIRST.LET SECOND.LET; do
        cmp "$ftp/root/u/vantrelle/accounts/$name" "$data/$name" ||
            { echo "FAIL: $name did not reach $data" >&2; exit 1; }
    done
}
check_search
echo "installed program: --version and a search on the command line work"
