"""LibreOffice's mail merge making one PDF per record, over UNO to a running office: the peer of
"quorvane merge NAME --to pdf --each PATTERN".

  lomergeeach.py PORT FOLDER TEMPLATE OUTDIR

As bench/window/lomerge.py (the same data source and main document), but the MailMerge service
saves every record as a file of its own (SaveAsSingleFile false) through the PDF export filter
(SaveFilter writer_pdf_Export), the file names taken from the Name column (FileNameFromColumn).
Only the merge is timed. Prints "ms=<merge> records=<n> files=<PDF files written>".
"""
import glob
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "window"))
import lomerge  # noqa: E402
import uno  # noqa: E402


def main():
    port, folder, template, outdir = sys.argv[1:5]
    ctx = lomerge.connect(port)
    table = "LETTER"
    count = lomerge.register_source(ctx, folder, table)
    os.makedirs(outdir, exist_ok=True)
    main_path = os.path.join(os.path.abspath(outdir), "main.odt")
    lomerge.main_document(ctx, template, table, main_path)
    merge = ctx.ServiceManager.createInstanceWithContext("com.sun.star.text.MailMerge", ctx)
    merge.DocumentURL = uno.systemPathToFileUrl(main_path)
    merge.DataSourceName, merge.Command, merge.CommandType = lomerge.SOURCE, table, lomerge.TABLE
    merge.OutputType = lomerge.TO_FILE
    merge.OutputURL = uno.systemPathToFileUrl(os.path.abspath(outdir))
    merge.SaveAsSingleFile = False
    merge.FileNameFromColumn, merge.FileNamePrefix = True, "Name"  # the column named
    merge.SaveFilter = "writer_pdf_Export"
    start = time.time()
    print(f"start={int(start * 1000)}", flush=True)
    merge.execute(())
    ms = int((time.time() - start) * 1000)
    files = len(glob.glob(os.path.join(outdir, "*.pdf")))
    print(f"ms={ms} records={count} files={files}", flush=True)
    if files < count:
        raise SystemExit(f"LibreOffice's mail merge wrote {files} PDF files of {count}")


if __name__ == "__main__":
    main()
