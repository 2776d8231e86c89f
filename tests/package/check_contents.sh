#!/usr/bin/env bash
# Makes the Debian package from the build folder and checks its file name, its files, its
# control fields, and what Debian's validators say of it.
#   check_contents.sh <source folder> <build folder>
set -euo pipefail
source_dir=$1
build=$2
work="$build/tests/package/contents"
. "$source_dir/tests/package/make_package.sh"
make_package "$build" "$work"

failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

version=$(sed -n 's/^project(Quorvane VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
arch=$(dpkg --print-architecture)
[ "$(basename "$package")" = "quorvane_${version}_${arch}.deb" ] ||
    fail "package file name $(basename "$package"), expected quorvane_${version}_${arch}.deb"

# Every file the installed program needs, and the links that put it on the PATH.
listing=$(dpkg-deb -c "$package" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }')
for path in ./usr/lib/quorvane/quorvane ./usr/lib/quorvane/tamsel-gallery \
    ./usr/lib/quorvane/Download.avi ./usr/lib/quorvane/AccessDatabase.avi \
    "./usr/bin/quorvane -> ../lib/quorvane/quorvane" \
    "./usr/bin/tamsel-gallery -> ../lib/quorvane/tamsel-gallery" \
    ./usr/share/applications/quorvane.desktop \
    ./usr/share/icons/hicolor/128x128/apps/quorvane.png \
    ./usr/share/metainfo/org.quorvane.quorvane.metainfo.xml \
    ./usr/share/man/man1/quorvane.1.gz ./usr/share/man/man1/tamsel-gallery.1.gz \
    ./usr/share/doc/quorvane/copyright ./usr/share/doc/quorvane/changelog.gz; do
    grep -qxF -- "$path" <<<"$listing" || fail "the package lacks $path"
done
# Nothing of the build or the tests comes along.
if grep -E '/(tst_|bench_|fuzz_)|\.(a|o|h)$' <<<"$listing"; then
    fail "the package carries build or test files (above)"
fi
# Files and folders owned by root; the two programs 0755, folders 0755, other files 0644.
if dpkg-deb -c "$package" | awk '$2 != "root/root"' | grep .; then
    fail "files not owned by root (above)"
fi
if dpkg-deb -c "$package" | awk '{
        path = $6
        if ($1 ~ /^d/) want = "drwxr-xr-x"
        else if ($1 ~ /^l/) want = "lrwxrwxrwx"
        else if (path ~ /^\.\/usr\/lib\/quorvane\/(quorvane|tamsel-gallery)$/) want = "-rwxr-xr-x"
        else want = "-rw-r--r--"
        if ($1 != want) print $1 " " path " (expected " want ")"
    }' | grep .; then
    fail "files with the wrong modes (above)"
fi

field() { dpkg-deb -f "$package" "$1"; }
[ "$(field Package)" = quorvane ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), expected $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer field"
[ -n "$(field Description)" ] || fail "no Description field"
depends=$(field Depends)
# From dpkg-shlibdeps: the libraries the program links, each with its version floor.
for library in libqt6widgets6 libqt6gui6 libqt6core6 libcurl4 libzip4 libxlsxwriter libpugixml1v5 libsecret-1-0 libc6 libstdc++6; do
    grep -qE "(^|, )${library//+/\\+}[a-z0-9]* \\(>= [^)]+\\)" <<<"$depends" ||
        fail "Depends lacks $library with a version: $depends"
done
# Reached at run time without being linked.
for need in xdg-utils ca-certificates; do
    grep -qE "(^|, )$need(,|$| )" <<<"$depends" || fail "Depends lacks $need: $depends"
done
grep -q libreoffice-writer <<<"$(field Recommends)" || fail "Recommends lacks libreoffice-writer"
grep -q gnome-keyring <<<"$(field Recommends)" || fail "Recommends lacks gnome-keyring"

bash "$source_dir/tests/package/validate.sh" "$work" "$package" || fail "a validator found errors"
rm -rf "$work"
((failed == 0)) && echo "package $(basename "$package") checked"
exit $failed
