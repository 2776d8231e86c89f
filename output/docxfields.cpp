#include "output/docxfields.h"

#include "output/docx.h"
#include "output/docxparts.h"
#include "output/outputtext.h"

#include <algorithm>
#include <cstring>

namespace qv::docx {

namespace {

struct FieldInstruction {
    QString name, before, after, format;
};

// Splits a field instruction into words; quoted text is one word without its quotes.
QStringList instructionWords(const QString& instr) {
    QStringList words;
    qsizetype i = 0;
    const qsizetype n = instr.size();
    while (i < n) {
        while (i < n && instr[i].isSpace())
            ++i;
        if (i >= n)
            break;
        QString w;
        if (instr[i] == QLatin1Char('"')) {
            ++i;
            while (i < n && instr[i] != QLatin1Char('"')) {
                if (instr[i] == QLatin1Char('\\') && i + 1 < n && instr[i + 1] == QLatin1Char('"'))
                    ++i;
                w += instr[i++];
            }
            ++i;
        } else {
            while (i < n && !instr[i].isSpace())
                w += instr[i++];
        }
        words << w;
    }
    return words;
}

bool parseInstruction(const QString& instr, FieldInstruction* f) {
    const QStringList words = instructionWords(instr);
    if (words.size() < 2 || words[0].compare(QLatin1String("MERGEFIELD"), Qt::CaseInsensitive) != 0)
        return false;
    f->name = words[1];
    for (qsizetype i = 2; i < words.size(); ++i) {
        const QString sw = words[i].toLower();
        const QString next = i + 1 < words.size() ? words[i + 1] : QString();
        if (sw == QLatin1String("\\b")) {
            f->before = next;
            ++i;
        } else if (sw == QLatin1String("\\f")) {
            f->after = next;
            ++i;
        } else if (sw == QLatin1String("\\*")) {
            f->format = next.toLower();
            ++i;
        }
    }
    return true;
}

QString fieldText(const FieldInstruction& f, const output::MergeData& data, qsizetype record) {
    QString v = data.value(record, data.fieldIndex(f.name));
    if (f.format == QLatin1String("upper"))
        v = v.toUpper();
    else if (f.format == QLatin1String("lower"))
        v = v.toLower();
    else if (f.format == QLatin1String("firstcap") && !v.isEmpty())
        v[0] = v[0].toUpper();
    else if (f.format == QLatin1String("caps")) {
        bool start = true;
        for (QChar& c : v) {
            if (start && c.isLetter())
                c = c.toUpper();
            start = c.isSpace();
        }
    }
    if (v.isEmpty())
        return v;
    return f.before + v + f.after;
}

// The value as run content: pieces of text, a tab element for a tab and a line break for a line
// end (CR, LF or CR LF); characters XML cannot carry are dropped.
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

pugi::xml_node insertValueRun(pugi::xml_node before, pugi::xml_node rPrSource,
                              const QString& text) {
    pugi::xml_node run = before.parent().insert_child_before("w:r", before);
    if (pugi::xml_node rPr = rPrSource.child("w:rPr"))
        run.append_copy(rPr);
    appendRunText(run, text);
    return run;
}

bool isFieldPart(pugi::xml_node n) {
    return is(n, "w:fldChar") || is(n, "w:instrText");
}

void collectRuns(pugi::xml_node node, std::vector<pugi::xml_node>& runs);

// Gives every field character and instruction piece a run of its own, so fields can be
// replaced run by run.
void splitFieldRuns(pugi::xml_node root) {
    std::vector<pugi::xml_node> all, runs;
    if (is(root, "w:r"))
        all.push_back(root);
    collectRuns(root, all);
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

void collectRuns(pugi::xml_node node, std::vector<pugi::xml_node>& runs) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        if (is(c, "w:r"))
            runs.push_back(c);
        collectRuns(c, runs);
    }
}

void collectSimpleFields(pugi::xml_node node, std::vector<pugi::xml_node>& fields) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        if (is(c, "w:fldSimple"))
            fields.push_back(c);
        else
            collectSimpleFields(c, fields);
    }
}

pugi::xml_node firstRun(pugi::xml_node node) {
    for (pugi::xml_node c : node.children()) {
        if (is(c, "w:r"))
            return c;
        if (pugi::xml_node r = firstRun(c))
            return r;
    }
    return {};
}

// Simple fields (w:fldSimple) become a run with the value.
void replaceSimpleFields(pugi::xml_node root, const output::MergeData& data, qsizetype record) {
    std::vector<pugi::xml_node> simple;
    if (is(root, "w:fldSimple"))
        simple.push_back(root);
    else
        collectSimpleFields(root, simple);
    for (pugi::xml_node f : simple) {
        FieldInstruction fi;
        if (!parseInstruction(attr(f, "w:instr"), &fi))
            continue;
        insertValueRun(f, firstRun(f), fieldText(fi, data, record));
        f.parent().remove_child(f);
    }
}

// A complex field to replace: its runs from begin to end, the run whose look the value takes.
struct Replace {
    size_t begin, end, style;
    QString text;
};

// The merge fields among the runs, from their field characters and instruction pieces.
std::vector<Replace> complexFields(const std::vector<pugi::xml_node>& runs,
                                   const output::MergeData& data, qsizetype record) {
    struct Open {
        size_t begin;
        QString instruction;
        bool separated = false;
        size_t resultRun = 0;
    };
    std::vector<Open> open;
    std::vector<Replace> replaces;
    for (size_t i = 0; i < runs.size(); ++i) {
        for (pugi::xml_node c : runs[i].children()) {
            if (is(c, "w:fldChar")) {
                const char* type = c.attribute("w:fldCharType").value();
                if (std::strcmp(type, "begin") == 0) {
                    open.push_back({i, {}, false, 0});
                } else if (std::strcmp(type, "separate") == 0 && !open.empty()) {
                    open.back().separated = true;
                    open.back().resultRun = i + 1;
                } else if (std::strcmp(type, "end") == 0 && !open.empty()) {
                    const Open f = open.back();
                    open.pop_back();
                    FieldInstruction fi;
                    if (parseInstruction(f.instruction, &fi)) {
                        const size_t style = f.separated && f.resultRun < i ? f.resultRun : f.begin;
                        replaces.push_back({f.begin, i, style, fieldText(fi, data, record)});
                    }
                }
            } else if (is(c, "w:instrText") && !open.empty() && !open.back().separated) {
                open.back().instruction += QString::fromUtf8(c.text().get());
            }
        }
    }
    return replaces;
}

// Puts each value in place of its field's runs.
void applyReplacements(const std::vector<pugi::xml_node>& runs, std::vector<Replace> replaces) {
    // Outer fields end after inner ones: keep a replacement only when no kept one covers it.
    std::sort(replaces.begin(), replaces.end(),
              [](const Replace& a, const Replace& b) { return a.begin < b.begin; });
    std::vector<char> removed(runs.size(), 0);
    size_t coveredTo = 0;
    bool any = false;
    for (const Replace& r : replaces) {
        if (any && r.begin <= coveredTo)
            continue;
        insertValueRun(runs[r.begin], runs[r.style], r.text);
        for (size_t k = r.begin; k <= r.end; ++k)
            removed[k] = 1;
        coveredTo = r.end;
        any = true;
    }
    // Later runs first, so a run inside a removed run goes before its container.
    for (size_t k = runs.size(); k-- > 0;)
        if (removed[k])
            runs[k].parent().remove_child(runs[k]);
}

} // namespace

void mergeFields(const std::vector<pugi::xml_node>& roots, const output::MergeData& data,
                 qsizetype record) {
    for (pugi::xml_node root : roots) {
        replaceSimpleFields(root, data, record);
        splitFieldRuns(root);
    }
    std::vector<pugi::xml_node> runs;
    for (pugi::xml_node root : roots) {
        if (is(root, "w:r"))
            runs.push_back(root);
        collectRuns(root, runs);
    }
    std::vector<Replace> replaces = complexFields(runs, data, record);
    if (!replaces.empty())
        applyReplacements(runs, std::move(replaces));
}

bool mergeFieldName(const QString& instruction, QString* name) {
    FieldInstruction f;
    if (!parseInstruction(instruction, &f))
        return false;
    if (name)
        *name = f.name;
    return true;
}

} // namespace qv::docx
