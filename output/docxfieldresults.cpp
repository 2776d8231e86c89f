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

bool needsExpanding(pugi::xml_node node) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        if (is(c, kPlaceholder) || is(c, "w:footnoteReference") || is(c, "w:endnoteReference") ||
            needsExpanding(c))
            return true;
    }
    return false;
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

void FieldExpander::expand(pugi::xml_node node) {
    for (pugi::xml_node c = node.first_child(), next; c; c = next) {
        next = c.next_sibling();
        if (c.type() != pugi::node_element)
            continue;
        const char* name = c.name();
        if (std::strcmp(name, kPlaceholder) == 0)
            place(c);
        else if (std::strcmp(name, "w:footnoteReference") == 0 ||
                 std::strcmp(name, "w:endnoteReference") == 0) {
            if (notes_)
                notes_(c);
        } else if (std::strcmp(name, "mc:AlternateContent") == 0)
            alternatives(c);
        else if (c.first_child())
            expand(c);
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
