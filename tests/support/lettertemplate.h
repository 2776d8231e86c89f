#pragma once

#include "output/ooxmlpackage.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <pugixml.hpp>

// Letter templates as the word processor saves them (complex fields, the code in runs of its
// own, a stale result after the separator), and the text of a merged document read back.
namespace qv::test {

inline QByteArray xmlEscaped(QByteArray text) {
    return text.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
}

// A complex field: begin, its code (plain text and nested fields, in the order given), a stale
// result, end. Plain pieces of code are instruction runs; a piece that is itself a field (it
// starts with "<w:r>") stands as it is.
inline QByteArray field(std::initializer_list<QByteArray> code, QByteArray staleResult = "«»") {
    QByteArray xml = R"(<w:r><w:fldChar w:fldCharType="begin"/></w:r>)";
    for (const QByteArray& piece : code)
        xml += piece.startsWith("<w:r>") ? piece
                                         : R"(<w:r><w:instrText xml:space="preserve">)" +
                                               xmlEscaped(piece) + "</w:instrText></w:r>";
    xml += R"(<w:r><w:fldChar w:fldCharType="separate"/></w:r><w:r><w:t>)" +
           xmlEscaped(staleResult) + R"(</w:t></w:r><w:r><w:fldChar w:fldCharType="end"/></w:r>)";
    return xml;
}
inline QByteArray field(const QByteArray& code) {
    return field({code});
}

inline QByteArray text(const QByteArray& t) {
    return R"(<w:r><w:t xml:space="preserve">)" + xmlEscaped(t) + "</w:t></w:r>";
}

inline QByteArray paragraph(const QByteArray& runs) {
    return "<w:p>" + runs + "</w:p>";
}

// A template (Office Open XML saved under its .dot name) whose body holds the paragraphs.
inline bool writeLetterTemplate(const QString& path, const QByteArray& bodyParagraphs) {
    QDir().mkpath(QFileInfo(path).path());
    const QByteArray head = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
    ooxml::Package p;
    p.setPart(
        QStringLiteral("[Content_Types].xml"),
        head +
            R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml"/></Types>)");
    p.setPart(
        QStringLiteral("_rels/.rels"),
        head +
            R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>)");
    p.setPart(
        QStringLiteral("word/document.xml"),
        head +
            R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><w:body>)" +
            bodyParagraphs +
            R"(<w:sectPr><w:pgSz w:w="11906" w:h="16838"/></w:sectPr></w:body></w:document>)");
    QString error;
    return p.write(path, &error);
}

// The merged document's body as text, a paragraph a line; every record's copy ends with a line
// "<page>" where the next copy starts on a new page. *fieldCodes gets the codes of the fields
// left in it.
inline QStringList mergedText(const QString& path, QStringList* fieldCodes = nullptr) {
    ooxml::Package package;
    QString error;
    pugi::xml_document doc;
    if (!package.read(path, &error)) {
        qWarning("%s", qPrintable(error));
        return {};
    }
    const QByteArray xml = package.part(QStringLiteral("word/document.xml"));
    if (!doc.load_buffer(xml.constData(), size_t(xml.size()),
                         pugi::parse_default | pugi::parse_ws_pcdata))
        return {};
    QStringList lines;
    for (pugi::xpath_node p : doc.select_nodes("//w:body/w:p")) {
        QString line;
        for (pugi::xpath_node t : p.node().select_nodes(".//w:t | .//w:tab"))
            line += std::string_view(t.node().name()) == "w:tab"
                        ? QStringLiteral("\t")
                        : QString::fromUtf8(t.node().text().get());
        const bool newPage = p.node().select_node(".//w:sectPr | .//w:br[@w:type='page']");
        if (!line.isEmpty() || !newPage)
            lines << line;
        if (newPage)
            lines << QStringLiteral("<page>");
    }
    if (fieldCodes) {
        for (pugi::xpath_node t : doc.select_nodes("//w:instrText"))
            *fieldCodes << QString::fromUtf8(t.node().text().get());
        for (pugi::xpath_node f : doc.select_nodes("//w:fldSimple"))
            *fieldCodes << QString::fromUtf8(f.node().attribute("w:instr").value());
    }
    return lines;
}

} // namespace qv::test
