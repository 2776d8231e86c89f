#include "output/docx.h"

#include "output/internal/docxparts.h"

#include <QUrl>

namespace qv::docx {

namespace {

const QString kMailMergeSource = kRelType + QStringLiteral("mailMergeSource");
const QString kDocumentType = QStringLiteral(
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
const QString kMacroDocumentType =
    QStringLiteral("application/vnd.ms-word.document.macroEnabled.main+xml");

// A new, empty w:mailMerge in the settings (replacing an earlier one), in its place after the
// settings that precede it.
pugi::xml_node newMailMerge(pugi::xml_node settings) {
    settings.remove_child("w:mailMerge");
    static const char* const kBefore[] = {"w:writeProtection",
                                          "w:view",
                                          "w:zoom",
                                          "w:removePersonalInformation",
                                          "w:removeDateAndTime",
                                          "w:doNotDisplayPageBoundaries",
                                          "w:displayBackgroundShape",
                                          "w:printPostScriptOverText",
                                          "w:printFractionalCharacterWidth",
                                          "w:printFormsData",
                                          "w:embedTrueTypeFonts",
                                          "w:embedSystemFonts",
                                          "w:saveSubsetFonts",
                                          "w:saveFormsData",
                                          "w:mirrorMargins",
                                          "w:alignBordersAndEdges",
                                          "w:bordersDoNotSurroundHeader",
                                          "w:bordersDoNotSurroundFooter",
                                          "w:gutterAtTop",
                                          "w:hideSpellingErrors",
                                          "w:hideGrammaticalErrors",
                                          "w:activeWritingStyle",
                                          "w:proofState",
                                          "w:formsDesign",
                                          "w:attachedTemplate",
                                          "w:linkStyles",
                                          "w:stylePaneFormatFilter",
                                          "w:stylePaneSortMethod",
                                          "w:documentType"};
    pugi::xml_node after;
    for (pugi::xml_node c : settings.children())
        for (const char* b : kBefore)
            if (is(c, b))
                after = c;
    return after ? settings.insert_child_after("w:mailMerge", after)
                 : settings.prepend_child("w:mailMerge");
}

} // namespace

ooxml::Package newDocument() {
    ooxml::Package p;
    p.setPart(QStringLiteral("[Content_Types].xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
              "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
              "<Default Extension=\"rels\" "
              "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
              "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
              "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
              "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
              "<Override PartName=\"/word/settings.xml\" ContentType=\"application/"
              "vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/>"
              "</Types>");
    p.setPart(QStringLiteral("_rels/.rels"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
              "relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
              "officeDocument/2006/relationships/officeDocument\" Target=\"word/document.xml\"/>"
              "</Relationships>");
    p.setPart(QStringLiteral("word/_rels/document.xml.rels"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
              "relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
              "officeDocument/2006/relationships/settings\" Target=\"settings.xml\"/>"
              "</Relationships>");
    p.setPart(QStringLiteral("word/document.xml"),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                         "<w:document xmlns:w=\"") +
                  kWordNs + "\" xmlns:r=\"" + kRelNs +
                  "\"><w:body><w:p/><w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
                  "<w:pgMar w:top=\"1440\" w:right=\"1440\" w:bottom=\"1440\" w:left=\"1440\" "
                  "w:header=\"708\" w:footer=\"708\" w:gutter=\"0\"/></w:sectPr></w:body>"
                  "</w:document>");
    p.setPart(QStringLiteral("word/settings.xml"),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                         "<w:settings xmlns:w=\"") +
                  kWordNs + "\" xmlns:r=\"" + kRelNs +
                  "\"><w:defaultTabStop w:val=\"720\"/></w:settings>");
    return p;
}

bool attachDataSource(ooxml::Package& package, const DataSource& source, QString* error) {
    const QString main = mainPartName(package);
    if (main.isEmpty()) {
        if (error)
            *error = QStringLiteral("The document has no main part.");
        return false;
    }
    const QString settings = settingsPart(package, main, true);
    pugi::xml_document doc;
    if (!load(doc, package.part(settings)) || !doc.child("w:settings")) {
        if (error)
            *error = QStringLiteral("The document settings are damaged.");
        return false;
    }
    pugi::xml_node root = doc.child("w:settings");
    if (!root.attribute("xmlns:r"))
        root.append_attribute("xmlns:r") = kRelNs;

    // The data source relationship, replacing an earlier one.
    Rels rels;
    rels.open(package.part(relsPathOf(settings)));
    while (pugi::xml_node old = rels.byType(kMailMergeSource))
        rels.root.remove_child(old);
    const QString id = rels.freshId(QStringLiteral("rIdQvMergeSource"));
    rels.add(id, kMailMergeSource, QUrl::fromLocalFile(source.path).toString(), true);
    package.setPart(relsPathOf(settings), save(rels.doc));

    pugi::xml_node mm = newMailMerge(root);
    auto val = [&](pugi::xml_node parent, const char* name, const QString& v) {
        setAttr(parent.append_child(name), "w:val", v);
    };
    val(mm, "w:mainDocumentType", QStringLiteral("formLetters"));
    if (source.linkToSource)
        mm.append_child("w:linkToQuery");
    val(mm, "w:dataType", QStringLiteral("textFile"));
    if (!source.connection.isEmpty())
        val(mm, "w:connectString", source.connection);
    if (!source.query.isEmpty())
        val(mm, "w:query", source.query);
    setAttr(mm.append_child("w:dataSource"), "r:id", id);
    pugi::xml_node odso = mm.append_child("w:odso");
    setAttr(odso.append_child("w:src"), "r:id", id);
    val(odso, "w:colDelim", QString::number(source.delimiter.unicode()));
    odso.append_child("w:fHdr");
    package.setPart(settings, save(doc));
    return true;
}

bool attachedDataSource(const ooxml::Package& package, DataSource* source) {
    ooxml::Package copy = package;
    const QString main = mainPartName(copy);
    if (main.isEmpty())
        return false;
    const QString settings = settingsPart(copy, main, false);
    pugi::xml_document doc;
    if (settings.isEmpty() || !load(doc, package.part(settings)))
        return false;
    pugi::xml_node mm = doc.child("w:settings").child("w:mailMerge");
    if (!mm)
        return false;
    const QString id = attr(mm.child("w:dataSource"), "r:id");
    Rels rels;
    rels.open(package.part(relsPathOf(settings)));
    QString target;
    for (pugi::xml_node r : rels.root.children("Relationship"))
        if (attr(r, "Id") == id)
            target = attr(r, "Target");
    source->path = QUrl(target).isLocalFile() ? QUrl(target).toLocalFile() : target;
    source->connection = attr(mm.child("w:connectString"), "w:val");
    source->query = attr(mm.child("w:query"), "w:val");
    source->linkToSource = bool(mm.child("w:linkToQuery"));
    const int delim = attr(mm.child("w:odso").child("w:colDelim"), "w:val").toInt();
    source->delimiter = QChar(delim ? delim : ',');
    return true;
}

QString makeDocument(ooxml::Package& package) {
    const QString main = mainPartName(package);
    const QString type = contentTypeOf(package, main);
    const bool macros = type.contains(QLatin1String("macroEnabled"), Qt::CaseInsensitive);
    if (type.contains(QLatin1String("template"), Qt::CaseInsensitive))
        addOverride(package, main, macros ? kMacroDocumentType : kDocumentType);
    return macros ? QStringLiteral("docm") : QStringLiteral("docx");
}

} // namespace qv::docx
