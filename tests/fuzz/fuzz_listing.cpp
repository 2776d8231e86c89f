// A name listing from the server on arbitrary bytes, taken the way the search takes it: the
// transfer control splits the raw listing into lines, decodes each name (UTF-8, else the 8-bit
// code page) and keeps those that match "*.LET"; the search splits the control's response data at
// CR LF (responseLines) and downloads only the names isSafeMergeFileName accepts.
//
// Invariants: the response lines are exactly the control's names, in order; no accepted name
// holds a path separator, "..", a colon or a control character; every accepted name ends with
// ".LET" and has a merge file name before it; its local copy stays inside the data folder.
// Besides, the wildcard match agrees with a plain dynamic-programming match for the first line of
// the input taken as a pattern and the other lines as names.
#include "platform/codepage.h"
#include "platform/programfolder.h"
#include "platform/services.h"
#include "transfer/ftpcommand.h"
#include "transfer/remotename.h"
#include "transfer/statustext.h"

#include <QDir>
#include <QStringDecoder>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

[[noreturn]] void fail(const char* what, const QString& name = {}) {
    std::fprintf(stderr, "listing invariant broken: %s: \"%s\"\n", what,
                 name.toUtf8().toPercentEncoding(" ._-").constData());
    std::abort();
}

bool referenceMatch(const QString& name, const QString& pattern) {
    // match[j]: pattern[0, j) matches name[0, i) for the current i.
    std::vector<char> match(pattern.size() + 1, 0), next(pattern.size() + 1, 0);
    match[0] = 1;
    for (qsizetype j = 1; j <= pattern.size(); ++j)
        match[j] = match[j - 1] && pattern[j - 1] == u'*';
    for (qsizetype i = 1; i <= name.size(); ++i) {
        next[0] = 0;
        for (qsizetype j = 1; j <= pattern.size(); ++j) {
            const QChar p = pattern[j - 1];
            if (p == u'*')
                next[j] = next[j - 1] || match[j];
            else
                next[j] = match[j - 1] && (p == u'?' || p == name[i - 1]);
        }
        match.swap(next);
    }
    return match[pattern.size()];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString folder = [] {
        qv::Services services;
        services.programFolder = QStringLiteral("/nonexistent/quorvane-fuzz");
        qv::installServices(services);
        return QDir::cleanPath(qv::programPath(QStringLiteral("data"))) + QLatin1Char('/');
    }();
    const QByteArray listing(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    QStringList names;
    for (const auto& listed : qv::transfer::matchingListedNames(listing, QStringLiteral("*.LET")))
        names << listed.name;
    QString response;
    for (const QString& name : names)
        response += name + QLatin1String("\r\n");
    const QStringList lines = qv::responseLines(response);
    if (lines != names)
        fail("the response lines differ from the listed names", response);

    for (const QString& line : lines) {
        if (!line.endsWith(QLatin1String(".LET")))
            fail("a listed name passed the pattern without \".LET\"", line);
        if (!qv::isSafeMergeFileName(line))
            continue;
        if (line.contains(u'/') || line.contains(u'\\') || line.contains(u':') ||
            line.contains(QLatin1String("..")))
            fail("an accepted name holds a path", line);
        for (const QChar c : line) {
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                fail("an accepted name holds a control character", line);
        }
        if (qv::mergeFileBaseName(line).isEmpty())
            fail("an accepted name has no merge file name", line);
        const QString local = QDir::cleanPath(qv::programPath(QStringLiteral("data"), line));
        if (!local.startsWith(folder) || local.mid(folder.size()) != line)
            fail("an accepted name leaves the data folder", local);
    }

    // The wildcard match against the reference, on short patterns.
    const qsizetype lf = listing.indexOf('\n');
    if (lf > 0 && lf <= 64) {
        const QString pattern = qv::transfer::decodeListedName(listing.left(lf));
        for (const QByteArray& bytes : listing.mid(lf + 1).split('\n')) {
            const QString name = qv::transfer::decodeListedName(bytes.left(256));
            if (qv::transfer::matchesPattern(name, pattern) != referenceMatch(name, pattern))
                fail("the wildcard match disagrees with the reference", pattern + u'|' + name);
        }
    }
    return 0;
}
