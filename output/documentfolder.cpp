#include "output/documentfolder.h"

#include "platform/fileopener.h"
#include "platform/services.h"
#include "platform/tempfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace qv::output {

namespace {
QString safeStem(const QString& stem) {
    QString s = stem;
    for (QChar& c : s)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') ||
            c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('"') ||
            c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('|') ||
            c.unicode() < 32)
            c = QLatin1Char('_');
    s = s.trimmed();
    return s.isEmpty() ? QStringLiteral("Document") : s;
}

// "Name.ext", "Name (2).ext", ... in the folder.
QString candidateName(const QString& folder, const QString& name, const QString& extension, int n) {
    return QDir(folder).filePath((n == 1 ? name : QStringLiteral("%1 (%2)").arg(name).arg(n)) +
                                 QLatin1Char('.') + extension);
}

// The document's name as it stands now: the first name that is free.
QString intendedName(const QString& folder, const QString& name, const QString& extension) {
    for (int n = 1; n < 100000; ++n)
        if (const QString c = candidateName(folder, name, extension, n); !QFileInfo::exists(c))
            return QDir::toNativeSeparators(c);
    return QDir::toNativeSeparators(candidateName(folder, name, extension, 1));
}
} // namespace

QString documentFolder() {
    if (const QString& folder = services().documentFolder; !folder.isEmpty())
        return folder;
    QString base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (base.isEmpty())
        base = QDir::homePath();
    return QDir(base).filePath(QStringLiteral("Quorvane"));
}

bool saveNewDocument(const QString& stem, const QString& extension, const DocumentWriter& write,
                     QString* finalPath, QString* error) {
    const QString folder = documentFolder();
    const QString name = safeStem(stem);
    if (!QDir().mkpath(folder)) {
        if (error)
            *error =
                QStringLiteral("The file \"%1\" cannot be written: its folder \"%2\" "
                               "cannot be created.")
                    .arg(intendedName(folder, name, extension), QDir::toNativeSeparators(folder));
        return false;
    }
    tempfiles::removeStale(folder); // what an interrupted export left
    QString temp;
    {
        QTemporaryFile t(tempfiles::exportTemplate(folder, QLatin1Char('.') + extension));
        t.setAutoRemove(false);
        if (!t.open()) {
            if (error)
                *error = QStringLiteral("The file \"%1\" cannot be written: %2")
                             .arg(intendedName(folder, name, extension), t.errorString());
            return false;
        }
        temp = t.fileName();
    }
    QString why;
    if (!write(temp, error) || !tempfiles::syncToDisk(temp, &why)) {
        if (!why.isEmpty() && error)
            *error = QStringLiteral("\"%1\" cannot be written: %2").arg(temp, why);
        if (error) // the operator knows the document's name, not the temporary one
            error->replace(temp, intendedName(folder, name, extension));
        QFile::remove(temp);
        return false;
    }
    for (int n = 1; n < 100000; ++n) {
        const QString candidate = candidateName(folder, name, extension, n);
        if (QFileInfo::exists(candidate))
            continue;
        if (QFile::rename(temp, candidate)) { // never replaces an existing file
            *finalPath = QDir::toNativeSeparators(candidate);
            return true;
        }
    }
    QFile::remove(temp);
    if (error)
        *error =
            QStringLiteral("No free file name for \"%1\" is left in \"%2\".").arg(name, folder);
    return false;
}

bool saveAndOpen(const QString& stem, const QString& extension, const DocumentWriter& write,
                 QString* finalPath, QString* error) {
    if (!saveNewDocument(stem, extension, write, finalPath, error))
        return false;
    if (!openWithDesktop(*finalPath)) {
        if (error)
            *error = QStringLiteral("The document was saved as \"%1\", but no program is set up "
                                    "to open it. Install a program for .%2 files "
                                    "(for example LibreOffice) and open it from there.")
                         .arg(*finalPath, extension);
        return false;
    }
    return true;
}

} // namespace qv::output
