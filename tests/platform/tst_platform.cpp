#include "platform/codepage.h"
#include "platform/dates.h"
#include "platform/fileopener.h"
#include "platform/programfolder.h"
#include "platform/services.h"
#include "platform/twips.h"
#include "platform/versionquery.h"
#include "tests/support/tempprogramfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class PlatformTest : public QObject {
    Q_OBJECT
private slots:
    // The general form is the short date and the long time, with seconds and without a time
    // zone; the long time alone has no zone either.
    void datesInTheLocalesForms_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("general");
        QTest::addColumn<QString>("longTime");
        QTest::newRow("en_US") << "en_US"
                               << "3/5/24 2:07:09 PM"
                               << "2:07:09 PM";
        QTest::newRow("en_GB") << "en_GB"
                               << "05/03/2024 14:07:09"
                               << "14:07:09";
        QTest::newRow("de_DE") << "de_DE"
                               << "05.03.24 14:07:09"
                               << "14:07:09";
    }
    void datesInTheLocalesForms() {
        QFETCH(QString, locale);
        QFETCH(QString, general);
        QFETCH(QString, longTime);
        const QLocale l(locale);
        const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
        QCOMPARE(qv::generalDate(when, l), general);
        QCOMPARE(qv::longTime(when.time(), l), longTime);
        QCOMPARE(qv::generalDate(QDateTime(), l), QString());
    }

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

    void servicesAreReadWhereTheyAreUsed() {
        QStringList opened;
        qv::Services services;
        services.programFolder = QStringLiteral("/srv/quorvane");
        services.versionQuery = [] { return qv::OsVersion{qv::kPlatformNT, 5, 1, {}}; };
        services.fileOpener = [&](const QString& path) {
            opened << path;
            return false;
        };
        const qv::ScopedServices guard(services);
        QCOMPARE(qv::programFolder(), QStringLiteral("/srv/quorvane"));
        QVERIFY(!qv::programFolderIsFallback());
        QCOMPARE(qv::queryOsVersion().platformId, qv::kPlatformNT);
        QCOMPARE(qv::queryOsVersion().minor, 1);
        QVERIFY(!qv::openWithDesktop(QStringLiteral("/tmp/letter.docx")));
        QCOMPARE(opened, QStringList{QStringLiteral("/tmp/letter.docx")});
    }

    // Each guard puts back exactly what was installed when it started, changes of outer guards
    // included; a change made by an inner guard keeps what the outer one installed.
    void guardsRestoreTheServicesInTurn() {
        const QString realFolder = qv::programFolder();
        const int realPlatform = qv::queryOsVersion().platformId;
        {
            const qv::ScopedServices outer(
                [](qv::Services& s) { s.programFolder = QStringLiteral("/srv/outer"); });
            {
                const qv::ScopedServices inner([](qv::Services& s) {
                    s.versionQuery = [] { return qv::OsVersion{qv::kPlatformWindows, 4, 10, {}}; };
                });
                QCOMPARE(qv::programFolder(), QStringLiteral("/srv/outer"));
                QCOMPARE(qv::queryOsVersion().platformId, qv::kPlatformWindows);
            }
            QCOMPARE(qv::programFolder(), QStringLiteral("/srv/outer"));
            QCOMPARE(qv::queryOsVersion().platformId, realPlatform);
            {
                const qv::ScopedServices whole{qv::Services{}};
                QCOMPARE(qv::programFolder(), realFolder);
            }
            QCOMPARE(qv::programFolder(), QStringLiteral("/srv/outer"));
        }
        QCOMPARE(qv::programFolder(), realFolder);
        QVERIFY(!qv::services().versionQuery);
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
