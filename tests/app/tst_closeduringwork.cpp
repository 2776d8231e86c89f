// Closing the main window while long work runs (the operator's close button, Alt+F4, a logout):
// the work stops at once, nothing half-done stays behind, and the window goes away afterwards
// without anything touching it once destroyed.

#include "app/actions/exports.h"
#include "app/actions/recordviewer.h"
#include "app/actions/search.h"
#include "app/form2.h"
#include "app/progress.h"
#include "platform/services.h"
#include "tests/support/designcontrol.h"
#include "tests/support/ftpserver.h"
#include "tests/support/recordingdialogs.h"
#include "tests/support/tempprogramfolder.h"
#include "transfer/transfercontrol.h"
#include "ui/listview.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using qv::test::designControl;

namespace {

// A merge file of n records of three values.
QByteArray mergeFile(int records) {
    QByteArray text = "Account|Name|Town\n";
    for (int i = 1; i <= records; ++i)
        text += QByteArray::number(100000 + i) + "|Name " + QByteArray::number(i) + "|Cork\n";
    return text;
}

} // namespace

class TestCloseDuringWork : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void duringTheListing();
    void duringADownload();
    void duringAFourConnectionDownload();
    void duringTheRecordLoad();
    void duringTheSpreadsheetExport();
    void closeWithoutWorkClosesAtOnce();

private:
    std::unique_ptr<qv::test::TempProgramFolder> folder;
    std::unique_ptr<qv::test::RecordingDialogs> dialogs;
    QPointer<Form2> form;

    void newWindow();
    // Closes the window, as the window manager's close does, as soon as when() holds; when() is
    // asked every pollMs (0: whenever the work lets events through).
    void closeWhen(std::function<bool()> when, int pollMs = 5);
    void expectWindowGone();
    QStringList dataFiles() const;
    void selectMergeFile(const QString& name, int records);
};

void TestCloseDuringWork::init() {
    folder = std::make_unique<qv::test::TempProgramFolder>();
    dialogs = std::make_unique<qv::test::RecordingDialogs>();
    newWindow();
}

void TestCloseDuringWork::cleanup() {
    delete form.data();
    dialogs.reset();
    folder.reset();
}

void TestCloseDuringWork::newWindow() {
    form = new Form2;
    form->setAttribute(Qt::WA_DeleteOnClose); // as the program opens it
    form->show();
}

void TestCloseDuringWork::closeWhen(std::function<bool()> when, int pollMs) {
    auto* poll = new QTimer(form);
    QObject::connect(poll, &QTimer::timeout, poll, [this, poll, when] {
        if (!when())
            return;
        poll->stop();
        form->close();
    });
    poll->start(pollMs);
}

void TestCloseDuringWork::expectWindowGone() {
    QTRY_VERIFY_WITH_TIMEOUT(form.isNull(), 5000);
    QCOMPARE(dialogs->messages, QStringList()); // a cancelled search says nothing
}

QStringList TestCloseDuringWork::dataFiles() const {
    return QDir(folder->filePath("data"))
        .entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

void TestCloseDuringWork::selectMergeFile(const QString& name, int records) {
    folder->write("data/" + name + ".LET", mergeFile(records));
    designControl<QLineEdit>(*form, "Text1")->setText(name);
    form->details.setRecordCount(records);
}

void TestCloseDuringWork::duringTheListing() {
    qv::test::FtpServer server;
    server.putFile("A.LET", "N\n1\n");
    server.setStallListing(true);
    form->transfer->setTimeouts({5000, 20000});
    designControl<QLineEdit>(*form, "Text10")->setText(server.address());
    designControl<QLineEdit>(*form, "Text11")->setText(server.user());
    designControl<QLineEdit>(*form, "Text12")->setText(server.password());
    closeWhen([this] { return form->transfer->StillExecuting(); });

    QElapsedTimer clock;
    clock.start();
    searchServer(*form);

    QVERIFY2(clock.elapsed() < 5000, "the stalled listing was waited out, not cancelled");
    expectWindowGone();
    QCOMPARE(dataFiles(), QStringList());
    QVERIFY(!folder->read("auto.ini").contains(server.address().toLatin1())); // nothing saved
}

void TestCloseDuringWork::duringADownload() {
    qv::test::FtpServer server;
    server.putFile("A.LET", "N\n1\n");
    server.putFile("B.LET", QByteArray(200000, 'x'));
    server.stallDownload("B.LET");
    form->transfer->setTimeouts({5000, 20000});
    designControl<QLineEdit>(*form, "Text10")->setText(server.address());
    designControl<QLineEdit>(*form, "Text11")->setText(server.user());
    designControl<QLineEdit>(*form, "Text12")->setText(server.password());
    closeWhen([this] {
        return designControl<QLineEdit>(*form, "Text7")->text() == "- Downloading B.LET";
    });

    QElapsedTimer clock;
    clock.start();
    searchServer(*form);

    QVERIFY2(clock.elapsed() < 5000, "the stalled download was waited out, not cancelled");
    expectWindowGone();
    // The complete copy stays; of the cancelled one nothing, not even a temporary file.
    QCOMPARE(dataFiles(), QStringList{"A.LET"});
}

// Four connections at work, two of them on files that never come: every connection stops, the
// copies shown stay, so do copies that arrived whole but were not shown yet (each has already
// replaced the copy before it), and nothing else is left.
void TestCloseDuringWork::duringAFourConnectionDownload() {
    qv::test::FtpServer server;
    server.putFile("A.LET", "N\n1\n");
    server.putFile("B.LET", QByteArray(200000, 'x'));
    for (const char* name : {"C.LET", "D.LET", "E.LET", "F.LET"})
        server.putFile(name, QByteArray(50000, 'y'));
    server.stallDownload("B.LET");
    server.stallDownload("E.LET");
    form->transfer->setTimeouts({5000, 20000});
    designControl<QLineEdit>(*form, "Text10")->setText(server.address());
    designControl<QLineEdit>(*form, "Text11")->setText(server.user());
    designControl<QLineEdit>(*form, "Text12")->setText(server.password());
    closeWhen([&server, this] {
        return designControl<QLineEdit>(*form, "Text7")->text() == "- Downloading B.LET" &&
               server.count("RETR /u/vantrelle/accounts/E.LET") == 1;
    });

    QElapsedTimer clock;
    clock.start();
    searchServer(*form);

    QVERIFY2(clock.elapsed() < 5000, "the stalled downloads were waited out, not cancelled");
    expectWindowGone();
    QStringList left = dataFiles();
    QVERIFY2(left.removeAll("A.LET") == 1, qPrintable(left.join(',')));
    for (const QString& name : left) {
        QVERIFY2(QStringList({"C.LET", "D.LET", "F.LET"}).contains(name), qPrintable(name));
        QCOMPARE(folder->read("data/" + name), server.fileBytes(name));
    }
    QCOMPARE(server.count("CONNECT"), 4);
    QTRY_COMPARE(server.count("DISCONNECT"), 4); // every connection stopped
}

void TestCloseDuringWork::duringTheRecordLoad() {
    const int records = 200000;
    selectMergeFile("BIG", records);
    int reached = 0;
    {
        const qv::ScopedServices observed([&](qv::Services& s) {
            s.recordLoadObserver = [&](qint64 i, qint64) {
                reached = static_cast<int>(i);
                if (i == 1000)
                    form->close();
            };
        });
        loadMergeRecords(*form, form->selectedMergeFile(), records);
    }

    QCOMPARE(reached, 1000); // the load stopped where the window was closed
    expectWindowGone();
    QVERIFY(!Progress::isLoaded());
}

void TestCloseDuringWork::duringTheSpreadsheetExport() {
    QTemporaryDir documents;
    qv::ScopedServices out([&](qv::Services& s) {
        s.documentFolder = documents.path();
        s.fileOpener = [](const QString&) { return true; };
    });
    selectMergeFile("BIG", 30000);
    // The export lets events through only a few times in all: asked at each of them.
    closeWhen(
        [] {
            return Progress::isLoaded() &&
                   Progress::form().windowTitle() == QStringLiteral("Exporting to Excel");
        },
        0);

    exportToSpreadsheet(*form);

    expectWindowGone();
    QVERIFY(!Progress::isLoaded());
    QCOMPARE(QDir(documents.path()).entryList(QDir::Files), QStringList()); // nothing saved
}

void TestCloseDuringWork::closeWithoutWorkClosesAtOnce() {
    QVERIFY(!form->isWorking());
    QVERIFY(form->close());
    expectWindowGone();
}

QTEST_MAIN(TestCloseDuringWork)
#include "tst_closeduringwork.moc"
