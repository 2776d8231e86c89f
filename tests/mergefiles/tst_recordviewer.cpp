#include "app/actions/recordviewer.h"
#include "app/form2.h"
#include "mergefiles/mergefile.h"
#include "mergefiles/mergerecordmodel.h"
#include "platform/twips.h"
#include "tests/support/designcontrol.h"
#include "tests/support/tempprogramfolder.h"
#include "ui/listview.h"
#include "ui/tooltip.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

using qv::test::designControl;

namespace {

// Loads the merge file selected as name; the number of rows loaded.
int load(Form2& form, const QString& name, int recordsToLoad) {
    designControl<QLineEdit>(form, "Text1")->setText(name);
    return loadMergeRecords(form, form.selectedMergeFile(), recordsToLoad);
}

QStringList rows(Form2& form) {
    QStringList out;
    const MergeRecordModel& model = recordListModel(form);
    for (int r = 0; r < model.rowCount(); ++r)
        out << model.rowValues(r).join('/');
    return out;
}

QStringList titles(Form2& form) {
    QStringList out;
    for (int c = 0; c < designControl<ListView>(form, "lw1")->columnCount(); ++c)
        out << designControl<ListView>(form, "lw1")->columnText(c);
    return out;
}

int twips(int pixels) {
    return qv::pixelsToTwips(pixels);
}

} // namespace

// The record list: loading a merge file, the list's tooltip text and its two sizes.
class RecordViewerTest : public QObject {
    Q_OBJECT
private slots:
    void loading_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("toLoad");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("three of ten")
            << QByteArray("Name|Town\nAnn|Cork\nBob|Sligo\nCy|Ennis\n") << 10
            << QStringList{" Name", "Town"} << QStringList{"Ann/Cork", "Bob/Sligo", "Cy/Ennis"};
        QTest::newRow("two of three")
            << QByteArray("Name|Town\nAnn|Cork\nBob|Sligo\nCy|Ennis\n") << 2
            << QStringList{" Name", "Town"} << QStringList{"Ann/Cork", "Bob/Sligo"};
        QTest::newRow("comma in a value")
            << QByteArray("Name|Address\nAnn|12 Main St,Cork\n") << 10
            << QStringList{" Name", "Address"} << QStringList{"Ann/12 Main St Cork"};
        QTest::newRow("no lf") << QByteArray("Name|Town Ann|Cork") << 10 << QStringList{}
                               << QStringList{};
        QTest::newRow("cr lf lines read as one line")
            << QByteArray("Name|Town\r\nAnn|Cork\r\n") << 10 << QStringList{} << QStringList{};
        QTest::newRow("header only")
            << QByteArray("Name|Town\n") << 10 << QStringList{" Name", "Town"} << QStringList{};
        QTest::newRow("short records") << QByteArray("A|B|C\nx\ny|z\n") << 10
                                       << QStringList{" A", "B", "C"} << QStringList{"x//", "y/z/"};
        // These two used to end the loading at the fault, losing every later record.
        QTest::newRow("empty line then more records")
            << QByteArray("Name|Town\nAnn|Cork\n\nBob|Sligo\nCy|Ennis\n") << 4
            << QStringList{" Name", "Town"} << QStringList{"Ann/Cork", "Bob/Sligo", "Cy/Ennis"};
        QTest::newRow("more values than names")
            << QByteArray("Name|Town\nAnn|Cork|IE|x\nBob|Sligo\n") << 10
            << QStringList{" Name", "Town", "", ""} << QStringList{"Ann/Cork/IE/x", "Bob/Sligo//"};
    }
    void loading() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, toLoad);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, rows);
        qv::test::TempProgramFolder folder;
        folder.write("data/ABC.LET", bytes);
        Form2 form;
        ListView* const recordList = designControl<ListView>(form, "lw1");
        form.show();
        load(form, "ABC", toLoad);
        QCOMPARE(::titles(form), titles);
        QCOMPARE(::rows(form), rows);
        for (int c = 0; c < recordList->columnCount(); ++c) {
            QCOMPARE(recordList->columnWidth(c), 2500);
            QCOMPARE(recordList->reportView()->header()->sectionSize(c), qv::twipsToPixels(2500));
        }
        QVERIFY(recordList->isVisible());
        QCOMPARE(recordList->View(), int(ListView::Report));
        QCOMPARE(designControl<ListView>(form, "ListView1")->height(), qv::twipsToPixels(5000));
        QCOMPARE(recordList->height(), qv::twipsToPixels(2640));
        QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
        if (recordList->itemCount() == 0 && !rows.isEmpty())
            QCOMPARE(recordList->model()->data(recordList->model()->index(0, 0)).toString(),
                     rows[0].section('/', 0, 0));
    }

    void reloadingReplacesRowsAndColumns() {
        qv::test::TempProgramFolder folder;
        folder.write("data/A.LET", "One|Two|Three\n1|2|3\n4|5|6\n");
        folder.write("data/B.LET", "Name\nAnn\n");
        Form2 form;
        load(form, "A", 10);
        load(form, "B", 10);
        QCOMPARE(::titles(form), QStringList{" Name"});
        QCOMPARE(::rows(form), QStringList{"Ann"});
    }

    void everyRecordForTheExports() {
        qv::test::TempProgramFolder folder;
        QByteArray bytes("Name|Town\n");
        for (int i = 0; i < 40000; ++i)
            bytes += "N" + QByteArray::number(i) + "|T\n";
        folder.write("data/Big.LET", bytes);
        Form2 form;
        QCOMPARE(load(form, "Big", countMergeRecords("Big.LET")), 40000);
        const MergeRecordModel& model = recordListModel(form);
        QCOMPARE(model.rowCount(), 40000);
        QCOMPARE(model.text(39999, 0), QString("N39999"));
    }

    // Thousands of fields: every column with its title and width, every name in the tooltip,
    // and a narrower file loaded afterwards gets its own columns only.
    void wideFile() {
        constexpr int kFields = 3000;
        qv::test::TempProgramFolder folder;
        QByteArray header, record;
        for (int f = 0; f < kFields; ++f) {
            header += (f ? "|F" : "F") + QByteArray::number(f);
            record += (f ? "|v" : "v") + QByteArray::number(f);
        }
        folder.write("data/Wide.LET", header + '\n' + record + '\n' + record + '\n');
        folder.write("data/Narrow.LET", "A|B\n1|2\n");
        Form2 form;
        ListView* const recordList = designControl<ListView>(form, "lw1");
        form.show();
        load(form, "Wide", 10);
        const QHeaderView* sections = recordList->reportView()->header();
        QCOMPARE(recordList->columnCount(), kFields);
        QCOMPARE(sections->count(), kFields);
        QCOMPARE(recordList->columnText(kFields - 1), QString("F%1").arg(kFields - 1));
        for (int c : {0, kFields / 2, kFields - 1})
            QCOMPARE(sections->sectionSize(c), qv::twipsToPixels(2500));
        QCOMPARE(recordListModel(form).rowCount(), 2);
        QCOMPARE(recordListModel(form).text(1, kFields - 1), QString("v%1").arg(kFields - 1));
        const QStringList tip = form.browser.fieldNamesTip().TipText().split("\r\n");
        QCOMPARE(tip.size(), kFields + 3); // the names, an empty line, the hint, the last CR LF
        QCOMPARE(tip.at(0), QString(" F0"));
        QCOMPARE(tip.at(kFields - 1), QString("F%1").arg(kFields - 1));
        QCOMPARE(tip.at(kFields + 1), QString("(DBClick for FullScreen)"));

        load(form, "Narrow", 10);
        QCOMPARE(::titles(form), (QStringList{" A", "B"}));
        QCOMPARE(sections->count(), 2);
        QCOMPARE(form.browser.fieldNamesTip().TipText(),
                 QString(" A\r\nB\r\n\r\n(DBClick for FullScreen)\r\n"));
    }

    void missingFileLeavesTheListHidden() {
        qv::test::TempProgramFolder folder;
        Form2 form;
        form.show();
        load(form, "Gone", 10);
        QVERIFY(!designControl<ListView>(form, "lw1")->isVisible());
        QCOMPARE(designControl<ListView>(form, "ListView1")->height(), qv::twipsToPixels(7650));
        QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
    }

    void fieldTipText() {
        qv::test::TempProgramFolder folder;
        folder.write("data/ABC.LET", "Name|Town\nAnn|Cork\n");
        Form2 form;
        load(form, "ABC", 10);
        QCOMPARE(form.browser.fieldNamesTip().Title(), QString("Field Names"));
        QCOMPARE(form.browser.fieldNamesTip().TipText(),
                 QString(" Name\r\nTown\r\n\r\n(DBClick for FullScreen)\r\n"));
    }

    void valuesPlacedOneByOne() {
        qv::test::TempProgramFolder folder;
        Form2 form;
        recordListModel(form).clear();
        for (const QString& name : QStringList{" Name", "Town"})
            addFieldColumn(form, name);
        const QStringList values = {"Ann", "Cork", "extra"};
        for (int field = 0; field < values.size(); ++field)
            addRecordValue(form, field, values[field]);
        QCOMPARE(::titles(form), (QStringList{" Name", "Town", ""}));
        QCOMPARE(::rows(form), QStringList{"Ann/Cork/extra"});
        QCOMPARE(designControl<ListView>(form, "lw1")->columnWidth(2), 2500);
        QCOMPARE(recordListModel(form)
                     .data(recordListModel(form).index(0, 0), MergeRecordModel::IconIndexRole)
                     .toInt(),
                 3);
    }

    void toggleTwiceReturnsToTheNormalPlace_data() {
        QTest::addColumn<int>("heightBefore");
        QTest::newRow("after loading") << 2640;
        QTest::newRow("design height") << 2610;
        QTest::newRow("any height") << 4000;
    }
    void toggleTwiceReturnsToTheNormalPlace() {
        QFETCH(int, heightBefore);
        qv::test::TempProgramFolder folder;
        Form2 form;
        ListView* const recordList = designControl<ListView>(form, "lw1");
        form.show();
        recordList->setGeometry(qv::twipsToPixels(0, 5010, 7380, heightBefore));

        toggleRecordListSize(form);
        QCOMPARE(recordList->geometry().topLeft(), QPoint(0, 0));
        QCOMPARE(recordList->height(),
                 qv::twipsToPixels(twips(form.frameGeometry().height()) - 500));
        QCOMPARE(recordList->width(), qv::twipsToPixels(twips(form.frameGeometry().width()) - 100));
        QVERIFY(!designControl<ListView>(form, "ListView1")->isVisible());

        toggleRecordListSize(form);
        QCOMPARE(twips(recordList->x()), 0);
        QCOMPARE(twips(recordList->y()), 5010);
        QCOMPARE(twips(recordList->width()), 7380);
        QCOMPARE(twips(recordList->height()), 2610);
        QVERIFY(designControl<ListView>(form, "ListView1")->isVisible());
    }

    // Back from an enlarged record list shows the browser at its full height, and the next
    // selection puts the record list below it again.
    void backAfterEnlargingShowsTheBrowser() {
        qv::test::TempProgramFolder folder;
        folder.write("data/ABC.LET", "Name|Town\nAnn|Cork\n");
        Form2 form;
        ListView* const browserList = designControl<ListView>(form, "ListView1");
        ListView* const recordList = designControl<ListView>(form, "lw1");
        form.show();
        browserList->show(); // as after a search
        designControl<QLineEdit>(form, "Text1")->setText("ABC");
        loadMergeRecords(form, form.selectedMergeFile(), 1);
        toggleRecordListSize(form);
        QVERIFY(!browserList->isVisible());

        form.backToSettings();
        QVERIFY(browserList->isVisible());
        QCOMPARE(browserList->height(), qv::twipsToPixels(7650));
        QVERIFY(!recordList->isVisible());

        loadMergeRecords(form, form.selectedMergeFile(), 1);
        QVERIFY(recordList->isVisible());
        QCOMPARE(twips(recordList->y()), 5010);
        QCOMPARE(twips(recordList->width()), 7380);
        QCOMPARE(browserList->height(), qv::twipsToPixels(5000));
    }

    void negativeTopIsLeftAlone() {
        qv::test::TempProgramFolder folder;
        Form2 form;
        designControl<ListView>(form, "lw1")->setGeometry(0, -10, 100, 50);
        toggleRecordListSize(form);
        QCOMPARE(designControl<ListView>(form, "lw1")->geometry(), QRect(0, -10, 100, 50));
    }
};

QTEST_MAIN(RecordViewerTest)
#include "tst_recordviewer.moc"
