#include "searchfixture.h"

#include "app/actions/search.h"
#include "controls/command/command.h"
#include "tests/support/designcontrol.h"
#include "ui/animationplayer.h"
#include "ui/shapes.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

using qv::test::designControl;

namespace {
const QString kAdvice = QStringLiteral("\r\nPlease check IP Address/Login/Paswword Settings");
} // namespace

class TestSearch : public QObject {
    Q_OBJECT
private slots:
    void threeFilesInListingOrder();
    void iconOfAnEntry_data();
    void iconOfAnEntry();
    void noFiles();
    void missingField_data();
    void missingField();
    void listingError_data();
    void listingError();
    void failedDownloadIsReported_data();
    void failedDownloadIsReported();
    void hostileNamesAreSkipped();
    void longNames();
    void settingsFileAfterASearch();
    void countsRecordsBeyondSixteenBits();
    void searchButtonRunsTheSearch();
};

void TestSearch::threeFilesInListingOrder() {
    SearchFixture f;
    f.server.putFile("C.LET", "Name|Town\nAnn|Cork\nBob|Sligo\nCy|Galway\n");
    f.server.putFile("A.LET", "Name|Town\nAnn|Cork\nBob|Sligo\n");
    f.server.putFile("B.LET", "Name|Town\n");
    f.server.putFile("notes.txt", "not a merge file");
    f.folder.write("data/OLD.LET", "left by the previous search");
    f.folder.write("data/keep.txt", "not ours");
    designControl<QTimer>(*f.form, "Timer1")->start(10000);
    designControl<QLineEdit>(*f.form, "Text6")->show();
    QStringList summaries;
    connect(designControl<QLineEdit>(*f.form, "Text6"), &QLineEdit::textChanged,
            [&](const QString& t) { summaries << t; });

    searchServer(*f.form);

    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(f.rows(), (QStringList{"A|1|A.LET|2", "B|1|B.LET|0", "C|1|C.LET|3"}));
    // The browser's view shows every entry once the search is over, in the same order.
    const QAbstractItemModel* shown =
        designControl<ListView>(*f.form, "ListView1")->currentView()->model();
    QCOMPARE(shown->rowCount(), 3);
    QCOMPARE(shown->index(2, 0).data().toString(), QStringLiteral("C"));
    QCOMPARE(summaries,
             (QStringList{"- Searching Server 1 files found", "- Searching Server 2 files found",
                          "- Searching Server 3 files found", "Search Complete 3 files found"}));
    QCOMPARE(designControl<QProgressBar>(*f.form, "ProgressBar1")->maximum(), 3);
    QCOMPARE(designControl<QProgressBar>(*f.form, "ProgressBar1")->value(), 3);
    QVERIFY(designControl<QProgressBar>(*f.form, "ProgressBar1")->isHidden());
    QVERIFY(designControl<QLineEdit>(*f.form, "Text7")->isHidden());
    QVERIFY(designControl<QLineEdit>(*f.form, "Text8")->isHidden());
    QVERIFY(designControl<RectShape>(*f.form, "Shape2")->isHidden());
    QVERIFY(designControl<qv::AnimationPlayer>(*f.form, "Animation1")->isHidden());
    QVERIFY(!designControl<qv::AnimationPlayer>(*f.form, "Animation1")->isPlaying());
    QVERIFY(!designControl<QLineEdit>(*f.form, "Text6")->isHidden());
    QVERIFY(!designControl<ListView>(*f.form, "ListView1")->isHidden());
    QVERIFY(designControl<QLabel>(*f.form, "Label2")->isHidden());
    QVERIFY(f.form->isEnabled());
    QVERIFY(designControl<Command>(*f.form, "Command1")->isEnabled());
    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(designControl<QListWidget>(*f.form, "List1")->count(), 3);
    QCOMPARE(designControl<QListWidget>(*f.form, "List1")->currentRow(),
             2); // the last name downloaded
    // Guidance: the start balloon is no longer due; the selection balloon follows in 5 s.
    QVERIFY(!designControl<QTimer>(*f.form, "Timer1")->isActive());
    QVERIFY(designControl<QTimer>(*f.form, "Timer2")->isActive());
    QCOMPARE(designControl<QTimer>(*f.form, "Timer2")->interval(), 5000);
    QVERIFY(!designControl<QTimer>(*f.form, "Timer3")->isActive());
    QVERIFY(!designControl<QTimer>(*f.form, "Timer4")->isActive());
    // Copies byte for byte; the old copy is gone, other files stay.
    QCOMPARE(f.dataFiles(), (QStringList{"A.LET", "B.LET", "C.LET", "keep.txt"}));
    QCOMPARE(f.folder.read("data/C.LET"), f.server.fileBytes("C.LET"));
    QCOMPARE(designControl<ListView>(*f.form, "ListView1")->subItem(0, 1).isEmpty(), false);
    // The listing's connection and two more, one a file (up to four by default).
    QCOMPARE(f.server.count("CONNECT"), 3);
    QCOMPARE(f.server.count("LOGIN"), 3);
    QCOMPARE(f.server.count("RETR"), 3);
}

void TestSearch::iconOfAnEntry_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("withTemplate");
    QTest::addColumn<int>("icon");
    QTest::newRow("no template") << QByteArray("N|T\n1|2\n") << false << 1;
    QTest::newRow("template") << QByteArray("N|T\n1|2\n") << true << 2;
    QTest::newRow("empty file") << QByteArray() << false << 4;
    QTest::newRow("empty file with template") << QByteArray() << true << 4;
}

void TestSearch::iconOfAnEntry() {
    QFETCH(QByteArray, content);
    QFETCH(bool, withTemplate);
    QFETCH(int, icon);
    SearchFixture f;
    f.server.putFile("X.LET.LET", content);
    if (withTemplate)
        f.folder.write("Word/X.dot", "template");
    searchServer(*f.form);
    QCOMPARE(f.rows(),
             QStringList{QString("X|%1|X.LET.LET|%2").arg(icon).arg(content.isEmpty() ? 0 : 1)});
}

void TestSearch::noFiles() {
    SearchFixture f;
    f.server.putFile("other.txt", "x");
    searchServer(*f.form);
    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
             QString("Search Complete 0 files found"));
    QCOMPARE(designControl<ListView>(*f.form, "ListView1")->itemCount(), 0);
    QVERIFY(designControl<ListView>(*f.form, "ListView1")->isHidden()); // the introduction stays
    QVERIFY(!designControl<QLabel>(*f.form, "Label2")->isHidden());
    QVERIFY(designControl<QTimer>(*f.form, "Timer4")->isActive());
    QCOMPARE(designControl<QTimer>(*f.form, "Timer4")->interval(), 1000);
    QVERIFY(!designControl<QTimer>(*f.form, "Timer2")->isActive());
    QVERIFY(f.folder.read("auto.ini").contains("Ipaddress=" + f.server.address().toLatin1()));
}

void TestSearch::missingField_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");
    QTest::newRow("all empty") << ""
                               << ""
                               << ""
                               << "You must key in IP Address";
    QTest::newRow("address") << ""
                             << "root"
                             << "pw"
                             << "You must key in IP Address";
    QTest::newRow("login") << "1.2.3.4"
                           << ""
                           << "pw"
                           << "You must key in Login Name";
    QTest::newRow("password") << "1.2.3.4"
                              << "root"
                              << ""
                              << "You must key in password";
    QTest::newRow("login and password") << "1.2.3.4"
                                        << ""
                                        << ""
                                        << "You must key in Login Name";
}

void TestSearch::missingField() {
    QFETCH(QString, address);
    QFETCH(QString, login);
    QFETCH(QString, password);
    QFETCH(QString, message);
    SearchFixture f;
    f.folder.write("data/A.LET", "kept");
    designControl<QLineEdit>(*f.form, "Text10")->setText(address);
    designControl<QLineEdit>(*f.form, "Text11")->setText(login);
    designControl<QLineEdit>(*f.form, "Text12")->setText(password);
    designControl<QTimer>(*f.form, "Timer1")->start(10000);

    searchServer(*f.form);

    QCOMPARE(f.dialogs.messages, QStringList{message});
    QCOMPARE(f.dialogs.titles, QStringList{"Quorvane"});
    QVERIFY(designControl<QTimer>(*f.form, "Timer3")->isActive());
    QCOMPARE(designControl<QTimer>(*f.form, "Timer3")->interval(), 1000);
    QVERIFY(
        designControl<QTimer>(*f.form, "Timer1")->isActive()); // the start balloon still follows
    QVERIFY(f.form->isEnabled());
    QCOMPARE(f.folder.read("auto.ini"), QByteArray());
    QCOMPARE(f.folder.read("data/A.LET"), QByteArray("kept"));
    QCOMPARE(f.server.count("CONNECT"), 0);
}

void TestSearch::listingError_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message"); // a prefix when it ends with "*"
    QTest::newRow("wrong password") << "password"
                                    << "- Connection Error! 530: Authentication failed." + kAdvice;
    QTest::newRow("login refused") << "refuse"
                                   << "- Connection Error! 530: Login incorrect." + kAdvice;
    QTest::newRow("unreachable port") << "port"
                                      << "- Connection Error! 7: Failed to connect*";
    QTest::newRow("not an address")
        << "address"
        << "- Connection Error! 3: Not a valid server address: no such host!" + kAdvice;
    QTest::newRow("listing stalls")
        << "stall"
        << "- Connection Error! 28: The server stopped responding (nothing received for 1 "
           "second)";
}

void TestSearch::listingError() {
    QFETCH(QString, fault);
    QFETCH(QString, message);
    SearchFixture f;
    f.server.putFile("A.LET", "N\n1\n");
    f.folder.write("data/OLD.LET", "previous copy");
    f.folder.write("auto.ini", "[Default]\r\nIpaddress=old\r\n");
    QTcpServer probe;
    if (fault == "password") {
        designControl<QLineEdit>(*f.form, "Text12")->setText("wrong");
    } else if (fault == "refuse") {
        f.server.setRefuseLogin(true);
    } else if (fault == "port") {
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        designControl<QLineEdit>(*f.form, "Text10")
            ->setText(QString("127.0.0.1:%1").arg(probe.serverPort()));
        probe.close();
    } else if (fault == "address") {
        designControl<QLineEdit>(*f.form, "Text10")->setText("no such host!");
    } else {
        f.server.setStallListing(true);
        f.form->transfer->setTimeouts({5000, 1000});
    }

    searchServer(*f.form);

    QCOMPARE(f.dialogs.messages.size(), 1);
    if (message.endsWith('*')) {
        QVERIFY2(f.dialogs.messages[0].startsWith(message.chopped(1)),
                 qPrintable(f.dialogs.messages[0]));
        QVERIFY(f.dialogs.messages[0].endsWith(kAdvice));
    } else {
        QCOMPARE(f.dialogs.messages[0], message);
    }
    QCOMPARE(f.dialogs.titles, QStringList{"Quorvane"});
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(), QString());
    QVERIFY(designControl<QProgressBar>(*f.form, "ProgressBar1")->isHidden());
    QVERIFY(designControl<QLineEdit>(*f.form, "Text8")->isHidden());
    QVERIFY(designControl<qv::AnimationPlayer>(*f.form, "Animation1")->isHidden());
    QVERIFY(!designControl<qv::AnimationPlayer>(*f.form, "Animation1")->isPlaying());
    QVERIFY(f.form->isEnabled());
    QVERIFY(designControl<QTimer>(*f.form, "Timer3")->isActive());
    QVERIFY(!designControl<QTimer>(*f.form, "Timer2")->isActive() &&
            !designControl<QTimer>(*f.form, "Timer4")->isActive());
    QCOMPARE(designControl<ListView>(*f.form, "ListView1")->itemCount(), 0);
    // The previous copies stay until a listing has succeeded.
    QCOMPARE(f.dataFiles(), QStringList{"OLD.LET"});
    QCOMPARE(f.folder.read("data/OLD.LET"), QByteArray("previous copy"));
    QCOMPARE(f.folder.read("auto.ini"), QByteArray("[Default]\r\nIpaddress=old\r\n"));
}

void TestSearch::failedDownloadIsReported_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("refused") << "refuse";
    QTest::newRow("connection dropped") << "drop";
    QTest::newRow("stalled") << "stall";
}

void TestSearch::failedDownloadIsReported() {
    QFETCH(QString, fault);
    SearchFixture f;
    f.server.putFile("A.LET", "N\n1\n");
    f.server.putFile("B.LET", QByteArray(300000, 'b'));
    f.server.putFile("C.LET", "N\n1\n2\n");
    if (fault == "refuse")
        f.server.refuseDownload("B.LET");
    else if (fault == "drop")
        f.server.dropDownload("B.LET", 10000);
    else
        f.server.stallDownload("B.LET");
    f.form->transfer->setTimeouts({5000, 1000});

    searchServer(*f.form);

    // The others arrive; the end says which file was not stored, and why.
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages[0].startsWith("Search Complete 2 files found, 1 not stored: "
                                              "B.LET\r\n\r\n1 listed file was not stored:\r\n"
                                              "B.LET: "),
             qPrintable(f.dialogs.messages[0]));
    QCOMPARE(f.rows(), (QStringList{"A|1|A.LET|1", "C|1|C.LET|2"}));
    QCOMPARE(f.dataFiles(), (QStringList{"A.LET", "C.LET"})); // no partial or temporary file
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
             QString("Search Complete 2 files found, 1 not stored: B.LET"));
    QCOMPARE(designControl<QProgressBar>(*f.form, "ProgressBar1")->value(), 3);
    QVERIFY(designControl<QTimer>(*f.form, "Timer2")->isActive());
    QVERIFY(f.folder.read("auto.ini").contains("Login=root"));
}

void TestSearch::hostileNamesAreSkipped() {
    SearchFixture f;
    f.server.putFile("GOOD.LET", "N\n1\n");
    const QStringList hostile{"../EVIL.LET", "..",         "sub/EVIL.LET",  "a\\EVIL.LET",
                              "C:EVIL.LET",  "bell\a.LET", "tab\tEVIL.LET", ".LET"};
    for (const QString& name : hostile)
        f.server.addListedName(name);
    f.server.addListedName("GOOD.LET"); // listed twice

    searchServer(*f.form);

    QCOMPARE(f.rows(), QStringList{"GOOD|1|GOOD.LET|1"});
    QCOMPARE(designControl<QListWidget>(*f.form, "List1")->count(), 1);
    QCOMPARE(f.dataFiles(), QStringList{"GOOD.LET"});
    QVERIFY(!QFile::exists(f.folder.filePath("EVIL.LET")));
    QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files), QStringList{"auto.ini"});
    QCOMPARE(f.server.count("RETR"), 1);
    // Not skipped silently: each merge file name is named with why it cannot be stored, its
    // control characters shown escaped; ".." is no merge file name and says nothing.
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
             QString("Search Complete 1 files found, 7 not stored: ../EVIL.LET, sub/EVIL.LET, "
                     "a\\EVIL.LET, ..."));
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages[0].split("\r\n").mid(2),
             (QStringList{"7 listed files were not stored:",
                          "../EVIL.LET: cannot be stored here: a name holding \"..\"",
                          "sub/EVIL.LET: cannot be stored here: a name holding a path separator",
                          "a\\EVIL.LET: cannot be stored here: a name holding a path separator",
                          "C:EVIL.LET: cannot be stored here: a name holding a character file "
                          "systems refuse (:)",
                          "bell\\x07.LET: cannot be stored here: a name holding a control "
                          "character",
                          "tab\\x09EVIL.LET: cannot be stored here: a name holding a control "
                          "character",
                          ".LET: cannot be stored here: no merge file name before \".LET\""}));
}

// A name as long as the local file system takes is fetched; one longer (the server's file
// system may take it) is named like any name that cannot be stored, and the search goes on.
void TestSearch::longNames() {
    SearchFixture f;
    const QString longest = QString(120, QChar(0xe9)) + "ABCD" + ".LET"; // 248 bytes in UTF-8
    const QString tooLong = QString(126, QChar(0xe9)) + ".LET";          // 256 bytes
    f.server.putFile("A.LET", "N\n1\n");
    f.server.putFile(longest, "N\n1\n2\n");
    f.server.putFile("Z.LET", "N\n");
    f.server.addListedName(tooLong);

    searchServer(*f.form);

    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages[0].endsWith(tooLong + ": cannot be stored here: a name longer "
                                                      "than the 255 bytes a local file name may "
                                                      "have"),
             qPrintable(f.dialogs.messages[0]));
    // In the listing's order: the server sorts the names by their bytes.
    QCOMPARE(f.rows(), (QStringList{"A|1|A.LET|1", "Z|1|Z.LET|0",
                                    QString(120, QChar(0xe9)) + "ABCD|1|" + longest + "|2"}));
    QCOMPARE(f.dataFiles(), (QStringList{"A.LET", "Z.LET", longest}));
    QCOMPARE(f.server.count("RETR"), 3);
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
             "Search Complete 3 files found, 1 not stored: " + tooLong);
    QVERIFY(f.folder.read("auto.ini").contains("Login=root")); // the settings are saved
}

void TestSearch::settingsFileAfterASearch() {
    SearchFixture f;
    f.server.putFile("A.LET", "N\n1\n");
    searchServer(*f.form);
    QCOMPARE(f.folder.read("auto.ini"),
             "[Default]\r\nPassword=" + f.server.password().toLatin1() +
                 "\r\nLogin=root\r\nIpaddress=" + f.server.address().toLatin1() + "\r\n");
    // A second search with new values replaces them in place.
    designControl<QLineEdit>(*f.form, "Text10")->setText("ftp://" + f.server.address());
    searchServer(*f.form);
    QCOMPARE(f.folder.read("auto.ini"), "[Default]\r\nPassword=" + f.server.password().toLatin1() +
                                            "\r\nLogin=root\r\nIpaddress=ftp://" +
                                            f.server.address().toLatin1() + "\r\n");
    QCOMPARE(f.rows(), QStringList{"A|1|A.LET|1"});
}

void TestSearch::countsRecordsBeyondSixteenBits() {
    SearchFixture f;
    QByteArray big = "Name|Town\n";
    for (int i = 0; i < 40000; ++i)
        big += "Ann|Cork\n";
    f.server.putFile("BIG.LET", big);
    searchServer(*f.form);
    QCOMPARE(f.rows(), QStringList{"BIG|1|BIG.LET|40000"});
}

void TestSearch::searchButtonRunsTheSearch() {
    SearchFixture f;
    f.server.putFile("A.LET", "N\n1\n");
    QStringList states;
    connect(designControl<QLineEdit>(*f.form, "Text8"), &QLineEdit::textChanged,
            [&](const QString& t) { states << t; });
    emit designControl<Command>(*f.form, "Command1")->Click();
    QCOMPARE(f.rows(), QStringList{"A|1|A.LET|1"});
    // The status line went through the states of the listing and the download.
    QVERIFY(states.contains("Resolving Host"));
    QVERIFY(states.contains("- Connected!"));
    QVERIFY(states.contains("- Response Completed!"));
    QVERIFY(!states.contains("- Connection Error! "));
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
