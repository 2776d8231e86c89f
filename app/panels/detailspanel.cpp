#include "app/panels/detailspanel.h"

#include "controls/command/command.h"
#include "ui/shapes.h"

#include <QColor>
#include <QLineEdit>

void DetailsPanel::showFile(const MergeFileRow& row) {
    name_->setText(row.name);
    date_->setText(QStringLiteral("Date: (") + row.date + QLatin1Char(')'));
    storedName_->setText(row.storedName);

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

QString DetailsPanel::storedName() const {
    return storedName_->text();
}

void DetailsPanel::showTemplateChoice(bool hasTemplate) {
    completeMergeButton_->setVisible(hasTemplate);
    templatePicture_->setVisible(hasTemplate);
    picture_->setVisible(!hasTemplate);
}

void DetailsPanel::hideTemplateChoice() {
    completeMergeButton_->hide();
    picture_->hide();
    templatePicture_->hide();
}
