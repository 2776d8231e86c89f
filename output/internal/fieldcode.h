#pragma once

#include <QString>
#include <cstdint>
#include <pugixml.hpp>
#include <vector>

// Field codes as a word processor writes them ("IF { MERGEFIELD Balance } > 0 "owe" "none"
// \* Upper"), read into the field's kind, its arguments and its switches. An argument keeps the
// pieces it was written with: characters together with the run that carries their look, nested
// fields, paragraph marks and other runs (a picture in the text of an IF), so a result built from
// it keeps the template's formatting and paragraphs.
namespace qv::fields {

// One piece of a field's code or result, or of what a field gives, in document order.
struct Piece {
    enum Kind : std::uint8_t {
        Text,  // characters; node: the run whose look they take
        Run,   // node: a run of the template to copy as it is
        Mark,  // a paragraph mark; node: the paragraph it ends (its properties)
        Field, // a nested field; field: its index
        Instr, // instruction text of a field kept for the word processor; node: its run
    };
    Kind kind = Text;
    QString text;
    pugi::xml_node node;
    int field = -1;
};

// One word of a field code: a plain word, a quoted text or a switch (\*, \# ...).
struct Token {
    bool quoted = false;
    std::vector<Piece> pieces;

    // True when no nested field decides the token's text.
    bool isStatic() const;
    // The characters of its text pieces (nested fields left out).
    QString staticText() const;
    // A switch: an unquoted word of a backslash and one character.
    bool isSwitch() const;
};

struct Switch {
    QChar letter; // lower case: '*', '#', '@', 'b', 'f', 'd', 'm', 'v', 'o', ...
    bool hasArgument = false;
    Token argument;
};

enum class FieldKind {
    MergeField,
    If,
    MergeRec,
    MergeSeq,
    Next,
    NextIf,
    SkipIf,
    Set,
    Ref, // REF, or a bare bookmark name that a SET or ASK field sets
    Ask,
    FillIn,
    Formula, // = and an expression: its words are the args, nested fields in place
    Other,   // kept for the word processor to update
};

enum class Comparison { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };

struct FieldCode {
    FieldKind kind = FieldKind::Other;
    QString keyword;         // the field type as written
    std::vector<Token> args; // the words after the type, switches taken out
    std::vector<Switch> switches;
    Comparison comparison = Comparison::Equal; // IF, NEXTIF and SKIPIF: args[1]
    QString fault;                             // why the code cannot be read; empty when it can

    const Switch* findSwitch(QChar letter) const;
    // A \* switch with that format name (any case), e.g. MERGEFORMAT.
    bool hasFormat(const char* format) const;
};

// Splits the code into words: blanks separate them, "..." is one word (\" and \\ inside stand for
// " and \), a nested field belongs to the word it is written in and is never split by the text
// it gives. Sets *fault for a quotation mark without its partner.
std::vector<Token> tokenize(const std::vector<Piece>& code, QString* fault);

// Reads the code of one field.
FieldCode parseFieldCode(const std::vector<Piece>& code);

// The kind a field type names (any case); Other for a type the merge leaves to the word processor.
FieldKind kindOf(const QString& keyword);

// "=", "<>", "<", "<=", ">", ">="; false for anything else.
bool parseComparison(const QString& text, Comparison* comparison);

} // namespace qv::fields
