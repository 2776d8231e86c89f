#!/usr/bin/env bash
# Installs the dependencies when missing, builds Quorvane, starts the demo FTP server with sample
# merge files on 127.0.0.1, and opens the program pointed at it. The server stops with the program.
# QV_DEMO_TLS=1 runs the demo server with TLS (vsftpd, ftpes://, a self-signed certificate that
# Quorvane asks about once; needs root).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"

# "Create a New Document" makes an .odt for LibreOffice Writer, whose Base component reads the
# merge file attached to it. With no desktop program for .odt documents, install Writer and Base
# (and what opens files from a desktop); QV_SKIP_WORD_PROCESSOR=1 leaves this out.
odt='application/vnd.oasis.opendocument.text'
if [ "${QV_SKIP_WORD_PROCESSOR:-0}" != 1 ] &&
    ! grep -qs "^$odt=" /usr/share/applications/mimeinfo.cache ~/.local/share/applications/mimeinfo.cache &&
    ! grep -qsE "^MimeType=(.*;)?$odt;" /usr/share/applications/*.desktop; then
    echo "Installing LibreOffice Writer and Base for the new documents"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends \
        libreoffice-writer libreoffice-base xdg-utils desktop-file-utils
fi
# Only what runs here: the program and its clips. The test command builds the tests and the
# benchmarks.
QV_BUILD_TARGET=quorvane bash "$root/scripts/build.sh"
build=${QV_BUILD_DIR:-$root/build}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<'MSG'
Quorvane is a desktop program and there is no display here (DISPLAY and WAYLAND_DISPLAY are unset).
Run it from a desktop session, or inside a virtual display:
    xvfb-run -a bash scripts/run.sh
MSG
    exit 1
fi

port=${QV_DEMO_PORT:-2121}
user=root
password=quorvane
ftp_root="$build/demo-ftp"

# Fresh samples every run, so files deleted on the server in an earlier run come back.
rm -rf "$ftp_root"
/usr/bin/python3 "$root/scripts/demo/make_samples.py" "$ftp_root" "$build"

address=127.0.0.1:$port
if [ "${QV_DEMO_TLS:-0}" = 1 ]; then
    user=qvdemo
    address=ftpes://$address
    bash "$root/scripts/demo/demo_tls_server.sh" "$ftp_root" "$port" "$user" "$password" \
        "$build/demo-tls" &
else
    /usr/bin/python3 "$root/scripts/demo/demo_server.py" "$ftp_root" "$port" "$user" "$password" &
fi
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true' EXIT

for _ in $(seq 50); do
    if ! kill -0 "$server" 2>/dev/null; then
        echo "The demo FTP server could not start on 127.0.0.1:$port (set QV_DEMO_PORT to another port)." >&2
        exit 1
    fi
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
done

# Point the program at the demo server unless the operator has settings of his own.
if [ ! -s "$build/auto.ini" ]; then
    printf '[Default]\r\nPassword=%s\r\nLogin=%s\r\nIpaddress=%s\r\n' \
        "$password" "$user" "$address" >"$build/auto.ini"
fi

echo "Demo server: $address, login $user, password $password. Press Search in Quorvane."
"$build/quorvane" "$@"
