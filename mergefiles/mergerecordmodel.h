#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QIcon>
#include <QStringList>

#include <type_traits>
#include <vector>

// The rows and columns of the record list: one column per field name, one row per record; the
// row's text is the record's first value, sub-item k its value k + 1.
//
// Built to hold whole merge files: the model keeps the merge text in its own code page (one byte
// per character) and only the start of each value; values are decoded when asked for. Values
// never contain "|" or LF (they were split at them), which is what ends a value in the text.
class MergeRecordModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MergeRecordModel(QObject* parent = nullptr);

    // Role giving the row's icon number in the record list's image list (3 for every row).
    static constexpr int IconIndexRole = Qt::UserRole + 1;
    static constexpr int kRowIcon = 3;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Plain access for readers of the list (the exports): row and column from 0.
    QString text(int row, int column) const;
    QString title(int column) const { return titles_.value(column); }
    QStringList titles() const { return titles_; }
    QStringList rowValues(int row) const;

    // Picture shown before every row's text.
    void setRowIcon(const QIcon& icon);

    // Removes all rows and columns and the kept text.
    void clear();

    // A column at the end with that title; returns its index.
    int addColumn(const QString& title);

    // A row at the end whose text is value; returns its index.
    int addRow(const QString& value);

    // Sets sub-item `column` (>= 1) of a row; false when the row or column does not exist.
    bool setSubItem(int row, int column, const QString& value);

    // Bulk loading from a merge text (as read with the joiner " "): keep the text, then append
    // one record line at a time. While a bulk load runs, views see one reset at its end instead
    // of one insertion per row.
    // setSourceText drops the rows (not the columns); false for a text of 4 GB or more.
    bool setSourceText(QByteArray text);
    void beginBulkLoad();
    void endBulkLoad();

    // Appends the record that follows the LF at index lineFeed of the source text: a row when the
    // line holds anything, and further untitled columns when it has more values than there are
    // columns. Returns the index of the LF that ends the record, or -1 when there is no further
    // LF (no record, nor any later one).
    qsizetype appendRecordLine(qsizetype lineFeed);

    // The loop of the record loader over the source text: for i from 1 to recordsToLoad, calls
    // step(i) and appends the record line that follows (while there is one), all as one bulk
    // load; a step that returns false ends the loop there. headerEnd is the index of the header's
    // LF (-1: no header, no records). Returns the number of rows added.
    template <typename Step>
    int loadRecords(qsizetype headerEnd, qint64 recordsToLoad, Step&& step) {
        const int before = rowCount();
        reserveFor(headerEnd, recordsToLoad);
        beginBulkLoad();
        qsizetype p = headerEnd;
        for (qint64 i = 1; i <= recordsToLoad; ++i) {
            if constexpr (std::is_same_v<decltype(step(i)), bool>) {
                if (!step(i))
                    break;
            } else {
                step(i);
            }
            if (p >= 0)
                p = appendRecordLine(p);
        }
        endBulkLoad();
        return rowCount() - before;
    }

    // Reserves room for about that many rows of `columns` values each.
    void reserve(qsizetype rows, qsizetype columns);

    const QByteArray& sourceText() const { return text_; }

    // Bytes held, for measurements.
    qsizetype memoryUse() const;

private:
    static constexpr quint32 kNoValue = 0xFFFFFFFFu;

    void reserveFor(qsizetype headerEnd, qint64 recordsToLoad);
    quint32 appendValue(const QString& value);
    QString valueAt(quint32 start) const;
    quint32 cellStart(int row, int column) const;
    void ensureColumns(int count);

    QByteArray text_;               // merge text, then single values each ended by LF
    qsizetype sourceSize_ = 0;      // length of the merge text at the start of text_
    QStringList titles_;            // one per column; untitled columns are empty
    std::vector<quint32> cells_;    // start of every value, row after row
    std::vector<quint32> rowFirst_; // rowFirst_[r] .. rowFirst_[r + 1]: the cells of row r
    QIcon rowIcon_;
    bool bulk_ = false;
};
