#pragma once

#include <QString>
#include <map>
#include <vector>

// One worksheet held in memory and written as an .xlsx workbook with libxlsxwriter. Values
// are kept exactly as given: a text becomes a number only when the number shows as the same
// text again; everything else is written as text, a NUL showing as U+FFFD (see outputtext.h).
namespace qv::xlsx {

inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;
inline constexpr int kMaxCellText = 32767;
inline constexpr double kDefaultWidth = 8.43;

// Zero-based column number to its letters in lower case: 0 -> "a", 25 -> "z", 26 -> "aa".
QString columnLetters(int column);
// "a1", "AB12": zero-based row and column; false when it is not a single cell in the sheet.
bool parseCell(const QString& address, int* row, int* column);
// "a:a", "b:d": zero-based first and last column; false otherwise.
bool parseColumns(const QString& address, int* first, int* last);

// True when the text is a plain decimal number that shows as the same text once stored as a
// number (no leading zeros, no trailing fraction zeros, no sign other than a leading "-",
// at most 15 significant digits and 11 characters).
bool isExactNumber(const QString& text, double* value = nullptr);

// The width, in characters of the default font, that shows the text in full.
double fittedWidth(const QString& text);

class Sheet {
public:
    // False with a message when the cell lies outside a sheet or the text is too long.
    bool setValue(int row, int column, const QString& text, QString* error);
    QString value(int row, int column) const;
    // Fits the columns to their longest texts; a column without values keeps its width.
    void autoFit(int firstColumn, int lastColumn);
    double width(int column) const;

    int rowCount() const { return static_cast<int>(rows_.size()); }

    // Writes the workbook (one sheet, "Sheet1"); false with a message on failure.
    bool save(const QString& path, QString* error) const;

private:
    std::vector<std::vector<QString>> rows_;
    std::map<int, double> widths_;
};

} // namespace qv::xlsx
