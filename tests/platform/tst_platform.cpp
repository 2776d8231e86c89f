#include "platform/codepage.h"
#include "platform/programfolder.h"
#include "platform/twips.h"
#include "tests/support/tempprogramfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class PlatformTest : public QObject {
    Q_OBJECT
private slots:
    void everyByteSurvivesDecodeAndEncode() {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(static_cast<char>(b));
        QCOMPARE(qv::codepage::encode(qv::codepage::decode(all)), all);
    }

    void codePageCharacters_data() {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("unicode");
        QTest::newRow("euro") << 0x80 << 0x20AC;
        QTest::newRow("left double quote") << 0x93 << 0x201C;
        QTest::newRow("undefined 0x81 stays itself") << 0x81 << 0x81;
        QTest::newRow("e acute") << 0xE9 << 0xE9;
        QTest::newRow("ascii") << 0x41 << 0x41;
    }
    void codePageCharacters() {
        QFETCH(int, byte);
        QFETCH(int, unicode);
        QCOMPARE(qv::codepage::decodeByte(static_cast<unsigned char>(byte)).unicode(), unicode);
        QCOMPARE(static_cast<unsigned char>(qv::codepage::encodeChar(QChar(unicode))), byte);
    }

    void unmappableCharacterBecomesQuestionMark() {
        QCOMPARE(qv::codepage::encode(QStringLiteral("a\u4e2db")), QByteArray("a?b"));
    }

    void twipsRoundHalfToEven_data() {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("exact") << 7380 << 492;
        QTest::newRow("half down to even") << 7 * 15 + 7 << 7; // 7.47 -> 7
        QTest::newRow("22.5 -> 22") << 15 * 22 + 7 << 22;      // 337 / 15 = 22.47
        QTest::newRow("negative") << -30 << -2;
    }
    void twipsRoundHalfToEven() {
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(qv::twipsToPixels(twips), pixels);
    }

    void halfGoesToEven() {
        QCOMPARE(qv::roundHalfEven(0.5), 0);
        QCOMPARE(qv::roundHalfEven(1.5), 2);
        QCOMPARE(qv::roundHalfEven(2.5), 2);
        QCOMPARE(qv::roundHalfEven(-2.5), -2);
    }

    void programFolderIsInjectable() {
        const QString before = qv::programFolder();
        {
            qv::test::TempProgramFolder folder;
            QCOMPARE(qv::programFolder(), folder.path());
            QCOMPARE(qv::programPath(QStringLiteral("data")),
                     QDir::toNativeSeparators(folder.path() + QStringLiteral("/data")));
        }
        QCOMPARE(qv::programFolder(), before);
    }

    void readOnlyExecutableFolderFallsBackToAUserFolder() {
        QTemporaryDir exe, user;
        QFile clip(exe.filePath(QStringLiteral("Download.avi")));
        QVERIFY(clip.open(QIODevice::WriteOnly));
        clip.write("RIFF");
        clip.close();
        const QString fallback = user.filePath(QStringLiteral("Quorvane"));
        const QStringList shipped = {QStringLiteral("Download.avi")};

        QCOMPARE(qv::resolveProgramFolder(exe.path(), true, fallback, shipped), exe.path());
        QVERIFY(!QDir(fallback).exists());

        QCOMPARE(qv::resolveProgramFolder(exe.path(), false, fallback, shipped), fallback);
        QFile copy(QDir(fallback).filePath(QStringLiteral("Download.avi")));
        QVERIFY(copy.open(QIODevice::ReadWrite));
        QCOMPARE(copy.readAll(), QByteArray("RIFF"));

        // A copy the operator already has is kept.
        copy.resize(0);
        copy.write("mine");
        copy.close();
        qv::resolveProgramFolder(exe.path(), false, fallback, shipped);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), QByteArray("mine"));
    }

    void writabilityIsTriedNotGuessed() {
        QTemporaryDir dir;
        QVERIFY(qv::folderIsWritable(dir.path()));
        QVERIFY(!qv::folderIsWritable(dir.filePath(QStringLiteral("missing"))));
        QVERIFY(QDir(dir.path())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
    }
};

QTEST_GUILESS_MAIN(PlatformTest)
#include "tst_platform.moc"
