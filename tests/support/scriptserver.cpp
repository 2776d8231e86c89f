#include "tests/support/scriptserver.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <csignal>
#include <sys/prctl.h>

namespace qv::test {

bool ScriptServer::start(const QString& script, const QStringList& arguments) {
    if (!filesReady() || !work_.isValid()) {
        error_ = QStringLiteral("cannot create temporary folders");
        return false;
    }
    writeConfig();
    QFile(workPath(QStringLiteral("events.log"))).open(QIODevice::WriteOnly);

    process_.setProgram(QStringLiteral("/usr/bin/python3"));
    process_.setArguments(
        QStringList{script} + arguments +
        QStringList{QStringLiteral("--config"), workPath(QStringLiteral("config.json")),
                    QStringLiteral("--events"), workPath(QStringLiteral("events.log"))});
    // A test that crashes takes its server with it.
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start();
    if (!process_.waitForStarted(10000)) {
        error_ = QStringLiteral("cannot start /usr/bin/python3: ") + process_.errorString();
        return false;
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
        error_ = QStringLiteral("%1 did not start: ").arg(script) + QString::fromLocal8Bit(out) +
                 QString::fromLocal8Bit(process_.readAllStandardError());
        process_.kill();
        process_.waitForFinished(3000);
        return false;
    }
    return true;
}

ScriptServer::~ScriptServer() {
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }
}

bool ScriptServer::isRunning() const {
    return port_ != 0 && process_.state() == QProcess::Running;
}

void ScriptServer::writeConfig() const {
    QSaveFile file(workPath(QStringLiteral("config.json")));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(config_).toJson());
        file.commit();
    }
}

void ScriptServer::appendToList(const QString& key, const QString& value) {
    QJsonArray list = config_.value(key).toArray();
    list.append(value);
    config_.insert(key, list);
    writeConfig();
}

void ScriptServer::setInMap(const QString& key, const QString& name, double value) {
    QJsonObject map = config_.value(key).toObject();
    map.insert(name, value);
    config_.insert(key, map);
    writeConfig();
}

QStringList ScriptServer::events() const {
    QFile file(workPath(QStringLiteral("events.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int ScriptServer::count(const QString& eventPrefix) const {
    int n = 0;
    for (const QString& line : events()) {
        if (line.startsWith(eventPrefix))
            ++n;
    }
    return n;
}

void ScriptServer::kill() {
    process_.kill();
    process_.waitForFinished(5000);
}

void ScriptServer::clearEvents() const {
    QFile(workPath(QStringLiteral("events.log"))).open(QIODevice::WriteOnly | QIODevice::Truncate);
}

} // namespace qv::test
