#pragma once

#include <QLocale>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

// The formula field ("= { MERGEFIELD Qty } * { MERGEFIELD Price }"): its text, nested fields
// already replaced by their results, computed as the word processor computes it. Operators
// + - * / % ^ and the comparisons, parentheses, numbers written with the locale's decimal point
// (its group separator between groups of three digits, a currency sign before them), bookmarks,
// the functions ABS AND AVERAGE COUNT DEFINED FALSE IF INT MAX MIN MOD NOT OR PRODUCT ROUND SIGN
// SUM TRUE, and the cells of the table the field stands in (A1, B2:C4, ABOVE, BELOW, LEFT,
// RIGHT). Arguments are separated by the locale's list separator: ";" where the decimal point is
// a comma, else ",".
namespace qv::fields {

// The table a formula stands in, read as text: each row's cells, and the formula's own cell.
struct FormulaTable {
    std::vector<QStringList> rows;
    int row = 0, column = 0;
};

// What a formula reads besides its own text.
struct FormulaSources {
    // A bookmark's text by name (any case); nullopt when no bookmark has that name.
    std::function<std::optional<QString>(const QString&)> bookmark;
    // The table the formula stands in, asked only when the formula refers to cells; nullptr when
    // it stands in none.
    std::function<const FormulaTable*()> table;
    // Told of every cell of the table the formula reads (row and column from 0).
    std::function<void(int row, int column)> cellRead;
};

struct FormulaResult {
    double value = 0;
    // The word processor's text for a formula it cannot compute ("!Zero Divide", "!Syntax Error,
    // *", "!Undefined Bookmark, Total", "!Unexpected End of Formula", "!Missing Operator");
    // empty when the value was computed.
    QString error;
    bool refersToCells = false; // the formula read (or tried to read) table cells
};

FormulaResult evaluateFormula(const QString& formula, const QLocale& locale,
                              const FormulaSources& sources);

// Why a formula cannot be computed for any record, checked before anything is merged: its text
// with every nested field standing for a number, the bookmarks that SET and ASK fields set (lower
// case), and the table the field stands in (null outside tables; its cells' text is not read).
// filledAfter(row, column) tells whether a cell holds fields that the merge fills only after the
// formula: a formula that reads one would read it unmerged. Empty when it can be computed.
QString formulaFault(const QString& formula, const QLocale& locale, const QSet<QString>& bookmarks,
                     const FormulaTable* table,
                     const std::function<bool(int row, int column)>& filledAfter = {});

// A formula's value as the word processor shows it without a numeric picture: rounded to two
// decimal places, no trailing zeros, no grouping.
QString formulaText(double value, const QLocale& locale);

} // namespace qv::fields
