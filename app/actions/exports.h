#pragma once

class Form2;

// The output commands of the main window, on the merge file selected in Text1. Each restores
// the status text, the pointer and the window whatever happens, and tells the operator in a
// message box what went wrong.

// "Create a New Document" (Command3): a new Word document with the merge file attached.
void CreateMergeDocument(Form2& form);
// "Complete Merge" (Command4): the merge file merged into its template Word/<name>.dot.
void MergeIntoTemplate(Form2& form);
// "Export to Microsoft Excel" (Command7): every record into a new workbook.
void ExportToSpreadsheet(Form2& form);
// "Export to HTML Document" (Command11): every record into "output.html", then opened.
void ExportToHtml(Form2& form);
