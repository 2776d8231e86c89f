#include "app/cli/commands.h"
#include "app/cli/exitstatus.h"
#include "app/cli/letterrun.h"
#include "mergefiles/mergefile.h"
#include "output/documentfolder.h"
#include "output/letterfiles.h"
#include "output/letters.h"
#include "output/mergedata.h"
#include "output/officepdf.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>
#include <unistd.h>

namespace qv::cli {

namespace {

// The progress on standard error: one line rewritten in place on a terminal (a few times a
// second), else a line when a stage begins, at every tenth of it and at its end.
class ProgressLine {
public:
    ProgressLine() : terminal_(isatty(STDERR_FILENO)) { clock_.start(); }
    ~ProgressLine() { end(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(const output::LetterProgress& p) {
        const bool stageEnd = p.total > 0 && p.done >= p.total;
        const int tenth = p.total > 0 ? int(p.done * 10 / p.total) : 0;
        const bool newStage = p.stage != stage_;
        if (terminal_) {
            if (!newStage && !stageEnd && clock_.elapsed() < 200)
                return;
            err() << "\r\033[K" << p.text;
            err().flush();
            shown_ = true;
            clock_.restart();
        } else if (newStage || stageEnd || tenth != tenth_) {
            err() << p.text << Qt::endl;
        }
        stage_ = p.stage;
        tenth_ = tenth;
    }
    void end() {
        if (shown_)
            err() << Qt::endl;
        shown_ = false;
    }

private:
    bool terminal_;
    bool shown_ = false;
    int stage_ = -1;
    int tenth_ = -1;
    QElapsedTimer clock_;
};

} // namespace

int runLetterJob(output::LetterJob& job, output::LetterResult* result) {
    // An interruption ends LibreOffice and removes the work's temporary files.
    runOnInterruption(&output::stopPdfLayouts);
    if (output::isOneFileEach(job.output))
        removeTemporariesOnInterruption(output::letterFolder(job));
    else if (!job.target.isEmpty())
        removeTemporariesOnInterruption(QFileInfo(job.target).absolutePath());
    ProgressLine line;
    job.progress = [&line](const output::LetterProgress& p) { line.show(p); };
    *result = output::makeLetters(job);
    line.end();
    if (result->ok())
        return kSuccess;
    return fail(result->localWrite ? kLocalWrite : kFailed, result->error);
}

bool isLetterMerge(const QCommandLineParser& options) {
    return options.isSet(QStringLiteral("each")) ||
           (options.isSet(QStringLiteral("to")) &&
            options.value(QStringLiteral("to")) != QLatin1String("docx"));
}

namespace {

// Where the letters go: the folder (or file) --output gave for one file a letter; for the one
// PDF, the file given, or the first free name "NAME.pdf", "NAME (2).pdf", ... in the folder
// given; "" for the document folder.
QString letterTarget(const ExportTarget& target, bool each) {
    const OutputDestination& output = target.output;
    if (each || output.folder.isEmpty())
        return output.file.isEmpty() ? output.folder : output.file;
    const QDir folder(output.folder);
    QString path = folder.filePath(target.name + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(QStringLiteral("%1 (%2).pdf").arg(target.name).arg(n));
    return path;
}

} // namespace

int letterJobFor(const QCommandLineParser& options, const QString& typed, ExportTarget* target,
                 output::LetterJob* job) {
    if (const int status = exportTarget(options, typed, QString(), target); status != kSuccess)
        return status;
    if (!hasMergeTemplate(target->name))
        return fail(kFailed, QStringLiteral("The merge file \"%1\" has no template \"%2\".")
                                 .arg(target->name,
                                      QDir::toNativeSeparators(mergeTemplatePath(target->name))));
    job->name = target->name;
    job->dataPath = mergeCopyPath(target->stored);
    job->templatePath = mergeTemplatePath(target->name);
    return kSuccess;
}

int runLetterMerge(const QCommandLineParser& options, const QString& typed) {
    const QString usage = QStringLiteral(
        "Usage: quorvane merge NAME --to docx|pdf [--each PATTERN] [--output FILE|FOLDER] "
        "[--ignore-missing-fields]");
    const QString to = options.value(QStringLiteral("to"));
    const bool each = options.isSet(QStringLiteral("each"));
    if (options.isSet(QStringLiteral("to")) && to != QLatin1String("docx") &&
        to != QLatin1String("pdf"))
        return fail(kUsage, usage);
    const bool pdf = to == QLatin1String("pdf");
    ExportTarget target;
    output::LetterJob job;
    if (const int status = letterJobFor(options, typed, &target, &job); status != kSuccess)
        return status;
    job.output = each ? (pdf ? output::LetterOutput::PdfEach : output::LetterOutput::DocumentEach)
                      : output::LetterOutput::Pdf;
    job.target = letterTarget(target, each);
    if (each) {
        job.pattern = options.value(QStringLiteral("each"));
        output::MergeData data;
        QString error;
        if (!output::readMergeData(job.dataPath, &data, &error))
            return fail(kFailed, error);
        if (job.pattern.trimmed().isEmpty())
            return fail(kUsage, QStringLiteral("--each needs a pattern of merge fields, such as "
                                               "\"{%1}\".")
                                    .arg(data.names.value(0)));
        if (const QString problem = output::namePatternProblem(job.pattern, data);
            !problem.isEmpty())
            return fail(kUsage, problem);
        if (QFileInfo(job.target).isFile())
            return fail(kUsage, QStringLiteral("With --each, --output names a folder; \"%1\" is a "
                                               "file.")
                                    .arg(QDir::toNativeSeparators(job.target)));
    }
    const auto unattended = unattendedMerge(options.isSet(QStringLiteral("ignore-missing-fields")));
    job.interaction = unattended.get();
    output::LetterResult result;
    if (const int status = runLetterJob(job, &result); status != kSuccess)
        return status;
    for (const QString& file : std::as_const(result.files))
        out() << QDir::toNativeSeparators(file) << '\n';
    out().flush();
    return kSuccess;
}

} // namespace qv::cli
