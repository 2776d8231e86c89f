"""Writes the one-page letter and the merge file of the Complete Merge benchmark.

  mergeletter.py FOLDER [RECORDS]

FOLDER/LETTER.LET   RECORDS records (32,767 unless given): Name|Balance|Due|Town, pipe-delimited,
                    field names on the first line, every line ended by LF, Windows-1252;
                    balances positive, negative and zero, due dates as yyyy-mm-dd
FOLDER/fields.dot   the letter as Word saves a template (Office Open XML under the .dot name):
                    a header with MERGEFIELD Town, a few paragraphs with MERGEFIELD Name,
                    MERGEFIELD Balance \\# "#,##0.00", MERGEFIELD Due \\@ "d MMMM yyyy" and
                    IF { MERGEFIELD Balance } > 0 "owe us money" "owe nothing", each complex
                    field's code and result split over several runs as Word splits them
FOLDER/plain.dot    the same letter with plain MERGEFIELDs only (no switches, no IF)
"""
import os
import sys
import zipfile

W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
R = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG = "http://schemas.openxmlformats.org/package/2006/relationships"
DECL = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\r\n'
FONT = ('<w:rPr><w:rFonts w:ascii="Calibri" w:hAnsi="Calibri" w:cs="Calibri"/>'
        '<w:lang w:val="en-GB"/></w:rPr>')


def run(text, rsid="00A1B2C3", props=FONT):
    space = ' xml:space="preserve"' if text != text.strip() else ""
    text = text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
    return f'<w:r w:rsidR="{rsid}">{props}<w:t{space}>{text}</w:t></w:r>'


def char(kind):
    return f'<w:r>{FONT}<w:fldChar w:fldCharType="{kind}"/></w:r>'


def instr(text, rsid="00A1B2C3"):
    text = text.replace("&", "&amp;").replace('"', "&quot;")
    return f'<w:r w:rsidR="{rsid}">{FONT}<w:instrText xml:space="preserve">{text}</w:instrText></w:r>'


def field(code_pieces, result_pieces):
    """A complex field: its code over several instrText runs (or nested fields), its shown
    result over several runs."""
    code = "".join(p if p.startswith("<") else instr(p) for p in code_pieces)
    return (char("begin") + code + char("separate") + "".join(run(r) for r in result_pieces) +
            char("end"))


def merge_field(name, switch="", plain=False):
    if plain or not switch:
        return field([" MERGEFIELD ", name + " "], ["«", name, "»"])
    # Word splits the code where the operator typed it: name, switch and picture apart.
    return field([" MERGEFIELD ", name, " " + switch.split(" ", 1)[0] + " ",
                  switch.split(" ", 1)[1] + " "], ["«", name, "»"])


def if_field():
    nested = field([" MERGEFIELD Balance "], ["«Balance»"])
    return field([" IF ", nested, " > 0 ", '"owe us money" ', '"owe nothing" '],
                 ["owe ", "nothing"])


def paragraph(*content, style=None):
    ppr = f'<w:pPr><w:pStyle w:val="{style}"/></w:pPr>' if style else ""
    return f'<w:p w:rsidR="00A1B2C3" w:rsidRDefault="00A1B2C3">{ppr}{"".join(content)}</w:p>'


FILLER = ("We write about your account with Vantrelle Supplies. Statements go out at the start "
          "of each month and list every delivery, credit note and payment received in the "
          "month before. If you have paid since the date of this letter, please accept our "
          "thanks and disregard this notice.")
FILLER2 = ("Payments can be made by bank transfer quoting your account name, or by cheque sent "
           "to our office. Should you have any question about the figures above, our accounts "
           "team will be glad to help on weekdays between nine and five.")


def body(plain):
    if plain:
        balance = merge_field("Balance", plain=True)
        due = merge_field("Due", plain=True)
        owing = run("owe us or are owed")
    else:
        balance = merge_field("Balance", '\\# "#,##0.00"')
        due = merge_field("Due", '\\@ "d MMMM yyyy"')
        owing = if_field()
    return "".join([
        paragraph(run("Vantrelle Supplies Ltd, Accounts Department"), style="Title"),
        paragraph(run("Dear "), merge_field("Name"), run(",")),
        paragraph(run(FILLER)),
        paragraph(run("On "), due, run(" you "), owing, run(": the balance of your account is "),
                  balance, run(" pounds.")),
        paragraph(run(FILLER2)),
        paragraph(run("Yours sincerely,")),
        paragraph(),
        paragraph(run("Accounts Department")),
    ])


def document(plain):
    sect = ('<w:sectPr w:rsidR="00A1B2C3"><w:headerReference w:type="default" r:id="rId8"/>'
            '<w:pgSz w:w="11906" w:h="16838"/><w:pgMar w:top="1440" w:right="1440" '
            'w:bottom="1440" w:left="1440" w:header="708" w:footer="708" w:gutter="0"/>'
            '<w:cols w:space="708"/><w:docGrid w:linePitch="360"/></w:sectPr>')
    return (DECL + f'<w:document xmlns:w="{W}" xmlns:r="{R}"><w:body>' + body(plain) + sect +
            "</w:body></w:document>")


def header():
    return (DECL + f'<w:hdr xmlns:w="{W}" xmlns:r="{R}">' +
            paragraph(run("Vantrelle Supplies, branch of "), merge_field("Town"), style="Header") +
            "</w:hdr>")


STYLES = (DECL + f'<w:styles xmlns:w="{W}"><w:docDefaults><w:rPrDefault><w:rPr>'
          '<w:rFonts w:ascii="Calibri" w:hAnsi="Calibri" w:cs="Calibri"/><w:sz w:val="22"/>'
          '<w:lang w:val="en-GB"/></w:rPr></w:rPrDefault><w:pPrDefault><w:pPr>'
          '<w:spacing w:after="160" w:line="259" w:lineRule="auto"/></w:pPr></w:pPrDefault>'
          '</w:docDefaults><w:style w:type="paragraph" w:default="1" w:styleId="Normal">'
          '<w:name w:val="Normal"/><w:qFormat/></w:style><w:style w:type="paragraph" '
          'w:styleId="Title"><w:name w:val="Title"/><w:basedOn w:val="Normal"/><w:rPr><w:b/>'
          '<w:sz w:val="32"/></w:rPr></w:style><w:style w:type="paragraph" w:styleId="Header">'
          '<w:name w:val="header"/><w:basedOn w:val="Normal"/></w:style></w:styles>')

# A main document with the merge file attached, as Word saves one.
SETTINGS = (DECL + f'<w:settings xmlns:w="{W}" xmlns:r="{R}"><w:mailMerge>'
            '<w:mainDocumentType w:val="formLetters"/><w:linkToQuery/>'
            '<w:dataType w:val="textFile"/><w:query w:val="SELECT * FROM LETTER.LET"/>'
            '<w:dataSource r:id="rId1"/></w:mailMerge><w:defaultTabStop w:val="720"/>'
            '<w:characterSpacingControl w:val="doNotCompress"/></w:settings>')

CONTENT_TYPES = (
    DECL + '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
    '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
    '<Default Extension="xml" ContentType="application/xml"/>'
    '<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml"/>'
    '<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>'
    '<Override PartName="/word/settings.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"/>'
    '<Override PartName="/word/header1.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml"/>'
    '<Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>'
    '</Types>')

RELS = (DECL + f'<Relationships xmlns="{PKG}">'
        f'<Relationship Id="rId1" Type="{R}/officeDocument" Target="word/document.xml"/>'
        '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/'
        'relationships/metadata/core-properties" Target="docProps/core.xml"/></Relationships>')

DOCUMENT_RELS = (
    DECL + f'<Relationships xmlns="{PKG}">'
    f'<Relationship Id="rId3" Type="{R}/styles" Target="styles.xml"/>'
    f'<Relationship Id="rId4" Type="{R}/settings" Target="settings.xml"/>'
    f'<Relationship Id="rId8" Type="{R}/header" Target="header1.xml"/></Relationships>')

SETTINGS_RELS = (
    DECL + f'<Relationships xmlns="{PKG}">'
    f'<Relationship Id="rId1" Type="{R}/mailMergeSource" '
    'Target="file:///C:\\Quorvane\\data\\LETTER.LET" TargetMode="External"/></Relationships>')

CORE = (DECL + '<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/'
        'metadata/core-properties" xmlns:dc="http://purl.org/dc/elements/1.1/">'
        '<dc:title>Balance letter</dc:title><dc:creator>Accounts</dc:creator>'
        '</cp:coreProperties>')


def write_template(path, plain):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", CONTENT_TYPES)
        z.writestr("_rels/.rels", RELS)
        z.writestr("word/document.xml", document(plain))
        z.writestr("word/_rels/document.xml.rels", DOCUMENT_RELS)
        z.writestr("word/styles.xml", STYLES)
        z.writestr("word/settings.xml", SETTINGS)
        z.writestr("word/_rels/settings.xml.rels", SETTINGS_RELS)
        z.writestr("word/header1.xml", header())
        z.writestr("docProps/core.xml", CORE)


FIRST = ["Alva", "Bjørn", "Chloé", "Desmond", "Eithne", "François", "Greta", "Hamish", "Iñigo",
         "Jolene", "Kasimir", "Léa", "Murdo", "Nuala", "Oskar", "Perpetua"]
LAST = ["Brennick", "Østergaard", "Castellane", "Dunmore", "Eßlinger", "Fairweather", "Goulding",
        "Hartigan", "Ibáñez", "Jessop", "Kilbride", "Lomax", "McAteer", "Nolan", "O'Rourke"]
TOWNS = ["Aberdeen", "Bruxelles", "Cork", "Düsseldorf", "Exeter", "Málaga", "Galway", "Harrogate",
         "Inverness", "Jönköping", "Kendal", "Lund", "Montréal", "Norwich"]


def write_records(path, count):
    with open(path, "w", encoding="cp1252", newline="") as f:
        f.write("Name|Balance|Due|Town\n")
        for r in range(1, count + 1):
            name = f"{FIRST[r % len(FIRST)]} {LAST[(r * 7) % len(LAST)]}"
            kind = r % 5
            cents = (r * 7919) % 2_000_000
            if kind == 0:
                balance = "0"
            elif kind == 1:
                balance = f"-{cents // 100}.{cents % 100:02d}"
            else:
                balance = f"{cents // 100}.{cents % 100:02d}"
            due = f"{2020 + r % 7}-{1 + r % 12:02d}-{1 + r % 28:02d}"
            f.write(f"{name}|{balance}|{due}|{TOWNS[(r * 3) % len(TOWNS)]}\n")


def main():
    folder = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 32767
    os.makedirs(folder, exist_ok=True)
    write_records(os.path.join(folder, "LETTER.LET"), count)
    write_template(os.path.join(folder, "fields.dot"), plain=False)
    write_template(os.path.join(folder, "plain.dot"), plain=True)


if __name__ == "__main__":
    main()
