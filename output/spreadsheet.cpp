#include "output/spreadsheet.h"

#include "output/outputtext.h"

#include <QFile>
#include <array>
#include <xlsxwriter.h>

namespace qv::xlsx {

QString columnLetters(int column) {
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'a' + (c - 1) % 26));
    return letters;
}

namespace {
// Letters then the rest; the column number (zero-based) or -1.
int leadingColumn(const QString& text, qsizetype* used) {
    qsizetype i = 0;
    long long column = 0;
    while (i < text.size() && text[i].isLetter() && text[i].unicode() < 128) {
        column = column * 26 + (text[i].toLower().unicode() - u'a' + 1);
        if (column > kMaxColumns)
            return -1;
        ++i;
    }
    *used = i;
    return i == 0 ? -1 : static_cast<int>(column - 1);
}
// The common plain form, ASCII letters then up to nine ASCII digits ("a1", "AB12"): true with
// the cell when the address has that form, false when it needs the full reading.
bool parsePlainCell(QStringView a, int* row, int* column, bool* inSheet) {
    qsizetype i = 0;
    long long c = 0;
    for (; i < a.size() && i < 4; ++i) {
        const char16_t u = a[i].unicode() | 0x20; // lower case for letters
        if (u < u'a' || u > u'z')
            break;
        c = c * 26 + (u - u'a' + 1);
    }
    const qsizetype digits = a.size() - i;
    if (i == 0 || i == 4 || digits < 1 || digits > 9)
        return false;
    long long r = 0;
    for (; i < a.size(); ++i) {
        const char16_t u = a[i].unicode();
        if (u < u'0' || u > u'9')
            return false;
        r = r * 10 + (u - u'0');
    }
    *inSheet = c <= kMaxColumns && r >= 1 && r <= kMaxRows;
    if (*inSheet) {
        *row = static_cast<int>(r - 1);
        *column = static_cast<int>(c - 1);
    }
    return true;
}
} // namespace

bool parseCell(const QString& address, int* row, int* column) {
    if (bool inSheet = false; parsePlainCell(address, row, column, &inSheet))
        return inSheet;
    const QString a = address.trimmed().remove(QLatin1Char('$'));
    qsizetype used = 0;
    const int c = leadingColumn(a, &used);
    if (c < 0 || used == a.size())
        return false;
    bool ok = false;
    const QString digits = a.mid(used);
    for (QChar ch : digits)
        if (!ch.isDigit())
            return false;
    const long long r = digits.toLongLong(&ok);
    if (!ok || r < 1 || r > kMaxRows)
        return false;
    *row = static_cast<int>(r - 1);
    *column = c;
    return true;
}

bool parseColumns(const QString& address, int* first, int* last) {
    const QStringList parts = address.trimmed().remove(QLatin1Char('$')).split(QLatin1Char(':'));
    if (parts.size() != 2)
        return false;
    qsizetype u1 = 0, u2 = 0;
    const int a = leadingColumn(parts[0], &u1), b = leadingColumn(parts[1], &u2);
    if (a < 0 || b < 0 || u1 != parts[0].size() || u2 != parts[1].size())
        return false;
    *first = std::min(a, b);
    *last = std::max(a, b);
    return true;
}

namespace {
// The shape of a plain decimal: -?(0|[1-9][0-9]*)(\.[0-9]*[1-9])?, in ASCII. Tells whether it
// has a fraction.
bool isPlainDecimal(QStringView text, bool* fraction) {
    qsizetype i = text.startsWith(u'-') ? 1 : 0;
    const auto digit = [&text](qsizetype k) {
        return k < text.size() && text[k].unicode() >= u'0' && text[k].unicode() <= u'9';
    };
    if (!digit(i))
        return false;
    if (text[i] == u'0')
        ++i;
    else
        while (digit(i))
            ++i;
    *fraction = i < text.size();
    if (!*fraction)
        return true;
    if (text[i] != u'.' || !digit(i + 1))
        return false;
    for (++i; digit(i); ++i) {
    }
    return i == text.size() && text.back() != u'0';
}
} // namespace

bool isExactNumber(const QString& text, double* value) {
    bool fraction = false;
    if (text.isEmpty() || text.size() > 11 || text == QLatin1String("-0") ||
        !isPlainDecimal(text, &fraction))
        return false;
    int digits = 0;
    bool significant = false;
    for (QChar c : text) {
        if (!c.isDigit())
            continue;
        significant = significant || c != QLatin1Char('0');
        if (significant)
            ++digits;
    }
    if (digits > 15)
        return false;
    if (!fraction) {
        // A whole number of at most 11 characters is held exactly and shows as itself.
        if (value)
            *value = static_cast<double>(text.toLongLong());
        return true;
    }
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || QString::number(v, 'g', 15) != text)
        return false;
    if (value)
        *value = v;
    return true;
}

namespace {
// The width of one character, relative to the digit "0" of the default font (Calibri 11).
double characterWidth(QChar c) {
    const char16_t u = c.unicode();
    if (u == u'i' || u == u'l' || u == u'j' || u == u'I' || u == u'.' || u == u',' || u == u':' ||
        u == u';' || u == u'\'' || u == u'!' || u == u'|')
        return 0.45;
    if (u == u'f' || u == u'r' || u == u't' || u == u'J' || u == u'(' || u == u')' || u == u'[' ||
        u == u']' || u == u'-' || u == u' ' || u == u'/' || u == u'"')
        return 0.62;
    if (u == u'M' || u == u'W' || u == u'm' || u == u'w' || u == u'@' || u == u'%')
        return 1.45;
    return c.isUpper() ? 1.12 : 1.0;
}

// The widths of the ASCII characters, looked up rather than worked out for every cell.
const std::array<double, 128>& asciiWidths() {
    static const std::array<double, 128> widths = [] {
        std::array<double, 128> w{};
        for (char16_t u = 0; u < 128; ++u)
            w[u] = characterWidth(QChar(u));
        return w;
    }();
    return widths;
}
} // namespace

double fittedWidth(const QString& text) {
    const std::array<double, 128>& ascii = asciiWidths();
    double w = 0;
    for (QChar c : text)
        w += c.unicode() < 128 ? ascii[c.unicode()] : characterWidth(c);
    return std::min(255.0, w + 1.0);
}

bool Sheet::setValue(int row, int column, const QString& text, QString* error) {
    if (row < 0 || row >= kMaxRows || column < 0 || column >= kMaxColumns) {
        if (error)
            *error = QStringLiteral("A worksheet holds %1 rows of %2 columns; the cell in row %3, "
                                    "column %4 lies beyond them.")
                         .arg(kMaxRows)
                         .arg(kMaxColumns)
                         .arg(row + 1)
                         .arg(column + 1);
        return false;
    }
    if (text.size() > kMaxCellText) {
        if (error)
            *error = QStringLiteral("The value for cell %1%2 is %3 characters long; a cell holds "
                                    "at most %4.")
                         .arg(columnLetters(column).toUpper())
                         .arg(row + 1)
                         .arg(text.size())
                         .arg(kMaxCellText);
        return false;
    }
    if (static_cast<size_t>(row) >= rows_.size())
        rows_.resize(static_cast<size_t>(row) + 1);
    auto& cells = rows_[static_cast<size_t>(row)];
    // A new row is likely as wide as the one before it: room for that many cells at once.
    if (cells.empty() && row > 0)
        cells.reserve(rows_[static_cast<size_t>(row) - 1].size());
    if (static_cast<size_t>(column) >= cells.size())
        cells.resize(static_cast<size_t>(column) + 1);
    cells[static_cast<size_t>(column)] = text;
    return true;
}

QString Sheet::value(int row, int column) const {
    if (row < 0 || static_cast<size_t>(row) >= rows_.size())
        return {};
    const auto& cells = rows_[static_cast<size_t>(row)];
    return column >= 0 && static_cast<size_t>(column) < cells.size()
               ? cells[static_cast<size_t>(column)]
               : QString();
}

void Sheet::autoFit(int firstColumn, int lastColumn) {
    for (int c = firstColumn; c <= lastColumn; ++c) {
        double best = 0;
        for (const auto& cells : rows_)
            if (static_cast<size_t>(c) < cells.size() && !cells[static_cast<size_t>(c)].isEmpty())
                best = std::max(best, fittedWidth(cells[static_cast<size_t>(c)]));
        if (best > 0)
            widths_[c] = best;
    }
}

double Sheet::width(int column) const {
    const auto it = widths_.find(column);
    return it == widths_.end() ? kDefaultWidth : it->second;
}

namespace {
// The text as UTF-8 for the writer, a NUL shown as U+FFFD (it would end the C string). ASCII
// texts, most of them, are copied into the buffer that the last one left.
void cString(const QString& text, QByteArray* out) {
    const qsizetype n = text.size();
    const QChar* s = text.constData();
    qsizetype i = 0;
    while (i < n && s[i].unicode() > 0 && s[i].unicode() < 0x80)
        ++i;
    if (i < n) {
        *out = output::replaceNul(text).toUtf8();
        return;
    }
    out->resize(n);
    char* d = out->data();
    for (i = 0; i < n; ++i)
        d[i] = static_cast<char>(s[i].unicode());
}
} // namespace

bool Sheet::save(const QString& path, QString* error) const {
    const QByteArray file = QFile::encodeName(path);
    // Rows are written in order, so each goes straight to the sheet's file.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(file.constData(), &options);
    auto fail = [&](const QString& what) {
        if (error)
            *error = QStringLiteral("The workbook \"%1\" cannot be written: %2").arg(path, what);
        return false;
    };
    if (!book)
        return fail(QStringLiteral("the file cannot be created."));
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_error status = LXW_NO_ERROR;
    for (const auto& [column, w] : widths_)
        worksheet_set_column(sheet, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column),
                             w, nullptr);
    QByteArray utf8;
    for (size_t r = 0; r < rows_.size() && status == LXW_NO_ERROR; ++r) {
        const auto& cells = rows_[r];
        for (size_t c = 0; c < cells.size() && status == LXW_NO_ERROR; ++c) {
            const QString& text = cells[c];
            if (text.isEmpty())
                continue;
            double number = 0;
            if (isExactNumber(text, &number)) {
                status = worksheet_write_number(sheet, static_cast<lxw_row_t>(r),
                                                static_cast<lxw_col_t>(c), number, nullptr);
            } else {
                cString(text, &utf8);
                status =
                    worksheet_write_string(sheet, static_cast<lxw_row_t>(r),
                                           static_cast<lxw_col_t>(c), utf8.constData(), nullptr);
            }
        }
    }
    const lxw_error closed = workbook_close(book);
    if (status != LXW_NO_ERROR)
        return fail(QString::fromUtf8(lxw_strerror(status)));
    if (closed != LXW_NO_ERROR)
        return fail(QString::fromUtf8(lxw_strerror(closed)));
    return true;
}

} // namespace qv::xlsx
