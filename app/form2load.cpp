#include "app/actions/letters.h"
#include "app/fieldhints.h"
#include "app/form2.h"
#include "app/guidance.h"
#include "controls/command/command.h"
#include "platform/osversion.h"
#include "platform/programfolder.h"
#include "platform/twips.h"
#include "settings/inifile.h"
#include "ui/animationplayer.h"
#include "ui/listview.h"
#include "ui/shapes.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

// The main window's load step: what the window does once its controls exist, in this order.

void Form2::runLoadStep() {
    rescaleForm(*this); // the scaler records the design before anything changes
    loadNameWindowsVersion();
    loadHideProgressFrame();
    loadTitle();
    loadButtonCaptions();
    loadHideDetailsPanel();
    loadBrowserSize();
    createTooltips(*this);
    loadMakeFolders();
    loadHideProgressBar();
    loadFlatButtons();
    loadSettings();
    qv::guidance::armGuidanceAtLoad(*this); // the first guidance balloon
    loadIntroductionTexts();
    loadHideLists();
    loadAboutText();
    installLetterMenu(*this); // the letters' outputs beside Complete Merge
}

void Form2::loadNameWindowsVersion() {
    settings.windowsVersion_->setText(OSVersionName());
    settings.windowsVersion_->setCursorPosition(0);
    settings.windowsVersion_->show();
    progress.stepText_->hide();
    progress.statusText_->hide();
}

void Form2::loadHideProgressFrame() {
    progress.clip_->open(qv::programPath(QStringLiteral("Download.avi")));
    progress.clip_->hide();
    progress.box_->hide();
}

void Form2::loadTitle() {
    setWindowTitle(QStringLiteral("Quorvane Version ") + programVersion());
}

void Form2::loadButtonCaptions() {
    settings.searchButton_->setCaption(QStringLiteral("Search"));
    details.backButton_->setCaption(QStringLiteral("Back"));
    details.newDocumentButton_->setCaption(QStringLiteral("Create a New Document"));
    details.newDocumentButton_->setToolTip(QStringLiteral("Create New Word Document"));
    details.completeMergeButton_->setCaption(QStringLiteral("Complete Merge"));
    details.completeMergeButton_->setToolTip(QStringLiteral("Create New Word Document"));
    details.spreadsheetButton_->setCaption(QStringLiteral("Export to Microsoft Excel"));
    details.spreadsheetButton_->setToolTip(QStringLiteral("Export to MicroSoft Excel"));
    details.htmlButton_->setCaption(QStringLiteral("Export to HTML Document"));
    details.htmlButton_->setToolTip(QStringLiteral("Export to HTML Document"));
}

void Form2::loadHideDetailsPanel() {
    setPanelVisible(Panel::Details, false);
    details.hideTemplateChoice();
    frame.headingRule_->show();
    progress.summary_->hide();
    frame.commandStatus_->hide();
}

void Form2::loadBrowserSize() {
    browser.files_->resize(browser.files_->width(), qv::twipsToPixels(7650));
    browser.records_->hide();
}

void Form2::loadMakeFolders() {
    // A folder that cannot be made is left to the actions that need it.
    for (const char* name : {"data", "Word"}) {
        const QString path = qv::programPath(QString::fromLatin1(name));
        if (!QFileInfo::exists(path))
            QDir().mkpath(path);
    }
}

void Form2::loadHideProgressBar() {
    progress.bar_->hide();
}

void Form2::loadFlatButtons() {
    initialiseFlatButtons(this);
}

void Form2::loadSettings() {
    // A settings file that cannot be read or created leaves the fields empty.
    const QString path = settingsPath();
    const QString section = QStringLiteral("Default");
    settings.address_->setText(qv::INIread(path, section, QStringLiteral("Ipaddress")));
    settings.login_->setText(qv::INIread(path, section, QStringLiteral("Login")));
    settings.password_->setText(qv::INIread(path, section, QStringLiteral("Password")));
}

void Form2::loadIntroductionTexts() {
    introduction.title_->setText(QStringLiteral("Quorvane"));
    introduction.version_->setText(QStringLiteral("Version ") + programVersion());
    frame.cornerVersion_->setText(programVersion());
}

void Form2::loadHideLists() {
    browser.files_->hide();
    browser.records_->hide();
}

void Form2::loadAboutText() {
    introduction.about_->setText(
        QStringLiteral("Quorvane Version ") + programVersion() +
        QStringLiteral(" the exciting new Mailmerge Companion program for Microsoft "
                       "Word and Microsoft Excel. Runs on Windows XP, Microsoft Word "
                       "2000 onwards. Easy to Install and Setup, clear screens enable "
                       "you to Connect to your Database Server and transfer Data files "
                       "to Quorvane. Any Problems or Suggestions Email "
                       "support@quorvane.example"));
}
