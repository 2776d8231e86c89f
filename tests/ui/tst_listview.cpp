#include "platform/twips.h"
#include "ui/listview.h"

#include <QHeaderView>
#include <QListView>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTest>
#include <QTreeView>

namespace {
// A report-view list with three columns and a few rows, shown.
struct Fixture {
    ListView view;
    ImageList large{QSize(50, 50)};
    ImageList small{QSize(16, 16)};
    Fixture() {
        view.resize(400, 300);
        QPixmap red(50, 50);
        red.fill(Qt::red);
        QPixmap blue(10, 10);
        blue.fill(Qt::blue);
        large.Add(red);
        small.Add(blue);
        view.setIcons(&large);
        view.setSmallIcons(&small);
        view.addColumn(QStringLiteral("File Name"), 1500);
        view.addColumn(QStringLiteral("Date"), 1500);
        view.addColumn(QStringLiteral("Hidden"), 0);
        for (int i = 0; i < 5; ++i) {
            const int row = view.addItem(QStringLiteral("F%1").arg(i), 1, 1);
            view.setSubItem(row, 1, QStringLiteral("D%1").arg(i));
            view.setSubItem(row, 2, QString::number(i * 10));
        }
    }
};
} // namespace

class ListViewTest : public QObject {
    Q_OBJECT
private slots:
    void itemsAndSubItems() {
        Fixture f;
        QCOMPARE(f.view.itemCount(), 5);
        QCOMPARE(f.view.itemText(3), QStringLiteral("F3"));
        QCOMPARE(f.view.subItem(3, 1), QStringLiteral("D3"));
        QCOMPARE(f.view.subItem(3, 2), QStringLiteral("30"));
        QCOMPARE(f.view.itemIcon(3), 1);
        QCOMPARE(f.view.addItem(QStringLiteral("first"), 1, 1, 0), 0); // inserted at the top
        QCOMPARE(f.view.itemText(0), QStringLiteral("first"));
        f.view.clearItems();
        QCOMPARE(f.view.itemCount(), 0);
        QCOMPARE(f.view.columnCount(), 3); // headers stay
    }

    // Gathered items: the item functions see them at once, the views when the gathering ends
    // (or its timer fires), all at once and in order.
    void gatheredItems() {
        Fixture f;
        QSignalSpy inserted(f.view.model(), &QAbstractItemModel::rowsInserted);
        f.view.setGatherNewItems(true);
        for (int i = 5; i < 8; ++i) {
            const int row = f.view.addItem(QStringLiteral("F%1").arg(i), 1, 1);
            QCOMPARE(row, i);
            f.view.setSubItem(row, 1, QStringLiteral("D%1").arg(i));
        }
        QCOMPARE(f.view.itemCount(), 8);
        QCOMPARE(f.view.itemText(7), QStringLiteral("F7"));
        QCOMPARE(f.view.subItem(6, 1), QStringLiteral("D6"));
        QCOMPARE(f.view.model()->rowCount(), 5); // the views know of the first five only
        QCOMPARE(inserted.count(), 0);

        f.view.setGatherNewItems(false);
        QCOMPARE(f.view.model()->rowCount(), 8);
        QCOMPARE(inserted.count(), 1); // one insertion of the three
        QCOMPARE(f.view.model()->index(7, 1).data().toString(), QStringLiteral("D7"));
    }

    // What needs the views' rows shows the gathered ones first: a selection, an insertion among
    // the rows; a clear drops them. The gathering timer shows them too.
    void gatheredItemsReachTheViews() {
        Fixture f;
        f.view.setGatherNewItems(true);
        f.view.addItem(QStringLiteral("G1"));
        f.view.setSelectedIndex(5);
        QCOMPARE(f.view.model()->rowCount(), 6);
        QCOMPARE(f.view.selectedIndex(), 5);

        f.view.addItem(QStringLiteral("G2"));
        QCOMPARE(f.view.addItem(QStringLiteral("top"), 1, 1, 0), 0);
        QCOMPARE(f.view.model()->rowCount(), 8);
        QCOMPARE(f.view.itemText(7), QStringLiteral("G2"));

        f.view.addItem(QStringLiteral("G3"));
        f.view.clearItems();
        QCOMPARE(f.view.itemCount(), 0);
        f.view.addItem(QStringLiteral("G4"));
        QCOMPARE(f.view.model()->rowCount(), 0);
        QTRY_COMPARE(f.view.model()->rowCount(), 1); // the timer's turn
        QCOMPARE(f.view.itemText(0), QStringLiteral("G4"));
    }

    void columnsInTwips() {
        Fixture f;
        f.view.setView(ListView::Report);
        QCOMPARE(f.view.columnText(1), QStringLiteral("Date"));
        QCOMPARE(f.view.columnWidth(0), 1500);
        QCOMPARE(f.view.reportView()->header()->sectionSize(0), 100);
        QVERIFY(f.view.reportView()->isColumnHidden(2)); // width 0 is not shown
        f.view.setColumnWidth(1, 2500);
        QCOMPARE(f.view.reportView()->header()->sectionSize(1), qv::twipsToPixels(2500));
    }

    // A model of the caller's: its columns and the ones it adds later take the default width,
    // own widths hold until the model is reset and afterwards, and a width of 0 hides a column
    // until it gets a width again.
    void columnsOfAModel() {
        ListView view;
        view.setDefaultColumnWidth(2500);
        QStandardItemModel model(2, 3);
        view.setModel(&model);
        view.setView(ListView::Report);
        const QHeaderView* header = view.reportView()->header();
        auto sizes = [&] {
            QList<int> out;
            for (int c = 0; c < header->count(); ++c)
                out << (header->isSectionHidden(c) ? -1 : header->sectionSize(c));
            return out;
        };
        const int wide = qv::twipsToPixels(2500);
        const int narrow = qv::twipsToPixels(1500);
        QCOMPARE(sizes(), (QList<int>{wide, wide, wide}));
        view.setColumnWidth(1, 1500);
        view.setColumnWidth(2, 0);
        QCOMPARE(sizes(), (QList<int>{wide, narrow, -1}));
        model.insertColumns(3, 2);
        QCOMPARE(sizes(), (QList<int>{wide, narrow, -1, wide, wide}));
        model.clear(); // a reset: the header starts afresh, the widths are given again
        model.setColumnCount(4);
        QCOMPARE(sizes(), (QList<int>{wide, narrow, -1, wide}));
        view.setColumnWidth(2, 1000);
        QCOMPARE(sizes(), (QList<int>{wide, narrow, qv::twipsToPixels(1000), wide}));
        QCOMPARE(view.columnWidth(3), 2500);
    }

    void imageListsGiveTheIcons() {
        Fixture f;
        f.view.setView(ListView::Icon);
        const QModelIndex index = f.view.model()->index(0, 0);
        QCOMPARE(index.data(Qt::DecorationRole).value<QPixmap>().size(), QSize(50, 50));
        f.view.setView(ListView::SmallIcon);
        const QPixmap small = index.data(Qt::DecorationRole).value<QPixmap>();
        QCOMPARE(small.size(), QSize(16, 16)); // scaled to the list's size
        QCOMPARE(small.toImage().pixelColor(8, 8), QColor(Qt::blue));
        QCOMPARE(f.large.Image(2), QPixmap()); // out of range
    }

    void viewsSwitch_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("report");
        QTest::newRow("icon") << 0 << false;
        QTest::newRow("small icon") << 1 << false;
        QTest::newRow("list") << 2 << false;
        QTest::newRow("report") << 3 << true;
    }

    void viewsSwitch() {
        QFETCH(int, mode);
        QFETCH(bool, report);
        Fixture f;
        f.view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.view));
        f.view.setView(mode);
        QCOMPARE(f.view.View(), mode);
        QCOMPARE(f.view.currentView() == f.view.reportView(), report);
        QVERIFY(f.view.currentView()->isVisible());
        // Hit testing works in every view: the first item is at its visual rectangle.
        const QRect r = f.view.currentView()->visualRect(f.view.model()->index(0, 0));
        const QPoint inside = f.view.currentView()->viewport()->mapTo(&f.view, r.center());
        QCOMPARE(f.view.hitTest(inside), 0);
        QCOMPARE(f.view.hitTest(QPoint(395, 295)), -1);
        QCOMPARE(f.view.hitTest(QPoint(-5, -5)), -1);
    }

    void selectionIsSharedBetweenViews() {
        Fixture f;
        f.view.setSelectedIndex(2);
        QCOMPARE(f.view.selectedIndex(), 2);
        f.view.setView(ListView::Report);
        QCOMPARE(f.view.selectedIndex(), 2);
        f.view.setSelectedIndex(-1);
        QCOMPARE(f.view.selectedIndex(), -1);
    }

    void clicksAndMovesAreReported() {
        Fixture f;
        f.view.setView(ListView::Report);
        f.view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.view));
        QSignalSpy clicks(&f.view, &ListView::Click);
        QSignalSpy items(&f.view, &ListView::ItemClick);
        QSignalSpy doubles(&f.view, &ListView::DblClick);
        QSignalSpy moves(&f.view, &ListView::MouseMove);
        QWidget* viewport = f.view.reportView()->viewport();
        const QRect r = f.view.reportView()->visualRect(f.view.model()->index(1, 0));
        QTest::mouseMove(viewport, r.center());
        QTRY_VERIFY(!moves.isEmpty());
        const QPoint reported = moves.last().at(2).toPoint();
        QCOMPARE(f.view.hitTest(reported), 1);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, r.center());
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(items.count(), 1);
        QCOMPARE(items.first().first().toInt(), 1);
        QCOMPARE(f.view.selectedIndex(), 1);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, r.center());
        QCOMPARE(doubles.count(), 1);
    }

    void callerModelReplacesTheItems() {
        Fixture f;
        QStringListModel model(QStringList{QStringLiteral("a"), QStringLiteral("b")});
        f.view.setModel(&model);
        QCOMPARE(f.view.itemCount(), 2);
        QCOMPARE(f.view.itemText(1), QStringLiteral("b"));
        f.view.setView(ListView::Report);
        QCOMPARE(f.view.reportView()->model(), &model);
        QCOMPARE(f.view.iconView()->model(), &model);
        f.view.setModel(nullptr); // back to the built-in rows
        QCOMPARE(f.view.itemCount(), 5);
    }

    void arrangeIsKept() {
        Fixture f;
        f.view.setArrange(2);
        QCOMPARE(f.view.Arrange(), 2);
        QCOMPARE(f.view.iconView()->flow(), QListView::LeftToRight);
    }
};

QTEST_MAIN(ListViewTest)
#include "tst_listview.moc"
