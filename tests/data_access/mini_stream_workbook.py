#!/usr/bin/python3
"""Rewrites a workbook written by xlwt so that its Workbook stream, cut to its records, lies in the
compound file's mini stream, as other writers keep streams under 4096 bytes.

    mini_stream_workbook.py IN.xls OUT.xls
"""
import struct
import sys

SECTOR = 512
MINI_SECTOR = 64
END_OF_CHAIN = 0xFFFFFFFE
FREE = 0xFFFFFFFF
FAT_SECTOR = 0xFFFFFFFD


def workbook_records(data):
    """The Workbook stream of an xlwt file (directory entry 1, in consecutive sectors), without
    the padding after its last record."""
    directory = (struct.unpack_from("<I", data, 48)[0] + 1) * SECTOR
    start, size = struct.unpack_from("<II", data, directory + 128 + 116)
    stream = data[(start + 1) * SECTOR:(start + 1) * SECTOR + size]
    end = 0
    while end + 4 <= len(stream):
        kind, length = struct.unpack_from("<HH", stream, end)
        if kind == 0 and length == 0:
            break
        end += 4 + length
    return stream[:end]


def chain(first, count):
    return [first + i + 1 for i in range(count - 1)] + [END_OF_CHAIN]


def entry(name, kind, child, start, size):
    encoded = (name + "\0").encode("utf-16-le")
    return (encoded.ljust(64, b"\0") + struct.pack("<HBBIII", len(encoded), kind, 1, FREE, FREE, child) +
            bytes(36) + struct.pack("<III", start, size, 0))


def sector(table):
    return struct.pack("<%dI" % len(table), *table).ljust(SECTOR, b"\xff")


def mini_stream_file(stream):
    if len(stream) >= 4096:
        raise SystemExit("the Workbook stream has %d bytes, too many for the mini stream" % len(stream))
    mini_sectors = -(-len(stream) // MINI_SECTOR)
    container = stream.ljust(mini_sectors * MINI_SECTOR, b"\0")
    data_sectors = -(-len(container) // SECTOR)
    mini_fat, directory, fat = data_sectors, data_sectors + 1, data_sectors + 2
    header = (b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1" + bytes(16) +
              struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6) + bytes(6) +
              struct.pack("<IIIIIIIII", 0, 1, directory, 0, 4096, mini_fat, 1, END_OF_CHAIN, 0) +
              struct.pack("<109I", fat, *([FREE] * 108)))
    directory_sector = (entry("Root Entry", 5, 1, 0, len(container)) + entry("Workbook", 2, FREE, 0, len(stream)))
    return (header + container.ljust(data_sectors * SECTOR, b"\0") + sector(chain(0, mini_sectors)) +
            directory_sector.ljust(SECTOR, b"\0") +
            sector(chain(0, data_sectors) + [END_OF_CHAIN, END_OF_CHAIN, FAT_SECTOR]))


def main(source, target):
    with open(source, "rb") as original:
        stream = workbook_records(original.read())
    with open(target, "wb") as out:
        out.write(mini_stream_file(stream))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
