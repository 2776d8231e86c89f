#pragma once

#include "app/panels/mergefilerow.h"

#include <QString>

class Command;
class LineShape;
class PictureBox;
class QLineEdit;

// The selected merge file: its texts and pictures, the commands that act on it and its record
// count as the browser listed it.
class DetailsPanel {
public:
    // The browser entry's name, date and stored name; the delete command names the file.
    void showFile(const MergeFileRow& row);
    // Where its copy is, how big it is and how many records the browser counted.
    void showCopy(const QString& path, const QString& size, const QString& records);

    QString fileName() const;   // the name the operator sees
    QString storedName() const; // the name it was downloaded under, from its browser entry
    int recordCount() const { return recordCount_; }
    void setRecordCount(int count) { recordCount_ = count; }

    // Complete Merge and the picture of a template when the file has one, else the plain picture.
    void showTemplateChoice(bool hasTemplate);
    void hideTemplateChoice();

private:
    friend class Form2;
    friend struct Form2Design;
    friend struct Form2Routes;

    QLineEdit* name_ = nullptr;
    QLineEdit* date_ = nullptr;
    QLineEdit* size_ = nullptr;
    QLineEdit* path_ = nullptr;
    QLineEdit* records_ = nullptr;
    QLineEdit* storedName_ = nullptr;
    PictureBox* picture_ = nullptr;
    PictureBox* templatePicture_ = nullptr;
    LineShape* upperRule_ = nullptr;
    LineShape* lowerRule_ = nullptr;
    Command* newDocumentButton_ = nullptr;
    Command* completeMergeButton_ = nullptr;
    Command* spreadsheetButton_ = nullptr;
    Command* htmlButton_ = nullptr;
    Command* deleteButton_ = nullptr;
    Command* backButton_ = nullptr;
    int recordCount_ = 0;
};
