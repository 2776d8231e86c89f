#include "app/panels/settingspanel.h"

#include "app/panels/design.h"
#include "controls/command/command.h"
#include "ui/shapes.h"

#include <QCheckBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QTimer>
#include <algorithm>
#include <functional>

using design::Look;

namespace {

// The password field shows every character as "*".
class StarPasswordStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

// Tells when the pointer moves over a widget: Qt gives a widget no signal for that.
class PointerMoveWatch : public QObject {
public:
    PointerMoveWatch(QWidget* watched, std::function<void()> moved)
        : QObject(watched), moved_(std::move(moved)) {
        watched->setMouseTracking(true);
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseMove)
            moved_();
        return false;
    }

private:
    std::function<void()> moved_;
};

// Keeps a field's caret where the operator left it and, when the field gets the focus from the
// keyboard, selects from there to the end. The caret is where it was when the field last lost
// the focus, and at the start after the program has put a new text into the field.
class CaretKeeper : public QObject {
public:
    explicit CaretKeeper(QLineEdit* field) : QObject(field), field_(field) {
        field->installEventFilter(this);
        connect(field, &QLineEdit::textChanged, this, [this] {
            if (!field_->hasFocus())
                caret_ = 0;
        });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // A field being destroyed loses the focus too, when it is no longer a line edit.
        if (!qobject_cast<QLineEdit*>(watched))
            return false;
        if (event->type() == QEvent::FocusOut)
            caret_ =
                field_->hasSelectedText() ? field_->selectionStart() : field_->cursorPosition();
        else if (event->type() == QEvent::FocusIn)
            selectFromCaret();
        return false;
    }

private:
    void selectFromCaret() {
        // A click places the caret itself, after the focus has arrived.
        if (QGuiApplication::mouseButtons() != Qt::NoButton)
            return;
        // Runs after the field's own focus handling, which would otherwise select everything.
        QTimer::singleShot(0, field_, [field = field_, start = caret_] {
            if (!field->hasFocus())
                return;
            const int length = static_cast<int>(field->text().size());
            const int from = std::clamp(start, 0, length);
            field->setSelection(from, length - from);
        });
    }

    QLineEdit* field_;
    int caret_ = 0;
};

} // namespace

SettingsPanel::SettingsPanel(QWidget* window) : DesignLayer(window) {
    using namespace design;
    picture_ = picture(this, "Image9", {7905, 1290, 615, 615}, "settings.png");
    heading_ = label(this, "Label3", {8505, 1440, 3015, 480}, QStringLiteral("Quorvane Settings"),
                     Look::Heading);
    windowsVersion_ =
        captionBox(this, "Text44", {7830, 1935, 2940, 375}, QStringLiteral("Text4"), Look::Body);
    addressCaption_ = captionBox(this, "Text5", {7770, 2925, 2040, 420},
                                 QStringLiteral("IP Address"), Look::Caption);
    address_ = textBox(this, "Text10", {8985, 2895, 2325, 390}, Look::Input);
    loginCaption_ =
        captionBox(this, "Text21", {7770, 3660, 1410, 300}, QStringLiteral("Login"), Look::Caption);
    login_ = textBox(this, "Text11", {8985, 3630, 2325, 390}, Look::Input);
    passwordCaption_ = captionBox(this, "Text22", {7770, 4440, 1665, 390},
                                  QStringLiteral("Password"), Look::Caption);
    password_ = textBox(this, "Text12", {8985, 4395, 2325, 390}, Look::Input);
    keyringChoice_ =
        checkBox(this, "chkKeyring", {7680, 4860, 4140, 255},
                 QStringLiteral("Keep the password in the desktop keyring"), Look::Body);
    searchHintArea_ = captionBox(this, "Text16", {10125, 6945, 1515, 615}, {}, Look::Plain);
    searchButton_ =
        flatButton(this, "Command1", {10380, 7050, 1080, 420}, QStringLiteral("Search"));
    styleFields();

    hints_[static_cast<int>(Hint::Address)].field = address_;
    hints_[static_cast<int>(Hint::Login)].field = login_;
    hints_[static_cast<int>(Hint::Password)].field = password_;
    hints_[static_cast<int>(Hint::Search)].field = searchHintArea_;
    for (const Hint hint : kHints)
        new PointerMoveWatch(place(hint).field, [this, hint] { emit hintWanted(hint); });
    for (QLineEdit* field : {address_, login_, password_})
        new CaretKeeper(field);
    connect(searchButton_, &Command::Click, this, &SettingsPanel::searchRequested);
    connect(keyringChoice_, &QCheckBox::clicked, this, &SettingsPanel::passwordPlaceSwitched);
}

// The smaller system name, the password field, the names read aloud and the keyboard order.
void SettingsPanel::styleFields() {
    design::makeNote(windowsVersion_);
    design::makeNote(keyringChoice_);

    password_->setEchoMode(QLineEdit::Password);
    // A proxy built on the style's key owns its own base style (built on the widget's style it
    // would take over the application's); the field owns the proxy, as setStyle does not.
    auto* starStyle = new StarPasswordStyle(password_->style()->name());
    starStyle->setParent(password_);
    password_->setStyle(starStyle);
    address_->setAccessibleName(QStringLiteral("IP Address"));
    login_->setAccessibleName(QStringLiteral("Login"));
    password_->setAccessibleName(QStringLiteral("Password"));
    searchHintArea_->setFocusPolicy(Qt::NoFocus);
    searchHintArea_->setFrame(true);

    setTabOrder(address_, login_);
    setTabOrder(login_, password_);
    setTabOrder(password_, keyringChoice_);
    setTabOrder(keyringChoice_, searchButton_);
}

qv::ConnectionFields SettingsPanel::credentials() const {
    return {address_->text(), login_->text(), password_->text()};
}

void SettingsPanel::showCredentials(const qv::ConnectionFields& fields) {
    address_->setText(fields.address);
    login_->setText(fields.login);
    password_->setText(fields.password);
}

void SettingsPanel::showSystemName(const QString& name) {
    windowsVersion_->setText(name);
    windowsVersion_->setCursorPosition(0);
    windowsVersion_->show();
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

void SettingsPanel::setContentVisible(bool visible) {
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!w->isWindow())
            w->setVisible(visible);
    updatePointerArea();
}

void SettingsPanel::focusEmptyAddress() {
    if (address_->text().isEmpty())
        address_->setFocus(Qt::ActiveWindowFocusReason);
}

SettingsPanel::HintPlace& SettingsPanel::place(Hint hint) {
    return hints_[static_cast<int>(hint)];
}

const SettingsPanel::HintPlace& SettingsPanel::place(Hint hint) const {
    return hints_[static_cast<int>(hint)];
}

BalloonTooltip& SettingsPanel::hintTip(Hint hint) {
    return place(hint).tip;
}

bool SettingsPanel::hintShown(Hint hint) const {
    return place(hint).shown;
}

bool SettingsPanel::showHintOnce(Hint hint, const QString& title, const QString& text) {
    HintPlace& p = place(hint);
    if (p.shown)
        return false;
    p.shown = true;
    p.tip.Title(title);
    p.tip.TipText(text);
    p.tip.Create(p.field);
    return true;
}

const QWidget* SettingsPanel::addressAnchor() const {
    return address_;
}

const QWidget* SettingsPanel::versionAnchor() const {
    return windowsVersion_;
}
