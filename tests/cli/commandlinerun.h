#pragma once

#include "settings/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

// The command line as an operator's script runs it: the real executable, started without a
// display, in a program folder of its own.
namespace qv::test {

struct Run {
    int status = -1;
    QByteArray out, err;
};

// The executable linked into a temporary folder, which is therefore its program folder; its home
// (documents, known hosts) lies inside that folder too.
class CommandLine {
public:
    CommandLine()
        : dir_(QString::fromLocal8Bit(qgetenv("QV_BUILD_DIR")) +
               QStringLiteral("/tests/cli/run-XXXXXX")) {
        const QString built = QString::fromLocal8Bit(qgetenv("QV_BUILD_DIR")) + "/quorvane";
        if (::link(QFile::encodeName(built).constData(),
                   QFile::encodeName(program()).constData()) != 0)
            QFile::copy(built, program());
        QDir().mkpath(home());
    }

    QString program() const { return path(QStringLiteral("quorvane")); }
    QString folder() const { return dir_.path(); }
    QString path(const QString& relative) const { return dir_.filePath(relative); }
    QString home() const { return path(QStringLiteral("home")); }

    void write(const QString& relative, const QByteArray& bytes,
               QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner) const {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        QFile file(path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        file.setPermissions(permissions);
    }
    QByteArray read(const QString& relative) const {
        QFile file(relative.startsWith('/') ? relative : path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString ini(const QString& key) const {
        return qv::INIread(path(QStringLiteral("auto.ini")), QStringLiteral("Default"), key);
    }

    // Starts the program as an operator's script would, without a terminal to answer on.
    void start(QProcess& process, const QStringList& arguments, const QString& password = {},
               const QString& workingDirectory = {}) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name :
             {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QUORVANE_PASSWORD"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("HOME"), home());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/.config"));
        if (!password.isEmpty())
            env.insert(QStringLiteral("QUORVANE_PASSWORD"), password);
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(workingDirectory.isEmpty() ? folder() : workingDirectory);
        process.start(program(), arguments);
        process.closeWriteChannel(); // no terminal to answer on
    }

    Run run(const QStringList& arguments, const QString& password = {},
            const QString& workingDirectory = {}) const {
        QProcess process;
        start(process, arguments, password, workingDirectory);
        Run result;
        if (!process.waitForFinished(60000))
            return result;
        result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

private:
    QTemporaryDir dir_;
};

} // namespace qv::test
