#include "ui/dialogs.h"

#include "platform/services.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

namespace qv {

std::optional<PromptAnswer> DialogProvider::prompt(QWidget* parent, const QString& promptText,
                                                   const QString& title, const QString& defaultText,
                                                   bool) {
    const std::optional<QString> text = input(parent, promptText, title, defaultText);
    if (!text)
        return std::nullopt;
    return PromptAnswer{*text, false};
}

namespace {

// The prompt of a merge field: its text, the answer and the choice for the remaining records.
std::optional<PromptAnswer> askPrompt(QWidget* parent, const QString& promptText,
                                      const QString& title, const QString& defaultText,
                                      bool offerEveryRecord) {
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(promptText, &dialog);
    label->setWordWrap(true);
    auto* answer = new QLineEdit(defaultText, &dialog);
    answer->selectAll();
    label->setBuddy(answer);
    layout->addWidget(label);
    layout->addWidget(answer);
    auto* everyRecord =
        new QCheckBox(QStringLiteral("Use this answer for every remaining record"), &dialog);
    everyRecord->setVisible(offerEveryRecord);
    layout->addWidget(everyRecord);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return PromptAnswer{answer->text(), offerEveryRecord && everyRecord->isChecked()};
}

class QtDialogs : public DialogProvider {
public:
    void message(QWidget* parent, const QString& text, const QString& title) override {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
        box.exec();
    }

    bool confirm(QWidget* parent, const QString& text, const QString& title) override {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                        parent);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }

    std::optional<QString> input(QWidget* parent, const QString& prompt, const QString& title,
                                 const QString& defaultText) override {
        bool ok = false;
        const QString answer =
            QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
        if (!ok)
            return std::nullopt;
        return answer;
    }

    std::optional<PromptAnswer> prompt(QWidget* parent, const QString& promptText,
                                       const QString& title, const QString& defaultText,
                                       bool offerEveryRecord) override {
        return askPrompt(parent, promptText, title, defaultText, offerEveryRecord);
    }
};

} // namespace

DialogProvider& dialogs() {
    static QtDialogs qtDialogs;
    DialogProvider* provider = services().dialogs;
    return provider ? *provider : qtDialogs;
}

} // namespace qv
