#include "tests/support/sftpserver.h"

#include <QCryptographicHash>
#include <QFile>

#ifndef QV_SFTPSERVER_SCRIPT
#error "QV_SFTPSERVER_SCRIPT must name tests/support/sftpserver.py"
#endif

namespace qv::test {

SftpServer::SftpServer() {
    start(QStringLiteral(QV_SFTPSERVER_SCRIPT),
          {QStringLiteral("--root"), root(), QStringLiteral("--user"), user(),
           QStringLiteral("--password"), password(), QStringLiteral("--host-key"),
           workPath(QStringLiteral("host_key"))});
}

QString SftpServer::address() const {
    return QStringLiteral("sftp://127.0.0.1:%1").arg(port());
}

QByteArray SftpServer::publicKey() const {
    QFile file(workPath(QStringLiteral("host_key.pub")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> fields = file.readAll().simplified().split(' ');
    return fields.size() >= 2 ? fields[0] + ' ' + fields[1] : QByteArray();
}

QByteArray SftpServer::knownHostsLine() const {
    return QStringLiteral("[127.0.0.1]:%1 ").arg(port()).toLatin1() + publicKey();
}

QString SftpServer::fingerprint() const {
    const QByteArray blob = QByteArray::fromBase64(publicKey().split(' ').value(1));
    return QStringLiteral("SHA256:") +
           QString::fromLatin1(QCryptographicHash::hash(blob, QCryptographicHash::Sha256)
                                   .toBase64(QByteArray::OmitTrailingEquals));
}

void SftpServer::dropDownload(const QString& name, qint64 afterBytes) {
    setInMap(QStringLiteral("drop_read"), name, static_cast<double>(afterBytes));
}

void SftpServer::stallDownload(const QString& name) {
    appendToList(QStringLiteral("stall_read"), name);
}

void SftpServer::refuseDownload(const QString& name) {
    appendToList(QStringLiteral("refuse_read"), name);
}

void SftpServer::shortDownload(const QString& name, qint64 bytes) {
    setInMap(QStringLiteral("short_read"), name, static_cast<double>(bytes));
}

void SftpServer::refuseDelete(const QString& name) {
    appendToList(QStringLiteral("refuse_remove"), name);
}

void SftpServer::setMaxSessions(int sessions) {
    config_.insert(QStringLiteral("max_sessions"), sessions);
    writeConfig();
}

void SftpServer::clearFaults() {
    config_ = QJsonObject();
    writeConfig();
}

} // namespace qv::test
