// The formula field's expressions: read and computed in one pass, by recursive descent whose depth
// is bounded (kMaxNesting), so no formula can exhaust the stack.
#include "output/fieldformula.h"

#include "output/fieldformat.h"
#include "output/numberdigits.h"
#include "output/numbersymbols.h"

#include <cmath>

namespace qv::fields {

using namespace Qt::StringLiterals;

namespace {

// x rounded half away from zero to `places` decimal places, on its decimal digits as written.
double roundedTo(double x, int places) {
    if (places < 0) {
        const double scale = std::pow(10.0, -places);
        return std::round(x / scale) * scale;
    }
    const RoundedNumber r = roundNumber(x, std::min(places, 15));
    const QByteArray whole(r.integerDigits, r.integerLength);
    const QByteArray t = (r.negative ? "-" : "") + (whole.isEmpty() ? QByteArray("0") : whole) +
                         '.' + QByteArray(r.fractionDigits, r.places);
    return t.toDouble();
}

constexpr int kMaxNesting = 256; // parentheses and function calls inside one another

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isNameStart(QChar c) {
    return c.isLetter() || c == u'_';
}

// A value, or the error text that stands for it; errors carry through the operators.
struct Value {
    double number = 0;
    QString error;
};

Value fail(const QString& error) {
    return Value{0, error};
}

QString zeroDivide() {
    return QStringLiteral("!Zero Divide");
}

enum class Tok { End, Number, Name, Op, Open, Close, Separator, Colon, Bad };

// A cell address such as "B3": column and row from 0; false for any other name.
bool cellAddress(const QString& name, int* row, int* column) {
    qsizetype i = 0;
    int col = 0;
    while (i < name.size() && i < 2 && name[i].isLetter() && name[i].unicode() < 128) {
        col = col * 26 + (name[i].toUpper().unicode() - 'A' + 1);
        ++i;
    }
    if (i == 0 || i == name.size() || name.size() - i > 5)
        return false;
    int r = 0;
    for (qsizetype k = i; k < name.size(); ++k) {
        if (!isDigit(name[k]))
            return false;
        r = r * 10 + (name[k].unicode() - '0');
    }
    *row = r - 1;
    *column = col - 1;
    return true;
}

bool isPosition(const QString& name) {
    for (const char* p : {"ABOVE", "BELOW", "LEFT", "RIGHT"})
        if (name.compare(QLatin1StringView(p), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool nearlyEqual(double a, double b) {
    return std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

class Parser {
public:
    Parser(const QString& text, const QLocale& locale, const FormulaSources& sources)
        : s_(text), sources_(sources), symbols_(numberSymbols(locale)) {
        listSeparator_ = symbols_.decimalPoint == QLatin1String(",") ? u';' : u',';
    }

    FormulaResult run();

    QString undefinedName; // the first bookmark not found outside DEFINED()
    bool readCells = false;
    bool cellsMissing = false; // cells were read with no table to read them from

private:
    void next();
    void lexNumber();
    struct Saved {
        qsizetype pos;
        Tok tok;
        QString text;
        double number;
    };
    Saved save() const { return {pos_, tok_, text_, number_}; }
    void restore(const Saved& s) {
        pos_ = s.pos;
        tok_ = s.tok;
        text_ = s.text;
        number_ = s.number;
    }
    bool isOp(const char* op) const { return tok_ == Tok::Op && text_ == QLatin1StringView(op); }
    // Marks the formula unreadable at the current token; the first mark wins.
    void syntaxError() {
        if (!syntax_.isEmpty())
            return;
        if (tok_ == Tok::End)
            syntax_ = QStringLiteral("!Unexpected End of Formula");
        else if (tok_ == Tok::Number || tok_ == Tok::Name || tok_ == Tok::Open)
            syntax_ = QStringLiteral("!Missing Operator");
        else
            syntax_ = QStringLiteral("!Syntax Error, ") + text_;
    }
    bool failed() const { return !syntax_.isEmpty(); }

    Value comparison();
    Value additive();
    Value multiplicative();
    Value power();
    Value percent();
    Value unary();
    Value primary();
    Value name(const QString& name);
    Value call(const QString& name);
    Value listFunction(const QString& name);
    bool fixedArguments(int count, std::vector<Value>& args);
    bool listArgument(std::vector<double>& values, int& items, QString& error);
    bool cellRange(int fromRow, int fromColumn, int toRow, int toColumn,
                   std::vector<double>& values);
    bool positional(const QString& position, std::vector<double>& values);
    Value cell(int row, int column);
    const FormulaTable* table();

    const QString& s_;
    const FormulaSources& sources_;
    const NumberSymbols& symbols_;
    QChar listSeparator_;
    qsizetype pos_ = 0;
    Tok tok_ = Tok::End;
    QString text_;
    double number_ = 0;
    QString syntax_;
    int depth_ = 0;   // nesting of parentheses and calls
    int calls_ = 0;   // inside a call's arguments, where the list separator ends a number
    int defined_ = 0; // inside DEFINED(), where a missing bookmark is a value of 0
};

void Parser::next() {
    while (pos_ < s_.size() && s_[pos_].isSpace())
        ++pos_;
    text_.clear();
    if (pos_ >= s_.size()) {
        tok_ = Tok::End;
        return;
    }
    const QChar c = s_[pos_];
    const QStringView rest = QStringView(s_).mid(pos_);
    const bool currency = c == u'$' || c == u'€' || c == u'£' || c == u'¥' ||
                          (!symbols_.currencySymbol.isEmpty() &&
                           rest.startsWith(symbols_.currencySymbol) && !c.isLetter());
    if (currency) { // a currency sign before a number is read past
        const qsizetype after =
            pos_ +
            (c == u'$' || c == u'€' || c == u'£' || c == u'¥' ? 1 : symbols_.currencySymbol.size());
        if (after < s_.size() &&
            (isDigit(s_[after]) || QStringView(s_).mid(after).startsWith(symbols_.decimalPoint))) {
            pos_ = after;
            lexNumber();
            return;
        }
    }
    if (isDigit(c) || (rest.startsWith(symbols_.decimalPoint) &&
                       pos_ + symbols_.decimalPoint.size() < s_.size() &&
                       isDigit(s_[pos_ + symbols_.decimalPoint.size()]))) {
        lexNumber();
        return;
    }
    if (isNameStart(c)) {
        const qsizetype start = pos_;
        while (pos_ < s_.size() && (s_[pos_].isLetterOrNumber() || s_[pos_] == u'_'))
            ++pos_;
        tok_ = Tok::Name;
        text_ = s_.mid(start, pos_ - start);
        return;
    }
    ++pos_;
    text_ = QString(c);
    if (c == u'(')
        tok_ = Tok::Open;
    else if (c == u')')
        tok_ = Tok::Close;
    else if (c == listSeparator_)
        tok_ = Tok::Separator;
    else if (c == u':')
        tok_ = Tok::Colon;
    else if (QStringLiteral("+-*/^%=<>").contains(c)) {
        tok_ = Tok::Op;
        if (pos_ < s_.size() && ((c == u'<' && (s_[pos_] == u'=' || s_[pos_] == u'>')) ||
                                 (c == u'>' && s_[pos_] == u'=')))
            text_ += s_[pos_++];
    } else
        tok_ = Tok::Bad;
}

// Digits, the locale's group separator between groups of three (not where it also separates a
// call's arguments), the decimal point and the fraction.
void Parser::lexNumber() {
    QByteArray digits;
    const QString& group = symbols_.groupSeparator;
    const bool groups = !group.isEmpty() && !symbols_.groupIsSpace &&
                        (group != QString(listSeparator_) || calls_ == 0);
    while (pos_ < s_.size() && isDigit(s_[pos_]))
        digits += char(s_[pos_++].unicode());
    while (groups && !digits.isEmpty() && QStringView(s_).mid(pos_).startsWith(group)) {
        const qsizetype at = pos_ + group.size();
        const bool three = at + 3 <= s_.size() && isDigit(s_[at]) && isDigit(s_[at + 1]) &&
                           isDigit(s_[at + 2]) && !(at + 3 < s_.size() && isDigit(s_[at + 3]));
        if (!three)
            break;
        for (qsizetype k = at; k < at + 3; ++k)
            digits += char(s_[k].unicode());
        pos_ = at + 3;
    }
    if (QStringView(s_).mid(pos_).startsWith(symbols_.decimalPoint)) {
        pos_ += symbols_.decimalPoint.size();
        digits += '.';
        while (pos_ < s_.size() && isDigit(s_[pos_]))
            digits += char(s_[pos_++].unicode());
    }
    tok_ = Tok::Number;
    text_ = QString::fromLatin1(digits);
    bool ok = false;
    number_ = digits.toDouble(&ok);
}

FormulaResult Parser::run() {
    next();
    const Value v = comparison();
    if (!failed() && tok_ != Tok::End)
        syntaxError();
    FormulaResult r;
    r.refersToCells = readCells;
    if (failed())
        r.error = syntax_;
    else if (!v.error.isEmpty())
        r.error = v.error;
    else if (!std::isfinite(v.number))
        r.error = zeroDivide();
    else
        r.value = v.number;
    return r;
}

Value Parser::comparison() {
    Value a = additive();
    while (!failed() && tok_ == Tok::Op &&
           (isOp("=") || isOp("<>") || isOp("<") || isOp("<=") || isOp(">") || isOp(">="))) {
        const QString op = text_;
        next();
        const Value b = additive();
        if (a.error.isEmpty() && !b.error.isEmpty())
            a.error = b.error;
        const bool eq = nearlyEqual(a.number, b.number);
        bool holds = false;
        if (op == QLatin1String("="))
            holds = eq;
        else if (op == QLatin1String("<>"))
            holds = !eq;
        else if (op == QLatin1String("<"))
            holds = !eq && a.number < b.number;
        else if (op == QLatin1String("<="))
            holds = eq || a.number < b.number;
        else if (op == QLatin1String(">"))
            holds = !eq && a.number > b.number;
        else
            holds = eq || a.number > b.number;
        a.number = holds ? 1 : 0;
    }
    return a;
}

Value Parser::additive() {
    Value a = multiplicative();
    while (!failed() && (isOp("+") || isOp("-"))) {
        const bool plus = isOp("+");
        next();
        const Value b = multiplicative();
        if (a.error.isEmpty() && !b.error.isEmpty())
            a.error = b.error;
        a.number = plus ? a.number + b.number : a.number - b.number;
    }
    return a;
}

Value Parser::multiplicative() {
    Value a = power();
    while (!failed() && (isOp("*") || isOp("/"))) {
        const bool times = isOp("*");
        next();
        const Value b = power();
        if (a.error.isEmpty() && !b.error.isEmpty())
            a.error = b.error;
        if (times)
            a.number *= b.number;
        else if (b.number == 0 && a.error.isEmpty())
            a.error = zeroDivide();
        else if (b.number != 0)
            a.number /= b.number;
    }
    return a;
}

Value Parser::power() {
    Value a = percent();
    while (!failed() && isOp("^")) {
        next();
        const Value b = percent();
        if (a.error.isEmpty() && !b.error.isEmpty())
            a.error = b.error;
        a.number = std::pow(a.number, b.number);
        if (!std::isfinite(a.number) && a.error.isEmpty())
            a.error = QStringLiteral("!Syntax Error, ^");
    }
    return a;
}

Value Parser::percent() {
    Value a = unary();
    while (!failed() && isOp("%")) {
        a.number /= 100;
        next();
    }
    return a;
}

// Signs before an operand, read in a loop (a long run of them never deepens the stack).
Value Parser::unary() {
    bool negative = false;
    while (!failed() && (isOp("-") || isOp("+"))) {
        negative = negative != isOp("-");
        next();
    }
    Value v = primary();
    if (negative)
        v.number = -v.number;
    return v;
}

Value Parser::primary() {
    if (failed())
        return {};
    if (tok_ == Tok::Number) {
        const double n = number_;
        next();
        return {n, {}};
    }
    if (tok_ == Tok::Name) {
        const QString n = text_;
        next();
        return tok_ == Tok::Open ? call(n) : name(n);
    }
    if (tok_ != Tok::Open) {
        syntaxError();
        return {};
    }
    if (++depth_ > kMaxNesting) {
        syntax_ = QStringLiteral("!Syntax Error, (");
        return {};
    }
    next();
    const Value v = comparison();
    --depth_;
    if (!failed() && tok_ != Tok::Close)
        syntaxError();
    if (!failed())
        next();
    return v;
}

// A name on its own: TRUE, FALSE, a cell or a bookmark.
Value Parser::name(const QString& n) {
    if (n.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0)
        return {1, {}};
    if (n.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0)
        return {0, {}};
    int row = 0, column = 0;
    if (cellAddress(n, &row, &column)) {
        if (tok_ == Tok::Colon) { // a range stands only among a list function's arguments
            syntaxError();
            return {};
        }
        return cell(row, column);
    }
    if (isPosition(n)) {
        syntax_ = QStringLiteral("!Syntax Error, ") + n;
        return {};
    }
    const std::optional<QString> text =
        sources_.bookmark ? sources_.bookmark(n) : std::optional<QString>();
    if (!text) {
        if (defined_ == 0 && undefinedName.isEmpty())
            undefinedName = n;
        return fail(QStringLiteral("!Undefined Bookmark, ") + n);
    }
    if (text->trimmed().isEmpty())
        return {0, {}};
    const std::optional<double> v = parseNumber(*text, symbols_.locale);
    return v ? Value{*v, {}} : fail(QStringLiteral("!Syntax Error, ") + text->trimmed());
}

const FormulaTable* Parser::table() {
    readCells = true;
    const FormulaTable* t = sources_.table ? sources_.table() : nullptr;
    cellsMissing = cellsMissing || !t;
    return t;
}

Value Parser::cell(int row, int column) {
    if (row < 0)
        return fail(QStringLiteral("!Table Index Cannot be Zero"));
    const FormulaTable* t = table();
    if (!t)
        return {};
    if (row >= int(t->rows.size()) || column >= t->rows[size_t(row)].size())
        return {};
    if (sources_.cellRead)
        sources_.cellRead(row, column);
    const std::optional<double> v = parseNumber(t->rows[size_t(row)][column], symbols_.locale);
    return {v.value_or(0), {}};
}

// A call: its name, then its arguments in parentheses.
Value Parser::call(const QString& n) {
    if (++depth_ > kMaxNesting) {
        syntax_ = QStringLiteral("!Syntax Error, (");
        return {};
    }
    const QString f = n.toUpper();
    ++calls_;
    next(); // past "("
    Value v;
    std::vector<Value> args;
    auto firstError = [&args]() -> QString {
        for (const Value& a : args)
            if (!a.error.isEmpty())
                return a.error;
        return {};
    };
    static const QStringList kList{u"SUM"_s,   u"PRODUCT"_s, u"AVERAGE"_s,
                                   u"COUNT"_s, u"MAX"_s,     u"MIN"_s};
    if (kList.contains(f)) {
        v = listFunction(f);
    } else if (f == u"DEFINED") {
        ++defined_;
        if (fixedArguments(1, args))
            v = Value{args[0].error.isEmpty() ? 1.0 : 0.0, {}};
        --defined_;
    } else if (f == u"IF") {
        if (fixedArguments(3, args))
            v = !args[0].error.isEmpty() ? args[0] : (args[0].number != 0 ? args[1] : args[2]);
    } else if (f == u"TRUE" || f == u"FALSE") {
        if (fixedArguments(0, args))
            v = Value{f == u"TRUE" ? 1.0 : 0.0, {}};
    } else if (f == u"ABS" || f == u"INT" || f == u"NOT" || f == u"SIGN") {
        if (fixedArguments(1, args)) {
            const double x = args[0].number;
            v.error = args[0].error;
            v.number = f == u"ABS"   ? std::fabs(x)
                       : f == u"INT" ? std::trunc(x)
                       : f == u"NOT" ? (x == 0 ? 1 : 0)
                                     : (x > 0 ? 1 : (x < 0 ? -1 : 0));
        }
    } else if (f == u"MOD" || f == u"ROUND" || f == u"AND" || f == u"OR") {
        if (fixedArguments(2, args)) {
            const double x = args[0].number, y = args[1].number;
            v.error = firstError();
            if (f == u"MOD") {
                if (y == 0 && v.error.isEmpty())
                    v.error = zeroDivide();
                v.number = y == 0 ? 0 : std::fmod(x, y);
            } else if (f == u"ROUND") {
                v.number = roundedTo(x, int(std::trunc(y)));
            } else {
                v.number = f == u"AND" ? (x != 0 && y != 0) : (x != 0 || y != 0);
            }
        }
    } else {
        syntax_ = QStringLiteral("!Syntax Error, ") + n;
        if (undefinedName.isEmpty())
            undefinedName = n;
    }
    --calls_;
    --depth_;
    return v;
}

// Exactly `count` arguments, then ")".
bool Parser::fixedArguments(int count, std::vector<Value>& args) {
    for (int i = 0; i < count && !failed(); ++i) {
        if (i > 0) {
            if (tok_ != Tok::Separator) {
                syntaxError();
                break;
            }
            next();
        }
        args.push_back(comparison());
    }
    if (!failed() && tok_ != Tok::Close)
        syntaxError();
    if (failed())
        return false;
    next();
    return true;
}

// SUM, PRODUCT, AVERAGE, COUNT, MAX, MIN over their arguments: values, cells, ranges of cells
// and the cells ABOVE, BELOW, LEFT or RIGHT of the formula.
Value Parser::listFunction(const QString& f) {
    std::vector<double> values;
    int items = 0;
    QString error;
    if (tok_ != Tok::Close) {
        while (!failed()) {
            if (!listArgument(values, items, error))
                break;
            if (tok_ != Tok::Separator)
                break;
            next();
        }
    }
    if (!failed() && tok_ != Tok::Close)
        syntaxError();
    if (failed())
        return {};
    next();
    if (!error.isEmpty())
        return fail(error);
    if (f == u"COUNT")
        return {double(items), {}};
    if (values.empty())
        return {0, {}};
    double r = f == u"PRODUCT" ? 1 : (f == u"SUM" || f == u"AVERAGE" ? 0 : values.front());
    for (const double x : values) {
        if (f == u"PRODUCT")
            r *= x;
        else if (f == u"MAX")
            r = std::max(r, x);
        else if (f == u"MIN")
            r = std::min(r, x);
        else
            r += x;
    }
    return {f == u"AVERAGE" ? r / double(values.size()) : r, {}};
}

bool Parser::listArgument(std::vector<double>& values, int& items, QString& error) {
    if (tok_ == Tok::Name) {
        const QString n = text_;
        const Saved before = save();
        next();
        int row = 0, column = 0, toRow = 0, toColumn = 0;
        if (isPosition(n) && (tok_ == Tok::Separator || tok_ == Tok::Close)) {
            const size_t had = values.size();
            positional(n.toUpper(), values);
            items += int(values.size() - had);
            return true;
        }
        if (cellAddress(n, &row, &column) && tok_ == Tok::Colon) {
            next();
            if (tok_ != Tok::Name || !cellAddress(text_, &toRow, &toColumn)) {
                syntaxError();
                return false;
            }
            next();
            const size_t had = values.size();
            if (row < 0 || toRow < 0) {
                error = QStringLiteral("!Table Index Cannot be Zero");
                return true;
            }
            cellRange(std::min(row, toRow), std::min(column, toColumn), std::max(row, toRow),
                      std::max(column, toColumn), values);
            items += int(values.size() - had);
            return true;
        }
        restore(before);
    }
    const Value v = comparison();
    if (failed())
        return false;
    if (!v.error.isEmpty() && error.isEmpty())
        error = v.error;
    values.push_back(v.number);
    ++items;
    return true;
}

// The cells of the block that hold numbers.
bool Parser::cellRange(int fromRow, int fromColumn, int toRow, int toColumn,
                       std::vector<double>& values) {
    const FormulaTable* t = table();
    if (!t)
        return false;
    for (int r = fromRow; r <= toRow && r < int(t->rows.size()); ++r)
        for (int c = fromColumn; c <= toColumn && c < t->rows[size_t(r)].size(); ++c) {
            if (sources_.cellRead)
                sources_.cellRead(r, c);
            if (const std::optional<double> v = parseNumber(t->rows[size_t(r)][c], symbols_.locale))
                values.push_back(*v);
        }
    return true;
}

// The numbers next to the formula's cell in one direction, from the nearest cell outwards, up
// to the first cell that is empty or holds no number (a heading).
bool Parser::positional(const QString& position, std::vector<double>& values) {
    const FormulaTable* t = table();
    if (!t)
        return false;
    const int dr = position == u"ABOVE" ? -1 : (position == u"BELOW" ? 1 : 0);
    const int dc = position == u"LEFT" ? -1 : (position == u"RIGHT" ? 1 : 0);
    for (int r = t->row + dr, c = t->column + dc;
         r >= 0 && r < int(t->rows.size()) && c >= 0 && c < t->rows[size_t(r)].size();
         r += dr, c += dc) {
        if (sources_.cellRead)
            sources_.cellRead(r, c);
        const std::optional<double> v = parseNumber(t->rows[size_t(r)][c], symbols_.locale);
        if (!v)
            break;
        values.push_back(*v);
    }
    return true;
}

} // namespace

FormulaResult evaluateFormula(const QString& formula, const QLocale& locale,
                              const FormulaSources& sources) {
    return Parser(formula, locale, sources).run();
}

namespace {

QString cellName(int row, int column) {
    QString name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + (c - 1) % 26));
    return name + QString::number(row + 1);
}

} // namespace

QString formulaFault(const QString& formula, const QLocale& locale, const QSet<QString>& bookmarks,
                     const FormulaTable* table,
                     const std::function<bool(int row, int column)>& filledAfter) {
    if (formula.trimmed().isEmpty())
        return QStringLiteral("The formula field holds no formula.");
    FormulaTable ones; // every cell a number, so that ABOVE and its kin run to the table's edge
    if (table) {
        ones = *table;
        for (QStringList& row : ones.rows)
            row.fill(QStringLiteral("1"));
    }
    FormulaSources sources;
    sources.bookmark = [&bookmarks](const QString& name) -> std::optional<QString> {
        if (bookmarks.contains(name.toLower()))
            return QStringLiteral("1");
        return std::nullopt;
    };
    sources.table = [&]() -> const FormulaTable* { return table ? &ones : nullptr; };
    QString unmerged;
    sources.cellRead = [&](int row, int column) {
        if (unmerged.isEmpty() && filledAfter && filledAfter(row, column))
            unmerged = cellName(row, column);
    };
    Parser parser(formula, locale, sources);
    const FormulaResult r = parser.run();
    if (r.error.startsWith(QLatin1String("!Syntax Error")) && !parser.undefinedName.isEmpty() &&
        r.error.endsWith(parser.undefinedName))
        return QStringLiteral("The formula calls \"%1\", which is not a function of formulas.")
            .arg(parser.undefinedName);
    if (r.error.startsWith(QLatin1String("!Syntax Error")) ||
        r.error.startsWith(QLatin1String("!Unexpected")) ||
        r.error.startsWith(QLatin1String("!Missing")))
        return QStringLiteral("The formula cannot be read (%1).").arg(r.error);
    if (parser.cellsMissing)
        return QStringLiteral("The formula refers to table cells but does not stand in a table.");
    if (!parser.undefinedName.isEmpty())
        return QStringLiteral("The formula names \"%1\", which is neither a function nor a "
                              "bookmark that a SET or ASK field sets.")
            .arg(parser.undefinedName);
    if (!unmerged.isEmpty())
        return QStringLiteral("The formula reads the cell %1, whose fields the merge fills only "
                              "after the formula; put the formula below and right of the cells "
                              "it reads.")
            .arg(unmerged);
    return {};
}

QString formulaText(double value, const QLocale& locale) {
    return plainNumberText(roundedTo(value, 2), numberSymbols(locale).decimalPoint);
}

} // namespace qv::fields
