#pragma once

#include <QList>
#include <QString>
#include <optional>

// What Complete Merge asks of the operator: the answers to ASK and FILLIN fields, and whether to
// go on when the template has fields the merge cannot fill. The window asks in dialogs, the
// command line answers from its options; without either every prompt takes its default answer
// and a faulty template stops the merge.
namespace qv::output {

// The question of one ASK or FILLIN field.
struct FieldQuestion {
    QString prompt;            // the field's prompt text
    QString defaultAnswer;     // its \d text
    bool oncePerMerge = false; // \o: asked once for the whole merge
    qsizetype record = 0;      // the merge file's record (from 1) the question is asked for
};

struct FieldAnswer {
    QString text;
    bool forEveryRecord = false; // the answer serves every remaining record without asking
};

// A field of the template that the merge cannot evaluate as written.
struct TemplateFault {
    QString fieldCode;         // the field's code as written, e.g. "MERGEFIELD Balanse \# 0.00"
    QString reason;            // why, in a sentence
    bool missingField = false; // a merge field the merge file does not have
};

class MergeInteraction {
public:
    virtual ~MergeInteraction() = default;
    // The operator's answer; nullopt when the operator cancels (the merge stops, nothing is
    // written).
    virtual std::optional<FieldAnswer> answer(const FieldQuestion& question) = 0;
    // Faults found before anything is written; true to merge anyway with those fields empty.
    virtual bool mergeDespite(const QList<TemplateFault>& faults, const QString& templatePath) = 0;
};

// Every prompt takes its default answer, each record its own; a faulty template stops the merge.
class DefaultMergeInteraction : public MergeInteraction {
public:
    std::optional<FieldAnswer> answer(const FieldQuestion& question) override {
        return FieldAnswer{question.defaultAnswer, false};
    }
    bool mergeDespite(const QList<TemplateFault>&, const QString&) override { return false; }
};

// The faults as the operator reads them: the template, then each field code with its reason
// (the first ten; a count of the rest).
QString describeTemplateFaults(const QList<TemplateFault>& faults, const QString& templatePath);

// The installed services' interaction, else a DefaultMergeInteraction.
MergeInteraction& mergeInteraction();

} // namespace qv::output
