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
#include "tests/support/smalldisk.h"
#include "tests/support/testcertificates.h"
#include "tests/support/vsftpdserver.h"
#include "transfer/remotename.h"
#include "transfer/statustext.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageAuthenticationCode>
#include <QProcess>
#include <QSslCertificate>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
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

    // Starts the program as an operator's script would, without a terminal to answer on.
    void start(QProcess& process, const QStringList& arguments, const QString& password = {},
               const QString& workingDirectory = {}) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name :
             {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QUORVANE_PASSWORD"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("HOME"), home());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/.config"));
        if (!password.isEmpty())
            env.insert(QStringLiteral("QUORVANE_PASSWORD"), password);
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(workingDirectory.isEmpty() ? folder() : workingDirectory);
        process.start(program(), arguments);
        process.closeWriteChannel(); // no terminal to answer on
    }

    Run run(const QStringList& arguments, const QString& password = {},
            const QString& workingDirectory = {}) const {
        QProcess process;
        start(process, arguments, password, workingDirectory);
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
    void lookAlikeNames();
    void exportsMatchWindow_data();
    void exportsMatchWindow();
    void exportOutputReplacesInOneStep();
    void interruptedSearchLeavesNothing_data();
    void interruptedSearchLeavesNothing();
    void leftoversGoAtTheNextRun();
    void exportOnFullDisk_data();
    void exportOnFullDisk();
    void exportToUnwritableFolder_data();
    void exportToUnwritableFolder();
    void exportOutputRelativeToCaller_data();
    void exportOutputRelativeToCaller();
    void trustWithoutTerminal();
    void trustCertificateByFingerprint();
    void pinnedCertificatesProtected_data();
    void pinnedCertificatesProtected();
    void damagedKnownHosts_data();
    void damagedKnownHosts();
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
    QTest::newRow("option before the command")
        << QStringList{"--login", "u", "search"} << 2 << QByteArray()
        << QByteArray("The command comes first");
    QTest::newRow("option with its value before the command")
        << QStringList{"--width=80", "export", "html", "OVERDUE"} << 2 << QByteArray()
        << QByteArray("The command comes first");
    QTest::newRow("password option before the command")
        << QStringList{"--password", "x", "search"} << 2 << QByteArray()
        << QByteArray("Unknown option 'password'");
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
    QTest::newRow("width 0") << QStringList{"export", "html", "OVERDUE", "--width", "0"} << 2
                             << QByteArray() << QByteArray("not a whole number from 1 to 100");
    QTest::newRow("width over 100")
        << QStringList{"export", "html", "OVERDUE", "--width", "101"} << 2 << QByteArray()
        << QByteArray("not a whole number from 1 to 100");
    QTest::newRow("width a fraction")
        << QStringList{"export", "html", "OVERDUE", "--width", "50.5"} << 2 << QByteArray()
        << QByteArray("not a whole number from 1 to 100");
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
    server.putFile(QStringLiteral("%2 OFFERS.LET"), kCustomers);
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
    QCOMPARE(run.out, QByteArray("3 files found\n"));
    QVERIFY2(run.err.contains("- Connecting " + server.address().toUtf8() + "\n"), run.err);
    QVERIFY(run.err.contains("- Downloading OVERDUE.LET"));
    // Names are shown as they are, "%2" and all.
    QVERIFY2(run.err.contains("- Downloading %2 OFFERS.LET (1 of 3)\n"), run.err);
    QCOMPARE(QDir(cli.path(QStringLiteral("data"))).entryList({"*.LET"}, QDir::Files, QDir::Name),
             (QStringList{"%2 OFFERS.LET", "CUSTOMERS.LET", "OVERDUE.LET"}));
    QCOMPARE(cli.read(QStringLiteral("data/OVERDUE.LET")), kOverdue);
    QCOMPARE(cli.read(QStringLiteral("data/CUSTOMERS.LET")), kCustomers);
    QCOMPARE(cli.ini(QStringLiteral("Ipaddress")), server.address());
    QCOMPARE(cli.ini(QStringLiteral("Login")), server.user());
    QCOMPARE(cli.ini(QStringLiteral("Password")), server.password());
    // The listing's connection, and one more for each further file (three here) unless told
    // one.
    QCOMPARE(server.count("LOGIN"), arguments.contains("--connections") ? 1 : 3);
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
    QTest::newRow("password file a device")
        << "device file" << 2 << "'/dev/zero' is not a regular file of at most 4096 bytes";
    QTest::newRow("password file a folder") << "folder file" << 2 << "is not a regular file";
    QTest::newRow("password file over 4 KB") << "big file" << 2 << "is not a regular file";
    QTest::newRow("password file with a CR in its line")
        << "CR in file" << 2 << "The password holds a control character";
    QTest::newRow("password with a line end")
        << "CR LF password" << 2 << "The password holds a control character";
    QTest::newRow("login with a line end")
        << "CR LF login" << 2 << "The Login Name holds a control character";
    QTest::newRow("address with login and password")
        << "address login" << 2 << "The IP Address holds a login name or password";
    QTest::newRow("address of another scheme")
        << "http address" << 2 << "Only ftp://, ftpes://, ftps:// and sftp:// addresses";
    QTest::newRow("address with a bad port") << "bad port" << 2 << "Not a valid port in: ";
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
    } else if (fault == "device file" || fault == "folder file" || fault == "big file" ||
               fault == "CR in file") {
        if (fault == "big file")
            cli.write(QStringLiteral("secret"), QByteArray(4097, 'p'));
        if (fault == "CR in file")
            cli.write(QStringLiteral("secret"), password.toUtf8() + "\rDELE /u/vantrelle/accounts/"
                                                                    "OVERDUE.LET\r\n");
        if (fault == "folder file")
            QVERIFY(QDir().mkpath(secret));
        args << "--password-file"
             << (fault == "device file" ? QStringLiteral("/dev/zero") : secret);
    } else if (fault == "CR LF password") {
        password += "\r\nDELE /u/vantrelle/accounts/OVERDUE.LET";
    } else if (fault == "CR LF login") {
        args[4] += "\r\nDELE /u/vantrelle/accounts/OVERDUE.LET";
    } else if (fault == "address login") {
        args[2] = "ftp://" + server.user() + ":" + server.password() + "@" + server.address();
    } else if (fault == "http address") {
        args[2] = "http://" + server.address();
    } else if (fault == "bad port") {
        args[2] = "127.0.0.1:99999";
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
    QVERIFY(server.hasFile(QStringLiteral("OVERDUE.LET")));
    if (status == 2) { // refused before anything was sent; no password is repeated
        QCOMPARE(server.count(QStringLiteral("CONNECT")), 0);
        QVERIFY(!run.err.contains(server.password().toUtf8()));
    }
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

// Look-alike stored names: each name list prints, or the name as stored, reaches exactly one
// merge file, whose template is the one of the name shown.
void CommandLineTest::lookAlikeNames() {
    CommandLine cli;
    cli.write(QStringLiteral("data/X.LET"), "Who\nplain\n");
    cli.write(QStringLiteral("data/X.LET.LET"), "Who\ndouble\n");
    cli.write(QStringLiteral("data/X.LETTER.LET"), "Who\nletter\n");
    cli.write(QStringLiteral("data/Y.LET.LET"), "Who\nalone\n");
    cli.write(QStringLiteral("Word/X.LETTER.LET.dot"), "template");
    const Run list = cli.run({"list"});
    QCOMPARE(list.status, 0);
    QCOMPARE(list.out, QByteArray("X\t1\tno template\n"
                                  "X.LET.LET\t1\tno template\n"
                                  "X.LETTER.LET\t1\ttemplate\n"
                                  "Y\t1\tno template\n"));
    const QList<std::pair<QString, QByteArray>> reach = {
        {"X", "plain"}, {"X.LET", "plain"},    {"X.LET.LET", "double"}, {"X.LETTER.LET", "letter"},
        {"Y", "alone"}, {"Y.LET.LET", "alone"}};
    for (const auto& [name, value] : reach) {
        const QString page = cli.path(QStringLiteral("page.html"));
        const Run run = cli.run({"export", "html", name, "--output", page});
        QVERIFY2(run.status == 0, qPrintable(name + ": " + QString::fromLocal8Bit(run.err)));
        QVERIFY2(cli.read(page).contains(value), qPrintable(name));
    }
    QCOMPARE(cli.run({"export", "html", "X.LETTER"}).status, 2);
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

// Ctrl-C or SIGTERM in the middle of a download: the partial copy goes, the status tells the
// signal.
void CommandLineTest::interruptedSearchLeavesNothing_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("Ctrl-C") << int(SIGINT);
    QTest::newRow("SIGTERM") << int(SIGTERM);
}

void CommandLineTest::interruptedSearchLeavesNothing() {
    QFETCH(int, signal);
    qv::test::FtpServer server;
    QVERIFY(server.isRunning());
    server.putFile(QStringLiteral("OVERDUE.LET"), kOverdue);
    server.stallDownload(QStringLiteral("OVERDUE.LET"));
    CommandLine cli;
    QProcess process;
    cli.start(process, {"search", "--address", server.address(), "--login", server.user()},
              server.password());
    const QDir data(cli.path(QStringLiteral("data")));
    QTRY_VERIFY_WITH_TIMEOUT(
        !data.entryList({".OVERDUE.LET.part-*"}, QDir::Files | QDir::Hidden).isEmpty(), 20000);
    ::kill(static_cast<pid_t>(process.processId()), signal);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 128 + signal);
    QCOMPARE(data.entryList(QDir::Files | QDir::Hidden), QStringList());
}

// Temporary files that an interrupted run left (its process gone) go at the next search or
// export; those of a process still running stay.
void CommandLineTest::leftoversGoAtTheNextRun() {
    qv::test::FtpServer server;
    QVERIFY(server.isRunning());
    server.putFile(QStringLiteral("OVERDUE.LET"), kOverdue);
    CommandLine cli;
    const QString running = QString::number(::getpid());
    const QString documents = QStringLiteral("home/Documents/Quorvane/");
    const QStringList left = {
        "data/.OVERDUE.LET.part-Ab12Cd",           "data/.OVERDUE.LET.part-999999-Ab12Cd",
        documents + ".quorvane-999999-Xy12Zw.odt", documents + ".quorvane-999999-Xy12Zw.odt.Ab12Cd",
        "data/Writer/.quorvane-999999-Qw12Er",     ".quorvane-999999-Qw12Er.html"};
    const QStringList kept = {"data/.OVERDUE.LET.part-" + running + "-Ab12Cd",
                              documents + ".quorvane-" + running + "-Xy12Zw.odt",
                              documents + ".hidden-notes.odt", documents + "OVERDUE.odt"};
    for (const QString& name : left + kept)
        cli.write(name, "");

    Run run = cli.run({"search", "--address", server.address(), "--login", server.user()},
                      server.password());
    QVERIFY2(run.status == 0, run.err);
    for (const QString kind : {"odt", "html"}) {
        run = cli.run({"export", kind, "OVERDUE"});
        QVERIFY2(run.status == 0, run.err);
    }
    for (const QString& name : left)
        QVERIFY2(!QFile::exists(cli.path(name)), qPrintable(name));
    for (const QString& name : kept)
        QVERIFY2(QFile::exists(cli.path(name)), qPrintable(name));
}

// A disk that fills up under an export: every output (the page, the workbook, the document and
// the document's data copy) ends with the system's reason and status 4, and leaves nothing but
// what was there before.
void CommandLineTest::exportOnFullDisk_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("full"); // the folder on the full disk
    QTest::addColumn<bool>("output");  // --output into that folder
    for (const QString kind : {"html", "xlsx", "odt"})
        QTest::newRow(qPrintable(kind + " --output")) << kind << "out" << true;
    QTest::newRow("xlsx, documents") << "xlsx"
                                     << "home/Documents/Quorvane" << false;
    QTest::newRow("odt, documents") << "odt"
                                    << "home/Documents/Quorvane" << false;
    QTest::newRow("odt, its data copy") << "odt"
                                        << "data/Writer" << false;
}

void CommandLineTest::exportOnFullDisk() {
    QFETCH(QString, kind);
    QFETCH(QString, full);
    QFETCH(bool, output);
    if (geteuid() != 0)
        QSKIP("mounting a small file system needs root");
    CommandLine cli;
    cli.write(QStringLiteral("data/OVERDUE.LET"), kOverdue);
    qv::test::SmallDisk disk(cli.path(full), QStringLiteral("64k"));
    QVERIFY(disk.mounted());
    const QByteArray earlier = "the earlier file";
    cli.write(full + QStringLiteral("/OVERDUE.txt"), earlier); // an earlier data copy
    disk.fill();
    QStringList args{"export", kind, "OVERDUE"};
    if (output)
        args << "--output" << cli.path(full + QStringLiteral("/OVERDUE.txt"));

    const Run run = cli.run(args);
    QCOMPARE(run.status, 4);
    QVERIFY2(run.err.contains("No space left on device"), run.err);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(QDir(cli.path(full)).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{"OVERDUE.txt", "filler"}));
    QCOMPARE(cli.read(full + QStringLiteral("/OVERDUE.txt")), earlier);
}

// A folder that cannot hold the export: the same status for every kind.
void CommandLineTest::exportToUnwritableFolder_data() {
    QTest::addColumn<QString>("kind");
    for (const QString kind : {"html", "xlsx", "odt"})
        QTest::newRow(qPrintable(kind)) << kind;
}

void CommandLineTest::exportToUnwritableFolder() {
    QFETCH(QString, kind);
    CommandLine cli;
    cli.write(QStringLiteral("data/OVERDUE.LET"), kOverdue);
    cli.write(QStringLiteral("plain-file"), "not a folder");
    const Run run = cli.run({"export", kind, "OVERDUE", "--output", "plain-file/made"});
    QCOMPARE(run.status, 4);
    QVERIFY(run.out.isEmpty());
    QVERIFY(!run.err.isEmpty());
}

// A relative --output is the caller's working directory's, for every export; the program's own
// files are never replaced by an export, whatever the path that names them.
void CommandLineTest::exportOutputRelativeToCaller_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("from");   // the working directory, in the program folder
    QTest::addColumn<QString>("output"); // %P: the program folder
    QTest::addColumn<int>("status");
    for (const QString kind : {"odt", "xlsx", "html"}) {
        const QByteArray k = kind.toUtf8();
        QTest::newRow(k + " named like the settings") << kind << "caller"
                                                      << "auto.ini" << 0;
        QTest::newRow(k + " named like the program") << kind << "caller"
                                                     << "quorvane" << 0;
        QTest::newRow(k + " in a folder below") << kind << "caller"
                                                << "sub/made.out" << 0;
        QTest::newRow(k + " over the settings") << kind << "caller"
                                                << "%P/auto.ini" << 2;
    }
    QTest::newRow("over the program") << "odt"
                                      << "caller"
                                      << "%P/quorvane" << 2;
    QTest::newRow("over the pinned certificates") << "xlsx"
                                                  << "caller"
                                                  << "%P/pinned-certificates.txt" << 2;
    QTest::newRow("over a merge copy") << "html"
                                       << "caller"
                                       << "%P/data/OVERDUE.LET" << 2;
    QTest::newRow("over the settings, relative") << "odt"
                                                 << "caller/sub"
                                                 << "../../auto.ini" << 2;
    QTest::newRow("in the program folder, relative") << "html"
                                                     << "."
                                                     << "page.html" << 0;
}

void CommandLineTest::exportOutputRelativeToCaller() {
    QFETCH(QString, kind);
    QFETCH(QString, from);
    QFETCH(QString, output);
    QFETCH(int, status);
    CommandLine cli;
    const QByteArray settings = "[Default]\r\nIpaddress=127.0.0.1\r\n";
    const QByteArray pins = "127.0.0.1:21 sha256//AAAA\n";
    cli.write(QStringLiteral("data/OVERDUE.LET"), kOverdue);
    cli.write(QStringLiteral("auto.ini"), settings);
    cli.write(QStringLiteral("pinned-certificates.txt"), pins);
    const QByteArray program = cli.read(cli.program());
    const QString caller = QDir::cleanPath(cli.path(from));
    QVERIFY(QDir().mkpath(caller + QStringLiteral("/sub")));
    output.replace("%P", cli.folder());

    const Run run = cli.run({"export", kind, "OVERDUE", "--output", output}, {}, caller);
    QCOMPARE(run.status, status);
    QCOMPARE(cli.read(QStringLiteral("auto.ini")), settings);
    QCOMPARE(cli.read(QStringLiteral("pinned-certificates.txt")), pins);
    QCOMPARE(cli.read(cli.program()), program);
    QCOMPARE(cli.read(QStringLiteral("data/OVERDUE.LET")), kOverdue);
    if (status != 0) {
        QVERIFY2(run.err.contains("a file of Quorvane's own"), run.err);
        return;
    }
    const QString made = QDir(caller).filePath(output);
    QCOMPARE(run.out, made.toUtf8() + "\n");
    QVERIFY(!cli.read(made).isEmpty());
    QVERIFY(!QFile::exists(cli.path(QStringLiteral("output.html"))));
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

// pinned-certificates.txt is kept as auto.ini is: a link out of the program folder is not written
// through, a read-only file is not replaced; the trust is then not recorded, with the reason.
void CommandLineTest::pinnedCertificatesProtected_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("reason");
    QTest::newRow("link to a file outside") << "link"
                                            << "outside the folder that holds it";
    QTest::newRow("read-only file") << "read-only"
                                    << "Permission denied";
}

void CommandLineTest::pinnedCertificatesProtected() {
    QFETCH(QString, form);
    QFETCH(QString, reason);
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
    const QByteArray before = "other.example:21 sha256//AAAA\n";
    QString target = cli.path(QStringLiteral("pinned-certificates.txt"));
    QTemporaryDir outside;
    if (form == "link") {
        target = outside.filePath(QStringLiteral("elsewhere.txt"));
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
        file.close();
        QVERIFY(QFile::link(target, cli.path(QStringLiteral("pinned-certificates.txt"))));
    } else {
        cli.write(QStringLiteral("pinned-certificates.txt"), before, QFile::ReadOwner);
    }

    const Run run = cli.run({"search", "--address", server.address(), "--login", server.user(),
                             "--trust-fingerprint", fingerprint},
                            server.password());
    QCOMPARE(run.status, 4);
    QVERIFY2(run.err.contains(reason.toUtf8()), run.err);
    QCOMPARE(cli.read(target), before);
    QVERIFY(QFileInfo(cli.path(QStringLiteral("pinned-certificates.txt"))).isSymLink() ==
            (form == "link"));
    QVERIFY(!QFile::exists(cli.path(QStringLiteral("data/OVERDUE.LET"))));
}

// Lines of known_hosts that cannot be read (binary garbage, a very long line) are skipped: the
// host's own entry after them still counts, and a key that differs from it is refused as a
// possible interception, never asked about as a new one.
void CommandLineTest::damagedKnownHosts_data() {
    QTest::addColumn<QByteArray>("damage");
    QTest::addColumn<bool>("sameKey");
    QTest::addColumn<bool>("hashed");
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += char((i * 37 + 11) % 256);
    const QByteArray longLine = "long.example ssh-ed25519 " + QByteArray(200000, 'A') + "\n";
    QTest::newRow("garbage, key changed") << garbage + "\n" << false << false;
    QTest::newRow("long line, key changed") << longLine << false << false;
    QTest::newRow("garbage, hashed entry changed") << garbage + "\n" << false << true;
    QTest::newRow("garbage, same key") << garbage + "\n" << true << false;
    QTest::newRow("long line, same key") << longLine << true << false;
    QTest::newRow("garbage, hashed entry, same key") << garbage + "\n" << true << true;
}

void CommandLineTest::damagedKnownHosts() {
    QFETCH(QByteArray, damage);
    QFETCH(bool, sameKey);
    QFETCH(bool, hashed);
    qv::test::SftpServer server;
    QVERIFY(server.isRunning());
    server.putFile(QStringLiteral("OVERDUE.LET"), kOverdue);
    CommandLine cli;
    const QByteArray other =
        "ssh-ed25519 AAAAC3NzaC1lZDI1NTE5AAAAIEUGHANfJ/tty+S60CrKAf7AQ4friIjC5FitYHb+R4IH";
    const QByteArray line = server.knownHostsLine();
    QByteArray name = line.left(line.indexOf(' '));
    if (hashed) {
        const QByteArray salt = QByteArray(20, 's');
        name = "|1|" + salt.toBase64() + "|" +
               QMessageAuthenticationCode::hash(name, salt, QCryptographicHash::Sha1).toBase64();
    }
    const QByteArray entry = name + ' ' + (sameKey ? server.publicKey() : other) + '\n';
    cli.write(QStringLiteral("home/.ssh/known_hosts"), damage + entry);

    const Run run = cli.run({"search", "--address", server.address(), "--login", server.user()},
                            server.password());
    if (sameKey) {
        QVERIFY2(run.status == 0, run.err);
        QCOMPARE(cli.read(QStringLiteral("data/OVERDUE.LET")), kOverdue);
        return;
    }
    QCOMPARE(run.status, 5);
    QVERIFY2(run.err.contains("differs"), run.err);
    QVERIFY2(!run.err.contains("--trust-fingerprint"), run.err); // no question offered
    QVERIFY(!QFile::exists(cli.path(QStringLiteral("data/OVERDUE.LET"))));
    QCOMPARE(cli.read(QStringLiteral("home/.ssh/known_hosts")), damage + entry);
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
