#include "mergefiles/recordtable.h"

#include "mergefiles/mergefile.h"
#include "mergefiles/mergerecordmodel.h"
#include "platform/codepage.h"

bool loadRecordTable(MergeRecordModel& model, const QString& copyPath, qint64 recordsToLoad) {
    model.clear();
    bool opened = false;
    QByteArray text = readMergeBytes(copyPath, " ", &opened);
    if (!opened)
        return false;
    const qsizetype h = text.indexOf('\n');
    if (h >= 0)
        for (const QString& name : splitMergeLine(qv::codepage::decode(text.constData(), h)))
            model.addColumn(name);
    if (!model.setSourceText(std::move(text))) {
        model.clear();
        return false;
    }
    model.loadRecords(h, recordsToLoad, [](qint64) {});
    return true;
}

QStringList recordTableRow(const QAbstractItemModel& model, int r) {
    // The record list's own model hands its values over without a variant per cell.
    if (const auto* records = qobject_cast<const MergeRecordModel*>(&model);
        records && r >= 0 && r < records->rowCount())
        return records->rowValues(r);
    QStringList cells;
    for (int c = 0; c < model.columnCount(); ++c)
        cells << model.data(model.index(r, c), Qt::DisplayRole).toString();
    return cells;
}

QStringList recordTableTitles(const QAbstractItemModel& model) {
    QStringList titles;
    for (int c = 0; c < model.columnCount(); ++c)
        titles << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return titles;
}
