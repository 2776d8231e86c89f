#include "app/cli/commands.h"

#include <QFile>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace qv::cli {

namespace {

// The fingerprint without a "SHA256:" prefix, colons and base64 padding.
QString bareFingerprint(const QString& fingerprint) {
    QString bare = fingerprint.trimmed();
    if (bare.startsWith(QLatin1String("SHA256:"), Qt::CaseInsensitive))
        bare = bare.mid(7);
    bare.remove(QLatin1Char(':'));
    while (bare.endsWith(QLatin1Char('=')))
        bare.chop(1);
    return bare;
}

bool isHex(const QString& text) {
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]+$"));
    return hex.match(text).hasMatch();
}

} // namespace

bool readPasswordFile(const QString& path, QString* password, QString* error) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        *error = QStringLiteral("The password file '%1' cannot be read: %2")
                     .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if ((info.st_mode & 077) != 0) {
        *error = QStringLiteral("Permissions %1 for '%2' are too open.\n"
                                "It is required that a password file is not accessible by "
                                "others.")
                     .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'))
                     .arg(path);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("The password file '%1' cannot be read: %2")
                     .arg(path, file.errorString());
        return false;
    }
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    *password = QString::fromUtf8(line);
    return true;
}

bool sameFingerprint(const QString& given, const QString& actual) {
    const QString a = bareFingerprint(given);
    const QString b = bareFingerprint(actual);
    if (a.isEmpty())
        return false;
    if (isHex(a) && isHex(b))
        return a.compare(b, Qt::CaseInsensitive) == 0;
    return a == b;
}

} // namespace qv::cli
