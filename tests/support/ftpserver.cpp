#include "tests/support/ftpserver.h"

#include <QJsonArray>

#ifndef QV_FTPSERVER_SCRIPT
#error "QV_FTPSERVER_SCRIPT must name tests/support/ftpserver.py"
#endif

namespace qv::test {

FtpServer::FtpServer() {
    config_.insert(QStringLiteral("auth_failed_delay"), 0.2);
    start(QStringLiteral(QV_FTPSERVER_SCRIPT),
          {QStringLiteral("--root"), root(), QStringLiteral("--user"), user(),
           QStringLiteral("--password"), password()});
}

QString FtpServer::address() const {
    return QStringLiteral("127.0.0.1:%1").arg(port());
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
    setInMap(QStringLiteral("drop_retr"), name, static_cast<double>(afterBytes));
}

void FtpServer::dropDownloadOnce(const QString& name, qint64 afterBytes) {
    setInMap(QStringLiteral("drop_retr_once"), name, static_cast<double>(afterBytes));
}

void FtpServer::setMaxConnections(int connections) {
    config_.insert(QStringLiteral("max_cons_per_ip"), connections);
    writeConfig();
}

void FtpServer::stallDownload(const QString& name) {
    appendToList(QStringLiteral("stall_retr"), name);
}

void FtpServer::shortDownload(const QString& name, qint64 bytes) {
    setInMap(QStringLiteral("short_retr"), name, static_cast<double>(bytes));
}

void FtpServer::setRefuseListing(bool refuse) {
    config_.insert(QStringLiteral("refuse_list"), refuse);
    writeConfig();
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

} // namespace qv::test
