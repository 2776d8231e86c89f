#pragma once

#include "output/ooxmlpackage.h"

#include <QMap>
#include <QRegularExpression>
#include <QString>

// Small Word templates for the field engine's tests, written as the word processor writes them:
// complex fields (begin, instruction, separator, old result, end), every piece in a run of its
// own. In the shorthand "Dear {MERGEFIELD Name}," braces stand for a field, "¶" for a paragraph
// mark, "¦" for the end of a run, and text outside braces is document text.
namespace qv::test {

inline QString xmlEscaped(const QString& s) {
    return s.toHtmlEscaped();
}

// The runs of the shorthand; a field's old result reads "~".
inline QString fieldRuns(const QString& shorthand) {
    QString out, buffer;
    int depth = 0;
    auto flush = [&] {
        if (buffer.isEmpty())
            return;
        const QString tag = depth > 0 ? QStringLiteral("w:instrText") : QStringLiteral("w:t");
        out += QStringLiteral("<w:r><%1 xml:space=\"preserve\">%2</%1></w:r>")
                   .arg(tag, xmlEscaped(buffer));
        buffer.clear();
    };
    auto fldChar = [](const char* type) {
        return QStringLiteral("<w:r><w:fldChar w:fldCharType=\"%1\"/></w:r>")
            .arg(QLatin1String(type));
    };
    for (const QChar c : shorthand) {
        if (c == QLatin1Char('{')) {
            flush();
            out += fldChar("begin");
            ++depth;
        } else if (c == QLatin1Char('}')) {
            flush();
            out += fldChar("separate") + QStringLiteral("<w:r><w:t>~</w:t></w:r>") + fldChar("end");
            --depth;
        } else if (c == QChar(0xA6)) {
            flush();
        } else if (c == QChar(0xB6)) {
            flush();
            out += QStringLiteral("</w:p><w:p>");
        } else {
            buffer += c;
        }
    }
    flush();
    return out;
}

#define QV_FIELD_NS                                                                                \
    " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""                    \
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""             \
    " xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""         \
    " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""                           \
    " xmlns:wps=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\""             \
    " xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\""                    \
    " xmlns:v=\"urn:schemas-microsoft-com:vml\" mc:Ignorable=\"wps\""

// A template package: the body's content (paragraphs, tables) and further parts of the word
// folder ("header1.xml" -> its root element's XML), each referred to by the main document.
inline ooxml::Package fieldTemplate(const QString& body, const QString& sectionExtra = {},
                                    const QMap<QString, QString>& parts = {}) {
    static const QMap<QString, QString> kTypes{
        {"header", "header"}, {"footer", "footer"}, {"footnotes", "footnotes"}};
    QString overrides, rels;
    int id = 10;
    for (auto it = parts.begin(); it != parts.end(); ++it) {
        const QString kind = it.key().left(it.key().indexOf(QRegularExpression("[0-9.]")));
        overrides += QStringLiteral("<Override PartName=\"/word/%1\" ContentType=\"application/"
                                    "vnd.openxmlformats-officedocument.wordprocessingml.%2+xml\"/>")
                         .arg(it.key(), kTypes.value(kind));
        rels += QStringLiteral("<Relationship Id=\"rId%1\" Type=\"http://schemas.openxmlformats."
                               "org/officeDocument/2006/relationships/%2\" Target=\"%3\"/>")
                    .arg(id++)
                    .arg(kTypes.value(kind), it.key());
    }
    const QString decl = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    ooxml::Package p;
    p.setPart("[Content_Types].xml",
              (decl +
               "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
               "<Default Extension=\"rels\" "
               "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
               "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
               "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
               "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>" +
               overrides + "</Types>")
                  .toUtf8());
    p.setPart("_rels/.rels",
              (decl +
               "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
               "relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats."
               "org/officeDocument/2006/relationships/officeDocument\" "
               "Target=\"word/document.xml\"/></Relationships>")
                  .toUtf8());
    p.setPart("word/_rels/document.xml.rels",
              (decl +
               "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
               "relationships\">" +
               rels + "</Relationships>")
                  .toUtf8());
    p.setPart("word/document.xml",
              (decl + "<w:document" QV_FIELD_NS "><w:body>" + body + "<w:sectPr>" + sectionExtra +
               "<w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr></w:body></w:document>")
                  .toUtf8());
    for (auto it = parts.begin(); it != parts.end(); ++it)
        p.setPart("word/" + it.key(), (decl + it.value()).toUtf8());
    return p;
}

} // namespace qv::test
