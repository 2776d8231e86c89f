#include "officeprocess.h"

#include "tests/support/tempprogramfolder.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qv::test {

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");

// A socket on 127.0.0.1: bound to port 0 to learn a free port, or connected to test one.
quint16 freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    quint16 port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

bool accepts(quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    const bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok;
}

bool pythonHasUno() {
    QProcess p;
    p.start(kPython, {QStringLiteral("-c"), QStringLiteral("import uno")});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

OfficeProcess::OfficeProcess() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (program.isEmpty() || !pythonHasUno()) {
        missing_ = true;
        error_ = QStringLiteral("LibreOffice with its Python bridge is not installed (Debian "
                                "packages libreoffice-writer-nogui, libreoffice-calc-nogui, "
                                "libreoffice-base, python3-uno; scripts/setup.sh installs them)");
        return;
    }
    QElapsedTimer clock;
    clock.start();
    if (start(program))
        startMs_ = clock.elapsed();
}

bool OfficeProcess::start(const QString& program) {
    const quint16 port = freePort();
    // A session of its own, so that stop() can end the launcher and the office it starts.
    process_.setChildProcessModifier([] { ::setsid(); });
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(
        program,
        {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile_.path()).toString(),
         QStringLiteral("--headless"), QStringLiteral("--invisible"), QStringLiteral("--nologo"),
         QStringLiteral("--norestore"), QStringLiteral("--nodefault"),
         QStringLiteral("--nolockcheck"),
         QStringLiteral("--accept=socket,host=127.0.0.1,port=%1;urp;").arg(port)});
    const QDeadlineTimer deadline(120000);
    while (process_.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        if (accepts(port)) {
            port_ = port;
            return true;
        }
        process_.waitForFinished(250);
    }
    error_ = QStringLiteral("LibreOffice did not open its socket: %1")
                 .arg(QString::fromLocal8Bit(process_.readAll()));
    stop();
    return false;
}

QJsonObject OfficeProcess::check(const QStringList& args, QString* error) const {
    QProcess p;
    p.start(kPython, QStringList{sourcePath(QStringLiteral("tests/output/unocheck.py")),
                                 QString::number(port_)} +
                         args);
    if (!p.waitForFinished(180000)) {
        p.kill();
        p.waitForFinished();
        *error =
            QStringLiteral("unocheck.py %1 took longer than three minutes").arg(args.join(' '));
        return {};
    }
    const QJsonDocument json = QJsonDocument::fromJson(p.readAllStandardOutput());
    if (p.exitCode() != 0 || !json.isObject()) {
        *error = QString::fromLocal8Bit(p.readAllStandardError());
        return {};
    }
    return json.object();
}

void OfficeProcess::stop() {
    if (process_.state() == QProcess::NotRunning)
        return;
    if (port_ != 0) {
        QString ignored;
        check({QStringLiteral("stop")}, &ignored);
    }
    const qint64 group = process_.processId();
    if (!process_.waitForFinished(20000) && group > 0) {
        ::kill(static_cast<pid_t>(-group), SIGTERM);
        if (!process_.waitForFinished(5000))
            ::kill(static_cast<pid_t>(-group), SIGKILL);
    }
    process_.waitForFinished(5000);
    // The launcher may end before the office does: end what is left of its session.
    if (group > 0)
        ::kill(static_cast<pid_t>(-group), SIGKILL);
}

OfficeProcess::~OfficeProcess() {
    stop();
}

} // namespace qv::test
