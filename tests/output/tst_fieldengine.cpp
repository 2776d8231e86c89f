#include "fieldtemplate.h"
#include "output/automation.h"
#include "output/docx.h"
#include "output/internal/docxparts.h"
#include "output/mergedata.h"
#include "output/mergeinteraction.h"
#include "output/wordmerge.h"
#include "platform/services.h"
#include "pyreader.h"
#include "tests/support/tempprogramfolder.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

using namespace qv;

namespace {

const QByteArray kData = "Name|Balance|Town|Title\n"
                         "Ann|12.50|Cork|dr\n"
                         "Bob|0|Sligo|\n"
                         "Cy|-3|Mcroom|mr\n";

// Answers from a script, and what was asked.
class RecordingInteraction : public output::MergeInteraction {
public:
    QStringList answers; // "!" cancels; a leading "*" answers for every record
    QList<output::FieldQuestion> questions;
    QList<QList<output::TemplateFault>> faults;
    bool mergeAnyway = false;

    std::optional<output::FieldAnswer> answer(const output::FieldQuestion& q) override {
        questions << q;
        QString a = answers.isEmpty() ? q.defaultAnswer : answers.takeFirst();
        if (a == QLatin1String("!"))
            return std::nullopt;
        const bool all = a.startsWith(QLatin1Char('*'));
        return output::FieldAnswer{all ? a.mid(1) : a, all};
    }
    bool mergeDespite(const QList<output::TemplateFault>& f, const QString&) override {
        faults << f;
        return mergeAnyway;
    }
};

// The text of a run or paragraph: characters, tabs and line breaks; field instructions left out.
QString textOf(pugi::xml_node node) {
    QString text;
    for (pugi::xml_node c : node.children()) {
        if (std::strcmp(c.name(), "w:t") == 0)
            text += QString::fromUtf8(c.text().get());
        else if (std::strcmp(c.name(), "w:tab") == 0)
            text += QLatin1Char('\t');
        else if (std::strcmp(c.name(), "w:br") == 0 && !c.attribute("w:type"))
            text += QLatin1Char('\n');
        else if (std::strcmp(c.name(), "w:instrText") != 0)
            text += textOf(c);
    }
    return text;
}

void instructionsOf(pugi::xml_node node, QStringList& out) {
    for (pugi::xml_node c : node.children()) {
        if (std::strcmp(c.name(), "w:instrText") == 0)
            out << QString::fromUtf8(c.text().get());
        instructionsOf(c, out);
    }
}

// The merged body read copy by copy: paragraphs joined by "/", a table's cells by "|"; copies
// end at a paragraph holding a section break. Also every field instruction left, joined.
struct Merged {
    QStringList copies;
    QString instructions;
};

Merged readMerged(const ooxml::Package& p) {
    pugi::xml_document doc;
    docx::load(doc, p.part(QStringLiteral("word/document.xml")));
    Merged m;
    QStringList paragraphs;
    for (pugi::xml_node c : doc.document_element().child("w:body").children()) {
        if (docx::is(c, "w:p") && c.child("w:pPr").child("w:sectPr")) {
            m.copies << paragraphs.join(QLatin1Char('/'));
            paragraphs.clear();
        } else if (docx::is(c, "w:p")) {
            paragraphs << textOf(c);
        } else if (docx::is(c, "w:tbl")) {
            QStringList cells;
            for (pugi::xpath_node tc : c.select_nodes(".//w:tc"))
                cells << textOf(tc.node());
            paragraphs << cells.join(QLatin1Char('|'));
        }
    }
    m.copies << paragraphs.join(QLatin1Char('/'));
    QStringList instr;
    instructionsOf(doc, instr);
    m.instructions = instr.join(QLatin1Char(';'));
    return m;
}

QString paragraphs(const QString& shorthand) {
    return QStringLiteral("<w:p>") + test::fieldRuns(shorthand) + QStringLiteral("</w:p>");
}

bool merge(const ooxml::Package& t, ooxml::Package* out, QString* error,
           const QByteArray& data = kData) {
    docx::MergeOptions options;
    options.locale = QLocale::c();
    options.templatePath = QStringLiteral("/t/Letter.dot");
    return docx::mergeDocument(t, output::parseMergeData(data), out, error, options);
}

// Every part of a merged document read with python-docx and Python's XML parser: the body's
// paragraphs that hold text, its tables' cells, each section's header, the notes and the text
// boxes (both forms of each).
const char* kReadParts = R"(
import sys, json, zipfile, docx, xml.etree.ElementTree as ET
W = '{http://schemas.openxmlformats.org/wordprocessingml/2006/main}'
d = docx.Document(sys.argv[1])
z = zipfile.ZipFile(sys.argv[1])
text = lambda e: ''.join(t.text or '' for t in e.iter(W + 't'))
main = ET.fromstring(z.read('word/document.xml'))
notes = ET.fromstring(z.read('word/footnotes.xml')) if 'word/footnotes.xml' in z.namelist() else None
print(json.dumps({'body': [p.text for p in d.paragraphs if p.text],
    'tables': [[c.text for r in t.rows for c in r.cells] for t in d.tables],
    'headers': [' '.join(p.text for p in s.header.paragraphs) for s in d.sections],
    'sections': len(d.sections),
    'notes': [text(n) for n in notes.iter(W + 'footnote') if n.get(W + 'type') is None] if notes is not None else [],
    'noteIds': [n.get(W + 'id') for n in notes.iter(W + 'footnote') if n.get(W + 'type') is None] if notes is not None else [],
    'refs': [r.get(W + 'id') for r in main.iter(W + 'footnoteReference')],
    'boxes': [text(b) for b in main.iter(W + 'txbxContent')],
    'instr': [t.text for t in main.iter(W + 'instrText')]}))
)";

QJsonObject readParts(const ooxml::Package& p) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("merged.docx"));
    QString error;
    if (!p.write(path, &error))
        qWarning("%s", qPrintable(error));
    return test::runPython(QString::fromLatin1(kReadParts), {path}).object();
}

QStringList strings(const QJsonValue& v) {
    QStringList list;
    for (const QJsonValue& s : v.toArray())
        list << s.toString();
    return list;
}

// A table of one row, as the word processor writes it (with its grid).
QString table(const QStringList& cells) {
    QString grid, row;
    for (const QString& c : cells) {
        grid += QStringLiteral("<w:gridCol w:w=\"2000\"/>");
        row += QStringLiteral("<w:tc>") + c + QStringLiteral("</w:tc>");
    }
    return QStringLiteral("<w:tbl><w:tblGrid>") + grid + QStringLiteral("</w:tblGrid><w:tr>") +
           row + QStringLiteral("</w:tr></w:tbl>");
}

// A text box in both forms a word processor writes, each with the same merge field.
QString textBox(const QString& shorthand) {
    const QString box = QStringLiteral("<w:txbxContent>") + paragraphs(shorthand) +
                        QStringLiteral("</w:txbxContent>");
    return QStringLiteral(
               "<w:p><w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing>"
               "<wp:anchor><wp:docPr id=\"5\" name=\"Box\"/><a:graphic><a:graphicData "
               "uri=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\">"
               "<wps:wsp><wps:txbx>") +
           box +
           QStringLiteral("</wps:txbx></wps:wsp></a:graphicData></a:graphic></wp:anchor>"
                          "</w:drawing></mc:Choice><mc:Fallback><w:pict><v:shape><v:textbox>") +
           box +
           QStringLiteral("</v:textbox></v:shape></w:pict></mc:Fallback></mc:AlternateContent>"
                          "</w:r></w:p>");
}

} // namespace

class FieldEngineTest : public QObject {
    Q_OBJECT
private slots:
    // Field codes (in the shorthand of fieldtemplate.h) and the text of each copy.
    void results_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("copies");
        QTest::addColumn<QString>("instructions"); // of the fields left for the word processor
        const QString none;
        QTest::newRow("merge field")
            << "{ MERGEFIELD Name }" << QStringList{"Ann", "Bob", "Cy"} << none;
        QTest::newRow("name in quotes, other case")
            << "{ MERGEFIELD \"nAME\" }" << QStringList{"Ann", "Bob", "Cy"} << none;
        QTest::newRow("split into pieces")
            << "{ MERGE¦FIELD Na¦me }" << QStringList{"Ann", "Bob", "Cy"} << none;
        QTest::newRow("IF on a number")
            << "{ IF { MERGEFIELD Balance } > 0 \"owe us money\" \"owe nothing\" }"
            << QStringList{"owe us money", "owe nothing", "owe nothing"} << none;
        QTest::newRow("numbers compare as numbers")
            << "{ IF { MERGEFIELD Balance } = 12.5 \"same\" \"other\" }"
            << QStringList{"same", "other", "other"} << none;
        QTest::newRow("text compares with case")
            << "{ IF { MERGEFIELD Town } = \"cork\" \"y\" \"n\" }" << QStringList{"n", "n", "n"}
            << none;
        QTest::newRow("wildcard *") << "{ IF { MERGEFIELD Town } = \"Mc*\" \"Mc\" \"-\" }"
                                    << QStringList{"-", "-", "Mc"} << none;
        QTest::newRow("wildcard ? with <>")
            << "{ IF { MERGEFIELD Town } <> \"S?igo\" \"not\" \"is\" }"
            << QStringList{"not", "is", "not"} << none;
        QTest::newRow("unquoted * is no wildcard")
            << "{ IF { MERGEFIELD Town } = Mc* \"Mc\" \"-\" }" << QStringList{"-", "-", "-"}
            << none;
        QTest::newRow("empty operand, quoted or not")
            << "{ IF \"{ MERGEFIELD Title }\" = \"\" \"none\" \"some\" }"
               "{ IF { MERGEFIELD Title } = \"\" \"0\" \"1\" }"
            << QStringList{"some1", "none0", "some1"} << none;
        QTest::newRow("nested IF in IF")
            << "{ IF { MERGEFIELD Balance } < 1 \"{ IF { MERGEFIELD Town } = \"Sligo\" "
               "\"clear in Sligo\" \"in credit\" }\" \"owes\" }"
            << QStringList{"owes", "clear in Sligo", "in credit"} << none;
        QTest::newRow("quoted text keeps escaped quotes")
            << "{ IF 1 = 1 \"say \\\"hi\\\"\" \"\" }"
            << QStringList{"say \"hi\"", "say \"hi\"", "say \"hi\""} << none;
        QTest::newRow("IF with a format")
            << "{ IF 1 = 1 \"yes\" \"no\" \\* Upper }" << QStringList{"YES", "YES", "YES"} << none;
        QTest::newRow("\\b and \\f only around a value")
            << "{ MERGEFIELD Title \\b \"Title: \" \\f \".\" }"
            << QStringList{"Title: dr.", "", "Title: mr."} << none;
        QTest::newRow("formats in order")
            << "{ MERGEFIELD Name \\* Lower \\* Upper }{ MERGEFIELD Name \\* Upper \\* Lower }"
            << QStringList{"ANNann", "BOBbob", "CYcy"} << none;
        QTest::newRow("MERGEREC and MERGESEQ with SKIPIF")
            << "{ SKIPIF { MERGEFIELD Name } = \"Bob\" }{ MERGEREC }/{ MERGESEQ }"
            << QStringList{"1/1", "3/2"} << none;
        QTest::newRow("NEXT fills one copy with two records")
            << "{ MERGEFIELD Name }+{ NEXT }{ MERGEFIELD Name }" << QStringList{"Ann+Bob", "Cy+"}
            << none;
        QTest::newRow("NEXTIF") << "{ MERGEFIELD Name }{ NEXTIF { MERGEFIELD Balance } > 0 }"
                                   "{ MERGEFIELD Name }"
                                << QStringList{"AnnBob", "CyCy"} << none;
        QTest::newRow("SET and REF, bare bookmark")
            << "{ SET greeting \"Hello { MERGEFIELD Name }\" }{ REF greeting } { greeting }"
            << QStringList{"Hello Ann Hello Ann", "Hello Bob Hello Bob", "Hello Cy Hello Cy"}
            << none;
        QTest::newRow("IF over paragraphs")
            << "A{ IF { MERGEFIELD Balance } > 0 \"Pay¶now\" \"Thanks\" }Z"
            << QStringList{"APay/nowZ", "AThanksZ", "AThanksZ"} << none;
        QTest::newRow("other fields stay, nested merge field merged")
            << "{ INCLUDEPICTURE \"{ MERGEFIELD Name }.png\" }" << QStringList{"~", "~", "~"}
            << " INCLUDEPICTURE \";Ann;.png\" ; INCLUDEPICTURE \";Bob;.png\" ; INCLUDEPICTURE "
               "\";Cy;.png\" ";
        QTest::newRow("REF to a document bookmark stays")
            << "{ REF Mark1 }" << QStringList{"~", "~", "~"}
            << " REF Mark1 ; REF Mark1 ; REF Mark1 ";
        // Unattended, every prompt takes its default; a default of merge fields is the record's.
        QTest::newRow("default answer per record")
            << "{ ASK t \"Town?\" \\d \"{ MERGEFIELD Town }\" }{ REF t }/"
               "{ FILLIN \"For { MERGEFIELD Name }?\" \\d \"{ MERGEFIELD Name }!\" }"
            << QStringList{"Cork/Ann!", "Sligo/Bob!", "Mcroom/Cy!"} << none;
        // Formulas are computed for every record; the template's stale result never shows.
        QTest::newRow("formula of merge fields, picture")
            << "{ = { MERGEFIELD Balance } * 2 \\# \"0.00\" }"
            << QStringList{"25.00", "0.00", "-6.00"} << none;
        QTest::newRow("formula without spaces or picture")
            << "{ ={ MERGEFIELD Balance }/4 }" << QStringList{"3.13", "0", "-0.75"} << none;
        QTest::newRow("division by zero in one record")
            << "{ = 10 / { MERGEFIELD Balance } }" << QStringList{"0.8", "!Zero Divide", "-3.33"}
            << none;
        QTest::newRow("formula inside IF")
            << "{ IF { = { MERGEFIELD Balance } * 2 } > 10 \"big\" \"small\" }"
            << QStringList{"big", "small", "small"} << none;
        QTest::newRow("IF inside a formula") << "{ = 1 + { IF { MERGEFIELD Balance } > 0 1 0 } }"
                                             << QStringList{"2", "1", "1"} << none;
        QTest::newRow("SET bookmark and REF in a formula")
            << "{ SET rate 1.5 }{ = rate * { MERGEFIELD Balance } + { REF rate } }"
            << QStringList{"20.25", "1.5", "-3"} << none;
        QTest::newRow("text in a formula")
            << "{ = { MERGEFIELD Name } + 1 }"
            << QStringList{"!Undefined Bookmark, Ann", "!Undefined Bookmark, Bob",
                           "!Undefined Bookmark, Cy"}
            << none;
        QTest::newRow("formula in words")
            << "{ = { MERGEFIELD Balance } + 1 \\* CardText }"
            << QStringList{"fourteen", "one",
                           "Error! Number cannot be represented in specified format."}
            << none;
    }
    void results() {
        QFETCH(QString, body);
        QFETCH(QStringList, copies);
        QFETCH(QString, instructions);
        ooxml::Package out;
        QString error;
        QVERIFY2(merge(test::fieldTemplate(paragraphs(body)), &out, &error), qPrintable(error));
        const Merged m = readMerged(out);
        QCOMPARE(m.copies, copies);
        QCOMPARE(m.instructions, instructions);
    }

    // The look of a result: the template's result run under \* MERGEFORMAT, the code's first
    // character under \* CHARFORMAT or without either; an IF's text keeps its own runs' look.
    void formatting_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("look"); // the result run's property
        QTest::newRow("MERGEFORMAT") << " MERGEFIELD Name \\* MERGEFORMAT "
                                     << "w:i";
        QTest::newRow("CHARFORMAT") << " MERGEFIELD Name \\* CHARFORMAT "
                                    << "w:b";
        QTest::newRow("neither") << " MERGEFIELD Name "
                                 << "w:b";
        QTest::newRow("IF text") << " IF 1 = 1 \""
                                 << "w:u";
    }
    void formatting() {
        QFETCH(QString, code);
        QFETCH(QString, look);
        const QString ifText =
            code.startsWith(QLatin1String(" IF"))
                ? QStringLiteral("<w:r><w:rPr><w:u w:val=\"single\"/></w:rPr>"
                                 "<w:instrText>yes</w:instrText></w:r>"
                                 "<w:r><w:instrText>\" \"no\"</w:instrText></w:r>")
                : QString();
        const QString body = "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                             "<w:r><w:instrText xml:space=\"preserve\"> </w:instrText></w:r>"
                             "<w:r><w:rPr><w:b/></w:rPr><w:instrText xml:space=\"preserve\">" +
                             code.mid(1).toHtmlEscaped() + "</w:instrText></w:r>" + ifText +
                             "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                             "<w:r><w:rPr><w:i/></w:rPr><w:t>old</w:t></w:r>"
                             "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>";
        ooxml::Package out;
        QString error;
        QVERIFY2(merge(test::fieldTemplate(body), &out, &error), qPrintable(error));
        pugi::xml_document doc;
        docx::load(doc, out.part(QStringLiteral("word/document.xml")));
        const pugi::xml_node run = doc.select_node("//w:r[w:t]").node();
        QVERIFY(run);
        QStringList props;
        for (pugi::xml_node c : run.child("w:rPr").children())
            props << QString::fromUtf8(c.name());
        QCOMPARE(props, QStringList{look});
    }

    // ASK and FILLIN ask through the installed interaction: once per record, once per merge
    // with \o or an answer for every record; a cancelled question stops the merge.
    void questions_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("copies"); // empty: the merge stops
        QTest::addColumn<QStringList>("asked");  // prompt@record
        QTest::newRow("ASK sets, REF shows")
            << "{ ASK who \"Who for { MERGEFIELD Name }?\" \\d \"me\" }{ REF who }"
            << QStringList{"x", "y", "z"} << QStringList{"x", "y", "z"}
            << QStringList{"Who for Ann?@1", "Who for Bob?@2", "Who for Cy?@3"};
        QTest::newRow("FILLIN shows, default answer")
            << "{ FILLIN \"Town?\" \\d \"Here\" }" << QStringList{"There"}
            << QStringList{"There", "Here", "Here"} << QStringList{"Town?@1", "Town?@2", "Town?@3"};
        QTest::newRow("\\o asks once") << "{ FILLIN \"Sign\" \\o }" << QStringList{"Jo"}
                                       << QStringList{"Jo", "Jo", "Jo"} << QStringList{"Sign@1"};
        QTest::newRow("answer for every record")
            << "{ FILLIN \"Sign\" }" << QStringList{"*Al"} << QStringList{"Al", "Al", "Al"}
            << QStringList{"Sign@1"};
        QTest::newRow("cancelled") << "{ FILLIN \"Sign\" }" << QStringList{"a", "!"}
                                   << QStringList{} << QStringList{"Sign@1", "Sign@2"};
    }
    void questions() {
        QFETCH(QString, body);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, copies);
        QFETCH(QStringList, asked);
        RecordingInteraction interaction;
        interaction.answers = answers;
        const ScopedServices installed([&](Services& s) { s.mergeInteraction = &interaction; });
        ooxml::Package out;
        QString error;
        const bool merged = merge(test::fieldTemplate(paragraphs(body)), &out, &error);
        QStringList seen;
        for (const output::FieldQuestion& q : interaction.questions)
            seen << q.prompt + QLatin1Char('@') + QString::number(q.record);
        QCOMPARE(seen, asked);
        QCOMPARE(merged, !copies.isEmpty());
        if (merged)
            QCOMPARE(readMerged(out).copies, copies);
        else
            QCOMPARE(error, QStringLiteral("The merge was cancelled."));
    }

    // Faults found before anything is merged: the operator decides; merged anyway, the faulty
    // fields give nothing.
    void faults_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("reasons");
        QTest::addColumn<bool>("missing");
        QTest::addColumn<QStringList>("copiesAnyway");
        QTest::newRow("missing field")
            << "{ MERGEFIELD Balanse \\# 0.00 }{ MERGEFIELD Name }"
            << QStringList{"MERGEFIELD Balanse \\# 0.00: The merge file has no field \"Balanse\"."}
            << true << QStringList{"Ann", "Bob", "Cy"};
        QTest::newRow("unbalanced quotes")
            << "{ IF 1 = 1 \"yes }<{ MERGEFIELD Name }"
            << QStringList{"IF 1 = 1 \"yes: A quotation mark in the field code has no closing "
                           "partner."}
            << false << QStringList{"<Ann", "<Bob", "<Cy"};
        QTest::newRow("IF without operator, nested")
            << "{ IF { MERGEFIELD Name } \"a\" \"b\" }"
            << QStringList{"IF { MERGEFIELD Name } \"a\" \"b\": The IF field has no comparison "
                           "(=, <>, <, <=, > or >=) between two values."}
            << false << QStringList{"", "", ""};
        QTest::newRow("unknown format")
            << "{ MERGEFIELD Name \\* Shouting }."
            << QStringList{"MERGEFIELD Name \\* Shouting: The switch \\* names the format "
                           "\"Shouting\", which the word processor does not have."}
            << false << QStringList{".", ".", "."};
        QTest::newRow("formula that cannot be read")
            << "{ = { MERGEFIELD Balance } * }{ MERGEFIELD Name }"
            << QStringList{"= { MERGEFIELD Balance } *: The formula cannot be read (!Unexpected "
                           "End of Formula)."}
            << false << QStringList{"Ann", "Bob", "Cy"};
        QTest::newRow("formula naming what nothing sets")
            << "{ = Totl * 2 }."
            << QStringList{"= Totl * 2: The formula names \"Totl\", which is neither a function "
                           "nor a bookmark that a SET or ASK field sets."}
            << false << QStringList{".", ".", "."};
        QTest::newRow("formula reading cells outside a table")
            << "{ = SUM(ABOVE) }."
            << QStringList{"= SUM(ABOVE): The formula refers to table cells but does not stand "
                           "in a table."}
            << false << QStringList{".", ".", "."};
        QTest::newRow("merge field without a name, twice")
            << "{ MERGEFIELD }{ MERGEFIELD }."
            << QStringList{"MERGEFIELD: The MERGEFIELD field names no merge field."} << false
            << QStringList{".", ".", "."};
    }
    void faults() {
        QFETCH(QString, body);
        QFETCH(QStringList, reasons);
        QFETCH(bool, missing);
        QFETCH(QStringList, copiesAnyway);
        for (const bool anyway : {false, true}) {
            RecordingInteraction interaction;
            interaction.mergeAnyway = anyway;
            const ScopedServices installed([&](Services& s) { s.mergeInteraction = &interaction; });
            ooxml::Package out;
            QString error;
            const bool merged = merge(test::fieldTemplate(paragraphs(body)), &out, &error);
            QCOMPARE(interaction.faults.size(), 1);
            QStringList seen;
            for (const output::TemplateFault& f : interaction.faults[0]) {
                seen << f.fieldCode + QStringLiteral(": ") + f.reason;
                QCOMPARE(f.missingField, missing);
            }
            QCOMPARE(seen, reasons);
            QCOMPARE(merged, anyway);
            if (anyway) {
                QCOMPARE(readMerged(out).copies, copiesAnyway);
            } else {
                QVERIFY2(error.contains(QStringLiteral("\"/t/Letter.dot\"")), qPrintable(error));
                QVERIFY2(error.contains(interaction.faults[0][0].fieldCode), qPrintable(error));
                QVERIFY(out.partNames().isEmpty());
            }
        }
    }

    // A template as the word processor writes it: split runs, a simple field, a table, a header,
    // a footnote, a text box in both its forms, an IF whose text runs over two paragraphs.
    void everyPart() {
        const QString body =
            QStringLiteral(
                "<w:p><w:r><w:t xml:space=\"preserve\">Dear </w:t></w:r>"
                "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                "<w:r><w:instrText xml:space=\"preserve\"> MERGE</w:instrText></w:r>"
                "<w:r><w:rPr><w:b/></w:rPr><w:instrText>FIELD Na</w:instrText></w:r>"
                "<w:r><w:instrText xml:space=\"preserve\">me \\* MERGEFORMAT </w:instrText></w:r>"
                "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                "<w:r><w:t>«Name»</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"
                "<w:r><w:t xml:space=\"preserve\">, of </w:t></w:r>"
                "<w:fldSimple w:instr=\" MERGEFIELD Town \"><w:r><w:t>«Town»</w:t></w:r>"
                "</w:fldSimple><w:r><w:t>.</w:t></w:r></w:p>") +
            table({paragraphs("{ MERGEFIELD Town }"),
                   paragraphs("{ IF { MERGEFIELD Balance } > 0 \"owes\" \"clear\" }")}) +
            "<w:p><w:r><w:t>Note</w:t></w:r><w:r><w:footnoteReference w:id=\"1\"/></w:r></w:p>" +
            textBox("{ MERGEFIELD Name }") +
            paragraphs("Hi{ IF { MERGEFIELD Balance } > 0 \"Line one¶Line two\" \"Paid\" }!");
        const QMap<QString, QString> parts{
            {"header1.xml",
             "<w:hdr" QV_FIELD_NS ">" + paragraphs("Town: { MERGEFIELD Town }") + "</w:hdr>"},
            {"footnotes.xml",
             "<w:footnotes" QV_FIELD_NS "><w:footnote w:type=\"separator\" w:id=\"-1\"><w:p/>"
             "</w:footnote><w:footnote w:type=\"continuationSeparator\" w:id=\"0\"><w:p/>"
             "</w:footnote><w:footnote w:id=\"1\">" +
                 paragraphs("Owed: { MERGEFIELD Balance }") + "</w:footnote></w:footnotes>"}};
        ooxml::Package out;
        QString error;
        QVERIFY2(merge(test::fieldTemplate(
                           body, "<w:headerReference w:type=\"default\" r:id=\"rId11\"/>", parts),
                       &out, &error),
                 qPrintable(error));
        const QJsonObject d = readParts(out);
        QCOMPARE(strings(d["body"]),
                 (QStringList{"Dear Ann, of Cork.", "Note", "HiLine one", "Line two!",
                              "Dear Bob, of Sligo.", "Note", "HiPaid!", "Dear Cy, of Mcroom.",
                              "Note", "HiPaid!"}));
        QCOMPARE(d["tables"].toArray(),
                 (QJsonArray{QJsonArray{"Cork", "owes"}, QJsonArray{"Sligo", "clear"},
                             QJsonArray{"Mcroom", "clear"}}));
        QCOMPARE(strings(d["headers"]), (QStringList{"Town: Cork", "Town: Sligo", "Town: Mcroom"}));
        QCOMPARE(strings(d["notes"]), (QStringList{"Owed: 12.50", "Owed: 0", "Owed: -3"}));
        const QStringList refs = strings(d["refs"]);
        QCOMPARE(refs, strings(d["noteIds"]));
        QCOMPARE(QSet<QString>(refs.begin(), refs.end()).size(), 3);
        QCOMPARE(strings(d["boxes"]), (QStringList{"Ann", "Ann", "Bob", "Bob", "Cy", "Cy"}));
        QVERIFY(strings(d["instr"]).isEmpty());
    }

    // A label sheet of four labels, each after the first starting with NEXT: ten records fill
    // three sheets, the last one's two leftover labels empty.
    void labelSheet() {
        QStringList cells;
        for (int i = 0; i < 4; ++i)
            cells << paragraphs(i ? "{ NEXT }{ MERGEFIELD Name }" : "{ MERGEFIELD Name }");
        QByteArray data = "Name\n";
        for (int i = 1; i <= 10; ++i)
            data += "L" + QByteArray::number(i) + "\n";
        ooxml::Package out;
        QString error;
        QVERIFY2(merge(test::fieldTemplate(table(cells)), &out, &error, data), qPrintable(error));
        const QJsonObject d = readParts(out);
        QCOMPARE(d["sections"].toInt(), 3);
        QCOMPARE(d["tables"].toArray(),
                 (QJsonArray{QJsonArray{"L1", "L2", "L3", "L4"}, QJsonArray{"L5", "L6", "L7", "L8"},
                             QJsonArray{"L9", "L10", "", ""}}));
    }

    // Formulas in a table of each copy: products of cells on their row, SUM(ABOVE) over the
    // merged values, each under its picture.
    void formulaTable() {
        auto row = [](const QStringList& cells) {
            QString xml = QStringLiteral("<w:tr>");
            for (const QString& c : cells)
                xml += QStringLiteral("<w:tc>") + paragraphs(c) + QStringLiteral("</w:tc>");
            return xml + QStringLiteral("</w:tr>");
        };
        const QString body =
            QStringLiteral("<w:tbl><w:tblGrid/>") + row({"Item", "Qty", "Price", "Total"}) +
            row({"Pens", "{ MERGEFIELD Balance }", "2", "{ = B2*C2 \\# \"0.00\" }"}) +
            row({"Ink", "1", "3", "{ = B3*C3 }"}) +
            row({"Sum", "", "", "{ = SUM(ABOVE) \\# \"0.00\" }"}) + QStringLiteral("</w:tbl>");
        ooxml::Package out;
        QString error;
        QVERIFY2(merge(test::fieldTemplate(body), &out, &error), qPrintable(error));
        QCOMPARE(readMerged(out).copies,
                 (QStringList{"Item|Qty|Price|Total|Pens|12.50|2|25.00|Ink|1|3|3|Sum|||28.00",
                              "Item|Qty|Price|Total|Pens|0|2|0.00|Ink|1|3|3|Sum|||3.00",
                              "Item|Qty|Price|Total|Pens|-3|2|-6.00|Ink|1|3|3|Sum|||-3.00"}));
    }

    // A formula reading a cell below it that holds a merge field would read it unmerged: the
    // pre-pass names it before anything is written.
    void formulaReadingLaterCells() {
        const QString body =
            QStringLiteral("<w:tbl><w:tblGrid/><w:tr><w:tc>") + paragraphs("{ = SUM(BELOW) }") +
            QStringLiteral("</w:tc></w:tr><w:tr><w:tc>") + paragraphs("{ MERGEFIELD Balance }") +
            QStringLiteral("</w:tc></w:tr></w:tbl>");
        RecordingInteraction interaction;
        const ScopedServices installed([&](Services& s) { s.mergeInteraction = &interaction; });
        ooxml::Package out;
        QString error;
        QVERIFY(!merge(test::fieldTemplate(body), &out, &error));
        QCOMPARE(interaction.faults.size(), 1);
        QCOMPARE(interaction.faults[0].size(), 1);
        QCOMPARE(interaction.faults[0][0].fieldCode, QStringLiteral("= SUM(BELOW)"));
        QVERIFY2(interaction.faults[0][0].reason.startsWith(
                     QStringLiteral("The formula reads the cell A2, whose fields the merge fills "
                                    "only after the formula")),
                 qPrintable(interaction.faults[0][0].reason));
    }

    // The merged document grows in a temporary file; where none can be made, the merge says so
    // and makes nothing.
    void noTemporaryFile() {
        const QByteArray saved = qgetenv("TMPDIR");
        qputenv("TMPDIR", "/proc"); // a folder where nobody can make a file
        ooxml::Package out;
        QString error;
        const bool merged =
            merge(test::fieldTemplate(paragraphs("{ MERGEFIELD Name }")), &out, &error);
        saved.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", saved);
        QVERIFY(!merged);
        QVERIFY2(error.startsWith(QStringLiteral("The merged document cannot be written in "
                                                 "\"/proc\"")),
                 qPrintable(error));
        QVERIFY(out.partNames().isEmpty());
    }

    // Nesting: fields up to the stated depth merge; deeper ones, and XML nested deeper than
    // any word processor writes, are refused at once with the template named, and nothing is
    // merged.
    void nesting_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("result"); // empty: refused
        QTest::addColumn<QString>("message");
        auto ifs = [](int n) {
            return paragraphs(QStringLiteral("{ IF 1 = 1 \"").repeated(n) + QStringLiteral("x") +
                              QStringLiteral("\" \"\" }").repeated(n));
        };
        auto xml = [](int n) {
            return QStringLiteral("<w:customXml w:element=\"a\">").repeated(n) +
                   paragraphs(QStringLiteral("{ MERGEFIELD Name }")) +
                   QStringLiteral("</w:customXml>").repeated(n);
        };
        QTest::newRow("256 nested fields") << ifs(256) << "x"
                                           << "";
        QTest::newRow("5,000 nested fields") << ifs(5000) << ""
                                             << "nests fields more than 256 deep";
        QTest::newRow("5,000 nested elements") << xml(5000) << "Cy"
                                               << "";
        QTest::newRow("100,000 nested elements")
            << xml(100000) << ""
            << "nests the XML of its part \"word/document.xml\" more than 10000 levels deep";
    }
    void nesting() {
        QFETCH(QString, body);
        QFETCH(QString, result);
        QFETCH(QString, message);
        ooxml::Package out;
        QString error;
        const bool merged = merge(test::fieldTemplate(body), &out, &error);
        QCOMPARE(merged, !result.isEmpty());
        if (merged) { // the last record's result, wherever the nesting put it
            const QByteArray xml = out.part(QStringLiteral("word/document.xml"));
            QVERIFY(xml.contains(">" + result.toUtf8() + "</w:t>"));
            QVERIFY(!xml.contains("qv:"));
        } else {
            QVERIFY2(error.startsWith(QStringLiteral("The template \"/t/Letter.dot\"")),
                     qPrintable(error));
            QVERIFY2(error.contains(message), qPrintable(error));
        }
    }

    // Through the automation surface: the template's full name reaches the question; stopped,
    // nothing is written or opened.
    void faultyTemplateThroughWord() {
        for (const bool anyway : {false, true}) {
            test::TempProgramFolder folder;
            QTemporaryDir documents;
            QStringList opened;
            RecordingInteraction interaction;
            interaction.mergeAnyway = anyway;
            QString askedFor;
            const ScopedServices installed([&](Services& s) {
                s.documentFolder = documents.path();
                s.fileOpener = [&](const QString& p) {
                    opened << p;
                    return true;
                };
                s.mergeInteraction = &interaction;
            });
            folder.write(QStringLiteral("data/ABC.LET"), kData);
            QDir().mkpath(folder.filePath(QStringLiteral("Word")));
            QString error;
            QVERIFY(test::fieldTemplate(paragraphs("{ MERGEFIELD Balanse }{ MERGEFIELD Name }"))
                        .write(folder.filePath(QStringLiteral("Word/ABC.dot")), &error));
            try {
                output::mergeIntoTemplate(QStringLiteral("ABC"));
            } catch (const automation::Error& e) {
                error = e.message;
            }
            QCOMPARE(interaction.faults.size(), 1);
            if (anyway) {
                QVERIFY2(error.isEmpty(), qPrintable(error));
                QCOMPARE(opened.size(), 1);
            } else {
                QVERIFY2(error.contains(QDir::toNativeSeparators(
                             folder.filePath(QStringLiteral("Word/ABC.dot")))),
                         qPrintable(error));
                QVERIFY2(error.contains(QStringLiteral("MERGEFIELD Balanse")), qPrintable(error));
                QVERIFY(opened.isEmpty());
                QVERIFY(QDir(documents.path()).isEmpty());
            }
        }
    }
};

QTEST_GUILESS_MAIN(FieldEngineTest)
#include "tst_fieldengine.moc"
