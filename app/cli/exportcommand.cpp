#include "app/cli/commands.h"
#include "app/cli/exitstatus.h"
#include "app/cli/optiontable.h"
#include "mergefiles/mergefile.h"
#include "mergefiles/mergerecordmodel.h"
#include "mergefiles/recordtable.h"
#include "output/automation.h"
#include "output/documentfolder.h"
#include "output/htmlpage.h"
#include "output/spreadsheetexport.h"
#include "output/wordmerge.h"
#include "output/writerdata.h"
#include "platform/outputtarget.h"
#include "platform/programfolder.h"
#include "platform/services.h"
#include "transfer/remotename.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
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

// Moves the new file to the path the operator asked for, replacing a file there in one step;
// what is not a regular file (a device, a FIFO) is never replaced.
bool moveInPlace(const QString& from, const QString& to, QString* error) {
    QString why = unsafeOutputTarget(to);
    if (why.isEmpty() &&
        std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    if (why.isEmpty())
        why = QStringLiteral("The file \"%1\" cannot be written: %2")
                  .arg(to, QString::fromLocal8Bit(std::strerror(errno)));
    *error = QStringLiteral("%1 (it was saved as \"%2\").").arg(why, from);
    return false;
}

// A message about the document the step was making in the destination's folder names the file
// the operator asked for.
QString namingOutput(QString message, const QString& folder, const QString& output) {
    const QRegularExpression made(
        QStringLiteral("\"%1[^\"/]*\"")
            .arg(QRegularExpression::escape(QDir::toNativeSeparators(folder + QLatin1Char('/')))));
    return message.replace(made,
                           QLatin1Char('"') + QDir::toNativeSeparators(output) + QLatin1Char('"'));
}

} // namespace

int makeDocument(const OutputDestination& output, const std::function<void()>& step) {
    QString saved;
    const QString folder = !output.folder.isEmpty() ? output.folder
                           : !output.file.isEmpty() ? QFileInfo(output.file).absolutePath()
                                                    : QString();
    ScopedServices services([&](Services& s) {
        s.fileOpener = [&saved](const QString& path) {
            saved = path;
            return true;
        };
        if (!folder.isEmpty())
            s.documentFolder = folder;
    });
    bool localWrite = false;
    if (QString error = automation::failureOf(step, &localWrite); !error.isEmpty()) {
        if (!output.file.isEmpty())
            error = namingOutput(error, folder, output.file);
        return fail(localWrite ? kLocalWrite : kFailed, error);
    }
    if (saved.isEmpty())
        return fail(kFailed, QStringLiteral("No file was made."));
    QString error;
    if (!output.file.isEmpty() && !moveInPlace(saved, output.file, &error))
        return fail(kLocalWrite, error);
    out() << QDir::toNativeSeparators(output.file.isEmpty() ? saved : output.file) << Qt::endl;
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
               const OutputDestination& output) {
    output::HtmlPage page = output::newHtmlPage(name, width);
    page.columns = recordTableTitles(records);
    page.rowCount = records.rowCount();
    page.row = [&records](qsizetype r) { return recordTableRow(records, static_cast<int>(r)); };
    const QString path = output.file.isEmpty() ? output::htmlPagePath() : output.file;
    QString error;
    if (!output::saveHtmlPage(path, page, &error))
        return fail(kLocalWrite, error);
    out() << QDir::toNativeSeparators(path) << Qt::endl;
    return kSuccess;
}

int exportWorkbook(const MergeRecordModel& records, int recordCount,
                   const OutputDestination& output) {
    output::SpreadsheetExport e;
    e.rowCount = records.rowCount();
    e.recordCount = recordCount;
    e.row = [&records](qsizetype r) { return recordTableRow(records, static_cast<int>(r - 1)); };
    return makeDocument(output, [&] { output::exportToSpreadsheet(e); });
}

} // namespace

int exportTarget(const QCommandLineParser& options, const QString& typed, const QString& usualName,
                 ExportTarget* target) {
    QString error;
    const std::optional<OutputDestination> output =
        exportOutputPath(options.value(QStringLiteral("output")), usualName, &error);
    if (!output)
        return fail(kUsage, error);
    target->output = *output;
    target->stored = storedName(typed, &target->name);
    if (target->stored.isEmpty() || !isSafeMergeFileName(target->stored))
        return fail(kUsage, QStringLiteral("There is no merge file \"%1\" in %2.")
                                .arg(typed, programPath(QStringLiteral("data"))));
    const QString folder = !output->folder.isEmpty() ? output->folder
                           : !output->file.isEmpty() ? QFileInfo(output->file).absolutePath()
                                                     : output::documentFolder();
    for (const QString& f : {folder, output::writerDataFolder(), programFolder()})
        removeTemporariesOnInterruption(f);
    return kSuccess;
}

int runExport(const QCommandLineParser& options, const QStringList& arguments) {
    const QStringList kinds = {QStringLiteral("html"), QStringLiteral("xlsx"),
                               QStringLiteral("odt")};
    if (arguments.size() != 2 || !kinds.contains(arguments[0]))
        return fail(kUsage, commandUsage(*findCommand(QStringLiteral("export"))));
    const QString kind = arguments[0];
    const QString typed = arguments[1];
    if (kind != kinds[0] && options.isSet(QStringLiteral("width")))
        return fail(kUsage, QStringLiteral("The option --width applies to html only."));
    QString error;
    const std::optional<QString> width = widthOption(options, &error);
    if (!width)
        return fail(kUsage, error);
    ExportTarget target;
    const QString usualName = kind == kinds[0] ? QStringLiteral("output.html") : QString();
    if (const int status = exportTarget(options, typed, usualName, &target); status != kSuccess)
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
