#!/usr/bin/env python3
"""Writes the demo's merge files and the sample template.

usage: make_samples.py <ftp root> <program folder>

Merge files go to <ftp root>/u/vantrelle/accounts/ (Windows-1252, LF line ends, "|" between
fields, header row first); the Word template of OVERDUE goes to <program folder>/Word/OVERDUE.dot
unless one is there already.
"""
import os
import random
import sys
import zipfile

FIRST = ["Aoife", "Brendan", "Ciara", "Declan", "Eimear", "Fionn", "Gráinne", "Hugh", "Íde",
         "Jarlath", "Kevin", "Laoise", "Maeve", "Niall", "Orla", "Pádraig", "Róisín", "Seán",
         "Tadhg", "Úna"]
LAST = ["Byrne", "Costello", "Doyle", "Fitzgerald", "Gallagher", "Kavanagh", "Lynch",
        "McCarthy", "Ní Bhriain", "O'Connor", "Power", "Quinn", "Ryan", "Walsh"]
STREETS = ["Main Street", "Church Road", "Quay Street", "Bridge Lane", "Mill Road", "Strand Road"]
TOWNS = [("Cork", "T12"), ("Sligo", "F91"), ("Galway", "H91"), ("Kilkenny", "R95"),
         ("Tralee", "V92"), ("Westport", "F28")]


def person(rng, i):
    first, last = rng.choice(FIRST), rng.choice(LAST)
    town, code = rng.choice(TOWNS)
    return {
        "Account": f"{100000 + i:07d}",
        "Title": rng.choice(["Mr", "Ms", "Dr", "Mrs"]),
        "Name": f"{first} {last}",
        "Address": f"{rng.randint(1, 120)} {rng.choice(STREETS)}",
        "Town": town,
        "Postcode": f"{code} {rng.randint(1000, 9999):04d}",
        "Balance": f"{rng.randint(0, 250000) / 100:.2f}",
        "Due": f"{rng.randint(1, 28):02d}/{rng.randint(1, 12):02d}/2027",
        "Plan": rng.choice(["Standard", "Premium", "Café Plus", "Basic"]),
        "Renewal": f"€{rng.randint(40, 400)}",
    }


def write_merge(path, fields, rows):
    lines = ["|".join(fields)] + ["|".join(r[f] for f in fields) for r in rows]
    with open(path, "wb") as f:
        f.write(("\n".join(lines) + "\n").encode("cp1252"))


CONTENT_TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>
</Types>"""

RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>
</Relationships>"""


def para(*runs):
    return "<w:p>" + "".join(runs) + "</w:p>"


def text(t):
    return f'<w:r><w:t xml:space="preserve">{t}</w:t></w:r>'


def field(name):
    # A complex field, the way word processors usually store MERGEFIELD.
    return ('<w:r><w:fldChar w:fldCharType="begin"/></w:r>'
            f'<w:r><w:instrText xml:space="preserve"> MERGEFIELD {name} </w:instrText></w:r>'
            '<w:r><w:fldChar w:fldCharType="separate"/></w:r>'
            f'<w:r><w:t>«{name}»</w:t></w:r>'
            '<w:r><w:fldChar w:fldCharType="end"/></w:r>')


def write_template(path):
    body = "".join([
        para(field("Title"), text(" "), field("Name")),
        para(field("Address")),
        para(field("Town"), text(" "), field("Postcode")),
        para(),
        para(text("Account "), field("Account")),
        para(),
        para(text("Dear "), field("Title"), text(" "), field("Name"), text(",")),
        para(text("Our records show a balance of €"), field("Balance"),
             text(" on your account, due on "), field("Due"), text(".")),
        para(text("If you have already paid, please accept our thanks and disregard this letter.")),
        para(),
        para(text("Yours sincerely,")),
        para(text("Accounts Department")),
    ])
    document = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                '<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">'
                f"<w:body>{body}</w:body></w:document>")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", CONTENT_TYPES)
        z.writestr("_rels/.rels", RELS)
        z.writestr("word/document.xml", document)


def main():
    ftp_root, program_folder = sys.argv[1], sys.argv[2]
    accounts = os.path.join(ftp_root, "u", "vantrelle", "accounts")
    os.makedirs(accounts, exist_ok=True)
    rng = random.Random(2027)
    people = [person(rng, i) for i in range(5000)]

    write_merge(os.path.join(accounts, "OVERDUE.LET"),
                ["Account", "Title", "Name", "Address", "Town", "Postcode", "Balance", "Due"],
                people[:12])
    write_merge(os.path.join(accounts, "CUSTOMERS.LET"),
                ["Account", "Name", "Address", "Town", "Postcode", "Plan"], people[:400])
    write_merge(os.path.join(accounts, "RENEWALS.LET"),
                ["Account", "Title", "Name", "Address", "Town", "Postcode", "Plan", "Renewal",
                 "Due"], people)
    open(os.path.join(accounts, "EMPTY.LET"), "wb").close()

    word = os.path.join(program_folder, "Word")
    os.makedirs(word, exist_ok=True)
    template = os.path.join(word, "OVERDUE.dot")
    if not os.path.exists(template):
        write_template(template)


if __name__ == "__main__":
    main()
