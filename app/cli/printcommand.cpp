#include "app/cli/commands.h"
#include "app/cli/exitstatus.h"
#include "app/cli/letterrun.h"
#include "mergefiles/mergefile.h"
#include "output/letters.h"
#include "output/officepdf.h"
#include "printing/letterprinting.h"

#include <QCommandLineParser>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

namespace qv::cli {

namespace {

// "--records N-M" or "N" (from 1): the records from 0, both included; false when unreadable.
bool recordRange(const QString& text, qsizetype count, qsizetype* first, qsizetype* last,
                 QString* error) {
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d+)\\s*(?:-\\s*(\\d+)\\s*)?$"));
    const QRegularExpressionMatch m = form.match(text);
    const qsizetype from = m.captured(1).toLongLong();
    const qsizetype to = m.captured(2).isEmpty() ? from : m.captured(2).toLongLong();
    if (!m.hasMatch() || from < 1 || to < from) {
        *error = QStringLiteral("--records takes a record or a range of records, such as 1-50 "
                                "(the first record is 1), not \"%1\".")
                     .arg(text);
        return false;
    }
    if (from > count) {
        *error = QStringLiteral("The merge file has %1 records; --records %2 names none of them.")
                     .arg(count)
                     .arg(text);
        return false;
    }
    *first = from - 1;
    *last = std::min(to, count) - 1;
    return true;
}

} // namespace

int runPrint(const QCommandLineParser& options, const QStringList& arguments) {
    if (arguments.size() != 1)
        return fail(kUsage, QStringLiteral("Usage: quorvane print NAME [--printer P] "
                                           "[--records 1-50]"));
    ExportTarget target;
    output::LetterJob job;
    if (const int status = letterJobFor(options, arguments[0], &target, &job); status != kSuccess)
        return status;
    job.output = output::LetterOutput::Pdf;
    const QString records = options.value(QStringLiteral("records"));
    QString error;
    if (!records.isEmpty() && !recordRange(records, countMergeRecords(target.stored),
                                           &job.firstRecord, &job.lastRecord, &error))
        return fail(kUsage, error);
    // The printer before the work: without one nothing is merged.
    const QString printer =
        printing::choosePrinter(options.value(QStringLiteral("printer")), &error);
    if (printer.isEmpty())
        return fail(kFailed, error);
    QTemporaryDir folder(QDir(QDir::tempPath()).filePath(QStringLiteral("quorvane-print-XXXXXX")));
    if (!folder.isValid())
        return fail(
            kLocalWrite,
            QStringLiteral("No temporary folder is available: %1").arg(folder.errorString()));
    const output::TemporaryFolderNote removedOnInterruption(folder.path());
    job.target = folder.filePath(target.name + QStringLiteral(".pdf"));
    const auto unattended = unattendedMerge(false);
    job.interaction = unattended.get();
    output::LetterResult result;
    if (const int status = runLetterJob(job, &result); status != kSuccess)
        return status;
    int id = 0;
    if (!printing::printPdf(printer, job.target,
                            printing::letterJobTitle(target.name, records.simplified()), &id,
                            &error))
        return fail(kFailed, error);
    out() << QStringLiteral("%1-%2\t%3 letters, %4 pages")
                 .arg(printer)
                 .arg(id)
                 .arg(result.letters)
                 .arg(result.pages)
          << Qt::endl;
    return kSuccess;
}

} // namespace qv::cli
