#!/usr/bin/env bash
# Installs what building and testing Quorvane needs, from Debian's packages, when it is missing.
# Google Benchmark is installed too when the package source has it; the build goes on without it
# (the in-process benchmarks are then left out).
set -euo pipefail

packages=(
    cmake g++ ninja-build pkg-config ccache
    qt6-base-dev qt6-base-dev-tools
    libcurl4-openssl-dev libssl-dev libzip-dev zipcmp zipmerge ziptool libpugixml-dev
    libxlsxwriter-dev
    python3-pyftpdlib python3-openpyxl python3-docx
    vsftpd python3-asyncssh python3-cryptography openssh-client lftp
    xvfb xauth xdotool
    # The server password in the desktop keyring: libsecret to build with; GNOME Keyring, a
    # private D-Bus session, secret-tool and gdbus for its tests.
    libsecret-1-dev gnome-keyring dbus libsecret-tools libglib2.0-bin
    clang libclang-rt-14-dev
    # The layout check of the test command (scripts/format.sh --check).
    clang-format
    # LibreOffice judges the documents and workbooks in tst_output_libreoffice. Base reads the
    # new document's embedded database; no Java runtime is needed for its flat-file connection.
    libreoffice-writer-nogui libreoffice-calc-nogui libreoffice-base python3-uno
    # Letters: libqpdf cuts the laid-out PDF into letters, libcups prints them; the tests read
    # the PDFs with poppler's pdftotext and print to a CUPS server of their own (cups-pdf).
    libqpdf-dev libcups2-dev poppler-utils cups printer-driver-cups-pdf
    # The Debian package: CPack's dependency scan (dpkg-shlibdeps, file), the validators, and
    # debootstrap for the clean-install check.
    dpkg-dev file desktop-file-utils appstream lintian debootstrap
)
optional=(libbenchmark-dev)

# The desktop forms (scripts/run.sh installs them for the demo) serve the tests as well.
declare -A alternative=([libreoffice-writer-nogui]=libreoffice-writer
    [libreoffice-calc-nogui]=libreoffice-calc)
installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}
missing_of() {
    for p in "$@"; do
        installed "$p" || { [ -n "${alternative[$p]:-}" ] && installed "${alternative[$p]}"; } ||
            echo "$p"
    done
}
mapfile -t missing < <(missing_of "${packages[@]}")
mapfile -t missing_optional < <(missing_of "${optional[@]}")

if ((${#missing[@]} + ${#missing_optional[@]})); then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
    fi
    for p in "${missing_optional[@]}"; do
        echo "Installing (optional): $p"
        "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "$p" ||
            echo "Could not install $p; building without it" >&2
    done
fi
