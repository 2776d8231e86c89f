// The intents that change what the main window shows across its panels.

#include "app/form2.h"

void Form2::showSettings() {
    browser.hideRecordList();
    settings.setContentVisible(true);
    progress.showSummary(); // the last search's summary
    details.setContentVisible(false);
    details.hideTemplateChoice();
    frame.showHeadingRule();
}

void Form2::showDetails() {
    settings.setContentVisible(false);
    progress.hideLines();
    details.setContentVisible(true);
    frame.showHeadingRule();
}

void Form2::showBrowser() {
    introduction.setContentVisible(false);
    browser.showFiles();
}

void Form2::beginSearch() {
    setEnabled(false);
    progress.begin();
    settings.setSearchEnabled(false);
}

void Form2::endSearch(const QString& summary) {
    progress.end(summary);
    settings.setSearchEnabled(true);
    setEnabled(true);
}

void Form2::backToSettings() {
    showSettings();
}
