#pragma once

#include "tests/support/serverfiles.h"

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A test server written in Python and run by /usr/bin/python3 on 127.0.0.1: it prints
// "LISTENING <port>" once it accepts connections, reads its faults from a JSON file again for
// every request, and appends what it saw to an events file, one line each. Stopped by the
// destructor.
namespace qv::test {

class ScriptServer : public ServerFiles {
public:
    ~ScriptServer() override;

    bool isRunning() const;
    QString errorString() const { return error_; }
    quint16 port() const { return port_; }
    QString host() const { return QStringLiteral("127.0.0.1"); }

    // What the server saw, one event a line, in order.
    QStringList events() const;
    int count(const QString& eventPrefix) const;
    void clearEvents() const;

    // The server dies at once, as a crashed or switched-off server does: its connections drop
    // and no new one is answered.
    void kill();

protected:
    ScriptServer() = default;
    // Runs the script with the arguments, then --config and --events; true once it listens.
    bool start(const QString& script, const QStringList& arguments);
    QString workPath(const QString& name) const { return work_.filePath(name); }

    void writeConfig() const;
    void appendToList(const QString& key, const QString& value);
    void setInMap(const QString& key, const QString& name, double value); // {name: value}
    QJsonObject config_;

private:
    QTemporaryDir work_;
    QProcess process_;
    quint16 port_ = 0;
    QString error_;
};

} // namespace qv::test
