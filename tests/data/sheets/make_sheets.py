#!/usr/bin/env python3
"""Writes the small sample sheets of the spreadsheet reader's tests.

Only the standard library is used for .xlsx, .ods, XML workbooks and text. The binary .xls
samples are converted from the .ods ones with LibreOffice when it is installed
(`soffice --headless --convert-to xls`); the committed ones were made that way.
Run from this folder: python3 make_sheets.py
"""
import os
import shutil
import subprocess
import tempfile
import zipfile
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))


def col_name(n):
    s = ""
    while n:
        n, r = divmod(n - 1, 26)
        s = chr(65 + r) + s
    return s


# ---------------------------------------------------------------- xlsx

CONTENT_TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
</Types>"""

ROOT_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>"""

STYLES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<numFmts count="2"><numFmt numFmtId="164" formatCode="dd/mm/yyyy\\ hh:mm"/><numFmt numFmtId="165" formatCode="&quot;Kg&quot;\\ #,##0.00"/></numFmts>
<cellStyleXfs count="1"><xf numFmtId="14"/></cellStyleXfs>
<cellXfs count="5"><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/><xf numFmtId="165"/><xf numFmtId="21"/></cellXfs>
</styleSheet>"""
STYLE_DATE, STYLE_DATETIME, STYLE_KG, STYLE_TIME = 1, 2, 3, 4


def xlsx(path, sheets, shared_first=True, date1904=False):
    """sheets: list of (name, state, sheet_xml_body). Cells are given ready as XML."""
    pr = '<workbookPr date1904="1"/>' if date1904 else '<workbookPr/>'
    wb = ['<?xml version="1.0" encoding="UTF-8" standalone="yes"?>',
          '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
          'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">',
          pr + '<sheets>']
    rels = ['<?xml version="1.0" encoding="UTF-8" standalone="yes"?>',
            '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">']
    for i, (name, state, _) in enumerate(sheets, 1):
        st = f' state="{state}"' if state else ""
        wb.append(f'<sheet name="{name}" sheetId="{i}"{st} r:id="rId{i}"/>')
        rels.append(f'<Relationship Id="rId{i}" Type="http://schemas.openxmlformats.org/'
                    f'officeDocument/2006/relationships/worksheet" Target="worksheets/sheet{i}.xml"/>')
    n = len(sheets)
    rels.append(f'<Relationship Id="rId{n + 1}" Type="http://schemas.openxmlformats.org/officeDocument/'
                f'2006/relationships/sharedStrings" Target="sharedStrings.xml"/>')
    rels.append(f'<Relationship Id="rId{n + 2}" Type="http://schemas.openxmlformats.org/officeDocument/'
                f'2006/relationships/styles" Target="/xl/styles.xml"/>')
    wb.append('</sheets></workbook>')
    rels.append('</Relationships>')
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", CONTENT_TYPES)
        z.writestr("_rels/.rels", ROOT_RELS)
        z.writestr("xl/workbook.xml", "".join(wb))
        z.writestr("xl/_rels/workbook.xml.rels", "".join(rels))
        z.writestr("xl/styles.xml", STYLES)
        for i, (_, _, body) in enumerate(sheets, 1):
            z.writestr(f"xl/worksheets/sheet{i}.xml",
                       '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
                       '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
                       f'<sheetData>{body}</sheetData></worksheet>')
        z.writestr("xl/sharedStrings.xml", SHARED[0])


SHARED = [""]


def shared_strings(strings):
    items = "".join(f'<si><t xml:space="preserve">{escape(s)}</t></si>' for s in strings)
    SHARED[0] = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
                 '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
                 f'{items}</sst>')


def table_sheet_xml(rows):
    """rows: list of lists of values (str -> shared string, float/int -> number, None -> empty)."""
    strings = []
    out = []
    for r, row in enumerate(rows, 1):
        cells = []
        for c, v in enumerate(row, 1):
            ref = f"{col_name(c)}{r}"
            if v is None or v == "":
                continue
            if isinstance(v, str):
                if v not in strings:
                    strings.append(v)
                cells.append(f'<c r="{ref}" t="s"><v>{strings.index(v)}</v></c>')
            else:
                cells.append(f'<c r="{ref}"><v>{v}</v></c>')
        if cells:
            out.append(f'<row r="{r}">{"".join(cells)}</row>')
    return strings, "".join(out)


def write_table_xlsx(path, rows, hidden_first=False):
    strings, body = table_sheet_xml(rows)
    hidden = []
    if hidden_first:
        strings.append("oculta")
        hidden = [("Oculta", "hidden", f'<row r="1"><c r="A1" t="s"><v>{len(strings) - 1}</v></c></row>')]
    shared_strings(strings)
    xlsx(path, hidden + [("Hoja1", None, body)])


def dates_xlsx(path, date1904):
    """A time alone, a date and a date with its time, in either date system."""
    shift = 1462 if date1904 else 0
    body = (f'<row r="1"><c r="A1" s="{STYLE_TIME}"><v>0.43767361111111114</v></c>'
            f'<c r="B1" s="{STYLE_DATE}"><v>{45376 - shift}</v></c>'
            f'<c r="C1" s="{STYLE_DATETIME}"><v>{45376.5 - shift}</v></c></row>')
    shared_strings([])
    xlsx(path, [("Fechas", None, body)], date1904=date1904)


def features_xlsx(path):
    shared_strings(["Texto", "compartido", "Rico", " negrita", "_x000D_fin", "oculta"])
    hidden = '<row r="1"><c r="A1" t="s"><v>5</v></c></row>'
    visible = (
        # header
        '<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="inlineStr"><is><t>En linea</t></is></c>'
        '<c r="C1"><v>1234.5</v></c><c r="D1" t="b"><v>1</v></c><c r="E1" s="1"><v>45376</v></c>'
        '<c r="F1" s="2"><v>45376.5</v></c><c r="G1" s="3"><v>0.25</v></c></row>'
        # cells without r, a rich inline string with a phonetic run, an error, a formula text
        '<row r="2"><c t="s"><v>1</v></c><c/><c t="inlineStr"><is><r><t>Rico</t></r><r><t> negrita</t></r>'
        '<rPh><t>fonetica</t></rPh></is></c><c t="e"><v>#N/A</v></c><c t="str"><f>A1&amp;"x"</f><v>Textox</v></c></row>'
        # formula without a cached value, a formula with one, a sparse far cell
        '<row r="4"><c r="A4"><f>1+1</f></c><c r="B4"><f>2+2</f><v>4</v></c><c r="J4"><v>-0.000012</v></c></row>'
        # row without r follows row 4
        '<row><c r="A5" t="s"><v>4</v></c><c r="B5"><v>1E+20</v></c></row>'
        # a merged area: only the first cell holds the value
        '<row r="7"><c r="A7" t="inlineStr"><is><t>Combinada</t></is></c><c r="B7"/><c r="C7"/></row>'
    )
    xlsx(path, [("Oculta", "hidden", hidden), ("Datos", None, visible)])


# ---------------------------------------------------------------- ods

ODS_MANIFEST = """<?xml version="1.0" encoding="UTF-8"?>
<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2">
<manifest:file-entry manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>
<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>
</manifest:manifest>"""

ODS_HEAD = ('<?xml version="1.0" encoding="UTF-8"?>'
            '<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
            'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
            'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" office:version="1.2">'
            '<office:automatic-styles>'
            '<style:style style:name="ta1" style:family="table"><style:table-properties table:display="true"/></style:style>'
            '<style:style style:name="ta2" style:family="table"><style:table-properties table:display="false"/></style:style>'
            '</office:automatic-styles><office:body><office:spreadsheet>')
ODS_TAIL = '</office:spreadsheet></office:body></office:document-content>'


def ods(path, tables):
    with zipfile.ZipFile(path, "w") as z:
        z.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.spreadsheet")
        z.writestr("META-INF/manifest.xml", ODS_MANIFEST, zipfile.ZIP_DEFLATED)
        z.writestr("content.xml", ODS_HEAD + "".join(tables) + ODS_TAIL, zipfile.ZIP_DEFLATED)


def ods_cell(v):
    if v is None or v == "":
        return '<table:table-cell/>'
    if isinstance(v, str):
        return f'<table:table-cell office:value-type="string"><text:p>{escape(v)}</text:p></table:table-cell>'
    return (f'<table:table-cell office:value-type="float" office:value="{v}">'
            f'<text:p>{v}</text:p></table:table-cell>')


def ods_table(rows, name="Hoja1", style="ta1"):
    body = "".join("<table:table-row>" + "".join(ods_cell(v) for v in row) +
                   '<table:table-cell table:number-columns-repeated="1014"/></table:table-row>'
                   for row in rows)
    body += ('<table:table-row table:number-rows-repeated="1048000">'
             '<table:table-cell table:number-columns-repeated="1024"/></table:table-row>')
    return (f'<table:table table:name="{name}" table:style-name="{style}">'
            f'<table:table-column table:number-columns-repeated="1024"/>{body}</table:table>')


def features_ods(path, with_hidden=True):
    hidden = ods_table([["oculta"]], "Oculta", "ta2") if with_hidden else ""
    visible = (
        '<table:table table:name="Datos" table:style-name="ta1">'
        '<table:table-column table:number-columns-repeated="16384"/>'
        '<table:table-header-rows><table:table-row>'
        '<table:table-cell office:value-type="string"><text:p>Texto<text:s text:c="2"/>con<text:tab/>tab</text:p>'
        '<text:p>segunda <text:span>linea</text:span></text:p></table:table-cell>'
        '<table:table-cell office:value-type="float" office:value="1234.5"><text:p>1.234,50</text:p></table:table-cell>'
        '<table:table-cell office:value-type="percentage" office:value="0.05"><text:p>5%</text:p></table:table-cell>'
        '<table:table-cell office:value-type="date" office:date-value="2024-03-25"><text:p>25/03/24</text:p></table:table-cell>'
        '<table:table-cell office:value-type="date" office:date-value="2024-03-25T12:30:00"><text:p>x</text:p></table:table-cell>'
        '<table:table-cell office:value-type="time" office:time-value="PT14H30M00S"><text:p>14:30</text:p></table:table-cell>'
        '<table:table-cell office:value-type="boolean" office:boolean-value="true"><text:p>VERDADERO</text:p></table:table-cell>'
        '</table:table-row></table:table-header-rows>'
        '<table:table-row table:number-rows-repeated="2">'
        '<table:table-cell office:value-type="string" table:number-columns-repeated="3"><text:p>rep</text:p></table:table-cell>'
        '<table:table-cell table:number-columns-repeated="2"/>'
        '<table:table-cell office:value-type="float" office:value="7"><text:p>7</text:p></table:table-cell>'
        '</table:table-row>'
        '<table:table-row><table:table-cell table:number-columns-spanned="2" office:value-type="string">'
        '<text:p>Combinada</text:p></table:table-cell><table:covered-table-cell office:value-type="string">'
        '<text:p>tapada</text:p></table:covered-table-cell></table:table-row>'
        '<table:table-row table:number-rows-repeated="1048570"><table:table-cell table:number-columns-repeated="16384"/></table:table-row>'
        '</table:table>')
    ods(path, [hidden, visible])


# ---------------------------------------------------------------- XML workbook (2003)

def xml_workbook(rows, hidden_first=False):
    out = ['<?xml version="1.0" encoding="UTF-8"?>\r\n',
           '<?mso-application progid="Excel.Sheet"?>\r\n',
           '<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet" '
           'xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet" '
           'xmlns:x="urn:schemas-microsoft-com:office:excel">\r\n']
    if hidden_first:
        out.append('<Worksheet ss:Name="Oculta"><Table><Row><Cell><Data ss:Type="String">oculta</Data>'
                   '</Cell></Row></Table><WorksheetOptions xmlns="urn:schemas-microsoft-com:office:excel">'
                   '<Visible>SheetHidden</Visible></WorksheetOptions></Worksheet>\r\n')
    out.append('<Worksheet ss:Name="Hoja1">\r\n<Table>\r\n')
    for row in rows:
        out.append("<Row>\r\n")
        for v in row:
            if v is None:
                out.append('<Cell><Data ss:Type="String"></Data></Cell>\r\n')
            elif isinstance(v, str):
                out.append(f'<Cell><Data ss:Type="String">{escape(v)}</Data></Cell>\r\n')
            else:
                out.append(f'<Cell><Data ss:Type="Number">{v}</Data></Cell>\r\n')
        out.append("</Row>\r\n")
    out.append("</Table>\r\n</Worksheet>\r\n</Workbook>\r\n")
    return "".join(out)


def features_xml(path):
    text = ('<?xml version="1.0"?>\n<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet" '
            'xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">\n'
            '<Worksheet ss:Name="Oculta"><Table><Row><Cell><Data ss:Type="String">oculta</Data></Cell></Row>'
            '</Table><WorksheetOptions xmlns="urn:schemas-microsoft-com:office:excel"><Visible>SheetHidden'
            '</Visible></WorksheetOptions></Worksheet>\n'
            '<Worksheet ss:Name="Datos"><Table>\n'
            '<Row><Cell><Data ss:Type="String">Años &amp; más</Data></Cell>'
            '<Cell><Data ss:Type="Number">1500.46</Data></Cell>'
            '<Cell ss:Index="5"><Data ss:Type="DateTime">2024-03-25T00:00:00.000</Data></Cell>'
            '<Cell><Data ss:Type="Boolean">1</Data></Cell></Row>\n'
            '<Row ss:Index="3"><Cell ss:MergeAcross="2"><Data ss:Type="String">Combinada</Data></Cell>'
            '<Cell><Data ss:Type="Number">-3.1</Data></Cell></Row>\n'
            '</Table></Worksheet></Workbook>\n')
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(text)


# ---------------------------------------------------------------- text

def cell_text(v):
    """A value as the spreadsheet program saves it as text under a decimal-comma locale."""
    if v is None:
        return ""
    if isinstance(v, float):
        return str(v).replace(".", ",")
    return str(v)


def tab_text(rows):
    return "".join("\t".join(cell_text(v) for v in row) + "\r\n" for row in rows)


def csv_text(rows, sep=","):
    def q(v):
        s = cell_text(v)
        return '"' + s.replace('"', '""') + '"' if any(ch in s for ch in sep + '"\r\n') else s
    return "".join(sep.join(q(v) for v in row) + "\r\n" for row in rows)


# ---------------------------------------------------------------- the import samples

# Cancellations of the demo declaration: destination item, cancelled declaration, item,
# subitem, NCM, quantity, certificate; a blank separator row and rows without DIT between.
CANC = [
    ["Destino", "Despacho", "Item", "Sub", "NCM", "Cant", "Certificado"],
    [1, "24001IC04000001A", 1, 0, "8471.30.12", 12.5, "EXP-1"],
    [1, "24001IC04000001A", 2, 1, "8471.30.12", 3, ""],
    [None] * 7,
    [2, "24001IC04000002B", 1, 0, "", 100, "EXP-2"],
    [None] * 7,
    [None] * 7,
    [2, "", 5, 0, "", 1, ""],
    [3, "24001IC04000003C", 4, 2, "9403.20.00", 0.75, ""],
]

LIQ = [
    ["ITEM", "Codigo", "tipo", "Base", "COEF", "Total"],
    [1, "010", "1", 1000, 21, 210],
    [1, "011", "1", 1000, 10.5, 105],
    [None] * 6,
    [2, "010", "1", 500, 21, 105],
    [None] * 6,
    [None] * 6,
    [3, "020", "2", 250.5, 3, 7.52],
]


def make():
    os.chdir(HERE)
    features_xlsx("features.xlsx")
    features_ods("features.ods")
    features_ods("features_visible.ods", with_hidden=False)
    features_xml("features_2003.xml")
    for name, rows in (("cancelaciones", CANC), ("liquidaciones", LIQ)):
        write_table_xlsx(f"{name}.xlsx", rows)
        ods(f"{name}.ods", [ods_table(rows)])
        with open(f"{name}_2003.xls", "w", encoding="utf-8", newline="") as f:
            f.write(xml_workbook(rows, hidden_first=False))
        with open(f"{name}_tab.xls", "wb") as f:
            f.write(tab_text(rows).encode("cp1252"))
        with open(f"{name}.csv", "wb") as f:
            f.write(b"\xef\xbb\xbf" + csv_text(rows).encode("utf-8"))
    # what a spreadsheet program saves as CSV under a decimal-comma locale
    with open("cancelaciones_pyc.csv", "wb") as f:
        f.write(b"\xef\xbb\xbf" + csv_text(CANC, ";").encode("utf-8"))
    # the same table behind a hidden first sheet
    write_table_xlsx("cancelaciones_oculta.xlsx", CANC, hidden_first=True)
    ods("cancelaciones_oculta.ods", [ods_table([["oculta"]], "Oculta", "ta2"), ods_table(CANC)])
    with open("cancelaciones_oculta_2003.xml", "w", encoding="utf-8", newline="") as f:
        f.write(xml_workbook(CANC, hidden_first=True))
    dates_xlsx("fechas_1900.xlsx", date1904=False)
    dates_xlsx("fechas_1904.xlsx", date1904=True)
    with open("acentos_1252.txt", "wb") as f:
        f.write("Código\tDescripción\r\nÑandú\t\"con \"\"comillas\"\"\"\r\n".encode("cp1252"))
    with open("acentos_utf8.csv", "wb") as f:
        f.write("Código,Descripción\r\nÑandú,\"uno, dos\"\r\n\"línea\npartida\",fin\r\n".encode("utf-8"))
    # damaged and foreign files
    with open("features.xlsx", "rb") as f:
        whole = f.read()
    with open("truncado.xlsx", "wb") as f:
        f.write(whole[: len(whole) // 2])
    with open("vacio.xls", "wb"):
        pass
    with open("imagen.xls", "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR\x00\x00\x00\x01")
    with zipfile.ZipFile("no_libro.xlsx", "w") as z:
        z.writestr("hola.txt", "no es un libro")
    with zipfile.ZipFile("malformado.xlsx", "w") as z:
        z.writestr("_rels/.rels", ROOT_RELS)
        z.writestr("xl/workbook.xml", "<workbook><sheets><sheet name='a' r:id='rId1'")
    # an expanding sheet: a few kilobytes that inflate to about 5 MB
    with zipfile.ZipFile("expande.xlsx", "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        z.writestr("_rels/.rels", ROOT_RELS)
        z.writestr("xl/workbook.xml",
                   '<workbook xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
                   '<sheets><sheet name="a" sheetId="1" r:id="rId1"/></sheets></workbook>')
        z.writestr("xl/_rels/workbook.xml.rels",
                   '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                   '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
                   'relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>')
        z.writestr("xl/worksheets/sheet1.xml",
                   "<worksheet><sheetData>" + " " * (5 * 1024 * 1024) + "</sheetData></worksheet>")
    soffice = shutil.which("soffice")
    if soffice:
        with tempfile.TemporaryDirectory() as profile:
            for name in ("cancelaciones", "liquidaciones", "features_visible"):
                subprocess.run([soffice, f"-env:UserInstallation=file://{profile}", "--headless",
                                "--convert-to", "xls", "--outdir", HERE, f"{name}.ods"],
                               check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.remove("features_visible.ods")
    else:
        print("soffice not found: the .xls samples were not rebuilt")


if __name__ == "__main__":
    make()
