// Letters as operators send them: names from a pattern, one file a letter (Word or PDF, the PDF
// laid out once by a real headless LibreOffice and cut with libqpdf), one PDF of a range, a
// cancel at every stage, and LibreOffice missing.
#include "output/letterfiles.h"
#include "output/letters.h"
#include "output/mergedata.h"
#include "platform/services.h"
#include "tests/support/lettertemplate.h"
#include "tests/support/tempprogramfolder.h"

#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace qv;
using namespace qv::output;

namespace {

// Record 3's note runs over several pages; record 4 has no account or name.
QByteArray mergeFile() {
    QByteArray note;
    for (int i = 0; i < 700; ++i)
        note += "overdue ";
    return "Account|Last|Town|Note\n"
           "0100001|Byrne|Cork|short\n"
           "0100002|Walsh|Sligo|short\n"
           "0100003|Ni Dhuill|Galway|" +
           note +
           "\n"
           "||Nowhere|short\n"
           "0100005|Byrne|Cork|short\n";
}

QByteArray letterBody() {
    using namespace qv::test;
    return paragraph(text("Letter for account ") + field("MERGEFIELD Account") + text(" of ") +
                     field("MERGEFIELD Town") + text(" to ") + field("MERGEFIELD Last")) +
           paragraph(field("MERGEFIELD Note")) + paragraph(text("End of letter"));
}

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfText(const QString& pdf) {
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
        .simplified();
}

int pdfPages(const QString& pdf) {
    static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    return pages.match(run(QStringLiteral("pdfinfo"), {pdf})).captured(1).toInt();
}

// The temporary folder of this test, where the letters' LibreOffice keeps its profile.
QTemporaryDir& privateTemp() {
    static QTemporaryDir dir;
    return dir;
}

// LibreOffice processes started for the letters of this test (their private profiles live in
// "quorvane-pdf-..." folders of its temporary folder).
int officeProcesses() {
    return run(QStringLiteral("pgrep"),
               {QStringLiteral("-f"), privateTemp().filePath(QStringLiteral("quorvane-pdf-"))})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
        .size();
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class TestLetters : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("TMPDIR", QFile::encodeName(privateTemp().path())); }
    void init();
    void stems_data();
    void stems();
    void patternProblems_data();
    void patternProblems();
    void uniqueNames();
    void documentEach();
    void pdfEach();
    void pdfOfRange();
    void existingFilesNumberedOrReplaced();
    void cancel_data();
    void cancel();
    void withoutLibreOffice();

private:
    LetterJob job(LetterOutput output, const QString& target);
    bool needsOffice();

    std::unique_ptr<test::TempProgramFolder> folder_;
    QString out_;
};

void TestLetters::init() {
    folder_.reset(); // the earlier program folder goes before the next is installed
    folder_ = std::make_unique<test::TempProgramFolder>();
    folder_->write(QStringLiteral("data/ABC.LET"), mergeFile());
    QVERIFY(
        test::writeLetterTemplate(folder_->filePath(QStringLiteral("Word/ABC.dot")), letterBody()));
    out_ = folder_->filePath(QStringLiteral("out"));
    QDir().mkpath(out_);
}

LetterJob TestLetters::job(LetterOutput output, const QString& target) {
    LetterJob j;
    j.name = QStringLiteral("ABC");
    j.dataPath = folder_->filePath(QStringLiteral("data/ABC.LET"));
    j.templatePath = folder_->filePath(QStringLiteral("Word/ABC.dot"));
    j.output = output;
    j.pattern = QStringLiteral("{Account} {Last}");
    j.target = target;
    j.layoutLimitMs = 240000;
    return j;
}

bool TestLetters::needsOffice() {
    return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

void TestLetters::stems_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("stem");
    QTest::newRow("fields") << "{Account} {Last}" << QByteArray("0100001|Byrne") << "0100001 Byrne";
    QTest::newRow("case of field") << "{account}-{LAST}" << QByteArray("7|X") << "7-X";
    QTest::newRow("separators") << "{Last}" << QByteArray("1|a/b\\c:d") << "a_b_c_d";
    QTest::newRow("climbing") << "{Last}" << QByteArray("1|../../etc/x") << "_._etc_x";
    QTest::newRow("control") << "{Last}" << QByteArray("1|a\tb") << "a_b";
    QTest::newRow("empty gives number") << "{Last}" << QByteArray("1|") << "1";
    QTest::newRow("only dots") << "{Last}" << QByteArray("1|...") << "1";
    QTest::newRow("plain text") << "letter" << QByteArray("1|x") << "letter";
    QTest::newRow("long") << "{Last}" << QByteArray("1|") + QByteArray(300, 'x')
                          << QString(200 - 4 - 8, QLatin1Char('x'));
}

void TestLetters::stems() {
    QFETCH(QString, pattern);
    QFETCH(QByteArray, record);
    QFETCH(QString, stem);
    const MergeData data = parseMergeData("Account|Last\n" + record + "\n");
    QCOMPARE(namePatternProblem(pattern, data), QString());
    QCOMPARE(letterStem(pattern, data, 0, QStringLiteral("pdf")), stem);
}

void TestLetters::patternProblems_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("problem");
    QTest::newRow("unknown field") << "{Acount}"
                                   << "no field \"Acount\"";
    QTest::newRow("unclosed") << "{Account"
                              << "without its \"}\"";
    QTest::newRow("stray close") << "Account}"
                                 << "without its \"{\"";
    QTest::newRow("empty braces") << "{ }"
                                  << "braces without a merge field";
}

void TestLetters::patternProblems() {
    QFETCH(QString, pattern);
    QFETCH(QString, problem);
    const MergeData data = parseMergeData("Account|Last\n1|x\n");
    QVERIFY2(namePatternProblem(pattern, data).contains(problem),
             qPrintable(namePatternProblem(pattern, data)));
}

void TestLetters::uniqueNames() {
    QCOMPARE(uniqueFileNames({QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("B"),
                              QStringLiteral("A")},
                             QStringLiteral("pdf"), {QStringLiteral("B.pdf")}),
             QStringList({QStringLiteral("A.pdf"), QStringLiteral("a (2).pdf"),
                          QStringLiteral("B (2).pdf"), QStringLiteral("A (3).pdf")}));
}

void TestLetters::documentEach() {
    const LetterResult result = makeLetters(job(LetterOutput::DocumentEach, out_));
    QVERIFY2(result.ok(), qPrintable(result.error));
    const QStringList expected = {QStringLiteral("0100001 Byrne.docx"),
                                  QStringLiteral("0100002 Walsh.docx"),
                                  QStringLiteral("0100003 Ni Dhuill.docx"),
                                  QStringLiteral("4.docx"), QStringLiteral("0100005 Byrne.docx")};
    QStringList sorted = expected;
    sorted.sort();
    QCOMPARE(filesIn(out_), sorted); // nothing temporary is left
    const QStringList towns = {QStringLiteral("Cork"), QStringLiteral("Sligo"),
                               QStringLiteral("Galway"), QStringLiteral("Nowhere"),
                               QStringLiteral("Cork")};
    for (int i = 0; i < expected.size(); ++i) {
        const QStringList lines = test::mergedText(QDir(out_).filePath(expected[i]));
        QCOMPARE(lines.size(), 3); // one letter, no page break to another
        QVERIFY2(lines[0].contains(QStringLiteral(" of ") + towns[i]), qPrintable(lines[0]));
        QCOMPARE(lines[2], QStringLiteral("End of letter"));
    }
}

void TestLetters::pdfEach() {
    if (!needsOffice())
        QSKIP("LibreOffice or poppler-utils is not installed");
    LetterJob j = job(LetterOutput::PdfEach, out_);
    QList<LetterProgress> steps;
    j.progress = [&steps](const LetterProgress& p) { steps << p; };
    const LetterResult result = makeLetters(j);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.files.size(), 5);
    QCOMPARE(filesIn(out_),
             QStringList({QStringLiteral("0100001 Byrne.pdf"), QStringLiteral("0100002 Walsh.pdf"),
                          QStringLiteral("0100003 Ni Dhuill.pdf"),
                          QStringLiteral("0100005 Byrne.pdf"), QStringLiteral("4.pdf")}));
    const QStringList towns = {QStringLiteral("Cork"), QStringLiteral("Sligo"),
                               QStringLiteral("Galway"), QStringLiteral("Nowhere"),
                               QStringLiteral("Cork")};
    const QStringList accounts = {QStringLiteral("0100001"), QStringLiteral("0100002"),
                                  QStringLiteral("0100003"), QString(), QStringLiteral("0100005")};
    int pages = 0;
    for (int i = 0; i < result.files.size(); ++i) {
        const QString textOf = pdfText(result.files[i]);
        QCOMPARE(textOf.count(QStringLiteral("Letter for account")), 1);
        QCOMPARE(textOf.count(QStringLiteral("End of letter")), 1);
        QVERIFY2(textOf.contains(
                     QStringLiteral("account %1 of %2").arg(accounts[i], towns[i]).simplified()),
                 qPrintable(textOf.left(200)));
        const int own = pdfPages(result.files[i]);
        QCOMPARE(own > 1, i == 2); // the long note runs over pages
        pages += own;
    }
    QCOMPARE(pages, result.pages);
    // Progress: every record merged, the pages laid out, every file written.
    QCOMPARE(steps.last().stage, LetterProgress::Writing);
    QCOMPARE(steps.last().done, 5);
    QVERIFY(std::any_of(steps.begin(), steps.end(), [&](const LetterProgress& p) {
        return p.stage == LetterProgress::LayingOut && p.done == result.pages;
    }));
    QCOMPARE(officeProcesses(), 0);
}

void TestLetters::pdfOfRange() {
    if (!needsOffice())
        QSKIP("LibreOffice or poppler-utils is not installed");
    LetterJob j = job(LetterOutput::Pdf, QDir(out_).filePath(QStringLiteral("two.pdf")));
    j.firstRecord = 1;
    j.lastRecord = 3;
    const LetterResult result = makeLetters(j);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.letters, 3);
    const QString textOf = pdfText(j.target);
    QCOMPARE(textOf.count(QStringLiteral("Letter for account")), 3);
    QVERIFY(!textOf.contains(QStringLiteral("0100001")));
    QVERIFY(!textOf.contains(QStringLiteral("0100005")));
    QCOMPARE(pdfPages(j.target), result.pages);
    QCOMPARE(filesIn(out_), QStringList({QStringLiteral("two.pdf")}));
}

void TestLetters::existingFilesNumberedOrReplaced() {
    QFile old(QDir(out_).filePath(QStringLiteral("0100001 Byrne.docx")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("earlier");
    old.close();
    LetterResult result = makeLetters(job(LetterOutput::DocumentEach, out_));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QVERIFY(result.files.contains(QDir(out_).filePath(QStringLiteral("0100001 Byrne (2).docx"))));
    QCOMPARE(old.size(), 7);
    LetterJob replacing = job(LetterOutput::DocumentEach, out_);
    replacing.replaceExisting = true;
    result = makeLetters(replacing);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QVERIFY(QFileInfo(old.fileName()).size() > 7);
    QVERIFY(result.files.contains(old.fileName()));
}

void TestLetters::cancel_data() {
    QTest::addColumn<int>("stage");
    QTest::addColumn<int>("output");
    QTest::newRow("merging") << int(LetterProgress::Merging) << int(LetterOutput::PdfEach);
    QTest::newRow("laying out") << int(LetterProgress::LayingOut) << int(LetterOutput::PdfEach);
    QTest::newRow("writing pdf") << int(LetterProgress::Writing) << int(LetterOutput::PdfEach);
    QTest::newRow("writing docx") << int(LetterProgress::Writing)
                                  << int(LetterOutput::DocumentEach);
    QTest::newRow("one pdf") << int(LetterProgress::LayingOut) << int(LetterOutput::Pdf);
}

void TestLetters::cancel() {
    QFETCH(int, stage);
    QFETCH(int, output);
    if (output != int(LetterOutput::DocumentEach) && !needsOffice())
        QSKIP("LibreOffice is not installed");
    LetterJob j = job(LetterOutput(output), output == int(LetterOutput::Pdf)
                                                ? QDir(out_).filePath(QStringLiteral("all.pdf"))
                                                : out_);
    bool stop = false;
    j.progress = [&](const LetterProgress& p) {
        if (int(p.stage) == stage)
            stop = true; // a LibreOffice that has just started, the first files written
    };
    j.cancelled = [&stop] { return stop; };
    const LetterResult result = makeLetters(j);
    QVERIFY(result.cancelled);
    QVERIFY(result.error.isEmpty());
    QVERIFY(result.files.isEmpty());
    QCOMPARE(filesIn(out_), QStringList());
    QCOMPARE(officeProcesses(), 0);
}

void TestLetters::withoutLibreOffice() {
    const ScopedServices noOffice(
        [](Services& s) { s.libreOfficeProgram = QStringLiteral("/nonexistent/soffice"); });
    const LetterResult result = makeLetters(job(LetterOutput::PdfEach, out_));
    QVERIFY(result.error.contains(
        QStringLiteral("install the Debian package \"libreoffice-writer\""), Qt::CaseInsensitive));
    QCOMPARE(filesIn(out_), QStringList());
}

QTEST_GUILESS_MAIN(TestLetters)
#include "tst_letters.moc"
