"""Checks a document a benchmark's side wrote before its time counts: that it opens as what it
claims to be and holds the work asked for.

  checkdoc.py xlsx FILE ROWS    a whole package whose first sheet has ROWS rows
  checkdoc.py html FILE ROWS    a page holding at least ROWS table rows
  checkdoc.py docx FILE COUNT TEXT
                                a whole package whose document holds TEXT COUNT times (the
                                merged letters), read in pieces: it may be far larger than memory

Exits 0 when it holds; otherwise prints what is wrong and exits 1.
"""
import re
import sys
import zipfile


def count_in_member(archive, name, needle):
    """How many times needle occurs in a member, read in pieces."""
    found, tail = 0, b""
    with archive.open(name) as member:
        while True:
            piece = member.read(1 << 22)
            if not piece:
                return found
            block = tail + piece
            found += block.count(needle)
            # Keep the end that may hold the start of a needle cut in two (never a whole one).
            tail = block[-(len(needle) - 1):] if len(needle) > 1 else b""


def check_package(path, member, needle, expected, exact=True):
    try:
        with zipfile.ZipFile(path) as archive:
            bad = archive.testzip()
            if bad is not None:
                return f"{path}: the member {bad} is damaged"
            if member not in archive.namelist():
                return f"{path}: no {member}"
            found = count_in_member(archive, member, needle)
    except (OSError, zipfile.BadZipFile) as error:
        return f"{path} does not open: {error}"
    if (found != expected) if exact else (found < expected):
        return f"{path}: {found} of {expected} {needle.decode()!r} in {member}"
    return None


def check_xlsx(path, rows):
    return check_package(path, "xl/worksheets/sheet1.xml", b"<row ", int(rows))


def check_html(path, rows):
    try:
        with open(path, "rb") as f:
            text = f.read()
    except OSError as error:
        return f"{path} does not open: {error}"
    found = len(re.findall(rb"<tr[\s>]", text, re.IGNORECASE))
    if found < int(rows):
        return f"{path}: {found} table rows of at least {rows}"
    return None


def check_docx(path, count, text):
    return check_package(path, "word/document.xml", text.encode("utf-8"), int(count))


def main():
    kind, *args = sys.argv[1:]
    checks = {"xlsx": check_xlsx, "html": check_html, "docx": check_docx}
    if kind not in checks:
        print(f"unknown kind {kind}")
        return 2
    problem = checks[kind](*args)
    if problem:
        print(problem)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
