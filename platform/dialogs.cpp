#include "platform/dialogs.h"

#include "platform/services.h"

#include <QInputDialog>
#include <QMessageBox>

namespace qv {
namespace {

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
};

} // namespace

DialogProvider& dialogs() {
    static QtDialogs qtDialogs;
    DialogProvider* provider = services().dialogs;
    return provider ? *provider : qtDialogs;
}

} // namespace qv
