// Trust without a window: the files that record it, the facts the operator is shown, and the
// transfer control's handling of an untrusted server (no prompt, No, a Yes that cannot be
// recorded) against a real SFTP server.
#include "platform/services.h"
#include "tests/support/sftpserver.h"
#include "tests/support/tempprogramfolder.h"
#include "transfer/knownhosts.h"
#include "transfer/peeridentity.h"
#include "transfer/sshcheck.h"
#include "transfer/transfercontrol.h"
#include "transfer/trustfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace qv::transfer;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

constexpr QFile::Permissions kGroupOrOther = QFile::ReadGroup | QFile::WriteGroup |
                                             QFile::ExeGroup | QFile::ReadOther |
                                             QFile::WriteOther | QFile::ExeOther;

} // namespace

class TestTrust : public QObject {
    Q_OBJECT
private slots:
    void pinnedCertificates();
    void knownHostsName_data();
    void knownHostsName();
    void knownHostsFileIsAppendedOwnerOnly();
    void fingerprintAsOpenSshShowsIt_data();
    void fingerprintAsOpenSshShowsIt();
    void questionShowsTheFacts_data();
    void questionShowsTheFacts();
    void untrustedServerEndsTheCommand_data();
    void untrustedServerEndsTheCommand();
    void keyTrustedWithSshIsKnown();
    void revokedKeyIsNeverAsked_data();
    void revokedKeyIsNeverAsked();
};

void TestTrust::pinnedCertificates() {
    QTemporaryDir dir;
    const QString file = dir.filePath("pinned-certificates.txt");
    QCOMPARE(pinnedCertificate(file, "h:21"), QByteArray()); // no file yet
    QString why;
    QVERIFY2(pinCertificate(file, "h:21", "sha256//AAA=", &why), qPrintable(why));
    QVERIFY(pinCertificate(file, "[::1]:990", "sha256//BBB=", &why));
    QVERIFY(pinCertificate(file, "h:21", "sha256//CCC=", &why)); // replaces the first
    QCOMPARE(readFile(file), QByteArray("[::1]:990 sha256//BBB=\nh:21 sha256//CCC=\n"));
    QCOMPARE(pinnedCertificate(file, "h:21"), QByteArray("sha256//CCC="));
    QCOMPARE(pinnedCertificate(file, "[::1]:990"), QByteArray("sha256//BBB="));
    QCOMPARE(pinnedCertificate(file, "h:990"), QByteArray());
    QCOMPARE(QFile(file).permissions() & kGroupOrOther, QFile::Permissions());

    // A folder that cannot be written: a clear reason, the old file untouched.
    const QString blocked = dir.filePath("not-a-folder/pins.txt");
    QFile(dir.filePath("not-a-folder")).open(QIODevice::WriteOnly);
    QVERIFY(!pinCertificate(blocked, "h:21", "sha256//AAA=", &why));
    QVERIFY2(why.startsWith("Cannot write " + blocked), qPrintable(why));
}

void TestTrust::knownHostsName_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("name");
    QTest::newRow("port 22") << "10.0.0.5" << 22 << "10.0.0.5";
    QTest::newRow("other port") << "server.example" << 2222 << "[server.example]:2222";
    QTest::newRow("IPv6, port 22") << "[::1]" << 22 << "::1";
    QTest::newRow("IPv6, other port") << "[::1]" << 2222 << "[::1]:2222";
}

void TestTrust::knownHostsName() {
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QString, name);
    QCOMPARE(qv::transfer::knownHostsName(host, port), name);
}

void TestTrust::knownHostsFileIsAppendedOwnerOnly() {
    QTemporaryDir home;
    const QString file = home.filePath(".ssh/known_hosts");
    QString why;
    QVERIFY2(addKnownHost(file, "[h]:2222", "ssh-ed25519 AAAA", &why), qPrintable(why));
    QCOMPARE(readFile(file), QByteArray("[h]:2222 ssh-ed25519 AAAA\n"));
    QCOMPARE(QFile(file).permissions() & kGroupOrOther, QFile::Permissions());
    QCOMPARE(QFile(home.filePath(".ssh")).permissions() & kGroupOrOther, QFile::Permissions());

    // A last line without its line end keeps its own line; other lines stay as they were.
    QFile edit(file);
    QVERIFY(edit.open(QIODevice::Append));
    edit.write("other ssh-rsa BBBB");
    edit.close();
    QVERIFY(addKnownHost(file, "h2", "ssh-ed25519 CCCC", &why));
    QCOMPARE(readFile(file), QByteArray("[h]:2222 ssh-ed25519 AAAA\nother ssh-rsa BBBB\n"
                                        "h2 ssh-ed25519 CCCC\n"));
}

void TestTrust::fingerprintAsOpenSshShowsIt_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("label");
    QTest::newRow("ED25519") << "ed25519"
                             << "ED25519";
    QTest::newRow("ECDSA") << "ecdsa"
                           << "ECDSA";
    QTest::newRow("RSA") << "rsa"
                         << "RSA";
}

void TestTrust::fingerprintAsOpenSshShowsIt() {
    QFETCH(QString, type);
    QFETCH(QString, label);
    QTemporaryDir dir;
    const QString key = dir.filePath("key");
    QProcess keygen;
    keygen.start("ssh-keygen", {"-q", "-t", type, "-N", "", "-f", key});
    QVERIFY(keygen.waitForFinished(60000) && keygen.exitCode() == 0);
    keygen.start("ssh-keygen", {"-l", "-E", "sha256", "-f", key + ".pub"});
    QVERIFY(keygen.waitForFinished(30000) && keygen.exitCode() == 0);
    // "256 SHA256:... comment (ED25519)"
    const QList<QByteArray> shown = keygen.readAllStandardOutput().trimmed().split(' ');
    const QList<QByteArray> publicKey = readFile(key + ".pub").split(' ');
    const QByteArray blob = QByteArray::fromBase64(publicKey[1]);

    QCOMPARE(sshFingerprint(blob), QString::fromLatin1(shown[1]));
    QCOMPARE(sshKeyTypeName(blob), publicKey[0]);
    QCOMPARE(sshKeyTypeLabel(publicKey[0]), label);
    QCOMPARE("(" + label + ")", QString::fromLatin1(shown.last()));
    QCOMPARE(sshKeyTypeName("\xff\xff\xff\xff"), QByteArray()); // malformed
}

void TestTrust::questionShowsTheFacts_data() {
    QTest::addColumn<bool>("hostKey");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("certificate question")
        << false << false
        << QStringList{"The certificate of h:990 is not trusted: self-signed certificate.",
                       "Subject: CN=h",
                       "Valid from: 2024-01-01 00:00:00 UTC",
                       "Valid until: 2034-01-01 00:00:00 UTC",
                       "SHA-256 fingerprint: AB:CD",
                       "Trust this certificate for h:990?",
                       "/p/pins.txt"};
    QTest::newRow("host key question")
        << true << false
        << QStringList{"The SSH host key of h:22 is not known (it is not in /k).",
                       "ED25519 key fingerprint is SHA256:xyz.",
                       "Trust this key for h:22 and add it to /k?"};
    QTest::newRow("changed certificate")
        << false << true
        << QStringList{"WARNING: the certificate of h:990 has changed (now SHA-256 AB:CD",
                       "the password was not sent", "/p/pins.txt"};
    QTest::newRow("changed host key")
        << true << true
        << QStringList{"WARNING: the SSH host key of h:22 has changed (now ED25519 SHA256:xyz)",
                       "the password was not sent", "remove the old key from /k"};
}

void TestTrust::questionShowsTheFacts() {
    QFETCH(bool, hostKey);
    QFETCH(bool, changed);
    QFETCH(QStringList, shown);
    PeerIdentity identity;
    if (hostKey) {
        identity = {PeerIdentity::Kind::HostKey,
                    "h:22",
                    changed,
                    "it is not in /k",
                    {},
                    {},
                    {},
                    "SHA256:xyz",
                    "ED25519",
                    "ssh-ed25519 AAAA",
                    "/k",
                    "h"};
    } else {
        identity = {PeerIdentity::Kind::Certificate,
                    "h:990",
                    changed,
                    "self-signed certificate",
                    "CN=h",
                    "2024-01-01 00:00:00 UTC",
                    "2034-01-01 00:00:00 UTC",
                    "AB:CD",
                    {},
                    "sha256//x",
                    "/p/pins.txt",
                    "h:990"};
    }
    const QString text = changed ? changedIdentityWarning(identity) : trustQuestion(identity);
    for (const QString& part : shown)
        QVERIFY2(text.contains(part), qPrintable(text + "\n-- lacks: " + part));
    QVERIFY(declinedIdentityText(identity).contains("the password was not sent"));
}

void TestTrust::untrustedServerEndsTheCommand_data() {
    QTest::addColumn<QString>("prompt"); // none, no, yes (with known_hosts unwritable)
    QTest::addColumn<QString>("info");
    QTest::newRow("no prompt") << "none"
                               << "The SSH host key of 127.0.0.1:* was not trusted";
    QTest::newRow("answered No") << "no"
                                 << "The SSH host key of 127.0.0.1:* was not trusted";
    QTest::newRow("Yes, known_hosts unwritable") << "yes"
                                                 << "Cannot create the folder *";
}

void TestTrust::untrustedServerEndsTheCommand() {
    QFETCH(QString, prompt);
    QFETCH(QString, info);
    qv::test::TempProgramFolder folder;
    QTemporaryDir home;
    QFile(home.filePath("file")).open(QIODevice::WriteOnly);
    const qv::ScopedServices services([&](qv::Services& s) {
        s.knownHostsFile = home.filePath(prompt == "yes" ? "file/.ssh/known_hosts" : "known");
    });
    qv::test::SftpServer server;
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    qv::TransferControl control;
    control.setURL(server.address());
    control.setUserName(server.user());
    control.setPassword(server.password());
    int asked = 0;
    if (prompt != "none")
        control.setTrustPrompt([&](const PeerIdentity& identity) {
            ++asked;
            return identity.fingerprint == server.fingerprint() && prompt == "yes";
        });
    QSignalSpy states(&control, &qv::TransferControl::StateChanged);
    QSignalSpy ended(&control, &qv::TransferControl::CommandEnded);

    QVERIFY(control.Execute(QString(), "DIR /u/vantrelle/accounts/*.LET"));
    QVERIFY(ended.wait(20000));

    QCOMPARE(asked, prompt == "none" ? 0 : 1);
    QCOMPARE(states.last().at(0).toInt(), 11);
    QVERIFY2(QRegularExpression(QRegularExpression::wildcardToRegularExpression(
                                    info + "*", QRegularExpression::UnanchoredWildcardConversion))
                 .match(control.ResponseInfo())
                 .hasMatch(),
             qPrintable(control.ResponseInfo()));
    QCOMPARE(server.count("PASSWORD"), 0); // the password never left
    QCOMPARE(server.count("CONNECT"), 1);  // asked once, not tried again
}

void TestTrust::keyTrustedWithSshIsKnown() {
    // ssh keeps host names hashed in known_hosts (Debian's default); such a line is known too.
    qv::test::TempProgramFolder folder;
    QTemporaryDir home;
    const QString knownHosts = home.filePath("known_hosts");
    const qv::ScopedServices services([&](qv::Services& s) { s.knownHostsFile = knownHosts; });
    qv::test::SftpServer server;
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    QFile file(knownHosts);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("other.example ssh-ed25519 AAAAC3NzaC1lZDI1NTE5AAAAIEUGHANfJ/tty+S60CrKAf7AQ4friI"
               "jC5FitYHb+R4IH\n" +
               server.knownHostsLine() + '\n');
    file.close();
    QProcess hash;
    hash.start("ssh-keygen", {"-H", "-f", knownHosts});
    QVERIFY(hash.waitForFinished(30000) && hash.exitCode() == 0);
    QVERIFY(readFile(knownHosts).startsWith("|1|"));
    server.putFile("A.LET", "N\n");

    qv::TransferControl control;
    control.setURL(server.address());
    control.setUserName(server.user());
    control.setPassword(server.password());
    int asked = 0;
    control.setTrustPrompt([&](const PeerIdentity&) {
        ++asked;
        return false;
    });
    QSignalSpy ended(&control, &qv::TransferControl::CommandEnded);
    QVERIFY(control.Execute(QString(), "DIR /u/vantrelle/accounts/*.LET"));
    QVERIFY(ended.wait(20000));

    QCOMPARE(asked, 0);
    QCOMPARE(control.ResponseInfo(), QString());
    QCOMPARE(control.GetChunk(1024), QString("A.LET\r\n"));
}

// A key marked "@revoked" in known_hosts is refused as revoked: whatever else the file says of
// it, the operator is never asked (the window's question is never put) and nothing is appended.
void TestTrust::revokedKeyIsNeverAsked_data() {
    QTest::addColumn<QByteArray>("lines"); // %N the host's name, %K the server's key
    QTest::newRow("revoked only") << QByteArray("@revoked %N %K\n");
    QTest::newRow("trusted, then revoked") << QByteArray("%N %K\n@revoked %N %K\n");
    QTest::newRow("revoked for every host") << QByteArray("@revoked * %K\n%N %K\n");
    QTest::newRow("revoked for a pattern") << QByteArray("@revoked 127.0.0.?,[127.0.0.1]:* %K\n");
}

void TestTrust::revokedKeyIsNeverAsked() {
    QFETCH(QByteArray, lines);
    qv::test::TempProgramFolder folder;
    QTemporaryDir home;
    const QString knownHosts = home.filePath("known_hosts");
    const qv::ScopedServices services([&](qv::Services& s) { s.knownHostsFile = knownHosts; });
    qv::test::SftpServer server;
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    const QByteArray line = server.knownHostsLine();
    const QByteArray name = line.left(line.indexOf(' '));
    lines.replace("%N", name).replace("%K", server.publicKey());
    QFile file(knownHosts);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(lines) == lines.size());
    file.close();
    const QByteArray key = QByteArray::fromBase64(server.publicKey().split(' ').value(1));
    QCOMPARE(lookUpKnownHost(knownHosts, QString::fromLatin1(name), key), KnownHostMatch::Revoked);

    qv::TransferControl control;
    control.setURL(server.address());
    control.setUserName(server.user());
    control.setPassword(server.password());
    int asked = 0;
    control.setTrustPrompt([&](const PeerIdentity&) {
        ++asked;
        return true; // an operator who would say Yes to anything
    });
    QSignalSpy ended(&control, &qv::TransferControl::CommandEnded);
    QVERIFY(control.Execute(QString(), "DIR /u/vantrelle/accounts/*.LET"));
    QVERIFY(ended.wait(20000));

    QCOMPARE(asked, 0);
    QVERIFY2(control.ResponseInfo().contains("is revoked"), qPrintable(control.ResponseInfo()));
    QCOMPARE(server.count("PASSWORD"), 0);
    QCOMPARE(readFile(knownHosts), lines);
}

QTEST_MAIN(TestTrust)
#include "tst_trust.moc"
