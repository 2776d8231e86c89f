#include "mergefiles/mergerecordmodel.h"

#include "platform/codepage.h"

#include <algorithm>
#include <cstring>

MergeRecordModel::MergeRecordModel(QObject* parent) : QAbstractTableModel(parent) {
    rowFirst_.push_back(0);
}

int MergeRecordModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rowFirst_.size() - 1);
}

int MergeRecordModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant MergeRecordModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return text(index.row(), index.column());
    case Qt::DecorationRole:
        if (index.column() == 0 && !rowIcon_.isNull())
            return rowIcon_;
        return {};
    case IconIndexRole:
        return index.column() == 0 ? QVariant(kRowIcon) : QVariant();
    default:
        return {};
    }
}

QVariant MergeRecordModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= titles_.size())
        return {};
    return titles_.at(section);
}

quint32 MergeRecordModel::cellStart(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0)
        return kNoValue;
    const quint32 first = rowFirst_[row];
    const quint32 count = rowFirst_[row + 1] - first;
    return static_cast<quint32>(column) < count ? cells_[first + column] : kNoValue;
}

QString MergeRecordModel::valueAt(quint32 start) const {
    if (start == kNoValue)
        return {};
    const char* begin = text_.constData() + start;
    const char* end = text_.constData() + text_.size();
    const char* p = begin;
    if (start < sourceSize_) {
        end = text_.constData() + sourceSize_;
        while (p < end && *p != '|' && *p != '\n')
            ++p;
    } else {
        const void* lf = std::memchr(p, '\n', end - p);
        p = lf ? static_cast<const char*>(lf) : end;
    }
    return qv::codepage::decode(begin, p - begin);
}

QString MergeRecordModel::text(int row, int column) const {
    return valueAt(cellStart(row, column));
}

QStringList MergeRecordModel::rowValues(int row) const {
    QStringList values;
    if (row < 0 || row >= rowCount())
        return values;
    values.reserve(columnCount());
    for (quint32 c = rowFirst_[row]; c < rowFirst_[row + 1]; ++c)
        values.append(valueAt(cells_[c]));
    while (values.size() < columnCount())
        values.append(QString());
    return values;
}

void MergeRecordModel::setRowIcon(const QIcon& icon) {
    rowIcon_ = icon;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

void MergeRecordModel::clear() {
    beginResetModel();
    text_ = QByteArray();
    sourceSize_ = 0;
    titles_.clear();
    std::vector<quint32>().swap(cells_);
    std::vector<quint32>{0}.swap(rowFirst_);
    endResetModel();
}

int MergeRecordModel::addColumn(const QString& title) {
    const int column = columnCount();
    if (!bulk_)
        beginInsertColumns({}, column, column);
    titles_.append(title);
    if (!bulk_)
        endInsertColumns();
    return column;
}

void MergeRecordModel::ensureColumns(int count) {
    const int have = columnCount();
    if (count <= have)
        return;
    if (!bulk_)
        beginInsertColumns({}, have, count - 1);
    for (int c = have; c < count; ++c)
        titles_.append(QString());
    if (!bulk_)
        endInsertColumns();
}

quint32 MergeRecordModel::appendValue(const QString& value) {
    const auto start = static_cast<quint32>(text_.size());
    QByteArray bytes = qv::codepage::encode(value);
    bytes.replace('\n', ' ');
    text_.append(bytes);
    text_.append('\n');
    return start;
}

int MergeRecordModel::addRow(const QString& value) {
    const int row = rowCount();
    if (!bulk_)
        beginInsertRows({}, row, row);
    cells_.push_back(appendValue(value));
    rowFirst_.push_back(static_cast<quint32>(cells_.size()));
    if (!bulk_)
        endInsertRows();
    return row;
}

bool MergeRecordModel::setSubItem(int row, int column, const QString& value) {
    if (row < 0 || row >= rowCount() || column < 1 || column >= columnCount())
        return false;
    const quint32 first = rowFirst_[row];
    quint32 count = rowFirst_[row + 1] - first;
    if (static_cast<quint32>(column) >= count) {
        if (row != rowCount() - 1)
            return false; // only the last row can grow in place
        while (count <= static_cast<quint32>(column)) {
            cells_.push_back(kNoValue);
            ++count;
        }
        rowFirst_[row + 1] = first + count;
    }
    cells_[first + column] = appendValue(value);
    if (!bulk_)
        emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
    return true;
}

bool MergeRecordModel::setSourceText(QByteArray text) {
    // Values are kept as 32-bit offsets into the text.
    if (text.size() >= static_cast<qsizetype>(kNoValue))
        return false;
    beginResetModel();
    text_ = std::move(text);
    sourceSize_ = text_.size();
    std::vector<quint32>().swap(cells_);
    std::vector<quint32>{0}.swap(rowFirst_);
    endResetModel();
    return true;
}

void MergeRecordModel::beginBulkLoad() {
    if (bulk_)
        return;
    beginResetModel();
    bulk_ = true;
}

void MergeRecordModel::endBulkLoad() {
    if (!bulk_)
        return;
    bulk_ = false;
    endResetModel();
}

void MergeRecordModel::reserve(qsizetype rows, qsizetype columns) {
    if (rows <= 0)
        return;
    rowFirst_.reserve(rowFirst_.size() + rows);
    cells_.reserve(cells_.size() + rows * std::max<qsizetype>(columns, 1));
}

qsizetype MergeRecordModel::appendRecordLine(qsizetype lineFeed) {
    const qsizetype from = lineFeed + 1;
    if (lineFeed < 0 || from > sourceSize_)
        return -1;
    const char* base = text_.constData();
    const void* hit = std::memchr(base + from, '\n', sourceSize_ - from);
    if (!hit)
        return -1;
    const qsizetype end = static_cast<const char*>(hit) - base;
    if (end == from)
        return end; // an empty line: no row, the next record takes the next row

    const bool notify = !bulk_;
    const int row = rowCount();
    if (notify)
        beginInsertRows({}, row, row);
    cells_.push_back(static_cast<quint32>(from));
    const char* p = base + from;
    const char* stop = base + end;
    while (const void* bar = std::memchr(p, '|', stop - p)) {
        p = static_cast<const char*>(bar) + 1;
        cells_.push_back(static_cast<quint32>(p - base));
    }
    const auto values = static_cast<quint32>(cells_.size()) - rowFirst_.back();
    rowFirst_.push_back(static_cast<quint32>(cells_.size()));
    if (notify)
        endInsertRows();
    // A record with more values than the header has names gets further, untitled columns.
    ensureColumns(static_cast<int>(values));
    return end;
}

void MergeRecordModel::reserveFor(qsizetype headerEnd, qint64 recordsToLoad) {
    if (headerEnd < 0 || recordsToLoad <= 0)
        return;
    // Rows: at most one per remaining line; values: about as many per row as the header has.
    qsizetype lines = 0;
    const char* p = text_.constData() + headerEnd + 1;
    const char* end = text_.constData() + sourceSize_;
    while (lines < recordsToLoad && p < end) {
        const void* lf = std::memchr(p, '\n', end - p);
        if (!lf)
            break;
        ++lines;
        p = static_cast<const char*>(lf) + 1;
    }
    reserve(lines, std::max<qsizetype>(columnCount(), 1));
}

qsizetype MergeRecordModel::memoryUse() const {
    return text_.capacity() + static_cast<qsizetype>(cells_.capacity() * sizeof(quint32)) +
           static_cast<qsizetype>(rowFirst_.capacity() * sizeof(quint32));
}
