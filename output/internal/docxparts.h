#pragma once

#include "output/ooxmlpackage.h"

#include <QByteArray>
#include <QString>
#include <pugixml.hpp>
#include <utility>
#include <vector>

// The pieces of a word-processing package the document code shares: parts as XML trees, the
// relationships of a part, content types and the main document's settings part.
namespace qv::docx {

inline constexpr const char* kRelsNs =
    "http://schemas.openxmlformats.org/package/2006/relationships";
inline constexpr const char* kRelNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr const char* kWordNs =
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline const QString kRelType =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");

// A part's XML, parsed keeping every space; false when it is not well-formed.
bool load(pugi::xml_document& doc, const QByteArray& bytes);
// The tree as UTF-8 XML, without added formatting.
QByteArray save(const pugi::xml_document& doc);
// Appends the node and everything below it to out, written as save() writes it.
void appendXml(QByteArray& out, pugi::xml_node node);

// True for an element of that qualified name.
bool is(pugi::xml_node n, const char* name);

// The node that follows n's subtree in document order, within root; null at root's end.
inline pugi::xml_node nextOutside(pugi::xml_node n, pugi::xml_node root) {
    for (; n && n != root; n = n.parent())
        if (pugi::xml_node s = n.next_sibling())
            return s;
    return {};
}

// Calls visit(element) for every element below root in document order, without recursion, so
// that no nesting exhausts the stack; visit returns false to skip the element's children.
template <class Visit> void forEachElement(pugi::xml_node root, Visit visit) {
    pugi::xml_node n = root.first_child();
    while (n) {
        const bool element = n.type() == pugi::node_element;
        if (element && visit(n) && n.first_child())
            n = n.first_child();
        else
            n = nextOutside(n, root);
    }
}

// The deepest nesting of elements below root (root's children are at 1), walked without
// recursion; stops counting past limit.
int elementDepth(pugi::xml_node root, int limit);
// The attribute's value; empty when it is missing.
QString attr(pugi::xml_node n, const char* name);
// Sets the attribute, adding it when missing, to the value as XML can carry it.
void setAttr(pugi::xml_node n, const char* name, const QString& value);

// "word/document.xml" -> "word/_rels/document.xml.rels".
QString relsPathOf(const QString& part);
// "word/document.xml" -> "word/".
QString folderOf(const QString& part);
// A relationship target resolved against the folder of its source part; ".." never climbs
// above the package's root.
QString resolveTarget(const QString& sourceFolder, const QString& target);

// The relationships of one part.
struct Rels {
    pugi::xml_document doc;
    pugi::xml_node root;

    // Parses the part's relationships; empty or damaged bytes give an empty set.
    void open(const QByteArray& bytes);
    pugi::xml_node byType(const QString& type) const;
    // stem + the first number no relationship uses yet.
    QString freshId(const QString& stem) const;
    void add(const QString& id, const QString& type, const QString& target, bool external);
    // Drops every mail-merge relationship (data source, header source, ...).
    void removeMailMerge();
};

// The main document part named by the package relationships ("word/document.xml").
QString mainPartName(const ooxml::Package& package);
// Sets the content type of one part.
void addOverride(ooxml::Package& package, const QString& part, const QString& contentType);
// Sets the content types of several parts (part, type) in one rewrite of the content types.
void addOverrides(ooxml::Package& package, const std::vector<std::pair<QString, QString>>& types);
QString contentTypeOf(const ooxml::Package& package, const QString& part);
// The settings part of the main document; created when missing and create is true, else "".
QString settingsPart(ooxml::Package& package, const QString& main, bool create);

} // namespace qv::docx
