#include "output/spreadsheetexport.h"

#include "output/automation.h"
#include "output/spreadsheet.h"

#include <QLocale>
#include <vector>

namespace qv::output {

using automation::Omitted;

QString spreadsheetProgressText(qsizetype r, int recordCount) {
    return QStringLiteral("Exporting to Excel %1 of %2").arg(r).arg(recordCount);
}

void exportToSpreadsheet(const SpreadsheetExport& exp) {
    if (exp.rowCount > xlsx::kMaxRows)
        throw automation::Error{
            QStringLiteral("The merge file holds %1 records, but a worksheet holds at most %2 "
                           "rows. Nothing was exported.")
                .arg(QLocale().toString(exp.rowCount), QLocale().toString(xlsx::kMaxRows))};
    auto excel = automation::CreateObject<automation::ExcelApplicationObject>(
        QStringLiteral("excel.application"));
    if (exp.showProgress)
        exp.showProgress(exp.recordCount);
    excel->Workbooks().Add(Omitted, automation::kLocaleEnglishUS);
    if (exp.setCaption)
        exp.setCaption(QStringLiteral("Exporting to Excel"));
    qsizetype columns = 26;       // A to Z are always fitted
    std::vector<QString> letters; // the letters of each column, made once
    const auto letterOf = [&letters](qsizetype k) -> const QString& {
        while (static_cast<qsizetype>(letters.size()) <= k)
            letters.push_back(xlsx::columnLetters(static_cast<int>(letters.size())));
        return letters[static_cast<size_t>(k)];
    };
    for (qsizetype r = 1; r <= exp.rowCount; ++r) {
        const QStringList cells = exp.row(r);
        if (cells.size() > xlsx::kMaxColumns)
            throw automation::Error{
                QStringLiteral("Record %1 holds %2 values, but a worksheet holds at most %3 "
                               "columns. Nothing was exported.")
                    .arg(r)
                    .arg(cells.size())
                    .arg(xlsx::kMaxColumns)};
        const QString row = QString::number(r);
        excel->Range(QString(letterOf(0) + row), Omitted)
            ->setValue(cells.isEmpty() ? QString() : cells[0]);
        if (exp.progress)
            exp.progress(r, spreadsheetProgressText(r, exp.recordCount));
        for (qsizetype k = 1; k < cells.size(); ++k)
            excel->Range(QString(letterOf(k) + row), Omitted)->setValue(cells[k]);
        columns = std::max(columns, cells.size());
        if (exp.cancelled && exp.cancelled()) {
            if (exp.closeProgress)
                exp.closeProgress();
            return; // the workbook is saved only when it is shown
        }
    }
    if (exp.closeProgress)
        exp.closeProgress();
    automation::ExcelWorksheet& sheet = excel->Workbooks().Item(1).Sheets().Item(1);
    for (int c = 0; c < columns; ++c) {
        const QString letter = xlsx::columnLetters(c);
        sheet.Range(QString(letter + QLatin1Char(':') + letter), Omitted)->Columns()->AutoFit();
    }
    excel->setVisible(automation::kLocaleEnglishUS, true);
    excel->Release();
}

} // namespace qv::output
