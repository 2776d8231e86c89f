#include "app/fieldhints.h"

#include "app/form2.h"
#include "ui/tooltip.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QTimer>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

struct Hint {
    BalloonTooltip SettingsPanel::*tip;
    std::int32_t SettingsPanel::*shown;
    QLineEdit* SettingsPanel::*field;
    QString title;
    QString text;
};

QList<Hint> hints() {
    return {
        {&SettingsPanel::addressTip, &SettingsPanel::addressHintShown, &SettingsPanel::address,
         QStringLiteral("IP Address"),
         QStringLiteral("Key in IP Address of Norrevan Server") + kCrLf + QStringLiteral("e.g. ") +
             QString::fromLatin1(kExampleAddress) + kCrLf},
        {&SettingsPanel::loginTip, &SettingsPanel::loginHintShown, &SettingsPanel::login,
         QStringLiteral("Login"), QStringLiteral("Key in Login Name, usually 'root'") + kCrLf},
        {&SettingsPanel::passwordTip, &SettingsPanel::passwordHintShown, &SettingsPanel::password,
         QStringLiteral("Password"), QStringLiteral("Key in root Password") + kCrLf},
        {&SettingsPanel::searchTip, &SettingsPanel::searchHintShown, &SettingsPanel::searchHintArea,
         QStringLiteral("Search Norrevan Server"),
         QStringLiteral("Click on Search Button to Download all Merge files on Norrevan Server") +
             kCrLf},
    };
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

void CreateTooltips(Form2& form) {
    setUp(form.browser.filesTip, 1, 1, 100);
    setUp(form.browser.fieldNamesTip, 0, 1, 100);
    for (const Hint& hint : hints()) {
        setUp(form.settings.*hint.tip, 1, 1, 100);
        if (QLineEdit* field = form.settings.*hint.field;
            field && field != form.settings.searchHintArea)
            new CaretKeeper(field);
    }
}

void AttachFieldHint(Form2& form, QLineEdit* field) {
    for (const Hint& hint : hints()) {
        if (form.settings.*hint.field != field)
            continue;
        if (form.settings.*hint.shown == 1)
            return;
        form.settings.*hint.shown = 1;
        BalloonTooltip& tip = form.settings.*hint.tip;
        tip.Title(hint.title);
        tip.TipText(hint.text);
        tip.Create(field);
        return;
    }
}

void SelectFieldText(QLineEdit* field) {
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
