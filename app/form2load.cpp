#include "app/actions/letters.h"
#include "app/actions/passwordstore.h"
#include "app/fieldhints.h"
#include "app/form2.h"
#include "app/guidance.h"
#include "platform/osversion.h"
#include "platform/programfolder.h"
#include "settings/inifile.h"
#include "settings/settingsfile.h"
#include "ui/dialogs.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A folder that cannot be made is left to the actions that need it.
void makeFolders() {
    for (const char* name : {"data", "Word"}) {
        const QString path = qv::programPath(QString::fromLatin1(name));
        if (!QFileInfo::exists(path))
            QDir().mkpath(path);
    }
}

// The fields the settings file keeps. A file that cannot be read or created leaves them empty;
// so does one far larger than settings take, which is not read: the operator is told why.
qv::ConnectionFields savedFields(QWidget* window, const QString& path) {
    if (const QString tooLarge = qv::settingsfile::sizeProblem(path); !tooLarge.isEmpty()) {
        qv::dialogs().message(window, tooLarge, QStringLiteral("Quorvane"));
        return {};
    }
    const QString section = QStringLiteral("Default");
    return {qv::INIread(path, section, QStringLiteral("Ipaddress")),
            qv::INIread(path, section, QStringLiteral("Login")),
            qv::INIread(path, section, QStringLiteral("Password"))};
}

} // namespace

// The main window's load step: what the window does once its panels exist, in this order.
void Form2::runLoadStep() {
    rescaleForm(*this); // the scaler records the design before anything changes
    settings.showSystemName(OSVersionName());
    progress.rest(qv::programPath(QStringLiteral("Download.avi")));
    setWindowTitle(QStringLiteral("Quorvane Version ") + programVersion());
    details.setContentVisible(false);
    details.hideTemplateChoice();
    details.hideCommandStatus();
    frame.showHeadingRule();
    browser.setFullHeight();
    createTooltips(*this);
    makeFolders();
    for (QWidget* panel : findChildren<qv::DesignLayer*>(Qt::FindDirectChildrenOnly))
        initialiseFlatButtons(panel);
    settings.showCredentials(savedFields(this, settingsPath()));
    loadPasswordFromKeyring(*this);
    qv::guidance::armGuidanceAtLoad(*this); // the first guidance balloon
    introduction.showVersion(programVersion());
    frame.showVersion(programVersion());
    browser.hideLists();
    installLetterMenu(*this); // the letters' outputs beside Complete Merge
}
