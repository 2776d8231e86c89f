#include "output/automation.h"
#include "output/documentfolder.h"
#include "output/recordingautomation.h"
#include "output/spreadsheet.h"
#include "output/spreadsheetexport.h"
#include "platform/services.h"
#include "pyreader.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace qv;

namespace {

// Reads every cell of the first sheet: {"cells": {"A1": [type, value]}, "widths": {"A": w}}.
const char* kReadXlsx = R"(
import sys, json, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
cells = {}
for row in ws.iter_rows():
    for c in row:
        if c.value is not None:
            cells[c.coordinate] = [type(c.value).__name__, str(c.value)]
widths = {k: v.width for k, v in ws.column_dimensions.items() if v.customWidth}
print(json.dumps({"cells": cells, "widths": widths, "sheets": len(wb.worksheets),
                  "maxrow": ws.max_row}))
)";

QList<QStringList> records(int count, int values) {
    QList<QStringList> rows;
    for (int r = 1; r <= count; ++r) {
        QStringList row;
        for (int v = 1; v <= values; ++v)
            row << QStringLiteral("r%1v%2").arg(r).arg(v);
        rows << row;
    }
    return rows;
}

output::SpreadsheetExport exportOf(const QList<QStringList>& rows, QStringList* log = nullptr) {
    output::SpreadsheetExport e;
    e.rowCount = rows.size();
    e.recordCount = static_cast<int>(rows.size());
    e.row = [rows, log](qsizetype r) {
        if (log)
            *log << QStringLiteral("select %1").arg(r);
        return rows[r - 1];
    };
    if (log) {
        e.showProgress = [log](int max) { *log << QStringLiteral("progress max %1").arg(max); };
        e.setCaption = [log](const QString& c) { *log << QStringLiteral("caption ") + c; };
        e.progress = [log](qsizetype r, const QString& t) {
            *log << QStringLiteral("progress %1 ").arg(r) + t;
        };
        e.closeProgress = [log] { *log << QStringLiteral("progress closed"); };
    }
    return e;
}

// The real backend, writing into a temporary document folder; records what would be opened.
struct RealBackend {
    QTemporaryDir dir;
    QStringList opened;
    ScopedServices services{[this](Services& s) {
        s.documentFolder = dir.path();
        s.fileOpener = [this](const QString& p) {
            opened << p;
            return true;
        };
    }};
};

} // namespace

class SpreadsheetTest : public QObject {
    Q_OBJECT
private slots:
    void columnLetters_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("letters");
        QTest::newRow("a") << 0 << "a";
        QTest::newRow("z") << 25 << "z";
        QTest::newRow("aa") << 26 << "aa";
        QTest::newRow("ab") << 27 << "ab";
        QTest::newRow("zz") << 701 << "zz";
        QTest::newRow("aaa") << 702 << "aaa";
        QTest::newRow("xfd") << 16383 << "xfd";
    }
    void columnLetters() {
        QFETCH(int, column);
        QFETCH(QString, letters);
        QCOMPARE(xlsx::columnLetters(column), letters);
        int row = -1, parsed = -1;
        QVERIFY(xlsx::parseCell(letters + QStringLiteral("7"), &row, &parsed));
        QCOMPARE(parsed, column);
        QCOMPARE(row, 6);
    }

    // Addresses as written by hand as well as by the export: the cell or nothing.
    void cellAddressForms_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("row"); // -1: not a cell
        QTest::addColumn<int>("column");
        QTest::newRow("lower") << "b3" << 2 << 1;
        QTest::newRow("upper") << "AB12" << 11 << 27;
        QTest::newRow("leading zero") << "a01" << 0 << 0;
        QTest::newRow("dollars") << "$C$4" << 3 << 2;
        QTest::newRow("spaces around") << " d5 " << 4 << 3;
        QTest::newRow("last column") << "XFD1" << 0 << 16383;
        QTest::newRow("four letters") << "aaaa1" << -1 << -1;
        QTest::newRow("no row") << "a" << -1 << -1;
        QTest::newRow("no column") << "12" << -1 << -1;
        QTest::newRow("letter after") << "a1b" << -1 << -1;
        QTest::newRow("ten digits") << "a1000000000" << -1 << -1;
        QTest::newRow("other digits") << QString::fromUtf8("a\u0661") << -1 << -1;
        QTest::newRow("letter beyond z") << QString::fromUtf8("\u00e41") << -1 << -1;
    }
    void cellAddressForms() {
        QFETCH(QString, address);
        QFETCH(int, row);
        QFETCH(int, column);
        int r = -1, c = -1;
        QCOMPARE(xlsx::parseCell(address, &r, &c), row >= 0);
        if (row >= 0) {
            QCOMPARE(r, row);
            QCOMPARE(c, column);
        }
    }

    void cellAddresses() {
        int row = 0, column = 0, first = 0, last = 0;
        QVERIFY(!xlsx::parseCell(QStringLiteral("a0"), &row, &column));
        QVERIFY(!xlsx::parseCell(QStringLiteral("a1048577"), &row, &column));
        QVERIFY(xlsx::parseCell(QStringLiteral("A1048576"), &row, &column));
        QVERIFY(!xlsx::parseCell(QStringLiteral("xfe1"), &row, &column));
        QVERIFY(!xlsx::parseCell(QStringLiteral("a:a"), &row, &column));
        QVERIFY(xlsx::parseColumns(QStringLiteral("aa:aa"), &first, &last));
        QCOMPARE(first, 26);
        QCOMPARE(last, 26);
    }

    // A value becomes a number only when it shows as the same text again.
    void exactNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::newRow("integer") << "123" << true;
        QTest::newRow("negative") << "-42" << true;
        QTest::newRow("fraction") << "0.5" << true;
        QTest::newRow("zero") << "0" << true;
        QTest::newRow("leading zero") << "007" << false;
        QTest::newRow("trailing zero") << "12.50" << false;
        QTest::newRow("minus zero") << "-0" << false;
        QTest::newRow("plus") << "+5" << false;
        QTest::newRow("bare point") << ".5" << false;
        QTest::newRow("exponent") << "1e5" << false;
        QTest::newRow("spaces") << " 12" << false;
        QTest::newRow("long account") << "12345678901234567" << false;
        QTest::newRow("twelve digits") << "123456789012" << false;
        QTest::newRow("comma") << "1,000" << false;
        QTest::newRow("date") << "01/02/2003" << false;
        QTest::newRow("text") << "Ann" << false;
        QTest::newRow("eleven digits") << "12345678901" << true;
        QTest::newRow("negative ten digits") << "-1234567890" << true;
        QTest::newRow("ten") << "10" << true;
        QTest::newRow("negative fraction") << "-0.25" << true;
        QTest::newRow("small fraction") << "0.0001" << true;
        QTest::newRow("shown with exponent") << "0.00001" << false;
        QTest::newRow("point, no fraction") << "1." << false;
        QTest::newRow("zero fraction") << "1.0" << false;
        QTest::newRow("two points") << "1.2.3" << false;
        QTest::newRow("minus only") << "-" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("line feed after") << "12\n" << false;
        QTest::newRow("other digits") << QString::fromUtf8("\u0661\u0662") << false;
        QTest::newRow("full-width digits") << QString::fromUtf8("\uFF11\uFF12") << false;
    }
    void exactNumbers() {
        QFETCH(QString, text);
        QFETCH(bool, number);
        double value = -1;
        QCOMPARE(xlsx::isExactNumber(text, &value), number);
        if (number)
            QCOMPARE(value, text.toDouble());
    }

    // The calls for 3 records of 4 values, with the progress window between them.
    void recordedCalls() {
        automation::RecordingFactory rec;
        QStringList log;
        output::exportToSpreadsheet(exportOf(records(3, 4), &log));
        QStringList expected{QStringLiteral("CreateObject(\"excel.application\")"),
                             QStringLiteral("excel.application.Workbooks.Add(<omitted>, 1033)")};
        for (int r = 1; r <= 3; ++r)
            for (const char* c : {"a", "b", "c", "d"})
                expected << QStringLiteral("excel.application.Range(\"%1%2\").Value = \"r%2v%3\"")
                                .arg(QLatin1String(c))
                                .arg(r)
                                .arg(c[0] - 'a' + 1);
        for (char c = 'a'; c <= 'z'; ++c)
            expected << QStringLiteral(
                            "excel.application.Workbooks(1).Sheets(1).Range(\"%1:%1\").Columns."
                            "AutoFit()")
                            .arg(QLatin1Char(c));
        expected << QStringLiteral("excel.application.Visible(1033) = true")
                 << QStringLiteral("excel.application.Release()");
        QCOMPARE(rec.calls, expected);
        QCOMPARE(log, (QStringList{"progress max 3", "caption Exporting to Excel", "select 1",
                                   "progress 1 Exporting to Excel 1 of 3", "select 2",
                                   "progress 2 Exporting to Excel 2 of 3", "select 3",
                                   "progress 3 Exporting to Excel 3 of 3", "progress closed"}));
    }

    // Values after the 26th go on in AA, AB, ... and those columns are fitted too.
    void recordedCallsBeyondZ() {
        automation::RecordingFactory rec;
        output::exportToSpreadsheet(exportOf(records(1, 28)));
        QVERIFY(rec.calls.contains("excel.application.Range(\"z1\").Value = \"r1v26\""));
        QVERIFY(rec.calls.contains("excel.application.Range(\"aa1\").Value = \"r1v27\""));
        QVERIFY(rec.calls.contains("excel.application.Range(\"ab1\").Value = \"r1v28\""));
        QVERIFY(rec.calls.contains(
            "excel.application.Workbooks(1).Sheets(1).Range(\"ab:ab\").Columns.AutoFit()"));
        QVERIFY(!rec.calls.contains(
            "excel.application.Workbooks(1).Sheets(1).Range(\"ac:ac\").Columns.AutoFit()"));
    }

    void excelMissing() {
        automation::RecordingFactory rec;
        rec.unregistered << QStringLiteral("excel.application");
        try {
            output::exportToSpreadsheet(exportOf(records(1, 1)));
            QFAIL("no error");
        } catch (const automation::Error& e) {
            QVERIFY(e.message.contains(QLatin1String("excel.application")));
        }
    }

    // The real backend: cells A1 to D3, nothing in row 4, no row of names; one file opened.
    void realWorkbook() {
        RealBackend real;
        output::exportToSpreadsheet(exportOf(records(3, 4)));
        QCOMPARE(real.opened.size(), 1);
        QVERIFY(real.opened[0].endsWith(QLatin1String("Book1.xlsx")));
        const QJsonObject book =
            test::runPython(QString::fromLatin1(kReadXlsx), real.opened).object();
        const QJsonObject cells = book[QStringLiteral("cells")].toObject();
        QCOMPARE(cells.size(), 12);
        QCOMPARE(book[QStringLiteral("maxrow")].toInt(), 3);
        for (int r = 1; r <= 3; ++r)
            for (int v = 1; v <= 4; ++v) {
                const QString address = QString(QChar(u'A' + v - 1)) + QString::number(r);
                QCOMPARE(cells[address].toArray()[1].toString(),
                         QStringLiteral("r%1v%2").arg(r).arg(v));
            }
        QVERIFY(book[QStringLiteral("widths")].toObject().contains(QStringLiteral("D")));

        // A second export never replaces the first workbook.
        output::exportToSpreadsheet(exportOf(records(1, 1)));
        QCOMPARE(real.opened.size(), 2);
        QVERIFY(real.opened[1].endsWith(QLatin1String("Book1 (2).xlsx")));
        QVERIFY(QFile::exists(real.opened[0]));
    }

    // 28 values reach AB; values keep their exact text; numbers only where safe.
    void realWideAndExact() {
        RealBackend real;
        QStringList row;
        for (int v = 1; v <= 28; ++v)
            row << QStringLiteral("value number %1").arg(v);
        row[0] = QStringLiteral("007");
        row[1] = QStringLiteral("123");
        row[2] = QStringLiteral("12345678901234567");
        row[3] = QStringLiteral("=SUM(1,2)");
        row[4] = QStringLiteral("12.50");
        output::exportToSpreadsheet(exportOf({row}));
        const QJsonObject book =
            test::runPython(QString::fromLatin1(kReadXlsx), real.opened).object();
        const QJsonObject cells = book[QStringLiteral("cells")].toObject();
        QCOMPARE(cells.size(), 28);
        QCOMPARE(cells["A1"].toArray(), (QJsonArray{"str", "007"}));
        QCOMPARE(cells["B1"].toArray(), (QJsonArray{"int", "123"}));
        QCOMPARE(cells["C1"].toArray(), (QJsonArray{"str", "12345678901234567"}));
        QCOMPARE(cells["D1"].toArray(), (QJsonArray{"str", "=SUM(1,2)"}));
        QCOMPARE(cells["E1"].toArray(), (QJsonArray{"str", "12.50"}));
        QCOMPARE(cells["Z1"].toArray()[1].toString(), QStringLiteral("value number 26"));
        QCOMPARE(cells["AA1"].toArray()[1].toString(), QStringLiteral("value number 27"));
        QCOMPARE(cells["AB1"].toArray()[1].toString(), QStringLiteral("value number 28"));
        const QJsonObject widths = book[QStringLiteral("widths")].toObject();
        QVERIFY(widths.contains(QStringLiteral("AA")));
        QVERIFY(widths[QStringLiteral("AB")].toDouble() > xlsx::kDefaultWidth);
        QVERIFY(widths[QStringLiteral("AB")].toDouble() > widths[QStringLiteral("B")].toDouble());
    }

    // Texts of every length and script one after another keep their exact characters.
    void realMixedTexts() {
        RealBackend real;
        const QStringList row{QStringLiteral("a long plain text of many characters"),
                              QStringLiteral("ab"),
                              QString::fromUtf8("Zo\u00eb \u20ac5"),
                              QStringLiteral("x"),
                              QString::fromUtf8("\u65e5\u672c"),
                              QStringLiteral("plain again")};
        output::exportToSpreadsheet(exportOf({row, row.mid(1)}));
        const QJsonObject book =
            test::runPython(QString::fromLatin1(kReadXlsx), real.opened).object();
        const QJsonObject cells = book[QStringLiteral("cells")].toObject();
        QCOMPARE(cells.size(), 11);
        for (int k = 0; k < row.size(); ++k) {
            const QString column(QChar(u'A' + k));
            QCOMPARE(cells[column + QStringLiteral("1")].toArray()[1].toString(), row[k]);
            if (k > 0)
                QCOMPARE(cells[QString(QChar(u'A' + k - 1)) + QStringLiteral("2")]
                             .toArray()[1]
                             .toString(),
                         row[k]);
        }
    }

    // No value is cut short: a NUL shows as U+FFFD, as in every output.
    void realNul() {
        RealBackend real;
        output::exportToSpreadsheet(
            exportOf({{QString::fromUtf8("A\0nn", 4), QString::fromUtf8("\0", 1)}}));
        const QJsonObject book =
            test::runPython(QString::fromLatin1(kReadXlsx), real.opened).object();
        const QJsonObject cells = book[QStringLiteral("cells")].toObject();
        QCOMPARE(cells["A1"].toArray()[1].toString(), QString::fromUtf8("A\uFFFDnn"));
        QCOMPARE(cells["B1"].toArray()[1].toString(), QString::fromUtf8("\uFFFD"));
    }

    // An empty list still gives a fitted, shown, empty sheet.
    void realEmpty() {
        RealBackend real;
        output::exportToSpreadsheet(exportOf({}));
        QCOMPARE(real.opened.size(), 1);
        const QJsonObject book =
            test::runPython(QString::fromLatin1(kReadXlsx), real.opened).object();
        QCOMPARE(book[QStringLiteral("cells")].toObject().size(), 0);
        QCOMPARE(book[QStringLiteral("sheets")].toInt(), 1);
    }

    // More rows than a sheet holds: a clear message before anything is made or shown.
    void tooManyRows() {
        RealBackend real;
        output::SpreadsheetExport e;
        e.rowCount = xlsx::kMaxRows + 1;
        e.row = [](qsizetype) { return QStringList{QStringLiteral("x")}; };
        try {
            output::exportToSpreadsheet(e);
            QFAIL("no error");
        } catch (const automation::Error& err) {
            QVERIFY(err.message.contains(QLatin1String("1,048,576")) ||
                    err.message.contains(QLatin1String("1048576")));
        }
        QVERIFY(real.opened.isEmpty());
        QVERIFY(QDir(real.dir.path()).entryList(QDir::Files).isEmpty());
    }

    // A failing call part way leaves nothing behind that looks complete.
    void failureShowsNothing() {
        RealBackend real;
        QList<QStringList> rows = records(2, 2);
        rows[1][1] = QString(xlsx::kMaxCellText + 1, QLatin1Char('x'));
        try {
            output::exportToSpreadsheet(exportOf(rows));
            QFAIL("no error");
        } catch (const automation::Error& err) {
            QVERIFY(err.message.contains(QLatin1String("B2")));
        }
        QVERIFY(real.opened.isEmpty());
        QVERIFY(QDir(real.dir.path()).entryList(QDir::Files).isEmpty());
    }
};

QTEST_GUILESS_MAIN(SpreadsheetTest)
#include "tst_spreadsheet.moc"
