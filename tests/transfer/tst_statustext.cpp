#include "transfer/remotename.h"
#include "transfer/statustext.h"

#include <QTest>

class TestStatusText : public QObject {
    Q_OBJECT
private slots:
    void stateTexts_data();
    void stateTexts();
    void connectionError();
    void settingsAdvice_data();
    void settingsAdvice();
    void responseLines_data();
    void responseLines();
    void safeNames_data();
    void safeNames();
    void baseName_data();
    void baseName();
};

void TestStatusText::stateTexts_data() {
    using qv::TransferState;
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("text"); // "<none>": no text
    const auto row = [](const char* name, TransferState state, const char* text) {
        QTest::newRow(name) << int(qv::code(state)) << QString::fromLatin1(text);
    };
    row("none", TransferState::None, "");
    row("resolving", TransferState::ResolvingHost, "Resolving Host");
    row("resolved", TransferState::HostResolved, "- Host Resolved");
    row("connecting", TransferState::Connecting, "- Connecting...");
    row("connected", TransferState::Connected, "- Connected!");
    row("requesting", TransferState::Requesting, "- Requesting...");
    row("sent", TransferState::RequestSent, "- Request Sent");
    row("receiving", TransferState::ReceivingResponse, "- Receiving Response...");
    row("received", TransferState::ResponseReceived, "- Response Received!");
    row("disconnecting", TransferState::Disconnecting, "- Disconnecting...");
    row("disconnected", TransferState::Disconnected, "- Disconnected");
    row("error", TransferState::Error, "<none>");
    row("completed", TransferState::ResponseCompleted, "- Response Completed!");
    QTest::newRow("13") << 13 << "<none>";
    QTest::newRow("-1") << -1 << "<none>";
}

void TestStatusText::stateTexts() {
    QFETCH(int, state);
    QFETCH(QString, text);
    const auto got = qv::transferStateText(state);
    QCOMPARE(got.value_or(QStringLiteral("<none>")), text);
}

void TestStatusText::connectionError() {
    const QString status = qv::connectionErrorText(530, "x");
    QCOMPARE(status, QString("- Connection Error! 530: x"));
    QCOMPARE(qv::connectionErrorMessage(530, "x"),
             QString("- Connection Error! 530: x\r\nPlease check IP Address/Login/Paswword "
                     "Settings"));
    QCOMPARE(qv::connectionErrorText(-7, ""), QString("- Connection Error! -7: "));
}

// The advice on the settings ends only the errors the settings can cause.
void TestStatusText::settingsAdvice_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("info");
    QTest::addColumn<bool>("advice");
    QTest::newRow("login refused") << 530 << "Login incorrect." << true;
    QTest::newRow("SSH login refused") << 67 << "The server refused the login" << true;
    QTest::newRow("host not found") << 6 << "Could not resolve host" << true;
    QTest::newRow("nothing listening") << 7 << "Failed to connect" << true;
    QTest::newRow("no answer") << 28 << "No answer from h within 15 seconds" << true;
    QTest::newRow("not an address") << 3 << "Not a valid server address: x!" << true;
    QTest::newRow("server went silent")
        << 28 << "The server stopped responding (nothing received for 30 seconds)" << false;
    QTest::newRow("connection dropped")
        << 56 << "The server closed the connection while listing /u/" << false;
    QTest::newRow("interception warning") << 60 << "WARNING: the host key changed" << false;
    QTest::newRow("known_hosts read-only")
        << 60 << "Cannot write known_hosts: Permission denied" << false;
    QTest::newRow("file refused") << 550 << "No such file" << false;
}

void TestStatusText::settingsAdvice() {
    QFETCH(int, code);
    QFETCH(QString, info);
    QFETCH(bool, advice);
    const QString message = qv::connectionErrorMessage(code, info);
    QVERIFY(message.startsWith(qv::connectionErrorText(code, info)));
    QCOMPARE(message.endsWith("\r\nPlease check IP Address/Login/Paswword Settings"), advice);
}

void TestStatusText::responseLines_data() {
    QTest::addColumn<QString>("data");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("two lines") << "A.LET\r\nB.LET\r\n" << QStringList{"A.LET", "B.LET"};
    QTest::newRow("no final line end") << "A.LET\r\nB.LET" << QStringList{"A.LET", "B.LET"};
    QTest::newRow("empty line") << "A.LET\r\n\r\nB.LET" << QStringList{"A.LET", "B.LET"};
    QTest::newRow("one character after the last line end")
        << "A.LET\r\nX" << QStringList{"A.LET", "X"};
    QTest::newRow("leading line end") << "\r\nA.LET" << QStringList{"A.LET"};
    QTest::newRow("lone CR and LF stay") << "A\rB\nC\r\n" << QStringList{"A\rB\nC"};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("only line ends") << "\r\n\r\n" << QStringList{};
}

void TestStatusText::responseLines() {
    QFETCH(QString, data);
    QFETCH(QStringList, lines);
    QCOMPARE(qv::responseLines(data), lines);
}

void TestStatusText::safeNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::newRow("plain") << "ACCOUNTS.LET" << true;
    QTest::newRow("space") << "My Letters.LET" << true;
    QTest::newRow("accented") << QString::fromUtf8("Lettres été.LET") << true;
    QTest::newRow("double extension") << "X.LET.LET" << true;
    QTest::newRow("parent") << "../evil.LET" << false;
    QTest::newRow("dot dot inside") << "a..LET" << false;
    QTest::newRow("slash") << "a/b.LET" << false;
    QTest::newRow("backslash") << "a\\b.LET" << false;
    QTest::newRow("drive") << "C:evil.LET" << false;
    QTest::newRow("control character") << "bell\a.LET" << false;
    QTest::newRow("tab") << "a\tb.LET" << false;
    QTest::newRow("line feed") << "a\nb.LET" << false;
    QTest::newRow("DEL") << "a\x7f.LET" << false;
    QTest::newRow("C1 control") << QString("a") + QChar(0x85) + ".LET" << false;
    QTest::newRow("direction override") << QString("a") + QChar(0x202e) + ".LET" << false;
    QTest::newRow("wildcard") << "*.LET" << false;
    QTest::newRow("pipe") << "a|b.LET" << false;
    QTest::newRow("nothing before the extension") << ".LET" << false;
    QTest::newRow("lower-case extension") << "a.let" << false;
    QTest::newRow("no extension") << "README" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("too long") << QString(300, 'a') + ".LET" << false;
    QTest::newRow("255 bytes") << QString(124, QChar(0xe9)) + "abc.LET" << true;
    QTest::newRow("201 ASCII bytes") << QString(197, 'a') + ".LET" << true;
    QTest::newRow("255 ASCII bytes") << QString(251, 'a') + ".LET" << true;
    QTest::newRow("256 ASCII bytes") << QString(252, 'a') + ".LET" << false;
    QTest::newRow("256 bytes, 130 characters") << QString(126, QChar(0xe9)) + ".LET" << false;
}

void TestStatusText::safeNames() {
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(qv::isSafeMergeFileName(name), safe);
}

void TestStatusText::baseName_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("base");
    QTest::newRow("plain") << "A.LET"
                           << "A";
    QTest::newRow("extension twice") << "X.LET.LET"
                                     << "X";
    QTest::newRow("extension in the middle") << "X.LET.bak.LET"
                                             << "X";
    QTest::newRow("space") << "My File.LET"
                           << "My File";
}

void TestStatusText::baseName() {
    QFETCH(QString, stored);
    QFETCH(QString, base);
    QCOMPARE(qv::mergeFileBaseName(stored), base);
}

QTEST_GUILESS_MAIN(TestStatusText)
#include "tst_statustext.moc"
