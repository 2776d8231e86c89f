#include "output/automation.h"
#include "output/documentfolder.h"
#include "output/legacyconvert.h"
#include "output/ooxmlpackage.h"
#include "output/recordingautomation.h"
#include "output/wordmerge.h"
#include "platform/programfolder.h"
#include "platform/services.h"
#include "pyreader.h"
#include "tests/support/tempprogramfolder.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace qv;

namespace {

const QString kOmitted = QStringLiteral("<omitted>");

// The mail-merge settings of a document, read with Python's zip and XML modules.
const char* kReadSettings = R"(
import sys, json, zipfile, xml.etree.ElementTree as ET
W = '{http://schemas.openxmlformats.org/wordprocessingml/2006/main}'
R = '{http://schemas.openxmlformats.org/officeDocument/2006/relationships}'
z = zipfile.ZipFile(sys.argv[1])
mm = ET.fromstring(z.read('word/settings.xml')).find(W + 'mailMerge')
rels = ET.fromstring(z.read('word/_rels/settings.xml.rels'))
rid = mm.find(W + 'dataSource').get(R + 'id')
rel = [r for r in rels if r.get('Id') == rid][0]
val = lambda name: mm.find(W + name).get(W + 'val') if mm.find(W + name) is not None else None
import docx
docx.Document(sys.argv[1])
print(json.dumps({'type': val('mainDocumentType'), 'dataType': val('dataType'),
    'connect': val('connectString'), 'query': val('query'),
    'link': mm.find(W + 'linkToQuery') is not None,
    'delim': mm.find(W + 'odso').find(W + 'colDelim').get(W + 'val'),
    'target': rel.get('Target'), 'mode': rel.get('TargetMode'),
    'reltype': rel.get('Type').rsplit('/', 1)[1]}))
)";

// Body paragraphs and every section's header and footer, read with python-docx.
const char* kReadDocument = R"(
import sys, json, docx
d = docx.Document(sys.argv[1])
print(json.dumps({'body': [p.text for p in d.paragraphs],
    'headers': [' '.join(p.text for p in s.header.paragraphs) for s in d.sections],
    'footers': [' '.join(p.text for p in s.footer.paragraphs) for s in d.sections],
    'settings': 'mailMerge' in d.settings.element.xml}))
)";

// The texts of every run of the body and footers, where tabs and line ends must not stand.
const char* kReadRunTexts = R"(
import sys, json, zipfile, xml.etree.ElementTree as ET
W = '{http://schemas.openxmlformats.org/wordprocessingml/2006/main}'
z = zipfile.ZipFile(sys.argv[1])
texts = [t.text or '' for n in z.namelist() if n.startswith('word/') and n.endswith('.xml')
         for t in ET.fromstring(z.read(n)).iter(W + 't')]
print(json.dumps({'texts': texts}))
)";

// The drawing ids and the bookmark ids of every part of the document.
const char* kReadIds = R"(
import sys, json, zipfile, xml.etree.ElementTree as ET
W = '{http://schemas.openxmlformats.org/wordprocessingml/2006/main}'
WP = '{http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing}'
z = zipfile.ZipFile(sys.argv[1])
roots = [ET.fromstring(z.read(n)) for n in z.namelist() if n.endswith('.xml')]
ids = lambda tag, name: [e.get(name) for r in roots for e in r.iter(tag)]
print(json.dumps({'drawings': ids(WP + 'docPr', 'id'), 'starts': ids(W + 'bookmarkStart', W + 'id'),
                  'ends': ids(W + 'bookmarkEnd', W + 'id')}))
)";

QByteArray part(const char* xml) {
    return QByteArray(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)") + xml;
}

#define WNS                                                                                        \
    R"( xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing")"

// A bookmark and a drawing, whose ids every merged copy repeats unless given ids of its own.
#define DRAWING_AND_BOOKMARK(drawingId, bookmarkId)                                                \
    R"(<w:bookmarkStart w:id=")" bookmarkId R"(" w:name="Mark)" bookmarkId                         \
    R"("/><w:bookmarkEnd w:id=")" bookmarkId                                                       \
    R"("/><w:r><w:drawing><wp:inline><wp:extent cx="9525" cy="9525"/><wp:docPr id=")" drawingId    \
    R"(" name="Shape)" drawingId R"("/></wp:inline></w:drawing></w:r>)"

// A Word template (Office Open XML, saved under the .dot name) whose fields are split across
// runs, in the body, the header and the footer.
void writeTemplate(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    ooxml::Package p;
    p.setPart(
        QStringLiteral("[Content_Types].xml"),
        part(
            R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml"/><Override PartName="/word/header1.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml"/><Override PartName="/word/footer1.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml"/></Types>)"));
    p.setPart(
        QStringLiteral("_rels/.rels"),
        part(
            R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>)"));
    p.setPart(
        QStringLiteral("word/_rels/document.xml.rels"),
        part(
            R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/header" Target="header1.xml"/><Relationship Id="rId8" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer" Target="footer1.xml"/></Relationships>)"));
    p.setPart(
        QStringLiteral("word/document.xml"),
        part(
            "<w:document" WNS R"(><w:body>)"
            // Dear <complex Name, instruction in three runs, result in two>, of <simple Town>.
            R"(<w:p><w:r><w:t xml:space="preserve">Dear </w:t></w:r>)"
            R"(<w:r><w:fldChar w:fldCharType="begin"/></w:r>)"
            R"(<w:r><w:instrText xml:space="preserve"> MERGE</w:instrText></w:r>)"
            R"(<w:r><w:rPr><w:b/></w:rPr><w:instrText>FIELD Na</w:instrText></w:r>)"
            R"(<w:r><w:instrText xml:space="preserve">me \* MERGEFORMAT </w:instrText></w:r>)"
            R"(<w:r><w:fldChar w:fldCharType="separate"/></w:r>)"
            R"(<w:r><w:rPr><w:i/></w:rPr><w:t>«Na</w:t></w:r><w:r><w:t>me»</w:t></w:r>)"
            R"(<w:r><w:fldChar w:fldCharType="end"/></w:r>)"
            R"(<w:r><w:t xml:space="preserve">, of </w:t></w:r>)"
            R"(<w:fldSimple w:instr=" MERGEFIELD &quot;Town&quot; "><w:r><w:t>«Town»</w:t></w:r></w:fldSimple>)"
            R"(<w:r><w:t>.</w:t></w:r></w:p>)"
            // One run carrying a whole field and text around it.
            R"(<w:p><w:r><w:t xml:space="preserve">Code: </w:t><w:fldChar w:fldCharType="begin"/><w:instrText> MERGEFIELD Code </w:instrText><w:fldChar w:fldCharType="separate"/><w:t>«Code»</w:t><w:fldChar w:fldCharType="end"/><w:t xml:space="preserve"> end</w:t></w:r></w:p>)"
            "<w:p>" DRAWING_AND_BOOKMARK(
                "1",
                "0") "</w:p>"
                     R"(<w:sectPr><w:headerReference w:type="default" r:id="rId7"/><w:footerReference w:type="default" r:id="rId8"/><w:pgSz w:w="11906" w:h="16838"/></w:sectPr>)"
                     R"(</w:body></w:document>)"));
    p.setPart(
        QStringLiteral("word/header1.xml"),
        part(
            "<w:hdr" WNS
            R"(><w:p><w:r><w:t xml:space="preserve">Town: </w:t></w:r><w:r><w:fldChar w:fldCharType="begin"/></w:r><w:r><w:instrText> MERGEFIELD Town </w:instrText></w:r><w:r><w:fldChar w:fldCharType="end"/></w:r>)" DRAWING_AND_BOOKMARK(
                "2", "5") "</w:p></w:hdr>"));
    p.setPart(
        QStringLiteral("word/footer1.xml"),
        part(
            "<w:ftr" WNS
            R"(><w:p><w:fldSimple w:instr=" MERGEFIELD name \b &quot;For &quot; "><w:r><w:t>«name»</w:t></w:r></w:fldSimple></w:p></w:ftr>)"));
    QString error;
    QVERIFY2(p.write(path, &error), qPrintable(error));
}

// The program folder with the merge file ABC, and the real backend saving into a temp folder.
struct Fixture {
    test::TempProgramFolder folder;
    QTemporaryDir documents;
    QStringList opened;
    bool openerWorks = true;
    ScopedServices services{[this](Services& s) {
        s.documentFolder = documents.path();
        s.fileOpener = [this](const QString& p) {
            opened << p;
            return openerWorks;
        };
    }};
    Fixture() {
        folder.write(QStringLiteral("data/ABC.LET"),
                     "Name|Town|Code\nAnn|Cork|007\nBob, Jr|Sligo|\"x\"\n");
    }
};

QString errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const automation::Error& e) {
        return e.message;
    }
    return {};
}

} // namespace

class WordMergeTest : public QObject {
    Q_OBJECT
    QString cwd_ = QDir::currentPath();
private slots:
    void cleanup() { QDir::setCurrent(cwd_); }

    void recordedNewDocument() {
        test::TempProgramFolder folder;
        automation::RecordingFactory rec;
        output::createMergeDocument(QStringLiteral("ABC"));
        const QString data = folder.path() + QStringLiteral("/data/ABC.LET");
        const QStringList args{'"' + data + '"',
                               kOmitted,
                               kOmitted,
                               kOmitted,
                               "true",
                               kOmitted,
                               kOmitted,
                               kOmitted,
                               kOmitted,
                               kOmitted,
                               kOmitted,
                               "\"TABLE ABC\"",
                               "\"Select * from [ABC]\"",
                               kOmitted,
                               kOmitted,
                               kOmitted};
        QCOMPARE(
            rec.calls,
            (QStringList{"CreateObject(\"Word.Document\")",
                         "Word.Document.MailMerge.OpenDataSource(" + args.join(", ") + ")",
                         "Word.Document.Application.Visible = true", "Word.Document.Release()"}));
        QCOMPARE(QDir::currentPath(), QDir(folder.path()).canonicalPath());
    }

    void recordedMerge() {
        test::TempProgramFolder folder;
        automation::RecordingFactory rec;
        output::mergeIntoTemplate(QStringLiteral("ABC"));
        const QString tmpl = folder.path() + QStringLiteral("/Word/ABC.dot");
        const QString data = folder.path() + QStringLiteral("/data/ABC.LET");
        const QStringList args{'"' + data + '"', "0",      kOmitted, kOmitted, "true",   kOmitted,
                               kOmitted,         kOmitted, kOmitted, kOmitted, kOmitted, "\"\"",
                               "\"\"",           kOmitted, kOmitted, kOmitted};
        QCOMPARE(
            rec.calls,
            (QStringList{
                "CreateObject(\"Word.Application\")",
                "Word.Application.AddIns.Add(\"" + tmpl + "\", true)",
                "Word.Application.Templates(\"" + tmpl + "\").FullName",
                "Word.Application.Documents.Add(\"" + tmpl + "\", false, <omitted>, <omitted>)",
                "Word.Application.Visible = true",
                "Word.Application.ActiveDocument.MailMerge.OpenDataSource(" + args.join(", ") + ")",
                "Word.Application.ActiveDocument.MailMerge.Execute(<omitted>)",
                "Word.Application.Release()"}));
        QCOMPARE(output::completeMergeStatus(QStringLiteral("ABC")),
                 "Creating New Word Document using existing Template " + tmpl + " Please Wait");
    }

    // A new document carries the merge file as its data source, with connection and query.
    void realNewDocument() {
        Fixture f;
        output::createMergeDocument(QStringLiteral("ABC"));
        QCOMPARE(f.opened.size(), 1);
        QCOMPARE(QFileInfo(f.opened[0]).fileName(), QStringLiteral("ABC.docx"));
        QCOMPARE(QFileInfo(f.opened[0]).path(), f.documents.path());
        const QJsonObject s =
            test::runPython(QString::fromLatin1(kReadSettings), f.opened).object();
        QCOMPARE(s["type"].toString(), QStringLiteral("formLetters"));
        QCOMPARE(s["dataType"].toString(), QStringLiteral("textFile"));
        QCOMPARE(s["connect"].toString(), QStringLiteral("TABLE ABC"));
        QCOMPARE(s["query"].toString(), QStringLiteral("Select * from [ABC]"));
        QCOMPARE(s["link"].toBool(), true);
        QCOMPARE(s["delim"].toString(), QStringLiteral("124"));
        QCOMPARE(s["reltype"].toString(), QStringLiteral("mailMergeSource"));
        QCOMPARE(s["mode"].toString(), QStringLiteral("External"));
        QCOMPARE(QUrl(s["target"].toString()).toLocalFile(),
                 f.folder.path() + QStringLiteral("/data/ABC.LET"));

        // Again: a second document beside the first, never over it.
        output::createMergeDocument(QStringLiteral("ABC"));
        QCOMPARE(QFileInfo(f.opened.value(1)).fileName(), QStringLiteral("ABC (2).docx"));
    }

    // Every record merged into its own copy, fields split across runs included; the template
    // is found whatever the case of its name.
    void realMerge_data() {
        QTest::addColumn<QString>("templateName");
        QTest::newRow("exact name") << "ABC.dot";
        QTest::newRow("other case") << "abc.DOT";
    }
    void realMerge() {
        QFETCH(QString, templateName);
        Fixture f;
        writeTemplate(f.folder.filePath(QStringLiteral("Word/") + templateName));
        QVERIFY(output::completeMergeStatus(QStringLiteral("ABC")).contains(templateName));
        output::mergeIntoTemplate(QStringLiteral("ABC"));
        QCOMPARE(f.opened.size(), 1);
        QCOMPARE(QFileInfo(f.opened[0]).fileName(),
                 QFileInfo(templateName).completeBaseName() + QStringLiteral(" merged.docx"));
        const QJsonObject d =
            test::runPython(QString::fromLatin1(kReadDocument), f.opened).object();
        QStringList body;
        for (const QJsonValue& v : d["body"].toArray())
            if (!v.toString().isEmpty())
                body << v.toString();
        QCOMPARE(body, (QStringList{"Dear Ann, of Cork.", "Code: 007 end",
                                    "Dear Bob, Jr, of Sligo.", "Code: \"x\" end"}));
        QCOMPARE(d["headers"].toArray(), (QJsonArray{"Town: Cork", "Town: Sligo"}));
        QCOMPARE(d["footers"].toArray(), (QJsonArray{"For Ann", "For Bob, Jr"}));
        QCOMPARE(d["settings"].toBool(), false);
    }

    // Drawings and bookmarks, in the body and in the header, get ids of their own in every
    // copy; a bookmark's start and end keep sharing one.
    void idsAreUniqueAcrossCopies() {
        Fixture f;
        f.folder.write(QStringLiteral("data/ABC.LET"), "Name|Town|Code\nA|B|1\nC|D|2\nE|F|3\n");
        writeTemplate(f.folder.filePath(QStringLiteral("Word/ABC.dot")));
        output::mergeIntoTemplate(QStringLiteral("ABC"));
        QCOMPARE(f.opened.size(), 1);
        const QJsonObject ids = test::runPython(QString::fromLatin1(kReadIds), f.opened).object();
        auto strings = [&](const char* key) {
            QStringList list;
            for (const QJsonValue& v : ids[QLatin1String(key)].toArray())
                list << v.toString();
            list.sort();
            return list;
        };
        const QStringList drawings = strings("drawings"), starts = strings("starts");
        QCOMPARE(drawings.size(), 6); // body and header, three records
        QCOMPARE(QSet<QString>(drawings.begin(), drawings.end()).size(), drawings.size());
        QCOMPARE(starts.size(), 6);
        QCOMPARE(QSet<QString>(starts.begin(), starts.end()).size(), starts.size());
        QCOMPARE(strings("ends"), starts);
    }

    // Characters XML cannot carry are dropped, a tab becomes a tab and a lone CR a line break;
    // a NUL shows as U+FFFD as in every output. The document opens in a strict reader.
    void controlCharactersInValues_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("form feed") << QByteArray("A\fnn") << "Ann";
        QTest::newRow("other controls") << QByteArray("A\x01\x08\x0b\x1fnn") << "Ann";
        QTest::newRow("tab") << QByteArray("A\tnn") << "A\tnn";
        QTest::newRow("lone CR") << QByteArray("A\rnn") << "A\nnn";
        QTest::newRow("NUL") << QByteArray("A\0nn", 4) << QString::fromUtf8("A\uFFFDnn");
    }
    void controlCharactersInValues() {
        QFETCH(QByteArray, value);
        QFETCH(QString, shown);
        Fixture f;
        f.folder.write(QStringLiteral("data/ABC.LET"), "Name|Town|Code\n" + value + "|Cork|7\n");
        writeTemplate(f.folder.filePath(QStringLiteral("Word/ABC.dot")));
        output::mergeIntoTemplate(QStringLiteral("ABC"));
        QCOMPARE(f.opened.size(), 1);
        const QJsonObject d =
            test::runPython(QString::fromLatin1(kReadDocument), f.opened).object();
        QCOMPARE(d["body"].toArray().first().toString(), "Dear " + shown + ", of Cork.");
        QCOMPARE(d["footers"].toArray(), (QJsonArray{"For " + shown}));
        const QJsonObject runs =
            test::runPython(QString::fromLatin1(kReadRunTexts), f.opened).object();
        QVERIFY(!runs["texts"].toArray().isEmpty());
        for (const QJsonValue& t : runs["texts"].toArray())
            QVERIFY2(!t.toString().contains(QRegularExpression(QStringLiteral("[\\t\\r\\n]"))),
                     qPrintable(t.toString()));
    }

    // A merge file name with such characters still gives settings a strict reader opens.
    void controlCharactersInTheDataSource() {
        Fixture f;
        const QString name = QStringLiteral("A\fB\x01"
                                            "C");
        f.folder.write(QStringLiteral("data/") + name + QStringLiteral(".LET"), "Name\nAnn\n");
        output::createMergeDocument(name);
        QCOMPARE(f.opened.size(), 1);
        const QJsonObject s =
            test::runPython(QString::fromLatin1(kReadSettings), f.opened).object();
        QCOMPARE(s["connect"].toString(), QStringLiteral("TABLE ABC"));
        QCOMPARE(s["query"].toString(), QStringLiteral("Select * from [ABC]"));
        QCOMPARE(QUrl(s["target"].toString()).toLocalFile(),
                 f.folder.path() + QStringLiteral("/data/") + name + QStringLiteral(".LET"));
    }

    void failures_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("message");
        QTest::newRow("no template") << "none"
                                     << "was not found";
        QTest::newRow("legacy template, no LibreOffice") << "legacy"
                                                         << "install LibreOffice";
        QTest::newRow("not a template") << "text"
                                        << "is not a Word template";
        QTest::newRow("no merge file") << "nodata"
                                       << "ABC.LET\" was not found";
        QTest::newRow("no records") << "empty"
                                    << "no records";
        QTest::newRow("no opener") << "noopener"
                                   << "no program is set up to open it";
    }
    void failures() {
        QFETCH(QString, situation);
        QFETCH(QString, message);
        Fixture f;
        const QString tmpl = f.folder.filePath(QStringLiteral("Word/ABC.dot"));
        if (situation != QLatin1String("none"))
            writeTemplate(tmpl);
        if (situation == QLatin1String("legacy"))
            f.folder.write(QStringLiteral("Word/ABC.dot"),
                           QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(504, '\0'));
        if (situation == QLatin1String("text"))
            f.folder.write(QStringLiteral("Word/ABC.dot"), "just text");
        if (situation == QLatin1String("nodata"))
            QFile::remove(f.folder.filePath(QStringLiteral("data/ABC.LET")));
        if (situation == QLatin1String("empty"))
            f.folder.write(QStringLiteral("data/ABC.LET"), "Name|Town|Code\n");
        f.openerWorks = situation != QLatin1String("noopener");
        const ScopedServices noOffice(
            [](Services& s) { s.libreOfficeProgram = QStringLiteral("/nonexistent/soffice"); });
        const QString error = errorOf([] { output::mergeIntoTemplate(QStringLiteral("ABC")); });
        QVERIFY2(error.contains(message, Qt::CaseInsensitive), qPrintable(error));
        if (situation != QLatin1String("noopener"))
            QVERIFY(f.opened.isEmpty());
    }
};

QTEST_GUILESS_MAIN(WordMergeTest)
#include "tst_wordmerge.moc"
