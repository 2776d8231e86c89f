// A login, a password or a name with a line end in it would reach the FTP control connection as
// a command of its own ("PASS pw", then "DELE ..."). The transfer control refuses every such
// value before it connects, against a real server on 127.0.0.1; the window refuses it with a
// message before it starts.
#include "app/actions/search.h"
#include "app/form2.h"
#include "tests/support/designcontrol.h"
#include "tests/support/ftpserver.h"
#include "tests/support/recordingdialogs.h"
#include "tests/support/tempprogramfolder.h"
#include "transfer/transfercontrol.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using qv::TransferControl;
using qv::test::designControl;
using qv::test::FtpServer;

namespace {

const QString kVictim = QStringLiteral("/u/vantrelle/accounts/X.LET");
const QString kInjected = QStringLiteral("\r\nDELE ") + kVictim;

} // namespace

class TestCommandInjection : public QObject {
    Q_OBJECT
private slots:
    void controlRefusesBeforeConnecting_data();
    void controlRefusesBeforeConnecting();
    void windowRefusesBeforeConnecting_data();
    void windowRefusesBeforeConnecting();
};

void TestCommandInjection::controlRefusesBeforeConnecting_data() {
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("command"); // %L: a local path
    QTest::addColumn<QString>("why");
    const QString list = QStringLiteral("DIR /u/vantrelle/accounts/*.LET");
    QTest::newRow("password, listing") << "" << kInjected << list << "The password holds";
    QTest::newRow("password, LF only") << ""
                                       << "\nDELE " + kVictim << list << "The password";
    QTest::newRow("password, NUL")
        << "" << QStringLiteral("pw") + QChar(0) << list << "The password holds";
    QTest::newRow("login, listing") << kInjected << "" << list << "The login name holds";
    QTest::newRow("login, delete") << kInjected << ""
                                   << "DELETE /u/vantrelle/accounts/Y.LET"
                                   << "The login name holds";
    QTest::newRow("name, download") << ""
                                    << ""
                                    << "GET /u/vantrelle/accounts/Y.LET" + kInjected + " %L"
                                    << "holds a control character";
    QTest::newRow("name, delete") << ""
                                  << ""
                                  << "DELETE /u/vantrelle/accounts/Y.LET" + kInjected
                                  << "holds a control character";
    QTest::newRow("folder, listing") << ""
                                     << ""
                                     << "DIR /u/vantrelle/accounts" + kInjected + "/*.LET"
                                     << "holds a control character";
}

void TestCommandInjection::controlRefusesBeforeConnecting() {
    QFETCH(QString, login);
    QFETCH(QString, password);
    QFETCH(QString, command);
    QFETCH(QString, why);
    FtpServer server;
    QVERIFY(server.isRunning());
    server.putFile(QStringLiteral("X.LET"), "N\n1\n");
    server.putFile(QStringLiteral("Y.LET"), "N\n2\n");
    QTemporaryDir local;
    TransferControl control;
    control.setURL(server.address());
    control.setUserName(server.user() + login);
    control.setPassword(server.password() + password);
    control.setProtocol(TransferControl::icFTP);

    QSignalSpy ended(&control, &TransferControl::CommandEnded);
    if (control.Execute(control.URL(), command.replace("%L", local.filePath("Y.LET"))))
        QVERIFY(ended.wait(20000));
    QVERIFY2(control.ResponseInfo().contains(why), qPrintable(control.ResponseInfo()));
    QCOMPARE(server.count(QStringLiteral("CONNECT")), 0);
    QVERIFY(server.hasFile(QStringLiteral("X.LET")));
    QVERIFY(server.hasFile(QStringLiteral("Y.LET")));
}

void TestCommandInjection::windowRefusesBeforeConnecting_data() {
    QTest::addColumn<QString>("address"); // %A: the server's, %U: its login, %P: its password
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");
    QTest::newRow("password") << "%A"
                              << "" << kInjected << "The password holds a control character";
    QTest::newRow("login") << "%A" << kInjected << ""
                           << "The Login Name holds a control character";
    QTest::newRow("tab in the password") << "%A"
                                         << ""
                                         << "\t"
                                         << "The password holds a control character";
    QTest::newRow("login and password in the address")
        << "ftp://%U:%P@%A"
        << ""
        << ""
        << "The IP Address holds a login name or password";
    QTest::newRow("login in the address") << "%U@%A"
                                          << ""
                                          << ""
                                          << "The IP Address holds a login name or password";
}

void TestCommandInjection::windowRefusesBeforeConnecting() {
    QFETCH(QString, address);
    QFETCH(QString, login);
    QFETCH(QString, password);
    QFETCH(QString, message);
    qv::test::TempProgramFolder folder;
    qv::test::RecordingDialogs dialogs;
    FtpServer server;
    QVERIFY(server.isRunning());
    server.putFile(QStringLiteral("X.LET"), "N\n1\n");
    Form2 form;
    designControl<QLineEdit>(form, "Text10")
        ->setText(address.replace("%A", server.address())
                      .replace("%U", server.user())
                      .replace("%P", server.password()));
    designControl<QLineEdit>(form, "Text11")->setText(server.user() + login);
    designControl<QLineEdit>(form, "Text12")->setText(server.password() + password);

    searchServer(form);

    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY2(dialogs.messages[0].startsWith(message), qPrintable(dialogs.messages[0]));
    QCOMPARE(server.count(QStringLiteral("CONNECT")), 0);
    QVERIFY(server.hasFile(QStringLiteral("X.LET")));
    QVERIFY(form.isEnabled());
    QVERIFY(!dialogs.messages[0].contains(server.password()));
    QVERIFY(!designControl<QLineEdit>(form, "Text7")->text().contains(server.password()));
    QVERIFY(!folder.read(QStringLiteral("auto.ini")).contains(server.password().toUtf8()));
}

QTEST_MAIN(TestCommandInjection)
#include "tst_commandinjection.moc"
