// The command line's exit statuses where the operator meets them: the real executable against
// real servers. An option before the command is a usage error, never a window; a changed pinned
// certificate and a revoked host key are refused as possible interceptions (5); a settings file
// written by a text editor is read, one far too large is refused.
#include "app/cli/commandline.h"
#include "settings/inifile.h"
#include "tests/cli/commandlinerun.h"
#include "tests/support/ftpserver.h"
#include "tests/support/sftpserver.h"
#include "tests/support/testcertificates.h"
#include "tests/support/vsftpdserver.h"

#include <QtTest>
#include <vector>

namespace {

using qv::test::CommandLine;
using qv::test::Run;

const QByteArray kOverdue = "Account|Name|Town\n0100001|Aoife Byrne|Cork\n";

} // namespace

class ExitStatusesTest : public QObject {
    Q_OBJECT
private slots:
    void windowOrCommandLine_data();
    void windowOrCommandLine();
    void optionBeforeTheCommand_data();
    void optionBeforeTheCommand();
    void changedPinnedCertificate();
    void revokedHostKey();
    void settingsWithLineFeeds();
    void settingsTooLarge();
};

// Only no arguments, or Qt's own options of the window alone, open the window.
void ExitStatusesTest::windowOrCommandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("commandLine");
    QTest::newRow("none") << QStringList() << false;
    QTest::newRow("platform") << QStringList{"-platform", "offscreen"} << false;
    QTest::newRow("platform, two dashes") << QStringList{"--platform", "xcb"} << false;
    QTest::newRow("style=") << QStringList{"-style=fusion", "-reverse"} << false;
    QTest::newRow("platform without its value") << QStringList{"-platform"} << true;
    QTest::newRow("window option, then a command")
        << QStringList{"-platform", "offscreen", "search"} << true;
    QTest::newRow("command") << QStringList{"list"} << true;
    QTest::newRow("help") << QStringList{"--help"} << true;
    QTest::newRow("command option first") << QStringList{"--connections", "2", "search"} << true;
    QTest::newRow("unknown option") << QStringList{"--bogus", "search"} << true;
    QTest::newRow("unknown single-dash option") << QStringList{"-x"} << true;
}

void ExitStatusesTest::windowOrCommandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, commandLine);
    std::vector<QByteArray> bytes{"quorvane"};
    for (const QString& a : arguments)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    QCOMPARE(isCommandLine(static_cast<int>(argv.size()), argv.data()), commandLine);
}

// Any option before the command: status 2 with the usage text, nothing started.
void ExitStatusesTest::optionBeforeTheCommand_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("connections") << QStringList{"--connections", "2", "search"}
                                 << QByteArray("The command comes first");
    QTest::newRow("connections=") << QStringList{"--connections=2", "search"}
                                  << QByteArray("The command comes first");
    QTest::newRow("output") << QStringList{"--output", "x", "export", "html", "OVERDUE"}
                            << QByteArray("The command comes first");
    QTest::newRow("unknown") << QStringList{"--bogus", "search"}
                             << QByteArray("Unknown option 'bogus'");
    QTest::newRow("window option before a command")
        << QStringList{"-platform", "offscreen", "list"} << QByteArray("Unknown option");
    QTest::newRow("unknown command") << QStringList{"fetch"} << QByteArray("Unknown command");
}

void ExitStatusesTest::optionBeforeTheCommand() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    CommandLine cli;
    cli.write(QStringLiteral("data/OVERDUE.LET"), kOverdue);
    const Run run = cli.run(arguments);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(message), run.err);
    QVERIFY2(run.err.contains("Usage: quorvane search [--address A]") &&
                 run.err.contains("quorvane merge NAME"),
             run.err);
    QVERIFY(run.out.isEmpty());
    QVERIFY(!QFile::exists(cli.path(QStringLiteral("auto.ini"))));
}

// A pinned host whose certificate changed: refused before the login as a possible interception,
// status 5 as for a changed host key; the pin and the data folder stay as they were.
void ExitStatusesTest::changedPinnedCertificate() {
    qv::test::TestCertificates certificates;
    QVERIFY2(certificates.isValid(), qPrintable(certificates.errorString()));
    qv::test::VsftpdServer::Options options;
    options.certificate = certificates.certificate(QStringLiteral("selfsigned"));
    options.key = certificates.key(QStringLiteral("selfsigned"));
    qv::test::VsftpdServer server(options);
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    server.putFile(QStringLiteral("OVERDUE.LET"), kOverdue);
    server.shareWithEveryone();
    CommandLine cli;
    const QByteArray pins = "127.0.0.1:" + QByteArray::number(server.port()) + " sha256//" +
                            QByteArray(32, '\x01').toBase64() + "\n";
    cli.write(QStringLiteral("pinned-certificates.txt"), pins);
    cli.write(QStringLiteral("data/EARLIER.LET"), kOverdue);

    const Run run = cli.run({"search", "--address", server.address(), "--login", server.user()},
                            server.password());
    QCOMPARE(run.status, 5);
    QVERIFY2(run.err.contains("has changed") && run.err.contains("password was not sent"), run.err);
    QCOMPARE(cli.read(QStringLiteral("pinned-certificates.txt")), pins);
    QVERIFY(!QFile::exists(cli.path(QStringLiteral("data/OVERDUE.LET"))));
    QVERIFY(server.commands().filter(QStringLiteral("PASS")).isEmpty());
}

// A host key marked "@revoked" in known_hosts: refused as revoked (5), also when the operator
// gives its very fingerprint to trust it; nothing is appended to known_hosts.
void ExitStatusesTest::revokedHostKey() {
    qv::test::SftpServer server;
    QVERIFY(server.isRunning());
    server.putFile(QStringLiteral("OVERDUE.LET"), kOverdue);
    CommandLine cli;
    const QByteArray line = server.knownHostsLine();
    const QByteArray knownHosts = "@revoked " + line + "\n";
    cli.write(QStringLiteral("home/.ssh/known_hosts"), knownHosts);
    const QStringList search{"search", "--address", server.address(), "--login", server.user()};

    for (const QStringList& extra :
         {QStringList(), QStringList{"--trust-fingerprint", server.fingerprint()}}) {
        const Run run = cli.run(search + extra, server.password());
        QCOMPARE(run.status, 5);
        QVERIFY2(run.err.contains("is revoked"), run.err);
        QVERIFY2(!run.err.contains("Trust this key"), run.err); // never asked
        QCOMPARE(cli.read(QStringLiteral("home/.ssh/known_hosts")), knownHosts);
        QVERIFY(!QFile::exists(cli.path(QStringLiteral("data/OVERDUE.LET"))));
    }
    QCOMPARE(server.count("PASSWORD"), 0);
}

// auto.ini as a text editor writes it, LF line ends: read as the program's own, and rewritten
// with CR LF, each setting once.
void ExitStatusesTest::settingsWithLineFeeds() {
    qv::test::FtpServer server;
    QVERIFY(server.isRunning());
    server.putFile(QStringLiteral("OVERDUE.LET"), kOverdue);
    CommandLine cli;
    cli.write(QStringLiteral("auto.ini"), "[Default]\nIpaddress=" + server.address().toUtf8() +
                                              "\nLogin=" + server.user().toUtf8() +
                                              "\nPassword=" + server.password().toUtf8() + "\n");

    const Run run = cli.run({"search"});
    QVERIFY2(run.status == 0, run.err);
    QCOMPARE(cli.read(QStringLiteral("data/OVERDUE.LET")), kOverdue);
    const QByteArray saved = cli.read(QStringLiteral("auto.ini"));
    QCOMPARE(saved, "[Default]\r\nIpaddress=" + server.address().toUtf8() +
                        "\r\nLogin=" + server.user().toUtf8() +
                        "\r\nPassword=" + server.password().toUtf8() + "\r\n");
}

// A settings file of 100 KB: refused with its reason before anything is sent, and kept.
void ExitStatusesTest::settingsTooLarge() {
    qv::test::FtpServer server;
    QVERIFY(server.isRunning());
    server.putFile(QStringLiteral("OVERDUE.LET"), kOverdue);
    CommandLine cli;
    const QByteArray large = "[Default]\r\nIpaddress=" + server.address().toUtf8() + "\r\n" +
                             QByteArray(100 * 1024, 'x') + "\r\n";
    cli.write(QStringLiteral("auto.ini"), large);

    const Run run = cli.run({"search", "--address", server.address(), "--login", server.user()},
                            server.password());
    QCOMPARE(run.status, 4);
    QVERIFY2(run.err.contains("is larger than 64 KB") && run.err.contains("auto.ini"), run.err);
    QCOMPARE(cli.read(QStringLiteral("auto.ini")), large);
    QVERIFY(!QFile::exists(cli.path(QStringLiteral("data/OVERDUE.LET"))));
}

QTEST_GUILESS_MAIN(ExitStatusesTest)
#include "tst_exitstatuses.moc"
