// The search when this computer cannot store what it receives: a full disk under the data
// folder, or under the settings file. Either is a failure the operator is told of, with the
// system's reason (and the files not stored), in the search's message box; never "Search
// Complete".
#include "app/actions/search.h"
#include "app/form2.h"
#include "tests/support/designcontrol.h"
#include "tests/support/ftpserver.h"
#include "tests/support/recordingdialogs.h"
#include "tests/support/smalldisk.h"
#include "transfer/transfercontrol.h"
#include "ui/listview.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <unistd.h>

using qv::test::designControl;

using qv::test::SmallDisk;

class TestLocalFaults : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fullDataFolder();
    void settingsCannotBeSaved();

private:
    QTemporaryDir root;
    std::unique_ptr<Form2> openWindow(const qv::test::FtpServer& server);
};

void TestLocalFaults::initTestCase() {
    if (geteuid() != 0)
        QSKIP("mounting a small file system needs root; run the suite as root to test a full "
              "disk");
}

std::unique_ptr<Form2> TestLocalFaults::openWindow(const qv::test::FtpServer& server) {
    auto form = std::make_unique<Form2>();
    designControl<QLineEdit>(*form, "Text10")->setText(server.address());
    designControl<QLineEdit>(*form, "Text11")->setText(server.user());
    designControl<QLineEdit>(*form, "Text12")->setText(server.password());
    return form;
}

void TestLocalFaults::fullDataFolder() {
    const QString folder = root.filePath(QStringLiteral("full-data"));
    SmallDisk disk(folder, QStringLiteral("256k"));
    QVERIFY(disk.mounted());
    qv::ScopedServices here([&](qv::Services& s) { s.programFolder = folder; });
    qv::test::FtpServer server;
    qv::test::RecordingDialogs dialogs;
    server.putFile(QStringLiteral("A.LET"), "N\n1\n");
    server.putFile(QStringLiteral("B.LET"), QByteArray(2 * 1024 * 1024, 'x'));
    server.putFile(QStringLiteral("C.LET"), "N\n3\n");
    auto form = openWindow(server);

    searchServer(*form);

    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY2(dialogs.messages.first().contains(QStringLiteral("No space left on device")),
             qPrintable(dialogs.messages.first()));
    QVERIFY2(dialogs.messages.first().contains(QStringLiteral("B.LET")),
             qPrintable(dialogs.messages.first()));
    QVERIFY(!designControl<QLineEdit>(*form, "Text6")
                 ->text()
                 .startsWith(QStringLiteral("Search Complete")));
    QVERIFY(designControl<QLineEdit>(*form, "Text6")
                ->text()
                .startsWith(QStringLiteral("Search Stopped ")));
    // What arrived stays, whole (C.LET may have arrived over a connection of its own); nothing
    // half-written is left.
    const QStringList left = QDir(folder + QStringLiteral("/data"))
                                 .entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    QVERIFY2(left == QStringList{QStringLiteral("A.LET")} ||
                 left == (QStringList{QStringLiteral("A.LET"), QStringLiteral("C.LET")}),
             qPrintable(left.join(u',')));
    for (const QString& name : left) {
        QFile copy(folder + QStringLiteral("/data/") + name);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), server.fileBytes(name));
    }
    QVERIFY(form->isEnabled());
}

void TestLocalFaults::settingsCannotBeSaved() {
    const QString folder = root.filePath(QStringLiteral("full-settings"));
    SmallDisk disk(folder, QStringLiteral("64k"));
    QVERIFY(disk.mounted());
    qv::ScopedServices here([&](qv::Services& s) { s.programFolder = folder; });
    qv::test::FtpServer server;
    qv::test::RecordingDialogs dialogs;
    server.putFile(QStringLiteral("A.LET"), "N\n1\n");
    auto form = openWindow(server);
    // The data folder has room of its own; the disk of the settings file is full.
    SmallDisk data(folder + QStringLiteral("/data"), QStringLiteral("1m"));
    QVERIFY(data.mounted());
    const QByteArray before = [&] {
        QFile f(folder + QStringLiteral("/auto.ini"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    disk.fill();

    searchServer(*form);

    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY2(dialogs.messages.first().contains(QStringLiteral("No space left on device")),
             qPrintable(dialogs.messages.first()));
    QVERIFY(!designControl<QLineEdit>(*form, "Text6")
                 ->text()
                 .startsWith(QStringLiteral("Search Complete")));
    QFile ini(folder + QStringLiteral("/auto.ini"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QCOMPARE(ini.readAll(), before); // left as it was
    QCOMPARE(designControl<ListView>(*form, "ListView1")->itemCount(),
             1); // the copy itself arrived
}

QTEST_MAIN(TestLocalFaults)
#include "tst_localfaults.moc"
