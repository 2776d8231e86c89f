#include "tests/support/vsftpdserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace qv::test {
namespace {

const QString kVsftpd = QStringLiteral("/usr/sbin/vsftpd");

bool run(const QString& program, const QStringList& arguments, const QByteArray& input = {}) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return false;
    process.write(input);
    process.closeWriteChannel();
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The processes below pid: vsftpd runs every connection in processes of its own.
QList<pid_t> descendants(pid_t pid) {
    QList<pid_t> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toInt() == pid) {
            const pid_t child = entry.toInt();
            found << child << descendants(child);
        }
    }
    return found;
}

} // namespace

VsftpdServer::VsftpdServer(const Options& options) : tls_(options.tls) {
    if (!filesReady() || !work_.isValid()) {
        error_ = QStringLiteral("cannot create temporary folders");
        return;
    }
    if (!QFile::exists(kVsftpd)) {
        error_ = QStringLiteral("vsftpd is not installed (bash scripts/setup.sh installs it)");
        return;
    }
    if (!prepareUser())
        return;
    shareWithEveryone();
    port_ = freePort();
    writeConfig(options);
    // A test that crashes takes its server with it.
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process_.start(kVsftpd, {work_.filePath(QStringLiteral("vsftpd.conf"))});
    process_.waitForStarted(10000);
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired() && process_.state() != QProcess::NotRunning) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port_);
        if (probe.waitForConnected(500))
            return;
        QThread::msleep(50);
    }
    error_ = QStringLiteral("vsftpd did not start: ") +
             QString::fromLocal8Bit(process_.readAllStandardError());
    port_ = 0;
}

VsftpdServer::~VsftpdServer() {
    if (process_.state() == QProcess::NotRunning)
        return;
    dropConnections();
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

bool VsftpdServer::prepareUser() {
    if (geteuid() != 0) {
        error_ = QStringLiteral("vsftpd tests need root (to add the local user qvtest)");
        return false;
    }
    const QString home = QStringLiteral("/home/qvtest"); // vsftpd enters it before the chroot
    QDir().mkpath(home);
    QDir().mkpath(QStringLiteral("/var/run/vsftpd/empty"));
    if (!run(QStringLiteral("id"), {user()}))
        run(QStringLiteral("useradd"), {QStringLiteral("-M"), QStringLiteral("-d"), home,
                                        QStringLiteral("-s"), QStringLiteral("/bin/sh"), user()});
    // Tests running side by side may set the password at the same moment: try a few times.
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (run(QStringLiteral("chpasswd"), {}, (user() + ':' + password() + '\n').toUtf8()))
            return true;
        QThread::msleep(100);
    }
    error_ = QStringLiteral("cannot set the password of the user qvtest");
    return false;
}

void VsftpdServer::writeConfig(const Options& options) const {
    QStringList lines{"listen=YES",
                      "listen_ipv6=NO",
                      "listen_address=127.0.0.1",
                      QStringLiteral("listen_port=%1").arg(port_),
                      "background=NO",
                      "seccomp_sandbox=NO",
                      "anonymous_enable=NO",
                      "local_enable=YES",
                      "write_enable=YES",
                      "chroot_local_user=YES",
                      "allow_writeable_chroot=YES",
                      "local_root=" + root(),
                      "pasv_enable=YES",
                      "pam_service_name=vsftpd",
                      "userlist_enable=NO",
                      "check_shell=NO",
                      "secure_chroot_dir=/var/run/vsftpd/empty",
                      QStringLiteral("max_per_ip=%1").arg(options.maxPerAddress),
                      "max_clients=0",
                      "log_ftp_protocol=YES",
                      "xferlog_enable=YES",
                      "xferlog_std_format=NO",
                      "vsftpd_log_file=" + work_.filePath(QStringLiteral("vsftpd.log"))};
    if (options.maxBytesPerSecond > 0)
        lines << QStringLiteral("local_max_rate=%1").arg(options.maxBytesPerSecond);
    if (options.tls != Tls::None)
        lines << "ssl_enable=YES"
              << "rsa_cert_file=" + options.certificate << "rsa_private_key_file=" + options.key
              << "force_local_logins_ssl=YES"
              << "force_local_data_ssl=YES"
              << "require_ssl_reuse=YES"
              << "ssl_tlsv1=YES"
              << "ssl_sslv2=NO"
              << "ssl_sslv3=NO";
    if (options.tls == Tls::Implicit)
        lines << "implicit_ssl=YES";
    QFile file(work_.filePath(QStringLiteral("vsftpd.conf")));
    if (file.open(QIODevice::WriteOnly))
        file.write((lines.join('\n') + '\n').toUtf8());
}

bool VsftpdServer::isRunning() const {
    return port_ != 0 && process_.state() == QProcess::Running;
}

QString VsftpdServer::address() const {
    switch (tls_) {
    case Tls::Explicit:
        return QStringLiteral("ftpes://127.0.0.1:%1").arg(port_);
    case Tls::Implicit:
        return QStringLiteral("ftps://127.0.0.1:%1").arg(port_);
    case Tls::None:
        break;
    }
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

QStringList VsftpdServer::commands() const {
    QFile file(work_.filePath(QStringLiteral("vsftpd.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList out;
    // ... [pid 12] FTP command: Client "127.0.0.1", "USER qvtest"
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype at = line.indexOf("FTP command: ");
        if (at < 0)
            continue;
        const qsizetype open = line.indexOf(", \"", at);
        if (open > 0 && line.endsWith('"'))
            out << QString::fromUtf8(line.mid(open + 3, line.size() - open - 4));
    }
    return out;
}

int VsftpdServer::connections() const {
    QFile file(work_.filePath(QStringLiteral("vsftpd.log")));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return static_cast<int>(file.readAll().count("CONNECT: Client"));
}

int VsftpdServer::sessionProcesses() const {
    if (process_.state() == QProcess::NotRunning)
        return 0;
    return static_cast<int>(descendants(static_cast<pid_t>(process_.processId())).size());
}

void VsftpdServer::dropConnections() {
    if (process_.state() == QProcess::NotRunning)
        return;
    for (const pid_t pid : descendants(static_cast<pid_t>(process_.processId())))
        ::kill(pid, SIGKILL);
}

} // namespace qv::test
