#!/usr/bin/env bash
# Builds the Debian package build-package/quorvane_<version>_<arch>.deb: a release build with
# Debian's hardening flags, packed by CPack, then checked by desktop-file-validate,
# appstreamcli and lintian when they are installed (an error of theirs fails the command).
#   bash scripts/package.sh
# QV_PACKAGE_DIR names another build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QV_PACKAGE_DIR:-$root/build-package}
bash "$root/scripts/setup.sh"

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1"; }
QV_BUILD_DIR="$build" QV_BUILD_TYPE=Release QV_BUILD_TARGET="quorvane tamsel-gallery qv_manual_pages" \
    bash "$root/scripts/build.sh" -DQV_BUILD_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)"

rm -f "$build"/quorvane_*.deb
(cd "$build" && cpack -G DEB -B "$build" >/dev/null)
package=$(ls "$build"/quorvane_*.deb)
bash "$root/tests/package/validate.sh" "$build" "$package"
echo "$package"
