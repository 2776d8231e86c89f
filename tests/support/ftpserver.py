"""FTP server for the tests: pyftpdlib on 127.0.0.1 with one user and a few ways to misbehave.

Usage: ftpserver.py --root DIR --user NAME --password WORD --config FILE --events FILE

The server listens on a free port and prints "LISTENING <port>" once it accepts connections.
The config file (JSON) is read again for every command, so a test can change how the server
behaves while it runs. Keys, all optional:
  refuse_login       true: every login is refused with 530
  auth_failed_delay  seconds before a refused login is answered (pyftpdlib's default is 3)
  refuse_retr        file names whose download is refused with 550
  refuse_dele        file names whose delete is refused with 550 ("*" refuses every delete)
  drop_retr          {file name: byte count}: send that many bytes, then drop the connection
  stall_retr         file names whose download announces itself (150) and then sends nothing
  stall_list         true: a name listing announces itself (150) and then sends nothing
  extra_names        names added to every name listing (whether or not such files exist)
  name_series        {"prefix": P, "count": N, "suffix": S}: N names P00000S, P00001S, ...
                     added to every name listing (no such files exist)
  drop_list          byte count: a name listing sends that many bytes, then the connection drops
  vanish_after_list  file names removed from the folder right after a listing has been made
  drop_retr_once     {file name: byte count}: as drop_retr, for the first download of the file
                     only; later ones get the whole file
  max_cons_per_ip    connections taken at once from one address; a further one is refused with
                     421 (0: no limit)
  short_retr         {file name: byte count}: the opening reply announces the whole file's size
                     ("150 ... (N bytes)."), then that many bytes are sent and the transfer ends
                     as complete (226)
  refuse_list        true: every name listing is refused with 550
Every connection, login and command is appended to the events file, one line each; a connection
refused for the limit is "REFUSED".
"""

import argparse
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer, AuthenticationFailed
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

from serverlog import event_writer, settings_reader


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--config", required=True)
    parser.add_argument("--events", required=True)
    args = parser.parse_args()

    config = settings_reader(args.config)
    event = event_writer(args.events)

    class Authorizer(DummyAuthorizer):
        def validate_authentication(self, username, password, handler):
            if config().get("refuse_login"):
                raise AuthenticationFailed("Login incorrect.")
            super().validate_authentication(username, password, handler)

    class Handler(FTPHandler):
        def on_connect(self):
            event("CONNECT")

        def on_disconnect(self):
            event("DISCONNECT")

        def on_login(self, username):
            event("LOGIN " + username)

        def on_login_failed(self, username, password):
            event("LOGIN-FAILED " + username)

        def handle_max_cons_per_ip(self):
            event("REFUSED")
            return super().handle_max_cons_per_ip()

        def ftp_USER(self, line):
            type(self).auth_failed_timeout = float(config().get("auth_failed_delay", 3))
            return super().ftp_USER(line)

        def ftp_NLST(self, path):
            event("NLST " + self.fs.fs2ftp(path))
            cfg = config()
            if cfg.get("refuse_list"):
                self.respond("550 Permission denied.")
                return None
            if cfg.get("stall_list"):
                self.respond("150 File status okay. About to open data connection.")
                return None
            extra = list(cfg.get("extra_names", []))
            series = cfg.get("name_series")
            if series:
                extra += ["%s%05d%s" % (series.get("prefix", ""), i, series.get("suffix", ""))
                          for i in range(int(series.get("count", 0)))]
            drop = cfg.get("drop_list")
            if not extra and drop is None:
                result = super().ftp_NLST(path)
                self._vanish(cfg, path)
                return result
            try:
                listing = sorted(self.run_as_current_user(self.fs.listdir, path))
            except OSError as err:
                self.respond("550 %s." % err.strerror)
                return None
            data = "".join(name + "\r\n" for name in listing + extra)
            data = data.encode("utf8", "surrogateescape")
            if drop is not None:
                self.push_dtp_data(_DroppingProducer(data[:int(drop)], self), isproducer=True,
                                   cmd="NLST")
                return None
            self.push_dtp_data(data, cmd="NLST")
            self._vanish(cfg, path)
            return path

        def _vanish(self, cfg, path):
            for name in cfg.get("vanish_after_list", []):
                try:
                    os.remove(os.path.join(path, name))
                    event("VANISHED " + name)
                except OSError:
                    pass

        def ftp_RETR(self, file):
            name = os.path.basename(file)
            event("RETR " + self.fs.fs2ftp(file))
            cfg = config()
            if name in cfg.get("refuse_retr", []):
                self.respond("550 Permission denied.")
                return None
            if name in cfg.get("stall_retr", []):
                self.respond("150 File status okay. About to open data connection.")
                return None
            drop = dict(cfg.get("drop_retr", {}))
            once = cfg.get("drop_retr_once", {})
            if name in once and name not in dropped_once:
                dropped_once.add(name)
                drop[name] = once[name]
            if name in drop:
                with open(file, "rb") as f:
                    head = f.read(int(drop[name]))
                self.push_dtp_data(_DroppingProducer(head, self), isproducer=True, cmd="RETR")
                return None
            short = cfg.get("short_retr", {})
            if name in short:
                with open(file, "rb") as f:
                    head = f.read(int(short[name]))
                self.announced_size = os.path.getsize(file)
                self.push_dtp_data(head, cmd="RETR")
                return None
            return super().ftp_RETR(file)

        def respond(self, resp, *args, **kwargs):
            size = getattr(self, "announced_size", None)
            if size is not None and resp[:3] in ("150", "125"):
                self.announced_size = None
                resp = "%s Opening BINARY mode data connection (%d bytes)." % (resp[:3], size)
            return super().respond(resp, *args, **kwargs)

        def ftp_DELE(self, path):
            event("DELE " + self.fs.fs2ftp(path))
            refused = config().get("refuse_dele", [])
            if "*" in refused or os.path.basename(path) in refused:
                self.respond("550 Permission denied.")
                return None
            return super().ftp_DELE(path)

    authorizer = Authorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmw")
    Handler.authorizer = authorizer
    Handler.banner = "Quorvane test server ready."

    class Server(FTPServer):
        def handle_accepted(self, sock, addr):
            self.max_cons_per_ip = int(config().get("max_cons_per_ip", 0))
            return super().handle_accepted(sock, addr)

    dropped_once = set()
    server = Server(("127.0.0.1", 0), Handler)
    port = server.socket.getsockname()[1]
    print("LISTENING %d" % port, flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.close_all()
    return 0


class _DroppingProducer:
    """Hands out the first part of a file, then closes the whole session without a reply."""

    def __init__(self, head, handler):
        self.head = head
        self.handler = handler
        self.sent = False

    def more(self):
        if not self.sent and self.head:
            self.sent = True
            return self.head
        event_handler = self.handler
        self.handler = None
        if event_handler is not None:
            event_handler.close()
        return b""


if __name__ == "__main__":
    sys.exit(main())
