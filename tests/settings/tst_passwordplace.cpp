#include "settings/passwordplace.h"
#include "tests/settings/fakekeyring.h"
#include "tests/support/tempprogramfolder.h"

#include <QFile>
#include <QTest>
#include <sys/stat.h>

using qv::KeyringReply;
using qv::PasswordKey;
using qv::Prompting;
using qv::test::FakeKeyring;
using qv::test::TempProgramFolder;

namespace {
const QByteArray kInFile =
    "[Default]\r\nPassword=Merge pw\r\nLogin=root\r\nIpaddress=10.0.0.5:2121\r\n";
const QByteArray kInKeyring =
    "[Default]\r\nPasswordInKeyring=1\r\nPassword=\r\nLogin=root\r\nIpaddress=10.0.0.5:2121\r\n";
const PasswordKey kKey{QStringLiteral("10.0.0.5"), 2121, QStringLiteral("root")};
const QString kHeld = QStringLiteral("root@10.0.0.5:2121");
const QString kPassword = QStringLiteral("Merge pw");
} // namespace

class PasswordPlaceTest : public QObject {
    Q_OBJECT
private slots:
    void choiceAsRecorded_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("inKeyring");
        QTest::newRow("no file key") << kInFile << false;
        QTest::newRow("on") << kInKeyring << true;
        QTest::newRow("any case") << QByteArray("[DEFAULT]\r\npasswordinkeyring=1\r\n") << true;
        QTest::newRow("off") << QByteArray("[Default]\r\nPasswordInKeyring=0\r\n") << false;
        QTest::newRow("not 1") << QByteArray("[Default]\r\nPasswordInKeyring=yes\r\n") << false;
        QTest::newRow("other section") << QByteArray("[Other]\r\nPasswordInKeyring=1\r\n") << false;
    }
    void choiceAsRecorded() {
        QFETCH(QByteArray, file);
        QFETCH(bool, inKeyring);
        TempProgramFolder folder;
        folder.write(QStringLiteral("auto.ini"), file);
        QCOMPARE(qv::passwordInKeyring(folder.filePath(QStringLiteral("auto.ini"))), inKeyring);
    }

    // Stored first, then the choice recorded and the password emptied; nothing else changes.
    void intoKeyring() {
        TempProgramFolder folder;
        const QString ini = folder.filePath(QStringLiteral("auto.ini"));
        folder.write(QStringLiteral("auto.ini"), kInFile);
        FakeKeyring keyring(ini);
        QCOMPARE(qv::movePasswordToKeyring(ini, keyring, kKey, kPassword, Prompting::Never),
                 QString());
        QCOMPARE(keyring.held.value(kHeld), kPassword);
        QCOMPARE(keyring.fileAtStore, kInFile);
        QCOMPARE(keyring.prompts, QList<Prompting>{Prompting::Never});
        QCOMPARE(folder.read(QStringLiteral("auto.ini")), kInKeyring);
    }

    void keyringRefusesTheStore_data() {
        QTest::addColumn<KeyringReply::Status>("refusal");
        QTest::addColumn<QString>("said");
        QTest::newRow("locked") << KeyringReply::Status::Locked << "is locked";
        QTest::newRow("unreachable") << KeyringReply::Status::Unreachable << "cannot be reached";
        QTest::newRow("failed") << KeyringReply::Status::Failed << "refused the password";
    }
    void keyringRefusesTheStore() {
        QFETCH(KeyringReply::Status, refusal);
        QFETCH(QString, said);
        TempProgramFolder folder;
        const QString ini = folder.filePath(QStringLiteral("auto.ini"));
        folder.write(QStringLiteral("auto.ini"), kInFile);
        FakeKeyring keyring;
        keyring.refusal = refusal;
        const QString problem =
            qv::movePasswordToKeyring(ini, keyring, kKey, kPassword, Prompting::Never);
        QVERIFY2(problem.contains(said), qPrintable(problem));
        QVERIFY(problem.contains(QStringLiteral("stays in the settings file")));
        QCOMPARE(folder.read(QStringLiteral("auto.ini")), kInFile);
    }

    // A read-only settings file: the password, already in the keyring, also stays in the file.
    void intoKeyringWithReadOnlyFile() {
        TempProgramFolder folder;
        const QString ini = folder.filePath(QStringLiteral("auto.ini"));
        folder.write(QStringLiteral("auto.ini"), kInFile);
        QVERIFY(::chmod(QFile::encodeName(ini).constData(), 0400) == 0);
        FakeKeyring keyring;
        const QString problem =
            qv::movePasswordToKeyring(ini, keyring, kKey, kPassword, Prompting::Never);
        QVERIFY2(problem.contains(QStringLiteral("Permission denied")), qPrintable(problem));
        QCOMPARE(folder.read(QStringLiteral("auto.ini")), kInFile);
    }

    // Written into the file first, then removed from the keyring.
    void intoFile() {
        TempProgramFolder folder;
        const QString ini = folder.filePath(QStringLiteral("auto.ini"));
        folder.write(QStringLiteral("auto.ini"), kInKeyring);
        FakeKeyring keyring(ini);
        keyring.held[kHeld] = kPassword;
        const qv::PasswordMove move =
            qv::movePasswordToFile(ini, keyring, kKey, kPassword, Prompting::Allowed);
        QVERIFY(move.moved);
        QCOMPARE(move.problem, QString());
        const QByteArray back =
            "[Default]\r\nPasswordInKeyring=0\r\nPassword=Merge pw\r\nLogin=root\r\n"
            "Ipaddress=10.0.0.5:2121\r\n";
        QCOMPARE(keyring.fileAtRemove, back);
        QCOMPARE(folder.read(QStringLiteral("auto.ini")), back);
        QVERIFY(keyring.held.isEmpty());
    }

    void intoFileThatCannotBeWritten() {
        TempProgramFolder folder;
        const QString ini = folder.filePath(QStringLiteral("auto.ini"));
        folder.write(QStringLiteral("auto.ini"), kInKeyring);
        QVERIFY(::chmod(QFile::encodeName(ini).constData(), 0400) == 0);
        FakeKeyring keyring;
        keyring.held[kHeld] = kPassword;
        const qv::PasswordMove move =
            qv::movePasswordToFile(ini, keyring, kKey, kPassword, Prompting::Allowed);
        QVERIFY(!move.moved);
        QVERIFY2(move.problem.contains(QStringLiteral("Permission denied")),
                 qPrintable(move.problem));
        QCOMPARE(keyring.held.value(kHeld), kPassword);
        QVERIFY(keyring.fileAtRemove.isNull()); // never asked to remove
        QCOMPARE(folder.read(QStringLiteral("auto.ini")), kInKeyring);
    }

    void intoFileWhileTheKeyringIsLocked() {
        TempProgramFolder folder;
        const QString ini = folder.filePath(QStringLiteral("auto.ini"));
        folder.write(QStringLiteral("auto.ini"), kInKeyring);
        FakeKeyring keyring;
        keyring.held[kHeld] = kPassword;
        keyring.refusal = KeyringReply::Status::Locked;
        const qv::PasswordMove move =
            qv::movePasswordToFile(ini, keyring, kKey, kPassword, Prompting::Never);
        QVERIFY(move.moved);
        QVERIFY2(move.problem.contains(QStringLiteral("still in the keyring")),
                 qPrintable(move.problem));
        QVERIFY(folder.read(QStringLiteral("auto.ini")).contains("\r\nPassword=Merge pw\r\n"));
    }
};

QTEST_GUILESS_MAIN(PasswordPlaceTest)
#include "tst_passwordplace.moc"
