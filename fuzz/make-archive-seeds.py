#!/usr/bin/env python3
"""Writes the seed archives of the archive fuzz target into fuzz/seeds/archive/, and those too
slow to mutate well into fuzz/regressions/archive/.

Each seed shows the fuzzer one feature of the zip format the reader must get through: the
compression methods, zip64 records, a comment, names the reader refuses, data that fails its
checksum or claims encryption, entries whose data overlap, a central directory in zip64 form,
a second central directory, a few hundred entries. The regressions hold entries at and over the target's size limit,
many directory records sharing one deflated stream, and thousands of entries: each runs for a
tenth of a second or more. Run it again only to change them."""

import io
import os
import struct
import zipfile

fuzz = os.path.dirname(os.path.abspath(__file__))
here = os.path.join(fuzz, "seeds", "archive")
mebibyte = 1 << 20
level = b"IBSP" + bytes(range(64)) * 2  # compressible, and not a real level


def archive(entries, comment=b"", zip64=False):
    """entries: (name, data, method) tuples, or a name ending in '/' for a folder."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as out:
        out.comment = comment
        for name, data, method in entries:
            info = zipfile.ZipInfo(name, date_time=(2000, 1, 1, 0, 0, 0))
            info.compress_type = method
            if zip64:
                with out.open(info, "w", force_zip64=True) as stream:
                    stream.write(data)
            else:
                out.writestr(info, data)
    return bytearray(buffer.getvalue())


def write(name, data, folder=here):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


def split(whole):
    """The bytes before the central directory, and its records (an archive without a comment)."""
    end = len(whole) - 22
    count, size, offset = struct.unpack_from("<HII", whole, end + 10)
    records, at = [], offset
    for _ in range(count):
        name, extra, comment = struct.unpack_from("<HHH", whole, at + 28)
        records.append(bytearray(whole[at:at + 46 + name + extra + comment]))
        at += len(records[-1])
    return whole[:offset], records


def end_record(count, size, offset, comment=b""):
    return b"PK\x05\x06" + struct.pack("<HHHHIIH", 0, 0, count, count, size, offset, len(comment)) + comment


def assemble(entries, records, comment=b""):
    directory = b"".join(records)
    return entries + directory + end_record(len(records), len(directory), len(entries), comment)


def as_zip64(record):
    """The record with its sizes and local header offset moved into a zip64 extra field."""
    name = struct.unpack_from("<H", record, 28)[0]
    stored, original = struct.unpack_from("<II", record, 20)
    offset = struct.unpack_from("<I", record, 42)[0]
    copy = bytearray(record[:46 + name])
    struct.pack_into("<II", copy, 20, 0xFFFFFFFF, 0xFFFFFFFF)
    struct.pack_into("<I", copy, 42, 0xFFFFFFFF)
    struct.pack_into("<HH", copy, 30, 28, 0)
    return copy + struct.pack("<HHQQQ", 1, 24, original, stored, offset)


def assemble_zip64(entries, records):
    directory = b"".join(records)
    end64_at = len(entries) + len(directory)
    end64 = b"PK\x06\x06" + struct.pack("<QHHIIQQQQ", 44, 45, 45, 0, 0, len(records), len(records),
                                          len(directory), len(entries))
    locator = b"PK\x06\x07" + struct.pack("<IQI", 0, end64_at, 1)
    end = b"PK\x05\x06" + struct.pack("<HHHHIIH", 0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0)
    return entries + directory + end64 + locator + end


def shared_stream(count, size=4 * mebibyte):
    """`count` directory records, all naming the one deflated entry of `size` zeros."""
    single = archive([("s", bytes(size), zipfile.ZIP_DEFLATED)])
    central, end = single.find(b"PK\x01\x02"), single.find(b"PK\x05\x06")
    records = bytearray()
    for number in range(count):
        record = bytearray(single[central:central + 46])
        name = b"%04d" % number
        record[28:34] = struct.pack("<HHH", len(name), 0, 0)  # name, extra and comment lengths
        records += record + name
    record_end = bytearray(single[end:end + 22])
    record_end[8:20] = struct.pack("<HHII", count, count, len(records), central)
    return single[:central] + records + record_end


stored, deflated = zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED

write("basic.pk3", archive([("maps/", b"", stored), ("maps/a.bsp", level, deflated),
                            ("Textures/Wall.JPG", b"\xff\xd8\xff\xe0wall", stored)]))
write("methods.pk3", archive([("deflated", level, deflated), ("bzip2", level, zipfile.ZIP_BZIP2),
                              ("lzma", level, zipfile.ZIP_LZMA), ("stored", level, stored)]))
write("zip64.pk3", archive([("maps/a.bsp", level, deflated)], zip64=True))
write("comment.pk3", archive([("scripts/a.shader", b"textures/a\n{\n}\n", deflated)], comment=b"a comment"))
write("refused.pk3", archive([("../evil", b"x", stored), ("/abs", b"x", stored), ("a/../../b", b"x", stored),
                              ("empty", b"", stored), ("Same", b"1", stored), ("same", b"2", stored),
                              ("n" * 1100, b"x", stored)]))

# A changed byte of stored data: the checksum fails.
checksum = archive([("maps/a.bsp", level, stored)])
checksum[30 + len("maps/a.bsp") + 5] ^= 0x40
write("checksum.pk3", checksum)

# The encryption flag set in both headers, with nothing encrypted.
encrypted = archive([("maps/a.bsp", level, deflated)])
encrypted[6] |= 1
central = encrypted.find(b"PK\x01\x02")
encrypted[central + 8] |= 1
write("encrypted.pk3", encrypted)

# Entries whose data share bytes: records over one stream, and stored data reaching into the
# next entry's local header.
write("overlapping.pk3", shared_stream(8, 64 * 1024))
entries, records = split(archive([("a", level, stored), ("b", level, stored), ("c", level, deflated)]))
struct.pack_into("<I", records[0], 20, len(level) + 10)
write("overlapping-stored.pk3", assemble(entries, records))

entries, records = split(archive([("maps/a.bsp", level, deflated), ("Textures/Wall.JPG", level, stored)]))
write("zip64-directory.pk3", assemble_zip64(entries, [as_zip64(record) for record in records]))
# A comment holding a second directory, the records in another order, and its end record.
plain = assemble(entries, records)
second = b"".join(reversed(records))
write("two-directories.pk3", assemble(entries, records, second + end_record(len(records), len(second), len(plain))))
write("hundreds.pk3", archive([("m/%03d" % number, b"x", stored) for number in range(300)]))

regressions = os.path.join(fuzz, "regressions", "archive")
limit = 4 * mebibyte  # fuzztargets::archiveEntryLimit
write("limit.pk3", archive([("at-limit", bytes(limit), deflated), ("over-limit", bytes(limit + 1), deflated)]),
      regressions)
write("shared-stream.pk3", shared_stream(400), regressions)
# Thousands of one-byte entries: the memory of the index grows with the records, and no faster.
write("many-entries.pk3", archive([("m/%05d" % number, b"x", stored) for number in range(4000)]), regressions)
