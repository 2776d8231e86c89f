#pragma once

#include <QString>

#include <functional>

class Form2;
class MergeRecordModel;

// The record list lw1 below the browser: one column per field name of the selected merge file
// (Text1), one row per record, at most RecordsToLoad records.

// The model behind lw1, installed on first use. The exports read the loaded rows from here:
// rowCount(), columnCount(), title(column), text(row, column), rowValues(row).
MergeRecordModel& RecordListModel(Form2& form);

// Fills lw1 from <program folder>/data/<Text1>.LET: columns from the header, then up to
// RecordsToLoad records, with the progress window counting "Loading Record i of n". An empty
// record line adds no row (the next record takes the next row); a record with more values than
// the header has names gets further, untitled columns. When the file cannot be read, lw1 stays
// hidden and the browser keeps its full height. The click action of Command5.
void LoadMergeRecords(Form2& form);

// Adds the column for LineParts(FieldIndex), 2500 twips wide, and its name to FieldTip's text.
void AddFieldColumn(Form2& form);

// Places LineParts(FieldIndex) into the row being built: a new row for FieldIndex 0, else its
// sub-item FieldIndex (adding untitled columns when there are more values than columns).
void AddRecordValue(Form2& form);

// Double click on lw1: between its normal place below the browser and nearly the whole window.
void ToggleRecordListSize(Form2& form);

// The status line of the progress window for record i of n.
QString RecordLoadText(qint64 i, qint64 n);
