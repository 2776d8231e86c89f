#pragma once

#include "platform/services.h"
#include "ui/dialogs.h"

#include <QQueue>
#include <QStringList>

// Answers the program's dialogs from queues and records what was shown; installed for its life.
namespace qv::test {

class RecordingDialogs : public DialogProvider {
public:
    RecordingDialogs() : services_([this](Services& s) { s.dialogs = this; }) {}

    void message(QWidget*, const QString& text, const QString& title) override {
        messages << text;
        titles << title;
    }
    bool confirm(QWidget*, const QString& text, const QString& title) override {
        questions << text;
        titles << title;
        return confirmAnswers.isEmpty() ? false : confirmAnswers.dequeue();
    }
    std::optional<QString> input(QWidget*, const QString& prompt, const QString& title,
                                 const QString& defaultText) override {
        prompts << prompt;
        titles << title;
        inputDefaults << defaultText;
        return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.dequeue();
    }

    std::optional<PromptAnswer> prompt(QWidget*, const QString& prompt, const QString& title,
                                       const QString& defaultText, bool offerEveryRecord) override {
        prompts << prompt;
        titles << title;
        inputDefaults << defaultText;
        everyRecordOffered << offerEveryRecord;
        return promptAnswers.isEmpty() ? std::nullopt : promptAnswers.dequeue();
    }

    QStringList messages, questions, prompts, titles, inputDefaults;
    QList<bool> everyRecordOffered;              // per merge-field prompt: the choice was offered
    QQueue<bool> confirmAnswers;                 // empty: No
    QQueue<std::optional<QString>> inputAnswers; // empty or nullopt: cancel
    QQueue<std::optional<PromptAnswer>> promptAnswers; // empty or nullopt: cancel

private:
    ScopedServices services_;
};

} // namespace qv::test
