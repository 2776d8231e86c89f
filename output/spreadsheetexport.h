#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Copying the record list into a new workbook, as automation calls: one row per record, one
// column per value from A on (after Z: AA, AB, ...), no row of names; every used column and at
// least A to Z fitted; the workbook shown. Failures throw qv::automation::Error.
namespace qv::output {

struct SpreadsheetExport {
    qsizetype rowCount = 0; // rows of the record list
    int recordCount = 0;    // the merge file's record count, for the progress texts
    // Selects row r (from 1) of the list and returns its text followed by its sub-items.
    std::function<QStringList(qsizetype r)> row;
    // The progress window: shown with its maximum, captioned, advanced, closed. May be empty.
    std::function<void(int maximum)> showProgress;
    std::function<void(const QString& caption)> setCaption;
    std::function<void(qsizetype r, const QString& text)> progress;
    std::function<void()> closeProgress;
    // Asked after every row; true ends the export there, with nothing saved or shown. May be
    // empty.
    std::function<bool()> cancelled;
};

// "Exporting to Excel r of n".
QString spreadsheetProgressText(qsizetype r, int recordCount);

void exportToSpreadsheet(const SpreadsheetExport& exp);

} // namespace qv::output
