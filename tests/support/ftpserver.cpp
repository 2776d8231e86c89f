#include "tests/support/ftpserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#ifndef QV_FTPSERVER_SCRIPT
#error "QV_FTPSERVER_SCRIPT must name tests/support/ftpserver.py"
#endif

namespace qv::test {

FtpServer::FtpServer() {
    if (!root_.isValid() || !work_.isValid()) {
        error_ = QStringLiteral("cannot create temporary folders");
        return;
    }
    QDir(root_.path()).mkpath(QStringLiteral("u/vantrelle/accounts"));
    config_.insert(QStringLiteral("auth_failed_delay"), 0.2);
    writeConfig();
    QFile(work_.filePath(QStringLiteral("events.log"))).open(QIODevice::WriteOnly);

    process_.setProgram(QStringLiteral("/usr/bin/python3"));
    process_.setArguments(
        {QStringLiteral(QV_FTPSERVER_SCRIPT), QStringLiteral("--root"), root_.path(),
         QStringLiteral("--user"), user(), QStringLiteral("--password"), password(),
         QStringLiteral("--config"), work_.filePath(QStringLiteral("config.json")),
         QStringLiteral("--events"), work_.filePath(QStringLiteral("events.log"))});
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start();
    if (!process_.waitForStarted(10000)) {
        error_ = QStringLiteral("cannot start /usr/bin/python3: ") + process_.errorString();
        return;
    }
    // The script prints "LISTENING <port>" once the socket accepts connections.
    QByteArray out;
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired() && !out.contains('\n')) {
        if (!process_.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
        out += process_.readAllStandardOutput();
    }
    const QByteArray line = out.left(out.indexOf('\n')).trimmed();
    if (line.startsWith("LISTENING "))
        port_ = static_cast<quint16>(line.mid(10).toUInt());
    if (port_ == 0) {
        error_ = QStringLiteral("FTP server did not start: ") + QString::fromLocal8Bit(out) +
                 QString::fromLocal8Bit(process_.readAllStandardError());
        process_.kill();
        process_.waitForFinished(3000);
    }
}

FtpServer::~FtpServer() {
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }
}

bool FtpServer::isRunning() const {
    return port_ != 0 && process_.state() == QProcess::Running;
}

QString FtpServer::address() const {
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

QString FtpServer::accountsPath() const {
    return root_.filePath(QStringLiteral("u/vantrelle/accounts"));
}

void FtpServer::putFile(const QString& name, const QByteArray& bytes) const {
    QFile file(QDir(accountsPath()).filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

bool FtpServer::hasFile(const QString& name) const {
    return QFile::exists(QDir(accountsPath()).filePath(name));
}

QByteArray FtpServer::fileBytes(const QString& name) const {
    QFile file(QDir(accountsPath()).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList FtpServer::fileNames() const {
    return QDir(accountsPath()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

void FtpServer::writeConfig() const {
    QSaveFile file(work_.filePath(QStringLiteral("config.json")));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(config_).toJson());
        file.commit();
    }
}

void FtpServer::appendToList(const QString& key, const QString& value) {
    QJsonArray list = config_.value(key).toArray();
    list.append(value);
    config_.insert(key, list);
    writeConfig();
}

void FtpServer::setRefuseLogin(bool refuse) {
    config_.insert(QStringLiteral("refuse_login"), refuse);
    writeConfig();
}

void FtpServer::setLoginRefusalDelay(double seconds) {
    config_.insert(QStringLiteral("auth_failed_delay"), seconds);
    writeConfig();
}

void FtpServer::refuseDownload(const QString& name) {
    appendToList(QStringLiteral("refuse_retr"), name);
}

void FtpServer::refuseDelete(const QString& name) {
    appendToList(QStringLiteral("refuse_dele"), name);
}

void FtpServer::dropDownload(const QString& name, qint64 afterBytes) {
    QJsonObject drops = config_.value(QStringLiteral("drop_retr")).toObject();
    drops.insert(name, static_cast<double>(afterBytes));
    config_.insert(QStringLiteral("drop_retr"), drops);
    writeConfig();
}

void FtpServer::stallDownload(const QString& name) {
    appendToList(QStringLiteral("stall_retr"), name);
}

void FtpServer::setStallListing(bool stall) {
    config_.insert(QStringLiteral("stall_list"), stall);
    writeConfig();
}

void FtpServer::addListedName(const QString& name) {
    appendToList(QStringLiteral("extra_names"), name);
}

void FtpServer::addListedNameSeries(const QString& prefix, int count, const QString& suffix) {
    QJsonObject series;
    series.insert(QStringLiteral("prefix"), prefix);
    series.insert(QStringLiteral("count"), count);
    series.insert(QStringLiteral("suffix"), suffix);
    config_.insert(QStringLiteral("name_series"), series);
    writeConfig();
}

void FtpServer::dropListing(qint64 afterBytes) {
    config_.insert(QStringLiteral("drop_list"), static_cast<double>(afterBytes));
    writeConfig();
}

void FtpServer::vanishAfterListing(const QString& name) {
    appendToList(QStringLiteral("vanish_after_list"), name);
}

void FtpServer::clearFaults() {
    const QJsonValue delay = config_.value(QStringLiteral("auth_failed_delay"));
    config_ = QJsonObject();
    config_.insert(QStringLiteral("auth_failed_delay"), delay);
    writeConfig();
}

QStringList FtpServer::events() const {
    QFile file(work_.filePath(QStringLiteral("events.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int FtpServer::count(const QString& eventPrefix) const {
    int n = 0;
    for (const QString& line : events()) {
        if (line.startsWith(eventPrefix))
            ++n;
    }
    return n;
}

void FtpServer::clearEvents() const {
    QFile(work_.filePath(QStringLiteral("events.log")))
        .open(QIODevice::WriteOnly | QIODevice::Truncate);
}

} // namespace qv::test
