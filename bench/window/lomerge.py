"""LibreOffice's mail merge of the Complete Merge benchmark, over UNO to a running office.

  lomerge.py PORT FOLDER TEMPLATE OUTDIR

FOLDER holds the merge file (LETTER.LET, as mergeletter.py writes it) and nothing else with its
extension. The merge file is registered as a data source (the flat-file driver: "|" between
fields, field names on the first line, Windows-1252), the template is loaded and its merge
fields are pointed at that data source (Word's merge fields load as database fields that name
none), the result is kept as the main document, then com.sun.star.text.MailMerge merges every
record into one file (SaveAsSingleFile, Office Open XML) in OUTDIR. Only the merge is timed: the
service loading the main document, merging and saving.

Prints "start=<epoch ms>" as the merge starts (a caller that stops a merge running too long
knows how long it ran), then ms=<merge> records=<records in the data source> out=<file written>
and the first merged letter's text, for a look at what LibreOffice made of the fields
(QV_LOMERGE_SHOW=0: not).
"""
import glob
import os
import sys
import time
import zipfile

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.lang import DisposedException

SOURCE = "QuorvaneMergeBench"
TABLE = 0     # com.sun.star.sdb.CommandType.TABLE
TO_FILE = 2   # com.sun.star.text.MailMergeType.FILE
LETTER_TITLE = "Vantrelle Supplies Ltd, Accounts Department"  # the letter's first paragraph


def prop(name, value):
    p = PropertyValue()
    p.Name, p.Value = name, value
    return p


def connect(port):
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext(
        "com.sun.star.bridge.UnoUrlResolver", local)
    url = "uno:socket,host=127.0.0.1,port=%s;urp;StarOffice.ComponentContext" % port
    for _ in range(240):
        try:
            return resolver.resolve(url)
        except Exception:
            time.sleep(0.5)
    return resolver.resolve(url)


def register_source(ctx, folder, table):
    context = ctx.ServiceManager.createInstanceWithContext("com.sun.star.sdb.DatabaseContext", ctx)
    if context.hasByName(SOURCE):
        context.revokeObject(SOURCE)
    source = context.createInstance()
    source.URL = "sdbc:flat:" + uno.systemPathToFileUrl(os.path.abspath(folder))
    source.Info = (prop("Extension", "LET"), prop("HeaderLine", True),
                   prop("FieldDelimiter", "|"), prop("StringDelimiter", '"'),
                   prop("DecimalDelimiter", "."), prop("ThousandDelimiter", ""),
                   prop("CharSet", "windows-1252"))
    odb = os.path.join(os.path.dirname(os.path.abspath(folder)), SOURCE + ".odb")
    source.DatabaseDocument.storeAsURL(uno.systemPathToFileUrl(odb), ())
    context.registerObject(SOURCE, source)
    rows = ctx.ServiceManager.createInstanceWithContext("com.sun.star.sdb.RowSet", ctx)
    rows.DataSourceName, rows.Command, rows.CommandType = SOURCE, table, TABLE
    rows.execute()
    rows.last()
    count = rows.Row
    rows.dispose()
    return count


def load(ctx, path):
    desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
    doc = desktop.loadComponentFromURL(uno.systemPathToFileUrl(os.path.abspath(path)), "_blank", 0,
                                       (prop("Hidden", True),))
    if doc is None:
        raise SystemExit("LibreOffice cannot load " + path)
    return doc


def main_document(ctx, template, table, path):
    """The template with its database fields naming the data source, kept as path."""
    doc = load(ctx, template)
    masters = doc.TextFieldMasters
    for name in masters.ElementNames:
        if name.startswith("com.sun.star.text.fieldmaster.DataBase."):
            master = masters.getByName(name)
            master.DataBaseName, master.DataTableName = SOURCE, table
            master.DataCommandType = TABLE
    doc.TextFields.refresh()
    doc.storeToURL(uno.systemPathToFileUrl(path), (prop("FilterName", "writer8"),))
    doc.close(True)


def complete(path, letters):
    """Whether the file is a whole Office Open XML package holding that many letters."""
    try:
        with zipfile.ZipFile(path) as z:
            body = z.read("word/document.xml").decode("utf-8")
            return z.testzip() is None and body.count(LETTER_TITLE) == letters
    except (OSError, KeyError, UnicodeDecodeError, zipfile.BadZipFile):
        return False


def first_letter(ctx, path):
    """The header and the first lines of the merged document."""
    doc = load(ctx, path)
    try:
        first = doc.Text.createEnumeration().nextElement()
        style = doc.StyleFamilies.getByName("PageStyles").getByName(first.PageStyleName)
        header = style.HeaderText.String if style.HeaderIsOn else ""
        return header, doc.Text.String.replace("\r\n", "\n").split("\n")
    finally:
        doc.close(True)


def main():
    port, folder, template, outdir = sys.argv[1:5]
    ctx = connect(port)
    table = "LETTER"
    count = register_source(ctx, folder, table)
    os.makedirs(outdir, exist_ok=True)
    main_path = os.path.join(os.path.abspath(outdir), "main.odt")
    main_document(ctx, template, table, main_path)

    merge = ctx.ServiceManager.createInstanceWithContext("com.sun.star.text.MailMerge", ctx)
    merge.DocumentURL = uno.systemPathToFileUrl(main_path)
    merge.DataSourceName, merge.Command, merge.CommandType = SOURCE, table, TABLE
    merge.OutputType, merge.OutputURL = TO_FILE, uno.systemPathToFileUrl(os.path.abspath(outdir))
    merge.FileNamePrefix, merge.SaveAsSingleFile = "letters", True
    merge.SaveFilter = "MS Word 2007 XML"
    start = time.time()
    print(f"start={int(start * 1000)}", flush=True)
    try:
        merge.execute(())
        ms, ended = int((time.time() - start) * 1000), True
    except DisposedException:
        ms, ended = None, False  # the office went down: see whether it had saved the result
    written = [p for p in glob.glob(os.path.join(outdir, "letters*")) if os.path.isfile(p)]
    if not written or not complete(written[0], count):
        raise SystemExit(f"LibreOffice's mail merge wrote no file of {count} letters in {outdir}")
    if not ended:
        # LibreOffice 7.4 here at times aborts (signal 6, in a timer) after it has saved the
        # merged document: the merge is timed until that file's last write.
        ms = int((os.stat(written[0]).st_mtime - start) * 1000)
        print("LibreOffice ended abnormally after saving the merged document", file=sys.stderr)
    print(f"ms={ms} records={count} out={written[0]}", flush=True)
    if ended and os.environ.get("QV_LOMERGE_SHOW", "1") == "1" and \
            os.path.getsize(written[0]) < 20_000_000:
        header, lines = first_letter(ctx, written[0])
        print("header: " + header)
        print("\n".join(lines[:12]))


if __name__ == "__main__":
    main()
