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

void Form2::Load() {
    RescaleForm(*this); // the scaler records the design before anything changes
    loadNameWindowsVersion();
    loadHideProgressFrame();
    loadTitle();
    loadButtonCaptions();
    loadHideDetailsPanel();
    loadBrowserSize();
    CreateTooltips(*this);
    loadMakeFolders();
    loadHideProgressBar();
    loadInitialiseButtons();
    loadSettings();
    qv::guidance::ArmGuidanceAtLoad(*this); // the first guidance balloon
    loadIntroductionTexts();
    loadHideLists();
    loadAboutText();
}

void Form2::loadNameWindowsVersion() {
    Text44->setText(OSVersionName());
    Text44->setCursorPosition(0);
    Text44->show();
    Text7->hide();
    Text8->hide();
}

void Form2::loadHideProgressFrame() {
    Animation1->open(qv::programPath(QStringLiteral("Download.avi")));
    Animation1->hide();
    Shape2->hide();
}

void Form2::loadTitle() {
    setWindowTitle(QStringLiteral("Quorvane Version ") + programVersion());
}

void Form2::loadButtonCaptions() {
    Command1->setCaption(QStringLiteral("Search"));
    Command2->setCaption(QStringLiteral("Back"));
    Command3->setCaption(QStringLiteral("Create a New Document"));
    Command3->setToolTip(QStringLiteral("Create New Word Document"));
    Command4->setCaption(QStringLiteral("Complete Merge"));
    Command4->setToolTip(QStringLiteral("Create New Word Document"));
    Command7->setCaption(QStringLiteral("Export to Microsoft Excel"));
    Command7->setToolTip(QStringLiteral("Export to MicroSoft Excel"));
    Command11->setCaption(QStringLiteral("Export to HTML Document"));
    Command11->setToolTip(QStringLiteral("Export to HTML Document"));
}

void Form2::loadHideDetailsPanel() {
    setPanelVisible(Panel::Details, false);
    hideTemplateChoice();
    Line4->show();
    Text6->hide();
    Text15->hide();
}

void Form2::loadBrowserSize() {
    ListView1->resize(ListView1->width(), qv::twipsToPixels(7650));
    lw1->hide();
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
    ProgressBar1->hide();
}

void Form2::loadInitialiseButtons() {
    bool initialise = true;
    bool enabled = true;
    InitialiseButtons(this, initialise, enabled);
}

void Form2::loadSettings() {
    // A settings file that cannot be read or created leaves the fields empty.
    const QString path = settingsPath();
    const QString section = QStringLiteral("Default");
    Text10->setText(qv::INIread(path, section, QStringLiteral("Ipaddress")));
    Text11->setText(qv::INIread(path, section, QStringLiteral("Login")));
    Text12->setText(qv::INIread(path, section, QStringLiteral("Password")));
}

void Form2::loadIntroductionTexts() {
    Label2->setText(QStringLiteral("Quorvane"));
    Label4->setText(QStringLiteral("Version ") + programVersion());
    Label8->setText(programVersion());
}

void Form2::loadHideLists() {
    ListView1->hide();
    lw1->hide();
}

void Form2::loadAboutText() {
    Label6->setText(QStringLiteral("Quorvane Version ") + programVersion() +
                    QStringLiteral(" the exciting new Mailmerge Companion program for Microsoft "
                                   "Word and Microsoft Excel. Runs on Windows XP, Microsoft Word "
                                   "2000 onwards. Easy to Install and Setup, clear screens enable "
                                   "you to Connect to your Database Server and transfer Data files "
                                   "to Quorvane. Any Problems or Suggestions Email "
                                   "support@quorvane.example"));
}
