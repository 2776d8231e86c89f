"""Certificates for the TLS tests, made fresh by each test run.

Usage: makecerts.py DIR

Writes into DIR, each as <name>.pem (certificate) and <name>.key (private key):
  ca          a test certificate authority
  signed      issued by ca for 127.0.0.1 and localhost
  wrongname   issued by ca for other.example only
  expired     issued by ca for 127.0.0.1, valid until yesterday
  selfsigned  self-signed, for 127.0.0.1 and localhost
  selfsigned2 another self-signed one with another key, for the same names
"""

import datetime
import ipaddress
import os
import sys
import warnings

warnings.simplefilter("ignore")

from cryptography import x509  # noqa: E402
from cryptography.hazmat.primitives import hashes, serialization  # noqa: E402
from cryptography.hazmat.primitives.asymmetric import ec  # noqa: E402
from cryptography.x509.oid import NameOID  # noqa: E402


def name(common):
    return x509.Name([x509.NameAttribute(NameOID.ORGANIZATION_NAME, "Quorvane tests"),
                      x509.NameAttribute(NameOID.COMMON_NAME, common)])


def write(folder, stem, cert, key):
    with open(os.path.join(folder, stem + ".pem"), "wb") as f:
        f.write(cert.public_bytes(serialization.Encoding.PEM))
    with open(os.path.join(folder, stem + ".key"), "wb") as f:
        f.write(key.private_bytes(serialization.Encoding.PEM,
                                  serialization.PrivateFormat.TraditionalOpenSSL,
                                  serialization.NoEncryption()))
    os.chmod(os.path.join(folder, stem + ".key"), 0o600)


def make(subject, issuer, issuer_key, key, names, start, end, ca=False):
    sans = [x509.IPAddress(ipaddress.ip_address(n)) if n[0].isdigit() else x509.DNSName(n)
            for n in names]
    builder = (x509.CertificateBuilder().subject_name(subject).issuer_name(issuer)
               .public_key(key.public_key()).serial_number(x509.random_serial_number())
               .not_valid_before(start).not_valid_after(end)
               .add_extension(x509.BasicConstraints(ca=ca, path_length=None), critical=True))
    if sans:
        builder = builder.add_extension(x509.SubjectAlternativeName(sans), critical=False)
    return builder.sign(issuer_key, hashes.SHA256())


def main():
    folder = sys.argv[1]
    now = datetime.datetime.now(datetime.timezone.utc)
    day = datetime.timedelta(days=1)
    here = ["127.0.0.1", "localhost"]

    ca_key = ec.generate_private_key(ec.SECP256R1())
    ca_name = name("Quorvane test CA")
    ca = make(ca_name, ca_name, ca_key, ca_key, [], now - day, now + 30 * day, ca=True)
    write(folder, "ca", ca, ca_key)

    issued = {"signed": (here, now - day, now + 30 * day),
              "wrongname": (["other.example"], now - day, now + 30 * day),
              "expired": (here, now - 30 * day, now - day)}
    for stem, (names, start, end) in issued.items():
        key = ec.generate_private_key(ec.SECP256R1())
        write(folder, stem, make(name("Quorvane " + stem), ca_name, ca_key, key, names, start, end),
              key)

    for stem in ("selfsigned", "selfsigned2"):
        key = ec.generate_private_key(ec.SECP256R1())
        subject = name("Quorvane " + stem)
        write(folder, stem, make(subject, subject, key, key, here, now - day, now + 30 * day),
              key)
    return 0


if __name__ == "__main__":
    sys.exit(main())
