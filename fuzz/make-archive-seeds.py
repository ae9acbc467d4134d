#!/usr/bin/env python3
"""Writes the seed archives of the archive fuzz target into fuzz/seeds/archive/.

Each is a few hundred bytes and shows the fuzzer one feature of the zip format the reader must
get through: the compression methods, zip64 records, a comment, names the reader refuses, and
data that fails its checksum or claims encryption. Run it again only to change the seeds."""

import io
import os
import zipfile

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds", "archive")
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


def write(name, data):
    with open(os.path.join(here, name), "wb") as out:
        out.write(data)


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
