#include "app/actions/exports.h"
#include "app/form2.h"
#include "app/progress.h"
#include "controls/command/command.h"
#include "output/documentfolder.h"
#include "output/recordingautomation.h"
#include "output/wordmerge.h"
#include "platform/services.h"
#include "tests/support/designcontrol.h"
#include "tests/support/recordingdialogs.h"
#include "tests/support/tempprogramfolder.h"
#include "ui/listview.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using qv::test::designControl;

namespace {

// A program folder with the merge file ABC selected in a main window; dialogs answered from a
// queue, files "opened" into a list.
struct Fixture {
    qv::test::TempProgramFolder folder;
    qv::test::RecordingDialogs dialogs;
    QTemporaryDir documents;
    QStringList opened;
    bool openerWorks = true;
    qv::DesktopHandler handler; // of .odt documents: none unless a test sets one
    qv::ScopedServices services{[this](qv::Services& s) {
        s.documentFolder = documents.path();
        s.fileOpener = [this](const QString& p) {
            opened << p;
            return openerWorks;
        };
        s.desktopHandler = [this](const QString&) { return handler; };
    }};
    std::unique_ptr<Form2> form;

    Fixture() {
        folder.write(QStringLiteral("data/ABC.LET"),
                     "Name|Town|Balance\nAnn|Cork|12\nBob|Sligo|<b>\n");
        form = std::make_unique<Form2>();
        designControl<QLineEdit>(*form, "Text1")->setText(QStringLiteral("ABC"));
        form->details.setRecordCount(2);
    }
    QString page() const { return folder.filePath(QStringLiteral("output.html")); }

    // The window is back: enabled, default pointer, no status text, no progress window.
    void verifyRestored() const {
        QVERIFY(form->isEnabled());
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(designControl<QLineEdit>(*form, "Text15")->isHidden());
        QVERIFY(!Progress::isLoaded());
    }
};

} // namespace

class ActionsTest : public QObject {
    Q_OBJECT
    QString cwd_ = QDir::currentPath();
private slots:
    void cleanup() { QDir::setCurrent(cwd_); }

    void htmlWidth_data() {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QByteArray>("table"); // empty: nothing written
        QTest::newRow("0") << std::optional<QString>("0") << QByteArray("frame Width=100% ");
        QTest::newRow("00") << std::optional<QString>("00") << QByteArray("frame Width=100% ");
        QTest::newRow("80") << std::optional<QString>("80") << QByteArray("frame Width=80% ");
        QTest::newRow("80%") << std::optional<QString>("80%") << QByteArray();
        QTest::newRow("cancel") << std::optional<QString>() << QByteArray();
    }
    void htmlWidth() {
        QFETCH(std::optional<QString>, answer);
        QFETCH(QByteArray, table);
        Fixture f;
        f.dialogs.inputAnswers.enqueue(answer);
        exportToHtml(*f.form);
        QCOMPARE(f.dialogs.prompts,
                 QStringList{"Please key in Table Width Percentage (100%=Fullscreen)"});
        QCOMPARE(f.dialogs.titles, QStringList{"Table Width"});
        QCOMPARE(f.dialogs.inputDefaults, QStringList{"100"});
        f.verifyRestored();
        QVERIFY(f.dialogs.messages.isEmpty());
        if (table.isEmpty()) {
            // Nothing written, and with no earlier page nothing is opened.
            QVERIFY(!QFile::exists(f.page()));
            QVERIFY(f.opened.isEmpty());
            return;
        }
        const QByteArray bytes = f.folder.read(QStringLiteral("output.html"));
        QVERIFY(bytes.contains(table));
        QCOMPARE(f.opened, QStringList{f.page()});
    }

    // All records from the record list; the earlier page stays when the answer is no number.
    void htmlRecords() {
        Fixture f;
        f.folder.write(QStringLiteral("data/ABC.LET"),
                       "Name|Town|Balance\nAnn|Cork|12\nBob|Sligo|<b>\nCy|Mayo|3\n");
        f.form->details.setRecordCount(3);
        f.dialogs.inputAnswers.enqueue(QStringLiteral("100"));
        exportToHtml(*f.form);
        const QByteArray bytes = f.folder.read(QStringLiteral("output.html"));
        QCOMPARE(bytes.count("<tr>\r\n   <td height=25"), 3);
        QVERIFY(bytes.contains("colspan= 3 bgColor="));
        QVERIFY(bytes.contains(">&lt;b&gt;&nbsp;"));
        QVERIFY(bytes.contains("<Title>ABC\r\n"));

        f.dialogs.inputAnswers.enqueue(QStringLiteral("wide"));
        exportToHtml(*f.form);
        QCOMPARE(f.folder.read(QStringLiteral("output.html")), bytes);
        QCOMPARE(f.opened, (QStringList{f.page(), f.page()}));
    }

    void htmlNoOpener() {
        Fixture f;
        f.openerWorks = false;
        f.dialogs.inputAnswers.enqueue(QStringLiteral("100"));
        exportToHtml(*f.form);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages[0].contains(QLatin1String("no program is set up")));
        f.verifyRestored();
    }

    void spreadsheet() {
        Fixture f;
        qv::automation::RecordingFactory rec;
        emit designControl<Command>(*f.form, "Command7")->Click(); // through the window's dispatch
        QVERIFY(rec.calls.contains("excel.application.Range(\"a1\").Value = \"Ann\""));
        QVERIFY(rec.calls.contains("excel.application.Range(\"c2\").Value = \"<b>\""));
        QVERIFY(!rec.calls.contains("excel.application.Range(\"a3\").Value = \"\""));
        QCOMPARE(rec.calls.last(), QStringLiteral("excel.application.Release()"));
        QCOMPARE(designControl<ListView>(*f.form, "lw1")->selectedIndex(), 1);
        f.verifyRestored();
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    // A file of many records: every record reaches its cells in order, the record list stays
    // complete, and the last record ends selected however seldom the selection moved meanwhile.
    void spreadsheetManyRecords() {
        Fixture f;
        constexpr int kRecords = 700;
        QByteArray text = "Name|Town|Balance\n";
        for (int r = 1; r <= kRecords; ++r)
            text += "Name " + QByteArray::number(r) + "|Town|" + QByteArray::number(r * 3) + "\n";
        f.folder.write(QStringLiteral("data/ABC.LET"), text);
        f.form->details.setRecordCount(kRecords);
        qv::automation::RecordingFactory rec;
        exportToSpreadsheet(*f.form);
        QCOMPARE(designControl<ListView>(*f.form, "lw1")->model()->rowCount(), kRecords);
        QCOMPARE(designControl<ListView>(*f.form, "lw1")->selectedIndex(), kRecords - 1);
        QStringList values;
        for (const QString& call : std::as_const(rec.calls))
            if (call.startsWith(QLatin1String("excel.application.Range(")))
                values << call;
        QCOMPARE(values.size(), 3 * kRecords);
        QCOMPARE(values.first(),
                 QStringLiteral("excel.application.Range(\"a1\").Value = \"Name 1\""));
        QCOMPARE(values[3 * 349 + 2],
                 QStringLiteral("excel.application.Range(\"c350\").Value = \"1050\""));
        QCOMPARE(values.last(),
                 QStringLiteral("excel.application.Range(\"c700\").Value = \"2100\""));
        QCOMPARE(rec.calls.last(), QStringLiteral("excel.application.Release()"));
        f.verifyRestored();
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void spreadsheetFailure() {
        Fixture f;
        qv::automation::RecordingFactory rec;
        rec.failOn = QStringLiteral("Range(\"b2\")");
        exportToSpreadsheet(*f.form);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages[0].contains(QLatin1String("b2")));
        QCOMPARE(f.dialogs.titles, QStringList{"Quorvane"});
        QVERIFY(!rec.calls.contains("excel.application.Visible(1033) = true"));
        f.verifyRestored();
    }

    // The real backend: the workbook is saved and opened.
    void spreadsheetReal() {
        Fixture f;
        exportToSpreadsheet(*f.form);
        QCOMPARE(f.opened.size(), 1);
        QVERIFY(f.opened[0].endsWith(QLatin1String(".xlsx")));
        f.verifyRestored();
    }

    void wordCommands() {
        Fixture f;
        qv::automation::RecordingFactory rec;
        emit designControl<Command>(*f.form, "Command3")->Click();
        QCOMPARE(rec.calls.value(0), QStringLiteral("CreateObject(\"Word.Document\")"));
        QVERIFY(
            rec.calls.value(1).contains(QLatin1String("\"TABLE ABC\", \"Select * from [ABC]\"")));
        QCOMPARE(designControl<QLineEdit>(*f.form, "Text15")->text(),
                 QStringLiteral("Creating New Word Document. Please wait"));
        f.verifyRestored();

        rec.calls.clear();
        emit designControl<Command>(*f.form, "Command4")->Click();
        QCOMPARE(rec.calls.value(0), QStringLiteral("CreateObject(\"Word.Application\")"));
        QCOMPARE(designControl<QLineEdit>(*f.form, "Text15")->text(),
                 qv::output::completeMergeStatus(QStringLiteral("ABC")));
        QVERIFY(designControl<QLineEdit>(*f.form, "Text15")->text().contains(f.folder.path()));
        f.verifyRestored();
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    // The status text and the busy pointer reach the screen before Word is asked for anything.
    void wordStatusIsPaintedFirst() {
        struct PaintWatch : QObject {
            int paints = 0;
            bool eventFilter(QObject*, QEvent* e) override {
                paints += e->type() == QEvent::Paint;
                return false;
            }
        };
        struct Watching : qv::automation::RecordingFactory {
            PaintWatch* watch = nullptr;
            int paintsAtStart = -1;
            std::unique_ptr<qv::automation::Object> create(const QString& progId) override {
                if (paintsAtStart < 0)
                    paintsAtStart = watch->paints;
                return RecordingFactory::create(progId);
            }
        };
        Fixture f;
        f.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
        PaintWatch watch;
        designControl<QLineEdit>(*f.form, "Text15")->installEventFilter(&watch);
        Watching rec;
        rec.watch = &watch;
        emit designControl<Command>(*f.form, "Command3")->Click();
        QVERIFY2(rec.paintsAtStart > 0, "the status was not painted before the work started");
    }

    // A desktop whose word processor cannot use the attached merge file: the operator is told
    // once, before the document opens, and the document opens all the same.
    void newDocumentAdvice() {
        Fixture f;
        f.handler = {QStringLiteral("abiword.desktop"), QStringLiteral("AbiWord"),
                     QStringList{QStringLiteral("abiword")}};
        f.openerWorks = true;
        createMergeDocument(*f.form);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages[0].contains(QLatin1String("libreoffice-base")));
        QCOMPARE(f.opened.size(), 1);
        QVERIFY(f.opened[0].endsWith(QLatin1String("ABC.odt")));
        createMergeDocument(*f.form);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.opened.size(), 2);
        f.verifyRestored();
    }

    // The real backend without a template: a clear message, everything restored.
    void wordFailure() {
        Fixture f;
        mergeIntoTemplate(*f.form);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages[0].contains(QLatin1String("ABC.dot\" was not found")));
        QVERIFY(f.opened.isEmpty());
        f.verifyRestored();

        createMergeDocument(*f.form);
        QCOMPARE(f.opened.size(), 1);
        QVERIFY(f.opened[0].endsWith(QLatin1String("ABC.odt")));
    }
};

QTEST_MAIN(ActionsTest)
#include "tst_actions.moc"
