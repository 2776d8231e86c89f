#include "output/automation.h"
#include "output/documentfolder.h"
#include "output/legacyconvert.h"
#include "output/odtdocument.h"
#include "output/ooxmlpackage.h"
#include "output/recordingautomation.h"
#include "output/wordmerge.h"
#include "platform/programfolder.h"
#include "platform/services.h"
#include "pyreader.h"
#include "tests/support/tempprogramfolder.h"
#include "wordtemplate.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace qv;

namespace {

const QString kOmitted = QStringLiteral("<omitted>");

// The package and data source of a new document, read with Python's zip and XML modules.
const char* kReadOdt = R"(
import sys, json, zipfile, xml.etree.ElementTree as ET
O = '{urn:oasis:names:tc:opendocument:xmlns:office:1.0}'
C = '{urn:oasis:names:tc:opendocument:xmlns:config:1.0}'
D = '{urn:oasis:names:tc:opendocument:xmlns:database:1.0}'
M = '{urn:oasis:names:tc:opendocument:xmlns:manifest:1.0}'
X = '{http://www.w3.org/1999/xlink}'
z = zipfile.ZipFile(sys.argv[1])
first = z.infolist()[0]
items = ET.fromstring(z.read('settings.xml')).find(O + 'settings').find(C + 'config-item-set')
db = ET.fromstring(z.read('EmbeddedDatabase/content.xml'))
manifest = ET.fromstring(z.read('META-INF/manifest.xml'))
print(json.dumps({'first': first.filename, 'stored': first.compress_type == zipfile.ZIP_STORED,
    'mimetype': z.read('mimetype').decode(), 'set': items.get(C + 'name'),
    'settings': {i.get(C + 'name'): i.text for i in items},
    'manifest': {e.get(M + 'full-path'): e.get(M + 'media-type') for e in manifest},
    'href': db.find('.//' + D + 'file-based-database').get(X + 'href'),
    'header': db.find('.//' + D + 'driver-settings').get(D + 'is-first-row-header-line'),
    'query': {q.get(D + 'name'): q.get(D + 'command') for q in db.iter(D + 'query')}}))
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

// Every XML part of a package, parsed by a strict reader: the parts it refuses, and how many.
const char* kParseEveryPart = R"(
import sys, json, zipfile, xml.etree.ElementTree as ET
z = zipfile.ZipFile(sys.argv[1])
bad, parts = [], 0
for n in z.namelist():
    if n.endswith('.xml'):
        parts += 1
        try:
            ET.fromstring(z.read(n))
        except ET.ParseError as e:
            bad.append(n + ': ' + str(e))
print(json.dumps({'bad': bad, 'parts': parts}))
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
        // Relative paths the operator gives stay the working directory's.
        QCOMPARE(QDir::currentPath(), cwd_);
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

    // A new document is an OpenDocument text whose embedded database reads a copy of the merge
    // file (short records padded, a marker line first); LibreOffice itself judges it in
    // tst_libreoffice.
    void realNewDocument() {
        Fixture f;
        output::createMergeDocument(QStringLiteral("ABC"));
        QCOMPARE(f.opened.size(), 1);
        QCOMPARE(QFileInfo(f.opened[0]).fileName(), QStringLiteral("ABC.odt"));
        QCOMPARE(QFileInfo(f.opened[0]).path(), f.documents.path());
        const QJsonObject s = test::runPython(QString::fromLatin1(kReadOdt), f.opened).object();
        QCOMPARE(s["first"].toString(), QStringLiteral("mimetype"));
        QVERIFY(s["stored"].toBool());
        QCOMPARE(s["mimetype"].toString(),
                 QStringLiteral("application/vnd.oasis.opendocument.text"));
        QCOMPARE(s["set"].toString(), QStringLiteral("ooo:configuration-settings"));
        QCOMPARE(s["settings"].toObject(),
                 (QJsonObject{{"CurrentDatabaseDataSource", "Quorvane ABC"},
                              {"CurrentDatabaseCommand", "ABC"},
                              {"CurrentDatabaseCommandType", "1"},
                              {"EmbeddedDatabaseName", "EmbeddedDatabase"}}));
        const QJsonObject manifest = s["manifest"].toObject();
        QCOMPARE(manifest["EmbeddedDatabase/"].toString(),
                 QStringLiteral("application/vnd.oasis.opendocument.base"));
        for (const char* part :
             {"/", "content.xml", "settings.xml", "EmbeddedDatabase/content.xml"})
            QVERIFY2(manifest.contains(QLatin1String(part)), part);
        const QString copyFolder = f.folder.path() + QStringLiteral("/data/Writer");
        QCOMPARE(QUrl(s["href"].toString()).toLocalFile(), copyFolder + QLatin1Char('/'));
        QCOMPARE(s["header"].toString(), QStringLiteral("false"));
        QCOMPARE(s["query"].toObject()["ABC"].toString(),
                 QStringLiteral("SELECT \"C1\" AS \"Name\", \"C2\" AS \"Town\", \"C3\" AS \"Code\" "
                                "FROM \"ABC\" WHERE \"C1\" <> '\uE000' OR \"C1\" IS NULL"));
        QCOMPARE(
            f.folder.read(QStringLiteral("data/Writer/ABC.txt")),
            QByteArray(
                "\xee\x80\x80|\xee\x80\x80|\xee\x80\x80\nAnn|Cork|007\nBob, Jr|Sligo|\"x\"\n"));

        // Again: a second document beside the first, never over it; the copy is renewed.
        f.folder.write(QStringLiteral("data/ABC.LET"), "Name|Town|Code\nCy\n");
        output::createMergeDocument(QStringLiteral("ABC"));
        QCOMPARE(QFileInfo(f.opened.value(1)).fileName(), QStringLiteral("ABC (2).odt"));
        QCOMPARE(f.folder.read(QStringLiteral("data/Writer/ABC.txt")),
                 QByteArray("\xee\x80\x80|\xee\x80\x80|\xee\x80\x80\nCy||\n"));
    }

    void uniqueFieldNames_data() {
        QTest::addColumn<QStringList>("header");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("plain") << QStringList{"Name", "Town"} << QStringList{"Name", "Town"};
        QTest::newRow("empty") << QStringList{"Name", "", ""}
                               << QStringList{"Name", "Field 2", "Field 3"};
        QTest::newRow("repeated") << QStringList{"Town", "Town", "town"}
                                  << QStringList{"Town", "Town 2", "town 3"};
        QTest::newRow("repeat meets a later name")
            << QStringList{"Town", "Town", "Town 2"} << QStringList{"Town", "Town 3", "Town 2"};
        QTest::newRow("quotes") << QStringList{"Say \"hi\"", "it's"}
                                << QStringList{"Say 'hi'", "it's"};
    }
    void uniqueFieldNames() {
        QFETCH(QStringList, header);
        QFETCH(QStringList, names);
        QCOMPARE(odt::uniqueFieldNames(header), names);
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
        test::writeWordTemplate(f.folder.filePath(QStringLiteral("Word/") + templateName));
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

    // Copies whose header reads the same share one header part; each copy still shows its own
    // record's header and footer.
    void copiesShareHeadersThatReadTheSame() {
        Fixture f;
        f.folder.write(QStringLiteral("data/ABC.LET"),
                       "Name|Town|Code\nAnn|Cork|1\nBob|Cork|2\nCy|Sligo|3\nDee|Cork|4\n");
        test::writeWordTemplate(f.folder.filePath(QStringLiteral("Word/ABC.dot")));
        output::mergeIntoTemplate(QStringLiteral("ABC"));
        QCOMPARE(f.opened.size(), 1);
        const QJsonObject d =
            test::runPython(QString::fromLatin1(kReadDocument), f.opened).object();
        QCOMPARE(d["headers"].toArray(),
                 (QJsonArray{"Town: Cork", "Town: Cork", "Town: Sligo", "Town: Cork"}));
        QCOMPARE(d["footers"].toArray(), (QJsonArray{"For Ann", "For Bob", "For Cy", "For Dee"}));
        ooxml::Package merged;
        QString error;
        QVERIFY2(merged.read(f.opened[0], &error), qPrintable(error));
        QStringList headerParts;
        for (const QString& part : merged.partNames())
            if (merged.part(part).contains("Town: "))
                headerParts << part;
        QCOMPARE(headerParts.size(), 2);
    }

    // Drawings and bookmarks, in the body and in the header, get ids of their own in every
    // copy; a bookmark's start and end keep sharing one.
    void idsAreUniqueAcrossCopies() {
        Fixture f;
        f.folder.write(QStringLiteral("data/ABC.LET"), "Name|Town|Code\nA|B|1\nC|D|2\nE|F|3\n");
        test::writeWordTemplate(f.folder.filePath(QStringLiteral("Word/ABC.dot")));
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
        test::writeWordTemplate(f.folder.filePath(QStringLiteral("Word/ABC.dot")));
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
            test::runPython(QString::fromLatin1(kParseEveryPart), f.opened).object();
        QVERIFY2(s["bad"].toArray().isEmpty(), QJsonDocument(s).toJson().constData());
        QVERIFY(s["parts"].toInt() > 0);
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
            test::writeWordTemplate(tmpl);
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
