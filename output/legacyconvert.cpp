#include "output/legacyconvert.h"

#include "platform/services.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
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

namespace {

// Waits for the conversion while the program's events go on (the window repaints, its status
// and pointer show); false when it has not finished within limitMs, the process then killed.
bool waitForConversion(QProcess& p, int limitMs) {
    if (p.state() == QProcess::NotRunning)
        return true;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(limitMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (p.state() == QProcess::NotRunning)
        return true;
    p.kill();
    p.waitForFinished(5000);
    return false;
}

} // namespace

bool convertToDocx(const QString& source, ooxml::Package* package, QString* error, int limitMs) {
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
    if (!waitForConversion(p, limitMs)) {
        if (error)
            *error = QStringLiteral("LibreOffice did not finish converting the template \"%1\" "
                                    "within %2 seconds; the conversion was stopped.")
                         .arg(QDir::toNativeSeparators(source))
                         .arg(limitMs / 1000.0);
        return false;
    }
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
