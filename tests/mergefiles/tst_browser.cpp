#include "app/actions/browser.h"
#include "app/actions/recordviewer.h"
#include "app/form2.h"
#include "controls/command/command.h"
#include "mergefiles/mergefile.h"
#include "mergefiles/mergerecordmodel.h"
#include "platform/services.h"
#include "tests/support/tempprogramfolder.h"
#include "ui/listview.h"
#include "ui/shapes.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

namespace {

// A browser entry as the search adds it.
int addEntry(Form2& form, const QString& name, const QString& records) {
    const int row = form.browser.files->addItem(name, 1, 1);
    form.browser.files->setSubItem(row, 1, "05/03/2024 14:07:09");
    form.browser.files->setSubItem(row, 2, name + ".LET");
    form.browser.files->setSubItem(row, 3, records);
    return row;
}

void select(Form2& form, int row) {
    form.browser.files->setSelectedIndex(row);
    SelectMergeFile(form);
}

} // namespace

// Selecting a merge file in the browser, and the browser's view cycle.
class BrowserTest : public QObject {
    Q_OBJECT
private slots:
    void selectionShowsTheDetails_data() {
        QTest::addColumn<bool>("withTemplate");
        QTest::newRow("with template") << true;
        QTest::newRow("without template") << false;
    }
    void selectionShowsTheDetails() {
        QFETCH(bool, withTemplate);
        qv::test::TempProgramFolder folder;
        folder.write("data/ABC.LET", "Name|Town\nAnn|Cork\nBob|Sligo\nCy|Ennis\n");
        if (withTemplate)
            folder.write("Word/ABC.dot", "t");
        Form2 form;
        form.show();
        form.guidance.selectTimer->start(5000);
        QList<qint64> steps;
        {
            const qv::ScopedServices observed([&steps](qv::Services& s) {
                s.recordLoadObserver = [&steps](qint64 i, qint64 n) {
                    QCOMPARE(n, 10);
                    steps << i;
                };
            });
            select(form, addEntry(form, "ABC", "3"));
        }

        QVERIFY(!form.guidance.selectTimer->isActive());
        QCOMPARE(form.details.name->text(), QString("ABC"));
        QCOMPARE(form.details.date->text(), QString("Date: (05/03/2024 14:07:09)"));
        QCOMPARE(form.details.storedName->text(), QString("ABC.LET"));
        QCOMPARE(form.details.size->text(), QString("Size: 0 KB (38) Bytes"));
        QCOMPARE(form.details.path->text(), "Path: " + MergeFilePath("ABC"));
        QCOMPARE(form.details.records->text(), QString("Total Records: 3"));
        QCOMPARE(form.details.deleteButton->Caption(), QString("Delete ABC from Server"));
        QCOMPARE(form.details.deleteButton->toolTip(), QString("Delete ABC"));
        QCOMPARE(form.details.deleteButton->FontColour(), QColor(255, 0, 0));
        QCOMPARE(form.details.recordCount, 3);

        // Settings panel away, details panel and its commands in.
        for (QWidget* w : {static_cast<QWidget*>(form.settings.address),
                           static_cast<QWidget*>(form.settings.windowsVersion),
                           static_cast<QWidget*>(form.settings.login),
                           static_cast<QWidget*>(form.settings.password),
                           static_cast<QWidget*>(form.progress.bar),
                           static_cast<QWidget*>(form.settings.loginCaption),
                           static_cast<QWidget*>(form.settings.passwordCaption),
                           static_cast<QWidget*>(form.progress.stepText),
                           static_cast<QWidget*>(form.progress.statusText),
                           static_cast<QWidget*>(form.settings.addressCaption),
                           static_cast<QWidget*>(form.settings.searchHintArea),
                           static_cast<QWidget*>(form.settings.searchButton),
                           static_cast<QWidget*>(form.progress.summary),
                           static_cast<QWidget*>(form.settings.heading),
                           static_cast<QWidget*>(form.settings.picture)})
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        for (QWidget* w :
             {static_cast<QWidget*>(form.details.backButton),
              static_cast<QWidget*>(form.details.newDocumentButton),
              static_cast<QWidget*>(form.details.deleteButton),
              static_cast<QWidget*>(form.details.spreadsheetButton),
              static_cast<QWidget*>(form.details.htmlButton),
              static_cast<QWidget*>(form.details.name), static_cast<QWidget*>(form.details.date),
              static_cast<QWidget*>(form.details.size), static_cast<QWidget*>(form.details.path),
              static_cast<QWidget*>(form.details.records),
              static_cast<QWidget*>(form.details.lowerRule),
              static_cast<QWidget*>(form.details.upperRule),
              static_cast<QWidget*>(form.frame.headingRule)})
            QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
        QCOMPARE(form.details.completeMergeButton->isVisible(), withTemplate);
        QCOMPARE(form.details.templatePicture->isVisible(), withTemplate);
        QCOMPARE(form.details.picture->isVisible(), !withTemplate);

        // Three rows although ten were asked for; the progress still counts to ten.
        QVERIFY(form.browser.records->isVisible());
        QCOMPARE(RecordListModel(form).rowCount(), 3);
        QCOMPARE(steps, (QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
    }

    void emptyMergeFile() {
        qv::test::TempProgramFolder folder;
        folder.write("data/Empty.LET", "");
        Form2 form;
        form.show();
        select(form, addEntry(form, "Empty", "0"));
        QCOMPARE(form.details.size->text(), QString("Size: 0 KB () Bytes"));
        QCOMPARE(form.details.records->text(), QString("Total Records: 0"));
        QCOMPARE(RecordListModel(form).columnCount(), 0);
        QCOMPARE(form.browser.records->columnCount(), 0);
        QCOMPARE(RecordListModel(form).rowCount(), 0);
    }

    void recordCountBeyondSixteenBits() {
        qv::test::TempProgramFolder folder;
        folder.write("data/Big.LET", "N\n1\n");
        Form2 form;
        select(form, addEntry(form, "Big", "40000"));
        QCOMPARE(form.details.recordCount, 40000);
    }

    void failuresSkipTheRemainingSteps() {
        qv::test::TempProgramFolder folder;
        Form2 form;
        form.show();
        addEntry(form, "Gone", "3"); // no file in the data folder

        // Nothing selected: nothing changes.
        form.browser.files->setSelectedIndex(-1);
        SelectMergeFile(form);
        QCOMPARE(form.details.name->text(), QString());
        QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);

        // The merge file is missing: the steps up to its size are done, the rest is skipped.
        select(form, 0);
        QCOMPARE(form.details.name->text(), QString("Gone"));
        QCOMPARE(form.details.deleteButton->Caption(), QString("Delete Gone from Server"));
        QCOMPARE(form.details.size->text(), QString());
        QCOMPARE(form.details.records->text(), QString());
        QCOMPARE(form.details.recordCount, 0);
        QVERIFY(!form.browser.records->isVisible());
        QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
    }

    void viewCycle_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("views");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("from icon")
            << 0 << QList<int>{2, 3, 0} << QStringList{"List", "Report", "Icon"};
        QTest::newRow("from list")
            << 2 << QList<int>{3, 0, 2} << QStringList{"Report", "Icon", "List"};
        QTest::newRow("small icons stay")
            << 1 << QList<int>{1, 1, 1} << QStringList{"ListView", "ListView", "ListView"};
    }
    void viewCycle() {
        QFETCH(int, start);
        QFETCH(QList<int>, views);
        QFETCH(QStringList, captions);
        qv::test::TempProgramFolder folder;
        Form2 form;
        form.browser.viewButton->setCaption("ListView");
        form.browser.files->setView(start);
        for (int i = 0; i < views.size(); ++i) {
            CycleBrowserView(form);
            QCOMPARE(form.browser.files->View(), views[i]);
            QCOMPARE(form.browser.viewButton->Caption(), captions[i]);
        }
    }
};

QTEST_MAIN(BrowserTest)
#include "tst_browser.moc"
