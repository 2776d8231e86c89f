// The command line as an operator's script runs it: the real executable, started without a
// display (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM unset), in a program folder of its own,
// against the test servers on 127.0.0.1. What it makes is compared with what the window's
// actions make from the same program folder.

#include "app/actions/exports.h"
#include "app/actions/search.h"
#include "app/cli/commands.h"
#include "app/form2.h"
#include "mergefiles/mergefile.h"
#include "output/ooxmlpackage.h"
#include "platform/services.h"
#include "settings/inifile.h"
#include "tests/support/ftpserver.h"
#include "tests/support/recordingdialogs.h"
#include "tests/support/sftpserver.h"
#include "tests/support/testcertificates.h"
#include "tests/support/vsftpdserver.h"
#include "transfer/remotename.h"
#include "transfer/statustext.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSslCertificate>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

namespace {

const QByteArray kOverdue = "Account|Name|Town\n0100001|Aoife Byrne|Cork\n"
                            "0100002|Se\xe1n Walsh|Sligo\n0100003|Orla <Quinn>|Galway|extra\n";
const QByteArray kCustomers = "Account|Name|Plan\n0100001|Aoife Byrne|Standard\n";

struct Run {
    int status = -1;
    QByteArray out, err;
};

// The executable linked into a temporary folder, which is therefore its program folder; its home
// (documents, known hosts) lies inside that folder too.
class CommandLine {
public:
    CommandLine()
        : dir_(QString::fromLocal8Bit(qgetenv("QV_BUILD_DIR")) +
               QStringLiteral("/tests/cli/run-XXXXXX")) {
        const QString built = QString::fromLocal8Bit(qgetenv("QV_BUILD_DIR")) + "/quorvane";
        if (::link(QFile::encodeName(built).constData(),
                   QFile::encodeName(program()).constData()) != 0)
            QFile::copy(built, program());
        QDir().mkpath(home());
    }

    QString program() const { return path(QStringLiteral("quorvane")); }
    QString folder() const { return dir_.path(); }
    QString path(const QString& relative) const { return dir_.filePath(relative); }
    QString home() const { return path(QStringLiteral("home")); }

    void write(const QString& relative, const QByteArray& bytes,
               QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner) const {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        QFile file(path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        file.setPermissions(permissions);
    }
    QByteArray read(const QString& relative) const {
        QFile file(relative.startsWith('/') ? relative : path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString ini(const QString& key) const {
        return qv::INIread(path(QStringLiteral("auto.ini")), QStringLiteral("Default"), key);
    }

    Run run(const QStringList& arguments, const QString& password = {}) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name :
             {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QUORVANE_PASSWORD"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("HOME"), home());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/.config"));
        if (!password.isEmpty())
            env.insert(QStringLiteral("QUORVANE_PASSWORD"), password);
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program(), arguments);
        process.closeWriteChannel(); // no terminal to answer on
        Run result;
        if (!process.waitForFinished(60000))
            return result;
        result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

private:
    QTemporaryDir dir_;
};

// A port nothing listens on.
quint16 closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// A main window working in the command line's program folder, its documents in a folder of
// their own, dialogs answered from queues and files "opened" into a list.
struct Window {
    explicit Window(const CommandLine& cli)
        : services([this, &cli](qv::Services& s) {
              s.programFolder = cli.folder();
              s.documentFolder = documents.path();
              s.fileOpener = [this](const QString& p) {
                  opened << p;
                  return true;
              };
          }),
          form(std::make_unique<Form2>()) {}

    // The merge file selected in the browser.
    void select(const QString& stored) {
        form->Text1->setText(qv::MergeFileBaseName(stored));
        form->Text3->setText(stored);
        form->RecordCount = CountMergeRecords(stored);
    }

    qv::test::RecordingDialogs dialogs;
    QTemporaryDir documents;
    QStringList opened;
    qv::ScopedServices services;
    std::unique_ptr<Form2> form;
};

// The page without its two time stamps, which tell when it was made.
QByteArray withoutStamps(const QByteArray& page) {
    QList<QByteArray> lines = page.split('\n');
    lines.removeIf([](const QByteArray& line) {
        return line.startsWith("<!-Created on ") || line.startsWith("List Generated By ");
    });
    return lines.join('\n');
}

// Every part of a zip package, bar the properties that record when it was made.
QMap<QString, QByteArray> packageParts(const QString& path) {
    qv::ooxml::Package package;
    QString error;
    if (!package.read(path, &error))
        qWarning() << error;
    QMap<QString, QByteArray> parts;
    for (const QString& name : package.partNames())
        if (name != QLatin1String("docProps/core.xml"))
            parts.insert(name, package.part(name));
    return parts;
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void withoutDisplay_data();
    void withoutDisplay();
    void search_data();
    void search();
    void searchFailures_data();
    void searchFailures();
    void sameMessageAsWindow();
    void list();
    void exportsMatchWindow_data();
    void exportsMatchWindow();
    void exportOutputReplacesInOneStep();
    void trustWithoutTerminal();
    void trustCertificateByFingerprint();
    void fingerprintForms_data();
    void fingerprintForms();
};

// Help, version and every usage error end at once, without a window, with their status.
void CommandLineTest::withoutDisplay_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::newRow("version") << QStringList{"--version"} << 0 << QByteArray("Quorvane 2.0.1\n")
                             << QByteArray();
    QTest::newRow("help") << QStringList{"--help"} << 0 << QByteArray("export html|xlsx|odt NAME")
                          << QByteArray();
    QTest::newRow("help names exit statuses")
        << QStringList{"-h"} << 0 << QByteArray("5 the server's certificate") << QByteArray();
    QTest::newRow("unknown command")
        << QStringList{"fetch"} << 2 << QByteArray() << QByteArray("Unknown command \"fetch\"");
    QTest::newRow("unknown option") << QStringList{"search", "--colour"} << 2 << QByteArray()
                                    << QByteArray("Unknown option 'colour'");
    QTest::newRow("password as argument") << QStringList{"search", "--password", "x"} << 2
                                          << QByteArray() << QByteArray("Unknown option");
    QTest::newRow("option of another command")
        << QStringList{"list", "--width", "80"} << 2 << QByteArray()
        << QByteArray("--width does not apply to list");
    QTest::newRow("search takes no name") << QStringList{"search", "A"} << 2 << QByteArray()
                                          << QByteArray("search takes no arguments");
    QTest::newRow("help names connections")
        << QStringList{"--help"} << 0 << QByteArray("[--connections N]") << QByteArray();
    for (const char* count : {"0", "17", "four", "-1"})
        QTest::addRow("%s connections", count)
            << QStringList{"search", "--connections", count} << 2 << QByteArray()
            << QByteArray("--connections takes a number from 1 to 16.");
    QTest::newRow("connections for an export")
        << QStringList{"export", "html", "OVERDUE", "--connections", "2"} << 2 << QByteArray()
        << QByteArray("--connections does not apply to export");
    QTest::newRow("unknown export") << QStringList{"export", "pdf", "OVERDUE"} << 2 << QByteArray()
                                    << QByteArray("Usage: quorvane export");
    QTest::newRow("no merge file") << QStringList{"export", "html", "NOPE"} << 2 << QByteArray()
                                   << QByteArray("There is no merge file \"NOPE\"");
    QTest::newRow("name leaving the data folder")
        << QStringList{"export", "html", "../OVERDUE"} << 2 << QByteArray()
        << QByteArray("There is no merge file");
    QTest::newRow("width no number") << QStringList{"export", "html", "OVERDUE", "--width", "80%"}
                                     << 2 << QByteArray() << QByteArray("\"80%\" is not a number");
    QTest::newRow("width for a workbook")
        << QStringList{"export", "xlsx", "OVERDUE", "--width", "80"} << 2 << QByteArray()
        << QByteArray("--width applies to html only");
}

void CommandLineTest::withoutDisplay() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    CommandLine cli;
    cli.write(QStringLiteral("data/OVERDUE.LET"), kOverdue);
    const Run run = cli.run(arguments);
    QCOMPARE(run.status, status);
    QVERIFY2(run.out.contains(out), run.out);
    QVERIFY2(run.err.contains(err), run.err);
    if (status != 0)
        QVERIFY(run.out.isEmpty());
    QVERIFY(!QFile::exists(cli.path(QStringLiteral("output.html"))));
}

// Where the connection fields come from; each case ends with both files downloaded, the copies
// of the previous search gone and the fields saved.
void CommandLineTest::search_data() {
    QTest::addColumn<QByteArray>("ini"); // %A, %L, %P: the server's address, login, password
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("passwordFile");
    QTest::addColumn<bool>("passwordInEnvironment");
    QTest::newRow("options and password file")
        << QByteArray() << QStringList{"--address", "%A", "--login", "%L"} << true << false;
    QTest::newRow("auto.ini only")
        << QByteArray("[Default]\r\nIpaddress=%A\r\nLogin=%L\r\nPassword=%P\r\n") << QStringList()
        << false << false;
    QTest::newRow("auto.ini and the environment's password")
        << QByteArray("[Default]\r\nIpaddress=%A\r\nLogin=%L\r\nPassword=old\r\n") << QStringList()
        << false << true;
    QTest::newRow("options over auto.ini")
        << QByteArray("[Default]\r\nIpaddress=127.0.0.1:1\r\nLogin=nobody\r\nPassword=%P\r\n")
        << QStringList{"--address", "%A", "--login", "%L"} << false << false;
    QTest::newRow("one connection")
        << QByteArray("[Default]\r\nIpaddress=%A\r\nLogin=%L\r\nPassword=%P\r\n")
        << QStringList{"--connections", "1"} << false << false;
}

void CommandLineTest::search() {
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, arguments);
    QFETCH(bool, passwordFile);
    QFETCH(bool, passwordInEnvironment);
    qv::test::FtpServer server;
    QVERIFY(server.isRunning());
    server.putFile(QStringLiteral("OVERDUE.LET"), kOverdue);
    server.putFile(QStringLiteral("CUSTOMERS.LET"), kCustomers);
    CommandLine cli;
    cli.write(QStringLiteral("data/OLD.LET"), "A|B\n");
    const auto fill = [&](QString text) {
        return text.replace("%A", server.address())
            .replace("%L", server.user())
            .replace("%P", server.password());
    };
    if (!ini.isEmpty())
        cli.write(QStringLiteral("auto.ini"), fill(QString::fromLatin1(ini)).toLatin1());
    QStringList args{"search"};
    for (const QString& a : arguments)
        args << fill(a);
    if (passwordFile) {
        cli.write(QStringLiteral("secret"), server.password().toUtf8() + "\n");
        args << "--password-file" << cli.path(QStringLiteral("secret"));
    }

    const Run run = cli.run(args, passwordInEnvironment ? server.password() : QString());
    QVERIFY2(run.status == 0, run.err);
    QCOMPARE(run.out, QByteArray("2 files found\n"));
    QVERIFY2(run.err.contains("- Connecting " + server.address().toUtf8() + "\n"), run.err);
    QVERIFY(run.err.contains("- Downloading OVERDUE.LET"));
    QCOMPARE(QDir(cli.path(QStringLiteral("data"))).entryList({"*.LET"}, QDir::Files, QDir::Name),
             (QStringList{"CUSTOMERS.LET", "OVERDUE.LET"}));
    QCOMPARE(cli.read(QStringLiteral("data/OVERDUE.LET")), kOverdue);
    QCOMPARE(cli.read(QStringLiteral("data/CUSTOMERS.LET")), kCustomers);
    QCOMPARE(cli.ini(QStringLiteral("Ipaddress")), server.address());
    QCOMPARE(cli.ini(QStringLiteral("Login")), server.user());
    QCOMPARE(cli.ini(QStringLiteral("Password")), server.password());
    // The listing's connection, and one more for the second file unless told one.
    QCOMPARE(server.count("LOGIN"), arguments.contains("--connections") ? 1 : 2);
}

// Each class of failure with its status and the message the window shows; the settings stay as
// they were.
void CommandLineTest::searchFailures_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message"); // %F: the password file
    QTest::newRow("no settings") << "none" << 2 << "You must key in IP Address\n";
    QTest::newRow("no password") << "no password" << 2 << "You must key in password\n";
    QTest::newRow("password file too open")
        << "open file" << 2 << "Permissions 0644 for '%F' are too open.\n";
    QTest::newRow("password file missing")
        << "missing file" << 2 << "The password file '%F' cannot be read: ";
    QTest::newRow("login refused") << "refuse login" << 3 << "- Connection Error! 530: ";
    QTest::newRow("nothing listening") << "closed port" << 3 << "- Connection Error! ";
    QTest::newRow("settings cannot be saved")
        << "settings folder" << 4 << "The settings cannot be saved in ";
    QTest::newRow("data folder cannot be written") << "data file" << 4 << "Not a directory";
}

void CommandLineTest::searchFailures() {
    QFETCH(QString, fault);
    QFETCH(int, status);
    QFETCH(QString, message);
    qv::test::FtpServer server;
    QVERIFY(server.isRunning());
    server.putFile(QStringLiteral("OVERDUE.LET"), kOverdue);
    CommandLine cli;
    const QString secret = cli.path(QStringLiteral("secret"));
    QStringList args{"search", "--address", server.address(), "--login", server.user()};
    QString password = server.password();
    if (fault == "none") {
        args = QStringList{"search"};
    } else if (fault == "no password") {
        password.clear();
    } else if (fault == "open file" || fault == "missing file") {
        if (fault == "open file")
            cli.write(QStringLiteral("secret"), password.toUtf8(),
                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        args << "--password-file" << secret;
    } else if (fault == "refuse login") {
        server.setRefuseLogin(true);
    } else if (fault == "closed port") {
        args[2] = QStringLiteral("127.0.0.1:%1").arg(closedPort());
    } else if (fault == "settings folder") {
        QVERIFY(QDir().mkpath(cli.path(QStringLiteral("auto.ini"))));
    } else if (fault == "data file") {
        cli.write(QStringLiteral("data"), "not a folder");
    }

    const Run run = cli.run(args, password);
    QCOMPARE(run.status, status);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.contains(message.replace("%F", secret).toUtf8()), run.err);
    if (fault != "settings folder")
        QVERIFY(cli.ini(QStringLiteral("Ipaddress")).isEmpty());
}

// A refused login reads the same in the window's message box and on standard error.
void CommandLineTest::sameMessageAsWindow() {
    qv::test::FtpServer server;
    QVERIFY(server.isRunning());
    server.setRefuseLogin(true);
    CommandLine cli;
    const Run run = cli.run({"search", "--address", server.address(), "--login", "someone"},
                            QStringLiteral("wrong"));
    QCOMPARE(run.status, 3);

    Window window(cli);
    window.form->Text10->setText(server.address());
    window.form->Text11->setText(QStringLiteral("someone"));
    window.form->Text12->setText(QStringLiteral("wrong"));
    SearchServer(*window.form);
    QCOMPARE(window.dialogs.messages.size(), 1);
    QVERIFY2(run.err.endsWith(window.dialogs.messages[0].toUtf8() + "\n"), run.err);
}

void CommandLineTest::list() {
    CommandLine cli;
    cli.write(QStringLiteral("data/OVERDUE.LET"), kOverdue);
    cli.write(QStringLiteral("data/CUSTOMERS.LET"), kCustomers);
    cli.write(QStringLiteral("data/EMPTY.LET"), QByteArray());
    cli.write(QStringLiteral("data/X.LET.LET"), "A\n1\n");
    cli.write(QStringLiteral("data/notes.txt"), "not a merge file");
    cli.write(QStringLiteral("Word/overdue.dot"), "template");
    const Run run = cli.run({"list"});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray("CUSTOMERS\t1\tno template\n"
                                 "EMPTY\t0\tno template\n"
                                 "OVERDUE\t3\ttemplate\n"
                                 "X\t1\tno template\n"));
}

// The page, the workbook and the new document are the window's, byte for byte (bar the moment
// each was made); nothing is opened.
void CommandLineTest::exportsMatchWindow_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("html") << "html";
    QTest::newRow("xlsx") << "xlsx";
    QTest::newRow("odt") << "odt";
}

void CommandLineTest::exportsMatchWindow() {
    QFETCH(QString, kind);
    CommandLine cli;
    cli.write(QStringLiteral("data/OVERDUE.LET"), kOverdue);
    QStringList args{"export", kind, "OVERDUE"};
    if (kind == "html")
        args << "--width"
             << "80";
    const Run run = cli.run(args);
    QVERIFY2(run.status == 0, run.err);
    QVERIFY(run.out.endsWith('\n'));
    const QString made = QString::fromUtf8(run.out.chopped(1));
    const QString expected =
        kind == "html" ? cli.path(QStringLiteral("output.html"))
                       : cli.home() + (kind == "xlsx" ? "/Documents/Quorvane/Book1.xlsx"
                                                      : "/Documents/Quorvane/OVERDUE.odt");
    QCOMPARE(made, expected);
    const QByteArray cliBytes = cli.read(made);
    QVERIFY(!cliBytes.isEmpty());
    if (kind == "html")
        QVERIFY(QFile::remove(made));

    Window window(cli);
    window.select(QStringLiteral("OVERDUE.LET"));
    window.dialogs.inputAnswers.enqueue(QStringLiteral("80"));
    if (kind == "html")
        ExportToHtml(*window.form);
    else if (kind == "xlsx")
        ExportToSpreadsheet(*window.form);
    else
        CreateMergeDocument(*window.form);
    QCOMPARE(window.opened.size(), 1);
    const QString windowMade = window.opened[0];
    if (kind == "html") {
        QCOMPARE(withoutStamps(cli.read(windowMade)), withoutStamps(cliBytes));
        return;
    }
    QCOMPARE(QFileInfo(windowMade).fileName(), QFileInfo(made).fileName());
    const QMap<QString, QByteArray> parts = packageParts(made);
    QVERIFY(parts.size() > 2);
    QCOMPARE(packageParts(windowMade), parts);
}

// --output puts the file where it is asked for: a good file there is replaced only by a
// complete new one, and nothing stays behind in the folder.
void CommandLineTest::exportOutputReplacesInOneStep() {
    CommandLine cli;
    cli.write(QStringLiteral("data/OVERDUE.LET"), kOverdue);
    const QString target = cli.path(QStringLiteral("out/overdue.xlsx"));
    cli.write(QStringLiteral("out/overdue.xlsx"), "the earlier workbook");
    Run run = cli.run({"export", "xlsx", "OVERDUE", "--output", target});
    QVERIFY2(run.status == 0, run.err);
    QCOMPARE(run.out, target.toUtf8() + "\n");
    QVERIFY(qv::ooxml::looksLikeZip(cli.read(target).left(8)));
    QCOMPARE(QDir(cli.path(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{"overdue.xlsx"});

    // A target that is a folder: the message says where the workbook was saved instead.
    QVERIFY(QDir().mkpath(cli.path(QStringLiteral("out/folder.xlsx"))));
    run = cli.run({"export", "xlsx", "OVERDUE", "--output", cli.path("out/folder.xlsx")});
    QCOMPARE(run.status, 4);
    QVERIFY2(run.err.contains("cannot be written"), run.err);
}

// An SFTP server not known yet: without a terminal the search fails with the fingerprint to
// check; --trust-fingerprint answers the question, and only with the right fingerprint.
void CommandLineTest::trustWithoutTerminal() {
    qv::test::SftpServer server;
    QVERIFY(server.isRunning());
    server.putFile(QStringLiteral("OVERDUE.LET"), kOverdue);
    CommandLine cli;
    const QStringList search{"search", "--address", server.address(), "--login", server.user()};

    Run run = cli.run(search, server.password());
    QCOMPARE(run.status, 5);
    QVERIFY2(run.err.contains("--trust-fingerprint " + server.fingerprint().toUtf8()), run.err);
    QVERIFY(!QFile::exists(cli.path(QStringLiteral("data/OVERDUE.LET"))));

    run = cli.run(search + QStringList{"--trust-fingerprint", "SHA256:AAAA"}, server.password());
    QCOMPARE(run.status, 5);
    QVERIFY2(run.err.contains("is not the one given with --trust-fingerprint"), run.err);

    const QString bare = server.fingerprint().mid(QStringLiteral("SHA256:").size());
    run = cli.run(search + QStringList{"--trust-fingerprint", bare}, server.password());
    QVERIFY2(run.status == 0, run.err);
    QCOMPARE(run.out, QByteArray("1 files found\n"));
    QCOMPARE(cli.read(QStringLiteral("data/OVERDUE.LET")), kOverdue);

    // Trusted from now on: no question, no fingerprint needed.
    run = cli.run(search, server.password());
    QVERIFY2(run.status == 0, run.err);
}

// FTP over TLS with a self-signed certificate: its fingerprint as given by its administrator,
// in lower case without colons, answers the question; the certificate is then pinned.
void CommandLineTest::trustCertificateByFingerprint() {
    qv::test::TestCertificates certificates;
    QVERIFY2(certificates.isValid(), qPrintable(certificates.errorString()));
    qv::test::VsftpdServer::Options options;
    options.certificate = certificates.certificate(QStringLiteral("selfsigned"));
    options.key = certificates.key(QStringLiteral("selfsigned"));
    qv::test::VsftpdServer server(options);
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    server.putFile(QStringLiteral("OVERDUE.LET"), kOverdue);
    server.shareWithEveryone();
    QFile pem(options.certificate);
    QVERIFY(pem.open(QIODevice::ReadOnly));
    const QString fingerprint = QString::fromLatin1(
        QSslCertificate(&pem, QSsl::Pem).digest(QCryptographicHash::Sha256).toHex());
    CommandLine cli;
    const QStringList search{"search", "--address", server.address(), "--login", server.user()};

    Run run = cli.run(search, server.password());
    QCOMPARE(run.status, 5);
    QVERIFY2(run.err.contains(fingerprint.toUpper().toUtf8().left(2) + ":"), run.err);

    run = cli.run(search + QStringList{"--trust-fingerprint", fingerprint}, server.password());
    QVERIFY2(run.status == 0, run.err);
    QCOMPARE(run.out, QByteArray("1 files found\n"));
    QCOMPARE(cli.read(QStringLiteral("data/OVERDUE.LET")), kOverdue);
    QVERIFY(!cli.read(QStringLiteral("pinned-certificates.txt")).isEmpty());
}

void CommandLineTest::fingerprintForms_data() {
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("actual");
    QTest::addColumn<bool>("same");
    const QString hex = QStringLiteral("AB:CD:01:EF");
    const QString key = QStringLiteral("SHA256:nThbg6kXUpJWGl7E1IGOCspRomTxdCARLviKw6E5SY8");
    QTest::newRow("certificate as shown") << hex << hex << true;
    QTest::newRow("certificate without colons, lower case") << "abcd01ef" << hex << true;
    QTest::newRow("certificate with prefix") << "SHA256:ABCD01EF" << hex << true;
    QTest::newRow("another certificate") << "ABCD01EE" << hex << false;
    QTest::newRow("host key as shown") << key << key << true;
    QTest::newRow("host key without prefix, padded") << key.mid(7) + "=" << key << true;
    QTest::newRow("host key in another case") << key.toLower() << key << false;
    QTest::newRow("empty") << "" << key << false;
}

void CommandLineTest::fingerprintForms() {
    QFETCH(QString, given);
    QFETCH(QString, actual);
    QFETCH(bool, same);
    QCOMPARE(qv::cli::sameFingerprint(given, actual), same);
}

QTEST_MAIN(CommandLineTest)
#include "tst_commandline.moc"
