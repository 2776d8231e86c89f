# Sourced by the install check: the cached Debian 12 root, and entering and leaving a copy of it.

# The Debian mirror this machine's apt uses (QV_DEBIAN_MIRROR overrides it): the first source of
# the main archive for bookworm, in either form of the sources files.
debian_mirror() {
    if [ -n "${QV_DEBIAN_MIRROR:-}" ]; then
        echo "$QV_DEBIAN_MIRROR"
        return
    fi
    local files=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
    {
        cat "${files[@]}" 2>/dev/null | awk '$1 == "deb" && $0 ~ / bookworm / && $0 ~ / main/ {
            for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; exit } }'
        cat "${files[@]}" 2>/dev/null | awk 'BEGIN { RS = "" }
            /\nSuites:([^\n]* )?bookworm( |\n|$)/ && /Components:[^\n]*main/ {
                if (match($0, /URIs: *[^ \n]+/)) { split(substr($0, RSTART, RLENGTH), u, / +/); print u[2] } }'
    } | grep -v security | head -1
}

# Makes <cache>/bookworm once (minbase: apt and what it needs) and keeps it; a root half made by
# an interrupted run is made afresh.
pristine_root() {
    local cache=$1
    [ -f "$cache/bookworm/etc/debian_version" ] && return 0
    local mirror
    mirror=$(debian_mirror)
    [ -n "$mirror" ] || mirror=http://deb.debian.org/debian
    echo "making a Debian 12 root from $mirror (once; kept in $cache/bookworm)"
    rm -rf "$cache/bookworm.partial"
    debootstrap --variant=minbase bookworm "$cache/bookworm.partial" "$mirror" \
        >"$cache/debootstrap.log" 2>&1 || {
        tail -20 "$cache/debootstrap.log" >&2
        return 1
    }
    mv "$cache/bookworm.partial" "$cache/bookworm"
}

in_root() {
    chroot "$root" "$@"
}

# Mounts /proc and the shared package cache into the root, and gives it the host's resolver.
enter_root() {
    local dir=$1 archives=$2
    mkdir -p "$archives/partial"
    cp /etc/resolv.conf "$dir/etc/resolv.conf"
    mount -t proc proc "$dir/proc"
    mount --bind "$archives" "$dir/var/cache/apt/archives"
}

# Fails when something stays mounted, so that the caller does not delete through it.
leave_root() {
    local dir=$1 point
    for point in "$dir/var/cache/apt/archives" "$dir/proc"; do
        if mountpoint -q "$point" 2>/dev/null; then
            umount "$point" || umount -l "$point" || true
        fi
        if mountpoint -q "$point" 2>/dev/null; then
            echo "$point is still mounted: $dir is left in place" >&2
            return 1
        fi
    done
}
