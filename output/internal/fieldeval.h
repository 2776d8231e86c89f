#pragma once

#include "output/fieldformula.h"
#include "output/internal/fieldcode.h"
#include "output/mergedata.h"
#include "output/mergeinteraction.h"

#include <QHash>
#include <QLocale>
#include <QString>
#include <functional>
#include <vector>

// The merge's fields evaluated for one record at a time: what each field gives (its result as
// pieces with the template's formatting), and what it does to the merge (NEXT moves on to the
// next record, SKIPIF drops the copy, SET and ASK set bookmarks, ASK and FILLIN ask the operator).
namespace qv::fields {

// A field of the template, read once before the first record.
struct CompiledField {
    FieldCode code;
    std::vector<Piece> codePieces;       // the instruction
    std::vector<Piece> result;           // the result the template holds (after the separator)
    pugi::xml_node begin, separate, end; // its field characters' runs (separate may be empty)
    pugi::xml_node codeLook;             // the run of the code's first character
    pugi::xml_node resultLook;           // the first run of the template's result, if any
    int column = -1;                     // MERGEFIELD: the merge file's field; -1 when it has none
    pugi::xml_node cell;                 // the table cell it stands in, if any
    QString written;                     // the code as written, nested fields in braces
    QString fault;                       // why the merge cannot place the field; empty when it can
};

// Thrown when the operator cancels a question: the merge stops.
struct MergeCancelled {};
// Thrown by a SKIPIF whose condition holds: the copy being built is dropped.
struct SkipRecord {};

class FieldEvaluator {
public:
    FieldEvaluator(const std::vector<CompiledField>& fields, const output::MergeData& data,
                   output::MergeInteraction& interaction, const QLocale& locale);

    // A new copy starts with this record (index into data.records).
    void startCopy(qsizetype record);
    // The copy was kept: its records count for MERGESEQ.
    void finishCopy();
    // The current record; data.records.size() once NEXT has gone past the last one.
    qsizetype record() const { return record_; }
    void setRecord(qsizetype record) { record_ = record; }
    qsizetype copyStart() const { return copyStart_; }

    // Reads the table around a place of the copy being merged; false when it stands in none.
    using TableReader = std::function<bool(pugi::xml_node place, FormulaTable* table)>;
    void setTableReader(TableReader reader) { tableReader_ = std::move(reader); }
    // Where the copy's outermost field being evaluated stands (for formulas that read cells).
    void setPlace(pugi::xml_node place) { place_ = place; }

    // Appends what the field gives for the current record. May move on to further records
    // (NEXT, NEXTIF), throw SkipRecord (SKIPIF) or MergeCancelled (a question cancelled).
    void evaluate(int field, std::vector<Piece>& out);

private:
    void value(const CompiledField& f, const QString& raw, std::vector<Piece>& out);
    QString formatted(const CompiledField& f, QString text);
    pugi::xml_node look(const CompiledField& f) const;
    void ifField(const CompiledField& f, std::vector<Piece>& out);
    void formatPieces(const CompiledField& f, std::vector<Piece>& pieces);
    bool condition(const CompiledField& f);
    void pieces(const Token& token, std::vector<Piece>& out);
    QString text(const Token& token);
    QString ask(const CompiledField& f);
    void live(const CompiledField& f, std::vector<Piece>& out);
    void formula(const CompiledField& f, std::vector<Piece>& out);
    QString fieldValue(const CompiledField& f);
    void advance();

    struct Answer {
        QString text;
        bool everyRecord = false;
        qsizetype record = 0;
    };

    const std::vector<CompiledField>& fields_;
    const output::MergeData& data_;
    output::MergeInteraction& interaction_;
    QLocale locale_;
    qsizetype record_ = 0, copyStart_ = 0, merged_ = 0;
    QHash<QString, QString> bookmarks_; // SET and ASK, by lower-case name
    QHash<QString, Answer> answers_;    // ASK and FILLIN, by bookmark and prompt
    TableReader tableReader_;
    pugi::xml_node place_;
};

// The text of pieces: characters, a paragraph mark as CR.
QString textOf(const std::vector<Piece>& pieces);

// a compared with b as IF compares: numbers as numbers, text as text (case counts); with = and <>
// a quoted b may hold the wildcards ? (one character) and * (any characters).
bool compareValues(const QString& a, Comparison op, const QString& b, bool bQuoted,
                   const QLocale& locale);

} // namespace qv::fields
