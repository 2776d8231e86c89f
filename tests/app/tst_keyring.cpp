#include "app/actions/search.h"
#include "app/form2.h"
#include "settings/passwordkeyring.h"
#include "tests/cli/commandlinerun.h"
#include "tests/support/designcontrol.h"
#include "tests/support/ftpserver.h"
#include "tests/support/keyringtools.h"
#include "tests/support/recordingdialogs.h"
#include "tests/support/tempprogramfolder.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <memory>

using qv::test::designControl;

namespace {

const QString kIni = QStringLiteral("auto.ini");

// The settings file as the program writes it for the server, the password in it or not.
QByteArray settingsWithPassword(const qv::test::FtpServer& server) {
    return "[Default]\r\nPassword=" + server.password().toUtf8() +
           "\r\nLogin=root\r\nIpaddress=" + server.address().toLatin1() + "\r\n";
}
QByteArray settingsInKeyring(const qv::test::FtpServer& server) {
    return "[Default]\r\nPasswordInKeyring=1\r\nPassword=\r\nLogin=root\r\nIpaddress=" +
           server.address().toLatin1() + "\r\n";
}

qv::PasswordKey keyOf(const qv::test::FtpServer& server) {
    const QStringList hostPort = server.address().split(QLatin1Char(':'));
    return {hostPort[0], hostPort[1].toInt(), server.user()};
}

QByteArray secretOf(const qv::test::FtpServer& server) {
    const qv::PasswordKey key = keyOf(server);
    return qv::test::keyringSecret(key.server, key.port, key.login);
}

// A main window over a program folder whose settings file holds the given bytes.
struct Window {
    qv::test::TempProgramFolder folder;
    qv::test::RecordingDialogs dialogs;
    std::unique_ptr<Form2> form;

    explicit Window(const QByteArray& settings) {
        folder.write(kIni, settings);
        form = std::make_unique<Form2>();
    }
    QCheckBox* choice() const { return designControl<QCheckBox>(*form, "chkKeyring"); }
    QLineEdit* password() const { return designControl<QLineEdit>(*form, "Text12"); }
    QByteArray settings() const { return folder.read(kIni); }
};

} // namespace

// The server password in a real desktop keyring (GNOME Keyring in a private session, started by
// withkeyring.sh), from the window and from the command line. The locked keyring comes last.
class KeyringTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (!qv::test::keyringRunning() && qgetenv("QV_TEST_NO_SECRET_SERVICE").isEmpty())
            QSKIP("run through tests/support/withkeyring.sh");
    }
    void choiceIsOffByDefault();
    void switchingOnMovesThePassword();
    void switchingOnUnderATypedAddress();
    void startFillsThePasswordAndSearches();
    void commandLineTakesThePassword_data();
    void commandLineTakesThePassword();
    void commandLineWithoutAPasswordInTheKeyring();
    void switchingOffAsksFirst();
    void lockedKeyring();
    void absentService();
    void unlockThroughThePrompt_data();
    void unlockThroughThePrompt();
};

void KeyringTest::choiceIsOffByDefault() {
    if (!qv::test::keyringRunning())
        QSKIP("no keyring");
    qv::test::FtpServer server;
    Window w(settingsWithPassword(server));
    QVERIFY(!w.choice()->isChecked());
    QVERIFY(w.choice()->isVisibleTo(w.form.get()));
    QCOMPARE(w.choice()->text(), QStringLiteral("Keep the password in the desktop keyring"));
    QCOMPARE(w.password()->text(), server.password());
    QCOMPARE(w.settings(), settingsWithPassword(server));
    QCOMPARE(secretOf(server), QByteArray());
}

void KeyringTest::switchingOnMovesThePassword() {
    if (!qv::test::keyringRunning())
        QSKIP("no keyring");
    qv::test::FtpServer server;
    Window w(settingsWithPassword(server));
    w.choice()->click();
    QCOMPARE(w.dialogs.messages, QStringList());
    QVERIFY(w.choice()->isChecked());
    QCOMPARE(secretOf(server), server.password().toUtf8());
    QCOMPARE(w.settings(), settingsInKeyring(server));
    QCOMPARE(w.password()->text(), server.password()); // still typed for this run
}

// The password is filed under the address and login as typed, and they are saved with the
// choice, so the next start finds it.
void KeyringTest::switchingOnUnderATypedAddress() {
    if (!qv::test::keyringRunning())
        QSKIP("no keyring");
    qv::test::FtpServer server;
    Window w("[Default]\r\nPassword=" + server.password().toUtf8() +
             "\r\nLogin=root\r\nIpaddress=old.example\r\n");
    designControl<QLineEdit>(*w.form, "Text10")->setText(server.address());
    w.choice()->click();
    QCOMPARE(w.dialogs.messages, QStringList());
    QCOMPARE(w.settings(), settingsInKeyring(server));
    QCOMPARE(secretOf(server), server.password().toUtf8());
    const std::unique_ptr<Form2> next = std::make_unique<Form2>();
    QCOMPARE(designControl<QLineEdit>(*next, "Text12")->text(), server.password());
}

void KeyringTest::startFillsThePasswordAndSearches() {
    if (!qv::test::keyringRunning())
        QSKIP("no keyring");
    qv::test::FtpServer server;
    server.putFile("A.LET", "Name|Town\nAnn|Cork\n");
    QVERIFY(
        qv::desktopKeyring()->store(keyOf(server), server.password(), qv::Prompting::Never).done());
    Window w(settingsInKeyring(server));
    QVERIFY(w.choice()->isChecked());
    QCOMPARE(w.password()->text(), server.password());
    QCOMPARE(w.dialogs.messages, QStringList());

    searchServer(*w.form);
    QCOMPARE(w.dialogs.messages, QStringList());
    QVERIFY(QFile::exists(w.folder.filePath(QStringLiteral("data/A.LET"))));
    QVERIFY(server.events().contains(QStringLiteral("LOGIN root")));
    // The search saves the address and login; the password stays out of the file.
    QCOMPARE(w.settings(), settingsInKeyring(server));
    QCOMPARE(secretOf(server), server.password().toUtf8());
}

void KeyringTest::commandLineTakesThePassword_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("status");
    QTest::newRow("keyring") << "keyring" << 0;
    QTest::newRow("environment first") << "environment" << 3; // a wrong password there
    QTest::newRow("password file first") << "file" << 3;
}

void KeyringTest::commandLineTakesThePassword() {
    QFETCH(QString, source);
    QFETCH(int, status);
    if (!qv::test::keyringRunning())
        QSKIP("no keyring");
    qv::test::FtpServer server;
    server.setLoginRefusalDelay(0);
    server.putFile("A.LET", "Name|Town\nAnn|Cork\n");
    QVERIFY(
        qv::desktopKeyring()->store(keyOf(server), server.password(), qv::Prompting::Never).done());
    qv::test::CommandLine cli;
    cli.write(kIni, settingsInKeyring(server));
    cli.write(QStringLiteral("wrong"), "not the password\n");
    QStringList arguments{QStringLiteral("search")};
    if (source == QLatin1String("file"))
        arguments << QStringLiteral("--password-file") << cli.path(QStringLiteral("wrong"));
    const QString environment =
        source == QLatin1String("environment") ? QStringLiteral("not the password") : QString();
    const qv::test::Run run = cli.run(arguments, environment);
    QVERIFY2(run.status == status, run.err.constData());
    if (status == 0) {
        QCOMPARE(run.out, QByteArray("1 files found\n"));
        QCOMPARE(cli.read(QStringLiteral("data/A.LET")), QByteArray("Name|Town\nAnn|Cork\n"));
    }
    // In every case the settings file gets no password.
    QCOMPARE(cli.read(kIni), settingsInKeyring(server));
}

void KeyringTest::commandLineWithoutAPasswordInTheKeyring() {
    if (!qv::test::keyringRunning())
        QSKIP("no keyring");
    qv::test::FtpServer server;
    qv::test::CommandLine cli;
    const QByteArray settings = "[Default]\r\nPasswordInKeyring=1\r\nPassword=\r\nLogin=nobody\r\n"
                                "Ipaddress=" +
                                server.address().toLatin1() + "\r\n";
    cli.write(kIni, settings);
    const qv::test::Run run = cli.run({QStringLiteral("search")});
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains("The desktop keyring holds no password for nobody at 127.0.0.1:"),
             run.err.constData());
    QVERIFY(run.err.contains("--password-file"));
    QVERIFY(!server.events().contains(QStringLiteral("CONNECT")));
    QCOMPARE(cli.read(kIni), settings);
}

void KeyringTest::switchingOffAsksFirst() {
    if (!qv::test::keyringRunning())
        QSKIP("no keyring");
    qv::test::FtpServer server;
    QVERIFY(
        qv::desktopKeyring()->store(keyOf(server), server.password(), qv::Prompting::Never).done());
    Window w(settingsInKeyring(server));
    w.dialogs.confirmAnswers << false;
    w.choice()->click();
    QCOMPARE(w.dialogs.questions.size(), 1);
    QVERIFY(w.dialogs.questions[0].contains(QStringLiteral("plain text")));
    QVERIFY(w.choice()->isChecked()); // No: nothing moves
    QCOMPARE(w.settings(), settingsInKeyring(server));
    QCOMPARE(secretOf(server), server.password().toUtf8());

    w.dialogs.confirmAnswers << true;
    w.choice()->click();
    QVERIFY(!w.choice()->isChecked());
    QCOMPARE(w.dialogs.messages, QStringList());
    QCOMPARE(w.settings(),
             "[Default]\r\nPasswordInKeyring=0\r\nPassword=" + server.password().toUtf8() +
                 "\r\nLogin=root\r\nIpaddress=" + server.address().toLatin1() + "\r\n");
    QCOMPARE(secretOf(server), QByteArray());
}

// Locked, with no display to prompt on: the command line fails with the connection settings'
// status, the window says so once and lets the operator type the password for this run.
void KeyringTest::lockedKeyring() {
    if (!qv::test::keyringRunning())
        QSKIP("no keyring");
    qv::test::FtpServer server;
    server.putFile("A.LET", "Name|Town\nAnn|Cork\n");
    QVERIFY(
        qv::desktopKeyring()->store(keyOf(server), server.password(), qv::Prompting::Never).done());
    QVERIFY(qv::test::lockKeyring());

    qv::test::CommandLine cli;
    cli.write(kIni, settingsInKeyring(server));
    const qv::test::Run run = cli.run({QStringLiteral("search")});
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains("The desktop keyring is locked") &&
                 run.err.contains("without a display it cannot ask to be unlocked"),
             run.err.constData());
    QCOMPARE(cli.read(kIni), settingsInKeyring(server));

    Window w(settingsInKeyring(server));
    QCOMPARE(w.dialogs.messages.size(), 1);
    QVERIFY2(w.dialogs.messages[0].contains(QStringLiteral("The desktop keyring is locked")),
             qPrintable(w.dialogs.messages[0]));
    QVERIFY(w.choice()->isChecked());
    QCOMPARE(w.password()->text(), QString());
    w.password()->setText(server.password());
    searchServer(*w.form);
    QCOMPARE(w.dialogs.messages.size(), 1); // said once
    QVERIFY(QFile::exists(w.folder.filePath(QStringLiteral("data/A.LET"))));
    QCOMPARE(w.settings(), settingsInKeyring(server));
}

void KeyringTest::absentService() {
    if (qgetenv("QV_TEST_NO_SECRET_SERVICE").isEmpty())
        QSKIP("run with QV_TEST_NO_SECRET_SERVICE=1 and no session bus");
    qv::test::FtpServer server;
    server.putFile("A.LET", "Name|Town\nAnn|Cork\n");
    {
        // Switching on: the store fails, and the settings file stays as it was.
        Window off(settingsWithPassword(server));
        off.choice()->click();
        QVERIFY(!off.choice()->isChecked());
        QCOMPARE(off.dialogs.messages.size(), 1);
        QVERIFY2(off.dialogs.messages[0].contains(QStringLiteral("cannot be reached")) &&
                     off.dialogs.messages[0].contains(QStringLiteral("stays in the settings file")),
                 qPrintable(off.dialogs.messages[0]));
        QCOMPARE(off.settings(), settingsWithPassword(server));
    }

    qv::test::CommandLine cli;
    cli.write(kIni, settingsInKeyring(server));
    const qv::test::Run run = cli.run({QStringLiteral("search")});
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains("The desktop keyring cannot be reached"), run.err.constData());
    QCOMPARE(cli.run({QStringLiteral("search")}, server.password()).status, 0);
    QCOMPARE(cli.read(kIni), settingsInKeyring(server));

    Window w(settingsInKeyring(server));
    QCOMPARE(w.dialogs.messages.size(), 1);
    QVERIFY2(w.dialogs.messages[0].contains(QStringLiteral("cannot be reached")),
             qPrintable(w.dialogs.messages[0]));
    QCOMPARE(w.password()->text(), QString());
    w.password()->setText(server.password());
    searchServer(*w.form);
    QCOMPARE(w.dialogs.messages.size(), 1);
    QCOMPARE(w.settings(), settingsInKeyring(server));
    // Switching off still works: the typed password goes into the file once agreed.
    w.dialogs.confirmAnswers << true;
    w.choice()->click();
    QVERIFY(!w.choice()->isChecked());
    QVERIFY(w.settings().contains("\r\nPassword=" + server.password().toUtf8() + "\r\n"));
}

void KeyringTest::unlockThroughThePrompt_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("unlocked");
    QTest::newRow("password") << "password" << true;
    QTest::newRow("cancel") << "Escape" << false;
}

// With a display, a locked keyring shows the desktop's own unlock prompt (GNOME Keyring's, on
// Xvfb), answered here as an operator would, with the keyboard.
void KeyringTest::unlockThroughThePrompt() {
    QFETCH(QString, answer);
    QFETCH(bool, unlocked);
    if (!qv::test::keyringRunning() || qgetenv("QV_TEST_UNLOCK_PROMPT").isEmpty() ||
        qgetenv("DISPLAY").isEmpty())
        QSKIP("run through withkeyring.sh and xvfb-run with QV_TEST_UNLOCK_PROMPT=1");
    qv::test::FtpServer server;
    QVERIFY(
        qv::desktopKeyring()->store(keyOf(server), server.password(), qv::Prompting::Never).done());
    QVERIFY(qv::test::lockKeyring());
    QVERIFY(qv::test::showPromptsOnThisDisplay());
    QProcess operatorAnswer;
    qv::test::answerUnlockPrompt(operatorAnswer, answer == QLatin1String("password")
                                                     ? qgetenv("QV_TEST_KEYRING_PASSWORD")
                                                     : QByteArray());

    Window w(settingsInKeyring(server));
    QVERIFY(operatorAnswer.waitForFinished(30000));
    QVERIFY2(operatorAnswer.exitCode() == 0, operatorAnswer.readAllStandardError().constData());
    QVERIFY(w.choice()->isChecked());
    if (unlocked) {
        QCOMPARE(w.dialogs.messages, QStringList());
        QCOMPARE(w.password()->text(), server.password());
    } else {
        QCOMPARE(w.dialogs.messages.size(), 1);
        QVERIFY2(w.dialogs.messages[0].contains(QStringLiteral("was not unlocked")),
                 qPrintable(w.dialogs.messages[0]));
        QCOMPARE(w.password()->text(), QString());
    }
    QCOMPARE(w.settings(), settingsInKeyring(server));
}

QTEST_MAIN(KeyringTest)
#include "tst_keyring.moc"
