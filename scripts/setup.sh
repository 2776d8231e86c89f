#!/usr/bin/env bash
# Installs what building and testing Quorvane needs, from Debian's packages, when it is missing.
set -euo pipefail

packages=(
    cmake g++ ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools
    libcurl4-openssl-dev libssl-dev libzip-dev zipcmp zipmerge ziptool libpugixml-dev
    libxlsxwriter-dev
    python3-pyftpdlib python3-openpyxl python3-docx
    vsftpd python3-asyncssh python3-cryptography openssh-client
    xvfb xauth xdotool
    libbenchmark-dev clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
