#!/usr/bin/env python3
"""Writes a Windows Installer language transform (.mst) that changes rows of a package's
Property table, e.g. ProductLanguage and the product's localised texts.

    make_transform.py OUT.mst --language 1036 [--codepage 1252] NAME=VALUE ...

Every NAME must be a property the package already defines: its row is updated (only the
Value column), so the transform applies to any package that has those properties. The
transform asks for no validation, so it can be applied to each package of a medium.

The file is a compound file (512-byte sectors, the mini stream for small streams) whose
root has the transform class id, with the string pool, the Property table's changes and a
summary information stream.
"""
import argparse
import struct
import sys

TRANSFORM_CLSID = bytes.fromhex("8210 0c00 0000 0000 c000 0000 0000 0046".replace(" ", ""))
SUMMARY_FMTID = bytes.fromhex("e0859ff2f94f6810ab9108002b27b3d9")

SECTOR = 512
MINI_SECTOR = 64
MINI_CUTOFF = 4096
FREE, END, FAT_SECTOR, NO_STREAM = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD, 0xFFFFFFFF


def table_stream_name(name):
    """A table's stream name: the table marker, then the name two characters to a code
    unit where both are in the 64-character set the installer packs."""
    def packed(ch):
        for first, base in (("0", 0), ("A", 10), ("a", 36)):
            if first <= ch <= chr(ord(first) + (9 if first == "0" else 25)):
                return base + ord(ch) - ord(first)
        return {".": 62, "_": 63}.get(ch)

    out = [chr(0x4840)]
    i = 0
    while i < len(name):
        first = packed(name[i])
        if first is None:
            out.append(name[i])
            i += 1
            continue
        second = packed(name[i + 1]) if i + 1 < len(name) else None
        if second is None:
            out.append(chr(0x4800 + first))
            i += 1
        else:
            out.append(chr(0x3800 + first + (second << 6)))
            i += 2
    return "".join(out)


class StringPool:
    """The transform's own strings; id 0 is the empty string."""

    def __init__(self, codepage):
        self.codepage = codepage
        self.ids = {}
        self.entries = []

    def id(self, text):
        if text not in self.ids:
            self.entries.append(text.encode("cp%d" % self.codepage))
            self.ids[text] = len(self.entries)
        return self.ids[text]

    def streams(self):
        if len(self.entries) >= 0x10000:
            sys.exit("make_transform: too many strings")
        pool = struct.pack("<I", self.codepage)
        for data in self.entries:
            if len(data) > 0xFFFF:
                sys.exit("make_transform: a string is longer than 65535 bytes")
            pool += struct.pack("<HH", len(data), 1)
        return pool, b"".join(self.entries)


def property_changes(pool, properties):
    """Property rows, each updating the Value column (column 2) of an existing row."""
    value_only = 1 << 1
    return b"".join(struct.pack("<HHH", value_only, pool.id(name), pool.id(value))
                    for name, value in properties)


def summary_information(codepage, template, last_author):
    """The transform's summary: the base and target platform;language, no validation."""
    def text(value):
        data = value.encode("cp%d" % codepage) + b"\0"
        data += b"\0" * (-len(data) % 4)
        return struct.pack("<II", 30, len(value.encode("cp%d" % codepage)) + 1) + data

    properties = [
        (1, struct.pack("<Ihh", 2, codepage if codepage < 0x8000 else codepage - 0x10000, 0)),
        (2, text("Transform")),
        (7, text(template)),
        (8, text(last_author)),
        (14, struct.pack("<Ii", 3, 200)),
        (16, struct.pack("<Ii", 3, 0)),
    ]
    offset = 8 + 8 * len(properties)
    index, values = b"", b""
    for pid, value in properties:
        index += struct.pack("<II", pid, offset + len(values))
        values += value
    section = struct.pack("<II", 8 + len(index) + len(values), len(properties)) + index + values
    header = struct.pack("<HHI16sI", 0xFFFE, 0, 0x00020006, b"\0" * 16, 1)
    return header + SUMMARY_FMTID + struct.pack("<I", 48) + section


def cfb_name_key(name):
    return (len(name), name.upper())


def directory_tree(names):
    """Indexes (into names) of a balanced binary tree in compound-file name order, with
    left, right and colour of each entry: the deepest partial level red, the rest black."""
    order = sorted(range(len(names)), key=lambda i: cfb_name_key(names[i]))
    full_levels = (len(order) + 1).bit_length() - 1
    links = {}

    def build(lo, hi, depth):
        if lo >= hi:
            return NO_STREAM
        mid = (lo + hi) // 2
        node = order[mid]
        left, right = build(lo, mid, depth + 1), build(mid + 1, hi, depth + 1)
        links[node] = (left, right, 0 if depth >= full_levels else 1)
        return node

    return build(0, len(order), 0), links


def compound_file(clsid, streams):
    """A version 3 compound file whose root holds the given streams (name, bytes)."""
    names = [name for name, _ in streams]
    mini = bytearray()
    mini_fat = []
    big = []  # (stream index, data) of streams kept in ordinary sectors
    starts = {}
    for i, (_, data) in enumerate(streams):
        if len(data) >= MINI_CUTOFF:
            big.append((i, data))
            continue
        count = -(-len(data) // MINI_SECTOR)
        if count == 0:
            starts[i] = END
            continue
        first = len(mini_fat)
        starts[i] = first
        mini_fat.extend(first + k + 1 for k in range(count - 1))
        mini_fat.append(END)
        mini += data + b"\0" * (count * MINI_SECTOR - len(data))

    def sectors(size):
        return -(-size // SECTOR)

    entries = 1 + len(streams)
    dir_sectors = sectors(entries * 128)
    mini_fat_sectors = sectors(len(mini_fat) * 4)
    mini_stream_sectors = sectors(len(mini))
    big_sectors = [sectors(len(data)) for _, data in big]
    content = dir_sectors + mini_fat_sectors + mini_stream_sectors + sum(big_sectors)
    fat_sectors = 1
    while fat_sectors * (SECTOR // 4) < fat_sectors + content:
        fat_sectors += 1
    if fat_sectors > 109:
        sys.exit("make_transform: file too large")

    fat = [FAT_SECTOR] * fat_sectors
    def chain(count):
        first = len(fat)
        fat.extend(first + k + 1 for k in range(count - 1))
        fat.append(END)
        return first

    dir_start = chain(dir_sectors)
    mini_fat_start = chain(mini_fat_sectors) if mini_fat_sectors else END
    mini_stream_start = chain(mini_stream_sectors) if mini_stream_sectors else END
    for (i, _), count in zip(big, big_sectors):
        starts[i] = chain(count)
    fat.extend([FREE] * (fat_sectors * (SECTOR // 4) - len(fat)))

    def entry(name, kind, colour, left, right, child, cls, start, size):
        encoded = name.encode("utf-16-le") + b"\0\0" if name else b""
        return (encoded.ljust(64, b"\0") + struct.pack("<HBBIII", len(encoded), kind, colour,
                                                        left, right, child)
                + cls + struct.pack("<IQQIQ", 0, 0, 0, start, size))

    top, links = directory_tree(names)
    directory = entry("Root Entry", 5, 1, NO_STREAM, NO_STREAM, top + 1 if streams else NO_STREAM,
                      clsid, mini_stream_start, len(mini))
    for i, (name, data) in enumerate(streams):
        left, right, colour = links[i]
        directory += entry(name, 2, colour, left + 1 if left != NO_STREAM else NO_STREAM,
                           right + 1 if right != NO_STREAM else NO_STREAM, NO_STREAM,
                           b"\0" * 16, starts[i], len(data))
    unused = entry("", 0, 0, NO_STREAM, NO_STREAM, NO_STREAM, b"\0" * 16, 0, 0)
    directory += unused * (dir_sectors * 4 - entries)

    difat = list(range(fat_sectors)) + [FREE] * (109 - fat_sectors)
    header = struct.pack("<8s16sHHHHH6sIIIIIIIII", bytes.fromhex("d0cf11e0a1b11ae1"), b"\0" * 16,
                         0x3E, 3, 0xFFFE, 9, 6, b"\0" * 6, 0, fat_sectors, dir_start, 0,
                         MINI_CUTOFF, mini_fat_start, mini_fat_sectors, END, 0)
    header += struct.pack("<109I", *difat)

    def padded(data):
        return bytes(data) + b"\0" * (-len(data) % SECTOR)

    body = struct.pack("<%dI" % len(fat), *fat) + directory
    body += padded(struct.pack("<%dI" % len(mini_fat), *mini_fat)) if mini_fat else b""
    body += padded(mini)
    for _, data in big:
        body += padded(data)
    return header + body


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("output")
    parser.add_argument("--language", type=int, required=True, help="the target language id")
    parser.add_argument("--base-language", type=int, default=1033)
    parser.add_argument("--codepage", type=int, default=1252)
    parser.add_argument("properties", nargs="*", metavar="NAME=VALUE")
    args = parser.parse_intermixed_args()
    changes = {"ProductLanguage": str(args.language)}
    for item in args.properties:
        name, sep, value = item.partition("=")
        if not sep or not name:
            parser.error("not NAME=VALUE: " + item)
        if name in changes:
            parser.error("%s is set twice (ProductLanguage comes from --language)" % name)
        # An empty string has no entry in the string pool; the Value column cannot be empty.
        if not value:
            parser.error("%s: a property's value cannot be empty" % name)
        changes[name] = value

    pool = StringPool(args.codepage)
    try:
        table = property_changes(pool, sorted(changes.items()))
    except (LookupError, UnicodeEncodeError) as error:
        parser.error("code page %d: %s" % (args.codepage, error))
    string_pool, string_data = pool.streams()
    summary = summary_information(args.codepage, ";%d" % args.base_language, ";%d" % args.language)
    streams = [
        (table_stream_name("_StringPool"), string_pool),
        (table_stream_name("_StringData"), string_data),
        (table_stream_name("Property"), table),
        ("\x05SummaryInformation", summary),
    ]
    with open(args.output, "wb") as out:
        out.write(compound_file(TRANSFORM_CLSID, streams))


if __name__ == "__main__":
    main()
