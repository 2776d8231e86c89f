// The search and the delete over FTP with TLS (vsftpd, explicit and implicit) and over SFTP
// (asyncssh), from the window's actions: the same texts and outcomes as over plain FTP, the trust
// questions and their answers, a changed certificate or host key refused without a question,
// and nothing but the handshake sent before the operator trusts the server.
#include "app/actions/search.h"
#include "app/form2.h"
#include "tests/support/designcontrol.h"
#include "tests/support/ftpserver.h"
#include "tests/support/recordingdialogs.h"
#include "tests/support/sftpserver.h"
#include "tests/support/tempprogramfolder.h"
#include "tests/support/testcertificates.h"
#include "tests/support/vsftpdserver.h"
#include "transfer/transfercontrol.h"
#include "ui/listview.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QSslCertificate>
#include <QSslKey>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using qv::test::designControl;
using qv::test::SftpServer;
using qv::test::VsftpdServer;

namespace {

const QString kAdvice = QStringLiteral("\r\nPlease check IP Address/Login/Paswword Settings");
// A valid ED25519 public key that no test server has.
const QByteArray kOtherHostKey =
    "ssh-ed25519 "
    "AAAAC3NzaC1lZDI1NTE5AAAAIEUGHANfJ/tty+S60CrKAf7AQ4friIjC5FitYHb+R4IH";

QSslCertificate loadCertificate(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QSslCertificate(&file, QSsl::Pem);
}

// The pin of a certificate as the program records it.
QByteArray pinOf(const QString& path) {
    const QByteArray key = loadCertificate(path).publicKey().toDer();
    return "sha256//" + QCryptographicHash::hash(key, QCryptographicHash::Sha256).toBase64();
}

QString fingerprintOf(const QString& path) {
    return QString::fromLatin1(
        loadCertificate(path).digest(QCryptographicHash::Sha256).toHex(':').toUpper());
}

} // namespace

// One of the encrypting servers, a window in a temporary program folder, recorded dialogs, and
// trust kept in files of the test: the test CA (when given) and a known_hosts file.
struct SecureFixture {
    enum class Server { Ftp, Ftpes, Ftps, Sftp }; // Ftp: vsftpd without TLS

    qv::test::TempProgramFolder folder;
    qv::test::RecordingDialogs dialogs;
    qv::test::TestCertificates certificates;
    QTemporaryDir home;
    std::unique_ptr<qv::ScopedServices> trust;
    std::unique_ptr<VsftpdServer> vsftpd;
    std::unique_ptr<SftpServer> sftp;
    std::unique_ptr<Form2> form;

    // certificate: the vsftpd's; withAuthority: the program trusts the test CA.
    // maxPerAddress: the connections vsftpd takes at once (0: any).
    SecureFixture(Server server, const QString& certificate = QStringLiteral("signed"),
                  bool withAuthority = true, qint64 maxBytesPerSecond = 0, int maxPerAddress = 0) {
        trust = std::make_unique<qv::ScopedServices>([&](qv::Services& s) {
            s.certificateAuthorities = withAuthority ? certificates.authority() : QString();
            s.knownHostsFile = knownHosts();
        });
        if (server == Server::Sftp) {
            sftp = std::make_unique<SftpServer>();
        } else {
            VsftpdServer::Options options;
            options.tls = server == Server::Ftps  ? VsftpdServer::Tls::Implicit
                          : server == Server::Ftp ? VsftpdServer::Tls::None
                                                  : VsftpdServer::Tls::Explicit;
            options.maxPerAddress = maxPerAddress;
            options.certificate = certificates.certificate(certificate);
            options.key = certificates.key(certificate);
            options.maxBytesPerSecond = maxBytesPerSecond;
            vsftpd = std::make_unique<VsftpdServer>(options);
        }
        form = std::make_unique<Form2>();
        designControl<QLineEdit>(*form, "Text10")
            ->setText(sftp ? sftp->address() : vsftpd->address());
        designControl<QLineEdit>(*form, "Text11")->setText(sftp ? sftp->user() : vsftpd->user());
        designControl<QLineEdit>(*form, "Text12")
            ->setText(sftp ? sftp->password() : vsftpd->password());
    }
    ~SecureFixture() { form.reset(); }

    bool ready(QString* why) const {
        *why = !certificates.isValid() ? certificates.errorString()
               : sftp                  ? sftp->errorString()
                                       : vsftpd->errorString();
        return certificates.isValid() && (sftp ? sftp->isRunning() : vsftpd->isRunning());
    }
    QString knownHosts() const { return home.filePath(QStringLiteral(".ssh/known_hosts")); }
    void knowHost(const QByteArray& line) const {
        QDir().mkpath(home.filePath(QStringLiteral(".ssh")));
        QFile file(knownHosts());
        file.open(QIODevice::Append);
        file.write(line + '\n');
    }
    // The SFTP server's host key in known_hosts, as after an earlier ssh login.
    void knowServer() const {
        if (sftp)
            knowHost(sftp->knownHostsLine());
    }
    QString hostPort() const {
        return QStringLiteral("127.0.0.1:%1").arg(sftp ? sftp->port() : vsftpd->port());
    }
    const qv::test::ServerFiles& files() const {
        return sftp ? static_cast<const qv::test::ServerFiles&>(*sftp) : *vsftpd;
    }
    // Whether the server was sent the login at all.
    bool loginReached() const {
        if (sftp)
            return sftp->count(QStringLiteral("PASSWORD")) > 0;
        const QStringList commands = vsftpd->commands();
        return !commands.filter(QStringLiteral("USER")).isEmpty() ||
               !commands.filter(QStringLiteral("PASS")).isEmpty();
    }
    // How many times the server was logged in to.
    int logins() const {
        if (sftp)
            return sftp->count(QStringLiteral("LOGIN"));
        return vsftpd->commands().filter(QRegularExpression(QStringLiteral("^PASS"))).size();
    }
    // How many connections the server saw, refused ones included.
    int connections() const {
        if (sftp)
            return sftp->count(QStringLiteral("CONNECT")) + sftp->count(QStringLiteral("REFUSED"));
        return vsftpd->connections();
    }
    // How many of its connections the server still serves.
    int openSessions() const {
        if (sftp)
            return sftp->count(QStringLiteral("CONNECT")) -
                   sftp->count(QStringLiteral("DISCONNECT"));
        return vsftpd->sessionProcesses();
    }
    // The browser's entries, sorted: they come in the listing's order, which SFTP servers do
    // not sort.
    QStringList rows() const {
        QStringList out;
        for (int r = 0; r < designControl<ListView>(*form, "ListView1")->itemCount(); ++r)
            out << designControl<ListView>(*form, "ListView1")->itemText(r);
        out.sort();
        return out;
    }
    QStringList dataFiles() const {
        QStringList all;
        QDirIterator it(folder.filePath(QStringLiteral("data")),
                        QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            all << it.fileName();
        }
        all.sort();
        return all;
    }
};

using Server = SecureFixture::Server;
Q_DECLARE_METATYPE(SecureFixture::Server)

#define REQUIRE_READY(f)                                                                           \
    do {                                                                                           \
        QString why;                                                                               \
        QVERIFY2((f).ready(&why), qPrintable(why));                                                \
    } while (false)

class TestSecureSearch : public QObject {
    Q_OBJECT
private slots:
    void searchDeleteAndSearchAgain_data();
    void searchDeleteAndSearchAgain();
    void trustQuestion_data();
    void trustQuestion();
    void changedIdentityIsRefused_data();
    void changedIdentityIsRefused();
    void wrongPassword_data();
    void wrongPassword();
    void ftpesRefusedByAServerWithoutTls();
    void faultDuringADownload_data();
    void faultDuringADownload();
    void serverTakesFewerConnections_data();
    void serverTakesFewerConnections();
    void manyFilesOverTls_data();
    void manyFilesOverTls();
};

void TestSecureSearch::searchDeleteAndSearchAgain_data() {
    QTest::addColumn<Server>("server");
    QTest::newRow("ftpes://") << Server::Ftpes;
    QTest::newRow("ftps://") << Server::Ftps;
    QTest::newRow("sftp://") << Server::Sftp;
}

void TestSecureSearch::searchDeleteAndSearchAgain() {
    QFETCH(Server, server);
    SecureFixture f(server);
    REQUIRE_READY(f);
    f.knowServer();
    f.files().putFile("C.LET", "Name|Town\nAnn|Cork\nBob|Sligo\nCy|Galway\n");
    f.files().putFile("A.LET", "Name|Town\nAnn|Cork\n");
    f.files().putFile("B.LET", QByteArray(300000, 'b'));
    f.files().putFile("notes.txt", "not a merge file");
    QStringList statuses;
    QObject::connect(designControl<QLineEdit>(*f.form, "Text7"), &QLineEdit::textChanged,
                     [&](const QString& t) { statuses << t; });

    searchServer(*f.form);

    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(f.dialogs.questions, QStringList()); // trusted through the CA or known_hosts
    QCOMPARE(f.rows(), (QStringList{"A", "B", "C"}));
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
             QString("Search Complete 3 files found"));
    QCOMPARE(statuses.first(),
             "- Connecting " + designControl<QLineEdit>(*f.form, "Text10")->text());
    QVERIFY(statuses.contains("- Downloading B.LET"));
    QCOMPARE(f.folder.read("data/B.LET"), QByteArray(300000, 'b'));
    QCOMPARE(f.folder.read("data/C.LET"), f.files().fileBytes("C.LET"));
    QCOMPARE(f.logins(), 3); // the listing's connection and two more, one a file

    designControl<QLineEdit>(*f.form, "Text1")->setText("A");
    f.dialogs.confirmAnswers << true;
    deleteOnServer(*f.form);

    QCOMPARE(f.files().fileNames(), (QStringList{"B.LET", "C.LET", "notes.txt"}));
    QCOMPARE(f.rows(), (QStringList{"B", "C"}));
    QCOMPARE(f.dataFiles(), (QStringList{"B.LET", "C.LET"}));
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
             QString("Search Complete 2 files found"));
    QCOMPARE(f.dialogs.messages, QStringList());
    // The delete and the search after it share one connection; one more for the second file.
    QCOMPARE(f.logins(), 5);
    QVERIFY(f.form->isEnabled());
}

void TestSecureSearch::trustQuestion_data() {
    QTest::addColumn<Server>("server");
    QTest::addColumn<QString>("certificate");
    QTest::addColumn<bool>("withAuthority");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("reason");

    QTest::newRow("self-signed, Yes")
        << Server::Ftpes << "selfsigned" << true << true << "self-signed certificate";
    QTest::newRow("self-signed, No")
        << Server::Ftpes << "selfsigned" << true << false << "self-signed certificate";
    QTest::newRow("private CA not trusted, Yes")
        << Server::Ftps << "signed" << false << true << "unable to get local issuer certificate";
    QTest::newRow("wrong name, No")
        << Server::Ftpes << "wrongname" << true << false << "it was not issued for 127.0.0.1";
    QTest::newRow("expired, No") << Server::Ftpes << "expired" << true << false
                                 << "certificate has expired";
    QTest::newRow("unknown host key, Yes") << Server::Sftp << "" << true << true << "it is not in";
    QTest::newRow("unknown host key, No") << Server::Sftp << "" << true << false << "it is not in";
}

void TestSecureSearch::trustQuestion() {
    QFETCH(Server, server);
    QFETCH(QString, certificate);
    QFETCH(bool, withAuthority);
    QFETCH(bool, answer);
    QFETCH(QString, reason);
    SecureFixture f(server, certificate, withAuthority);
    REQUIRE_READY(f);
    // Four files: four connections, and still one question.
    for (const char* name : {"A.LET", "B.LET", "C.LET", "D.LET"})
        f.files().putFile(name, "N\n1\n");
    f.folder.write("auto.ini", "[Default]\r\nIpaddress=old\r\n");
    f.dialogs.confirmAnswers << answer;

    searchServer(*f.form);

    QCOMPARE(f.dialogs.questions.size(), 1);
    const QString question = f.dialogs.questions[0];
    QCOMPARE(f.dialogs.titles.first(), QString("Quorvane"));
    QVERIFY2(question.contains(reason), qPrintable(question));
    QVERIFY2(question.contains(f.hostPort()), qPrintable(question));
    const QString pins = f.folder.filePath("pinned-certificates.txt");
    if (f.sftp) {
        QVERIFY(question.contains("ED25519 key fingerprint is " + f.sftp->fingerprint()));
        QVERIFY(question.contains(f.knownHosts()));
    } else {
        const QString pem = f.certificates.certificate(certificate);
        QVERIFY2(question.contains("SHA-256 fingerprint: " + fingerprintOf(pem)),
                 qPrintable(question));
        QVERIFY(question.contains("Subject: CN=Quorvane "));
        QVERIFY(question.contains(QRegularExpression("Valid from: \\d{4}-\\d\\d-\\d\\d ")));
        QVERIFY(question.contains(QRegularExpression("Valid until: \\d{4}-\\d\\d-\\d\\d ")));
    }

    if (!answer) {
        // Nothing but the handshake: the login never reached the server.
        QVERIFY(!f.loginReached());
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY2(f.dialogs.messages[0].startsWith("- Connection Error! ") &&
                     f.dialogs.messages[0].contains("was not trusted") &&
                     !f.dialogs.messages[0].contains(kAdvice),
                 qPrintable(f.dialogs.messages[0]));
        QCOMPARE(f.rows(), QStringList());
        QCOMPARE(f.folder.read("auto.ini"), QByteArray("[Default]\r\nIpaddress=old\r\n"));
        QVERIFY(!QFile::exists(pins));
        QVERIFY(!QFile::exists(f.knownHosts()));
        return;
    }
    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(f.rows(), (QStringList{"A", "B", "C", "D"}));
    QCOMPARE(f.logins(), 4);
    if (f.sftp) {
        QCOMPARE(QFile(f.knownHosts()).open(QIODevice::ReadOnly), true);
        QFile known(f.knownHosts());
        known.open(QIODevice::ReadOnly);
        QCOMPARE(known.readAll(), f.sftp->knownHostsLine() + '\n');
    } else {
        QFile pinned(pins);
        QVERIFY(pinned.open(QIODevice::ReadOnly));
        QCOMPARE(pinned.readAll(), f.hostPort().toLatin1() + ' ' +
                                       pinOf(f.certificates.certificate(certificate)) + '\n');
        QCOMPARE(pinned.permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);
    }
    // Trusted from now on: the next search asks nothing.
    searchServer(*f.form);
    QCOMPARE(f.dialogs.questions.size(), 1);
    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(f.rows(), (QStringList{"A", "B", "C", "D"}));
}

void TestSecureSearch::changedIdentityIsRefused_data() {
    QTest::addColumn<Server>("server");
    QTest::addColumn<QString>("warning");
    QTest::newRow("pinned certificate changed")
        << Server::Ftpes << "WARNING: the certificate of 127.0.0.1:";
    QTest::newRow("known_hosts key differs")
        << Server::Sftp << "WARNING: the SSH host key of 127.0.0.1:";
}

void TestSecureSearch::changedIdentityIsRefused() {
    QFETCH(Server, server);
    QFETCH(QString, warning);
    // The server shows selfsigned2; the operator trusted another certificate, or another key.
    SecureFixture f(server, QStringLiteral("selfsigned2"));
    REQUIRE_READY(f);
    f.files().putFile("A.LET", "N\n1\n");
    if (f.sftp)
        f.knowHost(QStringLiteral("[127.0.0.1]:%1 ").arg(f.sftp->port()).toLatin1() +
                   kOtherHostKey);
    else
        f.folder.write("pinned-certificates.txt",
                       f.hostPort().toLatin1() + ' ' +
                           pinOf(f.certificates.certificate("selfsigned")) + '\n');
    f.dialogs.confirmAnswers << true; // were it asked, it would be trusted

    searchServer(*f.form);

    QCOMPARE(f.dialogs.questions, QStringList());
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages[0].contains(warning) &&
                 f.dialogs.messages[0].contains("the password was not sent"),
             qPrintable(f.dialogs.messages[0]));
    QVERIFY(!f.loginReached());
    QCOMPARE(f.rows(), QStringList());
}

void TestSecureSearch::wrongPassword_data() {
    QTest::addColumn<Server>("server");
    QTest::addColumn<QString>("message");
    QTest::newRow("ftpes://") << Server::Ftpes
                              << "- Connection Error! 530: Login incorrect." + kAdvice;
    QTest::newRow("sftp://")
        << Server::Sftp
        << "- Connection Error! 67: The server refused the login name or password" + kAdvice;
}

void TestSecureSearch::wrongPassword() {
    QFETCH(Server, server);
    QFETCH(QString, message);
    SecureFixture f(server);
    REQUIRE_READY(f);
    f.knowServer();
    f.files().putFile("A.LET", "N\n1\n");
    designControl<QLineEdit>(*f.form, "Text12")->setText("wrong");

    searchServer(*f.form);

    QCOMPARE(f.dialogs.messages, QStringList{message});
    QCOMPARE(f.rows(), QStringList());
    QVERIFY(f.form->isEnabled());
}

void TestSecureSearch::ftpesRefusedByAServerWithoutTls() {
    qv::test::TempProgramFolder folder;
    qv::test::RecordingDialogs dialogs;
    qv::test::FtpServer server; // plain FTP only
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    server.putFile("A.LET", "N\n1\n");
    Form2 form;
    designControl<QLineEdit>(form, "Text10")->setText("ftpes://" + server.address());
    designControl<QLineEdit>(form, "Text11")->setText(server.user());
    designControl<QLineEdit>(form, "Text12")->setText(server.password());

    searchServer(form);

    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY2(dialogs.messages[0].startsWith("- Connection Error! ") &&
                 dialogs.messages[0].contains("The server does not offer TLS") &&
                 dialogs.messages[0].contains("the login was not sent"),
             qPrintable(dialogs.messages[0]));
    QCOMPARE(server.count("LOGIN"), 0); // neither a login nor a refused one
    QCOMPARE(server.count("CONNECT"), 1);
    QCOMPARE(designControl<ListView>(form, "ListView1")->itemCount(), 0);
}

void TestSecureSearch::faultDuringADownload_data() {
    QTest::addColumn<Server>("server");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("error"); // the start of the status line's error
    QTest::newRow("ftpes://, connection dropped") << Server::Ftpes << "drop"
                                                  << "- Connection Error! ";
    QTest::newRow("sftp://, connection dropped") << Server::Sftp << "drop"
                                                 << "- Connection Error! ";
    QTest::newRow("sftp://, download stalls") << Server::Sftp << "stall"
                                              << "- Connection Error! 28: The server stopped";
}

// One file fails on both tries; the others arrive, no partial file is left, and the search ends
// saying which file was not stored.
void TestSecureSearch::faultDuringADownload() {
    QFETCH(Server, server);
    QFETCH(QString, fault);
    QFETCH(QString, error);
    // vsftpd sends slowly enough for the connection to be cut while B.LET arrives.
    SecureFixture f(server, QStringLiteral("signed"), true, 200000);
    REQUIRE_READY(f);
    f.knowServer();
    f.form->transfer->setTimeouts({5000, 1000});
    if (f.sftp && fault == "drop")
        f.sftp->dropDownload("B.LET", 100000);
    else if (f.sftp)
        f.sftp->stallDownload("B.LET");
    bool dropping = !f.sftp;
    QObject::connect(designControl<QLineEdit>(*f.form, "Text8"), &QLineEdit::textChanged,
                     [&](const QString& text) {
                         if (dropping && text == "- Receiving Response..." &&
                             designControl<QLineEdit>(*f.form, "Text7")->text().endsWith("B.LET"))
                             f.vsftpd->dropConnections();
                     });
    f.files().putFile("A.LET", "N\n1\n");
    f.files().putFile("B.LET", QByteArray(300000, 'b'));
    f.files().putFile("C.LET", "N\n1\n2\n");
    QStringList errors;
    QObject::connect(designControl<QLineEdit>(*f.form, "Text8"), &QLineEdit::textChanged,
                     [&](const QString& t) {
                         if (t.startsWith("- Connection Error! "))
                             errors << t;
                     });

    searchServer(*f.form);

    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages[0].startsWith("Search Complete 2 files found, 1 not stored: "
                                              "B.LET\r\n\r\n1 listed file was not stored:\r\n"
                                              "B.LET: "),
             qPrintable(f.dialogs.messages[0]));
    QVERIFY2(errors.size() == 1 && errors[0].startsWith(error), qPrintable(errors.join(" / ")));
    QCOMPARE(f.rows(), (QStringList{"A", "C"}));
    QCOMPARE(f.dataFiles(), (QStringList{"A.LET", "C.LET"}));
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
             QString("Search Complete 2 files found, 1 not stored: B.LET"));

    // Once the server behaves again, everything arrives.
    dropping = false;
    if (f.sftp)
        f.sftp->clearFaults();
    f.dialogs.messages.clear();
    searchServer(*f.form);
    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(f.rows(), (QStringList{"A", "B", "C"}));
    QCOMPARE(f.folder.read("data/B.LET"), QByteArray(300000, 'b'));
}

void TestSecureSearch::serverTakesFewerConnections_data() {
    QTest::addColumn<Server>("server");
    QTest::addColumn<int>("limit");
    QTest::newRow("ftp://, vsftpd, two at once") << Server::Ftp << 2;
    QTest::newRow("ftpes://, vsftpd, two at once") << Server::Ftpes << 2;
    QTest::newRow("ftps://, vsftpd, two at once") << Server::Ftps << 2;
    QTest::newRow("sftp://, one session at once") << Server::Sftp << 1;
}

// A server that refuses connections beyond its limit: the search goes on with those it has, says
// nothing of it, and the next search asks for no more than the server took.
void TestSecureSearch::serverTakesFewerConnections() {
    QFETCH(Server, server);
    QFETCH(int, limit);
    SecureFixture f(server, QStringLiteral("signed"), true, 0, limit);
    REQUIRE_READY(f);
    f.knowServer();
    if (f.sftp)
        f.sftp->setMaxSessions(limit);
    QStringList names;
    for (int i = 0; i < 8; ++i) {
        const QString name = QStringLiteral("F%1").arg(i);
        f.files().putFile(name + ".LET", "N\n" + QByteArray(i * 1000, 'x') + "\n");
        names << name;
    }

    searchServer(*f.form);

    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(f.dialogs.questions, QStringList());
    QCOMPARE(f.rows(), names);
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
             QString("Search Complete 8 files found"));
    QCOMPARE(f.dataFiles().size(), 8); // no partial or temporary file
    QCOMPARE(f.folder.read("data/F7.LET"), f.files().fileBytes("F7.LET"));
    const int asked = f.connections();
    QVERIFY2(asked > limit, qPrintable(QString::number(asked))); // four were tried
    QCOMPARE(f.logins(), limit);

    // The server counts a closed connection out once its process has ended.
    QTRY_COMPARE(f.openSessions(), 0);
    searchServer(*f.form);
    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(f.rows(), names);
    QCOMPARE(f.connections() - asked, limit);
    QCOMPARE(f.logins(), 2 * limit);
}

void TestSecureSearch::manyFilesOverTls_data() {
    QTest::addColumn<Server>("server");
    QTest::newRow("ftpes://") << Server::Ftpes;
    QTest::newRow("ftps://") << Server::Ftps;
}

// vsftpd demands that each data connection resume the TLS session of its own control
// connection: with four connections at once, every one of many files still arrives.
void TestSecureSearch::manyFilesOverTls() {
    QFETCH(Server, server);
    SecureFixture f(server);
    REQUIRE_READY(f);
    for (int i = 0; i < 300; ++i)
        f.files().putFile(QStringLiteral("M%1.LET").arg(i, 3, 10, QLatin1Char('0')), "N\n1\n");
    QStringList errors;
    QObject::connect(designControl<QLineEdit>(*f.form, "Text8"), &QLineEdit::textChanged,
                     [&](const QString& t) {
                         if (t.startsWith("- Connection Error! "))
                             errors << t;
                     });

    searchServer(*f.form);

    QCOMPARE(errors, QStringList());
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
             QString("Search Complete 300 files found"));
    QCOMPARE(f.dataFiles().size(), 300);
    QCOMPARE(f.logins(), 4);
}

QTEST_MAIN(TestSecureSearch)
#include "tst_securesearch.moc"
