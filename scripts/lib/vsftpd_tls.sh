# Sourced by the scripts that run vsftpd with TLS (the demo server, the transfer benchmark).

# vsftpd_tls_lines <certificate> <key>: the configuration lines that make vsftpd demand TLS for
# the login and the data, with data connections reusing the control connection's TLS session
# (vsftpd's default, kept on as servers keep it).
vsftpd_tls_lines() {
    cat <<CONF
ssl_enable=YES
rsa_cert_file=$1
rsa_private_key_file=$2
force_local_logins_ssl=YES
force_local_data_ssl=YES
allow_anon_ssl=YES
force_anon_logins_ssl=YES
force_anon_data_ssl=YES
require_ssl_reuse=YES
ssl_tlsv1=YES
ssl_sslv2=NO
ssl_sslv3=NO
CONF
}
