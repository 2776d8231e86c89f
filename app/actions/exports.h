#pragma once

class Form2;

// The output commands of the main window, on the merge file the details panel shows. Each restores
// the status text, the pointer and the window whatever happens, and tells the operator in a
// message box what went wrong.

// "Create a New Document": a new Word document with the merge file
// attached.
void createMergeDocument(Form2& form);
// "Complete Merge": the merge file merged into its template
// Word/<name>.dot.
void mergeIntoTemplate(Form2& form);
// "Export to Microsoft Excel": every record into a new workbook.
void exportToSpreadsheet(Form2& form);
// "Export to HTML Document": every record into "output.html", then opened.
void exportToHtml(Form2& form);
