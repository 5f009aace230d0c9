#!/usr/bin/env python3
"""Seeds the spreadsheet fuzz targets with the sample sheets of the tests.

python3 make_sheet_corpus.py <folder> makes <folder>/{xlsx,ods,xml,text,biff,any}.
"""
import os
import struct
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLES = os.path.join(HERE, "..", "tests", "data", "sheets")
SEP = b"\x1e"  # the xlsx target's part separator


def workbook_stream(data):
    """The "Workbook" stream of a compound document."""
    try:
        shift = struct.unpack_from("<H", data, 0x1E)[0]
        size = 1 << shift
        cutoff = struct.unpack_from("<I", data, 0x38)[0]
        first_dir = struct.unpack_from("<I", data, 0x30)[0]
        fat_sectors = [s for s in struct.unpack_from("<109I", data, 0x4C) if s < 0xFFFFFFFA]

        def sector(n):
            return data[(n + 1) * size:(n + 2) * size]
        fat = []
        for s in fat_sectors:
            fat += struct.unpack(f"<{size // 4}I", sector(s))

        def chain(start):
            out, n = b"", start
            while n < len(fat) and len(out) < len(data):
                out += sector(n)
                n = fat[n]
            return out
        directory = chain(first_dir)
        mini = chain(struct.unpack_from("<I", directory, 116)[0])  # the root entry's stream
        minifat_bytes = chain(struct.unpack_from("<I", data, 0x3C)[0])
        minifat = struct.unpack(f"<{len(minifat_bytes) // 4}I", minifat_bytes)
        for at in range(0, len(directory) - 127, 128):
            entry = directory[at:at + 128]
            length = struct.unpack_from("<H", entry, 64)[0]
            name = entry[:max(length - 2, 0)].decode("utf-16-le", "replace")
            start, stream_size = struct.unpack_from("<II", entry, 116)
            if name.lower() not in ("workbook", "book"):
                continue
            if stream_size >= cutoff:
                return chain(start)[:stream_size]
            out, n = b"", start
            while n < len(minifat) and len(out) < stream_size:
                out += mini[n * 64:(n + 1) * 64]
                n = minifat[n]
            return out[:stream_size]
    except (struct.error, IndexError):
        pass
    return None


def main(out):
    dirs = {m: os.path.join(out, m) for m in ("xlsx", "ods", "xml", "text", "biff", "any")}
    for d in dirs.values():
        os.makedirs(d, exist_ok=True)
    for name in sorted(os.listdir(SAMPLES)):
        path = os.path.join(SAMPLES, name)
        if name.endswith(".py"):
            continue
        data = open(path, "rb").read()
        if len(data) < 200_000:
            open(os.path.join(dirs["any"], name), "wb").write(data)
        if data.startswith(b"PK"):
            try:
                z = zipfile.ZipFile(path)
                names = z.namelist()
            except zipfile.BadZipFile:
                continue
            if "content.xml" in names:
                open(os.path.join(dirs["ods"], name), "wb").write(z.read("content.xml"))
            elif "xl/workbook.xml" in names:
                def part(n):
                    return z.read(n) if n in names and z.getinfo(n).file_size < 200_000 else b""
                sheet = next((n for n in names if n.startswith("xl/worksheets/")), "")
                parts = [part("xl/workbook.xml"), part("xl/_rels/workbook.xml.rels"), part(sheet),
                         part("xl/sharedStrings.xml"), part("xl/styles.xml")]
                open(os.path.join(dirs["xlsx"], name), "wb").write(SEP.join(parts))
        elif data.startswith(b"\xd0\xcf\x11\xe0"):
            open(os.path.join(dirs["biff"], name), "wb").write(data)
            # The workbook stream alone, so that mutations reach the records rather than
            # the container.
            stream = workbook_stream(data)
            if stream:
                open(os.path.join(dirs["biff"], name + ".stream"), "wb").write(stream)
        elif b"urn:schemas-microsoft-com:office:spreadsheet" in data[:4096]:
            open(os.path.join(dirs["xml"], name), "wb").write(data)
        elif data and b"\0" not in data:
            open(os.path.join(dirs["text"], name), "wb").write(data)


if __name__ == "__main__":
    main(sys.argv[1])
