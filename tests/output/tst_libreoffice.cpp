// LibreOffice judges the files the program makes: one headless office for the whole executable,
// asked through UNO (unocheck.py).
#include "officeprocess.h"
#include "output/mergedata.h"
#include "output/spreadsheetexport.h"
#include "output/wordmerge.h"
#include "platform/codepage.h"
#include "platform/services.h"
#include "tests/support/lettertemplate.h"
#include "tests/support/tempprogramfolder.h"
#include "wordtemplate.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace qv;

namespace {

QStringList strings(const QJsonValue& array) {
    QStringList out;
    for (const QJsonValue& v : array.toArray())
        out << v.toString();
    return out;
}

QList<QStringList> table(const QJsonValue& rows) {
    QList<QStringList> out;
    for (const QJsonValue& row : rows.toArray())
        out << strings(row);
    return out;
}

// Leading zeros, Windows-1252 letters, quotation marks, an empty value and a short record.
const QByteArray kValues("Account|Name|Town|Note\n"
                         "00123|D\xfan Laoghaire|Cork|\"quoted\n"
                         "00456||Sligo|say \"hi\"\n"
                         "00789|Short\n"
                         "4.50|\x80 12|\xc9ire|Name\n");
const QStringList kValuesFields{"Account", "Name", "Town", "Note"};
const QList<QStringList> kValuesRecords{{"00123", "Dún Laoghaire", "Cork", "\"quoted"},
                                        {"00456", "", "Sligo", "say \"hi\""},
                                        {"00789", "Short", "", ""},
                                        {"4.50", "€ 12", "Éire", "Name"}};

// A program folder holding the merge file ABC; what the program opens lands in `opened`.
struct Fixture {
    test::TempProgramFolder folder;
    QTemporaryDir documents;
    QTemporaryDir work;
    QStringList opened;
    ScopedServices services{[this](Services& s) {
        s.documentFolder = documents.path();
        s.fileOpener = [this](const QString& p) {
            opened << p;
            return true;
        };
    }};
    explicit Fixture(const QByteArray& mergeFile) {
        folder.write(QStringLiteral("data/ABC.LET"), mergeFile);
    }
};

// A letter with a choice for a record without a name, an amount, a date, a choice by the
// balance, the record's number and an amount in words.
QByteArray fieldLanguageLetter() {
    using test::field;
    using test::paragraph;
    using test::text;
    return paragraph(text("Dear ") +
                     field({"IF \"", field("MERGEFIELD Name"), "\" = \"\" \"Sir or Madam\" \"",
                            field("MERGEFIELD Name"), "\""}) +
                     text(",")) +
           paragraph(text("Balance: ") + field(R"(MERGEFIELD Balance \# "#,##0.00")") +
                     text(", due ") + field(R"(MERGEFIELD Due \@ "dddd, d MMMM yyyy")")) +
           paragraph(
               text("You ") +
               field({"IF ", field("MERGEFIELD Balance"), R"( > 0 "owe us money" "owe nothing")"}) +
               text(". Letter ") + field("MERGEREC") + text(" of ") +
               field(R"(MERGEFIELD Balance \* CardText)") + text("."));
}

} // namespace

class LibreOfficeTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::OfficeProcess> office_;
    QElapsedTimer clock_;

    QJsonObject check(const QStringList& args) {
        QString error;
        const QJsonObject result = office_->check(args, &error);
        if (result.isEmpty())
            qWarning("unocheck.py %s: %s", qPrintable(args.join(' ')), qPrintable(error));
        return result;
    }

private slots:
    void initTestCase() {
        clock_.start();
        office_ = std::make_unique<test::OfficeProcess>();
        if (office_->missing()) {
            // The test command installs LibreOffice: there its absence is a fault.
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL(qPrintable(office_->errorString()));
            QSKIP(qPrintable(office_->errorString()));
        }
        QVERIFY2(office_->isRunning(), qPrintable(office_->errorString()));
        qInfo("LibreOffice started in %lld ms", office_->startMilliseconds());
    }
    void cleanupTestCase() {
        office_.reset();
        qInfo("LibreOffice tests took %lld ms in all", clock_.elapsed());
    }

    // The new document: LibreOffice finds its data source and query, lists the fields in the
    // header's order and reads every record exactly.
    void newDocument_data() {
        QTest::addColumn<QByteArray>("mergeFile");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QList<QStringList>>("records");
        QTest::newRow("values") << kValues << kValuesFields << kValuesRecords;
        QTest::newRow("names") << QByteArray(
                                      "Town||Town|Say \"hi\"|Town 2|a.b|it's\r\n1|2|3|4|5|6|7\r\n")
                               << QStringList{"Town",   "Field 2", "Town 3", "Say 'hi'",
                                              "Town 2", "a.b",     "it's"}
                               << QList<QStringList>{{"1", "2", "3", "4", "5", "6", "7"}};
        QTest::newRow("header repeated as a record")
            << QByteArray("Name|Code\nName|Code\n|\n") << QStringList{"Name", "Code"}
            << QList<QStringList>{{"Name", "Code"}, {"", ""}};
    }
    void newDocument() {
        QFETCH(QByteArray, mergeFile);
        QFETCH(QStringList, fields);
        QFETCH(QList<QStringList>, records);
        Fixture f(mergeFile);
        output::createMergeDocument(QStringLiteral("ABC"));
        QCOMPARE(f.opened.size(), 1);
        QVERIFY(f.opened[0].endsWith(QLatin1String("ABC.odt")));

        const QJsonObject d = check({"document", f.opened[0]});
        QCOMPARE(d["source"].toString(), QStringLiteral("Quorvane ABC"));
        QCOMPARE(d["command"].toString(), QStringLiteral("ABC"));
        QCOMPARE(d["commandType"].toInt(), 1);
        QCOMPARE(strings(d["fields"]), fields);
        QCOMPARE(strings(d["types"]), QStringList(fields.size(), QStringLiteral("VARCHAR")));
        QCOMPARE(table(d["records"]), records);
        QCOMPARE(strings(d["tables"]), QStringList()); // the folder's raw files stay hidden
        QCOMPARE(strings(d["queries"]), QStringList{"ABC"});
    }

    // Complete Merge: LibreOffice loads the merged document; every record's values stand in
    // the body, the headers and the footers, in the records' order.
    void completeMerge() {
        Fixture f("Name|Town|Code\nAnn|Cork|007\nBob, Jr|Sligo|\"x\"\n");
        test::writeWordTemplate(f.folder.filePath(QStringLiteral("Word/ABC.dot")));
        output::mergeIntoTemplate(QStringLiteral("ABC"));
        QCOMPARE(f.opened.size(), 1);
        const QJsonObject d = check({"text", f.opened[0]});
        QStringList body = strings(d["body"]);
        body.removeAll(QString());
        QCOMPARE(body, (QStringList{"Dear Ann, of Cork.", "Code: 007 end",
                                    "Dear Bob, Jr, of Sligo.", "Code: \"x\" end"}));
        QCOMPARE(strings(d["headers"]), (QStringList{"Town: Cork", "Town: Sligo"}));
        QCOMPARE(strings(d["footers"]), (QStringList{"For Ann", "For Bob, Jr"}));
    }

    // Complete Merge of a letter that uses the field language: LibreOffice reads the letters the
    // word processor's own merge gives, and finds no merge field left in them.
    void completeMergeFieldLanguage() {
        Fixture f("Name|Balance|Due\nAnn|1234.5|2026-03-05\n|0|2026-12-01\n");
        const QByteArray letter = fieldLanguageLetter();
        QVERIFY(
            test::writeLetterTemplate(f.folder.filePath(QStringLiteral("Word/ABC.dot")), letter));
        output::mergeIntoTemplate(QStringLiteral("ABC"));
        QCOMPARE(f.opened.size(), 1);
        const QJsonObject d = check({"text", f.opened[0]});
        QStringList body = strings(d["body"]);
        body.removeAll(QString());
        QCOMPARE(body, (QStringList{"Dear Ann,", "Balance: 1,234.50, due Thursday, 5 March 2026",
                                    "You owe us money. Letter 1 of one thousand two hundred "
                                    "thirty-five.",
                                    "Dear Sir or Madam,",
                                    "Balance:    0.00, due Tuesday, 1 December 2026",
                                    "You owe nothing. Letter 2 of zero."}));
        for (const QString& fieldCode : strings(d["fields"]))
            QVERIFY2(!fieldCode.contains(QLatin1String("Database")) &&
                         !fieldCode.contains(QLatin1String("MERGEFIELD"), Qt::CaseInsensitive),
                     qPrintable(fieldCode));
    }

    // A letter with formulas (the issue's invoice: quantity times price, and a table summed
    // with SUM(ABOVE)): LibreOffice, which computes no formula from merge data, reads each
    // letter's own results, not the template's stale ones.
    void completeMergeFormula() {
        Fixture f("Name|Qty|Price\nAnn|2|3.5\nBob|10|1.25\n");
        using test::field;
        using test::paragraph;
        using test::text;
        auto cell = [](const QByteArray& runs) { return "<w:tc>" + paragraph(runs) + "</w:tc>"; };
        const QByteArray letter =
            paragraph(text("Total: ") + field({"= ", field("MERGEFIELD Qty"), " * ",
                                               field("MERGEFIELD Price"), R"( \# "0.00")"},
                                              "7.00")) +
            "<w:tbl><w:tblGrid><w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"2000\"/></w:tblGrid>"
            "<w:tr>" +
            cell(text("Qty")) + cell(field("MERGEFIELD Qty")) + "</w:tr><w:tr>" +
            cell(text("Price")) + cell(field("MERGEFIELD Price")) + "</w:tr><w:tr>" +
            cell(text("Sum")) + cell(field({"= SUM(ABOVE)"}, "5.5")) + "</w:tr></w:tbl>" +
            paragraph(text("End"));
        QVERIFY(
            test::writeLetterTemplate(f.folder.filePath(QStringLiteral("Word/ABC.dot")), letter));
        output::mergeIntoTemplate(QStringLiteral("ABC"));
        QCOMPARE(f.opened.size(), 1);
        const QJsonObject d = check({"text", f.opened[0]});
        QStringList body = strings(d["body"]);
        body.removeAll(QString());
        QCOMPARE(body, (QStringList{"Total: 7.00", "End", "Total: 12.50", "End"}));
        QCOMPARE(table(d["tables"]),
                 (QList<QStringList>{{"Qty", "2", "Price", "3.5", "Sum", "5.5"},
                                     {"Qty", "10", "Price", "1.25", "Sum", "11.25"}}));
        QVERIFY2(strings(d["fields"]).isEmpty(), qPrintable(strings(d["fields"]).join('|')));
    }

    // The workbook: Calc shows every value of the merge file in its cell, exactly; a value is a
    // number only where it reads the same as a number, so "007" stays text.
    void workbook() {
        const QByteArray bytes("Account|Name|Balance|Note\n007|D\xfan|12|\"q\n008||-3.5|1e3\n"
                               "009|Short\n");
        Fixture f(bytes);
        const output::MergeData data = output::parseMergeData(bytes);
        output::SpreadsheetExport e;
        e.rowCount = data.records.size();
        e.recordCount = static_cast<int>(data.records.size());
        e.row = [&data](qsizetype r) { return data.records[r - 1]; };
        output::exportToSpreadsheet(e);
        QCOMPARE(f.opened.size(), 1);

        const QJsonObject d = check({"sheet", f.opened[0]});
        const QList<QStringList> expected{
            {"007", "Dún", "12", "\"q"}, {"008", "", "-3.5", "1e3"}, {"009", "Short", "", ""}};
        const QJsonArray rows = d["rows"].toArray();
        QCOMPARE(rows.size(), expected.size());
        for (qsizetype r = 0; r < expected.size(); ++r) {
            const QJsonArray cells = rows[r].toArray();
            QCOMPARE(cells.size(), expected[r].size());
            for (qsizetype c = 0; c < cells.size(); ++c) {
                const QString kind = cells[c].toArray()[0].toString();
                const QString shown = cells[c].toArray()[1].toString();
                const QString want = expected[r][c];
                QCOMPARE(shown, want);
                const bool number = want == QLatin1String("12") || want == QLatin1String("-3.5");
                QCOMPARE(kind, want.isEmpty() ? QStringLiteral("empty")
                               : number       ? QStringLiteral("number")
                                              : QStringLiteral("text"));
            }
        }
    }

    // With a database field for every column inserted, LibreOffice's own mail merge (output to
    // files) makes one letter per record with its values. Last: LibreOffice 7.4 runs one mail
    // merge from an embedded database per session, and may end after it.
    void mailMerge() {
        Fixture f(kValues);
        output::createMergeDocument(QStringLiteral("ABC"));
        QCOMPARE(f.opened.size(), 1);
        const QJsonObject d = check({"document", f.opened[0], f.work.path()});
        QList<QStringList> letters;
        for (const QStringList& record : kValuesRecords) {
            QStringList lines;
            for (qsizetype i = 0; i < kValuesFields.size(); ++i)
                lines << kValuesFields[i] + QLatin1Char('=') + record.value(i);
            letters << lines;
        }
        QCOMPARE(table(d["letters"]), letters);
    }
};

QTEST_GUILESS_MAIN(LibreOfficeTest)
#include "tst_libreoffice.moc"
