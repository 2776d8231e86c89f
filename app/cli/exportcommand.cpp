#include "app/cli/commands.h"
#include "app/cli/exitstatus.h"
#include "mergefiles/mergefile.h"
#include "mergefiles/mergerecordmodel.h"
#include "mergefiles/recordtable.h"
#include "output/automation.h"
#include "output/documentfolder.h"
#include "output/htmlpage.h"
#include "output/spreadsheetexport.h"
#include "output/wordmerge.h"
#include "output/writerdata.h"
#include "platform/programfolder.h"
#include "platform/services.h"
#include "transfer/remotename.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace qv::cli {

QString storedName(const QString& name, QString* shownName) {
    const QStringList copies = mergeCopies();
    const QStringList shown = mergeFileDisplayNames(copies);
    qsizetype at = shown.indexOf(name);
    if (at < 0)
        at = copies.indexOf(name); // the name as it is stored
    if (at < 0)
        return {};
    if (shownName)
        *shownName = shown[at];
    return copies[at];
}

namespace {

// Moves the new file to the path the operator asked for, replacing a file there in one step.
bool moveInPlace(const QString& from, const QString& to, QString* error) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    *error = QStringLiteral("The file \"%1\" cannot be written: %2 (it was saved as \"%3\").")
                 .arg(to, QString::fromLocal8Bit(std::strerror(errno)), from);
    return false;
}

} // namespace

int makeDocument(const QString& output, const std::function<void()>& step) {
    QString saved;
    ScopedServices services([&](Services& s) {
        s.fileOpener = [&saved](const QString& path) {
            saved = path;
            return true;
        };
        if (!output.isEmpty())
            s.documentFolder = QFileInfo(output).absolutePath();
    });
    bool localWrite = false;
    if (const QString error = automation::failureOf(step, &localWrite); !error.isEmpty())
        return fail(localWrite ? kLocalWrite : kFailed, error);
    if (saved.isEmpty())
        return fail(kFailed, QStringLiteral("No file was made."));
    QString error;
    if (!output.isEmpty() && !moveInPlace(saved, output, &error))
        return fail(kLocalWrite, error);
    out() << QDir::toNativeSeparators(output.isEmpty() ? saved : output) << Qt::endl;
    return kSuccess;
}

namespace {

// The --width option: a whole number from 1 to 100 (the window's answer of 0 means 100 there).
std::optional<QString> widthOption(const QCommandLineParser& options, QString* error) {
    if (!options.isSet(QStringLiteral("width")))
        return QStringLiteral("100");
    const QString answer = options.value(QStringLiteral("width"));
    bool number = false;
    const int percent = answer.trimmed().toInt(&number);
    if (!output::tableWidth(answer)) {
        *error = QStringLiteral("The table width \"%1\" is not a number.").arg(answer);
        return std::nullopt;
    }
    if (!number || percent < 1 || percent > 100) {
        *error =
            QStringLiteral("The table width %1 is not a whole number from 1 to 100.").arg(answer);
        return std::nullopt;
    }
    return QString::number(percent);
}

int exportHtml(const QString& name, const MergeRecordModel& records, const QString& width,
               const QString& output) {
    output::HtmlPage page = output::newHtmlPage(name, width);
    page.columns = recordTableTitles(records);
    page.rowCount = records.rowCount();
    page.row = [&records](qsizetype r) { return recordTableRow(records, static_cast<int>(r)); };
    const QString path = output.isEmpty() ? output::htmlPagePath() : output;
    QString error;
    if (!output::saveHtmlPage(path, page, &error))
        return fail(kLocalWrite, error);
    out() << QDir::toNativeSeparators(path) << Qt::endl;
    return kSuccess;
}

int exportWorkbook(const MergeRecordModel& records, int recordCount, const QString& output) {
    output::SpreadsheetExport e;
    e.rowCount = records.rowCount();
    e.recordCount = recordCount;
    e.row = [&records](qsizetype r) { return recordTableRow(records, static_cast<int>(r - 1)); };
    return makeDocument(output, [&] { output::exportToSpreadsheet(e); });
}

} // namespace

int exportTarget(const QCommandLineParser& options, const QString& typed, ExportTarget* target) {
    QString error;
    const std::optional<QString> output =
        exportOutputPath(options.value(QStringLiteral("output")), &error);
    if (!output)
        return fail(kUsage, error);
    target->output = *output;
    target->stored = storedName(typed, &target->name);
    if (target->stored.isEmpty() || !isSafeMergeFileName(target->stored))
        return fail(kUsage, QStringLiteral("There is no merge file \"%1\" in %2.")
                                .arg(typed, programPath(QStringLiteral("data"))));
    for (const QString& folder :
         {output->isEmpty() ? output::documentFolder() : QFileInfo(*output).absolutePath(),
          output::writerDataFolder(), programFolder()})
        removeTemporariesOnInterruption(folder);
    return kSuccess;
}

int runExport(const QCommandLineParser& options, const QStringList& arguments) {
    const QStringList kinds = {QStringLiteral("html"), QStringLiteral("xlsx"),
                               QStringLiteral("odt")};
    if (arguments.size() != 2 || !kinds.contains(arguments[0]))
        return fail(kUsage, QStringLiteral("Usage: quorvane export html|xlsx|odt NAME "
                                           "[--width N] [--output PATH]"));
    const QString kind = arguments[0];
    const QString typed = arguments[1];
    if (kind != kinds[0] && options.isSet(QStringLiteral("width")))
        return fail(kUsage, QStringLiteral("The option --width applies to html only."));
    QString error;
    const std::optional<QString> width = widthOption(options, &error);
    if (!width)
        return fail(kUsage, error);
    ExportTarget target;
    if (const int status = exportTarget(options, typed, &target); status != kSuccess)
        return status;
    const QString& name = target.name;
    const QString& stored = target.stored;
    if (kind == kinds[2])
        return makeDocument(target.output,
                            [&] { output::createMergeDocument(name, mergeCopyPath(stored)); });

    // The records as the window's record list holds them before an export.
    const int recordCount = countMergeRecords(stored);
    MergeRecordModel records;
    if (!loadRecordTable(records, mergeCopyPath(stored), recordCount))
        return fail(
            kFailed,
            QStringLiteral("The merge file \"%1\" cannot be read.").arg(mergeCopyPath(stored)));
    if (kind == kinds[0])
        return exportHtml(name, records, *width, target.output);
    return exportWorkbook(records, recordCount, target.output);
}

} // namespace qv::cli
