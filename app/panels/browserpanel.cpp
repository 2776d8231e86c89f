#include "app/panels/browserpanel.h"

#include "app/panels/design.h"
#include "controls/command/command.h"
#include "platform/twips.h"
#include "ui/listview.h"

#include <QPushButton>

namespace {

constexpr int kBrowserFullHeight = 7650; // twips, the browser alone
constexpr int kBrowserShortHeight = 5000;
constexpr int kRecordListHeight = 2640;
constexpr int kRecordListTop = 5010; // where the record list sits below the browser
constexpr int kRecordListWidth = 7380;
constexpr int kRecordListShortHeight = 2610;

void setHeightTwips(QWidget* w, int twips) {
    w->resize(w->width(), qv::twipsToPixels(twips));
}

} // namespace

BrowserPanel::BrowserPanel(QWidget* window) : DesignLayer(window) {
    using namespace design;
    files_ = listView(this, "ListView1", {0, 0, 7380, 5010});
    records_ = listView(this, "lw1", {0, kRecordListTop, kRecordListWidth, kRecordListShortHeight});
    viewButton_ = flatButton(this, "Command8", {9285, 7035, 1065, 420}, QStringLiteral("ListView"));
    // Below the designed client area, never shown.
    loadButton_ = button(this, "Command5", {8130, 7380, 1215, 495}, QStringLiteral("Command5"));
    loadButton_->hide();
    createPictures();

    connect(files_, &ListView::Click, this, [this] { emit mergeFileChosen(selectedMergeFile()); });
    connect(
        files_, &ListView::MouseMove, this,
        [this](Qt::MouseButtons, Qt::KeyboardModifiers, QPoint at) { emit pointerOverFiles(at); });
    connect(records_, &ListView::DblClick, this, &BrowserPanel::recordListResizeRequested);
    connect(records_, &ListView::MouseMove, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, QPoint at) {
                emit pointerOverRecords(at);
            });
    connect(viewButton_, &Command::Click, this, &BrowserPanel::cycleView);
}

// The browser's columns and pictures, the record list's pictures and view.
void BrowserPanel::createPictures() {
    largeIcons_ = new ImageList(QSize(50, 50), this);
    smallIcons_ = new ImageList(QSize(16, 16), this);
    for (const char* file :
         {"icon-blank.png", "icon-word.png", "icon-record.png", "icon-empty.png"}) {
        largeIcons_->Add(design::asset(QStringLiteral("large/") + QLatin1String(file)));
        smallIcons_->Add(design::asset(QStringLiteral("small/") + QLatin1String(file)));
    }

    files_->addColumn(QStringLiteral("File Name"), 2400);
    files_->addColumn(QStringLiteral("Date Transfered"), 2400);
    files_->addColumn(QStringLiteral("Records"), 0);
    files_->addColumn(QStringLiteral("No of records"), 1500);
    files_->setIcons(largeIcons_);
    files_->setSmallIcons(largeIcons_);
    files_->setBackgroundPicture(design::asset(QStringLiteral("browser-background.png")));
    records_->setIcons(smallIcons_);
    records_->setSmallIcons(smallIcons_);
    records_->setView(ListView::Report);
}

void BrowserPanel::arrange() {
    files_->raise();
    files_->setArrange(ListView::kArrangeTop);
}

void BrowserPanel::hideLists() {
    files_->hide();
    records_->hide();
    updatePointerArea();
}

void BrowserPanel::setFullHeight() {
    setHeightTwips(files_, kBrowserFullHeight);
    records_->hide();
    updatePointerArea();
}

int BrowserPanel::addMergeFile(const MergeFileRow& row, int icon) {
    const int r = files_->addItem(row.name, icon, icon);
    files_->setSubItem(r, 1, row.date);
    files_->setSubItem(r, 2, row.storedName);
    files_->setSubItem(r, 3, row.records);
    return r;
}

void BrowserPanel::clearMergeFiles() {
    files_->clearItems();
}

void BrowserPanel::gatherNewEntries(bool gather) {
    files_->setGatherNewItems(gather);
}

std::optional<MergeFileRow> BrowserPanel::selectedMergeFile() const {
    const int row = files_->selectedIndex();
    if (row < 0)
        return std::nullopt;
    return mergeFileAt(row);
}

MergeFileRow BrowserPanel::mergeFileAt(int row) const {
    return {files_->itemText(row), files_->subItem(row, 1), files_->subItem(row, 2),
            files_->subItem(row, 3)};
}

void BrowserPanel::cycleView() {
    switch (files_->View()) {
    case ListView::Icon:
        files_->setView(ListView::List);
        viewButton_->setCaption(QStringLiteral("List"));
        break;
    case ListView::List:
        files_->setView(ListView::Report);
        viewButton_->setCaption(QStringLiteral("Report"));
        break;
    case ListView::Report:
        files_->setView(ListView::Icon);
        viewButton_->setCaption(QStringLiteral("Icon"));
        break;
    default:
        break; // small icons: unchanged
    }
}

int BrowserPanel::fileRowAt(QPoint pixels) const {
    return files_->hitTest(pixels) + 1;
}

int BrowserPanel::recordRowAt(QPoint pixels) const {
    return records_->hitTest(pixels) + 1;
}

bool BrowserPanel::moveHoverTo(int row) {
    if (row == hoverRow_)
        return false;
    hoverRow_ = row;
    return true;
}

bool BrowserPanel::moveRecordHoverTo(int row) {
    if (row == recordHoverRow_)
        return false;
    recordHoverRow_ = row;
    return true;
}

void BrowserPanel::showFilesTip(const QString& title, const QString& text) {
    filesTip_.Title(title);
    filesTip_.TipText(text);
    filesTip_.Create(files_);
}

void BrowserPanel::showFieldNamesTip() {
    fieldNamesTip_.Title(QStringLiteral("Field Names"));
    fieldNamesTip_.Create(records_);
}

QIcon BrowserPanel::recordIcon(int index) const {
    return smallIcons_ ? QIcon(smallIcons_->Image(index)) : QIcon();
}

void BrowserPanel::showFiles() {
    setHeightTwips(files_, kBrowserFullHeight);
    files_->show();
    updatePointerArea();
}

void BrowserPanel::showRecordList() {
    setHeightTwips(files_, kBrowserShortHeight);
    setHeightTwips(records_, kRecordListHeight);
    records_->show();
    updatePointerArea();
}

void BrowserPanel::hideRecordList() {
    if (records_->y() == 0)
        shrinkRecordList(); // enlarged over the browser by a double click
    records_->hide();
    setHeightTwips(files_, kBrowserFullHeight);
    updatePointerArea();
}

void BrowserPanel::shrinkRecordList() {
    files_->show();
    records_->setGeometry(
        qv::twipsToPixels(0, kRecordListTop, kRecordListWidth, kRecordListShortHeight));
    updatePointerArea();
}

void BrowserPanel::toggleRecordListSize(QSize windowFrame) {
    const int top = qv::pixelsToTwips(records_->y());
    if (top == 0) {
        shrinkRecordList();
        return;
    }
    if (top < 0)
        return;
    files_->hide();
    records_->resize(records_->width(),
                     qv::twipsToPixels(qv::pixelsToTwips(windowFrame.height()) - 500));
    records_->move(records_->x(), 0);
    const int width = qv::pixelsToTwips(windowFrame.width()) - 100;
    records_->resize(qv::twipsToPixels(width), records_->height());
    records_->move(0, records_->y());
    updatePointerArea();
}

const QWidget* BrowserPanel::guidanceAnchor() const {
    return files_;
}
