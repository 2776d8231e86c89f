// "quorvane merge NAME --to docx|pdf [--each PATTERN]" and "quorvane print NAME": the real
// executable, a real headless LibreOffice, and a CUPS server of the test's own whose cups-pdf
// printer writes what it is sent into a temporary folder.

#include "tests/cli/commandlinerun.h"
#include "tests/support/lettertemplate.h"

#include <QDirIterator>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <unistd.h>

using qv::test::field;
using qv::test::paragraph;
using qv::test::Run;
using qv::test::text;

namespace {

const QByteArray kAccounts = "Account|Name|Town\n"
                             "A-1|Ann|Cork\n"
                             "A-2|Bob|Sligo\n"
                             "A-3|Cat|Galway\n"
                             "A-1|Ann|Cork\n";

QByteArray letter() {
    return paragraph(text("Letter to ") + field("MERGEFIELD Name") + text(" of ") +
                     field("MERGEFIELD Town")) +
           paragraph(text("Account ") + field("MERGEFIELD Account"));
}

QString output(const QString& program, const QStringList& args,
               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

QString pdfText(const QString& pdf) {
    return output(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).simplified();
}

// The temporary folder the program runs with (TMPDIR), where its LibreOffice keeps its profile.
QTemporaryDir& privateTemp() {
    static QTemporaryDir dir;
    return dir;
}

// LibreOffice processes of this test's runs.
int officeProcesses() {
    return output(QStringLiteral("pgrep"),
                  {QStringLiteral("-f"), privateTemp().filePath(QStringLiteral("quorvane-pdf-"))})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
        .size();
}

bool haveOffice() {
    return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

class Program : public qv::test::CommandLine {
public:
    Program() {
        write(QStringLiteral("data/ACC.LET"), kAccounts);
        QVERIFY(qv::test::writeLetterTemplate(path(QStringLiteral("Word/ACC.dot")), letter()));
    }
    Run run(const QStringList& arguments, const QProcessEnvironment& extra = {}) const {
        QProcess process;
        startWith(process, arguments, extra);
        Run result;
        if (!process.waitForFinished(300000))
            process.kill();
        result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }
    // Starts the program as CommandLine::start does (no display, its own home), in its home
    // folder, with the extra environment.
    void startWith(QProcess& process, const QStringList& arguments,
                   const QProcessEnvironment& extra) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("HOME"), home());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/.config"));
        env.insert(QStringLiteral("TMPDIR"), privateTemp().path());
        for (const QString& key : extra.keys())
            env.insert(key, extra.value(key));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(home());
        process.start(program(), arguments);
        process.closeWriteChannel();
    }
    QStringList filesIn(const QString& relative) const {
        return QDir(path(relative)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

// A CUPS server of the test's own: its folders, a socket and a cups-pdf printer (the backend
// reads /etc/cups/cups-pdf-<queue>.conf, which names the folder its PDFs go to).
class PrintServer {
public:
    PrintServer() {
        if (::geteuid() != 0 ||
            QStandardPaths::findExecutable(QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin")})
                .isEmpty() ||
            !QFileInfo::exists(QStringLiteral("/usr/lib/cups/backend/cups-pdf"))) {
            why_ = QStringLiteral("needs root, cupsd and printer-driver-cups-pdf");
            return;
        }
        for (const char* sub : {"spool/tmp", "cache", "state", "log", "pdf"})
            QDir().mkpath(dir_.filePath(QString::fromLatin1(sub)));
        QFile::setPermissions(dir_.filePath(QStringLiteral("pdf")),
                              QFileDevice::Permissions(0x7777));
        queue_ = QStringLiteral("qvletters%1").arg(::getpid());
        writeFile(dir_.filePath(QStringLiteral("cupsd.conf")),
                  "Listen " + socket().toUtf8() +
                      "\nLogLevel debug\nBrowsing No\nWebInterface No\nPreserveJobFiles Yes\n"
                      "<Location />\n Order allow,deny\n Allow all\n</Location>\n");
        const QByteArray d = dir_.path().toUtf8();
        writeFile(dir_.filePath(QStringLiteral("cups-files.conf")),
                  "ServerRoot " + d + "\nRequestRoot " + d + "/spool\nTempDir " + d +
                      "/spool/tmp\nCacheDir " + d + "/cache\nStateDir " + d + "/state\nErrorLog " +
                      d + "/log/error_log\nAccessLog " + d + "/log/access_log\nPageLog " + d +
                      "/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                      "SystemGroup root\nUser lp\nGroup lp\n");
        writeFile(backendConf(), "Out " + d + "/pdf\n");
        cupsd_.setProcessChannelMode(QProcess::MergedChannels);
        cupsd_.start(QStringLiteral("/usr/sbin/cupsd"),
                     {QStringLiteral("-f"), QStringLiteral("-c"),
                      dir_.filePath(QStringLiteral("cupsd.conf")), QStringLiteral("-s"),
                      dir_.filePath(QStringLiteral("cups-files.conf"))});
        for (int i = 0; i < 100 && !QFileInfo::exists(socket()); ++i)
            cupsd_.waitForFinished(100); // the socket appears once the server listens
    }
    ~PrintServer() {
        cupsd_.terminate();
        cupsd_.waitForFinished(10000);
        QFile::remove(backendConf());
    }
    QString skipReason() const { return why_; }
    QString socket() const { return dir_.filePath(QStringLiteral("cups.sock")); }
    QString pdfFolder() const { return dir_.filePath(QStringLiteral("pdf")); }
    // The document of job n as the server received it.
    QString jobDocument(int job) const {
        return dir_.filePath(QStringLiteral("spool/d%1-001").arg(job, 5, 10, QLatin1Char('0')));
    }
    QString queue() const { return queue_; }
    QProcessEnvironment environment() const {
        QProcessEnvironment env;
        env.insert(QStringLiteral("CUPS_SERVER"), socket());
        return env;
    }
    // Adds the printer (and makes it the default); false with lpadmin's words.
    bool addPrinter(QString* error) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CUPS_SERVER"), socket());
        const QString added =
            output(QStringLiteral("lpadmin"),
                   {QStringLiteral("-p"), queue_, QStringLiteral("-E"), QStringLiteral("-v"),
                    QStringLiteral("cups-pdf:/") + queue_, QStringLiteral("-P"),
                    QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd")},
                   env);
        *error = added + output(QStringLiteral("lpadmin"), {QStringLiteral("-d"), queue_}, env);
        return output(QStringLiteral("lpstat"), {QStringLiteral("-d")}, env).contains(queue_);
    }
    // Waits until the server's log says the job is done (the PDF is then complete).
    bool waitForJob(int job) const {
        const QString log = dir_.filePath(QStringLiteral("log/error_log"));
        const QByteArray done = QStringLiteral("[Job %1] Job completed").arg(job).toUtf8();
        QFileSystemWatcher watcher({log});
        QSignalSpy changed(&watcher, &QFileSystemWatcher::fileChanged);
        for (int i = 0; i < 120; ++i) {
            QFile f(log);
            if (f.open(QIODevice::ReadOnly) && f.readAll().contains(done))
                return true;
            changed.wait(1000);
        }
        return false;
    }

private:
    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString backendConf() const { return QStringLiteral("/etc/cups/cups-pdf-%1.conf").arg(queue_); }
    QTemporaryDir dir_{QStringLiteral("/tmp/quorvane-cups-XXXXXX")};
    QProcess cupsd_;
    QString queue_, why_;
};

} // namespace

class LettersCommandTest : public QObject {
    Q_OBJECT
private slots:
    void pdfEach();
    void documentEach();
    void oneDocument();
    void onePdf();
    void usage_data();
    void usage();
    void withoutLibreOffice();
    void interrupted();
    void printsToServer();
    void noPrinter();
};

// One PDF a letter, named by the pattern (the repeated name numbered), each holding its own
// letter only; progress of every stage on standard error.
void LettersCommandTest::pdfEach() {
    if (!haveOffice())
        QSKIP("LibreOffice or poppler-utils is not installed");
    Program program;
    const Run run = program.run(
        {"merge", "ACC", "--to", "pdf", "--each", "{Account} {Name}", "--output", "out"});
    QVERIFY2(run.status == 0, run.err.constData());
    const QStringList names = {"A-1 Ann (2).pdf", "A-1 Ann.pdf", "A-2 Bob.pdf", "A-3 Cat.pdf"};
    QCOMPARE(program.filesIn(QStringLiteral("home/out")), names);
    const QStringList printed = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(printed.size(), 4);
    QVERIFY(printed[1].endsWith(QStringLiteral("/out/A-2 Bob.pdf")));
    const QStringList towns = {"Cork", "Sligo", "Galway", "Cork"};
    for (int i = 0; i < 4; ++i) {
        const QString textOf = pdfText(printed[i]);
        QCOMPARE(textOf.count(QStringLiteral("Letter to")), 1);
        QVERIFY2(textOf.contains(towns[i]), qPrintable(textOf));
    }
    for (const char* step : {"4 of 4 records merged", "pages laid out", "4 of 4 files written"})
        QVERIFY2(run.err.contains(step), run.err.constData());
    QCOMPARE(officeProcesses(), 0);
}

void LettersCommandTest::documentEach() {
    Program program;
    const Run run = program.run({"merge", "ACC", "--each", "{Name}", "--output", "out"});
    QVERIFY2(run.status == 0, run.err.constData());
    QCOMPARE(program.filesIn(QStringLiteral("home/out")),
             QStringList({"Ann (2).docx", "Ann.docx", "Bob.docx", "Cat.docx"}));
    QCOMPARE(qv::test::mergedText(program.path(QStringLiteral("home/out/Bob.docx"))),
             QStringList({"Letter to Bob of Sligo", "Account A-2"}));
}

// --to docx without --each is Complete Merge as always: one document.
void LettersCommandTest::oneDocument() {
    Program program;
    const Run run = program.run({"merge", "ACC", "--to", "docx", "--output", "all.docx"});
    QVERIFY2(run.status == 0, run.err.constData());
    QCOMPARE(qv::test::mergedText(program.path(QStringLiteral("home/all.docx"))).count("<page>"),
             3);
}

void LettersCommandTest::onePdf() {
    if (!haveOffice())
        QSKIP("LibreOffice or poppler-utils is not installed");
    Program program;
    const Run run = program.run({"merge", "ACC", "--to", "pdf", "--output", "all.pdf"});
    QVERIFY2(run.status == 0, run.err.constData());
    QCOMPARE(run.out.trimmed(), QFile::encodeName(program.path(QStringLiteral("home/all.pdf"))));
    QCOMPARE(pdfText(program.path(QStringLiteral("home/all.pdf"))).count("Letter to"), 4);
}

void LettersCommandTest::usage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("to odt") << QStringList{"merge", "ACC", "--to", "odt"}
                            << QByteArray("--to docx|pdf");
    QTest::newRow("unknown field")
        << QStringList{"merge", "ACC", "--each", "{Nmae}"} << QByteArray("no field \"Nmae\"");
    QTest::newRow("empty pattern")
        << QStringList{"merge", "ACC", "--each", ""} << QByteArray("--each needs a pattern");
    QTest::newRow("printer on merge") << QStringList{"merge", "ACC", "--printer", "P"}
                                      << QByteArray("--printer does not apply to merge");
    QTest::newRow("each on print") << QStringList{"print", "ACC", "--each", "{Name}"}
                                   << QByteArray("--each does not apply to print");
    QTest::newRow("records backwards")
        << QStringList{"print", "ACC", "--records", "3-2"} << QByteArray("such as 1-50");
    QTest::newRow("records zero") << QStringList{"print", "ACC", "--records", "0"}
                                  << QByteArray("such as 1-50");
    QTest::newRow("records beyond")
        << QStringList{"print", "ACC", "--records", "9-12"} << QByteArray("has 4 records");
    QTest::newRow("unknown merge file") << QStringList{"print", "NOPE"} << QByteArray("NOPE");
}

void LettersCommandTest::usage() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    Program program;
    const Run run = program.run(arguments);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(message), run.err.constData());
    QVERIFY(program.filesIn(QStringLiteral("home")).isEmpty());
}

void LettersCommandTest::withoutLibreOffice() {
    Program program;
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), program.path(QStringLiteral("nothing-here")));
    const Run run = program.run({"merge", "ACC", "--to", "pdf", "--each", "{Name}", "--output",
                                 program.path(QStringLiteral("out"))},
                                env);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains("libreoffice-writer"), run.err.constData());
    QVERIFY(program.filesIn(QStringLiteral("out")).isEmpty());
}

// SIGTERM while LibreOffice lays out the letters: status 143, no file, no LibreOffice left.
void LettersCommandTest::interrupted() {
    if (!haveOffice())
        QSKIP("LibreOffice is not installed");
    Program program;
    QProcess process;
    program.startWith(process,
                      {"merge", "ACC", "--to", "pdf", "--each", "{Name}", "--output", "out"}, {});
    QByteArray err;
    process.setReadChannel(QProcess::StandardError);
    while (!err.contains("LibreOffice is laying out") && process.waitForReadyRead(120000))
        err += process.readAllStandardError();
    QVERIFY2(err.contains("LibreOffice is laying out"), err.constData());
    QTRY_COMPARE_WITH_TIMEOUT(officeProcesses() > 0, true, 60000);
    ::kill(pid_t(process.processId()), SIGTERM);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 143);
    QCOMPARE(officeProcesses(), 0);
    QCOMPARE(program.filesIn(QStringLiteral("home/out")), QStringList());
    QCOMPARE(
        QDir(privateTemp().path())
            .entryList({QStringLiteral("quorvane-letters-*"), QStringLiteral("quorvane-pdf-*")},
                       QDir::Dirs),
        QStringList());
}

// Records 2 to 3 as one job on the test's CUPS server: the job names the merge file, and the PDF
// the printer writes holds those two letters.
void LettersCommandTest::printsToServer() {
    if (!haveOffice())
        QSKIP("LibreOffice or poppler-utils is not installed");
    PrintServer server;
    if (!server.skipReason().isEmpty())
        QSKIP(qPrintable(server.skipReason()));
    QString error;
    QVERIFY2(server.addPrinter(&error), qPrintable(error));
    Program program;
    const Run run = program.run({"print", "ACC", "--records", "2-3"}, server.environment());
    QVERIFY2(run.status == 0, run.err.constData());
    QCOMPARE(run.out.trimmed(),
             (server.queue() + QStringLiteral("-1\t2 letters, 2 pages")).toUtf8());
    QVERIFY(server.waitForJob(1));
    // The printer's PDF names the job after the merge file and has the letters' pages (its text
    // went through PostScript without a text layer); the document the server received holds
    // those two letters.
    const QStringList printed = QDir(server.pdfFolder()).entryList(QDir::Files);
    QCOMPARE(printed.size(), 1);
    QVERIFY2(printed[0].contains(QStringLiteral("Quorvane_letters_ACC")), qPrintable(printed[0]));
    const QString info =
        output(QStringLiteral("pdfinfo"), {QDir(server.pdfFolder()).filePath(printed[0])});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\b"))), qPrintable(info));
    const QString textOf = pdfText(server.jobDocument(1));
    QVERIFY2(textOf.count(QStringLiteral("Letter to")) == 2, qPrintable(textOf));
    QVERIFY2(textOf.contains(QStringLiteral("Bob of Sligo")) &&
                 textOf.contains(QStringLiteral("Cat of Galway")) && !textOf.contains("Ann"),
             qPrintable(textOf));
}

void LettersCommandTest::noPrinter() {
    Program program;
    QProcessEnvironment env;
    env.insert(QStringLiteral("CUPS_SERVER"), program.path(QStringLiteral("no-cups.sock")));
    const Run run = program.run({"print", "ACC"}, env);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains("No printer is set up"), run.err.constData());
    QVERIFY(program.filesIn(QStringLiteral("home")).isEmpty());
}

QTEST_GUILESS_MAIN(LettersCommandTest)
#include "tst_letterscommand.moc"
