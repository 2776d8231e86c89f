#!/usr/bin/python3
"""The demo FTP server: serves <root> on 127.0.0.1:<port> to one user.

usage: demo_server.py <root> <port> <user> <password>
"""
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    root, port, user, password = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
    logging.basicConfig(level=logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmw")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.banner = "Quorvane demo server ready."
    server = FTPServer(("127.0.0.1", port), handler)
    print(f"demo FTP server on 127.0.0.1:{port}, user {user}", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
