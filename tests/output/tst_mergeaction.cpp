// Complete Merge from the window with templates that use the field language: the prompts and the
// question about a faulty template reach the operator in dialogs titled "Quorvane", and what the
// operator answers is what the letters say.

#include "app/actions/exports.h"
#include "app/form2.h"
#include "controls/command/command.h"
#include "platform/services.h"
#include "tests/support/designcontrol.h"
#include "tests/support/lettertemplate.h"
#include "tests/support/recordingdialogs.h"
#include "tests/support/tempprogramfolder.h"

#include <QDirIterator>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

using qv::test::designControl;

using qv::test::field;
using qv::test::paragraph;
using qv::test::text;

namespace {

const QByteArray kAccounts = "Name|Balance|Due|Town\n"
                             "Ann|1234.5|2026-03-05|Cork\n"
                             "Bob|-5|2026-12-01|Sligo\n"
                             "|0|2027-01-31|Galway\n";

// The merge file ACC with the template given, selected in a main window; dialogs answered from
// queues, the merged document "opened" into a list.
struct Fixture {
    qv::test::TempProgramFolder folder;
    qv::test::RecordingDialogs dialogs;
    QTemporaryDir documents;
    QStringList opened;
    qv::ScopedServices services{[this](qv::Services& s) {
        s.documentFolder = documents.path();
        s.fileOpener = [this](const QString& p) {
            opened << p;
            return true;
        };
    }};
    std::unique_ptr<Form2> form;

    explicit Fixture(const QByteArray& body) {
        folder.write(QStringLiteral("data/ACC.LET"), kAccounts);
        if (!qv::test::writeLetterTemplate(folder.filePath(QStringLiteral("Word/ACC.dot")), body))
            qFatal("the template could not be written");
        form = std::make_unique<Form2>();
        form->details.showFile({QStringLiteral("ACC"), {}, QStringLiteral("ACC.LET"), {}});
        form->details.setRecordCount(3);
    }

    // Complete Merge clicked; the letters of the document it opened, or none.
    QStringList merge(QStringList* fieldCodes = nullptr) {
        emit designControl<Command>(*form, "Command4")->Click();
        if (opened.size() != 1)
            return {};
        return qv::test::mergedText(opened.first(), fieldCodes);
    }

    QStringList documentFiles() const {
        QStringList files;
        QDirIterator it(documents.path(), QDir::Files | QDir::Hidden);
        while (it.hasNext())
            files << it.next();
        return files;
    }
};

} // namespace

class MergeActionTest : public QObject {
    Q_OBJECT
private slots:
    void accountLetters();
    void prompts_data();
    void prompts();
    void formulaAndRecordDefaults();
    void cancelledPrompt();
    void faultyTemplate_data();
    void faultyTemplate();
};

// The letter of the report: an amount, a date, a choice by the balance, a greeting for a record
// without a name and the record's number; every letter on a page of its own, no field left.
void MergeActionTest::accountLetters() {
    Fixture f(paragraph(text("Dear ") +
                        field({"IF \"", field("MERGEFIELD Name"), "\" = \"\" \"Sir or Madam\" \"",
                               field("MERGEFIELD Name"), "\""}) +
                        text(",")) +
              paragraph(text("Balance: ") + field(R"(MERGEFIELD Balance \# "#,##0.00;-#,##0.00")") +
                        text(", due ") + field(R"(MERGEFIELD Due \@ "d MMMM yyyy")")) +
              paragraph(text("You ") +
                        field({"IF ", field("MERGEFIELD Balance"),
                               R"( > 0 "owe us money" "owe nothing")"}) +
                        text(". Letter ") + field("MERGEREC") + text(".")));
    QStringList codes;
    const QStringList letters = f.merge(&codes);
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.join('\n')));
    const QStringList expected = {"Dear Ann,",
                                  "Balance: 1,234.50, due 5 March 2026",
                                  "You owe us money. Letter 1.",
                                  "<page>",
                                  "Dear Bob,",
                                  "Balance: -   5.00, due 1 December 2026",
                                  "You owe nothing. Letter 2.",
                                  "<page>",
                                  "Dear Sir or Madam,",
                                  "Balance:    0.00, due 31 January 2027",
                                  "You owe nothing. Letter 3."};
    QCOMPARE(letters, expected);
    QVERIFY2(codes.isEmpty(), qPrintable(codes.join('|')));
    QVERIFY(f.form->isEnabled());
    QVERIFY(designControl<QLineEdit>(*f.form, "Text15")->isHidden());
}

// ASK asks for every record unless the operator keeps an answer for the rest; \o asks once. The
// dialog offers the choice only where it asks again.
void MergeActionTest::prompts_data() {
    QTest::addColumn<QList<qv::PromptAnswer>>("answers");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QList<bool>>("offered");
    QTest::addColumn<QStringList>("letters");
    QTest::newRow("every record asked")
        << QList<qv::PromptAnswer>{{"one", false}, {"Ed", false}, {"two", false}, {"three", false}}
        << QStringList{"Note?", "Signed by?", "Note?", "Note?"}
        << QList<bool>{true, false, true, true}
        << QStringList{"Ann: one (Ed)", "<page>", "Bob: two (Ed)", "<page>", ": three (Ed)"};
    QTest::newRow("answer kept for the rest")
        << QList<qv::PromptAnswer>{{"one", false}, {"Ed", false}, {"same", true}}
        << QStringList{"Note?", "Signed by?", "Note?"} << QList<bool>{true, false, true}
        << QStringList{"Ann: one (Ed)", "<page>", "Bob: same (Ed)", "<page>", ": same (Ed)"};
}

void MergeActionTest::prompts() {
    QFETCH(QList<qv::PromptAnswer>, answers);
    QFETCH(QStringList, asked);
    QFETCH(QList<bool>, offered);
    QFETCH(QStringList, letters);
    Fixture f(paragraph(field(R"(ASK note "Note?" \d "none")") + field("MERGEFIELD Name") +
                        text(": ") + field("REF note") + text(" (") +
                        field(R"(FILLIN "Signed by?" \d "The Office" \o)") + text(")")));
    for (const qv::PromptAnswer& a : answers)
        f.dialogs.promptAnswers.enqueue(a);
    QCOMPARE(f.merge(), letters);
    // ASK and FILLIN are asked in the order they stand, record by record; \o only once.
    QCOMPARE(f.dialogs.prompts, asked);
    QCOMPARE(f.dialogs.everyRecordOffered, offered);
    QCOMPARE(f.dialogs.inputDefaults.count(QStringLiteral("none")), asked.count("Note?"));
    for (const QString& title : f.dialogs.titles)
        QCOMPARE(title, QStringLiteral("Quorvane"));
}

// A formula is computed for each letter, and a prompt whose prompt and default hold merge
// fields shows each record's own: the operator who takes the default gets each record's town.
void MergeActionTest::formulaAndRecordDefaults() {
    Fixture f(paragraph(field({R"(ASK town "Town of )", field("MERGEFIELD Name"), R"(?" \d ")",
                               field("MERGEFIELD Town"), "\""})) +
              paragraph(text("From ") + field("REF town") + text(", owing ") +
                        field({"= ", field("MERGEFIELD Balance"), R"( * 2 \# "0.00")"}, "9.99") +
                        text(".")));
    for (const char* town : {"Cork", "Sligo", "Galway"})
        f.dialogs.promptAnswers.enqueue(qv::PromptAnswer{QString::fromLatin1(town), false});
    QCOMPARE(f.merge(),
             (QStringList{"", "From Cork, owing 2469.00.", "<page>", "",
                          "From Sligo, owing -10.00.", "<page>", "", "From Galway, owing 0.00."}));
    QCOMPARE(f.dialogs.prompts, (QStringList{"Town of Ann?", "Town of Bob?", "Town of ?"}));
    QCOMPARE(f.dialogs.inputDefaults, (QStringList{"Cork", "Sligo", "Galway"}));
}

// Cancel stops the merge: nothing is written and no further message follows.
void MergeActionTest::cancelledPrompt() {
    Fixture f(paragraph(field(R"(FILLIN "Signed by?" \d "The Office")")));
    QVERIFY(f.merge().isEmpty());
    QCOMPARE(f.dialogs.prompts.size(), 1);
    QVERIFY(f.dialogs.messages.isEmpty());
    QVERIFY2(f.documentFiles().isEmpty(), qPrintable(f.documentFiles().join(' ')));
    QVERIFY(f.form->isEnabled());
}

// A merge field the merge file lacks, or a field code that cannot be read, is named with the
// template before anything is written; the operator merges anyway (the field empty) or stops.
void MergeActionTest::faultyTemplate_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("mergeAnyway");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("letters");
    const QByteArray missing = paragraph(text("Dear ") + field("MERGEFIELD Nmae") + text("."));
    const QByteArray quotes =
        paragraph(text("Dear ") + field(R"(MERGEFIELD Name \b "Mr )") + text("."));
    const QByteArray noOperator =
        paragraph(field({"IF ", field("MERGEFIELD Balance"), R"( "owe" "owe nothing")"}));
    QTest::newRow("missing field, stop") << missing << false << "MERGEFIELD Nmae" << QStringList();
    QTest::newRow("missing field, merge anyway")
        << missing << true << "MERGEFIELD Nmae"
        << QStringList{"Dear .", "<page>", "Dear .", "<page>", "Dear ."};
    QTest::newRow("unbalanced quotes, stop")
        << quotes << false << R"(MERGEFIELD Name \b "Mr)" << QStringList();
    QTest::newRow("IF without an operator, stop") << noOperator << false << "IF" << QStringList();
}

void MergeActionTest::faultyTemplate() {
    QFETCH(QByteArray, body);
    QFETCH(bool, mergeAnyway);
    QFETCH(QString, code);
    QFETCH(QStringList, letters);
    Fixture f(body);
    f.dialogs.confirmAnswers.enqueue(mergeAnyway);
    QCOMPARE(f.merge(), letters);
    QCOMPARE(f.dialogs.questions.size(), 1);
    const QString question = f.dialogs.questions.first();
    QVERIFY2(question.contains(code), qPrintable(question));
    QVERIFY2(question.contains(QDir::toNativeSeparators(f.folder.filePath("Word/ACC.dot"))),
             qPrintable(question));
    QCOMPARE(f.dialogs.titles.first(), QStringLiteral("Quorvane"));
    QVERIFY(f.dialogs.messages.isEmpty());
    if (!mergeAnyway)
        QVERIFY2(f.documentFiles().isEmpty(), qPrintable(f.documentFiles().join(' ')));
    QVERIFY(f.form->isEnabled());
}

QTEST_MAIN(MergeActionTest)
#include "tst_mergeaction.moc"
