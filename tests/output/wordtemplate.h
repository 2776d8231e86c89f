#pragma once

#include "output/ooxmlpackage.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

// The Word template the merge tests share.
namespace qv::test {

inline QByteArray templatePart(const char* xml) {
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
inline void writeWordTemplate(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    ooxml::Package p;
    p.setPart(
        QStringLiteral("[Content_Types].xml"),
        templatePart(
            R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml"/><Override PartName="/word/header1.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml"/><Override PartName="/word/footer1.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml"/></Types>)"));
    p.setPart(
        QStringLiteral("_rels/.rels"),
        templatePart(
            R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>)"));
    p.setPart(
        QStringLiteral("word/_rels/document.xml.rels"),
        templatePart(
            R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/header" Target="header1.xml"/><Relationship Id="rId8" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer" Target="footer1.xml"/></Relationships>)"));
    p.setPart(
        QStringLiteral("word/document.xml"),
        templatePart(
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
        templatePart(
            "<w:hdr" WNS
            R"(><w:p><w:r><w:t xml:space="preserve">Town: </w:t></w:r><w:r><w:fldChar w:fldCharType="begin"/></w:r><w:r><w:instrText> MERGEFIELD Town </w:instrText></w:r><w:r><w:fldChar w:fldCharType="end"/></w:r>)" DRAWING_AND_BOOKMARK(
                "2", "5") "</w:p></w:hdr>"));
    p.setPart(
        QStringLiteral("word/footer1.xml"),
        templatePart(
            "<w:ftr" WNS
            R"(><w:p><w:fldSimple w:instr=" MERGEFIELD name \b &quot;For &quot; "><w:r><w:t>«name»</w:t></w:r></w:fldSimple></w:p></w:ftr>)"));
    QString error;
    QVERIFY2(p.write(path, &error), qPrintable(error));
}

} // namespace qv::test
