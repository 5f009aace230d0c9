#!/usr/bin/env python3
"""Seeds the spreadsheet fuzz targets with the sample sheets of the tests.

python3 make_sheet_corpus.py <folder> makes <folder>/{xlsx,ods,xml,text,biff,any}.
"""
import os
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLES = os.path.join(HERE, "..", "tests", "data", "sheets")
SEP = b"\x1e"  # the xlsx target's part separator


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
        elif b"urn:schemas-microsoft-com:office:spreadsheet" in data[:4096]:
            open(os.path.join(dirs["xml"], name), "wb").write(data)
        elif data and b"\0" not in data:
            open(os.path.join(dirs["text"], name), "wb").write(data)


if __name__ == "__main__":
    main(sys.argv[1])
