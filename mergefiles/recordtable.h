#pragma once

#include <QString>
#include <QStringList>

class QAbstractItemModel;
class MergeRecordModel;

// The record list's rows and columns, read as the exports read them, and filled without a window
// as the record loader fills them.

// Columns from the header of the copy at copyPath, then up to recordsToLoad records. False when
// the copy cannot be read (the model is then empty).
bool loadRecordTable(MergeRecordModel& model, const QString& copyPath, qint64 recordsToLoad);

// Row r (from 0): every column's text, in column order.
QStringList recordTableRow(const QAbstractItemModel& model, int r);

// The column titles, in column order.
QStringList recordTableTitles(const QAbstractItemModel& model);
