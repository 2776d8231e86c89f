#pragma once

#include "output/internal/fieldeval.h"
#include "output/mergedata.h"
#include "output/mergeinteraction.h"

#include <QList>
#include <functional>
#include <pugixml.hpp>
#include <vector>

// Fields in word-processing XML: simple ones (w:fldSimple) and complex ones (field characters
// with the instruction split across any number of runs, nested to any depth, a result that may
// run over several paragraphs). A template's fields are read once: each outermost field gives way
// to a placeholder element and its runs move to a store in the same document. Every copy of the
// template then has its placeholders replaced by the fields' results for its record.
namespace qv::docx {

// Fields nested deeper than this, and XML elements, make a template the merge refuses.
inline constexpr int kMaxFieldNesting = 256;
inline constexpr int kMaxXmlNesting = 10000;

struct FieldTable {
    std::vector<fields::CompiledField> fields;
    std::vector<int> placed; // the outermost fields, each standing at a placeholder
    bool tooDeep = false;    // fields nest deeper than kMaxFieldNesting: nothing was compiled
};

// The element that stands for a field in a compiled part; its attribute "n" is the field's index.
inline constexpr const char* kPlaceholder = "qv:field";
// The element (last child of a part's root) that holds the runs of the compiled fields.
inline constexpr const char* kStore = "qv:store";

// Compiles the fields below root, text boxes included; the store is made as root's last child.
void compileFields(pugi::xml_node root, const output::MergeData& data, FieldTable& table);

// Once every part is compiled: REF fields and bare bookmark names that name a bookmark some SET
// or ASK field sets are merged; others stay for the word processor. Formulas that cannot be
// computed for any record (unreadable, naming what is neither a function nor such a bookmark,
// reading cells outside a table) get their fault.
void resolveBookmarks(FieldTable& table, const QLocale& locale);

// The table around a place in a copy, its cells' text as merged so far; false outside a table.
bool readFormulaTable(pugi::xml_node place, fields::FormulaTable* table);

// The placed fields (and the fields nested in them) the merge cannot fill as written: codes that
// cannot be read and merge fields the merge file does not have. Each fault once.
QList<output::TemplateFault> templateFaults(const FieldTable& table);

// True when the subtree holds a placeholder or a foot- or endnote reference.
bool needsExpanding(pugi::xml_node node);

// Puts results in place of the placeholders below a copy of compiled content.
class FieldExpander {
public:
    // Called for each w:footnoteReference and w:endnoteReference met, in document order.
    using NoteHook = std::function<void(pugi::xml_node reference)>;

    FieldExpander(const FieldTable& table, fields::FieldEvaluator& evaluator, NoteHook notes = {});
    // Replaces every placeholder below node, in document order (node itself is not one).
    void expand(pugi::xml_node node);

private:
    void place(pugi::xml_node placeholder);
    void alternatives(pugi::xml_node alternateContent);

    // Alternate content inside alternate content past this depth is walked as plain content.
    static constexpr int kMaxAlternatives = 16;

    const FieldTable& table_;
    fields::FieldEvaluator& evaluator_;
    NoteHook notes_;
    int alternativesDepth_ = 0;
};

// Run content for a value: text, a tab element for a tab and a line break for a line end (CR,
// LF or CR LF); characters XML cannot carry are dropped.
void appendRunText(pugi::xml_node run, const QString& value);

} // namespace qv::docx
