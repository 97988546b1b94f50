#!/usr/bin/python3
"""A throw-away FTP server for the FTP client's tests, on 127.0.0.1 only.

Listens on a free port, serves one user with full rights over --root, and writes the port
number to --port-file once it accepts connections. --no-mlsd hides MLSD/MLST so clients
fall back to LIST.
"""
import argparse
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--no-mlsd", action="store_true")
    args = parser.parse_args()

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    Handler.banner = "kelv test server ready"
    Handler.passive_ports = None
    Handler.auth_failed_timeout = 0.1
    Handler.permit_foreign_addresses = False
    if args.no_mlsd:
        Handler.proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items()
                              if k not in ("MLSD", "MLST")}

    server = FTPServer(("127.0.0.1", 0), Handler)
    port = server.socket.getsockname()[1]
    tmp = args.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(port))
    os.rename(tmp, args.port_file)
    try:
        server.serve_forever(handle_exit=True)
    finally:
        server.close_all()


if __name__ == "__main__":
    sys.exit(main())
