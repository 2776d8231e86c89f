#!/usr/bin/env bash
# Checks a built package with Debian's validators: the desktop entry and the AppStream metainfo
# as the package ships them, and the whole package with lintian. Each validator prints what it
# finds; an error fails the check, a warning is shown and passes.
#   validate.sh <work folder> <package.deb>
set -euo pipefail
work=$1
package=$2
tree="$work/validate-tree"
rm -rf "$tree"
dpkg-deb -x "$package" "$tree"
failed=0

if command -v desktop-file-validate >/dev/null; then
    echo "desktop-file-validate:"
    desktop-file-validate "$tree/usr/share/applications/quorvane.desktop" || failed=1
else
    echo "desktop-file-validate is not installed (desktop-file-utils): not checked"
fi

if command -v appstreamcli >/dev/null; then
    echo "appstreamcli validate:"
    appstreamcli validate --no-net --explain "$tree"/usr/share/metainfo/*.metainfo.xml || failed=1
else
    echo "appstreamcli is not installed (appstream): not checked"
fi

if command -v lintian >/dev/null; then
    echo "lintian:"
    # Root may run it here: it only reads the package.
    lintian --allow-root --fail-on error --info "$package" || failed=1
else
    echo "lintian is not installed: not checked"
fi
rm -rf "$tree"
exit $failed
