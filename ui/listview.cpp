#include "ui/listview.h"

#include "platform/twips.h"

#include <QHeaderView>
#include <QListView>
#include <QMouseEvent>
#include <QStackedLayout>
#include <QTreeView>

// ---------------------------------------------------------------------------------------------
ImageList::ImageList(QSize imageSize, QObject* parent) : QObject(parent), size_(imageSize) {}

int ImageList::Add(const QPixmap& picture) {
    images_.push_back(picture.size() == size_
                          ? picture
                          : picture.scaled(size_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    emit changed();
    return Count();
}

QPixmap ImageList::Image(int index) const {
    if (index < 1 || index > Count())
        return {};
    return images_[index - 1];
}

void ImageList::Clear() {
    images_.clear();
    emit changed();
}

// ---------------------------------------------------------------------------------------------
int ListViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

int ListViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max<int>(1, headers_.size());
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row& r = rows_[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return r.texts.value(index.column());
    case Qt::DecorationRole:
        if (index.column() == 0) {
            const ImageList* list = largeIcons_ ? large_.data() : small_.data();
            const int icon = largeIcons_ ? r.icon : r.smallIcon;
            if (list && icon > 0)
                return list->Image(icon);
        }
        return {};
    default:
        return {};
    }
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return headers_.value(section);
    return {};
}

void ListViewModel::setHeaders(const QStringList& headers) {
    const int before = columnCount();
    const int after = std::max<int>(1, headers.size());
    if (after > before) {
        beginInsertColumns({}, before, after - 1);
        headers_ = headers;
        endInsertColumns();
    } else if (after < before) {
        beginRemoveColumns({}, after, before - 1);
        headers_ = headers;
        endRemoveColumns();
    } else {
        headers_ = headers;
    }
    emit headerDataChanged(Qt::Horizontal, 0, after - 1);
}

int ListViewModel::addRow(const QString& text, int icon, int smallIcon, int position) {
    const int count = itemCount();
    const int at = (position < 0 || position > count) ? count : position;
    if (gather_ && at == count) {
        rows_.push_back(Row{QStringList{text}, icon, smallIcon});
        if (!gatherTimer_.isActive())
            gatherTimer_.start();
        return at;
    }
    showGatheredRows(); // an insertion among the rows: the views first learn of the ones before
    beginInsertRows({}, at, at);
    rows_.insert(rows_.begin() + at, Row{QStringList{text}, icon, smallIcon});
    ++shown_;
    endInsertRows();
    return at;
}

void ListViewModel::setText(int row, int column, const QString& text) {
    if (row < 0 || row >= itemCount() || column < 0)
        return;
    QStringList& texts = rows_[row].texts;
    while (texts.size() <= column)
        texts << QString();
    texts[column] = text;
    if (shown(row))
        emit dataChanged(index(row, column), index(row, column));
}

QString ListViewModel::text(int row, int column) const {
    if (row < 0 || row >= itemCount())
        return {};
    return rows_[row].texts.value(column);
}

int ListViewModel::icon(int row) const {
    return (row < 0 || row >= itemCount()) ? 0 : rows_[row].icon;
}

void ListViewModel::clear() {
    beginResetModel();
    rows_.clear();
    shown_ = 0;
    gatherTimer_.stop();
    endResetModel();
}

void ListViewModel::setGatherNewRows(bool gather) {
    gather_ = gather;
    if (gatherTimer_.interval() != kGatherMs) {
        gatherTimer_.setInterval(kGatherMs);
        gatherTimer_.setSingleShot(true);
        connect(&gatherTimer_, &QTimer::timeout, this, &ListViewModel::showGatheredRows);
    }
    if (!gather)
        showGatheredRows();
}

void ListViewModel::showGatheredRows() {
    gatherTimer_.stop();
    if (shown_ >= itemCount())
        return;
    beginInsertRows({}, shown_, itemCount() - 1);
    shown_ = itemCount();
    endInsertRows();
}

void ListViewModel::setImageLists(ImageList* large, ImageList* small) {
    large_ = large;
    small_ = small;
    if (shown_ > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

void ListViewModel::setLargeIcons(bool large) {
    if (largeIcons_ == large)
        return;
    largeIcons_ = large;
    if (shown_ > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

// ---------------------------------------------------------------------------------------------
ListView::ListView(QWidget* parent)
    : QWidget(parent), items_(new ListViewModel(this)), iconView_(new QListView(this)),
      reportView_(new QTreeView(this)), stack_(new QStackedLayout(this)) {
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->addWidget(iconView_);
    stack_->addWidget(reportView_);

    iconView_->setResizeMode(QListView::Adjust);
    iconView_->setUniformItemSizes(true);
    iconView_->setMovement(QListView::Static);
    iconView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    iconView_->setSelectionMode(QAbstractItemView::SingleSelection);
    iconView_->setWordWrap(true);

    reportView_->setRootIsDecorated(false);
    reportView_->setUniformRowHeights(true);
    reportView_->setItemsExpandable(false);
    reportView_->setAllColumnsShowFocus(true);
    reportView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    reportView_->setSelectionMode(QAbstractItemView::SingleSelection);
    reportView_->header()->setStretchLastSection(false);
    reportView_->header()->setSectionsMovable(false);
    reportView_->header()->setMinimumSectionSize(0);

    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(iconView_),
                                 static_cast<QAbstractItemView*>(reportView_)}) {
        v->viewport()->setMouseTracking(true);
        v->viewport()->installEventFilter(this);
        connect(v, &QAbstractItemView::clicked, this,
                [this](const QModelIndex& index) { emit ItemClick(index.row()); });
    }
    attach(items_);
    applyView();
}

void ListView::attach(QAbstractItemModel* model) {
    iconView_->setModel(model);
    reportView_->setModel(model);
    reportView_->setSelectionModel(iconView_->selectionModel());
    // Only the new columns get their widths; a reset gives every column its width again.
    connect(model, &QAbstractItemModel::columnsInserted, this,
            [this](const QModelIndex& parent, int first, int last) {
                if (!parent.isValid())
                    applyColumns(first, last);
            });
    connect(model, &QAbstractItemModel::modelReset, this, qOverload<>(&ListView::applyColumns));
    applyColumns();
}

void ListView::setModel(QAbstractItemModel* model) {
    QAbstractItemModel* old = this->model();
    if (old)
        disconnect(old, nullptr, this, nullptr);
    external_ = model;
    attach(model ? model : items_);
}

QAbstractItemModel* ListView::model() const {
    return external_ ? external_.data() : static_cast<QAbstractItemModel*>(items_);
}

QAbstractItemView* ListView::currentView() const {
    return view_ == Report ? static_cast<QAbstractItemView*>(reportView_)
                           : static_cast<QAbstractItemView*>(iconView_);
}

void ListView::setView(int view) {
    if (view < Icon || view > Report)
        return;
    view_ = view;
    applyView();
}

void ListView::setArrange(int arrange) {
    arrange_ = arrange;
    applyView();
}

void ListView::applyView() {
    items_->setLargeIcons(view_ == Icon);
    const ImageList* list = view_ == Icon ? large_.data() : small_.data();
    const QSize iconSize =
        list ? list->ImageSize() : (view_ == Icon ? QSize(32, 32) : QSize(16, 16));
    switch (view_) {
    case Icon:
        iconView_->setViewMode(QListView::IconMode);
        iconView_->setFlow(QListView::LeftToRight);
        iconView_->setWrapping(true);
        iconView_->setIconSize(iconSize);
        iconView_->setGridSize(QSize(std::max(iconSize.width() + 40, 90), iconSize.height() + 40));
        break;
    case SmallIcon:
        iconView_->setViewMode(QListView::ListMode);
        iconView_->setFlow(QListView::LeftToRight);
        iconView_->setWrapping(true);
        iconView_->setIconSize(iconSize);
        iconView_->setGridSize(QSize(160, iconSize.height() + 6));
        break;
    case List:
        iconView_->setViewMode(QListView::ListMode);
        iconView_->setFlow(QListView::TopToBottom);
        iconView_->setWrapping(true);
        iconView_->setIconSize(iconSize);
        iconView_->setGridSize(QSize(160, iconSize.height() + 6));
        break;
    case Report:
        reportView_->setIconSize(iconSize);
        break;
    }
    iconView_->setMovement(QListView::Static);
    stack_->setCurrentWidget(currentView());
}

int ListView::addColumn(const QString& text, int widthTwips) {
    QStringList headers = items_->headers();
    headers << text;
    widths_.resize(headers.size(), defaultWidth_);
    widths_[headers.size() - 1] = widthTwips;
    items_->setHeaders(headers);
    applyColumns();
    return static_cast<int>(headers.size()) - 1;
}

void ListView::clearColumns() {
    widths_.clear();
    items_->setHeaders({});
    applyColumns();
}

int ListView::columnCount() const {
    return external_ ? external_->columnCount() : static_cast<int>(items_->headers().size());
}

QString ListView::columnText(int column) const {
    return model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

int ListView::columnWidth(int column) const {
    if (column >= 0 && column < static_cast<int>(widths_.size()))
        return widths_[column];
    return column >= 0 && column < reportView_->header()->count() ? defaultWidth_ : 0;
}

void ListView::setColumnWidth(int column, int widthTwips) {
    if (column < 0)
        return;
    if (column >= static_cast<int>(widths_.size()))
        widths_.resize(column + 1, defaultWidth_);
    widths_[column] = widthTwips;
    applyColumns(column, column);
}

void ListView::setDefaultColumnWidth(int widthTwips) {
    if (widthTwips <= 0 || widthTwips == defaultWidth_)
        return;
    defaultWidth_ = widthTwips;
    reportView_->header()->setDefaultSectionSize(qv::twipsToPixels(widthTwips));
    applyColumns();
}

int ListView::widthOf(int column) const {
    return column < static_cast<int>(widths_.size()) ? widths_[column] : defaultWidth_;
}

void ListView::applyColumns() {
    applyColumns(0, model()->columnCount() - 1);
}

// Touches only the columns whose width or hiding differs: each change of the header costs time
// in proportion to its number of sections, which adds up for lists of many thousand columns.
void ListView::applyColumns(int first, int last) {
    QHeaderView* header = reportView_->header();
    last = std::min(last, header->count() - 1);
    for (int c = std::max(first, 0); c <= last; ++c) {
        const int twips = widthOf(c);
        if (reportView_->isColumnHidden(c) != (twips <= 0))
            reportView_->setColumnHidden(c, twips <= 0);
        if (twips > 0 && header->sectionSize(c) != qv::twipsToPixels(twips))
            header->resizeSection(c, qv::twipsToPixels(twips));
    }
}

int ListView::addItem(const QString& text, int icon, int smallIcon, int position) {
    return items_->addRow(text, icon, smallIcon, position);
}

void ListView::setSubItem(int row, int subItem, const QString& text) {
    items_->setText(row, subItem, text);
}

QString ListView::itemText(int row) const {
    return subItem(row, 0);
}

QString ListView::subItem(int row, int sub) const {
    if (model() == items_)
        return items_->text(row, sub);
    return model()->index(row, sub).data().toString();
}

int ListView::itemIcon(int row) const {
    return items_->icon(row);
}

int ListView::itemCount() const {
    return model() == items_ ? items_->itemCount() : model()->rowCount();
}

void ListView::clearItems() {
    items_->clear();
}

int ListView::selectedIndex() const {
    const QModelIndex current = iconView_->selectionModel()->currentIndex();
    const auto selected = iconView_->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return -1;
    return current.isValid() ? current.row() : selected.first().row();
}

void ListView::setSelectedIndex(int row) {
    QItemSelectionModel* sel = iconView_->selectionModel();
    if (row < 0 || row >= itemCount()) {
        sel->clear();
        return;
    }
    if (model() == items_)
        items_->showGatheredRows(); // the views select only rows they know of
    sel->setCurrentIndex(model()->index(row, 0),
                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView::setGatherNewItems(bool gather) {
    items_->setGatherNewRows(gather);
}

void ListView::setIcons(ImageList* list) {
    large_ = list;
    items_->setImageLists(large_, small_);
    applyView();
}

void ListView::setSmallIcons(ImageList* list) {
    small_ = list;
    items_->setImageLists(large_, small_);
    applyView();
}

void ListView::setBackgroundPicture(const QPixmap& picture) {
    background_ = picture;
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(iconView_),
                                 static_cast<QAbstractItemView*>(reportView_)}) {
        QPalette pal = v->viewport()->palette();
        if (picture.isNull())
            pal.setBrush(QPalette::Base, palette().brush(QPalette::Base));
        else
            pal.setBrush(QPalette::Base, QBrush(picture));
        v->viewport()->setPalette(pal);
        v->setPalette(pal);
    }
}

int ListView::hitTest(QPoint point) const {
    QAbstractItemView* v = currentView();
    const QPoint inViewport = v->viewport()->mapFrom(this, point);
    if (!v->viewport()->rect().contains(inViewport))
        return -1;
    const QModelIndex index = v->indexAt(inViewport);
    return index.isValid() ? index.row() : -1;
}

bool ListView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == iconView_->viewport() || watched == reportView_->viewport()) {
        auto* viewport = static_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(event);
            emit MouseMove(me->buttons(), me->modifiers(),
                           viewport->mapTo(this, me->position().toPoint()));
            break;
        }
        case QEvent::MouseButtonRelease:
            emit Click();
            break;
        case QEvent::MouseButtonDblClick:
            emit DblClick();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
