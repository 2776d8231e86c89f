// "quorvane merge NAME": Complete Merge without a window, as an operator's script runs it: the
// real executable, started without a display, in a program folder of its own. The merged
// letters are read back from the document it names.

#include "tests/cli/commandlinerun.h"
#include "tests/support/lettertemplate.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

using qv::test::field;
using qv::test::paragraph;
using qv::test::text;

namespace {

const QByteArray kAccounts = "Name|Balance|Due|Town\n"
                             "Ann|1234.5|2026-03-05|Cork\n"
                             "Bob|0|2026-12-01|Sligo\n";

// A letter with an amount, a date, a choice and a prompt with its default answer.
QByteArray accountLetter() {
    return paragraph(text("Dear ") + field("MERGEFIELD Name") + text(",")) +
           paragraph(text("Balance: ") + field(R"(MERGEFIELD Balance \# "#,##0.00")") +
                     text(" due ") + field(R"(MERGEFIELD Due \@ "d MMMM yyyy")")) +
           paragraph(
               text("You ") +
               field({"IF ", field("MERGEFIELD Balance"), R"( > 0 "owe us money" "owe nothing")"}) +
               text(".")) +
           paragraph(field(R"(FILLIN "Who signs?" \d "The Accounts Office" \o)"));
}

using qv::test::Run;

// A program folder holding merge files and their templates; documents go to its home.
class Program : public qv::test::CommandLine {
public:
    Program() { QDir().mkpath(path(QStringLiteral("data"))); }

    void mergeFile(const QString& name, const QByteArray& bytes) const {
        write(QStringLiteral("data/%1.LET").arg(name), bytes);
    }
    void letterTemplate(const QString& name, const QByteArray& body) const {
        QVERIFY(qv::test::writeLetterTemplate(path(QStringLiteral("Word/%1.dot").arg(name)), body));
    }
    // Runs in the home folder, where relative paths then lead.
    Run run(const QStringList& arguments) const { return CommandLine::run(arguments, {}, home()); }

    // Every file below the home folder (where documents go).
    QStringList documents() const {
        QStringList found;
        QDirIterator it(home(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next();
        return found;
    }
};

} // namespace

class MergeCommandTest : public QObject {
    Q_OBJECT
private slots:
    // Month names and number grouping as the letters expect them, whatever the machine's locale.
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); }
    void mergesLetters();
    void formulaAndRecordDefaults();
    void faultyTemplate_data();
    void faultyTemplate();
    void usage_data();
    void usage();
};

// Each record's letter, on a page of its own, with the word processor's formatting of amounts,
// dates, choices and the prompt's default answer; no merge field is left.
void MergeCommandTest::mergesLetters() {
    Program program;
    program.mergeFile(QStringLiteral("ACC"), kAccounts);
    program.letterTemplate(QStringLiteral("ACC"), accountLetter());
    // A relative path is the caller's: the program runs in its home folder.
    const QString output = program.path(QStringLiteral("home/letters.docx"));
    const Run run = program.run({"merge", "ACC", "--output", "letters.docx"});
    QVERIFY2(run.status == 0, run.err.constData());
    QCOMPARE(run.out.trimmed(), QFile::encodeName(output));
    QStringList codes;
    const QStringList expected = {"Dear Ann,",
                                  "Balance: 1,234.50 due 5 March 2026",
                                  "You owe us money.",
                                  "The Accounts Office",
                                  "<page>",
                                  "Dear Bob,",
                                  "Balance:    0.00 due 1 December 2026",
                                  "You owe nothing.",
                                  "The Accounts Office"};
    QCOMPARE(qv::test::mergedText(output, &codes), expected);
    QVERIFY2(codes.isEmpty(), qPrintable(codes.join(QLatin1Char('|'))));
}

// A formula is computed for each letter, and a prompt's default made of a merge field is each
// record's own: nobody is asked, every letter takes its record's default.
void MergeCommandTest::formulaAndRecordDefaults() {
    Program program;
    program.mergeFile(QStringLiteral("ACC"), kAccounts);
    program.letterTemplate(
        QStringLiteral("ACC"),
        paragraph(field({R"(ASK town "Where?" \d ")", field("MERGEFIELD Town"), "\""})) +
            paragraph(text("From ") + field("REF town") + text(": ") +
                      field({R"(FILLIN "Branch?" \d ")", field("MERGEFIELD Town"), R"( office")"}) +
                      text(", owing ") +
                      field({"= ", field("MERGEFIELD Balance"), R"( * 2 \# ",0.00")"}, "9.99") +
                      text(".")));
    const QString output = program.path(QStringLiteral("home/letters.docx"));
    const Run run = program.run({"merge", "ACC", "--output", "letters.docx"});
    QVERIFY2(run.status == 0, run.err.constData());
    QStringList codes;
    QCOMPARE(qv::test::mergedText(output, &codes),
             (QStringList{"", "From Cork: Cork office, owing 2,469.00.", "<page>", "",
                          "From Sligo: Sligo office, owing 0.00."}));
    QVERIFY2(codes.isEmpty(), qPrintable(codes.join(QLatin1Char('|'))));
}

// A merge field the merge file lacks, or a code that cannot be read, is named with the template
// before anything is written; --ignore-missing-fields merges with missing fields left empty.
void MergeCommandTest::faultyTemplate_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("ignoreMissing");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QStringList>("letters");
    const QByteArray missing = paragraph(text("Dear ") + field("MERGEFIELD Nmae") + text("."));
    const QByteArray unreadable =
        paragraph(field(R"(IF 1 "owe us money" "owe nothing")") + text("."));
    QTest::newRow("missing field stops")
        << missing << false << 1 << QByteArray("MERGEFIELD Nmae") << QStringList();
    QTest::newRow("missing field left empty")
        << missing << true << 0 << QByteArray("MERGEFIELD Nmae")
        << QStringList{"Dear .", "<page>", "Dear ."};
    QTest::newRow("unreadable code stops even so")
        << unreadable << true << 1 << QByteArray("IF 1") << QStringList();
}

void MergeCommandTest::faultyTemplate() {
    QFETCH(QByteArray, body);
    QFETCH(bool, ignoreMissing);
    QFETCH(int, status);
    QFETCH(QByteArray, message);
    QFETCH(QStringList, letters);
    Program program;
    program.mergeFile(QStringLiteral("ACC"), kAccounts);
    program.letterTemplate(QStringLiteral("ACC"), body);
    QStringList arguments = {"merge", "ACC"};
    if (ignoreMissing)
        arguments << "--ignore-missing-fields";
    const Run run = program.run(arguments);
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(message), run.err.constData());
    QVERIFY2(run.err.contains("ACC.dot"), run.err.constData());
    const QStringList documents = program.documents();
    if (letters.isEmpty()) {
        QVERIFY2(documents.isEmpty(), qPrintable(documents.join(QLatin1Char(' '))));
        return;
    }
    QCOMPARE(documents.size(), 1);
    QCOMPARE(qv::test::mergedText(documents.first()), letters);
}

void MergeCommandTest::usage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("no name") << QStringList{"merge"} << 2 << QByteArray("Usage: quorvane merge");
    QTest::newRow("unknown merge file")
        << QStringList{"merge", "NOPE"} << 2 << QByteArray("There is no merge file \"NOPE\"");
    QTest::newRow("no template") << QStringList{"merge", "PLAIN"} << 1
                                 << QByteArray("has no template");
    QTest::newRow("option of another command") << QStringList{"merge", "ACC", "--width", "50"} << 2
                                               << QByteArray("--width does not apply to merge");
    QTest::newRow("settings as output") << QStringList{"merge", "ACC", "--output", "../auto.ini"}
                                        << 2 << QByteArray("is a file of Quorvane's own");
    QTest::newRow("help names it") << QStringList{"--help"} << 0 << QByteArray();
}

void MergeCommandTest::usage() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, message);
    Program program;
    program.mergeFile(QStringLiteral("ACC"), kAccounts);
    program.mergeFile(QStringLiteral("PLAIN"), kAccounts);
    program.letterTemplate(QStringLiteral("ACC"), accountLetter());
    const Run run = program.run(arguments);
    QCOMPARE(run.status, status);
    if (status == 0)
        QVERIFY(run.out.contains("merge NAME [--output PATH] [--ignore-missing-fields]"));
    else
        QVERIFY2(run.err.contains(message), run.err.constData());
    QVERIFY(program.documents().isEmpty());
}

QTEST_GUILESS_MAIN(MergeCommandTest)
#include "tst_mergecommand.moc"
