#!/usr/bin/env bash
# The demo server with TLS: vsftpd on 127.0.0.1:<port>, explicit TLS required for the login and
# the data (ftpes://), serving <root> to the local user <user> with <password>. The certificate
# is self-signed and made here on the first run, so Quorvane asks once whether to trust it.
# Needs root (to add the user and run vsftpd); runs in the foreground until it is stopped.
#
# usage: demo_tls_server.sh <root> <port> <user> <password> <work folder>
set -euo pipefail
source "$(dirname "$0")/../lib/vsftpd_tls.sh"
root=$1 port=$2 user=$3 password=$4 work=$5
mkdir -p "$work" /var/run/vsftpd/empty "/home/$user"
if [ ! -s "$work/cert.pem" ]; then
    openssl req -x509 -newkey rsa:2048 -nodes -days 365 -subj "/CN=Quorvane demo server" \
        -addext "subjectAltName=IP:127.0.0.1,DNS:localhost" \
        -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
    chmod 600 "$work/key.pem"
fi
id "$user" >/dev/null 2>&1 || useradd -M -d "/home/$user" -s /bin/sh "$user"
echo "$user:$password" | chpasswd
chmod -R a+rwX "$root"
cat >"$work/vsftpd.conf" <<CONF
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$port
background=NO
seccomp_sandbox=NO
anonymous_enable=NO
local_enable=YES
write_enable=YES
chroot_local_user=YES
allow_writeable_chroot=YES
local_root=$root
pasv_enable=YES
pam_service_name=vsftpd
userlist_enable=NO
check_shell=NO
secure_chroot_dir=/var/run/vsftpd/empty
CONF
vsftpd_tls_lines "$work/cert.pem" "$work/key.pem" >>"$work/vsftpd.conf"
echo "demo FTPS server (explicit TLS) on 127.0.0.1:$port, user $user"
exec /usr/sbin/vsftpd "$work/vsftpd.conf"
