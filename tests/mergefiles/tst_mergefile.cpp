#include "mergefiles/mergefile.h"
#include "mergefiles/mergetemplates.h"
#include "tests/support/tempprogramfolder.h"

#include <QDir>
#include <QTest>

// Reader, record counter, header and record splitting, size text and template presence.
class MergeFileTest : public QObject {
    Q_OBJECT
private slots:
    void itemRules_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("spaced");
        QTest::addColumn<QString>("plain");
        QTest::newRow("empty file") << QByteArray() << ""
                                    << "";
        QTest::newRow("lf lines stay one item")
            << QByteArray("Name|Town\nAnn|Cork\n") << " Name|Town\nAnn|Cork\n"
            << "Name|Town\nAnn|Cork\n";
        QTest::newRow("comma ends an item")
            << QByteArray("Ann|12 Main St,Cork\n") << " Ann|12 Main St Cork\n"
            << "Ann|12 Main StCork\n";
        QTest::newRow("cr lf is one line end")
            << QByteArray("Name|Town\r\nAnn|Cork\r\n") << " Name|Town Ann|Cork"
            << "Name|TownAnn|Cork";
        QTest::newRow("lone cr ends an item") << QByteArray("a\rb") << " a b"
                                              << "ab";
        QTest::newRow("cr cr lf: the lf belongs to the second cr")
            << QByteArray("a\r\r\nb") << " a  b"
            << "ab";
        QTest::newRow("lf after lf stays") << QByteArray("a\n\nb\n") << " a\n\nb\n"
                                           << "a\n\nb\n";
        QTest::newRow("quotes are dropped") << QByteArray("\"Ann\"|Cork\n") << " Ann|Cork\n"
                                            << "Ann|Cork\n";
        QTest::newRow("two commas give an empty item") << QByteArray("a,,b") << " a  b"
                                                       << "ab";
        QTest::newRow("code page bytes")
            << QByteArray("Caf\xe9|\x80\n") << QString(" Caf\u00e9|\u20ac\n")
            << QString("Caf\u00e9|\u20ac\n");
    }
    void itemRules() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, spaced);
        QFETCH(QString, plain);
        qv::test::TempProgramFolder folder;
        folder.write("data/X.LET", bytes);
        bool ok = false;
        QCOMPARE(readMergeText(mergeFilePath("X"), " ", &ok), spaced);
        QVERIFY(ok);
        QCOMPARE(readMergeText(mergeFilePath("X"), ""), plain);
    }

    void crLfAcrossReadChunks() {
        // A CR at the end of one read chunk and its LF at the start of the next are one line end.
        qv::test::TempProgramFolder folder;
        QByteArray bytes(1 << 20, 'a');
        bytes[(1 << 20) - 1] = '\r';
        bytes.append("\nb\nc\n");
        folder.write("data/X.LET", bytes);
        const QString text = readMergeText(mergeFilePath("X"), " ");
        QCOMPARE(text.right(6), QString("a b\nc\n"));
        QCOMPARE(countMergeRecords("X.LET"), 1);
    }

    void missingFileReadsEmpty() {
        qv::test::TempProgramFolder folder;
        bool ok = true;
        QCOMPARE(readMergeText(mergeFilePath("Nothing"), " ", &ok), QString());
        QVERIFY(!ok);
    }

    void recordCount_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("count");
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("header only") << QByteArray("Name|Town\n") << 0;
        QTest::newRow("two records") << QByteArray("Name|Town\nAnn|Cork\nBob|Sligo\n") << 2;
        QTest::newRow("no final lf") << QByteArray("Name|Town\nAnn|Cork\nBob|Sligo") << 1;
        QTest::newRow("cr lf lines") << QByteArray("Name|Town\r\nAnn|Cork\r\n") << 0;
        QTest::newRow("no lf at all") << QByteArray("Name|Town") << 0;
        QTest::newRow("commas do not count") << QByteArray("N\nA,B\nC,D\n") << 2;
        QTest::newRow("empty line counts") << QByteArray("N\nA\n\nB\n") << 3;
    }
    void recordCount() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, count);
        qv::test::TempProgramFolder folder;
        folder.write("data/X.LET", bytes);
        QCOMPARE(countMergeRecords("X.LET"), count);
    }

    void recordCountBeyondSixteenBits() {
        qv::test::TempProgramFolder folder;
        QByteArray bytes("Name|Town\n");
        for (int i = 0; i < 40000; ++i)
            bytes.append("Ann|Cork\n");
        folder.write("data/Big.LET", bytes);
        QCOMPARE(countMergeRecords("Big.LET"), 40000);
    }

    void missingFileCountsZero() {
        qv::test::TempProgramFolder folder;
        QCOMPARE(countMergeRecords("Nothing.LET"), 0);
    }

    void headerAndRecords() {
        const QString text = " Name|Town\nAnn|12 Main St Cork\nAnn||Cork\n\nBob|\n";
        const auto header = mergeHeader(text);
        QVERIFY(header);
        QCOMPARE(header->values, QStringList({" Name", "Town"}));
        QCOMPARE(header->end, 10);

        auto r = nextMergeRecord(text, header->end);
        QVERIFY(r);
        QCOMPARE(r->values, QStringList({"Ann", "12 Main St Cork"}));
        r = nextMergeRecord(text, r->end);
        QVERIFY(r);
        QCOMPARE(r->values, QStringList({"Ann", "", "Cork"}));
        r = nextMergeRecord(text, r->end);
        QVERIFY(r);
        QCOMPARE(r->values, QStringList()); // an empty line gives no values
        r = nextMergeRecord(text, r->end);
        QVERIFY(r);
        QCOMPARE(r->values, QStringList({"Bob", ""}));
        QVERIFY(!nextMergeRecord(text, r->end));
    }

    void noLineFeedNoHeader() {
        QVERIFY(!mergeHeader(u" Name|Town Ann|Cork"));
        QVERIFY(!mergeHeader(u""));
        QVERIFY(!nextMergeRecord(u" Name|Town\nAnn|Cork", 10)); // a record without its LF
    }

    void sizeText_data() {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << qint64(0) << "0 KB () Bytes";
        QTest::newRow("one byte") << qint64(1) << "0 KB (1) Bytes";
        QTest::newRow("half rounds to even 0") << qint64(512) << "0 KB (512) Bytes";
        QTest::newRow("just over half") << qint64(513) << "1 KB (513) Bytes";
        QTest::newRow("1.5 rounds to 2") << qint64(1536) << "2 KB (1,536) Bytes";
        QTest::newRow("2.5 rounds to 2") << qint64(2560) << "2 KB (2,560) Bytes";
        QTest::newRow("thousands") << qint64(12345) << "12 KB (12,345) Bytes";
        QTest::newRow("millions") << qint64(123456789) << "120563 KB (123,456,789) Bytes";
        QTest::newRow("beyond the pattern")
            << qint64(1234567890) << "1205633 KB (1,234,567,890) Bytes";
    }
    void sizeText() {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(formatMergeSize(bytes, QLocale(QLocale::English, QLocale::UnitedStates)), text);
    }

    void sizeTextUsesTheLocaleSeparator() {
        QCOMPARE(formatMergeSize(1234567, QLocale(QLocale::German, QLocale::Germany)),
                 QString("1206 KB (1.234.567) Bytes"));
    }

    void templatePresence() {
        qv::test::TempProgramFolder folder;
        folder.write("Word/ABC.dot", "x");
        folder.write("Word/DIR.dot/inner", "x"); // a folder of that name is not a template
        qv::MergeTemplates templates;
        for (const QString name : {"ABC", "ABD", "DIR", ""})
            QCOMPARE(templates.has(name), hasMergeTemplate(name));
        QVERIFY(hasMergeTemplate("ABC"));
        QVERIFY(!hasMergeTemplate("ABD"));
        QVERIFY(!hasMergeTemplate("DIR"));
        QVERIFY(!hasMergeTemplate(""));
    }

    // The folder read for a search is read again once it changes: a template added, removed or
    // the folder made after the first lookup.
    void templatesFollowTheFolder() {
        qv::test::TempProgramFolder folder;
        qv::MergeTemplates templates;
        QVERIFY(!templates.has("ABC")); // no folder yet
        folder.write("Word/ABC.dot", "x");
        QVERIFY(templates.has("ABC"));
        folder.write("Word/abd.DOT", "x");
        QVERIFY(templates.has("ABD"));
        QVERIFY(QFile::remove(folder.path() + "/Word/ABC.dot"));
        QVERIFY(!templates.has("ABC"));
    }

    // The template is found whatever the case of its name; an exact match wins over the others.
    void templateNameIgnoresCase_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("found");
        QTest::newRow("upper extension") << QStringList{"ABC.DOT"} << "ABC.DOT";
        QTest::newRow("lower name") << QStringList{"abc.dot"} << "abc.dot";
        QTest::newRow("mixed") << QStringList{"aBc.Dot"} << "aBc.Dot";
        QTest::newRow("exact among others")
            << QStringList{"abc.dot", "ABC.dot", "ABC.DOT"} << "ABC.dot";
        QTest::newRow("another name only") << QStringList{"ABCD.dot"} << "";
    }
    void templateNameIgnoresCase() {
        QFETCH(QStringList, files);
        QFETCH(QString, found);
        qv::test::TempProgramFolder folder;
        for (const QString& file : files)
            folder.write("Word/" + file, file.toUtf8());
        QCOMPARE(hasMergeTemplate("ABC"), !found.isEmpty());
        QCOMPARE(qv::MergeTemplates().has("ABC"), !found.isEmpty());
        const QString expected = QDir::toNativeSeparators(
            folder.path() + "/Word/" + (found.isEmpty() ? QString("ABC.dot") : found));
        QCOMPARE(mergeTemplatePath("ABC"), expected);
    }

    void pathsJoinTheProgramFolder() {
        qv::test::TempProgramFolder folder;
        QCOMPARE(mergeFilePath("ABC"), QDir::toNativeSeparators(folder.path() + "/data/ABC.LET"));
        QCOMPARE(mergeTemplatePath("ABC"),
                 QDir::toNativeSeparators(folder.path() + "/Word/ABC.dot"));
    }
};

QTEST_GUILESS_MAIN(MergeFileTest)
#include "tst_mergefile.moc"
