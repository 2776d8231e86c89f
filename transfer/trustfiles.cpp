#include "transfer/trustfiles.h"

#include "settings/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

namespace qv::transfer {
namespace {

constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

QList<QByteArray> lines(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return in.readAll().split('\n');
}

bool failed(QString* why, const QString& text) {
    if (why)
        *why = text;
    return false;
}

} // namespace

QByteArray pinnedCertificate(const QString& file, const QString& hostPort) {
    const QByteArray key = hostPort.toUtf8();
    for (const QByteArray& line : lines(file)) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 2 && fields[0] == key)
            return fields[1];
    }
    return {};
}

bool pinCertificate(const QString& file, const QString& hostPort, const QByteArray& pin,
                    QString* why) {
    const QByteArray key = hostPort.toUtf8();
    QByteArray text;
    for (const QByteArray& line : lines(file)) {
        const QByteArray trimmed = line.simplified();
        if (!trimmed.isEmpty() && trimmed.split(' ').value(0) != key)
            text += trimmed + '\n';
    }
    text += key + ' ' + pin + '\n';
    // As the settings beside it: never through a link out of the folder, never over a read-only
    // file, and replaced whole in one step.
    QString target, reason;
    if (!settingsfile::writableTarget(file, &target, &reason) ||
        !settingsfile::replaceOwnerOnly(target, text, &reason))
        return failed(why, QStringLiteral("Cannot write %1: %2").arg(file, reason));
    return true;
}

QString knownHostsName(const QString& host, int port) {
    QString bare = host;
    if (bare.startsWith(QLatin1Char('[')) && bare.endsWith(QLatin1Char(']')))
        bare = bare.mid(1, bare.size() - 2);
    if (port == 22)
        return bare;
    return QStringLiteral("[%1]:%2").arg(bare).arg(port);
}

bool addKnownHost(const QString& file, const QString& name, const QByteArray& entry, QString* why) {
    const QFileInfo info(file);
    if (!info.dir().exists()) {
        if (!QDir().mkpath(info.absolutePath()))
            return failed(why,
                          QStringLiteral("Cannot create the folder %1").arg(info.absolutePath()));
        QFile::setPermissions(info.absolutePath(), kOwnerOnly | QFile::ExeOwner);
    }
    const bool existed = info.exists();
    QFile out(file);
    if (!out.open(QIODevice::ReadWrite | QIODevice::Append))
        return failed(why, QStringLiteral("Cannot write %1: %2").arg(file, out.errorString()));
    if (!existed)
        out.setPermissions(kOwnerOnly);
    QByteArray line = name.toUtf8() + ' ' + entry + '\n';
    if (out.size() > 0) { // a last line without its line end gets one first
        QFile last(file);
        if (last.open(QIODevice::ReadOnly) && last.seek(out.size() - 1) && last.read(1) != "\n")
            line.prepend('\n');
    }
    if (out.write(line) != line.size() || !out.flush())
        return failed(why, QStringLiteral("Cannot write %1: %2").arg(file, out.errorString()));
    return true;
}

bool recordTrust(const PeerIdentity& identity, QString* why) {
    if (identity.revoked || identity.changed) {
        if (why)
            *why = changedIdentityWarning(identity);
        return false;
    }
    if (identity.kind == PeerIdentity::Kind::HostKey)
        return addKnownHost(identity.trustFile, identity.trustName, identity.trustEntry, why);
    return pinCertificate(identity.trustFile, identity.trustName, identity.trustEntry, why);
}

QString defaultKnownHostsFile() {
    return QDir::home().filePath(QStringLiteral(".ssh/known_hosts"));
}

} // namespace qv::transfer
