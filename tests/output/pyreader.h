#pragma once

#include <QJsonDocument>
#include <QProcess>
#include <QStringList>

// Runs a short script under Debian's Python (which carries openpyxl and python-docx), so the
// files the program writes are read back by a reader that shares no code with it.
namespace qv::test {

inline QJsonDocument runPython(const QString& script, const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + args);
    p.waitForFinished(60000);
    const QByteArray out = p.readAllStandardOutput();
    if (p.exitCode() != 0)
        qWarning("python: %s", p.readAllStandardError().constData());
    return QJsonDocument::fromJson(out);
}

} // namespace qv::test
