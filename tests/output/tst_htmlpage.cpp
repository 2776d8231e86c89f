#include "output/htmlpage.h"
#include "tests/support/tempprogramfolder.h"

#include <QBuffer>
#include <QtTest>

using namespace qv;

namespace {

// Three fields, two records; the dates are fixed so the page can be compared byte for byte.
output::HtmlPage samplePage(QList<QStringList> rows) {
    output::HtmlPage page;
    page.name = QStringLiteral("ABC");
    page.width = QStringLiteral("80");
    page.columns = {QStringLiteral(" Name"), QStringLiteral("Town"), QStringLiteral("Balance")};
    page.rowCount = rows.size();
    page.row = [rows](qsizetype r) { return rows[r]; };
    page.date = QStringLiteral("DATE");
    page.time = QStringLiteral("TIME");
    page.dateTime = QStringLiteral("DATETIME");
    page.major = 2;
    page.minor = 0;
    page.revision = 1;
    return page;
}

QByteArray render(const output::HtmlPage& page) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!output::writeHtmlPage(buffer, page, &error))
        qWarning("%s", qPrintable(error));
    return buffer.data();
}

} // namespace

class HtmlPageTest : public QObject {
    Q_OBJECT
private slots:
    void golden() {
        const QByteArray page = render(samplePage(
            {{QStringLiteral("Ann"), QStringLiteral("Cork"), QStringLiteral("12")},
             {QStringLiteral("Bob"), QStringLiteral("Sligo"), QString::fromUtf8("\u20ac5")}}));
        QFile golden(test::sourcePath(QStringLiteral("tests/output/golden/threefields.html")));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QCOMPARE(page, golden.readAll());
    }

    void noRecords() {
        const QByteArray page = render(samplePage({}));
        QVERIFY(page.contains("colspan= 3 bgColor="));
        QCOMPARE(page.count("<td VALIGN=center height=20"), 3);
        QVERIFY(!page.contains("<td height=25"));
        QVERIFY(page.contains("</tr>\r\n</table>\r\n</Center>\r\n</body>\r\n"));
        QVERIFY(page.endsWith("</h5>\r\n</html>\r\n"));
    }

    // Text from the merge file cannot add markup to the page.
    void escaping() {
        output::HtmlPage page = samplePage({{QStringLiteral("<script>alert(1)</script>"),
                                             QStringLiteral("A&B"), QStringLiteral("x>y")}});
        page.name = QStringLiteral("<b>ABC");
        page.columns[1] = QStringLiteral("T<own");
        const QByteArray bytes = render(page);
        QVERIFY(!bytes.contains("<script>"));
        QVERIFY(!bytes.contains("<b>ABC"));
        QVERIFY(bytes.contains("&lt;script&gt;alert(1)&lt;/script&gt;&nbsp;"));
        QVERIFY(bytes.contains(">A&amp;B&nbsp;"));
        QVERIFY(bytes.contains(">x&gt;y&nbsp;"));
        QVERIFY(bytes.contains("<Title>&lt;b&gt;ABC\r\n"));
        QVERIFY(bytes.contains(">T&lt;own</b></td>"));
    }

    // A character outside the code page is kept as a character reference, not lost.
    void outsideCodePage() {
        const QByteArray bytes = render(samplePage({{QString::fromUtf8("\u0141\u00f3d\u017e")}}));
        QVERIFY(bytes.contains("&#321;\xf3"
                               "d\x9e&nbsp;"));
    }

    // A NUL shows as U+FFFD, as in every output: never a raw NUL byte in the page.
    void nul() {
        output::HtmlPage page = samplePage({{QString::fromUtf8("A\0nn", 4)}});
        page.name = QString::fromUtf8("A\0BC", 4);
        const QByteArray bytes = render(page);
        QVERIFY(!bytes.contains('\0'));
        QVERIFY(bytes.contains(">A&#65533;nn&nbsp;"));
        QVERIFY(bytes.contains("<Title>A&#65533;BC\r\n"));
    }

    void width_data() {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<std::optional<QString>>("width");
        const std::optional<QString> none;
        QTest::newRow("0") << std::optional<QString>("0") << std::optional<QString>("100");
        QTest::newRow("00") << std::optional<QString>("00") << std::optional<QString>("100");
        QTest::newRow("80") << std::optional<QString>("80") << std::optional<QString>("80");
        QTest::newRow("80%") << std::optional<QString>("80%") << none;
        QTest::newRow("empty") << std::optional<QString>("") << none;
        QTest::newRow("cancel") << none << none;
        QTest::newRow("words") << std::optional<QString>("wide") << none;
    }
    void width() {
        QFETCH(std::optional<QString>, answer);
        QFETCH(std::optional<QString>, width);
        QCOMPARE(output::tableWidth(answer), width);
    }

    // The page is replaced only by a complete one.
    void replacesWhenComplete() {
        test::TempProgramFolder folder;
        const QString path = folder.filePath(QStringLiteral("output.html"));
        folder.write(QStringLiteral("output.html"), "earlier page");
        QString error;
        QVERIFY(output::saveHtmlPage(path, samplePage({{QStringLiteral("Ann")}}), &error));
        QVERIFY(folder.read(QStringLiteral("output.html")).startsWith("<!-Created by Quorvane"));
        // A folder that cannot take the file: the error is told.
        QVERIFY(!output::saveHtmlPage(folder.filePath(QStringLiteral("missing/output.html")),
                                      samplePage({}), &error));
        QVERIFY(error.contains(QLatin1String("output.html")));
    }
};

QTEST_GUILESS_MAIN(HtmlPageTest)
#include "tst_htmlpage.moc"
