// The program in a real window, driven as an operator drives it: real pointer clicks and key
// presses go through the X server (xdotool), against a real FTP server. Runs under Xvfb. Each
// stage leaves a screenshot in the test's build folder for review.
//
// The program starts exactly as the executable does (startQuorvane); the test only reads the
// windows' state and the files the program writes, and answers dialogs with real input.

#include "app/form2.h"
#include "app/startup.h"
#include "controls/command/command.h"
#include "platform/services.h"
#include "tests/support/designcontrol.h"
#include "tests/support/ftpserver.h"
#include "tests/support/sftpserver.h"
#include "tests/support/tempprogramfolder.h"
#include "ui/listview.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using qv::test::designControl;

namespace {

const QByteArray kOverdue =
    "Account|Name|Town\n0100001|Aoife Byrne|Cork\n0100002|Se\xe1n Walsh|Sligo\n"
    "0100003|Orla Quinn|Galway\n";
const QByteArray kCustomers = "Account|Name|Plan\n0100001|Aoife Byrne|Standard\n";
const QByteArray kEmpty;

void xdo(const QStringList& args) {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), args);
    if (!xdotool.waitForFinished(10000) || xdotool.exitCode() != 0)
        qWarning() << "xdotool" << args << "failed:" << xdotool.readAllStandardError();
}

// A left click at a point of a widget, through the X server.
void clickAt(QWidget* widget, QPoint local) {
    const QPoint global = widget->mapToGlobal(local);
    xdo({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(global.x()),
         QString::number(global.y())});
    xdo({QStringLiteral("click"), QStringLiteral("1")});
}

void click(QWidget* widget) {
    clickAt(widget, widget->rect().center());
}

void focusWindow(QWidget* widget) {
    xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"),
         QString::number(widget->window()->winId())});
}

// Clicks into a field and types the text as keystrokes, replacing what was there.
void typeInto(QLineEdit* field, const QString& text) {
    focusWindow(field);
    click(field);
    QTRY_VERIFY(field->hasFocus()); // the click has arrived
    xdo({QStringLiteral("key"), QStringLiteral("ctrl+a"), QStringLiteral("BackSpace")});
    xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("15"), text});
}

// Waits for the next modal dialog and lets `answer` work on it with real input; armed before
// the click that opens it, since the dialog runs its own event loop.
void answerNextDialog(std::function<void(QWidget*)> answer) {
    auto* poll = new QTimer;
    poll->setInterval(100);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        if (!QTest::qWaitForWindowExposed(dialog))
            qWarning() << "the dialog was not shown";
        focusWindow(dialog);
        answer(dialog);
    });
    poll->start();
}

QString stageDir() {
    return QString::fromLocal8Bit(qgetenv("QV_E2E_SCREENSHOTS"));
}

void screenshot(const QString& stage) {
    QCoreApplication::processEvents();
    QTest::qWait(200);
    const QString dir = stageDir().isEmpty() ? QDir::currentPath() : stageDir();
    QGuiApplication::primaryScreen()->grabWindow(0).save(
        QDir(dir).filePath(QStringLiteral("e2e-%1.png").arg(stage)));
}

Form2* mainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<Form2*>(w); form && form->isVisible())
            return form;
    }
    return nullptr;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Clicks the row of the browser whose text is `name`.
void clickMergeFile(Form2& form, const QString& name) {
    ListView* browser = designControl<ListView>(form, "ListView1");
    QAbstractItemView* view = browser->currentView();
    for (int row = 0; row < browser->itemCount(); ++row) {
        if (browser->itemText(row) != name)
            continue;
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        clickAt(view->viewport(), rect.center());
        return;
    }
    QFAIL(qPrintable(QStringLiteral("no entry %1 in the browser").arg(name)));
}

} // namespace

// Each stage works on the window as the one before left it; a failing stage ends the test.
#define QV_STAGE(call)                                                                             \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

class OperatorTest : public QObject {
    Q_OBJECT
private slots:
    void fromStartToExport() {
        qv::test::FtpServer server;
        QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
        server.putFile(QStringLiteral("OVERDUE.LET"), kOverdue);
        server.putFile(QStringLiteral("CUSTOMERS.LET"), kCustomers);
        server.putFile(QStringLiteral("EMPTY.LET"), kEmpty);

        qv::test::SftpServer sftp;
        QVERIFY2(sftp.isRunning(), qPrintable(sftp.errorString()));
        sftp.putFile(QStringLiteral("OVERDUE.LET"), kOverdue);

        qv::test::TempProgramFolder folder;
        QTemporaryDir home;
        QStringList opened;
        const qv::ScopedServices services([&](qv::Services& s) {
            s.fileOpener = [&](const QString& path) {
                opened << path;
                return true;
            };
            s.knownHostsFile = home.filePath(QStringLiteral(".ssh/known_hosts"));
        });

        Form2* shown = nullptr;
        QV_STAGE(start(shown));
        Form2& form = *shown;
        QV_STAGE(search(form, server, folder));
        QV_STAGE(selectMergeFile(form));
        QV_STAGE(exportToHtml(form, folder, opened));
        QV_STAGE(exportToSpreadsheet(form, opened));
        QV_STAGE(deleteOnServer(form, server));
        QV_STAGE(searchWithFailures(form, server, folder));
        QV_STAGE(searchOverSftp(form, sftp, folder, home));

        form.close();
    }

private:
    // Start as the program does: the splash, then after four seconds the main window.
    void start(Form2*& shown) {
        startQuorvane();
        screenshot(QStringLiteral("1-splash"));
        QTRY_VERIFY_WITH_TIMEOUT(mainWindow() != nullptr, 15000);
        shown = mainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QTest::qWait(500);
        screenshot(QStringLiteral("2-main-window"));
    }

    // Settings and Search: every file downloaded, the settings saved.
    void search(Form2& form, const qv::test::FtpServer& server,
                const qv::test::TempProgramFolder& folder) {
        typeInto(designControl<QLineEdit>(form, "Text10"), server.address());
        typeInto(designControl<QLineEdit>(form, "Text11"), server.user());
        typeInto(designControl<QLineEdit>(form, "Text12"), server.password());
        QTRY_COMPARE(designControl<QLineEdit>(form, "Text10")->text(), server.address());
        QTRY_COMPARE(designControl<QLineEdit>(form, "Text11")->text(), server.user());
        QTRY_COMPARE(designControl<QLineEdit>(form, "Text12")->text(), server.password());
        click(designControl<Command>(form, "Command1"));
        QTRY_COMPARE_WITH_TIMEOUT(designControl<QLineEdit>(form, "Text6")->text(),
                                  QStringLiteral("Search Complete 3 files found"), 30000);
        QTRY_VERIFY(form.isEnabled());
        screenshot(QStringLiteral("3-after-search"));

        QCOMPARE(readFile(folder.filePath(QStringLiteral("data/OVERDUE.LET"))), kOverdue);
        QCOMPARE(readFile(folder.filePath(QStringLiteral("data/CUSTOMERS.LET"))), kCustomers);
        QVERIFY(QFile::exists(folder.filePath(QStringLiteral("data/EMPTY.LET"))));
        QCOMPARE(readFile(folder.filePath(QStringLiteral("auto.ini"))),
                 QByteArray("[Default]\r\nPassword=") + server.password().toLatin1() +
                     "\r\nLogin=" + server.user().toLatin1() +
                     "\r\nIpaddress=" + server.address().toLatin1() + "\r\n");
        QCOMPARE(designControl<ListView>(form, "ListView1")->itemCount(), 3);
    }

    // Select a merge file: the details panel.
    void selectMergeFile(Form2& form) {
        clickMergeFile(form, QStringLiteral("OVERDUE"));
        QTRY_VERIFY(designControl<QLineEdit>(form, "Text1")->isVisible());
        QCOMPARE(designControl<QLineEdit>(form, "Text1")->text(), QStringLiteral("OVERDUE"));
        QCOMPARE(designControl<QLineEdit>(form, "Text9")->text(),
                 QStringLiteral("Size: 0 KB (%1) Bytes").arg(kOverdue.size()));
        QCOMPARE(designControl<QLineEdit>(form, "Text17")->text(),
                 QStringLiteral("Total Records: 3"));
        QVERIFY(
            designControl<QLineEdit>(form, "Text13")->text().startsWith(QStringLiteral("Path: ")));
        QVERIFY(designControl<Command>(form, "Command2")->isVisible());
        QVERIFY(designControl<Command>(form, "Command11")->isVisible());
        QVERIFY(!designControl<Command>(form, "Command4")->isVisible()); // no template
        QTRY_VERIFY(designControl<ListView>(form, "lw1")->isVisible());
        QCOMPARE(designControl<ListView>(form, "lw1")->model()->rowCount(), 3);
        screenshot(QStringLiteral("4-details"));
    }

    // Export to HTML with a table width of 80.
    void exportToHtml(Form2& form, const qv::test::TempProgramFolder& folder,
                      const QStringList& opened) {
        answerNextDialog([](QWidget*) {
            xdo({QStringLiteral("key"), QStringLiteral("ctrl+a"), QStringLiteral("BackSpace")});
            xdo({QStringLiteral("type"), QStringLiteral("80")});
            screenshot(QStringLiteral("5-table-width"));
            xdo({QStringLiteral("key"), QStringLiteral("Return")});
        });
        click(designControl<Command>(form, "Command11"));
        const QString page = folder.filePath(QStringLiteral("output.html"));
        QTRY_VERIFY_WITH_TIMEOUT(
            opened.contains(QDir::toNativeSeparators(page)) || opened.contains(page), 15000);
        const QByteArray html = readFile(page);
        // The table's own width attribute holds what was typed (every page has font-size:80%).
        QVERIFY2(html.contains("<table CELLSPACING=0 frame=\"void\" frame Width=80% cellpadding"),
                 html.left(600).constData());
        QVERIFY(html.contains("Aoife Byrne"));
        QVERIFY(html.contains("Se\xe1n Walsh")); // Windows-1252, byte for byte
        QVERIFY(html.endsWith("\r\n"));
        QTRY_VERIFY(form.isEnabled());
    }

    // Export to the spreadsheet: a workbook is written and handed to the desktop.
    void exportToSpreadsheet(Form2& form, const QStringList& opened) {
        const qsizetype openedBefore = opened.size();
        click(designControl<Command>(form, "Command7"));
        QTRY_VERIFY_WITH_TIMEOUT(opened.size() > openedBefore, 30000);
        const QString workbook = opened.last();
        QVERIFY2(workbook.endsWith(QStringLiteral(".xlsx")), qPrintable(workbook));
        QProcess reader;
        reader.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import openpyxl,sys\n"
                                     "ws=openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
                                     "print('|'.join(str(ws.cell(r,c).value) for r in (1,2,3) "
                                     "for c in (1,2,3)))"),
                      workbook});
        QVERIFY(reader.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(reader.readAllStandardOutput()).trimmed(),
                 QStringLiteral("0100001|Aoife Byrne|Cork|0100002|Se\u00e1n Walsh|Sligo|0100003|"
                                "Orla Quinn|Galway"));
        QTRY_VERIFY(form.isEnabled());
        screenshot(QStringLiteral("6-after-exports"));
    }

    // Delete the file on the server, answering the question with Yes: the search runs again.
    void deleteOnServer(Form2& form, const qv::test::FtpServer& server) {
        answerNextDialog([](QWidget*) {
            screenshot(QStringLiteral("7-delete-question"));
            xdo({QStringLiteral("key"), QStringLiteral("alt+y")});
        });
        click(designControl<Command>(form, "Command10"));
        QTRY_VERIFY_WITH_TIMEOUT(!server.hasFile(QStringLiteral("OVERDUE.LET")), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(designControl<QLineEdit>(form, "Text6")->text(),
                                  QStringLiteral("Search Complete 2 files found"), 30000);
        QTRY_VERIFY(form.isEnabled());
        QCOMPARE(designControl<ListView>(form, "ListView1")->itemCount(), 2);
        for (int row = 0; row < designControl<ListView>(form, "ListView1")->itemCount(); ++row)
            QVERIFY(designControl<ListView>(form, "ListView1")->itemText(row) !=
                    QStringLiteral("OVERDUE"));
        screenshot(QStringLiteral("8-after-delete"));
    }

    // A search in which one download is refused (550) and one drops on both tries: the status
    // area and the message at the end name both, with their reasons; what arrived is shown.
    void searchWithFailures(Form2& form, qv::test::FtpServer& server,
                            const qv::test::TempProgramFolder& folder) {
        server.putFile(QStringLiteral("BIG.LET"), QByteArray(300000, 'b'));
        server.dropDownload(QStringLiteral("BIG.LET"), 100000);
        server.refuseDownload(QStringLiteral("CUSTOMERS.LET"));
        QString shownMessage;
        answerNextDialog([&shownMessage](QWidget* dialog) {
            if (auto* box = qobject_cast<QMessageBox*>(dialog))
                shownMessage = box->text();
            screenshot(QStringLiteral("9-search-failures"));
            xdo({QStringLiteral("key"), QStringLiteral("Return")});
        });
        click(designControl<Command>(form, "Command1"));
        QTRY_VERIFY_WITH_TIMEOUT(!shownMessage.isEmpty(), 30000);
        QTRY_VERIFY(form.isEnabled());
        const QString summary = designControl<QLineEdit>(form, "Text6")->text();
        QVERIFY2(
            summary.startsWith(QStringLiteral("Search Complete 1 files found, 2 not stored: ")),
            qPrintable(summary));
        QVERIFY2(shownMessage.contains(QStringLiteral("2 listed files were not stored:")),
                 qPrintable(shownMessage));
        QVERIFY2(shownMessage.contains(
                     QStringLiteral("CUSTOMERS.LET: Permission denied. (error 550) (the copy of "
                                    "the previous search is kept)")),
                 qPrintable(shownMessage));
        QVERIFY2(shownMessage.contains(QStringLiteral("BIG.LET: The server closed the connection "
                                                      "while downloading /u/vantrelle/accounts/"
                                                      "BIG.LET")),
                 qPrintable(shownMessage));
        QCOMPARE(designControl<ListView>(form, "ListView1")->itemCount(), 1);
        QCOMPARE(readFile(folder.filePath(QStringLiteral("data/CUSTOMERS.LET"))), kCustomers);
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("data/BIG.LET"))));
        server.clearFaults();
    }

    // Search over SFTP: the unknown host key is shown and trusted with Yes.
    void searchOverSftp(Form2& form, const qv::test::SftpServer& sftp,
                        const qv::test::TempProgramFolder& folder, const QTemporaryDir& home) {
        answerNextDialog([](QWidget*) {
            screenshot(QStringLiteral("10-host-key-question"));
            xdo({QStringLiteral("key"), QStringLiteral("alt+y")});
        });
        typeInto(designControl<QLineEdit>(form, "Text10"), sftp.address());
        typeInto(designControl<QLineEdit>(form, "Text12"), sftp.password());
        QTRY_COMPARE(designControl<QLineEdit>(form, "Text10")->text(), sftp.address());
        QTRY_COMPARE(designControl<QLineEdit>(form, "Text12")->text(), sftp.password());
        click(designControl<Command>(form, "Command1"));
        QTRY_COMPARE_WITH_TIMEOUT(designControl<QLineEdit>(form, "Text6")->text(),
                                  QStringLiteral("Search Complete 1 files found"), 30000);
        QTRY_VERIFY(form.isEnabled());
        screenshot(QStringLiteral("11-after-sftp-search"));
        QCOMPARE(readFile(folder.filePath(QStringLiteral("data/OVERDUE.LET"))), kOverdue);
        QCOMPARE(readFile(home.filePath(QStringLiteral(".ssh/known_hosts"))),
                 sftp.knownHostsLine() + '\n');
        QCOMPARE(sftp.count(QStringLiteral("LOGIN")), 1);
    }
};

QTEST_MAIN(OperatorTest)
#include "tst_operator.moc"
