#include "output/outputtext.h"

#include <QTest>

// What merge data keeps on its way into XML.
class OutputTextTest : public QObject {
    Q_OBJECT
private slots:
    void xmlText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("carried");
        QTest::newRow("plain") << QStringLiteral("Ann & Bob <x>")
                               << QStringLiteral("Ann & Bob <x>");
        QTest::newRow("tab and line ends stay")
            << QStringLiteral("a\tb\r\nc") << QStringLiteral("a\tb\r\nc");
        QTest::newRow("control characters go") << QStringLiteral("a\x01\x08\x0b\x0c\x1f"
                                                                 "b")
                                               << QStringLiteral("ab");
        QTest::newRow("NUL shows as U+FFFD")
            << QString::fromUtf16(u"a\0b", 3) << QString::fromUtf16(u"a\uFFFDb");
        QTest::newRow("U+FFFE and U+FFFF go")
            << QString::fromUtf16(u"a\uFFFE\uFFFFb") << QStringLiteral("ab");
        QTest::newRow("pairs stay, lone surrogates go") << QString::fromUtf16(u"\U0001F600a\xD800"
                                                                              u"b\xDC00")
                                                        << QString::fromUtf16(u"\U0001F600ab");
    }
    void xmlText() {
        QFETCH(QString, text);
        QFETCH(QString, carried);
        QCOMPARE(qv::output::xmlText(text), carried);
    }

    void replaceNul() {
        QCOMPARE(qv::output::replaceNul(QString::fromUtf16(u"\0A\0", 3)),
                 QString::fromUtf16(u"\uFFFDA\uFFFD"));
        QCOMPARE(qv::output::replaceNul(QStringLiteral("A\fB")), QStringLiteral("A\fB"));
    }
};

QTEST_GUILESS_MAIN(OutputTextTest)
#include "tst_outputtext.moc"
