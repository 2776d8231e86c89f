#include "tests/settings/fakekeyring.h"
#include "tests/support/tempprogramfolder.h"
#include "transfer/passwordkey.h"

#include <QFile>
#include <QTest>
#include <sys/stat.h>

using qv::ConnectionFields;
using qv::Prompting;
using qv::test::FakeKeyring;
using qv::test::TempProgramFolder;

class PasswordKeyTest : public QObject {
    Q_OBJECT
private slots:
    // Every address form finds the same login on the same server and port.
    void keyOfTheAddress_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("server");
        QTest::addColumn<int>("port");
        QTest::newRow("host") << "files.example"
                              << "files.example" << 21;
        QTest::newRow("host:port") << "127.0.0.1:2121"
                                   << "127.0.0.1" << 2121;
        QTest::newRow("ftp url") << "ftp://127.0.0.1:2121/"
                                 << "127.0.0.1" << 2121;
        QTest::newRow("ftpes") << "ftpes://files.example"
                               << "files.example" << 21;
        QTest::newRow("ftps") << "ftps://files.example"
                              << "files.example" << 990;
        QTest::newRow("sftp") << "sftp://files.example:2222"
                              << "files.example" << 2222;
        QTest::newRow("ipv6") << "[::1]:2121"
                              << "[::1]" << 2121;
    }
    void keyOfTheAddress() {
        QFETCH(QString, address);
        QFETCH(QString, server);
        QFETCH(int, port);
        const auto key = qv::passwordKeyOf({address, QStringLiteral("root"), {}});
        QVERIFY(key);
        QCOMPARE(key->server, server);
        QCOMPARE(key->port, port);
        QCOMPARE(key->login, QStringLiteral("root"));
    }

    void noKeyForAnUnusableAddress() {
        QString why;
        QVERIFY(!qv::passwordKeyOf({QStringLiteral("http://x"), QStringLiteral("root"), {}}, &why));
        QVERIFY(!why.isEmpty());
    }

    // The search's save with the keyring: "auto.ini" gets no password, the keyring gets it.
    void saveKeepsThePasswordOutOfTheFile() {
        TempProgramFolder folder;
        const QString ini = folder.filePath(QStringLiteral("auto.ini"));
        folder.write(QStringLiteral("auto.ini"), "[Default]\r\nPasswordInKeyring=1\r\n");
        FakeKeyring keyring(ini);
        const ConnectionFields fields{QStringLiteral("127.0.0.1:2121"), QStringLiteral("root"),
                                      QStringLiteral("pw")};
        const qv::KeyringSave save =
            qv::saveConnectionFieldsWithKeyring(ini, fields, keyring, Prompting::Never);
        QCOMPARE(save.fileError, QString());
        QCOMPARE(save.keyringProblem, QString());
        const QByteArray saved =
            "[Default]\r\nPassword=\r\nLogin=root\r\nIpaddress=127.0.0.1:2121\r\n"
            "PasswordInKeyring=1\r\n";
        QCOMPARE(folder.read(QStringLiteral("auto.ini")), saved);
        QCOMPARE(keyring.held.value(QStringLiteral("root@127.0.0.1:2121")), QStringLiteral("pw"));
    }

    void saveWithARefusingKeyring() {
        TempProgramFolder folder;
        const QString ini = folder.filePath(QStringLiteral("auto.ini"));
        FakeKeyring keyring;
        keyring.refusal = qv::KeyringReply::Status::Unreachable;
        const qv::KeyringSave save = qv::saveConnectionFieldsWithKeyring(
            ini, {QStringLiteral("h"), QStringLiteral("root"), QStringLiteral("pw")}, keyring,
            Prompting::Never);
        QCOMPARE(save.fileError, QString());
        QVERIFY(save.keyringProblem.contains(QStringLiteral("cannot be reached")));
        QVERIFY(!folder.read(QStringLiteral("auto.ini")).contains("pw"));
    }

    void saveToAnUnwritableFileLeavesTheKeyringAlone() {
        TempProgramFolder folder;
        const QString ini = folder.filePath(QStringLiteral("auto.ini"));
        folder.write(QStringLiteral("auto.ini"), "[Default]\r\n");
        QVERIFY(::chmod(QFile::encodeName(ini).constData(), 0400) == 0);
        FakeKeyring keyring;
        const qv::KeyringSave save = qv::saveConnectionFieldsWithKeyring(
            ini, {QStringLiteral("h"), QStringLiteral("root"), QStringLiteral("pw")}, keyring,
            Prompting::Never);
        QVERIFY(save.fileError.contains(QStringLiteral("Permission denied")));
        QVERIFY(keyring.prompts.isEmpty());
    }
};

QTEST_GUILESS_MAIN(PasswordKeyTest)
#include "tst_passwordkey.moc"
