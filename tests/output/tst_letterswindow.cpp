// The letters from the window: the menu beside Complete Merge, the dialog that names the files,
// the progress with its Cancel, and the last choice kept in auto.ini.

#include "app/form2.h"
#include "settings/inifile.h"
#include "tests/support/designcontrol.h"
#include "tests/support/lettertemplate.h"
#include "tests/support/recordingdialogs.h"
#include "tests/support/tempprogramfolder.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using qv::test::designControl;

namespace {

const QByteArray kAccounts = "Name|Town\nAnn|Cork\nBob|Sligo\nCat|Galway\n";

QTemporaryDir& privateTemp() {
    static QTemporaryDir dir;
    return dir;
}

// LibreOffice processes of this test's letters (their profiles lie in its temporary folder).
int officeProcesses() {
    QProcess p;
    p.start(QStringLiteral("pgrep"),
            {QStringLiteral("-f"), privateTemp().filePath(QStringLiteral("quorvane-pdf-"))});
    p.waitForFinished();
    return p.readAllStandardOutput().count('\n');
}

struct Fixture {
    qv::test::TempProgramFolder folder;
    qv::test::RecordingDialogs dialogs;
    QTemporaryDir out;
    qv::ScopedServices services{[this](qv::Services& s) {
        s.dialogs = &dialogs;
        s.documentFolder = out.filePath(QStringLiteral("documents"));
        s.fileOpener = [](const QString&) { return true; };
    }};
    std::unique_ptr<Form2> form;

    Fixture() {
        folder.write(QStringLiteral("data/ACC.LET"), kAccounts);
        using namespace qv::test;
        if (!writeLetterTemplate(folder.filePath(QStringLiteral("Word/ACC.dot")),
                                 paragraph(text("Letter to ") + field("MERGEFIELD Name") +
                                           text(" of ") + field("MERGEFIELD Town"))))
            qFatal("the template could not be written");
        form = std::make_unique<Form2>();
        form->show();
        form->details.showFile({QStringLiteral("ACC"), {}, QStringLiteral("ACC.LET"), {}});
        form->details.setRecordCount(3);
        form->details.showTemplateChoice(true);
    }
    QToolButton* menuButton() const {
        return form->findChild<QToolButton*>(QStringLiteral("letterMenuButton"));
    }
    QMenu* menu() const {
        QMenu* m = menuButton()->menu();
        emit m->aboutToShow();
        return m;
    }
    QAction* entry(const QString& text) const {
        for (QAction* a : menu()->actions())
            if (a->text() == text)
                return a;
        return nullptr;
    }
    QString setting(const QString& key) const {
        return qv::INIread(folder.filePath(QStringLiteral("auto.ini")), QStringLiteral("Letters"),
                           key);
    }
    QStringList written() const {
        return QDir(out.filePath(QStringLiteral("letters")))
            .entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

// Answers the dialog that names the files: the pattern and a folder of the test's own.
void answerFilesDialog(const Fixture& f, const QString& pattern) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, &f, pattern] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->findChild<QLineEdit*>(QStringLiteral("letterPattern")))
            return;
        dialog->findChild<QLineEdit*>(QStringLiteral("letterPattern"))->setText(pattern);
        dialog->findChild<QLineEdit*>(QStringLiteral("letterFolder"))
            ->setText(f.out.filePath(QStringLiteral("letters")));
        dialog->accept();
        timer->deleteLater();
    });
    timer->start(20);
}

bool haveOffice() {
    return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty();
}

} // namespace

class LettersWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("TMPDIR", QFile::encodeName(privateTemp().path())); }
    void menuBesideCompleteMerge();
    void documentsEach();
    void cancelStopsEverything_data();
    void cancelStopsEverything();
};

// The button stands right of Complete Merge and shows with it; its menu offers every output and
// printing, the last choice marked.
void LettersWindowTest::menuBesideCompleteMerge() {
    Fixture f;
    QToolButton* button = f.menuButton();
    QVERIFY(button);
    auto* complete = designControl<QWidget>(*f.form, "Command4");
    QVERIFY(button->isVisible());
    QCOMPARE(button->geometry().top(), complete->geometry().top());
    QVERIFY(button->geometry().left() > complete->geometry().right());
    QStringList texts;
    for (QAction* a : f.menu()->actions())
        if (!a->isSeparator())
            texts << a->text();
    QCOMPARE(texts,
             QStringList({"One document (Complete Merge)", "One document per record...",
                          "One PDF of all letters", "One PDF per record...", "Print letters..."}));
    QCOMPARE(f.menu()->defaultAction()->text(), QStringLiteral("One document (Complete Merge)"));
    f.form->details.hideTemplateChoice();
    QVERIFY(!button->isVisible());
}

// One document per record from the menu: the files named as asked, the choice remembered.
void LettersWindowTest::documentsEach() {
    Fixture f;
    answerFilesDialog(f, QStringLiteral("{Name} {Town}"));
    f.entry(QStringLiteral("One document per record..."))->trigger();
    QCOMPARE(f.written(), QStringList({"Ann Cork.docx", "Bob Sligo.docx", "Cat Galway.docx"}));
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages[0].startsWith(QStringLiteral("3 letters written")),
             qPrintable(f.dialogs.messages[0]));
    QCOMPARE(f.setting(QStringLiteral("Output")), QStringLiteral("docx-each"));
    QCOMPARE(f.setting(QStringLiteral("Pattern")), QStringLiteral("{Name} {Town}"));
    QCOMPARE(f.menu()->defaultAction()->text(), QStringLiteral("One document per record..."));
    // Again: the files that exist are asked about; No keeps them and numbers the new ones.
    answerFilesDialog(f, QStringLiteral("{Name} {Town}"));
    f.dialogs.confirmAnswers.enqueue(false);
    f.entry(QStringLiteral("One document per record..."))->trigger();
    QCOMPARE(f.dialogs.questions.size(), 1);
    QCOMPARE(f.written().size(), 6);
}

void LettersWindowTest::cancelStopsEverything_data() {
    QTest::addColumn<bool>("closeWindow");
    QTest::newRow("Cancel") << false;
    QTest::newRow("window closed") << true;
}

// Cancel, or closing the window, while LibreOffice lays out the letters: no file, no LibreOffice
// left, no message.
void LettersWindowTest::cancelStopsEverything() {
    QFETCH(bool, closeWindow);
    if (!haveOffice())
        QSKIP("LibreOffice is not installed");
    Fixture f;
    answerFilesDialog(f, QStringLiteral("{Name}"));
    QTimer watch;
    bool stopped = false;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* progress = f.form->findChild<QProgressDialog*>(QStringLiteral("letterProgress"));
        if (stopped || !progress || !progress->labelText().contains("LibreOffice") ||
            officeProcesses() == 0)
            return;
        stopped = true;
        closeWindow ? f.form->requestClose() : progress->cancel();
    });
    watch.start(50);
    f.entry(QStringLiteral("One PDF per record..."))->trigger();
    QVERIFY(stopped);
    QCOMPARE(f.written(), QStringList());
    QCOMPARE(officeProcesses(), 0);
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.join('\n')));
}

QTEST_MAIN(LettersWindowTest)
#include "tst_letterswindow.moc"
