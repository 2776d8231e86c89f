#include "app/cli/commands.h"
#include "app/cli/exitstatus.h"
#include "mergefiles/mergefile.h"
#include "mergefiles/mergetemplates.h"
#include "platform/programfolder.h"
#include "transfer/remotename.h"

#include <QDir>
#include <QTextStream>

namespace qv::cli {

// The copies the last search left in the data folder, in name order.
QStringList mergeCopies() {
    const QDir data(programPath(QStringLiteral("data")));
    QStringList names;
    for (const QString& name :
         data.entryList({QStringLiteral("*.LET")}, QDir::Files, QDir::Name | QDir::IgnoreCase))
        if (isSafeMergeFileName(name))
            names << name;
    return names;
}

int runList(const QStringList& arguments) {
    if (!arguments.isEmpty())
        return fail(kUsage, QStringLiteral("list takes no arguments."));
    MergeTemplates templates; // the template folder is read once, not once a file
    const QStringList copies = mergeCopies();
    const QStringList shown = mergeFileDisplayNames(copies);
    for (qsizetype i = 0; i < copies.size(); ++i) {
        const QString& stored = copies[i];
        const QString& name = shown[i];
        out() << name << '\t' << countMergeRecords(stored) << '\t'
              << (templates.has(name) ? "template" : "no template") << Qt::endl;
    }
    return kSuccess;
}

} // namespace qv::cli
