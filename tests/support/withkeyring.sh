#!/usr/bin/env bash
# Runs a test program inside a private D-Bus session of its own, with GNOME Keyring's Secret
# Service running and its "login" keyring made and unlocked with a known password
# ($QV_TEST_KEYRING_PASSWORD). The keyring's files live in a temporary home that goes at the end.
# Without gnome-keyring or dbus the test is skipped (status 77), except under CI, where that fails.
#   withkeyring.sh PROGRAM [ARGUMENTS...]
set -euo pipefail

missing=()
for tool in gnome-keyring-daemon dbus-run-session gdbus; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if ((${#missing[@]})); then
    if [ "${CI:-}" = true ]; then
        echo "The keyring tests need ${missing[*]} (packages gnome-keyring, dbus)." >&2
        exit 1
    fi
    echo "SKIP: ${missing[*]} not installed (packages gnome-keyring, dbus); keyring tests skipped."
    exit 77
fi

if [ "${1:-}" != --inside ]; then
    # The bus and the services it starts see this home, so nothing touches the operator's own.
    home=$(mktemp -d "${TMPDIR:-/tmp}/qv-keyring-XXXXXX")
    trap 'rm -rf "$home"' EXIT
    mkdir -m 700 "$home/run"
    export HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_CONFIG_HOME="$home/.config" \
        XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/run"
    export QV_TEST_KEYRING_PASSWORD=keyring-test-password
    # Nobody can answer an unlock prompt here.
    unset DISPLAY WAYLAND_DISPLAY GNOME_KEYRING_CONTROL SSH_AUTH_SOCK
    status=0
    dbus-run-session -- bash "$0" --inside "$@" || status=$?
    exit "$status"
fi
shift

printf %s "$QV_TEST_KEYRING_PASSWORD" |
    gnome-keyring-daemon --foreground --unlock --components=secrets >/dev/null &
daemon=$!
stop() { kill "$daemon" 2>/dev/null || true; wait "$daemon" 2>/dev/null || true; }
trap stop EXIT
if ! gdbus wait --session --timeout 20 org.freedesktop.secrets; then
    echo "GNOME Keyring's Secret Service did not start." >&2
    exit 1
fi
status=0
"$@" || status=$?
exit "$status"
