// A server that closes the connection in the middle of a command: the operator reads what
// happened, over SFTP as over FTP, never a bare library error number.
#include "platform/services.h"
#include "tests/support/ftpserver.h"
#include "tests/support/sftpserver.h"
#include "transfer/statustext.h"
#include "transfer/transfercontrol.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using qv::TransferControl;

namespace {

const QString kFolder = QStringLiteral("/u/vantrelle/accounts/");

// Runs one command to its end; false when it did not end in time.
bool runToEnd(TransferControl& control, const QString& command) {
    QSignalSpy ended(&control, &TransferControl::CommandEnded);
    return control.Execute(control.URL(), command) && ended.wait(20000);
}

} // namespace

class TestDropMessages : public QObject {
    Q_OBJECT
private slots:
    void dropSaysWhatHappened_data();
    void dropSaysWhatHappened();
};

void TestDropMessages::dropSaysWhatHappened_data() {
    QTest::addColumn<bool>("sftp");
    QTest::addColumn<bool>("listing");
    QTest::newRow("SFTP download") << true << false;
    QTest::newRow("FTP download") << false << false;
    QTest::newRow("FTP listing") << false << true;
}

void TestDropMessages::dropSaysWhatHappened() {
    QFETCH(bool, sftp);
    QFETCH(bool, listing);
    QTemporaryDir local;
    const QString knownHosts = local.filePath(QStringLiteral("known_hosts"));
    qv::ScopedServices here([&](qv::Services& s) {
        s.programFolder = local.path();
        s.knownHostsFile = knownHosts;
    });
    std::unique_ptr<qv::test::SftpServer> secure;
    std::unique_ptr<qv::test::FtpServer> plain;
    TransferControl control;
    const QByteArray bytes(400000, 'b');
    if (sftp) {
        secure = std::make_unique<qv::test::SftpServer>();
        QVERIFY(secure->isRunning());
        secure->putFile(QStringLiteral("B.LET"), bytes);
        secure->dropDownload(QStringLiteral("B.LET"), 100000);
        QFile file(knownHosts);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(secure->knownHostsLine() + '\n');
        control.setURL(secure->address());
        control.setUserName(secure->user());
        control.setPassword(secure->password());
    } else {
        plain = std::make_unique<qv::test::FtpServer>();
        QVERIFY(plain->isRunning());
        plain->putFile(QStringLiteral("B.LET"), bytes);
        if (listing)
            plain->dropListing(7);
        else
            plain->dropDownload(QStringLiteral("B.LET"), 100000);
        control.setURL(plain->address());
        control.setUserName(plain->user());
        control.setPassword(plain->password());
    }

    const QString command = listing ? QStringLiteral("DIR ") + kFolder + QStringLiteral("*.LET")
                                    : QStringLiteral("GET ") + kFolder + QStringLiteral("B.LET ") +
                                          local.filePath(QStringLiteral("B.LET"));
    QVERIFY(runToEnd(control, command));
    const QString expected =
        QStringLiteral("The server closed the connection while ") +
        (listing ? QStringLiteral("listing ") + kFolder
                 : QStringLiteral("downloading ") + kFolder + QStringLiteral("B.LET"));
    QCOMPARE(control.ResponseInfo(), expected);
    const QString message =
        qv::connectionErrorMessage(control.ResponseCode(), control.ResponseInfo());
    QVERIFY2(!message.contains(QStringLiteral("Please check")), qPrintable(message));
    QVERIFY(!QFile::exists(local.filePath(QStringLiteral("B.LET"))));
}

QTEST_MAIN(TestDropMessages)
#include "tst_dropmessages.moc"
