#!/usr/bin/python3
"""A scripted FTP server that misbehaves on purpose, for the FTP client's tests.

Python's standard library only. Listens on 127.0.0.1 on a free port, writes the port number
to --port-file once it accepts connections, and serves the folder --root to any login. The
user name chooses how the server misbehaves for that login, as words joined by '+':

  plain          no misbehaviour
  stall-retr     RETR: 150, the first half of the file, then nothing more
  stall-stor     STOR: 150, a little of the data is read, then nothing more is read or said
  stall-list     LIST and MLSD: 150, the first line, then nothing more
  drop-retr      RETR: 150, the first half of the file, then both connections are cut
  abort-retr     RETR: 150, the first half of the file, the data connection is closed and
                 the reply is 426
  no-mlsd        MLSD is not offered, so clients list with LIST
  long-reply     DELE is refused with a reply of 5,000 characters holding control characters
  listing=NAME   LIST and MLSD send the bytes of the file NAME in --root as they are

A stalled connection is held until the client closes it (or for --stall-limit seconds).
Every command line received is appended to --log as Python's repr() of its bytes, and every
upload's end as "STORED name size" (the data connection ended normally) or "ABORTED name
size" (it was reset or the client went away).
"""
import argparse
import os
import select
import socket
import socketserver
import struct
import sys
import threading
import time

ARGS = None
LOG_LOCK = threading.Lock()


def log(text):
    with LOG_LOCK:
        with open(ARGS.log, "a", encoding="utf-8") as f:
            f.write(text + "\n")


def reply(conn, text):
    conn.sendall(text.encode("latin-1") + b"\r\n")


def to_ascii_wire(data):
    """Text as sent in ASCII mode: every line ends in CR LF, whatever it had on disk."""
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def listing_line(name, path, mlsd):
    st = os.stat(path)
    is_dir = os.path.isdir(path)
    stamp = time.gmtime(st.st_mtime)
    if mlsd:
        kind = "dir" if is_dir else "file"
        return "type=%s;size=%d;modify=%s; %s" % (
            kind, st.st_size, time.strftime("%Y%m%d%H%M%S", stamp), name)
    mode = "drwxr-xr-x" if is_dir else "-rw-r--r--"
    when = time.strftime("%b %d %H:%M", stamp)
    return "%s 1 owner group %d %s %s" % (mode, st.st_size, when, name)


class Session(socketserver.BaseRequestHandler):
    """One control connection."""

    def setup(self):
        self.words = set()
        self.listing = None
        self.cwd = "/"
        self.binary = False
        self.passive = None      # listening socket after PASV/EPSV
        self.active = None       # (host, port) after PORT/EPRT
        self.rename_from = None
        self.buffer = b""

    # ---- the control connection

    def read_line(self):
        while b"\n" not in self.buffer:
            chunk = self.request.recv(4096)
            if not chunk:
                return None
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.rstrip(b"\r")

    def handle(self):
        reply(self.request, "220 hostile test server ready")
        while True:
            line = self.read_line()
            if line is None:
                return
            log(repr(line))
            verb, _, arg = line.decode("latin-1").partition(" ")
            handler = getattr(self, "cmd_" + verb.upper(), None)
            if handler is None:
                reply(self.request, "502 Command not implemented.")
                continue
            try:
                if handler(arg) == "quit":
                    return
            except ConnectionError:
                return

    def path(self, arg):
        """The local path of a remote name; None when it would leave the root."""
        remote = arg if arg.startswith("/") else os.path.join(self.cwd, arg)
        remote = os.path.normpath("/" + remote).lstrip("/")
        local = os.path.join(ARGS.root, remote)
        if os.path.commonpath([os.path.abspath(local), ARGS.root]) != ARGS.root:
            return None
        return local

    # ---- data connections

    def open_data(self, small_buffer=False):
        if self.passive is not None:
            listener, self.passive = self.passive, None
            listener.settimeout(10)
            try:
                conn, _ = listener.accept()
            finally:
                listener.close()
            return conn
        if self.active is not None:
            conn = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            if small_buffer:
                conn.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
            conn.settimeout(10)
            conn.connect(self.active)
            self.active = None
            return conn
        return None

    def listen_passive(self, small_buffer):
        listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        if small_buffer:
            listener.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
        listener.bind(("127.0.0.1", 0))
        listener.listen(1)
        if self.passive is not None:
            self.passive.close()
        self.passive = listener
        self.active = None
        return listener.getsockname()[1]

    def stall(self, data_conn):
        """Says and sends nothing until the client closes a connection (or the limit).

        When the client gives up on the data connection, the reply is 426, as servers say
        when a transfer is cut; when it closes the control connection, there is no reply.
        """
        deadline = time.monotonic() + ARGS.stall_limit
        watched = [self.request, data_conn]
        while time.monotonic() < deadline:
            ready, _, _ = select.select(watched, [], [], 1)
            for s in ready:
                try:
                    gone = not s.recv(65536, socket.MSG_PEEK)
                except OSError:
                    gone = True
                if s is self.request:
                    return
                if gone:
                    try:
                        reply(self.request, "426 Connection closed; transfer aborted.")
                    except OSError:
                        pass
                    return
                # Data that arrives is left unread, so the client's sends block.
                watched.remove(data_conn)

    # ---- commands

    def cmd_USER(self, arg):
        self.words = set(w for w in arg.split("+") if w)
        for w in self.words:
            if w.startswith("listing="):
                self.listing = w[len("listing="):]
        reply(self.request, "331 Password required.")

    def cmd_PASS(self, arg):
        reply(self.request, "230 Logged in.")

    def cmd_SYST(self, arg):
        reply(self.request, "215 UNIX Type: L8")

    def cmd_FEAT(self, arg):
        lines = ["211-Features:", " SIZE", " EPSV", " PASV"]
        if "no-mlsd" not in self.words:
            lines.append(" MLST type*;size*;modify*;")
        reply(self.request, "\r\n".join(lines + ["211 End"]))

    def cmd_OPTS(self, arg):
        reply(self.request, "200 OK.")

    def cmd_NOOP(self, arg):
        reply(self.request, "200 OK.")

    def cmd_PWD(self, arg):
        reply(self.request, '257 "%s" is the current directory.' % self.cwd)

    def cmd_CWD(self, arg):
        local = self.path(arg)
        if local is None or not os.path.isdir(local):
            reply(self.request, "550 No such folder.")
            return
        relative = os.path.relpath(local, ARGS.root)
        self.cwd = "/" if relative == "." else "/" + relative
        reply(self.request, "250 OK.")

    def cmd_TYPE(self, arg):
        self.binary = arg.upper().startswith("I")
        reply(self.request, "200 Type set.")

    def cmd_PASV(self, arg):
        port = self.listen_passive("stall-stor" in self.words)
        reply(self.request, "227 Entering Passive Mode (127,0,0,1,%d,%d)." % (port >> 8,
                                                                             port & 255))

    def cmd_EPSV(self, arg):
        port = self.listen_passive("stall-stor" in self.words)
        reply(self.request, "229 Entering Extended Passive Mode (|||%d|)." % port)

    def cmd_PORT(self, arg):
        parts = [int(p) for p in arg.split(",")]
        self.active = (".".join(str(p) for p in parts[:4]), parts[4] * 256 + parts[5])
        reply(self.request, "200 PORT command successful.")

    def cmd_EPRT(self, arg):
        fields = arg.split(arg[0])
        self.active = (fields[2], int(fields[3]))
        reply(self.request, "200 EPRT command successful.")

    def cmd_SIZE(self, arg):
        local = self.path(arg)
        if local is None or not os.path.isfile(local):
            reply(self.request, "550 No such file.")
            return
        reply(self.request, "213 %d" % os.path.getsize(local))

    def cmd_MDTM(self, arg):
        local = self.path(arg)
        if local is None or not os.path.isfile(local):
            reply(self.request, "550 No such file.")
            return
        reply(self.request, "213 " + time.strftime("%Y%m%d%H%M%S",
                                                  time.gmtime(os.path.getmtime(local))))

    def listing_bytes(self, arg, mlsd):
        if self.listing is not None:
            with open(os.path.join(ARGS.root, self.listing), "rb") as f:
                return f.read()
        target = arg
        # "LIST -a folder" and the like: options are not understood, only skipped.
        while target.startswith("-"):
            target = target.partition(" ")[2]
        local = self.path(target or ".")
        if local is None or not os.path.exists(local):
            return None
        names = sorted(os.listdir(local)) if os.path.isdir(local) else [None]
        lines = []
        for name in names:
            full = local if name is None else os.path.join(local, name)
            lines.append(listing_line(name or os.path.basename(local), full, mlsd))
        return "".join(l + "\r\n" for l in lines).encode("utf-8", "surrogateescape")

    def send_listing(self, arg, mlsd):
        data = self.listing_bytes(arg, mlsd)
        if data is None:
            reply(self.request, "550 No such folder.")
            return
        reply(self.request, "150 Here comes the listing.")
        conn = self.open_data()
        try:
            if "stall-list" in self.words:
                first = data.split(b"\n", 1)[0] + b"\n"
                conn.sendall(first)
                self.stall(conn)
                return
            conn.sendall(data)
        finally:
            conn.close()
        reply(self.request, "226 Listing sent.")

    def cmd_LIST(self, arg):
        self.send_listing(arg, False)

    def cmd_MLSD(self, arg):
        if "no-mlsd" in self.words:
            reply(self.request, "500 Unknown command.")
            return
        self.send_listing(arg, True)

    def cmd_RETR(self, arg):
        local = self.path(arg)
        if local is None or not os.path.isfile(local):
            reply(self.request, "550 No such file.")
            return
        with open(local, "rb") as f:
            data = f.read()
        if not self.binary:
            data = to_ascii_wire(data)
        reply(self.request, "150 Opening data connection.")
        conn = self.open_data()
        half = data[:len(data) // 2]
        try:
            if "stall-retr" in self.words:
                conn.sendall(half)
                self.stall(conn)
                return
            if "drop-retr" in self.words:
                conn.sendall(half)
                time.sleep(0.5)  # the client has taken the data connection by then
                for s in (conn, self.request):
                    s.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                    s.close()
                return "quit"
            if "abort-retr" in self.words:
                conn.sendall(half)
                conn.close()
                reply(self.request, "426 Connection closed; transfer aborted.")
                return
            conn.sendall(data)
        finally:
            conn.close()
        reply(self.request, "226 Transfer complete.")

    def cmd_STOR(self, arg):
        local = self.path(arg)
        if local is None:
            reply(self.request, "553 Not allowed.")
            return
        reply(self.request, "150 Ready to receive.")
        conn = self.open_data(small_buffer="stall-stor" in self.words)
        name = os.path.relpath(local, ARGS.root)
        aborted = False
        try:
            with open(local, "wb") as f:
                if "stall-stor" in self.words:
                    f.write(conn.recv(4096))
                    self.stall(conn)
                    log("ABORTED %s %d" % (name, os.path.getsize(local)))
                    return
                while True:
                    # A client that goes away ends the upload as aborted, as a reset does.
                    # So does any command (ABOR) that comes while the data flows.
                    ready, _, _ = select.select([conn, self.request], [], [])
                    if self.request in ready:
                        command = self.read_line()
                        if command is not None:
                            log(repr(command))
                        aborted = True
                        break
                    if conn not in ready:
                        continue
                    chunk = conn.recv(65536)
                    if not chunk:
                        break
                    f.write(chunk if self.binary else chunk.replace(b"\r\n", b"\n"))
        except ConnectionError:
            aborted = True
        finally:
            conn.close()
        log("%s %s %d" % ("ABORTED" if aborted else "STORED", name, os.path.getsize(local)))
        if aborted:
            try:
                reply(self.request, "426 Connection closed; transfer aborted.")
            except OSError:
                pass
            return "quit"
        reply(self.request, "226 Transfer complete.")

    def simple(self, arg, action, ok):
        local = self.path(arg)
        try:
            if local is None:
                raise OSError()
            action(local)
        except OSError:
            reply(self.request, "550 Failed.")
            return
        reply(self.request, ok)

    def cmd_DELE(self, arg):
        if "long-reply" in self.words:
            reply(self.request, "550 " + "\x1b[31m" + "x" * 5000)
            return
        self.simple(arg, os.remove, "250 Deleted.")

    def cmd_MKD(self, arg):
        self.simple(arg, os.mkdir, '257 "%s" created.' % arg)

    def cmd_RMD(self, arg):
        self.simple(arg, os.rmdir, "250 Removed.")

    def cmd_RNFR(self, arg):
        local = self.path(arg)
        if local is None or not os.path.exists(local):
            reply(self.request, "550 No such file.")
            return
        self.rename_from = local
        reply(self.request, "350 Ready for RNTO.")

    def cmd_RNTO(self, arg):
        source, self.rename_from = self.rename_from, None
        if source is None:
            reply(self.request, "503 RNFR first.")
            return
        self.simple(arg, lambda target: os.rename(source, target), "250 Renamed.")

    def cmd_ABOR(self, arg):
        reply(self.request, "226 Nothing to abort.")

    def cmd_QUIT(self, arg):
        reply(self.request, "221 Goodbye.")
        return "quit"


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    global ARGS
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--root", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--stall-limit", type=float, default=300)
    ARGS = parser.parse_args()
    ARGS.root = os.path.abspath(ARGS.root)

    server = Server(("127.0.0.1", 0), Session)
    tmp = ARGS.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(server.server_address[1]))
    os.rename(tmp, ARGS.port_file)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    sys.exit(main())
