#!/usr/bin/env python3
"""Marks type descriptions of a compiled type library (MSFT format) as not extensible.

widl refuses the "nonextensible" attribute on a dispinterface, so the event
interface gets its TYPEFLAG_FNONEXTENSIBLE here, after compilation:

    typelib_flags.py IN.tlb OUT.tlb NAME...
"""
import struct
import sys

TYPEFLAG_FNONEXTENSIBLE = 0x80
TYPEINFO_ENTRY_SIZE = 0x64
TYPEINFO_FLAGS = 0x30
TYPEINFO_NAME = 0x34


def type_offsets(data):
    """Yields (name, offset of the type description entry) for every type of the library."""
    magic, _, _, _, _, varflags, _, _, count = struct.unpack_from("<9i", data, 0)
    if magic != 0x5446534D:
        raise ValueError("not an MSFT type library")
    position = 0x54 + (4 if varflags & 0x100 else 0) + 4 * count
    segments = [struct.unpack_from("<4i", data, position + 16 * i) for i in range(15)]
    type_table, name_table = segments[0][0], segments[7][0]
    for index in range(count):
        entry = type_table + TYPEINFO_ENTRY_SIZE * index
        name_offset = struct.unpack_from("<i", data, entry + TYPEINFO_NAME)[0]
        length = struct.unpack_from("<i", data, name_table + name_offset + 8)[0] & 0xFF
        start = name_table + name_offset + 12
        yield data[start:start + length].decode("latin-1"), entry


def main(argv):
    if len(argv) < 4:
        sys.stderr.write(__doc__)
        return 2
    source, target, names = argv[1], argv[2], set(argv[3:])
    data = bytearray(open(source, "rb").read())
    found = set()
    for name, entry in type_offsets(bytes(data)):
        if name in names:
            flags = struct.unpack_from("<i", data, entry + TYPEINFO_FLAGS)[0]
            struct.pack_into("<i", data, entry + TYPEINFO_FLAGS, flags | TYPEFLAG_FNONEXTENSIBLE)
            found.add(name)
    if found != names:
        sys.stderr.write("typelib_flags.py: not in the library: %s\n" % ", ".join(sorted(names - found)))
        return 1
    with open(target, "wb") as out:
        out.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
