#include "fieldtemplate.h"
#include "output/docx.h"
#include "output/docxparts.h"
#include "output/mergedata.h"
#include "output/mergeinteraction.h"
#include "platform/services.h"

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
};

QTEST_GUILESS_MAIN(FieldEngineTest)
#include "tst_fieldengine.moc"
