#include "output/internal/docxfields.h"
#include "output/internal/docxparts.h"
#include "output/outputtext.h"

#include <cstring>

// Results put in place of the placeholders of a compiled part's copy.
namespace qv::docx {

using fields::Piece;

void appendRunText(pugi::xml_node run, const QString& value) {
    const QString text = output::xmlText(value);
    QString piece;
    auto flush = [&] {
        if (piece.isEmpty())
            return;
        pugi::xml_node t = run.append_child("w:t");
        t.append_attribute("xml:space") = "preserve";
        t.text().set(piece.toUtf8().constData());
        piece.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\t')) {
            flush();
            run.append_child("w:tab");
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            flush();
            run.append_child("w:br");
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else {
            piece += c;
        }
    }
    flush();
}

namespace {

// The text of a cell: its characters, tabs as blanks, paragraphs joined by blanks; walked
// without recursion.
QString cellText(pugi::xml_node cell) {
    QString text;
    for (pugi::xml_node n = cell.first_child(); n && n != cell;) {
        if (is(n, "w:t"))
            text += QString::fromUtf8(n.text().get());
        else if (is(n, "w:tab") || (is(n, "w:p") && !text.isEmpty()))
            text += QLatin1Char(' ');
        if (n.first_child() && !is(n, "w:t") && !is(n, "w:instrText")) {
            n = n.first_child();
            continue;
        }
        while (n != cell && !n.next_sibling())
            n = n.parent();
        if (n != cell)
            n = n.next_sibling();
    }
    return text.trimmed();
}

} // namespace

bool readFormulaTable(pugi::xml_node place, fields::FormulaTable* table) {
    pugi::xml_node cell = place.parent();
    while (cell && !is(cell, "w:tc"))
        cell = cell.parent();
    const pugi::xml_node row = cell.parent(), tbl = row.parent();
    if (!cell || !is(row, "w:tr") || !is(tbl, "w:tbl"))
        return false;
    table->rows.clear();
    for (pugi::xml_node tr : tbl.children("w:tr")) {
        QStringList cells;
        for (pugi::xml_node tc : tr.children("w:tc")) {
            if (tc == cell) {
                table->row = int(table->rows.size());
                table->column = int(cells.size());
            }
            cells << (tc == cell ? QString() : cellText(tc));
        }
        table->rows.push_back(std::move(cells));
    }
    return true;
}

bool needsExpanding(pugi::xml_node node) {
    bool found = false;
    forEachElement(node, [&found](pugi::xml_node c) {
        found = found || is(c, kPlaceholder) || is(c, "w:footnoteReference") ||
                is(c, "w:endnoteReference");
        return !found;
    });
    return found;
}

namespace {

// A run before the placeholder with the look (w:rPr) of a template run.
pugi::xml_node newRun(pugi::xml_node placeholder, pugi::xml_node look) {
    pugi::xml_node run = placeholder.parent().insert_child_before("w:r", placeholder);
    if (pugi::xml_node rPr = look.child("w:rPr"))
        run.append_copy(rPr);
    return run;
}

// A paragraph mark in a result: what stands before the placeholder in its paragraph becomes a
// paragraph of its own, with the properties of the paragraph the mark ended in the template.
// Inside a hyperlink or other inline container the mark becomes a line break.
void splitParagraph(pugi::xml_node placeholder, pugi::xml_node markOf) {
    pugi::xml_node host = placeholder.parent();
    if (!is(host, "w:p")) {
        newRun(placeholder, {}).append_child("w:br");
        return;
    }
    pugi::xml_node before = host.parent().insert_child_before("w:p", host);
    if (pugi::xml_node pPr = markOf.child("w:pPr"))
        before.append_copy(pPr);
    for (pugi::xml_node c = host.first_child(), next; c && c != placeholder; c = next) {
        next = c.next_sibling();
        if (!is(c, "w:pPr"))
            before.append_move(c);
    }
}

} // namespace

FieldExpander::FieldExpander(const FieldTable& table, fields::FieldEvaluator& evaluator,
                             NoteHook notes)
    : table_(table), evaluator_(evaluator), notes_(std::move(notes)) {}

// Walks the copy without recursion; a placeholder gives way to its results (put before it, so
// the walk goes on after it), alternate content is merged branch by branch.
void FieldExpander::expand(pugi::xml_node node) {
    pugi::xml_node c = node.first_child();
    while (c) {
        const char* name = c.type() == pugi::node_element ? c.name() : "";
        if (std::strcmp(name, kPlaceholder) == 0) {
            const pugi::xml_node next = nextOutside(c, node);
            place(c);
            c = next;
            continue;
        }
        if (std::strcmp(name, "w:footnoteReference") == 0 ||
            std::strcmp(name, "w:endnoteReference") == 0) {
            if (notes_)
                notes_(c);
        } else if (std::strcmp(name, "mc:AlternateContent") == 0 &&
                   alternativesDepth_ < kMaxAlternatives) {
            const pugi::xml_node next = nextOutside(c, node);
            ++alternativesDepth_;
            alternatives(c);
            --alternativesDepth_;
            c = next;
            continue;
        } else if (*name && c.first_child()) {
            c = c.first_child();
            continue;
        }
        c = nextOutside(c, node);
    }
}

// The branches of mc:AlternateContent are one content in two forms: each is merged for the same
// records, and the merge goes on from where the first branch left it.
void FieldExpander::alternatives(pugi::xml_node alternateContent) {
    const qsizetype start = evaluator_.record();
    qsizetype after = start;
    bool first = true;
    for (pugi::xml_node branch : alternateContent.children()) {
        evaluator_.setRecord(start);
        expand(branch);
        if (first)
            after = evaluator_.record();
        first = false;
    }
    evaluator_.setRecord(after);
}

void FieldExpander::place(pugi::xml_node placeholder) {
    std::vector<Piece> out;
    evaluator_.setPlace(placeholder);
    evaluator_.evaluate(placeholder.attribute("n").as_int(), out);
    pugi::xml_node textRun, textLook;
    for (const Piece& p : out) {
        if (p.kind == Piece::Text && textRun && p.node == textLook) {
            appendRunText(textRun, p.text);
            continue;
        }
        textRun = {};
        switch (p.kind) {
        case Piece::Text:
            textRun = newRun(placeholder, p.node);
            textLook = p.node;
            appendRunText(textRun, p.text);
            break;
        case Piece::Instr: {
            pugi::xml_node t = newRun(placeholder, p.node).append_child("w:instrText");
            t.append_attribute("xml:space") = "preserve";
            t.text().set(output::xmlText(p.text).toUtf8().constData());
            break;
        }
        case Piece::Run:
            expand(placeholder.parent().insert_copy_before(p.node, placeholder));
            break;
        case Piece::Mark:
            splitParagraph(placeholder, p.node);
            break;
        case Piece::Field:
            break;
        }
    }
    placeholder.parent().remove_child(placeholder);
}

} // namespace qv::docx
