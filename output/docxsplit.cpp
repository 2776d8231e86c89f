#include "output/docxsplit.h"

#include "output/docx.h"
#include "output/internal/docxparts.h"

#include <QHash>
#include <QSet>
#include <cstring>
#include <pugixml.hpp>
#include <vector>

namespace qv::docx {

namespace {

constexpr const char* kHeaderType = "/header";
constexpr const char* kFooterType = "/footer";

// The section properties a paragraph carries; null when none.
pugi::xml_node paragraphSection(pugi::xml_node p) {
    return is(p, "w:p") ? p.child("w:pPr").child("w:sectPr") : pugi::xml_node();
}

// The paragraph the merge puts between two copies: a section break or a page break, no text.
bool isCopyBreak(pugi::xml_node p) {
    if (!is(p, "w:p"))
        return false;
    if (paragraphSection(p))
        return !p.child("w:r");
    pugi::xml_node run = p.child("w:r");
    return run && !run.next_sibling("w:r") && is(run.first_child(), "w:br") &&
           std::strcmp(run.first_child().attribute("w:type").value(), "page") == 0;
}

// The relationship ids of the headers and footers the body refers to.
QSet<QString> referencedSections(pugi::xml_node root) {
    QSet<QString> ids;
    for (pugi::xpath_node n : root.select_nodes(".//w:headerReference | .//w:footerReference"))
        ids.insert(attr(n.node(), "r:id"));
    return ids;
}

// Drops the headers and footers no section of the letter refers to, with their relationships,
// their own relationships and their content types.
void dropUnusedSections(ooxml::Package& out, const QString& mainPart, const QSet<QString>& used) {
    Rels rels;
    rels.open(out.part(relsPathOf(mainPart)));
    QSet<QString> dropped;
    for (pugi::xml_node r = rels.root.first_child(); r;) {
        pugi::xml_node next = r.next_sibling();
        const QString type = attr(r, "Type");
        if ((type.endsWith(QLatin1String(kHeaderType)) ||
             type.endsWith(QLatin1String(kFooterType))) &&
            !used.contains(attr(r, "Id"))) {
            const QString part = resolveTarget(folderOf(mainPart), attr(r, "Target"));
            out.removePart(part);
            out.removePart(relsPathOf(part));
            dropped.insert(QLatin1Char('/') + part);
            rels.root.remove_child(r);
        }
        r = next;
    }
    out.setPart(relsPathOf(mainPart), save(rels.doc));
    pugi::xml_document types;
    const QString typesPart = QStringLiteral("[Content_Types].xml");
    if (dropped.isEmpty() || !load(types, out.part(typesPart)))
        return;
    pugi::xml_node root = types.child("Types");
    for (pugi::xml_node o = root.child("Override"); o;) {
        pugi::xml_node next = o.next_sibling("Override");
        if (dropped.contains(attr(o, "PartName")))
            root.remove_child(o);
        o = next;
    }
    out.setPart(typesPart, save(types));
}

} // namespace

struct CopySplitter::Data {
    ooxml::Package merged;
    QString mainPart;
    pugi::xml_document doc;
    pugi::xml_node body, finalSection;
    std::vector<pugi::xml_node> children; // the body's elements but its final section
    std::vector<size_t> starts;           // the element each copy starts with
};

CopySplitter::CopySplitter() : d_(std::make_unique<Data>()) {}
CopySplitter::~CopySplitter() = default;

bool CopySplitter::open(const ooxml::Package& merged, QString* error) {
    d_ = std::make_unique<Data>();
    d_->merged = merged;
    d_->mainPart = mainPartName(merged);
    if (d_->mainPart.isEmpty() || !load(d_->doc, merged.part(d_->mainPart)) ||
        !(d_->body = d_->doc.document_element().child("w:body"))) {
        *error = QStringLiteral("The merged document's main part is damaged.");
        return false;
    }
    for (pugi::xml_node c : d_->body.children()) {
        if (c.type() != pugi::node_element)
            continue;
        if (is(c, "w:sectPr") && c == d_->body.last_child()) {
            d_->finalSection = c;
            continue;
        }
        d_->children.push_back(c);
    }
    for (size_t i = 0; i < d_->children.size(); ++i) {
        const QByteArray expected = copyBookmarkName(qsizetype(d_->starts.size()) + 1).toUtf8();
        const auto isMark = [&expected](pugi::xml_node n) {
            return is(n, "w:bookmarkStart") &&
                   std::strcmp(n.attribute("w:name").value(), expected.constData()) == 0;
        };
        if (isMark(d_->children[i]) || d_->children[i].find_node(isMark))
            d_->starts.push_back(d_->starts.empty() ? 0 : i); // copy 1 takes any lead-in
    }
    if (d_->starts.empty()) {
        *error = QStringLiteral("The merged document does not mark where its letters start.");
        return false;
    }
    return true;
}

qsizetype CopySplitter::copyCount() const {
    return qsizetype(d_->starts.size());
}

ooxml::Package CopySplitter::extract(qsizetype first, qsizetype last) const {
    const size_t from = d_->starts[size_t(first)];
    const bool toEnd = size_t(last) + 1 >= d_->starts.size();
    size_t to = toEnd ? d_->children.size() : d_->starts[size_t(last) + 1];
    pugi::xml_document doc;
    for (pugi::xml_node c : d_->doc.children())
        if (c != d_->doc.document_element())
            doc.append_copy(c);
    pugi::xml_node root = doc.append_child(d_->doc.document_element().name());
    for (pugi::xml_attribute a : d_->doc.document_element().attributes())
        root.append_copy(a);
    for (pugi::xml_node c : d_->doc.document_element().children())
        if (c != d_->body)
            root.append_copy(c);
    pugi::xml_node body = root.append_child("w:body");
    pugi::xml_node section = d_->finalSection;
    if (!toEnd && to > from && isCopyBreak(d_->children[to - 1])) {
        // The break before the next letter ends this one: its section becomes the last.
        if (pugi::xml_node own = paragraphSection(d_->children[to - 1]))
            section = own;
        --to;
    }
    for (size_t i = from; i < to; ++i)
        body.append_copy(d_->children[i]);
    if (section) {
        pugi::xml_node s = body.append_copy(section);
        s.remove_child("w:type"); // the letter's first section starts its first page anyway
    }
    ooxml::Package out = d_->merged;
    out.setPart(d_->mainPart, save(doc));
    dropUnusedSections(out, d_->mainPart, referencedSections(body));
    return out;
}

} // namespace qv::docx
