#include "app/actions/browser.h"
#include "app/actions/recordviewer.h"
#include "app/form2.h"
#include "controls/command/command.h"
#include "mergefiles/mergefile.h"
#include "mergefiles/mergerecordmodel.h"
#include "platform/services.h"
#include "tests/support/designcontrol.h"
#include "tests/support/tempprogramfolder.h"
#include "ui/listview.h"
#include "ui/shapes.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

using qv::test::designControl;

namespace {

// A browser entry as the search adds it.
int addEntry(Form2& form, const QString& name, const QString& records) {
    const int row = designControl<ListView>(form, "ListView1")->addItem(name, 1, 1);
    designControl<ListView>(form, "ListView1")->setSubItem(row, 1, "05/03/2024 14:07:09");
    designControl<ListView>(form, "ListView1")->setSubItem(row, 2, name + ".LET");
    designControl<ListView>(form, "ListView1")->setSubItem(row, 3, records);
    return row;
}

void select(Form2& form, int row) {
    designControl<ListView>(form, "ListView1")->setSelectedIndex(row);
    selectMergeFile(form);
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
        Command* const deleteButton = designControl<Command>(form, "Command10");
        form.show();
        designControl<QTimer>(form, "Timer2")->start(5000);
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

        QVERIFY(!designControl<QTimer>(form, "Timer2")->isActive());
        QCOMPARE(designControl<QLineEdit>(form, "Text1")->text(), QString("ABC"));
        QCOMPARE(designControl<QLineEdit>(form, "Text2")->text(),
                 QString("Date: (05/03/2024 14:07:09)"));
        QCOMPARE(form.details.storedName(), QString("ABC.LET"));
        QCOMPARE(designControl<QLineEdit>(form, "Text9")->text(), QString("Size: 0 KB (38) Bytes"));
        QCOMPARE(designControl<QLineEdit>(form, "Text13")->text(), "Path: " + mergeFilePath("ABC"));
        QCOMPARE(designControl<QLineEdit>(form, "Text17")->text(), QString("Total Records: 3"));
        QCOMPARE(deleteButton->Caption(), QString("Delete ABC from Server"));
        QCOMPARE(deleteButton->toolTip(), QString("Delete ABC"));
        QCOMPARE(deleteButton->FontColour(), QColor(255, 0, 0));
        QCOMPARE(form.details.recordCount(), 3);

        // Settings panel away, details panel and its commands in.
        for (QWidget* w :
             {designControl<QWidget>(form, "Text10"), designControl<QWidget>(form, "Text44"),
              designControl<QWidget>(form, "Text11"), designControl<QWidget>(form, "Text12"),
              designControl<QWidget>(form, "ProgressBar1"), designControl<QWidget>(form, "Text21"),
              designControl<QWidget>(form, "Text22"), designControl<QWidget>(form, "Text7"),
              designControl<QWidget>(form, "Text8"), designControl<QWidget>(form, "Text5"),
              designControl<QWidget>(form, "Text16"), designControl<QWidget>(form, "Command1"),
              designControl<QWidget>(form, "Text6"), designControl<QWidget>(form, "Label3"),
              designControl<QWidget>(form, "Image9")})
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        for (QWidget* w :
             {designControl<QWidget>(form, "Command2"), designControl<QWidget>(form, "Command3"),
              designControl<QWidget>(form, "Command10"), designControl<QWidget>(form, "Command7"),
              designControl<QWidget>(form, "Command11"), designControl<QWidget>(form, "Text1"),
              designControl<QWidget>(form, "Text2"), designControl<QWidget>(form, "Text9"),
              designControl<QWidget>(form, "Text13"), designControl<QWidget>(form, "Text17"),
              designControl<QWidget>(form, "Line1"), designControl<QWidget>(form, "Line2"),
              designControl<QWidget>(form, "Line4")})
            QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
        QCOMPARE(designControl<Command>(form, "Command4")->isVisible(), withTemplate);
        QCOMPARE(designControl<PictureBox>(form, "Image5")->isVisible(), withTemplate);
        QCOMPARE(designControl<PictureBox>(form, "Image1")->isVisible(), !withTemplate);

        // Three rows although ten were asked for; the progress still counts to ten.
        QVERIFY(designControl<ListView>(form, "lw1")->isVisible());
        QCOMPARE(recordListModel(form).rowCount(), 3);
        QCOMPARE(steps, (QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
    }

    void emptyMergeFile() {
        qv::test::TempProgramFolder folder;
        folder.write("data/Empty.LET", "");
        Form2 form;
        form.show();
        select(form, addEntry(form, "Empty", "0"));
        QCOMPARE(designControl<QLineEdit>(form, "Text9")->text(), QString("Size: 0 KB () Bytes"));
        QCOMPARE(designControl<QLineEdit>(form, "Text17")->text(), QString("Total Records: 0"));
        QCOMPARE(recordListModel(form).columnCount(), 0);
        QCOMPARE(designControl<ListView>(form, "lw1")->columnCount(), 0);
        QCOMPARE(recordListModel(form).rowCount(), 0);
    }

    void recordCountBeyondSixteenBits() {
        qv::test::TempProgramFolder folder;
        folder.write("data/Big.LET", "N\n1\n");
        Form2 form;
        select(form, addEntry(form, "Big", "40000"));
        QCOMPARE(form.details.recordCount(), 40000);
    }

    void failuresSkipTheRemainingSteps() {
        qv::test::TempProgramFolder folder;
        Form2 form;
        form.show();
        addEntry(form, "Gone", "3"); // no file in the data folder

        // Nothing selected: nothing changes.
        designControl<ListView>(form, "ListView1")->setSelectedIndex(-1);
        selectMergeFile(form);
        QCOMPARE(designControl<QLineEdit>(form, "Text1")->text(), QString());
        QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);

        // The merge file is missing: the steps up to its size are done, the rest is skipped.
        select(form, 0);
        QCOMPARE(designControl<QLineEdit>(form, "Text1")->text(), QString("Gone"));
        QCOMPARE(designControl<Command>(form, "Command10")->Caption(),
                 QString("Delete Gone from Server"));
        QCOMPARE(designControl<QLineEdit>(form, "Text9")->text(), QString());
        QCOMPARE(designControl<QLineEdit>(form, "Text17")->text(), QString());
        QCOMPARE(form.details.recordCount(), 0);
        QVERIFY(!designControl<ListView>(form, "lw1")->isVisible());
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
        designControl<Command>(form, "Command8")->setCaption("ListView");
        designControl<ListView>(form, "ListView1")->setView(start);
        for (int i = 0; i < views.size(); ++i) {
            cycleBrowserView(form);
            QCOMPARE(designControl<ListView>(form, "ListView1")->View(), views[i]);
            QCOMPARE(designControl<Command>(form, "Command8")->Caption(), captions[i]);
        }
    }
};

QTEST_MAIN(BrowserTest)
#include "tst_browser.moc"
