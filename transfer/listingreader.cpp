#include "transfer/listingreader.h"

#include "transfer/remotename.h"

#include <QLocale>
#include <cstring>

namespace qv::transfer {
namespace {

QString lineTooLong() {
    return QStringLiteral("The server's listing has a line longer than 4 KB (%1 bytes): it is "
                          "not a list of file names")
        .arg(QLocale(QLocale::English).toString(ListingReader::kMaxLineBytes));
}

} // namespace

bool ListingReader::refuse(const QString& why) {
    error_ = why;
    line_.clear();
    return false;
}

bool ListingReader::add(const char* data, qsizetype size) {
    if (!error_.isEmpty())
        return false;
    const char* end = data + size;
    while (data < end) {
        const auto* lf = static_cast<const char*>(std::memchr(data, '\n', end - data));
        const char* stop = lf ? lf : end;
        line_.append(data, stop - data);
        if (line_.size() > kMaxLineBytes + 1) // a CR before the LF is no part of the line
            return refuse(lineTooLong());
        if (!lf)
            break;
        if (!endLine())
            return false;
        data = lf + 1;
    }
    return true;
}

bool ListingReader::finish() {
    return error_.isEmpty() && endLine();
}

bool ListingReader::endLine() {
    QByteArray line;
    line.swap(line_);
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty())
        return true;
    if (line.size() > kMaxLineBytes)
        return refuse(lineTooLong());
    if (++lines_ > kMaxNames)
        return refuse(QStringLiteral("The server's listing holds more than %1 names: a search "
                                     "reads at most %1")
                          .arg(QLocale(QLocale::English).toString(kMaxNames)));
    QString name = decodeListedName(line);
    if (!matchesPattern(name, pattern_))
        return true;
    if (isStorableFileName(name)) {
        names_.append({std::move(name), std::move(line)});
    } else if (++unstorableCount_ <= kMaxUnstorableKept) {
        QString reason = unstorableReason(name);
        unstorable_.append({std::move(name), std::move(reason)});
    }
    return true;
}

} // namespace qv::transfer
