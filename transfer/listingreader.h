#pragma once

#include "transfer/ftpcommand.h"
#include "transfer/remotename.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A name listing read as it arrives: split into lines (LF or CR LF, empty lines skipped), each
// name decoded, and only the names that match the pattern and can be the name of a local file
// kept; the others are counted and forgotten, so what a listing costs does not grow with the
// names it skips. Names that match the pattern but cannot be stored are counted, and the first
// of them kept with their reasons, to be reported. A listing beyond the limits no real folder
// reaches is refused.
namespace qv::transfer {

class ListingReader {
public:
    static constexpr int kMaxNames = 100000;
    static constexpr qsizetype kMaxLineBytes = 4096;
    static constexpr int kMaxUnstorableKept = 100;

    explicit ListingReader(QString pattern) : pattern_(std::move(pattern)) {}

    // The next bytes of the listing; false once it is beyond a limit (error() says which).
    bool add(const char* data, qsizetype size);
    // The listing has ended (its last line may have no line end); false beyond a limit.
    bool finish();

    QString error() const { return error_; }
    QList<ListedName> takeNames() { return std::move(names_); }
    // The names that match the pattern but cannot be stored: the first kMaxUnstorableKept, and
    // how many there were in all.
    QList<UnstorableName> takeUnstorable() { return std::move(unstorable_); }
    int unstorableCount() const { return unstorableCount_; }

private:
    bool endLine();
    bool refuse(const QString& why);

    QString pattern_;
    QByteArray line_; // the line so far
    int lines_ = 0;   // names listed, kept or not
    QList<ListedName> names_;
    QList<UnstorableName> unstorable_;
    int unstorableCount_ = 0;
    QString error_;
};

} // namespace qv::transfer
