// Where an export may put its file: never in place of what is not a regular file (a device, a
// FIFO, a socket), never over what the program has in its own folder, into a folder under the
// export's usual name; and what the operator is told when the file cannot be written.
#include "tests/cli/commandlinerun.h"
#include "tests/support/smalldisk.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <utime.h>

namespace {

using qv::test::CommandLine;
using qv::test::Run;

const QByteArray kOverdue = "Account|Name|Town\n0100001|Aoife Byrne|Cork\n"
                            "0100002|Se\xe1n Walsh|Sligo\n";

struct stat statOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

} // namespace

class OutputTargetsTest : public QObject {
    Q_OBJECT
private slots:
    void notARegularFile_data();
    void notARegularFile();
    void devNullStaysADevice_data();
    void devNullStaysADevice();
    void folderTakesTheUsualName_data();
    void folderTakesTheUsualName();
    void programFolderIsOwn_data();
    void programFolderIsOwn();
    void pageOnFullDiskGivesTheReason();
    void messageNamesTheFile_data();
    void messageNamesTheFile();
    void leftoverOfAnEarlierProcessGoes();
};

// A FIFO, a socket, a device made for the test, and a link to one: refused with a clear message
// and status 2, left exactly as they were, and nothing written beside them.
void OutputTargetsTest::notARegularFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("what"); // fifo, socket, device, link
    QTest::addColumn<QByteArray>("says");
    for (const QString kind : {"html", "xlsx", "odt"}) {
        QTest::newRow(qPrintable(kind + " fifo")) << kind << "fifo" << QByteArray("a FIFO");
        QTest::newRow(qPrintable(kind + " socket")) << kind << "socket" << QByteArray("a socket");
        QTest::newRow(qPrintable(kind + " device"))
            << kind << "device" << QByteArray("a character device");
        QTest::newRow(qPrintable(kind + " link to a fifo"))
            << kind << "link" << QByteArray("a link to a FIFO");
    }
}

void OutputTargetsTest::notARegularFile() {
    QFETCH(QString, kind);
    QFETCH(QString, what);
    QFETCH(QByteArray, says);
    if (what == "device" && geteuid() != 0)
        QSKIP("making a device needs root");
    CommandLine cli;
    cli.write(QStringLiteral("data/OVERDUE.LET"), kOverdue);
    QTemporaryDir outside;
    const QString target = outside.filePath(QStringLiteral("target"));
    QLocalServer socket;
    if (what == "fifo" || what == "link")
        QCOMPARE(::mkfifo(QFile::encodeName(outside.filePath("fifo")).constData(), 0600), 0);
    if (what == "fifo")
        QVERIFY(QFile::rename(outside.filePath("fifo"), target));
    if (what == "link")
        QVERIFY(QFile::link(outside.filePath("fifo"), target));
    if (what == "socket")
        QVERIFY(socket.listen(target));
    if (what == "device") // the same device as /dev/null
        QCOMPARE(::mknod(QFile::encodeName(target).constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
    const struct stat before = statOf(target);

    const Run run = cli.run({"export", kind, "OVERDUE", "--output", target});
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(says) && run.err.contains("not a file"), run.err);
    QVERIFY(run.out.isEmpty());
    const struct stat after = statOf(target);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(QDir(outside.path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                 .size(),
             what == "link" ? 2 : 1);
}

// /dev/null itself, as an operator (or root) would name it: refused, and still the device.
void OutputTargetsTest::devNullStaysADevice_data() {
    QTest::addColumn<QStringList>("arguments");
    for (const QString kind : {"html", "xlsx", "odt"})
        QTest::newRow(qPrintable(kind))
            << QStringList{"export", kind, "OVERDUE", "--output", "/dev/null"};
    QTest::newRow("merge") << QStringList{"merge", "OVERDUE", "--output", "/dev/null"};
}

void OutputTargetsTest::devNullStaysADevice() {
    QFETCH(QStringList, arguments);
    const struct stat before = statOf(QStringLiteral("/dev/null"));
    QVERIFY(S_ISCHR(before.st_mode));
    CommandLine cli;
    cli.write(QStringLiteral("data/OVERDUE.LET"), kOverdue);
    cli.write(QStringLiteral("Word/OVERDUE.dot"), "not even a template");

    const Run run = cli.run(arguments);
    const struct stat after = statOf(QStringLiteral("/dev/null"));
    if (!S_ISCHR(after.st_mode) && geteuid() == 0) {
        // Put the machine right before failing: every other program needs the device.
        ::unlink("/dev/null");
        ::mknod("/dev/null", S_IFCHR | 0666, makedev(1, 3));
        ::chmod("/dev/null", 0666);
    }
    QVERIFY(S_ISCHR(after.st_mode));
    QCOMPARE(after.st_rdev, before.st_rdev);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains("\"/dev/null\" is a character device, not a file"), run.err);
}

// A folder as --output: the export goes into it under its usual name (the page as
// "output.html", replacing one there; a document or workbook under a free name), and nothing
// else is left in the folder.
void OutputTargetsTest::folderTakesTheUsualName_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("made");
    QTest::newRow("html") << "html" << QStringList() << "output.html";
    QTest::newRow("html over an earlier page")
        << "html" << QStringList{"output.html"} << "output.html";
    QTest::newRow("xlsx") << "xlsx" << QStringList() << "Book1.xlsx";
    QTest::newRow("xlsx beside an earlier one")
        << "xlsx" << QStringList{"Book1.xlsx"} << "Book1 (2).xlsx";
    QTest::newRow("odt") << "odt" << QStringList() << "OVERDUE.odt";
}

void OutputTargetsTest::folderTakesTheUsualName() {
    QFETCH(QString, kind);
    QFETCH(QStringList, before);
    QFETCH(QString, made);
    CommandLine cli;
    cli.write(QStringLiteral("data/OVERDUE.LET"), kOverdue);
    QTemporaryDir outside;
    for (const QString& name : before) {
        QFile file(outside.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("earlier") == 7);
    }

    for (const QString& given : {outside.path(), outside.path() + QStringLiteral("/")}) {
        const Run run = cli.run({"export", kind, "OVERDUE", "--output", given});
        QVERIFY2(run.status == 0, run.err);
        QCOMPARE(run.out, outside.filePath(made).toUtf8() + "\n");
        QVERIFY(cli.read(outside.filePath(made)).size() > 7);
        QStringList expected = before;
        expected << made;
        expected.removeDuplicates();
        QCOMPARE(QDir(outside.path()).entryList(QDir::Files | QDir::Hidden).size(),
                 expected.size());
        if (kind != "html")
            break; // a second workbook would take the next free name
    }
    QVERIFY(!QFile::exists(cli.path(QStringLiteral("output.html"))));
}

// Nothing that is already in the program folder is an export's target, whatever its name (the
// clips, the executable, what the program made), nor the data and template folders; the page
// the html export writes there is.
void OutputTargetsTest::programFolderIsOwn_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("output"); // %P the program folder, %O a folder outside
    QTest::addColumn<int>("status");
    QTest::newRow("over the download clip") << "html"
                                            << "%P/Download.avi" << 2;
    QTest::newRow("over the database clip") << "xlsx"
                                            << "%P/AccessDatabase.avi" << 2;
    QTest::newRow("over an asset in a folder") << "odt"
                                               << "%P/assets/picture.png" << 2;
    QTest::newRow("over the executable") << "html"
                                         << "%P/quorvane" << 2;
    QTest::newRow("over a link to the executable") << "xlsx"
                                                   << "%O/quorvane-link" << 2;
    QTest::newRow("over a hard link to the executable") << "odt"
                                                        << "%O/quorvane-hard" << 2;
    QTest::newRow("over the page, as a workbook") << "xlsx"
                                                  << "%P/output.html" << 2;
    QTest::newRow("a document into the data folder") << "odt"
                                                     << "%P/data" << 2;
    QTest::newRow("a workbook into the template folder") << "xlsx"
                                                         << "%P/Word" << 2;
    QTest::newRow("the page, by name") << "html"
                                       << "%P/output.html" << 0;
    QTest::newRow("the page, by folder") << "html"
                                         << "%P" << 0;
}

void OutputTargetsTest::programFolderIsOwn() {
    QFETCH(QString, kind);
    QFETCH(QString, output);
    QFETCH(int, status);
    CommandLine cli;
    cli.write(QStringLiteral("data/OVERDUE.LET"), kOverdue);
    QDir().mkpath(cli.path(QStringLiteral("Word")));
    const QStringList own = {"Download.avi", "AccessDatabase.avi", "assets/picture.png",
                             "output.html"};
    for (const QString& name : own)
        cli.write(name, "shipped " + name.toUtf8());
    QTemporaryDir outside;
    QVERIFY(QFile::link(cli.program(), outside.filePath("quorvane-link")));
    QVERIFY(::link(QFile::encodeName(cli.program()).constData(),
                   QFile::encodeName(outside.filePath("quorvane-hard")).constData()) == 0);
    const QByteArray program = cli.read(cli.program());
    output.replace("%P", cli.folder()).replace("%O", outside.path());

    const Run run = cli.run({"export", kind, "OVERDUE", "--output", output}, {}, outside.path());
    QCOMPARE(run.status, status);
    QCOMPARE(cli.read(cli.program()), program);
    QVERIFY(QFileInfo(outside.filePath("quorvane-link")).isSymLink());
    for (const QString& name : own)
        if (status != 0 || name != "output.html")
            QCOMPARE(cli.read(name), "shipped " + name.toUtf8());
    QCOMPARE(QDir(cli.path("data")).entryList(QDir::Files | QDir::Hidden),
             QStringList{"OVERDUE.LET"});
    QCOMPARE(QDir(cli.path("Word")).entryList(QDir::Files | QDir::Hidden), QStringList());
    if (status != 0) {
        QVERIFY2(run.err.contains("a file of Quorvane's own"), run.err);
        return;
    }
    QVERIFY(cli.read(QStringLiteral("output.html")).contains("Aoife Byrne"));
}

// A page larger than the room left on the disk: the system's reason, never "Unknown error",
// with the page's name; the earlier page stays, nothing is left beside it.
void OutputTargetsTest::pageOnFullDiskGivesTheReason() {
    if (geteuid() != 0)
        QSKIP("mounting a small file system needs root");
    CommandLine cli;
    QByteArray many = "Account|Name|Town\n";
    for (int i = 0; i < 3000; ++i)
        many += QByteArray::number(100000 + i) + "|A name of some length|Town\n";
    cli.write(QStringLiteral("data/MANY.LET"), many);
    QTemporaryDir outside;
    const QString full = outside.filePath("full");
    qv::test::SmallDisk disk(full, QStringLiteral("256k"));
    QVERIFY(disk.mounted());
    const QString page = full + QStringLiteral("/page.html");
    QFile earlier(page);
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7);
    earlier.close();

    const Run run = cli.run({"export", "html", "MANY", "--output", page});
    QCOMPARE(run.status, 4);
    QVERIFY2(run.err.contains("No space left on device"), run.err);
    QVERIFY2(!run.err.contains("Unknown error"), run.err);
    QVERIFY2(run.err.contains(page.toUtf8()), run.err);
    QCOMPARE(cli.read(page), QByteArray("earlier"));
    QCOMPARE(QDir(full).entryList(QDir::Files | QDir::Hidden), QStringList{"page.html"});
}

// Every export's message on a full disk names the file it could not write, not its folder only.
void OutputTargetsTest::messageNamesTheFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("output");
    QTest::addColumn<QString>("named"); // the file name the message must hold
    QTest::newRow("xlsx") << "xlsx" << false << "Book1.xlsx";
    QTest::newRow("odt") << "odt" << false << "OVERDUE.odt";
    QTest::newRow("xlsx --output") << "xlsx" << true << "report.xlsx";
    QTest::newRow("odt --output") << "odt" << true << "report.odt";
    QTest::newRow("html --output") << "html" << true << "report.html";
}

void OutputTargetsTest::messageNamesTheFile() {
    QFETCH(QString, kind);
    QFETCH(bool, output);
    QFETCH(QString, named);
    if (geteuid() != 0)
        QSKIP("mounting a small file system needs root");
    CommandLine cli;
    cli.write(QStringLiteral("data/OVERDUE.LET"), kOverdue);
    QTemporaryDir outside;
    const QString full = output ? outside.filePath("full") : cli.home() + "/Documents/Quorvane";
    qv::test::SmallDisk disk(full, QStringLiteral("64k"));
    QVERIFY(disk.mounted());
    disk.fill();
    QStringList arguments{"export", kind, "OVERDUE"};
    if (output)
        arguments << "--output" << full + "/" + named;

    const Run run = cli.run(arguments);
    QCOMPARE(run.status, 4);
    QVERIFY2(run.err.contains((full + "/" + named).toUtf8()), run.err);
    QVERIFY2(run.err.contains("No space left on device"), run.err);
}

// A temporary file of the program's pattern whose process number now belongs to a process that
// started after the file was written (the number was taken over) is left over: the next export
// removes it. One written since that process started may still be its own, and stays.
void OutputTargetsTest::leftoverOfAnEarlierProcessGoes() {
    CommandLine cli;
    cli.write(QStringLiteral("data/OVERDUE.LET"), kOverdue);
    const QString pid = QString::number(::getpid()); // a running process, started just now
    const QString old = ".quorvane-" + pid + "-Ab12Cd.html";
    const QString fresh = ".quorvane-" + pid + "-Ef34Gh.html";
    cli.write(old, "left over");
    cli.write(fresh, "being written");
    struct utimbuf longAgo {};
    longAgo.actime = longAgo.modtime = 946684800; // 2000-01-01
    QCOMPARE(::utime(QFile::encodeName(cli.path(old)).constData(), &longAgo), 0);

    const Run run = cli.run({"export", "html", "OVERDUE"});
    QVERIFY2(run.status == 0, run.err);
    QVERIFY(!QFile::exists(cli.path(old)));
    QVERIFY(QFile::exists(cli.path(fresh)));
}

QTEST_GUILESS_MAIN(OutputTargetsTest)
#include "tst_outputtargets.moc"
