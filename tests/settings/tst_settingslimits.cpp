// auto.ini as other programs leave it: LF line ends from a text editor are read and rewritten as
// the program's own CR LF; a file far larger than settings take is refused with its reason, in
// the window too, and left as it is.
#include "app/form2.h"
#include "settings/inifile.h"
#include "settings/settingsfile.h"
#include "tests/support/designcontrol.h"
#include "tests/support/recordingdialogs.h"
#include "tests/support/tempprogramfolder.h"

#include <QLineEdit>
#include <QtTest>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

} // namespace

class SettingsLimitsTest : public QObject {
    Q_OBJECT
private slots:
    void lineEnds_data();
    void lineEnds();
    void sizeLimit_data();
    void sizeLimit();
    void windowSaysWhy();
};

void SettingsLimitsTest::lineEnds_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("LF") << QByteArray("[Default]\nIpaddress=10.0.0.5\nLogin=root\nPassword=pw\n");
    QTest::newRow("LF, no final line end")
        << QByteArray("[Default]\nIpaddress=10.0.0.5\nLogin=root\nPassword=pw");
    QTest::newRow("LF and CR LF mixed")
        << QByteArray("[Default]\nIpaddress=10.0.0.5\r\nLogin=root\nPassword=pw\r\n");
    QTest::newRow("another section first, LF")
        << QByteArray("[Other]\nLogin=nobody\n\n[Default]\nIpaddress=10.0.0.5\nLogin=root\n"
                      "Password=pw\n");
}

void SettingsLimitsTest::lineEnds() {
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("auto.ini"));
    writeAll(path, file);
    const QString section = QStringLiteral("Default");
    QCOMPARE(qv::INIread(path, section, QStringLiteral("Ipaddress")), QStringLiteral("10.0.0.5"));
    QCOMPARE(qv::INIread(path, section, QStringLiteral("login")), QStringLiteral("root"));
    QCOMPARE(qv::INIread(path, section, QStringLiteral("Password")), QStringLiteral("pw"));

    // A save replaces the values in place: each key once, every line ended by CR LF.
    QVERIFY(qv::INIwrite(path, section, QStringLiteral("Login"), QStringLiteral("admin")));
    const QByteArray saved = readAll(path);
    QCOMPARE(saved.count("Login=admin"), 1);
    QCOMPARE(saved.count("[Default]"), 1);
    QCOMPARE(saved.count('\n'), saved.count("\r\n"));
    QCOMPARE(qv::INIread(path, section, QStringLiteral("Login")), QStringLiteral("admin"));
    QCOMPARE(qv::INIread(path, section, QStringLiteral("Ipaddress")), QStringLiteral("10.0.0.5"));
}

void SettingsLimitsTest::sizeLimit_data() {
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("read");
    QTest::newRow("64 KB exactly") << qint64(64 * 1024) << true;
    QTest::newRow("one byte more") << qint64(64 * 1024 + 1) << false;
    QTest::newRow("100 KB") << qint64(100 * 1024) << false;
}

void SettingsLimitsTest::sizeLimit() {
    QFETCH(qint64, size);
    QFETCH(bool, read);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("auto.ini"));
    QByteArray file = "[Default]\r\nIpaddress=10.0.0.5\r\n;";
    file += QByteArray(size - file.size() - 2, 'x') + "\r\n";
    QCOMPARE(file.size(), size);
    writeAll(path, file);

    bool ok = false;
    QString why;
    const QString value =
        qv::INIread(path, QStringLiteral("Default"), QStringLiteral("Ipaddress"), &ok, &why);
    QCOMPARE(ok, read);
    QCOMPARE(value, read ? QStringLiteral("10.0.0.5") : QString());
    QCOMPARE(qv::settingsfile::sizeProblem(path).isEmpty(), read);
    if (read)
        return;
    QVERIFY2(why.contains("is larger than 64 KB") && why.contains(path), qPrintable(why));
    QVERIFY(!qv::INIwrite(path, QStringLiteral("Default"), QStringLiteral("Login"),
                          QStringLiteral("root"), &why));
    QVERIFY2(why.contains("is larger than 64 KB"), qPrintable(why));
    QCOMPARE(readAll(path), file);
}

// The window's load step tells the operator why the fields stay empty.
void SettingsLimitsTest::windowSaysWhy() {
    qv::test::TempProgramFolder folder;
    const QByteArray large =
        "[Default]\r\nIpaddress=10.0.0.5\r\n" + QByteArray(100 * 1024, 'x') + "\r\n";
    folder.write(QStringLiteral("auto.ini"), large);
    qv::test::RecordingDialogs dialogs;
    Form2 form;
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY2(dialogs.messages.first().contains("is larger than 64 KB"),
             qPrintable(dialogs.messages.first()));
    QCOMPARE(qv::test::designControl<QLineEdit>(form, "Text10")->text(), QString());
    QCOMPARE(folder.read(QStringLiteral("auto.ini")), large);
}

QTEST_MAIN(SettingsLimitsTest)
#include "tst_settingslimits.moc"
