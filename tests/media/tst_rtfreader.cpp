#include "media/rtfreader.h"

#include "tests/support/tempprogramfolder.h"

#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using qv::rtf::readRtf;

namespace {

// A document as a word processor writes it: tables, a style sheet, an info group, a picture.
const QByteArray kWordPadDocument =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang2057"
    "{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}{\\f1\\froman\\fcharset0 Times New Roman;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
    "{\\stylesheet{\\s0 Normal;}}{\\info{\\author Someone}{\\title Hidden}}\r\n"
    "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
    "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 Plain \\b bold\\b0  \\i italic\\i0  "
    "\\ul under\\ulnone  \\cf1 red\\cf0  \\f1\\fs32 big\\f0\\fs22\\par\r\n"
    "{\\pict\\wmetafile8\\picw10\\pich10 0123456789abcdef}"
    "Second\\line line\\tab tab\\par\r\n"
    "}\r\n";

QTextCharFormat formatOf(QTextDocument& doc, const QString& word) {
    QTextCursor found = doc.find(word);
    if (found.isNull())
        return {};
    QTextCursor c(&doc);
    c.setPosition(found.selectionStart() + 1);
    return c.charFormat();
}

} // namespace

class RtfReaderTest : public QObject {
    Q_OBJECT
private slots:
    void text_data();
    void text();
    void formatting();
    void paragraphsAndAlignment();
    void refused_data();
    void refused();
    void truncatedDocumentKeepsItsText();
    void anyInputIsSafe();
    void files();
};

void RtfReaderTest::text_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("plain");

    QTest::newRow("plain") << QByteArray("{\\rtf1 Hello world}") << "Hello world";
    QTest::newRow("par and line") << QByteArray("{\\rtf1 one\\par two\\line three}")
                                  << "one\ntwo\nthree";
    QTest::newRow("tab") << QByteArray("{\\rtf1 a\\tab b}") << "a\tb";
    QTest::newRow("escaped symbols") << QByteArray("{\\rtf1 \\{x\\} \\\\ y}") << "{x} \\ y";
    QTest::newRow("hex escape 1252")
        << QByteArray("{\\rtf1 caf\\'e9 \\'80}") << QString::fromUtf8("café €");
    QTest::newRow("unicode with fallback")
        << QByteArray("{\\rtf1\\uc1 a\\u8364?b}") << QString::fromUtf8("a€b");
    QTest::newRow("unicode negative") << QByteArray("{\\rtf1 \\u-3913?}") << QString(QChar(0xF0B7));
    QTest::newRow("unicode hex fallback")
        << QByteArray("{\\rtf1\\uc1 \\u233\\'e9!}") << QString::fromUtf8("é!");
    QTest::newRow("uc2 fallback") << QByteArray("{\\rtf1\\uc2 \\u8364??x}")
                                  << QString::fromUtf8("€x");
    QTest::newRow("surrogate pair")
        << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}") << QString::fromUtf8("\xF0\x9F\x98\x80");
    QTest::newRow("lone surrogate")
        << QByteArray("{\\rtf1 \\u-10179?x}") << QString::fromUtf8("\xEF\xBF\xBDx");
    QTest::newRow("unknown starred destination")
        << QByteArray("{\\rtf1 a{\\*\\unknownthing secret {nested}}b}") << "ab";
    QTest::newRow("info and stylesheet")
        << QByteArray("{\\rtf1{\\info{\\title T}}{\\stylesheet{Normal;}}body}") << "body";
    QTest::newRow("unknown control word is ignored")
        << QByteArray("{\\rtf1 \\fancyword12 text}") << "text";
    QTest::newRow("field result shows")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}") << "link";
    QTest::newRow("bin data skipped") << QByteArray("{\\rtf1 a\\bin3 }{xb}") << "ab";
    QTest::newRow("font table text is not body")
        << QByteArray("{\\rtf1{\\fonttbl\\f0 Arial;\\f1 Courier;}x}") << "x";
    QTest::newRow("html in text is escaped") << QByteArray("{\\rtf1 <b>&amp;}") << "<b>&amp;";
    QTest::newRow("non-breaking space")
        << QByteArray("{\\rtf1 a\\~b}") << QString("a") + QChar(0xA0) + "b";
    QTest::newRow("leading whitespace") << QByteArray("\r\n {\\rtf1 ok}") << "ok";
    QTest::newRow("text after the document") << QByteArray("{\\rtf1 ok}junk") << "ok";
    QTest::newRow("source line ends") << QByteArray("{\\rtf1 a\r\nb}") << "ab";
    QTest::newRow("word processor document")
        << kWordPadDocument << "Plain bold italic under red big\nSecond\nline\ttab";
}

void RtfReaderTest::text() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, plain);
    const auto result = readRtf(rtf);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.plainText, plain);

    QTextDocument doc;
    doc.setHtml(result.html);
    QString shown = doc.toPlainText();
    shown.replace(QChar::LineSeparator, u'\n');
    shown.replace(QChar::ParagraphSeparator, u'\n');
    QCOMPARE(shown, QString(plain).replace(QChar(0xA0), u' ')); // the document shows it as a space
}

void RtfReaderTest::formatting() {
    const auto result = readRtf(kWordPadDocument);
    QVERIFY(result.ok);
    QTextDocument doc;
    doc.setHtml(result.html);

    const auto plain = formatOf(doc, "Plain");
    QCOMPARE(plain.fontWeight(), int(QFont::Normal));
    QVERIFY(!plain.fontItalic());
    QCOMPARE(plain.fontPointSize(), 11.0);
    QCOMPARE(plain.fontFamilies().toStringList().value(0), QString("Calibri"));

    QCOMPARE(formatOf(doc, "bold").fontWeight(), int(QFont::Bold));
    QVERIFY(formatOf(doc, "italic").fontItalic());
    QVERIFY(formatOf(doc, "under").fontUnderline());
    QVERIFY(!formatOf(doc, "red").fontUnderline());
    QCOMPARE(formatOf(doc, "red").foreground().color(), QColor(255, 0, 0));
    QCOMPARE(formatOf(doc, "big").fontPointSize(), 16.0);
    QCOMPARE(formatOf(doc, "big").fontFamilies().toStringList().value(0),
             QString("Times New Roman"));
    QCOMPARE(formatOf(doc, "Second").fontPointSize(), 11.0);

    // A group keeps its formatting to itself; \plain resets it.
    const auto grouped = readRtf("{\\rtf1 {\\b in}out \\i\\ul x\\plain y}");
    QVERIFY(grouped.ok);
    QTextDocument g;
    g.setHtml(grouped.html);
    QCOMPARE(formatOf(g, "in").fontWeight(), int(QFont::Bold));
    QCOMPARE(formatOf(g, "out").fontWeight(), int(QFont::Normal));
    QCOMPARE(formatOf(g, "y").fontItalic(), false);
    QCOMPARE(formatOf(g, "y").fontUnderline(), false);
    QCOMPARE(formatOf(g, "y").fontPointSize(), 12.0);
}

void RtfReaderTest::paragraphsAndAlignment() {
    const auto result = readRtf("{\\rtf1\\pard\\qc centred\\par\\pard right\\qr\\par\\par last}");
    QVERIFY(result.ok);
    QTextDocument doc;
    doc.setHtml(result.html);
    QCOMPARE(doc.blockCount(), 4);
    QCOMPARE(doc.findBlockByNumber(0).text(), QString("centred"));
    QCOMPARE(doc.findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    QCOMPARE(doc.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignRight);
    QCOMPARE(doc.findBlockByNumber(2).text(), QString()); // an empty paragraph stays a line
    QCOMPARE(doc.findBlockByNumber(3).text(), QString("last"));
}

void RtfReaderTest::refused_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("plain text") << QByteArray("Just some text");
    QTest::newRow("other braces") << QByteArray("{\\pdf1 x}");
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10);
    QTest::newRow("too deep") << QByteArray("{\\rtf1 ") +
                                     QByteArray(qv::rtf::kMaxRtfGroupDepth, '{');
}

void RtfReaderTest::refused() {
    QFETCH(QByteArray, data);
    const auto result = readRtf(data);
    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());
    QVERIFY(result.html.isEmpty());
}

void RtfReaderTest::truncatedDocumentKeepsItsText() {
    const auto result = readRtf("{\\rtf1 {\\b kept text");
    QVERIFY(result.ok);
    QCOMPARE(result.plainText, QString("kept text"));
    QVERIFY(readRtf("{\\rtf1 x\\").ok);
    QVERIFY(readRtf("{\\rtf1 x\\'").ok);
    QVERIFY(readRtf("{\\rtf1 x\\'4").ok);
    QVERIFY(readRtf("{\\rtf1 x\\u").ok);
    QVERIFY(readRtf("{\\rtf1 x\\u65").ok);
    QVERIFY(readRtf("{\\rtf1 x\\bin999999999").ok);
    QVERIFY(readRtf("{\\rtf1 x\\fs99999999999999999999 y}").ok);
    QVERIFY(readRtf("{\\rtf1 {\\colortbl;\\red999\\green-5;}\\cf1 y\\cf7 z}").ok);
}

void RtfReaderTest::anyInputIsSafe() {
    // Every prefix of a real document, and random mutations of it, must read without harm.
    for (qsizetype n = 0; n <= kWordPadDocument.size(); ++n)
        (void)readRtf(kWordPadDocument.left(n));

    QRandomGenerator rng(20240607);
    const QByteArray alphabet = "{}\\'*u-0123456789abfsxpar; \r\n\xe9";
    for (int round = 0; round < 2000; ++round) {
        QByteArray doc = kWordPadDocument;
        const int edits = 1 + int(rng.bounded(8));
        for (int e = 0; e < edits; ++e) {
            const int at = int(rng.bounded(int(doc.size())));
            doc[at] = alphabet[int(rng.bounded(int(alphabet.size())))];
        }
        const auto result = readRtf(doc);
        if (result.ok) {
            QTextDocument shown;
            shown.setHtml(result.html);
        }
    }
    // Deep but allowed nesting works; one more level is refused.
    const int allowed = qv::rtf::kMaxRtfGroupDepth - 1;
    QByteArray deep = "{\\rtf1 " + QByteArray(allowed, '{') + "x" + QByteArray(allowed + 1, '}');
    QVERIFY(readRtf(deep).ok);
}

void RtfReaderTest::files() {
    qv::test::TempProgramFolder folder;
    folder.write("note.rtf", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 From a file\\par}");
    auto result = qv::rtf::readRtfFile(folder.filePath("note.rtf"));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.plainText, QString("From a file"));

    result = qv::rtf::readRtfFile(folder.filePath("missing.rtf"));
    QVERIFY(!result.ok);
    QVERIFY(result.error.contains("missing.rtf"));

    result = qv::rtf::readRtfFile(folder.path()); // a folder is not a file
    QVERIFY(!result.ok);

    folder.write("plain.rtf", "not rich text");
    QVERIFY(!qv::rtf::readRtfFile(folder.filePath("plain.rtf")).ok);
}

QTEST_MAIN(RtfReaderTest)
#include "tst_rtfreader.moc"
