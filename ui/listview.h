#pragma once

#include "platform/pacing.h"

#include <QAbstractTableModel>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QSize>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <vector>

class QListView;
class QTreeView;
class QStackedLayout;
class QAbstractItemView;

// A list of same-sized pictures, addressed from 1 as list views address their icons.
class ImageList : public QObject {
    Q_OBJECT
public:
    explicit ImageList(QSize imageSize, QObject* parent = nullptr);

    QSize ImageSize() const { return size_; }
    int Count() const { return static_cast<int>(images_.size()); }
    int Add(const QPixmap& picture); // returns the new image's index, from 1
    QPixmap Image(int index) const;  // null when out of range
    void Clear();

signals:
    void changed();

private:
    QSize size_;
    std::vector<QPixmap> images_;
};

// The rows of a list view: text, icon index, sub-items. Column 0 is the item's text, column k
// its sub-item k. Icons come from the list view's image lists.
class ListViewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Row {
        QStringList texts; // [0] the text, [k] sub-item k
        int icon = 0;
        int smallIcon = 0;
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setHeaders(const QStringList& headers);
    QStringList headers() const { return headers_; }
    int addRow(const QString& text, int icon, int smallIcon, int position = -1);
    void setText(int row, int column, const QString& text);
    QString text(int row, int column) const;
    int icon(int row) const;
    void clear();
    const Row& row(int r) const { return rows_[r]; }

    void setImageLists(ImageList* large, ImageList* small);
    void setLargeIcons(bool large); // icon view shows the large pictures

    // Rows appended while new rows are gathered reach the views together, a few dozen times a
    // second (kGatherMs) and when gathering ends, instead of one by one: each arrival would lay
    // out every row of an icon view again. The item functions see them at once.
    void setGatherNewRows(bool gather);
    void showGatheredRows();
    int itemCount() const { return static_cast<int>(rows_.size()); }
    static constexpr int kGatherMs = qv::kShowProgressEveryMs;

private:
    bool shown(int row) const { return row >= 0 && row < shown_; }

    std::vector<Row> rows_;
    int shown_ = 0; // rows the views know of: the first ones of rows_
    bool gather_ = false;
    QTimer gatherTimer_;
    QStringList headers_;
    QPointer<ImageList> large_;
    QPointer<ImageList> small_;
    bool largeIcons_ = true;
};

// The common-controls list view: icon, small-icon, list and report views over one model, column
// headers with widths in twips, items with icons and sub-items, hit testing. A caller can hand it
// a model of its own (for example a lazy one for big files); the item functions then do nothing
// and the views show that model.
class ListView : public QWidget {
    Q_OBJECT
public:
    enum ViewMode { Icon = 0, SmallIcon = 1, List = 2, Report = 3 };

    explicit ListView(QWidget* parent = nullptr);

    int View() const { return view_; }
    void setView(int view);

    // Arrangement of the icon views: kArrangeTop arranges automatically from the top.
    static constexpr int kArrangeTop = 2;
    int Arrange() const { return arrange_; }
    void setArrange(int arrange);

    // Column headers, widths in twips. A width of 0 hides the column.
    int addColumn(const QString& text, int widthTwips = 1440);
    // The width of columns given none of their own (at first 1440 twips); for lists with many
    // columns of one width, so that new columns come at that width without resizing each one.
    void setDefaultColumnWidth(int widthTwips);
    void clearColumns();
    int columnCount() const;
    QString columnText(int column) const;
    int columnWidth(int column) const; // twips
    void setColumnWidth(int column, int widthTwips);

    // Items, counted from 0 here.
    int addItem(const QString& text, int icon = 0, int smallIcon = 0, int position = -1);
    void setSubItem(int row, int subItem, const QString& text);
    QString itemText(int row) const;
    QString subItem(int row, int subItem) const;
    int itemIcon(int row) const;
    int itemCount() const;
    void clearItems();

    int selectedIndex() const; // -1 for none
    void setSelectedIndex(int row);

    // New items reach the views a few dozen times a second (see ListViewModel); false shows the
    // gathered ones at once.
    void setGatherNewItems(bool gather);

    void setIcons(ImageList* list);
    void setSmallIcons(ImageList* list);
    ImageList* icons() const { return large_; }
    ImageList* smallIcons() const { return small_; }

    void setBackgroundPicture(const QPixmap& picture);

    // The row under a point of this widget (pixels), or -1.
    int hitTest(QPoint point) const;

    // The caller's model replaces the built-in rows (nullptr goes back to them).
    void setModel(QAbstractItemModel* model);
    QAbstractItemModel* model() const;
    ListViewModel* itemModel() const { return items_; }

    QAbstractItemView* currentView() const;
    QListView* iconView() const { return iconView_; }
    QTreeView* reportView() const { return reportView_; }

signals:
    void Click();            // a mouse button released over the control
    void ItemClick(int row); // an item was clicked
    void DblClick();
    void MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyColumns();
    void applyColumns(int first, int last);
    int widthOf(int column) const;
    void applyView();
    void attach(QAbstractItemModel* model);

    ListViewModel* items_;
    QPointer<QAbstractItemModel> external_;
    QListView* iconView_;
    QTreeView* reportView_;
    QStackedLayout* stack_;
    std::vector<int> widths_; // twips, per column
    int defaultWidth_ = 1440;
    int view_ = Icon;
    int arrange_ = 0;
    QPointer<ImageList> large_;
    QPointer<ImageList> small_;
    QPixmap background_;
};
