// The main window's panels and the intents the features use to change what the window shows.

#include "app/form2.h"
#include "controls/command/command.h"
#include "platform/twips.h"
#include "ui/animationplayer.h"
#include "ui/listview.h"
#include "ui/shapes.h"

#include <QLineEdit>
#include <QProgressBar>

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

void Form2::setPanelVisible(Panel panel, bool visible) {
    for (QWidget* w : panels_[static_cast<int>(panel)])
        w->setVisible(visible);
}

void Form2::showSettings() {
    hideRecordList();
    setPanelVisible(Panel::Settings, true);
    progress.summary->show(); // the last search's summary
    setPanelVisible(Panel::Details, false);
    hideTemplateChoice();
    frame.headingRule->show();
}

void Form2::showDetails() {
    setPanelVisible(Panel::Settings, false);
    for (QWidget* w :
         {static_cast<QWidget*>(progress.bar), static_cast<QWidget*>(progress.stepText),
          static_cast<QWidget*>(progress.statusText), static_cast<QWidget*>(progress.summary)})
        w->hide();
    setPanelVisible(Panel::Details, true);
    frame.headingRule->show();
}

void Form2::showTemplateChoice(bool hasTemplate) {
    details.completeMergeButton->setVisible(hasTemplate);
    details.templatePicture->setVisible(hasTemplate);
    details.picture->setVisible(!hasTemplate);
}

void Form2::hideTemplateChoice() {
    details.completeMergeButton->hide();
    details.picture->hide();
    details.templatePicture->hide();
}

void Form2::showBrowser() {
    setPanelVisible(Panel::Introduction, false);
    setHeightTwips(browser.files, kBrowserFullHeight);
    browser.files->show();
}

void Form2::showRecordList() {
    setHeightTwips(browser.files, kBrowserShortHeight);
    setHeightTwips(browser.records, kRecordListHeight);
    browser.records->show();
}

void Form2::hideRecordList() {
    if (browser.records->y() == 0)
        shrinkRecordList(); // enlarged over the browser by a double click
    browser.records->hide();
    setHeightTwips(browser.files, kBrowserFullHeight);
}

void Form2::shrinkRecordList() {
    browser.files->show();
    browser.records->setGeometry(
        qv::twipsToPixels(0, kRecordListTop, kRecordListWidth, kRecordListShortHeight));
}

void Form2::beginSearch() {
    setEnabled(false);
    progress.box->show();
    progress.clip->show();
    progress.clip->play();
    progress.summary->setText(QString());
    settings.searchButton->setEnabled(false);
    progress.summary->show();
    progress.stepText->show();
    progress.statusText->show();
    progress.bar->setMinimum(0);
    progress.bar->setValue(0);
    progress.bar->show();
}

void Form2::endSearch(const QString& summary) {
    setPanelVisible(Panel::ProgressGroup, false);
    progress.clip->stop();
    progress.summary->setText(summary);
    settings.searchButton->setEnabled(true);
    setEnabled(true);
}

void Form2::backToSettings() {
    showSettings();
}
