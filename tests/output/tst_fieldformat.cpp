#include "output/fieldformat.h"

#include <QTest>

using namespace qv::fields;

// The word processor's field switches: numeric pictures (\#), date pictures (\@) and general
// formats (\*), as the merge's field evaluator applies them to merge-file values.
class FieldFormatTest : public QObject {
    Q_OBJECT
private slots:
    void numericPicture_data() {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, const char* picture, const char* value, const char* locale,
                      const QString& expected) {
            QTest::newRow(name) << QString::fromUtf8(picture) << QString::fromUtf8(value)
                                << QString::fromUtf8(locale) << expected;
        };
        row("grouping and decimals", "#,##0.00", "1234.5", "en_US", "1,234.50");
        row("grouping, German separators", "#,##0.00", "1234,5", "de_DE", "1.234,50");
        row("grouping of a large number", "#,##0", "1234567", "en_US", "1,234,567");
        row("leading comma groups too", ",0.00", "9876543.21", "en_US", "9,876,543.21");
        // An unused grouping separator before the first digit gives nothing; # gives a space.
        row("grouping, small number", "#,##0.00", "5", "en_US", "   5.00");
        row("zeros pad", "00.00", "9", "en_US", "09.00");
        row("percent is literal", "00.0%", "7", "en_US", "07.0%");
        // The reference's own example of the # rule: a space where the result has no digit.
        row("# gives a space", "$###", "15", "en_US", "$ 15");
        // The same # rule in the negative section: "($5.00)" would need ($,0.00).
        row("negative section, # spaces", "$#,##0.00;($#,##0.00)", "-5", "en_US", "($   5.00)");
        row("negative section, no # spaces", "$,0.00;($,0.00)", "-5", "en_US", "($5.00)");
        row("positive of two sections", "$,0.00;($,0.00)", "1234", "en_US", "$1,234.00");
        row("zero section", "0.00;(0.00);'nil'", "0", "en_US", "nil");
        row("zero section for a value rounding to zero", "0.00;(0.00);'nil'", "-0.004", "en_US",
            "nil");
        row("no zero section: no minus on a rounded zero", "0.00", "-0.004", "en_US", "0.00");
        row("one section, negative", "$,0.00", "-5", "en_US", "-$5.00");
        row("more digits than places", "0", "123456", "en_US", "123456");
        row("half away from zero", "0", "2.5", "en_US", "3");
        row("half away from zero, negative", "0", "-2.5", "en_US", "-3");
        row("decimal rounding, not binary", "0.00", "1.005", "en_US", "1.01");
        row("decimal rounding 2.675", "0.00", "2.675", "en_US", "2.68");
        row("rounding carries", "0.00", "9.995", "en_US", "10.00");
        row("x drops digits left", "x##", "222492", "en_US", "492");
        row("x right of the point rounds there", "0.00x", "0.125", "en_US", "0.125");
        row("x rounds", ".x", "0.75", "en_US", ".8");
        row("minus place, negative", "-##", "-80", "en_US", "-80");
        row("minus place, positive", "-##", "80", "en_US", " 80");
        row("plus place, positive", "+##", "10", "en_US", "+10");
        row("plus place, negative", "+##", "-10", "en_US", "-10");
        row("plus place, zero", "+0", "0", "en_US", " 0");
        row("quoted text", "'Total: '0.00", "3", "en_US", "Total: 3.00");
        row("double-quoted text", "\"# \"0", "4", "en_US", "# 4");
        row("semicolon in quotes", "'a;b'0", "4", "en_US", "a;b4");
        row("currency literal", "€#,##0.00", "1234,5", "de_DE", "€1.234,50");
        row("point is not German decimal: unchanged", "0.00", "1234.5", "de_DE", "1234.5");
        row("# after the point: no digit, a space", "0.0#", "1.5", "en_US", "1.5 ");
        row("point alone", "$.00", "12.5", "en_US", "$12.50");
        row("value with grouping", "0.00", "1,234.50", "en_US", "1234.50");
        row("value with currency", "0.00", "$5", "en_US", "5.00");
        row("value with spaces", "0", " 7 ", "en_US", "7");
        // Not a number: the switch has no effect.
        row("text unchanged", "0.00", "N/A", "en_US", "N/A");
        row("number inside text unchanged", "0.00", "about 12", "en_US", "about 12");
        row("empty unchanged", "0.00", "", "en_US", "");
        row("no picture", "", "1234.50", "en_US", "1234.5");
    }
    void numericPicture() {
        QFETCH(QString, picture);
        QFETCH(QString, value);
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        QCOMPARE(applyNumericPicture(value, picture, QLocale(locale)), expected);
    }

    void parseNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<double>("expected");
        auto row = [](const char* text, const char* locale, bool ok, double v) {
            QTest::newRow(QByteArray(text).append(" / ").append(locale).constData())
                << QString::fromUtf8(text) << QString::fromLatin1(locale) << ok << v;
        };
        row("1234.5", "en_US", true, 1234.5);
        row("-5", "en_US", true, -5);
        row("+3", "en_US", true, 3);
        row(" 7 ", "en_US", true, 7);
        row("1,234.50", "en_US", true, 1234.5);
        row("1.234,50", "de_DE", true, 1234.5);
        row("1.5e3", "en_US", true, 1500);
        row("2E-2", "en_US", true, 0.02);
        row(".5", "en_US", true, 0.5);
        row("$5", "en_US", true, 5);
        row("-$1,234.56", "en_US", true, -1234.56);
        row("5 €", "de_DE", true, 5);
        row("", "en_US", false, 0);
        row("   ", "en_US", false, 0);
        row("-", "en_US", false, 0);
        row("abc", "en_US", false, 0);
        row("12abc", "en_US", false, 0);
        row("1,23", "en_US", false, 0);     // grouping is by threes
        row("1234,567", "en_US", false, 0); // the first group has at most three digits
        row("1.5", "de_DE", false, 0);      // the point groups in German
        row("1e", "en_US", false, 0);
        row("1e999", "en_US", false, 0);
        row("50%", "en_US", false, 0);
    }
    void parseNumber() {
        QFETCH(QString, text);
        QFETCH(QString, locale);
        QFETCH(bool, isNumber);
        QFETCH(double, expected);
        const std::optional<double> n = qv::fields::parseNumber(text, QLocale(locale));
        QCOMPARE(n.has_value(), isNumber);
        if (n)
            QCOMPARE(*n, expected);
    }

    void datePicture_data() {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, const char* picture, const char* value, const char* locale,
                      const char* expected) {
            QTest::newRow(name) << QString::fromUtf8(picture) << QString::fromUtf8(value)
                                << QString::fromUtf8(locale) << QString::fromUtf8(expected);
        };
        row("long date, en_GB", "dddd, d MMMM yyyy", "2026-03-05", "en_GB",
            "Thursday, 5 March 2026");
        row("long date, en_US", "dddd, d MMMM yyyy", "2026-03-05", "en_US",
            "Thursday, 5 March 2026");
        row("d MMMM yyyy", "d MMMM yyyy", "2026-03-05", "en_GB", "5 March 2026");
        row("short names", "ddd dd MMM yy", "2026-03-05", "en_US", "Thu 05 Mar 26");
        row("numbers", "d/M/yyyy", "2026-11-25", "en_US", "25/11/2026");
        row("zero-padded", "dd.MM.yyyy", "2026-03-05", "en_US", "05.03.2026");
        row("German names", "dddd, d. MMMM yyyy", "2026-03-05", "de_DE",
            "Donnerstag, 5. März 2026");
        row("D and Y in either case", "DD/MM/YYYY", "2026-03-05", "en_GB", "05/03/2026");
        row("M month, m minute", "M m", "2026-03-05 14:07", "en_GB", "3 7");
        row("24-hour clock", "HH:mm:ss", "2026-03-05T09:07:03", "en_GB", "09:07:03");
        row("12-hour clock, PM", "h:mm AM/PM", "2026-03-05 14:30", "en_US", "2:30 PM");
        row("12-hour clock, lower", "hh:mm am/pm", "2026-03-05 00:05", "en_US", "12:05 am");
        row("noon", "h AM/PM", "2026-03-05 12:00", "en_GB", "12 PM");
        row("quoted text", "'Week of' d MMM", "2026-03-05", "en_GB", "Week of 5 Mar");
        row("quoted picture letters", "d 'd' M", "2026-03-05", "en_GB", "5 d 3");
        row("day first in en_GB", "yyyy-MM-dd", "5/3/2026", "en_GB", "2026-03-05");
        row("month first in en_US", "yyyy-MM-dd", "5/3/2026", "en_US", "2026-05-03");
        row("German numeric date", "yyyy-MM-dd", "5.3.2026", "de_DE", "2026-03-05");
        row("name, day first", "yyyy-MM-dd", "5 March 2026", "en_US", "2026-03-05");
        row("name, month first", "yyyy-MM-dd", "March 5, 2026", "en_GB", "2026-03-05");
        row("German month name", "yyyy-MM-dd", "5. März 2026", "de_DE", "2026-03-05");
        row("English name in German", "yyyy-MM-dd", "5 March 2026", "de_DE", "2026-03-05");
        row("weekday and short name", "yyyy-MM-dd", "Thu, 5 Mar 2026", "en_US", "2026-03-05");
        row("dd-MMM-yy", "yyyy-MM-dd", "05-Mar-26", "en_US", "2026-03-05");
        row("two-digit year 29", "yyyy", "1/1/29", "en_US", "2029");
        row("two-digit year 30", "yyyy", "1/1/30", "en_US", "1930");
        row("time with am/pm", "HH:mm", "3/5/2026 2:30 PM", "en_US", "14:30");
        row("time alone", "h:mm am/pm", "14:30", "en_US", "2:30 pm");
        // Not a date: the switch has no effect.
        row("text unchanged", "d MMMM yyyy", "soon", "en_GB", "soon");
        row("invalid day unchanged", "d MMMM yyyy", "31/2/2026", "en_GB", "31/2/2026");
        row("number unchanged", "d MMMM yyyy", "46086", "en_GB", "46086");
        row("empty unchanged", "d MMMM yyyy", "", "en_GB", "");
    }
    void datePicture() {
        QFETCH(QString, picture);
        QFETCH(QString, value);
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        QCOMPARE(applyDatePicture(value, picture, QLocale(locale)), expected);
    }

    void parseDate_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDateTime>("expected"); // invalid: not a date
        const QDate d(2026, 3, 5);
        auto at = [d](int h, int m, int s) { return QDateTime(d, QTime(h, m, s), Qt::UTC); };
        QTest::newRow("ISO") << "2026-03-05"
                             << "en_US" << at(0, 0, 0);
        QTest::newRow("ISO, space time") << "2026-03-05 14:30"
                                         << "en_US" << at(14, 30, 0);
        QTest::newRow("ISO, T and seconds") << "2026-03-05T14:30:15"
                                            << "en_US" << at(14, 30, 15);
        QTest::newRow("ISO, fraction of a second") << "2026-03-05 14:30:15.250"
                                                   << "en_US" << at(14, 30, 15);
        QTest::newRow("en_GB order") << "05/03/2026"
                                     << "en_GB" << at(0, 0, 0);
        QTest::newRow("en_US order") << "3/5/2026 9:05:00 AM"
                                     << "en_US" << at(9, 5, 0);
        QTest::newRow("12 AM is midnight") << "3/5/2026 12:00 AM"
                                           << "en_US" << at(0, 0, 0);
        QTest::newRow("hour 25") << "2026-03-05 25:00"
                                 << "en_US" << QDateTime();
        QTest::newRow("13 PM") << "2026-03-05 13:00 PM"
                               << "en_US" << QDateTime();
        QTest::newRow("month 13") << "2026-13-05"
                                  << "en_US" << QDateTime();
        QTest::newRow("mixed separators") << "2026-03/05"
                                          << "en_US" << QDateTime();
        QTest::newRow("trailing text") << "2026-03-05 later"
                                       << "en_US" << QDateTime();
        QTest::newRow("three-digit year") << "5/3/202"
                                          << "en_GB" << QDateTime();
        QTest::newRow("time glued to date") << "2026-03-05/14:30"
                                            << "en_US" << QDateTime();
        QTest::newRow("unknown month") << "5 Smarch 2026"
                                       << "en_US" << QDateTime();
    }
    void parseDate() {
        QFETCH(QString, text);
        QFETCH(QString, locale);
        QFETCH(QDateTime, expected);
        const std::optional<QDateTime> d = qv::fields::parseDate(text, QLocale(locale));
        QCOMPARE(d.has_value(), expected.isValid());
        if (d)
            QCOMPARE(*d, expected);
    }

    void generalFormat_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("known");
        const QString error = unrepresentableNumberText();
        auto row = [](const char* format, const char* value, const QString& expected,
                      bool known = true) {
            QTest::newRow(QByteArray(format).append(" of ").append(value).constData())
                << QString::fromLatin1(format) << QString::fromUtf8(value) << expected << known;
        };
        row("Upper", "mary smith", "MARY SMITH");
        row("upper", "Straße", "STRASSE");
        row("LOWER", "Mary SMITH", "mary smith");
        row("FirstCap", "mary SMITH", "Mary SMITH");
        row("FirstCap", "  (mary)", "  (Mary)");
        row("Caps", "mary smith-jones", "Mary Smith-Jones");
        row("Caps", "O'REILLY and 3RD street", "O'reilly And 3rd Street");
        row("MERGEFORMAT", "Mixed Case", "Mixed Case");
        row("charformat", "Mixed Case", "Mixed Case");
        row("Arabic", "1234", "1234");
        row("Arabic", "2.5", "3");
        row("ArabicDash", "31", "- 31 -");
        row("Roman", "1994", "MCMXCIV");
        row("roman", "16", "xvi");
        row("ROMAN", "4", "IV");
        row("Roman", "3999", "MMMCMXCIX");
        row("Roman", "0", error);
        row("ALPHABETIC", "1", "A");
        row("ALPHABETIC", "26", "Z");
        row("ALPHABETIC", "27", "AA");
        row("ALPHABETIC", "28", "BB");
        row("alphabetic", "52", "zz");
        row("ALPHABETIC", "54", "BBB");
        row("Ordinal", "1", "1st");
        row("Ordinal", "2", "2nd");
        row("Ordinal", "3", "3rd");
        row("Ordinal", "11", "11th");
        row("Ordinal", "21", "21st");
        row("Ordinal", "112", "112th");
        row("Ordinal", "123", "123rd");
        row("Ordinal", "2.6", "3rd");
        row("CardText", "0", "zero");
        row("CardText", "15", "fifteen");
        row("CardText", "123", "one hundred twenty-three");
        row("CardText", "100", "one hundred");
        row("CardText", "1234", "one thousand two hundred thirty-four");
        row("CardText", "999999", "nine hundred ninety-nine thousand nine hundred ninety-nine");
        row("CardText", "1000000", error);
        row("CardText", "-5", error);
        row("OrdText", "21", "twenty-first");
        row("OrdText", "12", "twelfth");
        row("OrdText", "40", "fortieth");
        row("OrdText", "100", "one hundredth");
        row("OrdText", "0", "zeroth");
        row("OrdText", "1234.567", "one thousand two hundred thirty-fifth");
        row("DollarText", "123.45", "one hundred twenty-three and 45/100");
        row("DollarText", "5", "five and 00/100");
        row("DollarText", "0.995", "one and 00/100");
        row("DollarText", "1234.567", "one thousand two hundred thirty-four and 57/100");
        row("Hex", "255", "FF");
        row("hex", "458", "1CA");
        row("Hex", "-1", error);
        // A number format on text that is not a number has no effect.
        row("Roman", "chapter", "chapter");
        row("CardText", "", "");
        row("Upper", "12", "12");
        row("Bogus", "text", "text", false);
    }
    void generalFormat() {
        QFETCH(QString, format);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QFETCH(bool, known);
        bool isKnown = !known;
        QCOMPARE(applyGeneralFormat(value, format, QLocale(QStringLiteral("en_US")), &isKnown),
                 expected);
        QCOMPARE(isKnown, known);
    }

    // Without a picture a number shows its 15 significant digits, as the word processor keeps
    // them: arithmetic noise in the 17th digit does not show.
    void numberText() {
        const QLocale us(QStringLiteral("en_US"));
        QCOMPARE(qv::fields::numberText(0.1 + 0.2, us), QStringLiteral("0.3"));
        QCOMPARE(qv::fields::numberText(-1234.5, QLocale(QStringLiteral("de_DE"))),
                 QStringLiteral("-1234,5"));
        QCOMPARE(qv::fields::numberText(1e15, us), QStringLiteral("1000000000000000"));
        QCOMPARE(formatNumber(1.1 * 3, QStringLiteral("0.000000000000000"), us),
                 QStringLiteral("3.300000000000000"));
    }
};

QTEST_GUILESS_MAIN(FieldFormatTest)
#include "tst_fieldformat.moc"
