#include "transfer/ftpaddress.h"
#include "transfer/ftpcommand.h"

#include <QTest>

using namespace qv::transfer;

Q_DECLARE_METATYPE(qv::transfer::FtpCommand)

class TestFtpParsing : public QObject {
    Q_OBJECT
private slots:
    void address_data();
    void address();
    void scheme_data();
    void scheme();
    void command_data();
    void command();
    void commandValue_data();
    void commandValue();
    void pattern_data();
    void pattern();
};

void TestFtpParsing::address_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("base"); // empty: refused

    QTest::newRow("IPv4") << "192.168.1.20"
                          << "ftp://192.168.1.20:21";
    QTest::newRow("IPv4 with spaces around") << "  10.0.0.1 "
                                             << "ftp://10.0.0.1:21";
    QTest::newRow("host name") << "norrevan.example"
                               << "ftp://norrevan.example:21";
    QTest::newRow("host:port") << "127.0.0.1:2121"
                               << "ftp://127.0.0.1:2121";
    QTest::newRow("name:port") << "server:990"
                               << "ftp://server:990";
    QTest::newRow("bare IPv6") << "::1"
                               << "ftp://[::1]:21";
    QTest::newRow("long IPv6") << "fe80::1:2"
                               << "ftp://[fe80::1:2]:21";
    QTest::newRow("bracketed IPv6") << "[::1]"
                                    << "ftp://[::1]:21";
    QTest::newRow("bracketed IPv6 with port") << "[::1]:2121"
                                              << "ftp://[::1]:2121";
    QTest::newRow("ftp URL") << "ftp://10.1.1.1"
                             << "ftp://10.1.1.1:21";
    QTest::newRow("ftp URL with port and path") << "FTP://10.1.1.1:2100/x/y"
                                                << "ftp://10.1.1.1:2100";
    // A login or password in the address is refused, never echoed or saved.
    QTest::newRow("ftp URL with user part") << "ftp://bob:pw@host"
                                            << "";
    QTest::newRow("ftp URL with IPv6") << "ftp://[::1]:2121/"
                                       << "ftp://[::1]:2121";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("blank") << "   "
                           << "";
    QTest::newRow("http URL") << "http://host"
                              << "";
    QTest::newRow("scp URL") << "scp://host"
                             << "";
    QTest::newRow("port 0") << "host:0"
                            << "";
    QTest::newRow("port too big") << "host:65536"
                                  << "";
    QTest::newRow("port not a number") << "host:ftp"
                                       << "";
    QTest::newRow("empty port") << "host:"
                                << "";
    QTest::newRow("space inside") << "10.0.0 .1"
                                  << "";
    QTest::newRow("path in plain address") << "host/dir"
                                           << "";
    QTest::newRow("bad IPv6") << "1::2::3"
                              << "";
    QTest::newRow("injection attempt") << "host\r\nQUIT"
                                       << "";
}

void TestFtpParsing::address() {
    QFETCH(QString, text);
    QFETCH(QString, base);
    QString why;
    const auto parsed = parseFtpAddress(text, &why);
    if (base.isEmpty()) {
        QVERIFY(!parsed);
        QVERIFY(!why.isEmpty());
    } else {
        QVERIFY2(parsed, qPrintable(why));
        QCOMPARE(parsed->urlBase(), base);
    }
}

void TestFtpParsing::scheme_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("scheme");
    QTest::addColumn<QString>("hostPort");
    QTest::addColumn<QString>("base");
    const int ftp = int(Scheme::Ftp), ftpes = int(Scheme::Ftpes), ftps = int(Scheme::Ftps),
              sftp = int(Scheme::Sftp);
    QTest::newRow("plain") << "10.1.1.1" << ftp << "10.1.1.1:21"
                           << "ftp://10.1.1.1:21";
    QTest::newRow("explicit TLS") << "ftpes://10.1.1.1" << ftpes << "10.1.1.1:21"
                                  << "ftp://10.1.1.1:21";
    QTest::newRow("explicit TLS, port") << "FTPES://host:2121/x" << ftpes << "host:2121"
                                        << "ftp://host:2121";
    QTest::newRow("implicit TLS") << "ftps://10.1.1.1" << ftps << "10.1.1.1:990"
                                  << "ftps://10.1.1.1:990";
    QTest::newRow("implicit TLS, port") << "ftps://[::1]:9990" << ftps << "[::1]:9990"
                                        << "ftps://[::1]:9990";
    QTest::newRow("SFTP") << "sftp://server.example" << sftp << "server.example:22"
                          << "sftp://server.example:22";
    QTest::newRow("SFTP, port") << "sftp://127.0.0.1:2222" << sftp << "127.0.0.1:2222"
                                << "sftp://127.0.0.1:2222";
}

void TestFtpParsing::scheme() {
    QFETCH(QString, text);
    QFETCH(int, scheme);
    QFETCH(QString, hostPort);
    QFETCH(QString, base);
    QString why;
    const auto parsed = parseFtpAddress(text, &why);
    QVERIFY2(parsed, qPrintable(why));
    QCOMPARE(int(parsed->scheme), scheme);
    QCOMPARE(parsed->hostPort(), hostPort);
    QCOMPARE(parsed->urlBase(), base);
    QCOMPARE(parsed->usesTls(), scheme == int(Scheme::Ftpes) || scheme == int(Scheme::Ftps));
    QCOMPARE(parsed->usesSsh(), scheme == int(Scheme::Sftp));
}

void TestFtpParsing::command_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("kind"); // -1: refused
    QTest::addColumn<QString>("remote");
    QTest::addColumn<QString>("extra"); // pattern or local path

    QTest::newRow("listing") << "DIR /u/vantrelle/accounts/*.LET" << 0 << "/u/vantrelle/accounts/"
                             << "*.LET";
    QTest::newRow("listing of a folder") << "dir /u/" << 0 << "/u/"
                                         << "*";
    QTest::newRow("download") << "GET /u/vantrelle/accounts/A.LET /opt/q/data/A.LET" << 1
                              << "/u/vantrelle/accounts/A.LET"
                              << "/opt/q/data/A.LET";
    QTest::newRow("download, space in the name")
        << "GET /u/vantrelle/accounts/my file.LET /opt/q/data/my file.LET" << 1
        << "/u/vantrelle/accounts/my file.LET"
        << "/opt/q/data/my file.LET";
    QTest::newRow("download, space in the folder")
        << "GET /u/vantrelle/accounts/A.LET /home/ann/My Programs/q/data/A.LET" << 1
        << "/u/vantrelle/accounts/A.LET"
        << "/home/ann/My Programs/q/data/A.LET";
    QTest::newRow("download, spaces on both sides")
        << "GET /u/vantrelle/accounts/a b.LET /tmp/x y/data/a b.LET" << 1
        << "/u/vantrelle/accounts/a b.LET"
        << "/tmp/x y/data/a b.LET";
    QTest::newRow("download without local path") << "GET /u/vantrelle/accounts/A.LET" << -1 << ""
                                                 << "";
    QTest::newRow("download to a relative path") << "GET /u/A.LET data/A.LET" << -1 << ""
                                                 << "";
    QTest::newRow("delete") << "DELETE /u/vantrelle/accounts/A.LET" << 2
                            << "/u/vantrelle/accounts/A.LET"
                            << "";
    QTest::newRow("delete of a folder") << "DELETE /u/vantrelle/accounts/" << -1 << ""
                                        << "";
    QTest::newRow("unknown") << "PUT /x /y" << -1 << ""
                             << "";
    QTest::newRow("empty") << "" << -1 << ""
                           << "";
}

void TestFtpParsing::command() {
    QFETCH(QString, line);
    QFETCH(int, kind);
    QFETCH(QString, remote);
    QFETCH(QString, extra);
    const auto parsed = parseFtpCommand(line);
    if (kind < 0) {
        QVERIFY(!parsed);
        return;
    }
    QVERIFY(parsed);
    QCOMPARE(static_cast<int>(parsed->kind), kind);
    if (parsed->kind == FtpCommand::Kind::List) {
        QCOMPARE(parsed->remoteFolder, remote);
        QCOMPARE(parsed->pattern, extra);
    } else {
        QCOMPARE(parsed->remotePath, remote);
        QCOMPARE(parsed->localPath, extra);
    }
    // The command's own line reads back as the same command.
    QCOMPARE(parsed->fault(), QString());
    const auto again = parseFtpCommand(parsed->line());
    QVERIFY(again);
    QCOMPARE(again->kind, parsed->kind);
    QCOMPARE(again->line(), parsed->line());
}

// Commands given as values are checked as their lines are.
void TestFtpParsing::commandValue_data() {
    QTest::addColumn<FtpCommand>("command");
    QTest::addColumn<QString>("fault");
    QTest::newRow("listing") << FtpCommand::list("/u/", "*.LET") << "";
    QTest::newRow("listing without pattern")
        << FtpCommand::list("/u/", "") << "DIR needs a pattern";
    QTest::newRow("download") << FtpCommand::get("/u/A.LET", "/tmp/q/A.LET") << "";
    QTest::newRow("download to a relative path")
        << FtpCommand::get("/u/A.LET", "data/A.LET")
        << "GET needs a remote file and an absolute local path";
    QTest::newRow("download of a folder") << FtpCommand::get("/u/", "/tmp/q/A.LET")
                                          << "GET needs a remote file and an absolute local path";
    QTest::newRow("delete") << FtpCommand::remove("/u/A.LET") << "";
    QTest::newRow("delete of a folder")
        << FtpCommand::remove("/u/") << "DELETE needs a remote file";
}

void TestFtpParsing::commandValue() {
    QFETCH(FtpCommand, command);
    QFETCH(QString, fault);
    QCOMPARE(command.fault(), fault);
}

void TestFtpParsing::pattern_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matches");

    QTest::newRow("plain") << "A.LET"
                           << "*.LET" << true;
    QTest::newRow("lower case extension") << "A.let"
                                          << "*.LET" << false;
    QTest::newRow("other extension") << "A.TXT"
                                     << "*.LET" << false;
    QTest::newRow("extension only") << ".LET"
                                    << "*.LET" << true;
    QTest::newRow("double extension") << "X.LET.LET"
                                      << "*.LET" << true;
    QTest::newRow("extension in the middle") << "X.LET.bak"
                                             << "*.LET" << false;
    QTest::newRow("question mark") << "AB.LET"
                                   << "A?.LET" << true;
    QTest::newRow("question mark needs a character") << "A.LET"
                                                     << "A?.LET" << false;
    QTest::newRow("star matches nothing") << "A"
                                          << "A*" << true;
    QTest::newRow("backtracking") << "a.LET.x.LET"
                                  << "*.LET" << true;
    QTest::newRow("literal") << "A.LET"
                             << "A.LET" << true;
    QTest::newRow("star in the name") << "*.LET"
                                      << "*.LET" << true;
    QTest::newRow("empty name") << ""
                                << "*.LET" << false;
}

void TestFtpParsing::pattern() {
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    QFETCH(bool, matches);
    QCOMPARE(matchesPattern(name, pattern), matches);
}

QTEST_GUILESS_MAIN(TestFtpParsing)
#include "tst_ftpparsing.moc"
