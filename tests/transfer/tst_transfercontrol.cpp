#include "tests/support/ftpserver.h"
#include "transfer/transfercontrol.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <functional>

using qv::TransferControl;
using qv::test::FtpServer;

namespace {

// Records every state with the value StillExecuting had when it arrived.
struct StateLog {
    explicit StateLog(TransferControl& transfer) : control(transfer) {
        QObject::connect(&transfer, &TransferControl::StateChanged, [this](qint16 state) {
            states << state;
            executingAt << this->control.StillExecuting();
        });
    }
    TransferControl& control;
    QList<int> states;
    QList<bool> executingAt;
};

bool waitForEnd(TransferControl& control, int ms = 20000) {
    if (!control.StillExecuting())
        return true;
    QSignalSpy ended(&control, &TransferControl::CommandEnded);
    return ended.wait(ms) && !control.StillExecuting();
}

// Waits until the condition holds, handling no events meanwhile; false after ms.
bool untilWithoutEvents(const std::function<bool()>& condition, int ms = 20000) {
    const QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(2);
    }
    return true;
}

QString readAll(TransferControl& control) {
    QString all;
    for (QString chunk = control.GetChunk(1024); !chunk.isEmpty(); chunk = control.GetChunk(1024))
        all += chunk;
    return all;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

const QString kList = QStringLiteral("DIR /u/vantrelle/accounts/*.LET");

} // namespace

class TestTransferControl : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void listingFiltersNamesAndEndsWithCompleted();
    void listingArrivesInChunks();
    void downloadCopiesExactBytesOnOneConnection();
    void downloadWithSpacesInNames();
    void executeWhileBusyFails();
    void badSettingsFailAtOnce_data();
    void badSettingsFailAtOnce();
    void statesOnlyWhileEventsArePumped();
    void refusedLogin();
    void unreachablePort();
    void silentServerTimesOut();
    void failedDownloadLeavesNoPartialFile_data();
    void failedDownloadLeavesNoPartialFile();
    void connectionIsReopenedAfterADrop();
    void deleteRemovesTheFile();
    void refusedDelete();
    void disconnectReportsAndNextCommandReconnects();
    void destroyingDuringAStallReturnsQuickly();
    void readAheadRunsAheadAndReportsWhenAsked();
    void readAheadIsDroppedByAnotherCommand();
    void readAheadStopsAfterALocalWriteError();
    void cancelDropsTheReadAhead();
    void statesArriveWhileACommandRuns();

private:
    FtpServer* server = nullptr;
    QTemporaryDir* local = nullptr;
    TransferControl* control = nullptr;

    void connectTo(const FtpServer& s) {
        control->setURL(s.address());
        control->setUserName(s.user());
        control->setPassword(s.password());
        control->setProtocol(TransferControl::icFTP);
    }
    QString localPath(const QString& name) const { return local->filePath(name); }
    QString getCommand(const QString& name, const QString& target = QString()) const {
        return "GET /u/vantrelle/accounts/" + name + " " +
               (target.isEmpty() ? localPath(name) : target);
    }
    bool get(const QString& name) { return control->Execute(control->URL(), getCommand(name)); }
    void readAhead(const QStringList& names) {
        QStringList commands;
        for (const QString& name : names)
            commands << getCommand(name);
        control->ReadAhead(control->URL(), commands);
    }
    int retrieved(const QString& name) const {
        return server->count("RETR /u/vantrelle/accounts/" + name);
    }
};

void TestTransferControl::init() {
    server = new FtpServer;
    QVERIFY2(server->isRunning(), qPrintable(server->errorString()));
    local = new QTemporaryDir;
    control = new TransferControl;
    connectTo(*server);
}

void TestTransferControl::cleanup() {
    delete control;
    delete local;
    delete server;
}

void TestTransferControl::listingFiltersNamesAndEndsWithCompleted() {
    for (const QString name : {"B.LET", "A.LET", "C.LET", "notes.txt", "lower.let", "X.LET.bak"})
        server->putFile(name, "Name|Town\n");
    QDir(server->accountsPath()).mkdir("SUB.LET.d");
    StateLog log(*control);
    QVERIFY(control->Execute(control->URL(), kList));
    QVERIFY(control->StillExecuting());
    QVERIFY(waitForEnd(*control));

    QCOMPARE(log.states, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 12}));
    QVERIFY(log.executingAt.last()); // 12 arrives while StillExecuting is still true
    QCOMPARE(readAll(*control), QString("A.LET\r\nB.LET\r\nC.LET\r\n"));
    QCOMPARE(control->GetChunk(1024), QString());
}

void TestTransferControl::listingArrivesInChunks() {
    QString expected;
    for (int i = 0; i < 150; ++i) {
        const QString name = QString("MERGEFILE_%1.LET").arg(i, 4, 10, QLatin1Char('0'));
        server->putFile(name, "");
        expected += name + "\r\n";
    }
    QVERIFY(control->Execute(QString(), kList));
    QVERIFY(waitForEnd(*control));
    QString all;
    int chunks = 0;
    for (QString chunk = control->GetChunk(1024); !chunk.isEmpty();
         chunk = control->GetChunk(1024)) {
        QVERIFY(chunk.size() <= 1024);
        all += chunk;
        ++chunks;
    }
    QCOMPARE(all, expected);
    QVERIFY(chunks >= 3);
}

void TestTransferControl::downloadCopiesExactBytesOnOneConnection() {
    QByteArray big(300000, '\0');
    for (int i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>((qint64(i) * 7919) % 251);
    server->putFile("BIG.LET", big);
    server->putFile("CRLF.LET", "a|b\r\n1|2\r\n\xe9\r\n");
    server->putFile("EMPTY.LET", "");
    QFile stale(localPath("CRLF.LET"));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("an older, longer copy that must be replaced entirely");
    stale.close();

    QVERIFY(control->Execute(QString(), kList));
    QVERIFY(waitForEnd(*control));
    StateLog log(*control);
    for (const QString name : {"BIG.LET", "CRLF.LET", "EMPTY.LET"}) {
        QVERIFY(get(name));
        QVERIFY(waitForEnd(*control));
        QCOMPARE(log.states.last(), 12);
        QCOMPARE(fileBytes(localPath(name)), server->fileBytes(name));
    }
    // Commands after the first reuse the connection: no lookup or connect states again.
    QCOMPARE(log.states.mid(0, 5), (QList<int>{5, 6, 7, 8, 12}));
    QVERIFY(!log.states.contains(1));
    QCOMPARE(server->count("CONNECT"), 1);
    QCOMPARE(server->count("LOGIN"), 1);
    QCOMPARE(QDir(local->path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

void TestTransferControl::downloadWithSpacesInNames() {
    server->putFile("my file.LET", "x|y\n");
    QDir(local->path()).mkdir("with space");
    const QString target = local->filePath("with space/my file.LET");
    QVERIFY(control->Execute(QString(), kList));
    QVERIFY(waitForEnd(*control));
    QCOMPARE(readAll(*control), QString("my file.LET\r\n"));
    QVERIFY(control->Execute(QString(), "GET /u/vantrelle/accounts/my file.LET " + target));
    QVERIFY(waitForEnd(*control));
    QCOMPARE(fileBytes(target), QByteArray("x|y\n"));
}

void TestTransferControl::executeWhileBusyFails() {
    server->putFile("A.LET", "a\n");
    QVERIFY(control->Execute(QString(), kList));
    QVERIFY(!control->Execute(QString(), kList));
    QVERIFY(!get("A.LET"));
    QVERIFY(waitForEnd(*control));
    QCOMPARE(readAll(*control), QString("A.LET\r\n"));
    QVERIFY(!QFile::exists(localPath("A.LET")));
}

void TestTransferControl::badSettingsFailAtOnce_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QString>("command");
    QTest::newRow("empty address") << "" << 2 << kList;
    QTest::newRow("garbage address") << "no such:thing" << 2 << kList;
    QTest::newRow("http protocol") << "127.0.0.1" << 4 << kList;
    QTest::newRow("unknown command") << "127.0.0.1" << 2 << "PUT /a /b";
}

void TestTransferControl::badSettingsFailAtOnce() {
    QFETCH(QString, url);
    QFETCH(int, protocol);
    QFETCH(QString, command);
    control->setURL(url);
    control->setProtocol(protocol);
    StateLog log(*control);
    QVERIFY(!control->Execute(url, command));
    QVERIFY(!control->StillExecuting());
    QVERIFY(control->ResponseCode() != 0);
    QVERIFY(!control->ResponseInfo().isEmpty());
    QVERIFY(log.states.isEmpty());
    // A command that runs after it: anything the refused one had set going would come first.
    connectTo(*server);
    QVERIFY(control->Execute(QString(), kList));
    QVERIFY(waitForEnd(*control));
    QCOMPARE(log.states, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 12}));
}

void TestTransferControl::statesOnlyWhileEventsArePumped() {
    server->putFile("A.LET", "a\n");
    QVERIFY(control->Execute(QString(), kList));
    QVERIFY(waitForEnd(*control));
    StateLog log(*control);
    QVERIFY(get("A.LET"));
    // The worker's last step is putting the copy in place; no events are handled meanwhile.
    QVERIFY(untilWithoutEvents([&] { return QFile::exists(localPath("A.LET")); }));
    QVERIFY(log.states.isEmpty());
    QVERIFY(control->StillExecuting());
    QVERIFY(waitForEnd(*control));
    QCOMPARE(log.states, (QList<int>{5, 6, 7, 8, 12}));
}

void TestTransferControl::refusedLogin() {
    control->setPassword("wrong");
    StateLog log(*control);
    QVERIFY(control->Execute(QString(), kList));
    QVERIFY(waitForEnd(*control));
    QCOMPARE(log.states.last(), 11);
    QVERIFY(!log.states.contains(12));
    QVERIFY(!log.states.contains(4));
    QCOMPARE(control->ResponseCode(), 530);
    QCOMPARE(control->ResponseInfo(), QString("Authentication failed."));
    QCOMPARE(control->GetChunk(1024), QString());
}

void TestTransferControl::unreachablePort() {
    QTcpServer probe; // a port that was free a moment ago and has no listener now
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    control->setURL(QString("127.0.0.1:%1").arg(port));
    StateLog log(*control);
    QVERIFY(control->Execute(QString(), kList));
    QVERIFY(waitForEnd(*control));
    QCOMPARE(log.states.last(), 11);
    QCOMPARE(control->ResponseCode(), 7); // could not connect
    QVERIFY2(control->ResponseInfo().contains(QString::number(port)),
             qPrintable(control->ResponseInfo()));
}

void TestTransferControl::silentServerTimesOut() {
    QTcpServer silent; // accepts connections (the kernel does) and never greets
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    control->setURL(QString("127.0.0.1:%1").arg(silent.serverPort()));
    control->setTimeouts({1000, 1000});
    QElapsedTimer clock;
    clock.start();
    QVERIFY(control->Execute(QString(), kList));
    QVERIFY(waitForEnd(*control));
    QVERIFY(clock.elapsed() < 8000);
    QCOMPARE(control->ResponseCode(), 28);
    QCOMPARE(control->ResponseInfo(), QString("No answer from 127.0.0.1 within 1 second"));
}

void TestTransferControl::failedDownloadLeavesNoPartialFile_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("code");
    QTest::newRow("refused") << "refuse" << 550;
    QTest::newRow("connection dropped") << "drop" << -1;
    QTest::newRow("stalled") << "stall" << 28;
}

void TestTransferControl::failedDownloadLeavesNoPartialFile() {
    QFETCH(QString, fault);
    QFETCH(int, code);
    server->putFile("NEW.LET", QByteArray(200000, 'n'));
    server->putFile("OLD.LET", QByteArray(200000, 'o'));
    if (fault == "refuse") {
        server->refuseDownload("NEW.LET");
        server->refuseDownload("OLD.LET");
    } else if (fault == "drop") {
        server->dropDownload("NEW.LET", 5000);
        server->dropDownload("OLD.LET", 5000);
    } else {
        server->stallDownload("NEW.LET");
        server->stallDownload("OLD.LET");
    }
    QFile good(localPath("OLD.LET"));
    QVERIFY(good.open(QIODevice::WriteOnly));
    good.write("the good copy of the last search");
    good.close();
    control->setTimeouts({5000, 1000});

    for (const QString name : {"NEW.LET", "OLD.LET"}) {
        StateLog log(*control);
        QVERIFY(get(name));
        QVERIFY(waitForEnd(*control));
        QCOMPARE(log.states.last(), 11);
        if (code > 0)
            QCOMPARE(control->ResponseCode(), code);
        QVERIFY(control->ResponseCode() != 0);
        QVERIFY(!control->ResponseInfo().isEmpty());
    }
    if (fault == "stall")
        QVERIFY(control->ResponseInfo().startsWith("The server stopped responding"));
    QVERIFY(!QFile::exists(localPath("NEW.LET")));
    QCOMPARE(fileBytes(localPath("OLD.LET")), QByteArray("the good copy of the last search"));
    QCOMPARE(QDir(local->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"OLD.LET"});
}

void TestTransferControl::connectionIsReopenedAfterADrop() {
    server->putFile("A.LET", QByteArray(100000, 'a'));
    server->putFile("B.LET", "b|c\n");
    server->dropDownload("A.LET", 1000);
    QVERIFY(get("A.LET"));
    QVERIFY(waitForEnd(*control));
    QCOMPARE(control->ResponseCode() == 0, false);
    StateLog log(*control);
    QVERIFY(get("B.LET"));
    QVERIFY(waitForEnd(*control));
    QCOMPARE(log.states, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 12}));
    QCOMPARE(fileBytes(localPath("B.LET")), QByteArray("b|c\n"));
    QCOMPARE(server->count("CONNECT"), 2);
}

void TestTransferControl::deleteRemovesTheFile() {
    server->putFile("A.LET", "a\n");
    server->putFile("B.LET", "b\n");
    StateLog log(*control);
    QVERIFY(control->Execute(QString(), "DELETE /u/vantrelle/accounts/A.LET"));
    QVERIFY(waitForEnd(*control));
    QCOMPARE(log.states.last(), 12);
    QCOMPARE(server->fileNames(), QStringList{"B.LET"});
    QVERIFY(server->events().contains("DELE /u/vantrelle/accounts/A.LET"));
}

void TestTransferControl::refusedDelete() {
    server->putFile("A.LET", "a\n");
    server->refuseDelete();
    StateLog log(*control);
    QVERIFY(control->Execute(QString(), "DELETE /u/vantrelle/accounts/A.LET"));
    QVERIFY(waitForEnd(*control));
    QCOMPARE(log.states.last(), 11);
    QCOMPARE(control->ResponseCode(), 550);
    QCOMPARE(control->ResponseInfo(), QString("Permission denied."));
    QVERIFY(server->hasFile("A.LET"));
}

void TestTransferControl::disconnectReportsAndNextCommandReconnects() {
    server->putFile("A.LET", "a\n");
    QVERIFY(control->Execute(QString(), kList));
    QVERIFY(waitForEnd(*control));
    StateLog log(*control);
    control->Disconnect();
    QVERIFY(control->Execute(QString(), kList));
    QVERIFY(waitForEnd(*control));
    QCOMPARE(log.states, (QList<int>{9, 10, 1, 2, 3, 4, 5, 6, 7, 8, 12}));
    QTRY_COMPARE(server->count("DISCONNECT"), 1);
    QCOMPARE(server->count("CONNECT"), 2);
}

void TestTransferControl::destroyingDuringAStallReturnsQuickly() {
    server->putFile("A.LET", "a\n");
    server->stallDownload("A.LET");
    QVERIFY(get("A.LET"));
    QTRY_COMPARE(retrieved("A.LET"), 1); // the download has begun, and stalls
    QElapsedTimer clock;
    clock.start();
    delete control;
    control = nullptr;
    QVERIFY(clock.elapsed() < 2000);
    QVERIFY(!QFile::exists(localPath("A.LET")));
}

// The worker fetches every file before it is asked; each Execute then reports that file's states
// exactly as a command started at that moment would, on the same connection.
void TestTransferControl::readAheadRunsAheadAndReportsWhenAsked() {
    const QStringList names{"A.LET", "B.LET", "C.LET"};
    for (const QString& name : names)
        server->putFile(name, name.toUtf8() + "|x\n");
    QVERIFY(control->Execute(QString(), kList));
    QVERIFY(waitForEnd(*control));
    StateLog log(*control);
    readAhead(names);
    QVERIFY(!control->StillExecuting());
    QTRY_VERIFY(QFile::exists(localPath("C.LET")));
    QVERIFY(log.states.isEmpty()); // nothing is reported before it is asked for

    for (const QString& name : names) {
        log.states.clear();
        log.executingAt.clear();
        QVERIFY(get(name));
        QVERIFY(control->StillExecuting());
        QVERIFY(waitForEnd(*control));
        QCOMPARE(log.states, (QList<int>{5, 6, 7, 8, 12}));
        QVERIFY(!log.executingAt.contains(false));
        QCOMPARE(control->ResponseCode(), 0);
        QCOMPARE(fileBytes(localPath(name)), server->fileBytes(name));
        QCOMPARE(retrieved(name), 1);
    }
    QCOMPARE(server->count("CONNECT"), 1);
}

void TestTransferControl::readAheadIsDroppedByAnotherCommand() {
    for (const QString name : {"A.LET", "B.LET", "C.LET"})
        server->putFile(name, "a|b\n");
    QVERIFY(control->Execute(QString(), kList));
    QVERIFY(waitForEnd(*control));
    readAhead({"A.LET", "B.LET"});
    QTRY_VERIFY(QFile::exists(localPath("B.LET")));

    StateLog log(*control);
    QVERIFY(get("C.LET")); // not the one at the front: the read-ahead goes
    QVERIFY(waitForEnd(*control));
    QCOMPARE(log.states, (QList<int>{5, 6, 7, 8, 12}));
    QVERIFY(QFile::remove(localPath("B.LET")));
    QVERIFY(get("B.LET")); // runs anew
    QVERIFY(waitForEnd(*control));
    QCOMPARE(fileBytes(localPath("B.LET")), QByteArray("a|b\n"));
    QCOMPARE(retrieved("B.LET"), 2);
    QCOMPARE(log.states.size(), 10);
}

// A copy this computer cannot write (here: its folder is missing) ends the read-ahead: the files
// after it are fetched only when asked for.
void TestTransferControl::readAheadStopsAfterALocalWriteError() {
    for (const QString name : {"A.LET", "B.LET", "C.LET"})
        server->putFile(name, "a|b\n");
    QVERIFY(control->Execute(QString(), kList));
    QVERIFY(waitForEnd(*control));
    const QString nowhere = local->filePath("missing/A.LET");
    control->ReadAhead(control->URL(),
                       {getCommand("A.LET", nowhere), getCommand("B.LET"), getCommand("C.LET")});

    QVERIFY(control->Execute(control->URL(), getCommand("A.LET", nowhere)));
    QVERIFY(waitForEnd(*control));
    QCOMPARE(control->ResponseCode(), TransferControl::kLocalWriteError);
    // A worker that went on would have begun B before it runs the next command, which ends
    // the read-ahead: the server's log would show B fetched before this listing.
    QVERIFY(control->Execute(QString(), kList));
    QVERIFY(waitForEnd(*control));
    QCOMPARE(retrieved("B.LET") + retrieved("C.LET"), 0);
    QVERIFY(get("B.LET"));
    QVERIFY(waitForEnd(*control));
    QCOMPARE(control->ResponseCode(), 0);
    QCOMPARE(fileBytes(localPath("B.LET")), QByteArray("a|b\n"));
}

void TestTransferControl::cancelDropsTheReadAhead() {
    for (const QString name : {"A.LET", "B.LET", "C.LET"})
        server->putFile(name, "a|b\n");
    server->stallDownload("A.LET");
    QVERIFY(control->Execute(QString(), kList));
    QVERIFY(waitForEnd(*control));
    readAhead({"A.LET", "B.LET"});
    QVERIFY(get("A.LET"));
    QTRY_COMPARE(retrieved("A.LET"), 1);
    control->Cancel();
    QVERIFY(waitForEnd(*control));
    QVERIFY(control->ResponseCode() != 0);
    QVERIFY(!QFile::exists(localPath("A.LET")));

    QVERIFY(get("C.LET")); // queued after B's place: B was dropped before it came to run
    QVERIFY(waitForEnd(*control));
    QCOMPARE(fileBytes(localPath("C.LET")), QByteArray("a|b\n"));
    QCOMPARE(retrieved("B.LET"), 0);
    QVERIFY(!QFile::exists(localPath("B.LET")));
}

// States are taken to the owner's thread together, but not only at the end of a command.
void TestTransferControl::statesArriveWhileACommandRuns() {
    server->putFile("A.LET", "a|b\n");
    server->stallDownload("A.LET");
    StateLog log(*control);
    QVERIFY(get("A.LET"));
    QTRY_VERIFY(log.states.contains(6));
    QVERIFY(control->StillExecuting());
    control->Cancel();
    QVERIFY(waitForEnd(*control));
}

QTEST_GUILESS_MAIN(TestTransferControl)
#include "tst_transfercontrol.moc"
