#include "app/panels/progresspanel.h"

#include "app/panels/design.h"
#include "platform/twips.h"
#include "ui/animationplayer.h"
#include "ui/shapes.h"

#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>

using design::Look;

ProgressPanel::ProgressPanel(QWidget* window) : DesignLayer(window) {
    using namespace design;
    box_ = shape(this, "Shape2", {7485, 4875, 4530, 1830});
    // The search's clip, over the box and under the summary.
    clip_ = new qv::AnimationPlayer(this);
    clip_->setObjectName(QStringLiteral("Animation1"));
    clip_->setGeometry(qv::twipsToPixels(7575, 4950, 4230, 735));
    summary_ = captionBox(this, "Text6", {7875, 5130, 3585, 540}, {}, Look::Info);
    bar_ = progressBar(this, "ProgressBar1", {8220, 5775, 3090, 255});
    stepText_ = captionBox(this, "Text7", {7620, 6075, 4170, 285}, {}, Look::Info);
    statusText_ = captionBox(this, "Text8", {7635, 6315, 4200, 360}, {}, Look::Info);
    // Below the designed client area.
    listedFiles_ = listBox(this, "lstremotefiles", {3015, 8205, 1215, 450});
    downloads_ = listBox(this, "List1", {4350, 8355, 1830, 450});

    summary_->setAlignment(Qt::AlignCenter);
    box_->setFillColour(QColor(232, 238, 250));
    box_->setBorderColour(QColor(20, 50, 120));
}

void ProgressPanel::rest(const QString& clipFile) {
    clip_->open(clipFile);
    hideWork();
    summary_->hide();
    updatePointerArea();
}

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
    updatePointerArea();
}

void ProgressPanel::end(const QString& summary) {
    hideWork();
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
    listed_.clear();
}

void ProgressPanel::setListedFiles(const QStringList& names) {
    listed_ = names;
    // In one step: added one by one, each name would lay out the whole list again.
    listedFiles_->clear();
    listedFiles_->addItems(names);
}

void ProgressPanel::addDownloads(const QStringList& names) {
    downloads_->addItems(names);
}

void ProgressPanel::markDownload(int row) {
    downloads_->setCurrentRow(row);
}

void ProgressPanel::hideWork() {
    for (QWidget* w :
         {static_cast<QWidget*>(box_), static_cast<QWidget*>(clip_), static_cast<QWidget*>(bar_),
          static_cast<QWidget*>(stepText_), static_cast<QWidget*>(statusText_)})
        w->hide();
    updatePointerArea();
}

void ProgressPanel::hideLines() {
    for (QWidget* w : {static_cast<QWidget*>(bar_), static_cast<QWidget*>(stepText_),
                       static_cast<QWidget*>(statusText_), static_cast<QWidget*>(summary_)})
        w->hide();
    updatePointerArea();
}

void ProgressPanel::showSummary() {
    summary_->show();
    updatePointerArea();
}
