#pragma once

#include <QString>
#include <optional>

class QWidget;

// The program's message box, yes/no question and input box. Everything the operator is told or
// asked in a dialog goes through here, so tests can answer without a window.
namespace qv {

// The operator's answer to a merge field's prompt.
struct PromptAnswer {
    QString text;
    bool forEveryRecord = false; // the answer serves every remaining record
};

class DialogProvider {
public:
    virtual ~DialogProvider() = default;
    // A message box with an OK button and no icon.
    virtual void message(QWidget* parent, const QString& text, const QString& title) = 0;
    // Yes and No buttons, No the default; true for Yes.
    virtual bool confirm(QWidget* parent, const QString& text, const QString& title) = 0;
    // An input box with a prompt, a title and a default answer; nullopt when cancelled.
    virtual std::optional<QString> input(QWidget* parent, const QString& prompt,
                                         const QString& title, const QString& defaultText) = 0;
    // A merge field's prompt: the prompt, the answer with the default filled in and, when
    // offered, a choice to use the answer for every remaining record; nullopt when cancelled.
    // Providers without a dialog of their own answer through input().
    virtual std::optional<PromptAnswer> prompt(QWidget* parent, const QString& prompt,
                                               const QString& title, const QString& defaultText,
                                               bool offerEveryRecord);
};

DialogProvider& dialogs(); // the installed services' provider, or Qt's dialogs

} // namespace qv
