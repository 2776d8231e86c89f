"""SFTP server for the tests: asyncssh on 127.0.0.1 with one user, password logins only.

Usage: sftpserver.py --root DIR --user NAME --password WORD --host-key FILE --config FILE
                     --events FILE [--processes N]

The server serves DIR as its root ("/"), listens on a free port and prints "LISTENING <port>"
once it accepts connections. The host key is read from FILE (OpenSSH private key format) and
made there first when the file does not exist. The config file (JSON) is read again for every
request, so a test can change how the server behaves while it runs. Keys, all optional:
  drop_read    {file name: byte count}: a download gets that many bytes, then the connection drops
  stall_read   file names whose download gets no data at all (the reads never answer)
  refuse_read  file names whose download is refused (permission denied)
  short_read   {file name: byte count}: a download gets that many bytes, then the end of the file
  refuse_remove  file names whose delete is refused ("*" refuses every delete)
  max_sessions   connections served at once; a further one is closed at once (0: no limit)
Every connection, password attempt and request is appended to the events file, one line each:
"CONNECT", "PASSWORD <user> <ok|wrong>", "LOGIN <user>", "READDIR <path>", "OPEN <path>",
"REMOVE <path>", "DISCONNECT"; a connection closed for the limit is "REFUSED" (and no more).

With --processes N (for the benchmarks) N processes accept connections on the one port, as a
server that gives every session a process of its own serves several sessions at once; the
session limit then counts per process. Stopping the first process stops them all.
"""

import argparse
import asyncio
import os
import signal
import socket
import sys
import warnings

warnings.simplefilter("ignore")  # asyncssh names deprecated ciphers when it loads

import asyncssh  # noqa: E402

from serverlog import event_writer, settings_reader  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    for name in ("--root", "--user", "--password", "--host-key", "--config", "--events"):
        parser.add_argument(name, required=True)
    parser.add_argument("--processes", type=int, default=1)
    args = parser.parse_args()
    root = os.path.realpath(args.root)

    config = settings_reader(args.config)
    event = event_writer(args.events)

    def shown(path):
        text = path.decode("utf-8", "replace") if isinstance(path, bytes) else path
        return "/" + text.lstrip("/")

    open_sessions = [0]

    class Server(asyncssh.SSHServer):
        def connection_made(self, conn):
            self.conn = conn
            self.counted = False
            limit = int(config().get("max_sessions", 0))
            if limit and open_sessions[0] >= limit:
                event("REFUSED")
                conn.abort()
                return
            self.counted = True
            open_sessions[0] += 1
            event("CONNECT")

        def connection_lost(self, exc):
            if not self.counted:
                return
            open_sessions[0] -= 1
            event("DISCONNECT")

        def begin_auth(self, username):
            return True

        def password_auth_supported(self):
            return True

        def validate_password(self, username, password):
            ok = username == args.user and password == args.password
            event("PASSWORD %s %s" % (username, "ok" if ok else "wrong"))
            if ok:
                event("LOGIN " + username)
            return ok

    class Files(asyncssh.SFTPServer):
        def __init__(self, chan):
            super().__init__(chan, chroot=root.encode())
            self.chan = chan

        def listdir(self, path):
            event("READDIR " + shown(path))
            return super().listdir(path)

        def open(self, path, pflags, attrs):
            event("OPEN " + shown(path))
            name = os.path.basename(path.decode("utf-8", "replace"))
            if name in config().get("refuse_read", []):
                raise asyncssh.SFTPPermissionDenied("Permission denied")
            handle = super().open(path, pflags, attrs)
            drop = config().get("drop_read", {})
            if name in drop:
                return _DroppingFile(handle, int(drop[name]), self.chan)
            short = config().get("short_read", {})
            if name in short:
                return _DroppingFile(handle, int(short[name]), None)
            if name in config().get("stall_read", []):
                return _DroppingFile(handle, None, self.chan)
            return handle

        def read(self, file_obj, offset, size):
            if isinstance(file_obj, _DroppingFile):
                return file_obj.read(offset, size)
            return super().read(file_obj, offset, size)

        def close(self, file_obj):
            if isinstance(file_obj, _DroppingFile):
                file_obj = file_obj.handle
            return super().close(file_obj)

        def remove(self, path):
            event("REMOVE " + shown(path))
            refused = config().get("refuse_remove", [])
            name = os.path.basename(path.decode("utf-8", "replace"))
            if "*" in refused or name in refused:
                raise asyncssh.SFTPPermissionDenied("Permission denied")
            return super().remove(path)

    if not os.path.exists(args.host_key):
        key = asyncssh.generate_private_key("ssh-ed25519")
        key.write_private_key(args.host_key)
        key.write_public_key(args.host_key + ".pub")

    port = _shared_port() if args.processes > 1 else 0
    children = _start_children(args.processes - 1)

    async def serve():
        server = await asyncssh.create_server(
            Server, "127.0.0.1", port, server_host_keys=[args.host_key],
            sftp_factory=Files, allow_scp=False, login_timeout=30,
            reuse_port=args.processes > 1)
        if children is not None:
            for _ in range(len(children)):
                os.read(children_ready[0], 1)
            print("LISTENING %d" % server.sockets[0].getsockname()[1], flush=True)
        else:
            os.write(children_ready[1], b"r")
            asyncio.get_running_loop().create_task(_end_with_parent())
        await server.wait_closed()

    try:
        asyncio.run(serve())
    except KeyboardInterrupt:
        pass
    return 0


# The port every process listens on: reserved here, so that the processes started next share it.
_reserved = None
children_ready = os.pipe()


def _shared_port():
    global _reserved
    _reserved = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    _reserved.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEPORT, 1)
    _reserved.bind(("127.0.0.1", 0))
    return _reserved.getsockname()[1]


def _start_children(count):
    """The further processes; None in a child. The first process stops them when it stops."""
    children = []
    for _ in range(count):
        pid = os.fork()
        if pid == 0:
            return None
        children.append(pid)
    if not children:
        return children

    def stop(signum, frame):
        for child in children:
            os.kill(child, signal.SIGTERM)
        os._exit(0)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    return children


async def _end_with_parent():
    parent = os.getppid()
    while os.getppid() == parent:
        await asyncio.sleep(0.5)
    os._exit(0)


class _DroppingFile:
    """A file that hands out its first bytes, then closes the whole connection (without a
    channel: then answers as if the file ended there); without a limit, a file whose reads never
    answer."""

    def __init__(self, handle, limit, chan):
        self.handle = handle
        self.limit = limit
        self.chan = chan

    def read(self, offset, size):
        if self.limit is None:
            return asyncio.sleep(3600)
        if offset >= self.limit:
            if self.chan is not None:
                self.chan.get_connection().abort()
            return b""
        self.handle.seek(offset)
        return self.handle.read(min(size, self.limit - offset))


if __name__ == "__main__":
    sys.exit(main())
