"""Reads the files Quorvane makes through a running LibreOffice (UNO), and prints JSON.

  unocheck.py PORT document FILE.odt [WORKDIR]  the data source, its fields and records; with
                                             WORKDIR also the letters of LibreOffice's own mail
                                             merge (LibreOffice 7.4 runs one mail merge from an
                                             embedded database per session: its temporary copy
                                             of the main document stays locked)
  unocheck.py PORT text FILE                 body paragraphs, the cells of every table (row by
                                             row), and the header and footer of every page
                                             style the body uses, in order
  unocheck.py PORT sheet FILE                every cell of the first sheet's used area
  unocheck.py PORT stop                      ends the office
"""
import glob
import json
import os
import sys
import time

import uno
from com.sun.star.beans import PropertyValue

QUERY = 1       # com.sun.star.sdb.CommandType.QUERY
TO_FILES = 2    # com.sun.star.text.MailMergeType.FILE


def prop(name, value):
    p = PropertyValue()
    p.Name, p.Value = name, value
    return p


def connect(port):
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext(
        "com.sun.star.bridge.UnoUrlResolver", local)
    url = "uno:socket,host=127.0.0.1,port=%s;urp;StarOffice.ComponentContext" % port
    for _ in range(60):
        try:
            return resolver.resolve(url)
        except Exception:
            time.sleep(0.5)
    return resolver.resolve(url)


def load(ctx, path):
    desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
    doc = desktop.loadComponentFromURL(uno.systemPathToFileUrl(os.path.abspath(path)), "_blank", 0,
                                       (prop("Hidden", True),))
    if doc is None:
        raise SystemExit("LibreOffice cannot load " + path)
    return doc


def records(ctx, source, command):
    rows = ctx.ServiceManager.createInstanceWithContext("com.sun.star.sdb.RowSet", ctx)
    rows.DataSourceName, rows.Command, rows.CommandType = source, command, QUERY
    rows.execute()
    meta = rows.MetaData
    names = [meta.getColumnName(i + 1) for i in range(meta.ColumnCount)]
    types = [meta.getColumnTypeName(i + 1) for i in range(meta.ColumnCount)]
    values = []
    while rows.next():
        values.append([rows.getString(i + 1) for i in range(len(names))])
    rows.dispose()
    return names, types, values


def visible_tables(ctx, source):
    context = ctx.ServiceManager.createInstanceWithContext("com.sun.star.sdb.DatabaseContext", ctx)
    connection = context.getByName(source).getConnection("", "")
    try:
        return (list(connection.getTables().getElementNames()),
                list(connection.getQueries().getElementNames()))
    finally:
        connection.close()


def insert_fields(doc, source, command, names):
    """One paragraph per field: "name=" and a database field showing its value."""
    text = doc.Text
    cursor = text.createTextCursor()
    cursor.gotoEnd(False)
    for name in names:
        master = doc.createInstance("com.sun.star.text.FieldMaster.Database")
        master.DataBaseName, master.DataTableName = source, command
        master.DataCommandType, master.DataColumnName = QUERY, name
        field = doc.createInstance("com.sun.star.text.TextField.Database")
        field.attachTextFieldMaster(master)
        text.insertString(cursor, name + "=", False)
        text.insertTextContent(cursor, field, False)
        text.insertControlCharacter(cursor, 0, False)  # PARAGRAPH_BREAK


def mail_merge(ctx, main, source, command, workdir):
    merge = ctx.ServiceManager.createInstanceWithContext("com.sun.star.text.MailMerge", ctx)
    merge.DocumentURL = uno.systemPathToFileUrl(main)
    merge.DataSourceName, merge.Command, merge.CommandType = source, command, QUERY
    merge.OutputType, merge.OutputURL = TO_FILES, uno.systemPathToFileUrl(workdir)
    merge.FileNamePrefix, merge.SaveAsSingleFile = "letter", False
    merge.execute(())
    letters = sorted(glob.glob(os.path.join(workdir, "letter*.odt")),
                     key=lambda p: int(os.path.basename(p)[6:-4] or 0))
    texts = []
    for path in letters:
        doc = load(ctx, path)
        texts.append(doc.Text.String.replace("\r\n", "\n").rstrip("\n").split("\n"))
        doc.close(True)
    return texts


def document(ctx, path, workdir):
    doc = load(ctx, path)
    settings = doc.createInstance("com.sun.star.document.Settings")
    source = settings.CurrentDatabaseDataSource
    command = settings.CurrentDatabaseCommand
    out = {"source": source, "command": command,
           "commandType": settings.CurrentDatabaseCommandType}
    out["fields"], out["types"], out["records"] = records(ctx, source, command)
    out["tables"], out["queries"] = visible_tables(ctx, source)
    if not workdir:
        doc.close(True)
        return out
    insert_fields(doc, source, command, out["fields"])
    os.makedirs(workdir, exist_ok=True)
    main = os.path.join(workdir, "main.odt")
    doc.storeToURL(uno.systemPathToFileUrl(main), (prop("FilterName", "writer8"),))
    doc.close(True)
    out["letters"] = mail_merge(ctx, main, source, command, workdir)
    return out


def text(ctx, path):
    doc = load(ctx, path)
    body, styles, tables = [], [], []
    paragraphs = doc.Text.createEnumeration()
    while paragraphs.hasMoreElements():
        p = paragraphs.nextElement()
        if p.supportsService("com.sun.star.text.TextTable"):
            tables.append([p.getCellByName(n).String for n in p.getCellNames()])
        elif p.supportsService("com.sun.star.text.Paragraph"):
            body.append(p.String)
            if p.PageStyleName and (not styles or styles[-1] != p.PageStyleName):
                styles.append(p.PageStyleName)
    page_styles = doc.StyleFamilies.getByName("PageStyles")
    headers, footers = [], []
    for name in styles:
        style = page_styles.getByName(name)
        headers.append(style.HeaderText.String if style.HeaderIsOn else "")
        footers.append(style.FooterText.String if style.FooterIsOn else "")
    # Every field LibreOffice finds in the document: its kind and its code.
    fields = []
    found = doc.TextFields.createEnumeration()
    while found.hasMoreElements():
        f = found.nextElement()
        fields.append(f.getImplementationName() + ": " + f.getPresentation(True))
    doc.close(True)
    return {"body": body, "headers": headers, "footers": footers, "fields": fields,
            "tables": tables}


def sheet(ctx, path):
    doc = load(ctx, path)
    first = doc.Sheets.getByIndex(0)
    cursor = first.createCursor()
    cursor.gotoEndOfUsedArea(False)
    end = cursor.RangeAddress
    kinds = {"EMPTY": "empty", "TEXT": "text", "VALUE": "number"}
    rows = []
    for r in range(end.EndRow + 1):
        row = []
        for c in range(end.EndColumn + 1):
            cell = first.getCellByPosition(c, r)
            row.append([kinds.get(cell.Type.value, "formula"), cell.String])
        rows.append(row)
    doc.close(True)
    return {"rows": rows}


def main():
    port, command = sys.argv[1], sys.argv[2]
    ctx = connect(port)
    if command == "stop":
        desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
        try:
            desktop.terminate()
        except Exception:
            pass  # the bridge goes down with the office
        result = {"stopped": True}
    elif command == "document":
        result = document(ctx, sys.argv[3], sys.argv[4] if len(sys.argv) > 4 else "")
    elif command == "text":
        result = text(ctx, sys.argv[3])
    elif command == "sheet":
        result = sheet(ctx, sys.argv[3])
    else:
        raise SystemExit("unknown command " + command)
    print(json.dumps(result, ensure_ascii=False))


if __name__ == "__main__":
    main()
