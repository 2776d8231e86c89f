// The search over several connections at once (pyftpdlib): the files are shared among the
// listing's connection and three more, the window shows them as before (the browser in the
// listing's order, the count going up file by file), a server that takes fewer connections is
// no error and is asked for no more afterwards, and a file whose connection drops is fetched
// again on another before anything is reported.
#include "searchfixture.h"

#include "app/actions/search.h"
#include "tests/support/designcontrol.h"

#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTest>

using qv::test::designControl;

namespace {

QByteArray contentOf(int i) {
    return "Name|Town\n" + QByteArray(i * 3000, 'a' + static_cast<char>(i % 26)) + "\n";
}

// n merge files F00.LET, F01.LET, ... of different sizes; their expected browser rows.
QStringList putFiles(SearchFixture& f, int n) {
    QStringList rows;
    for (int i = 0; i < n; ++i) {
        const QString base = QStringLiteral("F%1").arg(i, 2, 10, QLatin1Char('0'));
        f.server.putFile(base + ".LET", contentOf(i));
        rows << QStringLiteral("%1|1|%1.LET|1").arg(base);
    }
    return rows;
}

// Every text a line edit showed.
struct TextLog {
    explicit TextLog(QLineEdit* line) {
        QObject::connect(line, &QLineEdit::textChanged, [this](const QString& t) { texts << t; });
    }
    QStringList texts;
};

} // namespace

class TestConnections : public QObject {
    Q_OBJECT
private slots:
    void fourConnectionsShareTheFiles();
    void oneConnectionWhenAskedForOne();
    void serverTakesOneConnection();
    void droppedConnectionIsTriedAgain();
};

void TestConnections::fourConnectionsShareTheFiles() {
    SearchFixture f;
    const QStringList rows = putFiles(f, 12);
    TextLog summaries(designControl<QLineEdit>(*f.form, "Text6"));
    TextLog errors(designControl<QLineEdit>(*f.form, "Text8"));

    searchServer(*f.form);

    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(f.rows(), rows);
    QStringList counting;
    for (int i = 1; i <= 12; ++i)
        counting << QStringLiteral("- Searching Server %1 files found").arg(i);
    counting << QStringLiteral("Search Complete 12 files found");
    QCOMPARE(summaries.texts, counting);
    QCOMPARE(errors.texts.filter("- Connection Error!"), QStringList());
    QCOMPARE(designControl<QProgressBar>(*f.form, "ProgressBar1")->value(), 12);
    QCOMPARE(designControl<QListWidget>(*f.form, "List1")->currentRow(), 11);
    QCOMPARE(f.server.count("CONNECT"), 4);
    QCOMPARE(f.server.count("LOGIN"), 4);
    QCOMPARE(f.server.count("RETR"), 12);
    QCOMPARE(f.dataFiles().size(), 12); // no temporary file left
    QCOMPARE(f.folder.read("data/F11.LET"), contentOf(11));
    // Every connection is closed at the end.
    QTRY_COMPARE(f.server.count("DISCONNECT"), 4);
}

void TestConnections::oneConnectionWhenAskedForOne() {
    SearchFixture f;
    const QStringList rows = putFiles(f, 5);
    f.form->transfer->setConnections(1);
    searchServer(*f.form);
    QCOMPARE(f.rows(), rows);
    QCOMPARE(f.server.count("CONNECT"), 1);
}

// pyftpdlib with max_cons_per_ip=1: every further connection gets 421.
void TestConnections::serverTakesOneConnection() {
    SearchFixture f;
    const QStringList rows = putFiles(f, 6);
    f.server.setMaxConnections(1);
    TextLog errors(designControl<QLineEdit>(*f.form, "Text8"));

    searchServer(*f.form);

    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(f.rows(), rows);
    QCOMPARE(errors.texts.filter("- Connection Error!"), QStringList());
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
             QString("Search Complete 6 files found"));
    QVERIFY(f.server.count("REFUSED") > 0);
    QCOMPARE(f.server.count("LOGIN"), 1);
    QCOMPARE(f.dataFiles().size(), 6);

    // Remembered: the next search asks for no second connection.
    const int refused = f.server.count("REFUSED");
    QTRY_COMPARE(f.server.count("DISCONNECT"), 1 + refused);
    searchServer(*f.form);
    QCOMPARE(f.rows(), rows);
    QCOMPARE(f.server.count("REFUSED"), refused);
    QCOMPARE(f.server.count("CONNECT"), 2);
}

// The connection of one of four downloads is cut in the middle of the file: the file is fetched
// again on another connection, and the search goes on as if nothing had happened.
void TestConnections::droppedConnectionIsTriedAgain() {
    SearchFixture f;
    QStringList rows = putFiles(f, 8);
    f.server.putFile("F03.LET", "Name|Town\n" + QByteArray(300000, 'c') + "\n");
    f.server.dropDownloadOnce("F03.LET", 100000);
    TextLog errors(designControl<QLineEdit>(*f.form, "Text8"));

    searchServer(*f.form);

    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(f.rows(), rows);
    QCOMPARE(errors.texts.filter("- Connection Error!"), QStringList());
    QCOMPARE(f.server.count("RETR /u/vantrelle/accounts/F03.LET"), 2);
    QCOMPARE(f.folder.read("data/F03.LET"), f.server.fileBytes("F03.LET"));
    QCOMPARE(f.dataFiles().size(), 8); // no partial or temporary file
    QCOMPARE(designControl<QLineEdit>(*f.form, "Text6")->text(),
             QString("Search Complete 8 files found"));
}

QTEST_MAIN(TestConnections)
#include "tst_connections.moc"
