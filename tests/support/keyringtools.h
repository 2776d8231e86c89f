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

// Lets the keyring's prompts (started by the session bus) show on this process's display.
inline bool showPromptsOnThisDisplay() {
    QStringList entries;
    for (const char* name : {"DISPLAY", "XAUTHORITY"})
        if (const QByteArray value = qgetenv(name); !value.isEmpty())
            entries << QStringLiteral("'%1': '%2'")
                           .arg(QLatin1String(name), QString::fromLocal8Bit(value));
    int status = -1;
    runTool(QStringLiteral("gdbus"),
            {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
             QStringLiteral("org.freedesktop.DBus"), QStringLiteral("--object-path"),
             QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("--method"),
             QStringLiteral("org.freedesktop.DBus.UpdateActivationEnvironment"),
             QLatin1Char('{') + entries.join(QStringLiteral(", ")) + QLatin1Char('}')},
            {}, &status);
    return status == 0;
}

// Starts an operator who waits for the keyring's unlock prompt, gives it the focus and types
// password and Return on the keyboard, or presses Escape when password is empty. Ends with status 0
// once answered.
inline void answerUnlockPrompt(QProcess& process, const QByteArray& password) {
    const QString keys = password.isEmpty()
                             ? QStringLiteral("xdotool key Escape")
                             : QStringLiteral("xdotool type \"$QV_ANSWER\" && xdotool key Return");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QV_ANSWER"), QString::fromUtf8(password));
    process.setProcessEnvironment(env);
    process.start(
        QStringLiteral("bash"),
        {QStringLiteral("-c"),
         QStringLiteral(
             "w=$(timeout 30 xdotool search --sync --onlyvisible --name '^Unlock' | head -n1) "
             "&& [ -n \"$w\" ] && xdotool windowfocus --sync \"$w\" && ") +
             keys});
}

} // namespace qv::test
