#include "app/panels/settingspanel.h"

#include "controls/command/command.h"

#include <QCheckBox>
#include <QLineEdit>

qv::ConnectionFields SettingsPanel::credentials() const {
    return {address_->text(), login_->text(), password_->text()};
}

void SettingsPanel::setSearchEnabled(bool enabled) {
    searchButton_->setEnabled(enabled);
}

bool SettingsPanel::passwordInKeyring() const {
    return keyringChoice_->isChecked();
}

void SettingsPanel::setPasswordInKeyring(bool inKeyring) {
    keyringChoice_->setChecked(inKeyring);
}

void SettingsPanel::setPassword(const QString& password) {
    password_->setText(password);
}

bool SettingsPanel::noteKeyringProblemOnce() {
    const bool first = !keyringProblemSaid_;
    keyringProblemSaid_ = true;
    return first;
}

SettingsPanel::HintPlace SettingsPanel::place(Hint hint) {
    switch (hint) {
    case Hint::Address:
        return {&SettingsPanel::address_, &SettingsPanel::addressTip_,
                &SettingsPanel::addressHintShown_};
    case Hint::Login:
        return {&SettingsPanel::login_, &SettingsPanel::loginTip_, &SettingsPanel::loginHintShown_};
    case Hint::Password:
        return {&SettingsPanel::password_, &SettingsPanel::passwordTip_,
                &SettingsPanel::passwordHintShown_};
    case Hint::Search:
        break;
    }
    return {&SettingsPanel::searchHintArea_, &SettingsPanel::searchTip_,
            &SettingsPanel::searchHintShown_};
}

BalloonTooltip& SettingsPanel::hintTip(Hint hint) {
    return this->*place(hint).tip;
}

bool SettingsPanel::hintShown(Hint hint) const {
    return this->*place(hint).shown;
}

bool SettingsPanel::showHintOnce(Hint hint, const QString& title, const QString& text) {
    const HintPlace p = place(hint);
    if (this->*p.shown)
        return false;
    this->*p.shown = true;
    BalloonTooltip& tip = this->*p.tip;
    tip.Title(title);
    tip.TipText(text);
    tip.Create(this->*p.field);
    return true;
}

QList<QLineEdit*> SettingsPanel::inputFields() const {
    return {address_, login_, password_};
}

const QWidget* SettingsPanel::addressAnchor() const {
    return address_;
}

const QWidget* SettingsPanel::versionAnchor() const {
    return windowsVersion_;
}
