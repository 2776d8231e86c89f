#include "app/cli/commands.h"
#include "settings/passwordkeyring.h"
#include "transfer/passwordkey.h"

#include <QFile>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    const auto cannotRead = [&](const QString& why) {
        *error = QStringLiteral("The password file '%1' cannot be read: %2").arg(path, why);
        return false;
    };
    // Opened without waiting (a pipe or a device would block) and checked on what was opened.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return cannotRead(QString::fromLocal8Bit(std::strerror(errno)));
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return cannotRead(file.errorString());
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return cannotRead(QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(info.st_mode) || info.st_size > kPasswordFileLimit) {
        *error = QStringLiteral("The password file '%1' is not a regular file of at most %2 "
                                "bytes.")
                     .arg(path)
                     .arg(kPasswordFileLimit);
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
    const QByteArray bytes = file.read(kPasswordFileLimit + 1);
    if (file.error() != QFileDevice::NoError)
        return cannotRead(file.errorString());
    if (bytes.size() > kPasswordFileLimit)
        return cannotRead(QStringLiteral("it grew beyond %1 bytes").arg(kPasswordFileLimit));
    // The first line, without its one line end (LF or CR LF).
    const qsizetype end = bytes.indexOf('\n');
    QByteArray line = end < 0 ? bytes : bytes.left(end);
    if (end >= 0 && line.endsWith('\r'))
        line.chop(1);
    *password = QString::fromUtf8(line);
    return true;
}

bool readKeyringPassword(const ConnectionFields& fields, PasswordKeyring& keyring,
                         QString* password, QString* error) {
    QString why;
    const std::optional<PasswordKey> key = passwordKeyOf(fields, &why);
    if (!key) {
        *error = QStringLiteral("The password is kept in the desktop keyring, but the address "
                                "'%1' names no server to find it for: %2")
                     .arg(fields.address, why);
        return false;
    }
    const KeyringReply reply = keyring.lookup(*key, promptingForThisSession());
    if (!reply.done()) {
        *error = keyringProblemText(reply, *key) +
                 QStringLiteral("\nGive the password with --password-file or QUORVANE_PASSWORD "
                                "instead.");
        return false;
    }
    *password = reply.password;
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
