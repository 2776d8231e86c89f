"""An FTP server whose every reply comes late, as a server far away does: pyftpdlib's threaded
server (one thread a connection) on 127.0.0.1, waiting a fixed time before each reply. For the
benchmarks only.

Usage: lateftpserver.py --root DIR --user NAME --password WORD [--delay-ms 10]

Listens on a free port of 127.0.0.1 and prints "LISTENING <port>" once it accepts connections.
"""

import argparse
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import ThreadedFTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--delay-ms", type=float, default=10.0)
    args = parser.parse_args()
    delay = args.delay_ms / 1000.0

    class LateHandler(FTPHandler):
        def respond(self, resp, logfun=None):
            time.sleep(delay)  # only this connection's thread waits
            if logfun is None:
                return super().respond(resp)
            return super().respond(resp, logfun)

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elr")
    LateHandler.authorizer = authorizer
    LateHandler.banner = "Quorvane benchmark server, replies late."
    server = ThreadedFTPServer(("127.0.0.1", 0), LateHandler)
    server.max_cons = 256
    print("LISTENING %d" % server.socket.getsockname()[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.close_all()
    return 0


if __name__ == "__main__":
    sys.exit(main())
