#include "output/legacyconvert.h"

#include "platform/services.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace qv::output {

QString libreOfficeProgram() {
    if (const QString& program = services().libreOfficeProgram; !program.isEmpty())
        return program;
    for (const char* name : {"soffice", "libreoffice"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return QStringLiteral("soffice");
}

bool convertToDocx(const QString& source, ooxml::Package* package, QString* error) {
    const QString needed =
        QStringLiteral("The template \"%1\" is a Word 97-2003 template. To merge into it, "
                       "install LibreOffice Writer (Debian package \"libreoffice-writer\"), or "
                       "save the template from Word as a Word template (.dotx) under the same "
                       "name.")
            .arg(QDir::toNativeSeparators(source));
    const QString program = libreOfficeProgram();
    if (QStandardPaths::findExecutable(program).isEmpty() && !QFileInfo(program).isExecutable()) {
        if (error)
            *error = needed;
        return false;
    }
    QTemporaryDir out;
    QTemporaryDir profile; // a private profile, so a running LibreOffice is not disturbed
    if (!out.isValid() || !profile.isValid()) {
        if (error)
            *error = QStringLiteral("No temporary folder is available for the conversion.");
        return false;
    }
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, {QStringLiteral("-env:UserInstallation=") +
                          QUrl::fromLocalFile(profile.path()).toString(),
                      QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                      QStringLiteral("docx"), QStringLiteral("--outdir"), out.path(), source});
    if (!p.waitForStarted(30000)) {
        if (error)
            *error = needed;
        return false;
    }
    p.waitForFinished(300000);
    const QString converted =
        QDir(out.path()).filePath(QFileInfo(source).completeBaseName() + QStringLiteral(".docx"));
    if (p.exitStatus() != QProcess::NormalExit || !QFileInfo::exists(converted)) {
        if (p.state() != QProcess::NotRunning)
            p.kill();
        if (error)
            *error = QStringLiteral("LibreOffice could not convert the template \"%1\": %2")
                         .arg(QDir::toNativeSeparators(source),
                              QString::fromLocal8Bit(p.readAll()).trimmed());
        return false;
    }
    return package->read(converted, error);
}

} // namespace qv::output
