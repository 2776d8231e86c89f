#include "output/internal/docxfields.h"

#include "output/docx.h"
#include "output/internal/docxparts.h"

#include <QSet>
#include <cstring>

namespace qv::docx {

using fields::CompiledField;
using fields::FieldKind;
using fields::Piece;

namespace {

bool isFieldPart(pugi::xml_node n) {
    return is(n, "w:fldChar") || is(n, "w:instrText");
}

void collectElements(pugi::xml_node node, const char* name, std::vector<pugi::xml_node>& found) {
    forEachElement(node, [&](pugi::xml_node c) {
        if (is(c, name))
            found.push_back(c);
        return true;
    });
}

pugi::xml_node firstRun(pugi::xml_node node) {
    pugi::xml_node run;
    forEachElement(node, [&](pugi::xml_node c) {
        if (!run && is(c, "w:r"))
            run = c;
        return !run;
    });
    return run;
}

pugi::xml_node addRun(pugi::xml_node f, pugi::xml_node rPr, const char* child) {
    pugi::xml_node run = f.parent().insert_child_before("w:r", f);
    if (rPr)
        run.append_copy(rPr);
    return run.append_child(child).parent();
}

// Simple fields become complex ones: begin, instruction, separator, their runs, end.
void convertSimpleFields(pugi::xml_node root) {
    std::vector<pugi::xml_node> simple;
    collectElements(root, "w:fldSimple", simple);
    for (size_t i = simple.size(); i-- > 0;) { // inner fields first
        pugi::xml_node f = simple[i];
        const pugi::xml_node rPr = firstRun(f).child("w:rPr");
        addRun(f, rPr, "w:fldChar").child("w:fldChar").append_attribute("w:fldCharType") = "begin";
        pugi::xml_node instr = addRun(f, rPr, "w:instrText").child("w:instrText");
        instr.append_attribute("xml:space") = "preserve";
        instr.text().set(f.attribute("w:instr").value());
        addRun(f, rPr, "w:fldChar").child("w:fldChar").append_attribute("w:fldCharType") =
            "separate";
        while (pugi::xml_node c = f.first_child())
            f.parent().insert_move_before(c, f);
        addRun(f, rPr, "w:fldChar").child("w:fldChar").append_attribute("w:fldCharType") = "end";
        f.parent().remove_child(f);
    }
}

// Gives every field character and instruction piece a run of its own.
void splitFieldRuns(pugi::xml_node root) {
    std::vector<pugi::xml_node> all, runs;
    collectElements(root, "w:r", all);
    for (pugi::xml_node n : all) {
        bool field = false;
        int content = 0;
        for (pugi::xml_node c : n.children())
            if (c.type() == pugi::node_element && !is(c, "w:rPr")) {
                ++content;
                field = field || isFieldPart(c);
            }
        if (field && content > 1)
            runs.push_back(n);
    }
    for (pugi::xml_node run : runs) {
        pugi::xml_node rPr = run.child("w:rPr");
        std::vector<pugi::xml_node> content;
        for (pugi::xml_node c : run.children())
            if (c.type() == pugi::node_element && !is(c, "w:rPr"))
                content.push_back(c);
        pugi::xml_node after = run;
        for (size_t i = 1; i < content.size(); ++i) {
            pugi::xml_node piece = run.parent().insert_child_after("w:r", after);
            if (rPr)
                piece.append_copy(rPr);
            piece.append_move(content[i]);
            after = piece;
        }
    }
}

// The runs of one story in document order; text boxes are stories of their own.
void storyRuns(pugi::xml_node node, std::vector<pugi::xml_node>& runs) {
    forEachElement(node, [&](pugi::xml_node c) {
        if (is(c, "w:txbxContent") || is(c, kStore))
            return false;
        if (is(c, "w:r")) {
            runs.push_back(c);
            return false;
        }
        return true;
    });
}

pugi::xml_node paragraphOf(pugi::xml_node run) {
    for (pugi::xml_node p = run.parent(); p; p = p.parent())
        if (is(p, "w:p"))
            return p;
    return {};
}

const char* fldCharType(pugi::xml_node run) {
    pugi::xml_node c = run.child("w:fldChar");
    return c ? c.attribute("w:fldCharType").value() : nullptr;
}

// Reads the runs of one outermost field (and the fields nested in it) into the table.
class SpanReader {
public:
    SpanReader(FieldTable& table) : table_(table) {}
    int read(const std::vector<pugi::xml_node>& runs, size_t begin, size_t end);
    QString fault;                     // why the field cannot be placed
    std::vector<pugi::xml_node> ended; // the paragraphs whose marks lie inside the field

private:
    std::vector<Piece>& section() {
        CompiledField& f = table_.fields[static_cast<size_t>(stack_.back())];
        return f.separate ? f.result : f.codePieces;
    }
    void paragraphChange(pugi::xml_node from, pugi::xml_node to);
    void run(pugi::xml_node r);

    FieldTable& table_;
    std::vector<int> stack_;
    int top_ = -1;
};

int SpanReader::read(const std::vector<pugi::xml_node>& runs, size_t begin, size_t end) {
    pugi::xml_node paragraph = paragraphOf(runs[begin]);
    for (size_t i = begin; i <= end; ++i) {
        const pugi::xml_node p = paragraphOf(runs[i]);
        if (p != paragraph)
            paragraphChange(paragraph, p);
        paragraph = p;
        run(runs[i]);
    }
    return top_;
}

// Paragraph marks between two runs of the field: the first paragraph's and those of the empty
// paragraphs between. Only paragraphs side by side can be taken apart and put together again.
void SpanReader::paragraphChange(pugi::xml_node from, pugi::xml_node to) {
    if (!from || !to || from.parent() != to.parent()) {
        fault = QStringLiteral("The field runs across a table or a text box.");
        return;
    }
    for (pugi::xml_node s = from; s && s != to; s = s.next_sibling()) {
        if (is(s, "w:p")) {
            section().push_back(Piece{Piece::Mark, {}, s, -1});
            ended.push_back(s);
        } else if (s.type() == pugi::node_element && !is(s, "w:bookmarkStart") &&
                   !is(s, "w:bookmarkEnd") && !is(s, "w:proofErr")) {
            fault = QStringLiteral("The field's text holds a table, which the merge cannot place.");
        }
    }
}

void SpanReader::run(pugi::xml_node r) {
    const char* type = fldCharType(r);
    if (type && std::strcmp(type, "begin") == 0) {
        const int index = static_cast<int>(table_.fields.size());
        table_.fields.emplace_back();
        table_.fields.back().begin = r;
        if (stack_.empty())
            top_ = index;
        else
            section().push_back(Piece{Piece::Field, {}, {}, index});
        stack_.push_back(index);
    } else if (type && std::strcmp(type, "separate") == 0) {
        table_.fields[static_cast<size_t>(stack_.back())].separate = r;
    } else if (type && std::strcmp(type, "end") == 0) {
        table_.fields[static_cast<size_t>(stack_.back())].end = r;
        stack_.pop_back();
    } else if (pugi::xml_node instr = r.child("w:instrText");
               instr && !table_.fields[static_cast<size_t>(stack_.back())].separate) {
        section().push_back(Piece{Piece::Text, QString::fromUtf8(instr.text().get()), r, -1});
    } else {
        section().push_back(Piece{Piece::Run, {}, r, -1});
    }
}

// The field's code read, its looks and its merge field found.
void finishField(FieldTable& table, int index, const output::MergeData& data) {
    CompiledField& f = table.fields[static_cast<size_t>(index)];
    f.code = fields::parseFieldCode(f.codePieces);
    f.codeLook = f.begin;
    for (const Piece& p : f.codePieces)
        if (p.kind == Piece::Text && !p.text.trimmed().isEmpty()) {
            f.codeLook = p.node;
            break;
        }
    for (const Piece& p : f.result)
        if (p.kind == Piece::Run) {
            f.resultLook = p.node;
            break;
        }
    if (f.code.kind == FieldKind::MergeField && f.code.fault.isEmpty())
        f.column = data.fieldIndex(f.code.args[0].staticText().trimmed());
    for (pugi::xml_node p = f.begin.parent(); p && !f.cell; p = p.parent())
        if (is(p, "w:tc"))
            f.cell = p;
}

// Puts the placeholder in place of the field's runs; the runs and the paragraphs whose marks
// lie inside the field move to the store. A field over several paragraphs leaves one paragraph,
// the last one (its mark follows the field): the first one's text before the field joins it.
void placeField(const std::vector<pugi::xml_node>& runs, size_t begin, size_t end,
                const std::vector<pugi::xml_node>& ended, int index, pugi::xml_node store) {
    pugi::xml_node first = runs[begin], last = runs[end];
    pugi::xml_node placeholder;
    if (ended.empty()) {
        placeholder = first.parent().insert_child_before(kPlaceholder, first);
    } else {
        pugi::xml_node host = last.parent(), anchor = host.first_child();
        while (anchor && (is(anchor, "w:pPr") || anchor.type() != pugi::node_element))
            anchor = anchor.next_sibling();
        placeholder = host.insert_child_before(kPlaceholder, anchor);
        pugi::xml_node head = first.parent();
        for (pugi::xml_node c = head.first_child(), next; c && c != first; c = next) {
            next = c.next_sibling();
            if (!is(c, "w:pPr"))
                host.insert_move_before(c, placeholder);
        }
    }
    placeholder.append_attribute("n") = index;
    for (size_t i = begin; i <= end; ++i)
        store.append_move(runs[i]);
    for (pugi::xml_node p : ended)
        store.append_move(p);
}

void compileStory(pugi::xml_node story, pugi::xml_node store, const output::MergeData& data,
                  FieldTable& table) {
    std::vector<pugi::xml_node> runs;
    storyRuns(story, runs);
    int depth = 0;
    size_t begin = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        const char* type = fldCharType(runs[i]);
        if (!type)
            continue;
        if (std::strcmp(type, "begin") == 0 && depth >= kMaxFieldNesting) {
            table.tooDeep = true;
            return;
        }
        if (std::strcmp(type, "begin") == 0 && depth++ == 0)
            begin = i;
        else if (std::strcmp(type, "end") == 0 && depth > 0 && --depth == 0) {
            const size_t from = table.fields.size();
            SpanReader reader(table);
            const int index = reader.read(runs, begin, i);
            for (size_t k = from; k < table.fields.size(); ++k)
                finishField(table, static_cast<int>(k), data);
            table.placed.push_back(index);
            CompiledField& f = table.fields[static_cast<size_t>(index)];
            const bool sameParents =
                reader.ended.empty() || (runs[begin].parent() == paragraphOf(runs[begin]) &&
                                         runs[i].parent() == paragraphOf(runs[i]));
            if (reader.fault.isEmpty() && !sameParents)
                reader.fault = QStringLiteral("The field begins or ends inside a hyperlink or "
                                              "content control and runs over several "
                                              "paragraphs.");
            f.fault = reader.fault;
            if (f.fault.isEmpty())
                placeField(runs, begin, i, reader.ended, index, store);
        }
    }
}

} // namespace

void compileFields(pugi::xml_node root, const output::MergeData& data, FieldTable& table) {
    if (table.tooDeep)
        return;
    convertSimpleFields(root);
    splitFieldRuns(root);
    pugi::xml_node store = root.append_child(kStore);
    std::vector<pugi::xml_node> boxes;
    collectElements(root, "w:txbxContent", boxes);
    for (size_t i = 0; i < boxes.size() && !table.tooDeep; ++i)
        compileStory(boxes[i], store, data, table);
    if (!table.tooDeep)
        compileStory(root, store, data, table);
}

namespace {

// A formula's words with every nested field standing for a number.
QString staticFormula(const fields::FieldCode& code) {
    QString text;
    for (const fields::Token& t : code.args) {
        for (const Piece& p : t.pieces)
            text += p.kind == Piece::Text
                        ? p.text
                        : (p.kind == Piece::Field ? QStringLiteral(" 1 ") : QStringLiteral(" "));
        text += QLatin1Char(' ');
    }
    return text;
}

// The check of a formula before the merge, with the template's table around it: the cells that
// hold fields and come after the formula's own are merged only after it.
QString formulaFault(const CompiledField& f, const QLocale& locale,
                     const QSet<QString>& bookmarks) {
    const QString formula = staticFormula(f.code);
    const pugi::xml_node row = f.cell.parent(), tbl = row.parent();
    if (!f.cell || !is(row, "w:tr") || !is(tbl, "w:tbl"))
        return fields::formulaFault(formula, locale, bookmarks, nullptr);
    fields::FormulaTable table;
    std::vector<std::vector<char>> filled;
    for (pugi::xml_node tr : tbl.children("w:tr")) {
        filled.emplace_back();
        QStringList cells;
        for (pugi::xml_node tc : tr.children("w:tc")) {
            if (tc == f.cell) {
                table.row = int(table.rows.size());
                table.column = int(cells.size());
            }
            filled.back().push_back(needsExpanding(tc));
            cells << QString();
        }
        table.rows.push_back(std::move(cells));
    }
    const auto filledAfter = [&](int r, int c) {
        const bool after = r > table.row || (r == table.row && c > table.column);
        return after && filled[size_t(r)][size_t(c)] != 0;
    };
    return fields::formulaFault(formula, locale, bookmarks, &table, filledAfter);
}

} // namespace

void resolveBookmarks(FieldTable& table, const QLocale& locale) {
    QSet<QString> set;
    for (const CompiledField& f : table.fields)
        if ((f.code.kind == FieldKind::Set || f.code.kind == FieldKind::Ask) &&
            f.code.fault.isEmpty())
            set.insert(f.code.args[0].staticText().toLower());
    for (CompiledField& f : table.fields) {
        fields::FieldCode& c = f.code;
        if (c.kind == FieldKind::Other && c.args.empty() && !c.keyword.isEmpty() &&
            set.contains(c.keyword.toLower())) {
            c.kind = FieldKind::Ref; // { name }: the bookmark's text
            fields::Token name;
            name.pieces.push_back(Piece{Piece::Text, c.keyword, {}, -1});
            c.args.push_back(name);
        } else if (c.kind == FieldKind::Ref && c.fault.isEmpty() &&
                   !set.contains(c.args[0].staticText().toLower())) {
            c.kind = FieldKind::Other; // a bookmark of the document: the word processor's
        }
    }
    for (CompiledField& f : table.fields)
        if (f.code.kind == FieldKind::Formula && f.code.fault.isEmpty())
            f.code.fault = formulaFault(f, locale, set);
}

namespace {

// The field's code as written, nested fields in braces, shortened past a few hundred characters;
// built without recursion.
QString writtenCode(const FieldTable& table, int index) {
    constexpr qsizetype kLongest = 300;
    QString code;
    struct Step {
        int field;
        size_t next;
    };
    std::vector<Step> stack{{index, 0}};
    while (!stack.empty() && code.size() <= kLongest) {
        Step& step = stack.back();
        const std::vector<Piece>& pieces = table.fields[static_cast<size_t>(step.field)].codePieces;
        if (step.next == pieces.size()) {
            stack.pop_back();
            if (!stack.empty())
                code += QLatin1Char('}');
            continue;
        }
        const Piece& p = pieces[step.next++];
        if (p.kind == Piece::Text)
            code += p.text;
        else if (p.kind == Piece::Mark)
            code += QLatin1Char(' ');
        else if (p.kind == Piece::Field) {
            code += QLatin1Char('{');
            stack.push_back({p.field, 0});
        }
    }
    if (code.size() > kLongest)
        code = code.left(kLongest) + QStringLiteral("...");
    return code.trimmed();
}

void collectFaults(const FieldTable& table, int index, QList<output::TemplateFault>& faults) {
    const CompiledField& f = table.fields[static_cast<size_t>(index)];
    output::TemplateFault fault;
    if (!f.fault.isEmpty()) {
        fault.reason = f.fault;
    } else if (!f.code.fault.isEmpty()) {
        fault.reason = f.code.fault;
    } else if (f.code.kind == FieldKind::MergeField && f.column < 0) {
        fault.reason = QStringLiteral("The merge file has no field \"%1\".")
                           .arg(f.code.args[0].staticText().trimmed());
        fault.missingField = true;
    }
    if (!fault.reason.isEmpty()) {
        fault.fieldCode = writtenCode(table, index);
        for (const output::TemplateFault& known : faults)
            if (known.fieldCode == fault.fieldCode && known.reason == fault.reason)
                return;
        faults << fault;
        return;
    }
    auto nested = [&](const std::vector<Piece>& pieces) {
        for (const Piece& p : pieces)
            if (p.kind == Piece::Field)
                collectFaults(table, p.field, faults);
    };
    nested(f.codePieces);
    if (f.code.kind == FieldKind::Other) // a merged field's old result is never read
        nested(f.result);
}

} // namespace

bool mergeFieldName(const QString& instruction, QString* name) {
    const fields::FieldCode code =
        fields::parseFieldCode({Piece{Piece::Text, instruction, {}, -1}});
    if (code.kind != FieldKind::MergeField || !code.fault.isEmpty())
        return false;
    if (name)
        *name = code.args[0].staticText().trimmed();
    return true;
}

QList<output::TemplateFault> templateFaults(const FieldTable& table) {
    QList<output::TemplateFault> faults;
    for (int index : table.placed)
        collectFaults(table, index, faults);
    return faults;
}

} // namespace qv::docx
