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
    Text6->show(); // the last search's summary
    setPanelVisible(Panel::Details, false);
    hideTemplateChoice();
    Line4->show();
}

void Form2::showDetails() {
    setPanelVisible(Panel::Settings, false);
    for (QWidget* w : {static_cast<QWidget*>(ProgressBar1), static_cast<QWidget*>(Text7),
                       static_cast<QWidget*>(Text8), static_cast<QWidget*>(Text6)})
        w->hide();
    setPanelVisible(Panel::Details, true);
    Line4->show();
}

void Form2::showTemplateChoice(bool hasTemplate) {
    Command4->setVisible(hasTemplate);
    Image5->setVisible(hasTemplate);
    Image1->setVisible(!hasTemplate);
}

void Form2::hideTemplateChoice() {
    Command4->hide();
    Image1->hide();
    Image5->hide();
}

void Form2::showBrowser() {
    setPanelVisible(Panel::Introduction, false);
    setHeightTwips(ListView1, kBrowserFullHeight);
    ListView1->show();
}

void Form2::showRecordList() {
    setHeightTwips(ListView1, kBrowserShortHeight);
    setHeightTwips(lw1, kRecordListHeight);
    lw1->show();
}

void Form2::hideRecordList() {
    if (lw1->y() == 0)
        shrinkRecordList(); // enlarged over the browser by a double click
    lw1->hide();
    setHeightTwips(ListView1, kBrowserFullHeight);
}

void Form2::shrinkRecordList() {
    ListView1->show();
    lw1->setGeometry(
        qv::twipsToPixels(0, kRecordListTop, kRecordListWidth, kRecordListShortHeight));
}

void Form2::beginSearch() {
    setEnabled(false);
    Shape2->show();
    Animation1->show();
    Animation1->play();
    Text6->setText(QString());
    Command1->setEnabled(false);
    Text6->show();
    Text7->show();
    Text8->show();
    ProgressBar1->setMinimum(0);
    ProgressBar1->setValue(0);
    ProgressBar1->show();
}

void Form2::endSearch(const QString& summary) {
    setPanelVisible(Panel::ProgressGroup, false);
    Animation1->stop();
    Text6->setText(summary);
    Command1->setEnabled(true);
    setEnabled(true);
}

void Form2::GoBack() {
    showSettings();
}
