#include "app/fieldhints.h"

#include "app/form2.h"
#include "ui/tooltip.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The title and text of each hint.
struct HintText {
    QString title;
    QString text;
};

HintText hintText(SettingsPanel::Hint hint) {
    switch (hint) {
    case SettingsPanel::Hint::Address:
        return {QStringLiteral("IP Address"),
                QStringLiteral("Key in IP Address of Norrevan Server") + kCrLf +
                    QStringLiteral("e.g. ") + QString::fromLatin1(kExampleAddress) + kCrLf};
    case SettingsPanel::Hint::Login:
        return {QStringLiteral("Login"),
                QStringLiteral("Key in Login Name, usually 'root'") + kCrLf};
    case SettingsPanel::Hint::Password:
        return {QStringLiteral("Password"), QStringLiteral("Key in root Password") + kCrLf};
    case SettingsPanel::Hint::Search:
        break;
    }
    return {
        QStringLiteral("Search Norrevan Server"),
        QStringLiteral("Click on Search Button to Download all Merge files on Norrevan Server") +
            kCrLf};
}

// The tooltips' shapes and icon (their property values) and how long the pointer rests first.
constexpr int kBalloonStyle = 1;
constexpr int kRectangleStyle = 0;
constexpr int kInformationIcon = 1;
constexpr int kTipDelayMs = 100;

void setUp(BalloonTooltip& tip, int style) {
    tip.Style(style);
    tip.Icon(kInformationIcon);
    tip.DelayTime(kTipDelayMs);
}

} // namespace

void createTooltips(Form2& form) {
    setUp(form.browser.filesTip(), kBalloonStyle);
    setUp(form.browser.fieldNamesTip(), kRectangleStyle);
    for (const SettingsPanel::Hint hint : SettingsPanel::kHints)
        setUp(form.settings.hintTip(hint), kBalloonStyle);
}

void attachFieldHint(Form2& form, SettingsPanel::Hint hint) {
    const HintText shown = hintText(hint);
    form.settings.showHintOnce(hint, shown.title, shown.text);
}
