#include "output/mergeinteraction.h"

#include "platform/services.h"

#include <QDir>

namespace qv::output {

QString describeTemplateFaults(const QList<TemplateFault>& faults, const QString& templatePath) {
    constexpr qsizetype kShown = 10;
    QString text = QStringLiteral("The template \"%1\" has fields this merge cannot fill:\n")
                       .arg(QDir::toNativeSeparators(templatePath));
    for (qsizetype i = 0; i < faults.size() && i < kShown; ++i)
        text +=
            QStringLiteral("\n{ %1 }\n    %2").arg(faults[i].fieldCode.trimmed(), faults[i].reason);
    if (faults.size() > kShown)
        text += QStringLiteral("\n\n... and %1 more.").arg(faults.size() - kShown);
    return text;
}

MergeInteraction& mergeInteraction() {
    static DefaultMergeInteraction fallback;
    MergeInteraction* installed = services().mergeInteraction;
    return installed ? *installed : fallback;
}

} // namespace qv::output
