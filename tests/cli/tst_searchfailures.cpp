// The search on the command line when listed files are not stored, when it must leave the data
// folder as it was, and when another search runs: the real executable's exit status, standard
// output and standard error against the test servers on 127.0.0.1, and the window beside it.

#include "app/actions/search.h"
#include "app/form2.h"
#include "tests/cli/commandlinerun.h"
#include "tests/support/designcontrol.h"
#include "tests/support/foldersnapshot.h"
#include "tests/support/ftpserver.h"
#include "tests/support/recordingdialogs.h"
#include "tests/support/sftpserver.h"
#include "transfer/searchreport.h"

#include <QLineEdit>
#include <QProcess>
#include <QTcpServer>
#include <QtTest>
#include <csignal>
#include <memory>

using qv::test::CommandLine;
using qv::test::Run;

namespace {

const QByteArray kBig(300000, 'b');

// A port nothing listens on.
quint16 closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// The stall timeout of the programs started from here (a test seam of the transfer control).
class StallTimeout {
public:
    explicit StallTimeout(const QByteArray& ms) { qputenv("QV_TEST_STALL_TIMEOUT_MS", ms); }
    ~StallTimeout() { qunsetenv("QV_TEST_STALL_TIMEOUT_MS"); }
    StallTimeout(const StallTimeout&) = delete;
    StallTimeout& operator=(const StallTimeout&) = delete;
};

QStringList dataFiles(const CommandLine& cli) {
    return QDir(cli.path(QStringLiteral("data")))
        .entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QStringList searchArguments(const QString& address, const QString& login) {
    return {"search", "--address", address, "--login", login};
}

} // namespace

class SearchFailures : public QObject {
    Q_OBJECT
private slots:
    void downloadsNotStored_data();
    void downloadsNotStored();
    void sftpFileEndsEarly();
    void serverDiesMidway_data();
    void serverDiesMidway();
    void failedSearchLeavesData_data();
    void failedSearchLeavesData();
    void secondSearchIsRefused();
};

// Each way a listed file can fail to arrive: the status, the summary of what arrived on standard
// output, and every file not stored named with its reason on standard error.
void SearchFailures::downloadsNotStored_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArrayList>("lines"); // on standard error, each a prefix of a line
    QTest::addColumn<QStringList>("stored");
    const QStringList aAndC{"A.LET", "C.LET"};
    const QString longName = QString(251, 'L') + ".LET";
    QTest::newRow("550 to one download")
        << "refuse" << 6 << QByteArray("2 files found\n")
        << QByteArrayList{"1 listed file was not stored:", "B.LET: Permission denied. (error 550)"}
        << aAndC;
    QTest::newRow("connection dropped on both tries")
        << "drop" << 6 << QByteArray("2 files found\n")
        << QByteArrayList{"B.LET: The server closed the connection while downloading "
                          "/u/vantrelle/accounts/B.LET (error "}
        << aAndC;
    QTest::newRow("stalled on both tries")
        << "stall" << 6 << QByteArray("2 files found\n")
        << QByteArrayList{"B.LET: The server stopped responding (nothing received for 2 "
                          "seconds) (error 28)"}
        << aAndC;
    QTest::newRow("ended early with 226")
        << "short" << 6 << QByteArray("2 files found\n")
        << QByteArrayList{"B.LET: The server ended the transfer of /u/vantrelle/accounts/B.LET "
                          "after 100000 of 300000 bytes (error 18)"}
        << aAndC;
    QTest::newRow("name that cannot be stored")
        << "colon" << 6 << QByteArray("3 files found\n")
        << QByteArrayList{"a:b.LET: cannot be stored here: a name holding a character file "
                          "systems refuse (:)"}
        << QStringList{"A.LET", "B.LET", "C.LET"};
    QTest::newRow("data folder is a file")
        << "data file" << 4 << QByteArray()
        << QByteArrayList{"3 listed files were not stored:", "A.LET: ", "B.LET: ", "C.LET: ",
                          "Cannot write "}
        << QStringList();
    QTest::newRow("name of 255 bytes")
        << "long name" << 0 << QByteArray("4 files found\n") << QByteArrayList()
        << QStringList{"A.LET", "B.LET", "C.LET", longName};
}

void SearchFailures::downloadsNotStored() {
    QFETCH(QString, fault);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QByteArrayList, lines);
    QFETCH(QStringList, stored);
    qv::test::FtpServer server;
    QVERIFY(server.isRunning());
    server.putFile("A.LET", "N\n1\n");
    server.putFile("B.LET", kBig);
    server.putFile("C.LET", "N\n1\n2\n");
    CommandLine cli;
    // Silence is waited for 2 s here, not half a minute (pyftpdlib itself is silent for 1 s at
    // times); an empty value leaves the program's own.
    const StallTimeout stall(fault == "stall" ? "2000" : "");
    if (fault == "refuse")
        server.refuseDownload("B.LET");
    else if (fault == "drop")
        server.dropDownload("B.LET", 100000);
    else if (fault == "stall")
        server.stallDownload("B.LET");
    else if (fault == "short")
        server.shortDownload("B.LET", 100000);
    else if (fault == "colon")
        server.addListedName("a:b.LET");
    else if (fault == "data file")
        cli.write("data", "not a folder");
    else
        server.putFile(QString(251, 'L') + ".LET", "N\n1\n");

    const Run run = cli.run(searchArguments(server.address(), server.user()), server.password());

    QVERIFY2(run.status == status, run.err);
    QCOMPARE(run.out, out);
    const QByteArrayList errLines = run.err.split('\n');
    for (const QByteArray& line : lines) {
        QVERIFY2(std::any_of(errLines.begin(), errLines.end(),
                             [&](const QByteArray& l) { return l.startsWith(line); }),
                 run.err + "\nlacks: " + line);
    }
    if (lines.isEmpty())
        QVERIFY2(!run.err.contains("not stored"), run.err);
    // Whichever file first met the data folder that is no folder names the system's reason.
    const QByteArray notADirectory = ": Not a directory (error 23)\n";
    if (fault == "data file")
        QVERIFY2(run.err.contains("/data/A.LET" + notADirectory) ||
                     run.err.contains("/data/B.LET" + notADirectory) ||
                     run.err.contains("/data/C.LET" + notADirectory),
                 run.err);
    if (fault != "data file")
        QCOMPARE(dataFiles(cli), stored);
    // The listing succeeded: the settings are saved, unless nothing could be stored.
    QCOMPARE(cli.ini("Ipaddress").isEmpty(), status == 4);
    // A file that broke off, went silent or ended short is tried once more.
    const bool retried = fault == "drop" || fault == "stall" || fault == "short";
    // Nothing is fetched that could not be stored.
    QCOMPARE(server.count("RETR /u/vantrelle/accounts/B.LET"),
             fault == "data file" ? 0 : (retried ? 2 : 1));
}

// An SFTP server that answers the end of a file before the size the file's attributes give: the
// file is tried once more, then named; nothing of it is stored.
void SearchFailures::sftpFileEndsEarly() {
    qv::test::SftpServer server;
    QVERIFY(server.isRunning());
    server.putFile("A.LET", "N\n1\n");
    server.putFile("B.LET", kBig);
    server.shortDownload("B.LET", 100000);
    CommandLine cli;
    const Run run = cli.run(searchArguments(server.address(), server.user()) +
                                QStringList{"--trust-fingerprint", server.fingerprint()},
                            server.password());
    QVERIFY2(run.status == 6, run.err);
    QCOMPARE(run.out, QByteArray("1 files found\n"));
    QVERIFY2(run.err.contains("\n1 listed file was not stored:\nB.LET: The server ended the "
                              "transfer of /u/vantrelle/accounts/B.LET after 100000 of 300000 "
                              "bytes (error 18)\n"),
             run.err);
    QCOMPARE(dataFiles(cli), QStringList{"A.LET"});
    QCOMPARE(server.count("OPEN /u/vantrelle/accounts/B.LET"), 2);
}

// The server dies in the middle of a download: the file under way and every file after it (in the
// listing's order, which is the server's) are named, the files before it stay.
void SearchFailures::serverDiesMidway_data() {
    QTest::addColumn<bool>("sftp");
    QTest::newRow("FTP") << false;
    QTest::newRow("SFTP") << true;
}

void SearchFailures::serverDiesMidway() {
    QFETCH(bool, sftp);
    std::unique_ptr<qv::test::ScriptServer> server;
    QString address, login, password;
    QStringList trust;
    if (sftp) {
        auto s = std::make_unique<qv::test::SftpServer>();
        s->stallDownload("B.LET");
        address = s->address();
        login = s->user();
        password = s->password();
        trust = QStringList{"--trust-fingerprint", s->fingerprint()};
        server = std::move(s);
    } else {
        auto s = std::make_unique<qv::test::FtpServer>();
        s->stallDownload("B.LET");
        address = s->address();
        login = s->user();
        password = s->password();
        server = std::move(s);
    }
    QVERIFY(server->isRunning());
    server->putFile("A.LET", "N\n1\n");
    server->putFile("B.LET", kBig);
    server->putFile("C.LET", "N\n1\n2\n");
    CommandLine cli;
    QProcess process;
    cli.start(process, searchArguments(address, login) + trust + QStringList{"--connections", "1"},
              password);
    // B.LET is under way (its temporary copy is there), A.LET has arrived.
    const QDir data(cli.path("data"));
    QTRY_VERIFY_WITH_TIMEOUT(
        !data.entryList({".B.LET.part-*"}, QDir::Files | QDir::Hidden).isEmpty(), 20000);
    server->kill();
    QVERIFY(process.waitForFinished(30000));
    const QByteArray err = process.readAllStandardError();

    QVERIFY2(process.exitCode() == 6, err);
    const QStringList stored = dataFiles(cli);
    QVERIFY(!stored.contains("B.LET"));
    QCOMPARE(process.readAllStandardOutput(), QByteArray::number(stored.size()) + " files found\n");
    QVERIFY2(err.contains(qv::notStoredHeading(3 - static_cast<int>(stored.size())).toUtf8()), err);
    for (const QString& name :
         {QStringLiteral("A.LET"), QStringLiteral("B.LET"), QStringLiteral("C.LET")}) {
        if (!stored.contains(name))
            QVERIFY2(err.contains("\n" + name.toUtf8() + ": "), err);
        else
            QCOMPARE(cli.read("data/" + name), server->fileBytes(name));
    }
}

// A search that cannot list the folder leaves the data folder exactly as it was, down to the
// times of the files; the settings too.
void SearchFailures::failedSearchLeavesData_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("wrong password") << "password";
    QTest::newRow("unreachable server") << "closed port";
    QTest::newRow("listing refused") << "refuse listing";
}

void SearchFailures::failedSearchLeavesData() {
    QFETCH(QString, fault);
    qv::test::FtpServer server;
    QVERIFY(server.isRunning());
    server.putFile("A.LET", "N\nnew\n");
    CommandLine cli;
    const QByteArray settings = "[Default]\r\nIpaddress=old\r\n";
    cli.write("auto.ini", settings);
    cli.write("data/A.LET", "N\nprevious\n");
    cli.write("data/OLD.LET", "N\nno longer on the server\n");
    cli.write("data/Writer/OLD.txt", "N\n");
    const auto before = qv::test::folderSnapshot(cli.path("data"));
    QString address = server.address();
    QString password = server.password();
    if (fault == "password")
        password = "wrong";
    else if (fault == "closed port")
        address = QStringLiteral("127.0.0.1:%1").arg(closedPort());
    else
        server.setRefuseListing(true);

    const Run run = cli.run(searchArguments(address, server.user()), password);

    QVERIFY2(run.status == 3, run.err);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.contains("- Connection Error! "), run.err);
    QCOMPARE(qv::test::folderSnapshot(cli.path("data")), before);
    QCOMPARE(cli.read("auto.ini"), settings);
}

// Two searches at once on one program folder: the second, on the command line or in the window,
// is told that another search is running and changes nothing; once the first has gone (here
// killed, its lock left behind), the next search runs.
void SearchFailures::secondSearchIsRefused() {
    qv::test::FtpServer server;
    QVERIFY(server.isRunning());
    server.putFile("A.LET", "N\n1\n");
    server.putFile("B.LET", kBig);
    server.stallDownload("B.LET");
    CommandLine cli;
    cli.write("data/OLD.LET", "N\nold\n");
    const QStringList search = searchArguments(server.address(), server.user());
    QProcess first;
    cli.start(first, search + QStringList{"--connections", "1"}, server.password());
    const QDir data(cli.path("data"));
    QTRY_VERIFY_WITH_TIMEOUT(
        !data.entryList({".B.LET.part-*"}, QDir::Files | QDir::Hidden).isEmpty(), 20000);
    const auto during = qv::test::folderSnapshot(cli.path("data"));
    QVERIFY(during.contains("A.LET"));
    const QByteArray busy = "Another search is running in the program folder " +
                            cli.folder().toUtf8() + " (process " +
                            QByteArray::number(first.processId()) + ").";

    const Run second = cli.run(search, server.password());
    QCOMPARE(second.status, 7);
    QVERIFY(second.out.isEmpty());
    QVERIFY2(second.err.startsWith(busy), second.err);
    {
        qv::test::RecordingDialogs dialogs;
        const qv::ScopedServices here([&](qv::Services& s) { s.programFolder = cli.folder(); });
        Form2 window;
        qv::test::designControl<QLineEdit>(window, "Text10")->setText(server.address());
        qv::test::designControl<QLineEdit>(window, "Text11")->setText(server.user());
        qv::test::designControl<QLineEdit>(window, "Text12")->setText(server.password());
        searchServer(window);
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages[0].toUtf8().startsWith(busy), qPrintable(dialogs.messages[0]));
    }
    QCOMPARE(server.count("NLST"), 1);
    QCOMPARE(qv::test::folderSnapshot(cli.path("data")), during);

    ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitCode(), 143);
    QVERIFY(QFile::exists(cli.path(".search.lock")));
    server.clearFaults();
    const Run third = cli.run(search, server.password());
    QVERIFY2(third.status == 0, third.err);
    QCOMPARE(third.out, QByteArray("2 files found\n"));
    QCOMPARE(dataFiles(cli), (QStringList{"A.LET", "B.LET"}));
}

QTEST_MAIN(SearchFailures)
#include "tst_searchfailures.moc"
