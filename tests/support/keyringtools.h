#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// What a test asks of the real keyring of tests/support/withkeyring.sh from outside the program:
// secret-tool (libsecret-tools) and gdbus, as an operator would.
namespace qv::test {

inline bool keyringRunning() {
    return !qgetenv("QV_TEST_KEYRING_PASSWORD").isEmpty();
}

inline QByteArray runTool(const QString& program, const QStringList& arguments,
                          const QByteArray& input = {}, int* status = nullptr) {
    QProcess tool;
    tool.start(program, arguments);
    tool.write(input);
    tool.closeWriteChannel();
    tool.waitForFinished(30000);
    if (status)
        *status = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    return tool.readAllStandardOutput();
}

// The attributes a password is filed under.
inline QStringList keyringAttributes(const QString& server, int port, const QString& login) {
    return {QStringLiteral("server"), server, QStringLiteral("port"), QString::number(port),
            QStringLiteral("login"),  login};
}

// The secret filed under the attributes, whatever its schema; null when there is none.
inline QByteArray keyringSecret(const QString& server, int port, const QString& login) {
    int status = -1;
    const QByteArray secret =
        runTool(QStringLiteral("secret-tool"),
                QStringList{QStringLiteral("lookup")} + keyringAttributes(server, port, login), {},
                &status);
    return status == 0 ? secret : QByteArray();
}

// Files a secret under the attributes without this program's schema, as another program would.
inline bool storeForeignSecret(const QString& server, int port, const QString& login,
                               const QByteArray& secret) {
    int status = -1;
    runTool(QStringLiteral("secret-tool"),
            QStringList{QStringLiteral("store"), QStringLiteral("--label=foreign")} +
                keyringAttributes(server, port, login),
            secret, &status);
    return status == 0;
}

// Locks the "login" keyring (the desktop's lock, as after a screen lock or a new session).
inline bool lockKeyring() {
    int status = -1;
    runTool(QStringLiteral("gdbus"),
            {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
             QStringLiteral("org.freedesktop.secrets"), QStringLiteral("--object-path"),
             QStringLiteral("/org/freedesktop/secrets"), QStringLiteral("--method"),
             QStringLiteral("org.freedesktop.Secret.Service.Lock"),
             QStringLiteral("['/org/freedesktop/secrets/collection/login']")},
            {}, &status);
    return status == 0;
}

} // namespace qv::test
