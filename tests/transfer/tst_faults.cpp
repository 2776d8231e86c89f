// The search and the delete against a misbehaving server. Whatever the server does, the program
// goes on working: the message or the status line says what happened, no partial file is left in
// the data folder, files copied before the fault stay, the settings file changes only after a
// good listing, and the window comes back enabled. A second search once the server behaves again
// finds everything.
#include "searchfixture.h"

#include "app/actions/search.h"
#include "controls/command/command.h"
#include "tests/support/designcontrol.h"
#include "tests/support/foldersnapshot.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTest>

#include <algorithm>
#include <fstream>
#include <string>

using qv::test::designControl;

namespace {

const QString kAdvice = QStringLiteral("\r\nPlease check IP Address/Login/Paswword Settings");
const QByteArray kOldSettings = "[Default]\r\nIpaddress=old\r\n";

// Every text the status line showed.
struct StatusLog {
    explicit StatusLog(QLineEdit* line) {
        QObject::connect(line, &QLineEdit::textChanged, [this](const QString& t) { texts << t; });
    }
    QStringList errors() const { return texts.filter(QStringLiteral("- Connection Error! ")); }
    QStringList texts;
};

long statusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    }
    return -1;
}

// Starts a new peak of resident memory from the present size (false where the system cannot).
bool resetPeakMemory() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return clear.good();
}

constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

// The window after a search or delete has ended, whatever happened.
void checkWindowIsBack(SearchFixture& f) {
    QVERIFY(f.form->isEnabled());
    QVERIFY(designControl<Command>(*f.form, "Command1")->isEnabled());
    QVERIFY(designControl<QProgressBar>(*f.form, "ProgressBar1")->isHidden());
    QVERIFY(designControl<QLineEdit>(*f.form, "Text8")->isHidden());
    QVERIFY(!f.form->transfer->StillExecuting());
}

// Nothing below the data folder but the expected files (no partial or temporary files).
void checkDataFolder(SearchFixture& f, const QStringList& expected) {
    QStringList all;
    QDirIterator it(f.folder.filePath(QStringLiteral("data")),
                    QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        all << it.fileName();
    }
    all.sort();
    QCOMPARE(all, expected);
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void searchSurvivesAFault_data();
    void searchSurvivesAFault();
    void tenThousandNames();
    void bigFileKeepsMemoryFlat();
    void refusedDelete();
    void listingBeyondTheLimits_data();
    void listingBeyondTheLimits();
    void skippedNamesKeepMemoryFlat();
    void namesOfEveryLength();
    void dataFolderIsAFile();
    void secondWindowIsTold();
};

void TestFaults::searchSurvivesAFault_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message"); // a failed listing's; a prefix when it ends with "*"
    QTest::addColumn<QString>("status");  // an error the status line showed, a prefix
    QTest::addColumn<QString>("reason");  // why B.LET was not stored, a prefix
    QTest::addColumn<int>("tries");       // downloads of B.LET

    QTest::newRow("login refused")
        << "login"
        << "- Connection Error! 530: Login incorrect." + kAdvice << "- Connection Error! 530"
        << "" << 0;
    QTest::newRow("connection dropped during the listing") << "drop listing"
                                                           << "- Connection Error! *"
                                                           << "- Connection Error! "
                                                           << "" << 0;
    QTest::newRow("listing stalls")
        << "stall listing"
        << "- Connection Error! 28: The server stopped responding (nothing received for 1 "
           "second)"
        << "- Connection Error! 28"
        << "" << 0;
    QTest::newRow("listing refused") << "refuse listing"
                                     << "- Connection Error! 550: Permission denied."
                                     << "- Connection Error! 550"
                                     << "" << 0;
    // A file whose transfer broke off, went silent or ended short is tried once more.
    QTest::newRow("connection dropped twice during a download")
        << "drop download"
        << ""
        << "- Connection Error! "
        << "The server closed the connection while downloading /u/vantrelle/accounts/B.LET "
           "(error "
        << 2;
    QTest::newRow("download stalls twice")
        << "stall download"
        << ""
        << "- Connection Error! 28"
        << "The server stopped responding (nothing received for 1 second) (error 28)" << 2;
    QTest::newRow("download ended early with 226")
        << "short download"
        << ""
        << "- Connection Error! 18"
        << "The server ended the transfer of /u/vantrelle/accounts/B.LET after 100000 of "
           "300000 bytes (error 18)"
        << 2;
    QTest::newRow("file vanishes after the listing")
        << "vanish"
        << ""
        << "- Connection Error! 550"
        << "No such file or directory. (error 550)" << 1;
    QTest::newRow("download refused") << "refuse download"
                                      << ""
                                      << "- Connection Error! 550"
                                      << "Permission denied. (error 550)" << 1;
}

void TestFaults::searchSurvivesAFault() {
    QFETCH(QString, fault);
    QFETCH(QString, message);
    QFETCH(QString, status);
    QFETCH(QString, reason);
    QFETCH(int, tries);

    SearchFixture f;
    f.server.putFile("A.LET", "N\n1\n");
    f.server.putFile("B.LET", QByteArray(300000, 'b'));
    f.server.putFile("C.LET", "N\n1\n2\n");
    f.folder.write("auto.ini", kOldSettings);
    f.folder.write("data/keep.txt", "not a copy");
    f.folder.write("data/B.LET", "N\nthe previous copy\n");
    f.folder.write("data/GONE.LET", "N\nno longer listed\n");
    const auto before = qv::test::folderSnapshot(f.folder.filePath("data"));
    f.form->transfer->setTimeouts({5000, 1000});
    if (fault == "login")
        f.server.setRefuseLogin(true);
    else if (fault == "drop listing")
        f.server.dropListing(7);
    else if (fault == "stall listing")
        f.server.setStallListing(true);
    else if (fault == "refuse listing")
        f.server.setRefuseListing(true);
    else if (fault == "drop download")
        f.server.dropDownload("B.LET", 100000);
    else if (fault == "stall download")
        f.server.stallDownload("B.LET");
    else if (fault == "short download")
        f.server.shortDownload("B.LET", 100000);
    else if (fault == "vanish")
        f.server.vanishAfterListing("B.LET");
    else
        f.server.refuseDownload("B.LET");
    StatusLog log(designControl<QLineEdit>(*f.form, "Text8"));

    searchServer(*f.form);

    QCOMPARE(f.dialogs.messages.size(), 1);
    const QString shown = f.dialogs.messages[0];
    if (reason.isEmpty()) {
        if (message.endsWith('*')) {
            QVERIFY2(shown.startsWith(message.chopped(1)), qPrintable(shown));
            // A drop is not the settings' fault: the message ends with what happened.
            QVERIFY2(shown.contains("The server closed the connection while "
                                    "listing /u/vantrelle/accounts/"),
                     qPrintable(shown));
            QVERIFY(!shown.contains(kAdvice));
        } else {
            QCOMPARE(shown, message);
        }
    } else {
        // The end message: what arrived, then which file was not stored and why.
        const QString head = "Search Complete 2 files found, 1 not stored: B.LET\r\n\r\n"
                             "1 listed file was not stored:\r\nB.LET: ";
        QVERIFY2(shown.startsWith(head + reason), qPrintable(shown));
        QVERIFY2(shown.endsWith(" (the copy of the previous search is kept)"), qPrintable(shown));
    }
    QVERIFY2(!log.errors().isEmpty() && log.errors().first().startsWith(status),
             qPrintable(log.texts.join(" / ")));
    QCOMPARE(f.server.count("RETR /u/vantrelle/accounts/B.LET"), tries);
    checkWindowIsBack(f);
    if (reason.isEmpty()) {
        // A failed listing changes nothing here: the previous copies and the settings stay.
        QCOMPARE(f.rows(), QStringList());
        QCOMPARE(qv::test::folderSnapshot(f.folder.filePath("data")), before);
        QCOMPARE(f.folder.read("auto.ini"), kOldSettings);
    } else {
        QCOMPARE(f.rows(), (QStringList{"A|1|A.LET|1", "C|1|C.LET|2"}));
        // B.LET keeps its previous copy; GONE.LET, no longer listed, went.
        checkDataFolder(f, {"A.LET", "B.LET", "C.LET", "keep.txt"});
        QCOMPARE(f.folder.read("data/A.LET"), QByteArray("N\n1\n"));
        QCOMPARE(f.folder.read("data/B.LET"), QByteArray("N\nthe previous copy\n"));
        QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
                 QString("Search Complete 2 files found, 1 not stored: B.LET"));
        QVERIFY(f.folder.read("auto.ini").contains("Login=root\r\n"));
    }

    // The program goes on working once the server does.
    f.server.clearFaults();
    if (fault == "vanish")
        f.server.putFile("B.LET", QByteArray(300000, 'b'));
    f.dialogs.messages.clear();
    searchServer(*f.form);
    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(f.rows(), (QStringList{"A|1|A.LET|1", "B|1|B.LET|0", "C|1|C.LET|2"}));
    QCOMPARE(f.folder.read("data/B.LET"), QByteArray(300000, 'b'));
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
             QString("Search Complete 3 files found"));
    checkDataFolder(f, {"A.LET", "B.LET", "C.LET", "keep.txt"});
    checkWindowIsBack(f);
}

void TestFaults::tenThousandNames() {
    // 10,000 listed names that the search must not use (they start with ".."), besides two
    // merge files: the control reads the whole listing but keeps only the names it can store,
    // so only the two reach the listing box and are fetched.
    SearchFixture f;
    f.server.putFile("A.LET", "N\n1\n");
    f.server.putFile("ZZ.LET", "N\n1\n2\n");
    f.server.addListedNameSeries(QStringLiteral(".."), 10000, QStringLiteral(".LET"));
    int listed = 0;
    connect(designControl<QListWidget>(*f.form, "lstremotefiles")->model(),
            &QAbstractItemModel::rowsInserted, [&] {
                listed = std::max(listed,
                                  designControl<QListWidget>(*f.form, "lstremotefiles")->count());
            });
    QElapsedTimer clock;
    clock.start();

    searchServer(*f.form);

    qInfo("a listing of 10,002 names searched in %lld ms", static_cast<long long>(clock.elapsed()));
    QCOMPARE(listed, 2);
    QCOMPARE(designControl<QListWidget>(*f.form, "List1")->count(), 2);
    QCOMPARE(f.server.count("RETR"), 2);
    QCOMPARE(f.rows(), (QStringList{"A|1|A.LET|1", "ZZ|1|ZZ.LET|2"}));
    // The names not used are not skipped silently: the first are named, the rest counted.
    const QString summary = "Search Complete 2 files found, 10000 not stored: ..00000.LET, "
                            "..00001.LET, ..00002.LET, ...";
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(), summary);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages[0].startsWith(summary + "\r\n\r\n10000 listed files were not "
                                                        "stored:\r\n..00000.LET: cannot be "
                                                        "stored here: a name holding \"..\"\r\n"),
             qPrintable(f.dialogs.messages[0]));
    QVERIFY2(f.dialogs.messages[0].endsWith("\r\n... and 89 more"),
             qPrintable(f.dialogs.messages[0]));
    checkWindowIsBack(f);
    checkDataFolder(f, {"A.LET", "ZZ.LET"});
}

void TestFaults::bigFileKeepsMemoryFlat() {
    constexpr qint64 kSize = 200LL * 1024 * 1024;
    SearchFixture f;
    {
        // Sparse on the server: made in no time, read back as zeros with one line end at the end.
        QFile big(QDir(f.server.accountsPath()).filePath(QStringLiteral("BIG.LET")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(kSize - 1));
        QVERIFY(big.seek(kSize - 1));
        QVERIFY(big.putChar('\n'));
    }
    f.server.putFile("A.LET", "N\n1\n");
    const bool peakReset = resetPeakMemory();
    const long before = statusKb("VmRSS");

    searchServer(*f.form);

    const long peakGrowthKb = statusKb("VmHWM") - before;
    qInfo("peak memory grew by %ld KiB (from %ld KiB) for a %lld MiB download", peakGrowthKb,
          before, static_cast<long long>(kSize >> 20));
    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(f.rows(), (QStringList{"A|1|A.LET|1", "BIG|1|BIG.LET|0"}));
    QCOMPARE(QFileInfo(f.folder.filePath("data/BIG.LET")).size(), kSize);
    checkWindowIsBack(f);
    checkDataFolder(f, {"A.LET", "BIG.LET"});
    QFile::remove(f.folder.filePath("data/BIG.LET"));
    if (!peakReset)
        QSKIP("the peak of resident memory cannot be reset here");
    // With AddressSanitizer freed memory waits in quarantine (up to 256 MiB), so only the plain
    // build measures what the program itself keeps.
    if (kSanitized)
        QSKIP("memory is not measured under AddressSanitizer");
    QVERIFY2(peakGrowthKb < 40 * 1024, qPrintable(QString::number(peakGrowthKb)));
}

void TestFaults::refusedDelete() {
    SearchFixture f;
    f.server.putFile("A.LET", "N\n1\n");
    f.server.putFile("B.LET", "N\n1\n2\n");
    searchServer(*f.form);
    QCOMPARE(f.rows(), (QStringList{"A|1|A.LET|1", "B|1|B.LET|2"}));
    f.server.refuseDelete(QStringLiteral("A.LET"));
    designControl<QLineEdit>(*f.form, "Text1")->setText(QStringLiteral("A"));
    f.dialogs.confirmAnswers << true;
    StatusLog log(designControl<QLineEdit>(*f.form, "Text8"));

    deleteOnServer(*f.form);

    QVERIFY2(!log.errors().isEmpty() && log.errors().first().startsWith("- Connection Error! 550"),
             qPrintable(log.texts.join(" / ")));
    QCOMPARE(f.server.fileNames(), (QStringList{"A.LET", "B.LET"}));
    QCOMPARE(f.rows(), (QStringList{"A|1|A.LET|1", "B|1|B.LET|2"})); // still listed
    checkDataFolder(f, {"A.LET", "B.LET"});
    checkWindowIsBack(f);

    // The next delete goes through.
    f.server.clearFaults();
    designControl<QLineEdit>(*f.form, "Text1")->setText(QStringLiteral("A"));
    f.dialogs.confirmAnswers << true;
    deleteOnServer(*f.form);
    QCOMPARE(f.server.fileNames(), QStringList{"B.LET"});
    QCOMPARE(f.rows(), QStringList{"B|1|B.LET|2"});
    checkWindowIsBack(f);
}

// The settings are not at fault: the message ends with its own cause, without the advice.
void TestFaults::listingBeyondTheLimits_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("100,001 names")
        << "names"
        << "- Connection Error! 63: The server's listing holds more than 100,000 names: a search "
           "reads at most 100,000";
    QTest::newRow("a line of 4,097 bytes")
        << "line"
        << "- Connection Error! 63: The server's listing has a line longer than 4 KB (4,096 "
           "bytes): it is not a list of file names";
}

// A listing no real folder has is refused with what is wrong, as a failed listing is: nothing is
// fetched and the settings stay as they were.
void TestFaults::listingBeyondTheLimits() {
    QFETCH(QString, fault);
    QFETCH(QString, message);
    SearchFixture f;
    f.server.putFile("A.LET", "N\n1\n");
    f.folder.write("auto.ini", kOldSettings);
    if (fault == "names")
        f.server.addListedNameSeries(QStringLiteral(".."), 100000, QStringLiteral(".LET"));
    else
        f.server.addListedName(QString(4093, 'x') + ".LET");

    searchServer(*f.form);

    QCOMPARE(f.dialogs.messages, QStringList{message});
    QCOMPARE(f.server.count("RETR"), 0);
    QCOMPARE(f.rows(), QStringList());
    QCOMPARE(f.folder.read("auto.ini"), kOldSettings);
    checkWindowIsBack(f);
}

// A listing at the limit, nearly all of it names that cannot be stored: the search completes, says
// so, and the names it skips cost next to nothing.
void TestFaults::skippedNamesKeepMemoryFlat() {
    SearchFixture f;
    f.server.putFile("A.LET", "N\n1\n");
    f.server.putFile("B.LET", "N\n1\n2\n");
    f.server.addListedNameSeries(QStringLiteral("..skipped by the search, a name of some "), 99997,
                                 QStringLiteral(".LET"));
    f.server.addListedName(QString(4092, 'x') + ".LET"); // the longest line taken
    const bool peakReset = resetPeakMemory();
    const long before = statusKb("VmRSS");

    searchServer(*f.form);

    const long peakGrowthKb = statusKb("VmHWM") - before;
    qInfo("peak memory grew by %ld KiB for 99,998 skipped names", peakGrowthKb);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.rows(), (QStringList{"A|1|A.LET|1", "B|1|B.LET|2"}));
    QVERIFY(designControl<QLineEdit>(*f.form, "Text6")
                ->text()
                .startsWith("Search Complete 2 files found, 99998 not stored: "));
    checkWindowIsBack(f);
    if (!peakReset)
        QSKIP("the peak of resident memory cannot be reset here");
    if (kSanitized)
        QSKIP("memory is not measured under AddressSanitizer");
    QVERIFY2(peakGrowthKb < 16 * 1024, qPrintable(QString::number(peakGrowthKb)));
}

// A name as long as a local file name may be is downloaded; one that cannot be stored here is
// named with its reason, in the summary and in the end message.
void TestFaults::namesOfEveryLength() {
    SearchFixture f;
    const QString longest = QString(251, 'L') + ".LET"; // 255 bytes
    const QString longer = QString(197, 'M') + ".LET";  // 201 bytes
    const QString tooLong = QString(252, 'T') + ".LET"; // 256 bytes: listed, no file can be
    f.server.putFile(longest, "N\n1\n");
    f.server.putFile(longer, "N\n1\n2\n");
    f.server.addListedName(tooLong);
    f.server.addListedName("a:b.LET");

    searchServer(*f.form);

    QCOMPARE(f.rows(), (QStringList{QString(251, 'L') + "|1|" + longest + "|1",
                                    QString(197, 'M') + "|1|" + longer + "|2"}));
    QCOMPARE(f.folder.read("data/" + longest), QByteArray("N\n1\n"));
    checkDataFolder(f, {longest, longer});
    const QString summary = "Search Complete 2 files found, 2 not stored: " + tooLong + ", a:b.LET";
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(), summary);
    QCOMPARE(f.dialogs.messages,
             QStringList{summary + "\r\n\r\n2 listed files were not stored:\r\n" + tooLong +
                         ": cannot be stored here: a name longer than the 255 bytes a local "
                         "file name may have\r\n"
                         "a:b.LET: cannot be stored here: a name holding a character file "
                         "systems refuse (:)"});
    checkWindowIsBack(f);
}

// A data folder that is no folder: every listed file is named as not stored, with the system's
// reason; the search says it stopped.
void TestFaults::dataFolderIsAFile() {
    SearchFixture f;
    f.server.putFile("A.LET", "N\n1\n");
    f.server.putFile("B.LET", "N\n1\n2\n");
    QVERIFY(QDir(f.folder.filePath("data")).removeRecursively()); // made as the window opened
    f.folder.write("data", "not a folder");
    f.folder.write("auto.ini", kOldSettings);

    searchServer(*f.form);

    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
             QString("Search Stopped 0 files found, 2 not stored: A.LET, B.LET"));
    QCOMPARE(f.dialogs.messages.size(), 1);
    const QStringList lines = f.dialogs.messages[0].split("\r\n");
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[2], QString("2 listed files were not stored:"));
    // Whichever connection tried first met the reason; the other file was then not run.
    const auto cannotWrite = [&](const QString& name) {
        return name + ": Cannot write " + f.folder.filePath("data/" + name) +
               ": Not a directory (error 23)";
    };
    QVERIFY2(lines[3].startsWith("A.LET: ") && lines[4].startsWith("B.LET: "),
             qPrintable(f.dialogs.messages[0]));
    QVERIFY2(lines[3] == cannotWrite("A.LET") || lines[4] == cannotWrite("B.LET"),
             qPrintable(f.dialogs.messages[0]));
    QCOMPARE(f.folder.read("data"), QByteArray("not a folder"));
    QCOMPARE(f.folder.read("auto.ini"), kOldSettings);
    checkWindowIsBack(f);
}

// A second window that searches the same program folder while the first does is told so, and
// neither removes nor replaces anything; the first goes on to its end.
void TestFaults::secondWindowIsTold() {
    SearchFixture f;
    f.server.putFile("A.LET", "N\n1\n");
    f.server.putFile("B.LET", "N\n1\n2\n");
    f.folder.write("data/OLD.LET", "N\nold\n");
    Form2 second;
    designControl<QLineEdit>(second, "Text10")->setText(f.server.address());
    designControl<QLineEdit>(second, "Text11")->setText(f.server.user());
    designControl<QLineEdit>(second, "Text12")->setText(f.server.password());
    QMap<QString, QString> duringFirst;
    bool tried = false;
    // Once the first search is under way (its listing is on its way), the second begins.
    connect(f.form->transfer, &qv::TransferControl::StateChanged, &second, [&](qint16 state) {
        if (tried || state != qv::code(qv::TransferState::RequestSent))
            return;
        tried = true;
        duringFirst = qv::test::folderSnapshot(f.folder.filePath("data"));
        searchServer(second);
        QCOMPARE(qv::test::folderSnapshot(f.folder.filePath("data")), duringFirst);
    });

    searchServer(*f.form);

    QVERIFY(tried);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages[0].startsWith("Another search is running in the program folder " +
                                              f.folder.path() + " (process "),
             qPrintable(f.dialogs.messages[0]));
    QCOMPARE(f.server.count("NLST"), 1);
    QVERIFY(second.isEnabled());
    QCOMPARE(f.rows(), (QStringList{"A|1|A.LET|1", "B|1|B.LET|2"}));
    checkDataFolder(f, {"A.LET", "B.LET"});

    // Once the first has ended, the second searches as usual.
    f.dialogs.messages.clear();
    searchServer(second);
    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(designControl<QLineEdit>(second, "Text6")->text(),
             QString("Search Complete 2 files found"));
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
