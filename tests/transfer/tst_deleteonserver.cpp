#include "searchfixture.h"

#include "app/actions/search.h"
#include "controls/command/command.h"
#include "tests/support/designcontrol.h"

#include <QTest>
#include <QTimer>

using qv::test::designControl;

class TestDeleteOnServer : public QObject {
    Q_OBJECT
private slots:
    void deletesAfterConfirmation();
    void declinedDeleteSendsNothing();
    void deletingTheOnlyFile();
    void refusedDeleteShowsNoMessage();
    void deleteButtonRunsTheDelete();
};

void TestDeleteOnServer::deletesAfterConfirmation() {
    SearchFixture f;
    f.server.putFile("A.LET", "N\n1\n");
    f.server.putFile("B.LET", "N\n1\n2\n");
    f.folder.write("Word/A.dot", "template");
    searchServer(*f.form);
    QCOMPARE(f.rows(), (QStringList{"A|2|A.LET|1", "B|1|B.LET|2"}));
    designControl<QLineEdit>(*f.form, "Text1")->setText("A");
    f.server.clearEvents();
    f.dialogs.confirmAnswers << true;

    deleteOnServer(*f.form);

    QCOMPARE(f.dialogs.questions, QStringList{"Delete A from the server?"});
    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(f.server.fileNames(), QStringList{"B.LET"});
    QCOMPARE(f.rows(), QStringList{"B|1|B.LET|2"});
    QVERIFY(QFile::exists(f.folder.filePath("Word/A.dot")));
    QCOMPARE(f.dataFiles(), QStringList{"B.LET"});
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
             QString("Search Complete 1 files found"));
    // The delete and the search after it share one control connection.
    QCOMPARE(f.server.count("CONNECT"), 1);
    QCOMPARE(f.server.events().filter("DELE"), QStringList{"DELE /u/vantrelle/accounts/A.LET"});
    // Back in the settings panel.
    QVERIFY(!designControl<Command>(*f.form, "Command1")->isHidden());
    QVERIFY(designControl<Command>(*f.form, "Command10")->isHidden());
    QVERIFY(f.form->isEnabled());
}

void TestDeleteOnServer::declinedDeleteSendsNothing() {
    SearchFixture f;
    f.server.putFile("A.LET", "N\n1\n");
    searchServer(*f.form);
    designControl<QLineEdit>(*f.form, "Text1")->setText("A");
    // The search's connections close after it has returned.
    QTRY_COMPARE(f.server.count("DISCONNECT"), f.server.count("CONNECT"));
    f.server.clearEvents();

    deleteOnServer(*f.form); // no answer queued: No

    QCOMPARE(f.dialogs.questions, QStringList{"Delete A from the server?"});
    QCOMPARE(f.dialogs.titles.last(), QString("Quorvane"));
    QCOMPARE(f.server.events(), QStringList());
    QCOMPARE(f.server.fileNames(), QStringList{"A.LET"});
    QCOMPARE(f.rows(), QStringList{"A|1|A.LET|1"});
}

void TestDeleteOnServer::deletingTheOnlyFile() {
    SearchFixture f;
    f.server.putFile("ONLY.LET", "N\n1\n");
    searchServer(*f.form);
    designControl<QLineEdit>(*f.form, "Text1")->setText("ONLY");
    designControl<QTimer>(*f.form, "Timer2")->stop();
    f.dialogs.confirmAnswers << true;

    deleteOnServer(*f.form);

    QCOMPARE(f.server.fileNames(), QStringList());
    QCOMPARE(designControl<ListView>(*f.form, "ListView1")->itemCount(), 0);
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
             QString("Search Complete 0 files found"));
    QVERIFY(designControl<QTimer>(*f.form, "Timer4")->isActive());
    QCOMPARE(designControl<QTimer>(*f.form, "Timer4")->interval(), 1000);
    QCOMPARE(f.dialogs.messages, QStringList());
}

void TestDeleteOnServer::refusedDeleteShowsNoMessage() {
    SearchFixture f;
    f.server.putFile("A.LET", "N\n1\n");
    f.server.refuseDelete();
    searchServer(*f.form);
    designControl<QLineEdit>(*f.form, "Text1")->setText("A");
    f.dialogs.confirmAnswers << true;

    deleteOnServer(*f.form);

    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(f.server.fileNames(), QStringList{"A.LET"});
    QCOMPARE(f.rows(), QStringList{"A|1|A.LET|1"});
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
             QString("Search Complete 1 files found"));
}

void TestDeleteOnServer::deleteButtonRunsTheDelete() {
    SearchFixture f;
    f.server.putFile("A.LET", "N\n1\n");
    f.server.putFile("B.LET", "N\n1\n");
    searchServer(*f.form);
    designControl<QLineEdit>(*f.form, "Text1")->setText("B");
    f.dialogs.confirmAnswers << true;
    emit designControl<Command>(*f.form, "Command10")->Click();
    QCOMPARE(f.server.fileNames(), QStringList{"A.LET"});
    QCOMPARE(f.rows(), QStringList{"A|1|A.LET|1"});
}

QTEST_MAIN(TestDeleteOnServer)
#include "tst_deleteonserver.moc"
