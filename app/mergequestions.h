#pragma once

#include "output/mergeinteraction.h"

class QWidget;

// Complete Merge's questions asked in the window's dialogs, titled "Quorvane": each ASK and
// FILLIN prompt, and whether to merge a template with faulty fields anyway.
class MergeQuestions : public qv::output::MergeInteraction {
public:
    explicit MergeQuestions(QWidget* parent) : parent_(parent) {}

    std::optional<qv::output::FieldAnswer>
    answer(const qv::output::FieldQuestion& question) override;
    bool mergeDespite(const QList<qv::output::TemplateFault>& faults,
                      const QString& templatePath) override;

    // True once the operator stopped the merge (cancelled a prompt or chose not to merge a
    // faulty template): the merge's failure then needs no message of its own.
    bool stoppedByOperator() const { return stopped_; }

private:
    QWidget* parent_;
    bool stopped_ = false;
};
