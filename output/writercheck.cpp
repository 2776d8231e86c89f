#include "output/writercheck.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace qv::output {

namespace {

// The program the entry runs: its first word after "env" and its variable settings.
QString programOf(const QStringList& command) {
    qsizetype i = 0;
    if (i < command.size() && QFileInfo(command[i]).fileName() == QLatin1String("env"))
        for (++i; i < command.size() && command[i].contains(QLatin1Char('=')); ++i) {
        }
    if (i >= command.size())
        return {};
    const QString found =
        QDir::isAbsolutePath(command[i]) ? command[i] : QStandardPaths::findExecutable(command[i]);
    return found.isEmpty() ? command[i] : found;
}

bool isLibreOffice(const DesktopHandler& handler, const QString& program) {
    const QString name = QFileInfo(program).fileName().toLower();
    const QString real = QFileInfo(QFileInfo(program).canonicalFilePath()).fileName().toLower();
    return name.startsWith(QLatin1String("libreoffice")) || name == QLatin1String("lowriter") ||
           name.startsWith(QLatin1String("soffice")) || real.startsWith(QLatin1String("soffice")) ||
           handler.desktopId.startsWith(QLatin1String("libreoffice")) ||
           handler.command.join(u' ').contains(QLatin1String("org.libreoffice"),
                                               Qt::CaseInsensitive);
}

// LibreOffice's "program" folder, found through the links from the command to "soffice";
// empty when the command does not lead there.
QString programFolder(const QString& program) {
    const QFileInfo real(QFileInfo(program).canonicalFilePath());
    const QDir folder = real.dir();
    if (real.fileName().isEmpty() || (!folder.exists(QStringLiteral("soffice")) &&
                                      !folder.exists(QStringLiteral("soffice.bin"))))
        return {};
    return folder.path();
}

// Base's XML import of databases: libdbaxmllo.so, dbaxmllo.dll, libdbaxmllo.dylib.
bool hasBase(const QString& folder) {
    return !QDir(folder).entryList({QStringLiteral("*dbaxml*")}, QDir::Files).isEmpty();
}

} // namespace

QString writerAdvice(const DesktopHandler& handler) {
    if (handler.desktopId.isEmpty())
        return {};
    const QString program = programOf(handler.command);
    if (!isLibreOffice(handler, program))
        return QStringLiteral(
                   "The new document opens in \"%1\", which cannot use the merge file attached "
                   "to it. To insert merge fields and merge, open the document in LibreOffice "
                   "Writer (Debian packages \"libreoffice-writer\" and \"libreoffice-base\").")
            .arg(handler.name.isEmpty() ? handler.desktopId : handler.name);
    const QString folder = programFolder(program);
    if (folder.isEmpty() || hasBase(folder))
        return {};
    return QStringLiteral(
        "LibreOffice Writer opens the new document, but LibreOffice's database component (Base) "
        "is not installed, so Writer cannot use the merge file attached to it. Install the "
        "package \"libreoffice-base\" (for example: sudo apt-get install libreoffice-base), then "
        "open the document again.");
}

QString newDocumentAdvice() {
    return writerAdvice(desktopHandler(kOdtMimeType));
}

} // namespace qv::output
