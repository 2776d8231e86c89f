#include "settings/passwordkeyring.h"
#include "tests/support/keyringtools.h"

#include <QTest>

using qv::KeyringReply;
using qv::PasswordKey;
using qv::Prompting;
using Status = qv::KeyringReply::Status;

namespace {
const PasswordKey kKey{QStringLiteral("127.0.0.1"), 2121, QStringLiteral("root")};
} // namespace

// The desktop keyring through the real Secret Service of GNOME Keyring (run by withkeyring.sh).
// The locked keyring comes last: nothing here unlocks it again without a prompt.
class SecretServiceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (!qv::test::keyringRunning() && qgetenv("QV_TEST_NO_SECRET_SERVICE").isEmpty())
            QSKIP("run through tests/support/withkeyring.sh");
    }

    void storedPasswordIsFoundAgain_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("plain") << QStringLiteral("Merge-2024 pw");
        QTest::newRow("beyond ASCII") << QStringLiteral("Seán €5 密码");
    }
    void storedPasswordIsFoundAgain() {
        QFETCH(QString, password);
        if (qv::test::keyringRunning() == false)
            QSKIP("no keyring");
        auto keyring = qv::desktopKeyring();
        QVERIFY(keyring->store(kKey, password, Prompting::Never).done());
        const KeyringReply found = keyring->lookup(kKey, Prompting::Never);
        QVERIFY(found.done());
        QCOMPARE(found.password, password);
        // The Secret Service itself holds it, under the three attributes.
        QCOMPARE(qv::test::keyringSecret(kKey.server, kKey.port, kKey.login), password.toUtf8());
    }

    void anotherServerPortOrLoginFindsNothing_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("login");
        QTest::newRow("server") << "127.0.0.2" << 2121 << "root";
        QTest::newRow("port") << "127.0.0.1" << 21 << "root";
        QTest::newRow("login") << "127.0.0.1" << 2121 << "Root";
    }
    void anotherServerPortOrLoginFindsNothing() {
        QFETCH(QString, server);
        QFETCH(int, port);
        QFETCH(QString, login);
        if (!qv::test::keyringRunning())
            QSKIP("no keyring");
        auto keyring = qv::desktopKeyring();
        QVERIFY(keyring->store(kKey, QStringLiteral("pw"), Prompting::Never).done());
        QCOMPARE(keyring->lookup({server, port, login}, Prompting::Never).status, Status::NotFound);
    }

    // A secret another program filed under the same attributes is neither read nor replaced.
    void anotherProgramsSecretIsLeftAlone() {
        if (!qv::test::keyringRunning())
            QSKIP("no keyring");
        const PasswordKey key{QStringLiteral("shared.example"), 21, QStringLiteral("root")};
        QVERIFY(qv::test::storeForeignSecret(key.server, key.port, key.login, "theirs"));
        auto keyring = qv::desktopKeyring();
        QCOMPARE(keyring->lookup(key, Prompting::Never).status, Status::NotFound);
        QVERIFY(keyring->store(key, QStringLiteral("ours"), Prompting::Never).done());
        QVERIFY(keyring->remove(key, Prompting::Never).done());
        QCOMPARE(qv::test::keyringSecret(key.server, key.port, key.login), QByteArray("theirs"));
    }

    void replacedAndRemoved() {
        if (!qv::test::keyringRunning())
            QSKIP("no keyring");
        auto keyring = qv::desktopKeyring();
        QVERIFY(keyring->store(kKey, QStringLiteral("first"), Prompting::Never).done());
        QVERIFY(keyring->store(kKey, QStringLiteral("second"), Prompting::Never).done());
        QCOMPARE(keyring->lookup(kKey, Prompting::Never).password, QStringLiteral("second"));
        QVERIFY(keyring->remove(kKey, Prompting::Never).done());
        QCOMPARE(keyring->lookup(kKey, Prompting::Never).status, Status::NotFound);
        QCOMPARE(qv::test::keyringSecret(kKey.server, kKey.port, kKey.login), QByteArray());
        QVERIFY(keyring->remove(kKey, Prompting::Never).done()); // nothing left to remove
    }

    // Locked, and no prompt allowed: said so, nothing read or stored, and no prompt shown.
    void lockedKeyringWithoutPrompting() {
        if (!qv::test::keyringRunning())
            QSKIP("no keyring");
        auto keyring = qv::desktopKeyring();
        QVERIFY(keyring->store(kKey, QStringLiteral("kept"), Prompting::Never).done());
        QVERIFY(qv::test::lockKeyring());
        const KeyringReply found = keyring->lookup(kKey, Prompting::Never);
        QCOMPARE(found.status, Status::Locked);
        QCOMPARE(found.password, QString());
        const PasswordKey other{QStringLiteral("other.example"), 21, QStringLiteral("root")};
        QCOMPARE(keyring->store(other, QStringLiteral("new"), Prompting::Never).status,
                 Status::Locked);
        QCOMPARE(keyring->remove(kKey, Prompting::Never).status, Status::Locked);
        const QString said = qv::keyringProblemText(found, kKey);
        QVERIFY2(said.contains(QStringLiteral("locked")) &&
                     said.contains(QStringLiteral("without a display")),
                 qPrintable(said));
    }

    // No Secret Service on the bus (run with a session bus address that leads nowhere).
    void unreachableService() {
        if (qgetenv("QV_TEST_NO_SECRET_SERVICE").isEmpty())
            QSKIP("run with QV_TEST_NO_SECRET_SERVICE=1 and no session bus");
        auto keyring = qv::desktopKeyring();
        const KeyringReply found = keyring->lookup(kKey, Prompting::Never);
        QCOMPARE(found.status, Status::Unreachable);
        QCOMPARE(keyring->store(kKey, QStringLiteral("pw"), Prompting::Never).status,
                 Status::Unreachable);
        const QString said = qv::keyringProblemText(found, kKey);
        QVERIFY2(said.contains(QStringLiteral("cannot be reached")), qPrintable(said));
    }
};

QTEST_GUILESS_MAIN(SecretServiceTest)
#include "tst_secretservice.moc"
