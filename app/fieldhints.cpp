#include "app/fieldhints.h"

#include "app/form2.h"
#include "ui/tooltip.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QTimer>

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

void setUp(BalloonTooltip& tip, int style, int icon, int delay) {
    tip.Style(style);
    tip.Icon(icon);
    tip.DelayTime(delay);
}

// Where the caret of a field is as far as the operator is concerned: where it was when the field
// last lost the focus, and at the start after the program has put a new text into the field.
const char* const kCaretProperty = "qvCaret";

class CaretKeeper : public QObject {
public:
    explicit CaretKeeper(QLineEdit* field) : QObject(field), field_(field) {
        field->setProperty(kCaretProperty, 0);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textChanged, this, [this] {
            if (!field_->hasFocus())
                field_->setProperty(kCaretProperty, 0);
        });
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            const int caret =
                field_->hasSelectedText() ? field_->selectionStart() : field_->cursorPosition();
            field_->setProperty(kCaretProperty, caret);
        }
        return false;
    }

private:
    QLineEdit* field_;
};

} // namespace

void createTooltips(Form2& form) {
    setUp(form.browser.filesTip(), 1, 1, 100);
    setUp(form.browser.fieldNamesTip(), 0, 1, 100);
    for (const SettingsPanel::Hint hint : SettingsPanel::kHints)
        setUp(form.settings.hintTip(hint), 1, 1, 100);
    for (QLineEdit* field : form.settings.inputFields())
        new CaretKeeper(field);
}

void attachFieldHint(Form2& form, SettingsPanel::Hint hint) {
    const HintText shown = hintText(hint);
    form.settings.showHintOnce(hint, shown.title, shown.text);
}

void selectFieldText(QLineEdit* field) {
    if (!field)
        return;
    // A click places the caret itself, after the focus has arrived.
    if (QGuiApplication::mouseButtons() != Qt::NoButton)
        return;
    const QVariant kept = field->property(kCaretProperty);
    const int start = kept.isValid() ? kept.toInt() : field->cursorPosition();
    // Runs after the field's own focus handling, which would otherwise select everything.
    QTimer::singleShot(0, field, [field, start] {
        if (!field->hasFocus())
            return;
        const int from = std::clamp(start, 0, int(field->text().size()));
        field->setSelection(from, int(field->text().size()) - from);
    });
}
