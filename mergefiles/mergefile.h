#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// Merge files (".LET"): one byte per character in the system code page; line 1 holds the field
// names separated by "|", every further line one record; lines end with LF.
//
// Every reading of a merge file goes through the item reader below: an item ends at a comma, at a
// CR (CR LF counts as one line end) or at the end of the file; a lone LF stays in the item; double
// quotation marks are dropped. The items are joined with a joiner: " " puts one space before every
// item (the first one included), "" appends them directly.

// <program folder>/data/<name>.LET and <program folder>/Word/<name>.dot. The template's name
// matches without regard to case: an exact match first, else the first file in name order whose
// name differs only in case; the exact path when there is none.
QString mergeFilePath(const QString& name);
QString mergeTemplatePath(const QString& name);

// <program folder>/data/<storedName>: the copy as it was downloaded ("X.LET.LET" stays so).
QString mergeCopyPath(const QString& storedName);

// The whole file read item by item and joined. When the file cannot be opened or read the text is
// empty and *ok (when given) is false.
QString readMergeText(const QString& path, const QString& joiner, bool* ok = nullptr);

// The same text in the file's own code page, one byte per character; what the record list keeps.
QByteArray readMergeBytes(const QString& path, QByteArrayView joiner, bool* ok = nullptr);

// The item rules applied to bytes already in memory.
QByteArray joinMergeItems(QByteArrayView bytes, QByteArrayView joiner);

// Number of records of the merge file of that stored name ("ABC.LET") in the data folder: the
// number of line feeds the reader leaves in the text, minus one; never below 0. A file that is
// missing or unreadable counts 0. Not limited to 32,767.
int countMergeRecords(const QString& storedFileName);

// Line feeds left by the reader in the bytes of a whole file (lone LFs, not the LF of a CR LF).
qsizetype countMergeLineFeeds(QByteArrayView bytes);

// A line of the text: its values split at "|" and the index (from 0) of the LF that ends it.
struct MergeLine {
    QStringList values;
    qsizetype end = -1;
};

// The header: the text before the first LF, split at "|". Without an LF there is no header (and
// no records).
std::optional<MergeLine> mergeHeader(QStringView text);

// The record that follows the LF at index lineFeed: the text up to the next LF, split at "|" (an
// empty record gives no values). Without a further LF there is no record, nor any later one.
std::optional<MergeLine> nextMergeRecord(QStringView text, qsizetype lineFeed);

// Splits at every "|"; adjacent separators give empty values; an empty text gives no values.
QStringList splitMergeLine(QStringView line);

// "12 KB (12,345) Bytes": kilobytes rounded half to even, then the byte count grouped by three
// with the locale's thousands separator ("" for 0: "0 KB () Bytes").
QString formatMergeSize(qint64 bytes, const QLocale& locale = QLocale());

// The byte count in the pattern "###,###,###" (empty for 0).
QString formatMergeByteCount(qint64 bytes, const QLocale& locale = QLocale());

// True when the template (mergeTemplatePath) exists as a plain file.
bool hasMergeTemplate(const QString& name);

// The browser's picture of a merge file: 1 without template, 2 with one, 4 for an empty copy.
int mergeFileIcon(bool hasTemplate, qint64 copyBytes);
