#pragma once

#include <QString>
#include <optional>

class QWidget;

// The program's message box, yes/no question and input box. Everything the operator is told or
// asked in a dialog goes through here, so tests can answer without a window.
namespace qv {

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
};

DialogProvider& dialogs(); // the installed services' provider, or Qt's dialogs

} // namespace qv
