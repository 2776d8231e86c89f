#include "app/panels/detailspanel.h"

#include "app/panels/design.h"
#include "controls/command/command.h"
#include "ui/elidingtextbox.h"
#include "ui/shapes.h"

#include <QColor>
#include <QLineEdit>

using design::Look;

DetailsPanel::DetailsPanel(QWidget* window) : DesignLayer(window) {
    using namespace design;
    lowerRule_ = line(this, "Line1", {7800, 5880}, {11490, 5880});
    upperRule_ = line(this, "Line2", {7800, 3675}, {11490, 3675});
    picture_ = picture(this, "Image1", {7800, 1080, 825, 810}, "mergefile.png");
    templatePicture_ = picture(this, "Image5", {7800, 1080, 825, 780}, "mergefile-template.png");
    name_ = elidingCaptionBox(this, "Text1", {8700, 1290, 3060, 450}, Look::Heading);
    date_ = captionBox(this, "Text2", {7920, 2040, 3885, 360}, {}, Look::Caption);
    size_ = captionBox(this, "Text9", {7920, 2430, 3885, 360}, {}, Look::Caption);
    path_ = elidingCaptionBox(this, "Text13", {7920, 2820, 3885, 360}, Look::Caption);
    records_ = captionBox(this, "Text17", {7920, 3210, 3885, 360}, {}, Look::Caption);
    const QString command = QStringLiteral("Command");
    newDocumentButton_ = flatButton(this, "Command3", {8115, 3840, 3165, 375}, command);
    completeMergeButton_ = flatButton(this, "Command4", {8115, 4320, 3165, 375}, command);
    spreadsheetButton_ = flatButton(this, "Command7", {8115, 4785, 3165, 375}, command);
    htmlButton_ = flatButton(this, "Command11", {8115, 5265, 3165, 375}, command);
    deleteButton_ = flatButton(this, "Command10", {8115, 6105, 3165, 375}, command);
    commandStatus_ = captionBox(this, "Text15", {7455, 5265, 4575, 975}, {}, Look::Info);
    backButton_ = flatButton(this, "Command2", {10380, 7035, 1065, 420}, command);
    setCaptions();

    connect(newDocumentButton_, &Command::Click, this, &DetailsPanel::newDocumentRequested);
    connect(completeMergeButton_, &Command::Click, this, &DetailsPanel::completeMergeRequested);
    connect(spreadsheetButton_, &Command::Click, this,
            [this] { emit exportRequested(ExportKind::Spreadsheet); });
    connect(htmlButton_, &Command::Click, this, [this] { emit exportRequested(ExportKind::Html); });
    connect(deleteButton_, &Command::Click, this, &DetailsPanel::deleteRequested);
    connect(backButton_, &Command::Click, this, &DetailsPanel::backRequested);
}

void DetailsPanel::setCaptions() {
    backButton_->setCaption(QStringLiteral("Back"));
    newDocumentButton_->setCaption(QStringLiteral("Create a New Document"));
    newDocumentButton_->setToolTip(QStringLiteral("Create New Word Document"));
    completeMergeButton_->setCaption(QStringLiteral("Complete Merge"));
    completeMergeButton_->setToolTip(QStringLiteral("Create New Word Document"));
    spreadsheetButton_->setCaption(QStringLiteral("Export to Microsoft Excel"));
    spreadsheetButton_->setToolTip(QStringLiteral("Export to MicroSoft Excel"));
    htmlButton_->setCaption(QStringLiteral("Export to HTML Document"));
    htmlButton_->setToolTip(QStringLiteral("Export to HTML Document"));
}

void DetailsPanel::showFile(const MergeFileRow& row) {
    file_ = row;
    name_->setText(row.name);
    date_->setText(QStringLiteral("Date: (") + row.date + QLatin1Char(')'));

    deleteButton_->setToolTip(QStringLiteral("Delete ") + row.name);
    deleteButton_->setCaption(QStringLiteral("Delete ") + row.name +
                              QStringLiteral(" from Server"));
    deleteButton_->setFontColour(QColor(255, 0, 0));
}

void DetailsPanel::showCopy(const QString& path, const QString& size, const QString& records) {
    size_->setText(QStringLiteral("Size: ") + size);
    path_->setText(QStringLiteral("Path: ") + path);
    records_->setText(QStringLiteral("Total Records: ") + records);
}

QString DetailsPanel::fileName() const {
    return name_->text();
}

void DetailsPanel::showTemplateChoice(bool hasTemplate) {
    completeMergeButton_->setVisible(hasTemplate);
    templatePicture_->setVisible(hasTemplate);
    picture_->setVisible(!hasTemplate);
    updatePointerArea();
}

void DetailsPanel::hideTemplateChoice() {
    completeMergeButton_->hide();
    picture_->hide();
    templatePicture_->hide();
    updatePointerArea();
}

void DetailsPanel::setContentVisible(bool visible) {
    for (QWidget* w :
         {static_cast<QWidget*>(lowerRule_), static_cast<QWidget*>(upperRule_),
          static_cast<QWidget*>(name_), static_cast<QWidget*>(date_), static_cast<QWidget*>(size_),
          static_cast<QWidget*>(path_), static_cast<QWidget*>(records_),
          static_cast<QWidget*>(newDocumentButton_), static_cast<QWidget*>(spreadsheetButton_),
          static_cast<QWidget*>(htmlButton_), static_cast<QWidget*>(deleteButton_),
          static_cast<QWidget*>(backButton_)})
        w->setVisible(visible);
    updatePointerArea();
}

void DetailsPanel::showCommandStatus(const QString& text) {
    commandStatus_->setText(text);
    commandStatus_->show();
    updatePointerArea();
    commandStatus_->repaint();
}

void DetailsPanel::hideCommandStatus() {
    commandStatus_->hide();
    updatePointerArea();
}

const QWidget* DetailsPanel::commandStatusAnchor() const {
    return commandStatus_;
}
