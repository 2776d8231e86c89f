#include "app/actions/hoverdetails.h"
#include "app/actions/recordviewer.h"
#include "app/form2.h"
#include "mergefiles/mergedetails.h"
#include "mergefiles/mergefile.h"
#include "platform/twips.h"
#include "tests/support/designcontrol.h"
#include "tests/support/tempprogramfolder.h"
#include "ui/listview.h"
#include "ui/shapes.h"
#include "ui/tooltip.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

using qv::test::designControl;

namespace {

// A point inside row `row` of a list, in twips relative to the list.
QPointF twipsOfRow(ListView& list, int row, int dx = 0) {
    QAbstractItemView* view = list.currentView();
    const QRect r = view->visualRect(view->model()->index(row, 0));
    const QPoint p = view->viewport()->mapTo(&list, r.center() + QPoint(dx, 0));
    return QPointF(qv::pixelsToTwips(p.x()), qv::pixelsToTwips(p.y()));
}

// A point below the last row.
QPointF twipsOfEmptySpace(ListView& list) {
    return QPointF(qv::pixelsToTwips(list.width() - 30), qv::pixelsToTwips(list.height() - 30));
}

void moveOverBrowser(Form2& form, QPointF twips) {
    showMergeSummary(form, Qt::NoButton, Qt::NoModifier, twips.x(), twips.y());
}

void moveOverRecords(Form2& form, QPointF twips) {
    showFieldNamesTip(form, Qt::NoButton, Qt::NoModifier, twips.x(), twips.y());
}

void addEntry(Form2& form, const QString& name, const QString& records) {
    const int row = designControl<ListView>(form, "ListView1")->addItem(name, 1, 1);
    designControl<ListView>(form, "ListView1")->setSubItem(row, 1, "05/03/2024 14:07:09");
    designControl<ListView>(form, "ListView1")->setSubItem(row, 2, name + ".LET");
    designControl<ListView>(form, "ListView1")->setSubItem(row, 3, records);
}

} // namespace

// Tooltips over the browser and the record list.
class HoverDetailsTest : public QObject {
    Q_OBJECT
private slots:
    void browserTipNamesTheFileUnderThePointer() {
        qv::test::TempProgramFolder folder;
        folder.write("data/ABC.LET", "Name\nAnn\n");
        folder.write("data/XYZ.LET", "Name\n");
        folder.write("Word/XYZ.dot", "t");
        Form2 form;
        ListView* const browserList = designControl<ListView>(form, "ListView1");
        form.show();
        browserList->show();
        browserList->setView(ListView::Report);
        addEntry(form, "ABC", "1");
        addEntry(form, "XYZ", "0");
        BalloonTooltip& tip = form.browser.filesTip();
        designControl<PictureBox>(form, "Image3")->setBorderStyle(1);

        moveOverBrowser(form, twipsOfRow(*browserList, 0));
        QCOMPARE(form.browser.hoverRow(), 1);
        QCOMPARE(tip.Title(), QString("ABC"));
        QCOMPARE(tip.TipText(), mergeSummaryText("ABC", "1"));
        QVERIFY(tip.TipText().contains("Date Modified: "));
        QCOMPARE(tip.TipText().count("\r\n"), 4);
        QVERIFY(tip.window());
        QCOMPARE(tip.parentWindow(), browserList);
        QCOMPARE(designControl<PictureBox>(form, "Image3")->BorderStyle(), 0);

        // Within the same row nothing is rebuilt.
        QPointer<QWidget> first = tip.window();
        tip.TipText("changed");
        moveOverBrowser(form, twipsOfRow(*browserList, 0, 3));
        QCOMPARE(tip.window(), first.data());
        QCOMPARE(tip.TipText(), QString("changed"));

        // Another row: a new tip with the template line.
        moveOverBrowser(form, twipsOfRow(*browserList, 1));
        QCOMPARE(form.browser.hoverRow(), 2);
        QVERIFY(first.isNull());
        QCOMPARE(tip.Title(), QString("XYZ"));
        QVERIFY(tip.TipText().contains("Template: " + mergeTemplatePath("XYZ")));
        QVERIFY(tip.TipText().contains("Date modified: "));
        QCOMPARE(tip.TipText().count("\r\n"), 5);

        // Empty space removes it; back on the same row shows it again.
        moveOverBrowser(form, twipsOfEmptySpace(*browserList));
        QCOMPARE(form.browser.hoverRow(), 0);
        QVERIFY(!tip.window());
        moveOverBrowser(form, twipsOfRow(*browserList, 1));
        QCOMPARE(form.browser.hoverRow(), 2);
        QVERIFY(tip.window());
    }

    void picturesLoseTheirBorderEvenWithinARow() {
        qv::test::TempProgramFolder folder;
        Form2 form;
        form.show();
        for (PictureBox* p :
             {designControl<PictureBox>(form, "Image2"), designControl<PictureBox>(form, "Image3"),
              designControl<PictureBox>(form, "Image4")})
            p->setBorderStyle(1);
        moveOverBrowser(form, twipsOfEmptySpace(*designControl<ListView>(
                                  form, "ListView1"))); // browser.hoverRow stays 0
        for (PictureBox* p :
             {designControl<PictureBox>(form, "Image2"), designControl<PictureBox>(form, "Image3"),
              designControl<PictureBox>(form, "Image4")})
            QCOMPARE(p->BorderStyle(), 0);
    }

    void hitTestRoundsHalfToEven_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("pixel");
        QTest::newRow("22.5 twips -> 1.5 px -> 2") << 22.5 << 2;
        QTest::newRow("37.5 twips -> 2.5 px -> 2") << 37.5 << 2;
        QTest::newRow("52.5 twips -> 3.5 px -> 4") << 52.5 << 4;
    }
    void hitTestRoundsHalfToEven() {
        QFETCH(double, x);
        QFETCH(int, pixel);
        QCOMPARE(qv::roundHalfEven(x / qv::kTwipsPerPixel), pixel);
    }

    void recordListTip() {
        qv::test::TempProgramFolder folder;
        folder.write("data/ABC.LET", "Name|Town\nAnn|Cork\nBob|Sligo\n");
        Form2 form;
        ListView* const recordList = designControl<ListView>(form, "lw1");
        form.show();
        designControl<QLineEdit>(form, "Text1")->setText("ABC");
        loadMergeRecords(form, form.selectedMergeFile(), 10);
        BalloonTooltip& tip = form.browser.fieldNamesTip();
        const QString text = " Name\r\nTown\r\n\r\n(DBClick for FullScreen)\r\n";

        moveOverRecords(form, twipsOfRow(*recordList, 0));
        QCOMPARE(form.browser.recordHoverRow(), 1);
        QCOMPARE(tip.Title(), QString("Field Names"));
        QCOMPARE(tip.TipText(), text);
        QCOMPARE(tip.parentWindow(), recordList);
        QPointer<QWidget> first = tip.window();
        QVERIFY(first);

        moveOverRecords(form, twipsOfRow(*recordList, 0, 4));
        QCOMPARE(tip.window(), first.data());

        moveOverRecords(form, twipsOfRow(*recordList, 1));
        QCOMPARE(form.browser.recordHoverRow(), 2);
        QVERIFY(first.isNull());
        QVERIFY(tip.window());
        QCOMPARE(tip.Title(), QString("Field Names"));

        moveOverRecords(form, twipsOfEmptySpace(*recordList));
        QCOMPARE(form.browser.recordHoverRow(), 0);
        QVERIFY(!tip.window());
    }

    void noTipOverAListWithoutRows() {
        qv::test::TempProgramFolder folder;
        folder.write("data/ABC.LET", "Name|Town\n");
        Form2 form;
        form.show();
        designControl<QLineEdit>(form, "Text1")->setText("ABC");
        loadMergeRecords(form, form.selectedMergeFile(), 10);
        moveOverRecords(form, QPointF(300, 600));
        moveOverRecords(form, twipsOfEmptySpace(*designControl<ListView>(form, "lw1")));
        QCOMPARE(form.browser.recordHoverRow(), 0);
        QVERIFY(!form.browser.fieldNamesTip().window());
    }
};

QTEST_MAIN(HoverDetailsTest)
#include "tst_hoverdetails.moc"
