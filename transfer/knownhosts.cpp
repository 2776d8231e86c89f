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

// OpenSSH's pattern: "*" any run of characters, "?" any one; letters in any case.
bool wildcardMatches(const QByteArray& pattern, const QByteArray& name) {
    qsizetype p = 0, n = 0, star = -1, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || QChar::toLower(static_cast<uchar>(pattern[p])) ==
                                      QChar::toLower(static_cast<uchar>(name[n])))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool nameMatches(const QByteArray& pattern, const QByteArray& name, bool wildcards) {
    return wildcards ? wildcardMatches(pattern, name)
                     : pattern.compare(name, Qt::CaseInsensitive) == 0;
}

// A comma-separated list of names; a negated name that matches excludes the host.
bool namesMatch(const QByteArray& names, const QByteArray& name, bool wildcards = false) {
    if (names.startsWith("|1|"))
        return hashedNameMatches(names, name);
    bool matched = false;
    for (const QByteArray& pattern : names.split(',')) {
        if (pattern.startsWith('!')) {
            if (nameMatches(pattern.mid(1), name, wildcards))
                return false;
        } else if (nameMatches(pattern, name, wildcards)) {
            matched = true;
        }
    }
    return matched;
}

// "@revoked <names> <type> <key>": the key is never to be trusted for those hosts.
bool revokes(const QList<QByteArray>& fields, const QByteArray& host, const QByteArray& key) {
    if (fields.size() < 4 || fields[0] != "@revoked")
        return false;
    const auto stored = base64(fields[3]);
    return stored && *stored == key && namesMatch(fields[1], host, true);
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
        if (revokes(fields, host, key))
            return KnownHostMatch::Revoked;
        // Other markers (@cert-authority) and comments are not host keys.
        if (fields.size() < 3 || fields[0].startsWith('#') || fields[0].startsWith('@'))
            continue;
        const auto stored = base64(fields[2]);
        if (!stored || sshKeyTypeName(*stored) != fields[1] || fields[1] != type ||
            !namesMatch(fields[0], host))
            continue;
        // A revocation further down still counts: the file is read to its end.
        result = *stored == key                      ? KnownHostMatch::Matches
                 : result == KnownHostMatch::Matches ? result
                                                     : KnownHostMatch::Differs;
    }
    return result;
}

} // namespace qv::transfer
