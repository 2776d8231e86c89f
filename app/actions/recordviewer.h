#pragma once

#include <QString>

class Form2;
class MergeRecordModel;

// The record list below the browser: one column per field name of a merge file, one
// row per record.

// The model behind the record list, installed on first use. The exports read the loaded rows from
// here: rowCount(), columnCount(), title(column), text(row, column), rowValues(row).
MergeRecordModel& recordListModel(Form2& form);

// Fills the record list from <program folder>/data/<storedName>: columns from the header, then up
// to recordsToLoad records, with the progress window counting "Loading Record i of n". An empty
// record line adds no row (the next record takes the next row); a record with more values than
// the header has names gets further, untitled columns. When the file cannot be read,
// the record list stays hidden and the browser keeps its full height. Returns the number of rows
// loaded.
int loadMergeRecords(Form2& form, const QString& storedName, qint64 recordsToLoad);

// Adds the column of a field name, 2500 twips wide, and the name to the "Field Names" tip's text.
void addFieldColumn(Form2& form, const QString& name);

// Places the value of field (from 0) into the row being built: a new row for field 0, else its
// sub-item (adding untitled columns when there are more values than columns).
void addRecordValue(Form2& form, int field, const QString& value);

// Double click on the record list: between its normal place below the browser and nearly the whole
// window.
void toggleRecordListSize(Form2& form);

// The status line of the progress window for record i of n.
QString recordLoadText(qint64 i, qint64 n);
