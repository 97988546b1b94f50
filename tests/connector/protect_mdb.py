#!/usr/bin/env python3
"""Usage: protect_mdb.py SOURCE DEST PASSWORD [jet4|jet3]

Writes DEST, a copy of the Jet 4 database SOURCE whose header carries PASSWORD as its
database password, as Access sets one. With "jet3" the copy's header is rewritten in the Jet 3
form instead (format code 0, the password as 20 bytes of Windows-1252 text), for the header
reader's tests; such a copy is not a database any driver can open.

The first page is masked from offset 0x18 on with the RC4 key stream of the key 0x6b39dac7
(128 bytes in Jet 4, 126 in Jet 3). The password lies at 0x42: Jet 4 keeps 40 bytes of
UTF-16LE text, each byte further masked with the four bytes of the whole part of the creation
date (a double at 0x72); Jet 3 keeps 20 bytes. This is written independently of the
connector's own reader, so the tests compare two implementations.
"""
import os
import struct
import sys


def rc4_stream(key, n):
    s = list(range(256))
    j = 0
    for i in range(256):
        j = (j + s[i] + key[i % len(key)]) & 0xFF
        s[i], s[j] = s[j], s[i]
    i = j = 0
    out = bytearray()
    for _ in range(n):
        i = (i + 1) & 0xFF
        j = (j + s[i]) & 0xFF
        s[i], s[j] = s[j], s[i]
        out.append(s[(s[i] + s[j]) & 0xFF])
    return bytes(out)


def main(argv):
    if len(argv) not in (4, 5) or argv[1] in ("-h", "--help"):
        print(__doc__.strip())
        return 0 if len(argv) > 1 and argv[1] in ("-h", "--help") else 2
    source, dest, password = argv[1], argv[2], argv[3]
    form = argv[4] if len(argv) == 5 else "jet4"
    data = bytearray(open(source, "rb").read())
    if data[4:19] != b"Standard Jet DB" or data[0x14] != 1:
        print("protect_mdb.py: %s is not a Jet 4 database" % source, file=sys.stderr)
        return 1
    key = struct.pack("<I", 0x6B39DAC7)
    mask4 = rc4_stream(key, 128)
    for k in range(128):
        data[0x18 + k] ^= mask4[k]
    if form == "jet4":
        created = struct.unpack("<d", data[0x72:0x7A])[0]
        date_mask = struct.pack("<i", int(created))
        text = password.encode("utf-16-le")
        if len(text) > 40:
            print("protect_mdb.py: a Jet 4 password has at most 20 characters", file=sys.stderr)
            return 1
        text = text.ljust(40, b"\0")
        data[0x42:0x42 + 40] = bytes(b ^ date_mask[k % 4] for k, b in enumerate(text))
        mask = mask4
    elif form == "jet3":
        text = password.encode("cp1252")
        if len(text) > 20:
            print("protect_mdb.py: a Jet 3 password has at most 20 characters", file=sys.stderr)
            return 1
        data[0x14] = 0
        data[0x42:0x42 + 20] = text.ljust(20, b"\0")
        mask = rc4_stream(key, 126)
    else:
        print("protect_mdb.py: unknown form %s" % form, file=sys.stderr)
        return 2
    for k in range(len(mask)):
        data[0x18 + k] ^= mask[k]
    with open(dest + ".tmp", "wb") as out:
        out.write(data)
    os.replace(dest + ".tmp", dest)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
