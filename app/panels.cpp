// The main window's panel groups and the intents the features use to change what the window
// shows.

#include "app/form2.h"

void Form2::setPanelVisible(Panel panel, bool visible) {
    for (QWidget* w : panels_[static_cast<int>(panel)])
        w->setVisible(visible);
}

void Form2::showSettings() {
    browser.hideRecordList();
    setPanelVisible(Panel::Settings, true);
    progress.showSummary(); // the last search's summary
    setPanelVisible(Panel::Details, false);
    details.hideTemplateChoice();
    frame.showHeadingRule();
}

void Form2::showDetails() {
    setPanelVisible(Panel::Settings, false);
    progress.hideLines();
    setPanelVisible(Panel::Details, true);
    frame.showHeadingRule();
}

void Form2::showBrowser() {
    setPanelVisible(Panel::Introduction, false);
    browser.showFiles();
}

void Form2::beginSearch() {
    setEnabled(false);
    progress.begin();
    settings.setSearchEnabled(false);
}

void Form2::endSearch(const QString& summary) {
    setPanelVisible(Panel::ProgressGroup, false);
    progress.end(summary);
    settings.setSearchEnabled(true);
    setEnabled(true);
}

void Form2::backToSettings() {
    showSettings();
}
