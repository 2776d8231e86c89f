#include "transfer/knownhosts.h"

#include "transfer/sshcheck.h"

#include <QFile>
#include <QList>
#include <QMessageAuthenticationCode>

namespace qv::transfer {

namespace {

// Longer lines are no entry OpenSSH writes (its own limit is 8 KB); they are skipped whole.
constexpr qint64 kLongestLine = 16 * 1024;

std::optional<QByteArray> base64(const QByteArray& text) {
    const auto decoded =
        QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        return std::nullopt;
    return decoded.decoded;
}

// "|1|<base64 salt>|<base64 HMAC-SHA1 of the name>"
bool hashedNameMatches(const QByteArray& pattern, const QByteArray& name) {
    const QList<QByteArray> parts = pattern.split('|');
    if (parts.size() != 4 || !parts[0].isEmpty() || parts[1] != "1")
        return false;
    const auto salt = base64(parts[2]);
    const auto hash = base64(parts[3]);
    return salt && hash &&
           QMessageAuthenticationCode::hash(name, *salt, QCryptographicHash::Sha1) == *hash;
}

// A comma-separated list of names; a negated name that matches excludes the host.
bool namesMatch(const QByteArray& names, const QByteArray& name) {
    if (names.startsWith("|1|"))
        return hashedNameMatches(names, name);
    bool matched = false;
    for (const QByteArray& pattern : names.split(',')) {
        if (pattern.startsWith('!')) {
            if (pattern.mid(1).compare(name, Qt::CaseInsensitive) == 0)
                return false;
        } else if (pattern.compare(name, Qt::CaseInsensitive) == 0) {
            matched = true;
        }
    }
    return matched;
}

// The next line of the file without its line end; a line longer than kLongestLine is read to
// its end and given as empty. False at the end of the file.
bool nextLine(QFile& file, QByteArray* line) {
    if (file.atEnd())
        return false;
    *line = file.readLine(kLongestLine + 1);
    if (!line->endsWith('\n') && !file.atEnd()) {
        while (!file.atEnd() && !file.readLine(kLongestLine + 1).endsWith('\n')) {
        }
        line->clear();
    }
    return true;
}

} // namespace

KnownHostMatch lookUpKnownHost(const QString& path, const QString& name, const QByteArray& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return KnownHostMatch::Missing;
    const QByteArray host = name.toUtf8();
    const QByteArray type = sshKeyTypeName(key);
    KnownHostMatch result = KnownHostMatch::Missing;
    QByteArray line;
    while (nextLine(file, &line)) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        // Markers (@cert-authority, @revoked) and comments are not host keys.
        if (fields.size() < 3 || fields[0].startsWith('#') || fields[0].startsWith('@'))
            continue;
        const auto stored = base64(fields[2]);
        if (!stored || sshKeyTypeName(*stored) != fields[1] || fields[1] != type ||
            !namesMatch(fields[0], host))
            continue;
        if (*stored == key)
            return KnownHostMatch::Matches;
        result = KnownHostMatch::Differs;
    }
    return result;
}

} // namespace qv::transfer
