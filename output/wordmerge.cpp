#include "output/wordmerge.h"

#include "mergefiles/mergefile.h"
#include "output/automation.h"
#include "platform/programfolder.h"

#include <QDir>

namespace qv::output {

using automation::Omitted;

QString newDocumentStatus() {
    return QStringLiteral("Creating New Word Document. Please wait");
}

QString completeMergeStatus(const QString& name) {
    return QStringLiteral("Creating New Word Document using existing Template ") +
           mergeTemplatePath(name) + QStringLiteral(" Please Wait");
}

void createMergeDocument(const QString& name, const QString& dataPath) {
    auto document =
        automation::CreateObject<automation::WordDocumentObject>(QStringLiteral("Word.Document"));
    document->MailMerge().OpenDataSource(
        dataPath.isEmpty() ? mergeFilePath(name) : dataPath, Omitted, Omitted, Omitted, true,
        Omitted, Omitted, Omitted, Omitted, Omitted, Omitted,
        QString(QStringLiteral("TABLE ") + name),
        QString(QStringLiteral("Select * from [") + name + QStringLiteral("]")), Omitted, Omitted,
        Omitted);
    document->Application().setVisible(true);
    document->Release();
}

void mergeIntoTemplate(const QString& name, const QString& dataPath) {
    const QString templatePath = mergeTemplatePath(name);
    auto word = automation::CreateObject<automation::WordApplicationObject>(
        QStringLiteral("Word.Application"));
    word->AddIns().Add(templatePath, true);
    const QString full = word->Templates().Item(templatePath).FullName();
    word->Documents().Add(full, false, Omitted, Omitted);
    word->setVisible(true);
    word->ActiveDocument().MailMerge().OpenDataSource(
        dataPath.isEmpty() ? mergeFilePath(name) : dataPath, 0, Omitted, Omitted, true, Omitted,
        Omitted, Omitted, Omitted, Omitted, Omitted, QString(), QString(), Omitted, Omitted,
        Omitted);
    word->ActiveDocument().MailMerge().Execute(Omitted);
    word->Release();
}

} // namespace qv::output
