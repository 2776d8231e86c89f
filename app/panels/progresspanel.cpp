#include "app/panels/progresspanel.h"

#include "ui/animationplayer.h"
#include "ui/shapes.h"

#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>

void ProgressPanel::begin() {
    box_->show();
    clip_->show();
    clip_->play();
    summary_->setText(QString());
    summary_->show();
    stepText_->show();
    statusText_->show();
    bar_->setMinimum(0);
    bar_->setValue(0);
    bar_->show();
}

void ProgressPanel::end(const QString& summary) {
    clip_->stop();
    summary_->setText(summary);
}

void ProgressPanel::setStep(const QString& text) {
    stepText_->setText(text);
}

void ProgressPanel::setStatus(const QString& text) {
    statusText_->setText(text);
}

void ProgressPanel::setSummary(const QString& text) {
    summary_->setText(text);
}

void ProgressPanel::stopClip() {
    clip_->stop();
}

void ProgressPanel::countTo(int maximum) {
    bar_->setMaximum(maximum);
}

void ProgressPanel::advance() {
    bar_->setValue(bar_->value() + 1);
}

void ProgressPanel::clearLists() {
    downloads_->clear();
    listedFiles_->clear();
}

void ProgressPanel::setListedFiles(const QStringList& names) {
    // In one step: added one by one, each name would lay out the whole list again.
    listedFiles_->clear();
    listedFiles_->addItems(names);
}

QStringList ProgressPanel::listedFiles() const {
    QStringList names;
    names.reserve(listedFiles_->count());
    for (int i = 0; i < listedFiles_->count(); ++i)
        names << listedFiles_->item(i)->text();
    return names;
}

void ProgressPanel::addDownloads(const QStringList& names) {
    downloads_->addItems(names);
}

void ProgressPanel::markDownload(int row) {
    downloads_->setCurrentRow(row);
}

void ProgressPanel::hideLines() {
    for (QWidget* w : {static_cast<QWidget*>(bar_), static_cast<QWidget*>(stepText_),
                       static_cast<QWidget*>(statusText_), static_cast<QWidget*>(summary_)})
        w->hide();
}

void ProgressPanel::showSummary() {
    summary_->show();
}
