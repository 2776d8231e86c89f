#include "app/mergequestions.h"

#include "ui/dialogs.h"

namespace {
const QString kTitle = QStringLiteral("Quorvane");
}

std::optional<qv::output::FieldAnswer>
MergeQuestions::answer(const qv::output::FieldQuestion& question) {
    const std::optional<qv::PromptAnswer> reply = qv::dialogs().prompt(
        parent_, question.prompt, kTitle, question.defaultAnswer, !question.oncePerMerge);
    if (!reply) {
        stopped_ = true;
        return std::nullopt;
    }
    return qv::output::FieldAnswer{reply->text, question.oncePerMerge || reply->forEveryRecord};
}

bool MergeQuestions::mergeDespite(const QList<qv::output::TemplateFault>& faults,
                                  const QString& templatePath) {
    const QString text = qv::output::describeTemplateFaults(faults, templatePath) +
                         QStringLiteral("\n\nMerge anyway, leaving these fields empty?");
    const bool go = qv::dialogs().confirm(parent_, text, kTitle);
    stopped_ = stopped_ || !go;
    return go;
}
