#include "mergefiles/mergedetails.h"
#include "mergefiles/mergefile.h"
#include "platform/dates.h"
#include "tests/support/tempprogramfolder.h"

#include <QFile>
#include <QTest>

// The browser tooltip's text for a merge file.
class MergeDetailsTest : public QObject {
    Q_OBJECT
private slots:
    void summaryText_data() {
        QTest::addColumn<bool>("withTemplate");
        QTest::addColumn<bool>("withFile");
        QTest::addColumn<QString>("expected"); // %D data path, %W template path, %M modified
        QTest::newRow("with template") << true << true
                                       << "Size: 2 KB (1,536) Bytes\r\nPath: %D\r\nTemplate: %W\r\n"
                                          "Date modified: %M\r\nNo of records: 3\r\n";
        QTest::newRow("without template")
            << false << true
            << "Size: 2 KB (1,536) Bytes\r\nPath: %D\r\nDate Modified: %M\r\nNo of records: 3\r\n";
        QTest::newRow("file missing from the data folder")
            << false << false
            << "Size: 0 KB () Bytes\r\nPath: %D\r\nDate Modified: \r\nNo of records: 3\r\n";
    }
    void summaryText() {
        QFETCH(bool, withTemplate);
        QFETCH(bool, withFile);
        QFETCH(QString, expected);
        qv::test::TempProgramFolder folder;
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
        if (withFile) {
            folder.write("data/ABC.LET", QByteArray(1536, 'a'));
            QFile file(mergeFilePath("ABC"));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(when, QFileDevice::FileModificationTime));
        }
        if (withTemplate)
            folder.write("Word/ABC.dot", "t");
        expected.replace("%D", mergeFilePath("ABC"))
            .replace("%W", mergeTemplatePath("ABC"))
            .replace("%M", qv::generalDate(when, english));
        QCOMPARE(mergeSummaryText("ABC", "3", english), expected);
    }
};

QTEST_GUILESS_MAIN(MergeDetailsTest)
#include "tst_mergedetails.moc"
