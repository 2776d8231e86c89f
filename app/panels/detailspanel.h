#pragma once

#include "app/panels/mergefilerow.h"
#include "ui/designlayer.h"

#include <QString>

class Command;
class LineShape;
class PictureBox;
class QLineEdit;
namespace qv {
class ElidingTextBox;
}

// What an export writes the selected merge file's records to.
enum class ExportKind { Spreadsheet, Html };

// The selected merge file: its texts and pictures, the commands that act on it with their status,
// and its record count as the browser listed it.
class DetailsPanel : public qv::DesignLayer {
    Q_OBJECT
public:
    explicit DetailsPanel(QWidget* window);

    // The browser entry's name, date and stored name; the delete command names the file.
    void showFile(const MergeFileRow& row);
    // Where its copy is, how big it is and how many records the browser counted.
    void showCopy(const QString& path, const QString& size, const QString& records);

    QString fileName() const; // the name the operator sees
    // The name it was downloaded under, from its browser entry.
    QString storedName() const { return file_.storedName; }
    int recordCount() const { return recordCount_; }
    void setRecordCount(int count) { recordCount_ = count; }

    // Complete Merge and the picture of a template when the file has one, else the plain picture.
    void showTemplateChoice(bool hasTemplate);
    void hideTemplateChoice();
    // The texts, rules and commands (not the template choice nor the status).
    void setContentVisible(bool visible);

    // The status of a Word command, painted at once (the command runs before the next repaint).
    void showCommandStatus(const QString& text);
    void hideCommandStatus();

    // Where the first guidance balloon points: the status area of the Word commands. A balloon
    // is placed over a control, so this one control is handed out as a widget.
    const QWidget* commandStatusAnchor() const;

signals:
    void newDocumentRequested();   // "Create a New Document"
    void completeMergeRequested(); // "Complete Merge"
    void exportRequested(ExportKind kind);
    void deleteRequested(); // the file deleted on the server
    void backRequested();   // back to the settings

private:
    void setCaptions();

    LineShape* lowerRule_;
    LineShape* upperRule_;
    PictureBox* picture_;
    PictureBox* templatePicture_;
    qv::ElidingTextBox* name_;
    QLineEdit* date_;
    QLineEdit* size_;
    qv::ElidingTextBox* path_;
    QLineEdit* records_;
    Command* newDocumentButton_;
    Command* completeMergeButton_;
    Command* spreadsheetButton_;
    Command* htmlButton_;
    Command* deleteButton_;
    QLineEdit* commandStatus_;
    Command* backButton_;
    MergeFileRow file_; // the entry shown
    int recordCount_ = 0;
};
