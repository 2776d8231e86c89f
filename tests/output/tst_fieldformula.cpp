#include "output/fieldformula.h"

#include <QTest>

using namespace qv::fields;

// The formula field (=) as the word processor's field-code reference defines it: its operators,
// comparisons, functions, table references and the error texts it shows where it cannot compute
// (the reference's "!Zero Divide", "!Syntax Error, ...", "!Undefined Bookmark, ...",
// "!Unexpected End of Formula", "!Missing Operator"). The expected results follow that reference
// and its examples (ABS(-22) is 22; a result without a numeric picture shows at most two
// decimal places). Where it leaves room, the choice made is named on the row.
namespace {

FormulaSources withBookmarks(const QHash<QString, QString>& marks,
                             const FormulaTable* table = nullptr) {
    FormulaSources s;
    s.bookmark = [marks](const QString& name) -> std::optional<QString> {
        const auto it = marks.constFind(name.toLower());
        return it == marks.constEnd() ? std::nullopt : std::optional<QString>(*it);
    };
    s.table = [table] { return table; };
    return s;
}

QString shown(const QString& formula, const QLocale& locale = QLocale::c(),
              const FormulaTable* table = nullptr) {
    const FormulaResult r =
        evaluateFormula(formula, locale, withBookmarks({{"price", "2.5"}, {"empty", ""}}, table));
    return r.error.isEmpty() ? formulaText(r.value, locale) : r.error;
}

// Item | Qty | Price, two lines, a blank line, and the formula's row.
const FormulaTable kInvoice{{{"Item", "Qty", "Price"},
                             {"Pens", "2", "1.50"},
                             {"Ink", "3", "$4.00"},
                             {"", "", ""},
                             {"Total", "7", "", "x"}},
                            4,
                            2};

} // namespace

class FieldFormulaTest : public QObject {
    Q_OBJECT
private slots:
    void results_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* formula, const char* expected, const char* locale = "C") {
            QTest::newRow(formula) << QString::fromUtf8(formula) << QString::fromUtf8(locale)
                                   << QString::fromUtf8(expected);
        };
        // Operators, precedence and parentheses.
        row("2+3", "5");
        row("7 - 10", "-3");
        row("6*7", "42");
        row("7/2", "3.5");
        row("1/3", "0.33");
        row("2^10", "1024");
        row("50%", "0.5");
        row("200*15%", "30");
        row("2+3*4", "14");
        row("(2+3)*4", "20");
        row("((1+1))*(3-1)^2", "8");
        row("-3+--5", "2");
        // Comparisons give 1 or 0.
        row("10>3", "1");
        row("10<3", "0");
        row("3=3", "1");
        row("3<>3", "0");
        row("2<=2", "1");
        row("2>=3", "0");
        row("0.1+0.2=0.3", "1");
        // Numbers as the locale writes them.
        row("1,234.50+1", "1235.5", "en_US");
        row("$1,234.50*2", "2469", "en_US");
        row("1.234,50+1", "1235,5", "de_DE");
        row("SUM(1;2,5)", "3,5", "de_DE");
        // With "," as the list separator, a comma in a call separates its arguments.
        row("SUM(1,234)", "235", "en_US");
        // Every function.
        row("ABS(-22)", "22");
        row("AND(1,1)", "1");
        row("AND(1,0)", "0");
        row("AVERAGE(1,2,6)", "3");
        row("COUNT(1,2,3)", "3");
        row("DEFINED(2*price)", "1");
        row("DEFINED(1/0)", "0");
        row("DEFINED(nobody)", "0");
        row("FALSE", "0");
        row("TRUE()", "1");
        row("IF(1>2,10,20)", "20");
        row("IF(2>1,10,1/0)", "10");
        row("INT(5.67)", "5");
        row("INT(-5.67)", "-5");
        row("MAX(1,9,3)", "9");
        row("MIN(4,-2,7)", "-2");
        row("MOD(7,3)", "1");
        row("NOT(0)", "1");
        row("NOT(5)", "0");
        row("OR(0,0)", "0");
        row("OR(0,3)", "1");
        row("PRODUCT(2,3,4)", "24");
        row("ROUND(2.345,2)", "2.35");
        row("ROUND(-2.5,0)", "-3");
        row("ROUND(1234,-2)", "1200");
        row("SIGN(-3)", "-1");
        row("SIGN(0)", "0");
        row("SUM(1,2,3)", "6");
        row("sum(1, 2) + Abs(-1)", "4");
        // Bookmarks.
        row("price*2", "5");
        row("empty+1", "1");
        // The reference's error texts.
        row("1/0", "!Zero Divide");
        row("MOD(1,0)", "!Zero Divide");
        row("2 +", "!Unexpected End of Formula");
        row("(1+2", "!Unexpected End of Formula");
        row("2 3", "!Missing Operator");
        row("2 * * 3", "!Syntax Error, *");
        row("(1+2))", "!Syntax Error, )");
        row("nobody*2", "!Undefined Bookmark, nobody");
        row("ROUND(1)", "!Syntax Error, )");
    }
    void results() {
        QFETCH(QString, formula);
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        QCOMPARE(shown(formula, QLocale(locale)), expected);
    }

    // Inside a table: cells by address and by range, and the cells next to the formula. The
    // positional arguments take the numbers from the nearest cell outwards up to the first cell
    // that is empty or holds no number (so a heading row is left out, and a blank cell ends the
    // run, as the reference advises typing 0 in empty cells to include them).
    void cells_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("expected");
        QTest::newRow("cell product") << "B2*C2" << 4 << 2 << "3";
        QTest::newRow("range") << "SUM(B2:B3)" << 4 << 2 << "5";
        QTest::newRow("range either way") << "SUM(C3:B2)" << 4 << 2 << "10.5";
        QTest::newRow("average of a range") << "AVERAGE(B2:C3)" << 4 << 2 << "2.63";
        QTest::newRow("count skips text") << "COUNT(A1:C3)" << 4 << 2 << "4";
        QTest::newRow("ABOVE up to a blank") << "SUM(ABOVE)" << 3 << 1 << "5";
        QTest::newRow("ABOVE stops at the blank row") << "SUM(ABOVE)" << 4 << 1 << "0";
        QTest::newRow("LEFT") << "SUM(LEFT)" << 1 << 2 << "2";
        QTest::newRow("RIGHT") << "PRODUCT(RIGHT)" << 1 << 0 << "3";
        QTest::newRow("BELOW") << "SUM(BELOW)" << 0 << 1 << "5";
        QTest::newRow("two directions") << "SUM(LEFT,ABOVE)" << 4 << 2 << "7";
        QTest::newRow("text cell counts 0") << "A2+1" << 4 << 2 << "1";
        QTest::newRow("outside the table") << "D9+1" << 4 << 2 << "1";
        QTest::newRow("row zero") << "A0+1" << 4 << 2 << "!Table Index Cannot be Zero";
    }
    void cells() {
        QFETCH(QString, formula);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, expected);
        FormulaTable table = kInvoice;
        table.row = row;
        table.column = column;
        QCOMPARE(shown(formula, QLocale::c(), &table), expected);
    }

    // What the merge refuses before writing anything: formulas that no record can compute.
    void faults_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<bool>("inTable");
        QTest::addColumn<QString>("fault"); // its start; empty: none
        QTest::newRow("fine") << "1 * 2" << false << "";
        QTest::newRow("SET bookmark") << "Total * 2" << false << "";
        QTest::newRow("DEFINED tests a name") << "DEFINED(other)" << false << "";
        QTest::newRow("zero divide is a result") << "1/0" << false << "";
        QTest::newRow("unreadable")
            << "2 +" << false << "The formula cannot be read (!Unexpected End of Formula)";
        QTest::newRow("unknown name") << "Totl * 2" << false << "The formula names \"Totl\"";
        QTest::newRow("unknown function") << "SQRT(4)" << false << "The formula calls \"SQRT\"";
        QTest::newRow("cells outside a table")
            << "SUM(ABOVE)" << false << "The formula refers to table cells";
        QTest::newRow("cells in a table") << "SUM(ABOVE) + A1" << true << "";
        QTest::newRow("nothing") << " " << false << "The formula field holds no formula.";
    }
    void faults() {
        QFETCH(QString, formula);
        QFETCH(bool, inTable);
        QFETCH(QString, fault);
        const FormulaTable table{{{"", ""}, {"", ""}}, 0, 0};
        const QString found = formulaFault(formula, QLocale::c(), {QStringLiteral("total")},
                                           inTable ? &table : nullptr);
        if (fault.isEmpty())
            QVERIFY2(found.isEmpty(), qPrintable(found));
        else
            QVERIFY2(found.startsWith(fault), qPrintable(found));
    }

    // A formula is computed where it stands: cells after it that hold fields would be read
    // unmerged, so the merge refuses such a formula beforehand.
    void cellsMergedLater_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("fault"); // its start; empty: none
        QTest::newRow("ABOVE reads merged cells") << "SUM(ABOVE)"
                                                  << "";
        QTest::newRow("BELOW reaches a field") << "SUM(BELOW)"
                                               << "The formula reads the cell B3, whose fields";
        QTest::newRow("RIGHT of static cells") << "SUM(RIGHT)"
                                               << "";
        QTest::newRow("a later cell by name") << "A1 + B3"
                                              << "The formula reads the cell B3";
        QTest::newRow("a range over it") << "SUM(A1:C3)"
                                         << "The formula reads the cell B3";
    }
    void cellsMergedLater() {
        QFETCH(QString, formula);
        QFETCH(QString, fault);
        // A 3 x 3 table, the formula in B2, a field in B3 (and one in A1, merged before it).
        const FormulaTable table{{{"", "", ""}, {"", "", ""}, {"", "", ""}}, 1, 1};
        const auto filledAfter = [](int row, int column) { return row == 2 && column == 1; };
        const QString found = formulaFault(formula, QLocale::c(), {}, &table, filledAfter);
        if (fault.isEmpty())
            QVERIFY2(found.isEmpty(), qPrintable(found));
        else
            QVERIFY2(found.startsWith(fault), qPrintable(found));
    }

    // Parentheses nested past any formula's need end in an error, not in a crash.
    void deepNesting() {
        const QString deep = QString(100000, u'(') + u'1' + QString(100000, u')');
        QCOMPARE(shown(deep).left(14), QStringLiteral("!Syntax Error,"));
        const QString fine = QString(200, u'(') + u'1' + QString(200, u')');
        QCOMPARE(shown(fine), QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(FieldFormulaTest)
#include "tst_fieldformula.moc"
