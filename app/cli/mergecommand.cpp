#include "app/cli/commands.h"
#include "app/cli/exitstatus.h"
#include "app/cli/optiontable.h"
#include "mergefiles/mergefile.h"
#include "output/mergeinteraction.h"
#include "output/wordmerge.h"
#include "platform/programfolder.h"
#include "platform/services.h"
#include "transfer/remotename.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>
#include <algorithm>
#include <memory>

namespace qv::cli {

namespace {

const QString kIgnoreMissing = QStringLiteral("ignore-missing-fields");

// Without a window nobody is asked: every prompt takes its default answer for each record, and
// a template with faulty fields stops the merge unless the caller let merge fields the merge
// file lacks stay empty and those are the only faults.
class UnattendedMerge : public output::MergeInteraction {
public:
    explicit UnattendedMerge(bool ignoreMissing) : ignoreMissing_(ignoreMissing) {}

    // Each record's own default: a default made of merge fields differs from record to record.
    std::optional<output::FieldAnswer> answer(const output::FieldQuestion& question) override {
        return output::FieldAnswer{question.defaultAnswer, false};
    }

    bool mergeDespite(const QList<output::TemplateFault>& faults,
                      const QString& templatePath) override {
        const bool onlyMissing =
            std::all_of(faults.begin(), faults.end(),
                        [](const output::TemplateFault& f) { return f.missingField; });
        const bool go = ignoreMissing_ && onlyMissing;
        err() << output::describeTemplateFaults(faults, templatePath) << '\n'
              << (go ? QStringLiteral("These fields are left empty (--%1).").arg(kIgnoreMissing)
                  : ignoreMissing_
                      ? QStringLiteral("Nothing was merged: --%1 covers only merge fields "
                                       "the merge file lacks.")
                            .arg(kIgnoreMissing)
                      : QStringLiteral("Nothing was merged; --%1 merges with those fields "
                                       "empty.")
                            .arg(kIgnoreMissing))
              << Qt::endl;
        return go;
    }

private:
    bool ignoreMissing_;
};

} // namespace

// Letters: the same unattended answers for merge --to/--each and print.
std::unique_ptr<output::MergeInteraction> unattendedMerge(bool ignoreMissing) {
    return std::make_unique<UnattendedMerge>(ignoreMissing);
}

int runMerge(const QCommandLineParser& options, const QStringList& arguments) {
    // Letters: --to pdf and --each (lettercommand.cpp); --to docx alone is this merge.
    if (arguments.size() == 1 && isLetterMerge(options))
        return runLetterMerge(options, arguments[0]);
    if (arguments.size() != 1)
        return fail(kUsage, commandUsage(*findCommand(QStringLiteral("merge"))));
    ExportTarget target;
    if (const int status = exportTarget(options, arguments[0], QString(), &target);
        status != kSuccess)
        return status;
    const QString& name = target.name;
    if (!hasMergeTemplate(name))
        return fail(kFailed, QStringLiteral("The merge file \"%1\" has no template \"%2\".")
                                 .arg(name, QDir::toNativeSeparators(mergeTemplatePath(name))));
    UnattendedMerge unattended(options.isSet(kIgnoreMissing));
    ScopedServices answering([&unattended](Services& s) { s.mergeInteraction = &unattended; });
    return makeDocument(target.output,
                        [&] { output::mergeIntoTemplate(name, mergeCopyPath(target.stored)); });
}

} // namespace qv::cli
