#pragma once

#include "app/panels/mergefilerow.h"
#include "ui/designlayer.h"
#include "ui/tooltip.h"

#include <QIcon>
#include <QPoint>
#include <QSize>
#include <QString>
#include <optional>

class Command;
class ImageList;
class ListView;
class QPushButton;

// The merge-file browser on the left, the record list below it, their pictures and what the
// pointer hovers over. The top layer of the window.
class BrowserPanel : public qv::DesignLayer {
    Q_OBJECT
public:
    explicit BrowserPanel(QWidget* window);

    // --- The browser's entries ------------------------------------------------------------------
    int addMergeFile(const MergeFileRow& row, int icon); // the new entry's row, from 0
    void clearMergeFiles();
    // New entries reach the view together, a few dozen times a second, while gathering.
    void gatherNewEntries(bool gather);
    std::optional<MergeFileRow> selectedMergeFile() const; // none without a selection
    MergeFileRow mergeFileAt(int row) const;               // row from 0
    void cycleView(); // icon -> list -> report -> icon; the view button names the new view

    // --- Where the pointer is -------------------------------------------------------------------
    // The row (from 1) of the browser or the record list under a point in pixels, 0 for none.
    int fileRowAt(QPoint pixels) const;
    int recordRowAt(QPoint pixels) const;
    // The pointer moved over row (from 1, 0 for none): false when it was over that row already.
    bool moveHoverTo(int row);
    bool moveRecordHoverTo(int row);
    int hoverRow() const { return hoverRow_; }
    int recordHoverRow() const { return recordHoverRow_; }

    // The balloon over the browser (naming the entry under the pointer) and the "Field Names"
    // one over the record list.
    BalloonTooltip& filesTip() { return filesTip_; }
    BalloonTooltip& fieldNamesTip() { return fieldNamesTip_; }
    void showFilesTip(const QString& title, const QString& text);
    void showFieldNamesTip();

    // --- The record list ------------------------------------------------------------------------
    // The record viewer fills the list through a model of its own: it is handed the list for that
    // (and the exports select the row being exported).
    ListView& recordList() { return *records_; }
    QIcon recordIcon(int index) const; // a picture of the record list's rows

    void arrange();       // the browser on top, its icons arranged
    void hideLists();     // before the first search
    void showFiles();     // the browser at its full height
    void setFullHeight(); // the browser at its full height, the record list hidden
    void showRecordList();
    void hideRecordList();
    void shrinkRecordList(); // an enlarged record list back below the browser
    // Between the record list's place below the browser and nearly the whole window, whose frame
    // (in pixels) is given.
    void toggleRecordListSize(QSize windowFrame);

    // Where the "select a file" guidance balloon points: the browser. A balloon is placed over a
    // control, so this one control is handed out as a widget.
    const QWidget* guidanceAnchor() const;

signals:
    // The operator clicked the browser: the entry chosen, none when the click chose nothing.
    void mergeFileChosen(const std::optional<MergeFileRow>& row);
    // A double click on the record list: between its place and nearly the whole window.
    void recordListResizeRequested();
    // The pointer moved over the browser or the record list (a point in pixels of the list).
    void pointerOverFiles(QPoint pixels);
    void pointerOverRecords(QPoint pixels);

private:
    void createPictures();

    ListView* files_;
    ListView* records_;
    Command* viewButton_;
    QPushButton* loadButton_;
    ImageList* largeIcons_;
    ImageList* smallIcons_;
    int hoverRow_ = 0;
    int recordHoverRow_ = 0;
    BalloonTooltip filesTip_;
    BalloonTooltip fieldNamesTip_;
};
