#include "output/internal/fieldeval.h"

#include "output/fieldformat.h"

namespace qv::fields {

namespace {

// Glob match of text against a pattern of ? and *.
bool wildcardMatch(const QString& text, const QString& pattern) {
    qsizetype t = 0, p = 0, starP = -1, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == QLatin1Char('?') || pattern[p] == text[t])) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starT = t;
        } else if (starP >= 0) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

template <class T> bool holds(T order, Comparison op) {
    switch (op) {
    case Comparison::Equal:
        return order == 0;
    case Comparison::NotEqual:
        return order != 0;
    case Comparison::Less:
        return order < 0;
    case Comparison::LessOrEqual:
        return order <= 0;
    case Comparison::Greater:
        return order > 0;
    case Comparison::GreaterOrEqual:
        return order >= 0;
    }
    return false;
}

bool isTextFormat(const Switch& s) {
    if (s.letter == QLatin1Char('#') || s.letter == QLatin1Char('@'))
        return true;
    if (s.letter != QLatin1Char('*'))
        return false;
    const QString f = s.argument.staticText();
    return f.compare(QLatin1String("MERGEFORMAT"), Qt::CaseInsensitive) != 0 &&
           f.compare(QLatin1String("CHARFORMAT"), Qt::CaseInsensitive) != 0;
}

} // namespace

QString textOf(const std::vector<Piece>& pieces) {
    QString text;
    for (const Piece& p : pieces)
        if (p.kind == Piece::Text || p.kind == Piece::Instr)
            text += p.text;
        else if (p.kind == Piece::Mark)
            text += QLatin1Char('\r');
    return text;
}

bool compareValues(const QString& a, Comparison op, const QString& b, bool bQuoted,
                   const QLocale& locale) {
    const bool wild = bQuoted && (op == Comparison::Equal || op == Comparison::NotEqual) &&
                      (b.contains(QLatin1Char('*')) || b.contains(QLatin1Char('?')));
    if (wild)
        return wildcardMatch(a, b) == (op == Comparison::Equal);
    const std::optional<double> x = parseNumber(a, locale), y = parseNumber(b, locale);
    if (x && y)
        return holds(*x < *y ? -1 : (*x > *y ? 1 : 0), op);
    return holds(a.compare(b, Qt::CaseSensitive), op);
}

FieldEvaluator::FieldEvaluator(const std::vector<CompiledField>& fields,
                               const output::MergeData& data, output::MergeInteraction& interaction,
                               const QLocale& locale)
    : fields_(fields), data_(data), interaction_(interaction), locale_(locale) {}

void FieldEvaluator::startCopy(qsizetype record) {
    record_ = copyStart_ = record;
    // Answers given for one record serve only that record: those of earlier copies go.
    answers_.removeIf(
        [](const QHash<QString, Answer>::iterator& it) { return !it.value().everyRecord; });
}

void FieldEvaluator::finishCopy() {
    merged_ += std::min(record_, data_.records.size() - 1) - copyStart_ + 1;
}

void FieldEvaluator::advance() {
    if (record_ < data_.records.size())
        ++record_;
}

void FieldEvaluator::evaluate(int field, std::vector<Piece>& out) {
    const CompiledField& f = fields_[static_cast<size_t>(field)];
    if (!f.fault.isEmpty() || !f.code.fault.isEmpty())
        return; // merged despite the fault: the field gives nothing
    const bool inData = record_ < data_.records.size();
    switch (f.code.kind) {
    case FieldKind::MergeField:
    case FieldKind::Ref:
    case FieldKind::FillIn:
        value(f, fieldValue(f), out);
        break;
    case FieldKind::MergeRec:
        value(f, inData ? QString::number(record_ + 1) : QString(), out);
        break;
    case FieldKind::MergeSeq:
        value(f, inData ? QString::number(merged_ + record_ - copyStart_ + 1) : QString(), out);
        break;
    case FieldKind::If:
        ifField(f, out);
        break;
    case FieldKind::Next:
        advance();
        break;
    case FieldKind::NextIf:
        if (condition(f))
            advance();
        break;
    case FieldKind::SkipIf:
        if (condition(f))
            throw SkipRecord{};
        break;
    case FieldKind::Set:
        bookmarks_.insert(f.code.args[0].staticText().toLower(),
                          f.code.args.size() > 1 ? text(f.code.args[1]) : QString());
        break;
    case FieldKind::Ask:
        bookmarks_.insert(f.code.args[0].staticText().toLower(), ask(f));
        break;
    case FieldKind::Formula:
        formula(f, out);
        break;
    case FieldKind::Other:
        live(f, out);
        break;
    }
}

// The formula computed from its words (nested fields' results in place), under its switches:
// \# formats the number itself, not its text; an error text stands unformatted.
void FieldEvaluator::formula(const CompiledField& f, std::vector<Piece>& out) {
    QString expression;
    for (const Token& t : f.code.args)
        expression += text(t) + QLatin1Char(' ');
    FormulaSources sources;
    sources.bookmark = [this](const QString& name) -> std::optional<QString> {
        const auto it = bookmarks_.constFind(name.toLower());
        return it == bookmarks_.constEnd() ? std::nullopt : std::optional<QString>(*it);
    };
    std::optional<FormulaTable> table;
    bool tableRead = false;
    sources.table = [&]() -> const FormulaTable* {
        if (!tableRead) {
            tableRead = true;
            table.emplace();
            if (!tableReader_ || !place_ || !tableReader_(place_, &*table))
                table.reset();
        }
        return table ? &*table : nullptr;
    };
    const FormulaResult r = evaluateFormula(expression, locale_, sources);
    QString v = r.error;
    if (r.error.isEmpty()) {
        v = formulaText(r.value, locale_);
        bool pictured = false;
        for (const Switch& s : f.code.switches) {
            if (!s.hasArgument || !isTextFormat(s))
                continue;
            const QString arg = text(s.argument);
            if (s.letter == QLatin1Char('#')) {
                v = pictured ? applyNumericPicture(v, arg, locale_)
                             : formatNumber(r.value, arg, locale_);
                pictured = true;
            } else if (s.letter == QLatin1Char('*')) {
                v = applyGeneralFormat(v, arg, locale_);
            }
        }
    }
    if (!v.isEmpty())
        out.push_back(Piece{Piece::Text, v, look(f), -1});
}

// The raw value of a MERGEFIELD, REF or FILLIN field.
QString FieldEvaluator::fieldValue(const CompiledField& f) {
    switch (f.code.kind) {
    case FieldKind::MergeField:
        return record_ < data_.records.size() ? data_.value(record_, f.column) : QString();
    case FieldKind::Ref:
        return bookmarks_.value(f.code.args[0].staticText().toLower());
    default:
        return ask(f);
    }
}

pugi::xml_node FieldEvaluator::look(const CompiledField& f) const {
    if (f.code.hasFormat("MERGEFORMAT") && !f.code.hasFormat("CHARFORMAT") && f.resultLook)
        return f.resultLook;
    return f.codeLook;
}

// The value under the field's switches in the order written; \b and \f around a value that is
// not empty.
QString FieldEvaluator::formatted(const CompiledField& f, QString v) {
    const bool empty = v.isEmpty();
    for (const Switch& s : f.code.switches) {
        if (!s.hasArgument || !isTextFormat(s))
            continue;
        const QString arg = text(s.argument);
        if (s.letter == QLatin1Char('#'))
            v = applyNumericPicture(v, arg, locale_);
        else if (s.letter == QLatin1Char('@'))
            v = applyDatePicture(v, arg, locale_);
        else
            v = applyGeneralFormat(v, arg, locale_);
    }
    if (empty || f.code.kind != FieldKind::MergeField)
        return v;
    if (const Switch* b = f.code.findSwitch(QLatin1Char('b')); b && b->hasArgument)
        v.prepend(text(b->argument));
    if (const Switch* a = f.code.findSwitch(QLatin1Char('f')); a && a->hasArgument)
        v.append(text(a->argument));
    return v;
}

void FieldEvaluator::value(const CompiledField& f, const QString& raw, std::vector<Piece>& out) {
    const QString v = formatted(f, raw);
    if (!v.isEmpty())
        out.push_back(Piece{Piece::Text, v, look(f), -1});
}

QString FieldEvaluator::text(const Token& token) {
    if (token.isStatic())
        return token.staticText();
    std::vector<Piece> out;
    pieces(token, out);
    return textOf(out);
}

// The token's pieces with its nested fields evaluated.
void FieldEvaluator::pieces(const Token& token, std::vector<Piece>& out) {
    for (const Piece& p : token.pieces) {
        if (p.kind == Piece::Field)
            evaluate(p.field, out);
        else
            out.push_back(p);
    }
}

bool FieldEvaluator::condition(const CompiledField& f) {
    const std::vector<Token>& a = f.code.args;
    return compareValues(text(a[0]), f.code.comparison, text(a[2]), a[2].quoted, locale_);
}

void FieldEvaluator::ifField(const CompiledField& f, std::vector<Piece>& out) {
    const size_t chosen = condition(f) ? 3 : 4;
    if (f.code.args.size() <= chosen)
        return;
    std::vector<Piece> result;
    pieces(f.code.args[chosen], result);
    formatPieces(f, result);
    out.insert(out.end(), std::make_move_iterator(result.begin()),
               std::make_move_iterator(result.end()));
}

// The chosen text of an IF under its switches. The text keeps the look of its runs; \*
// CHARFORMAT gives it the look of the code's first character. A format over text of several
// looks is applied to the whole text and the result spread back over the looks when its length
// is unchanged; otherwise (and always across paragraphs) each piece is formatted alone.
void FieldEvaluator::formatPieces(const CompiledField& f, std::vector<Piece>& ps) {
    if (f.code.hasFormat("CHARFORMAT"))
        for (Piece& p : ps)
            if (p.kind == Piece::Text)
                p.node = f.codeLook;
    bool formats = false, plain = true;
    for (const Switch& s : f.code.switches)
        formats = formats || (s.hasArgument && isTextFormat(s));
    for (const Piece& p : ps)
        plain = plain && p.kind == Piece::Text;
    if (!formats)
        return;
    if (!plain) {
        for (Piece& p : ps)
            if (p.kind == Piece::Text)
                p.text = formatted(f, p.text);
        return;
    }
    const QString whole = textOf(ps), done = formatted(f, whole);
    if (done.size() != whole.size() || ps.size() == 1) {
        pugi::xml_node first = ps.empty() ? f.codeLook : ps.front().node;
        ps.assign(1, Piece{Piece::Text, done, first, -1});
        if (done.isEmpty())
            ps.clear();
        return;
    }
    qsizetype at = 0;
    for (Piece& p : ps) {
        p.text = done.mid(at, p.text.size());
        at += p.text.size();
    }
}

QString FieldEvaluator::ask(const CompiledField& f) {
    const bool isAsk = f.code.kind == FieldKind::Ask;
    const std::vector<Token>& a = f.code.args;
    const QString bookmark = isAsk ? a[0].staticText() : QString();
    const size_t promptAt = isAsk ? 1 : 0;
    const QString prompt = a.size() > promptAt ? text(a[promptAt]) : QString();
    const QString key = bookmark.toLower() + QChar(0x1f) + prompt;
    const auto known = answers_.constFind(key);
    if (known != answers_.constEnd() && (known->everyRecord || known->record == record_))
        return known->text;
    output::FieldQuestion q;
    q.prompt = prompt;
    if (const Switch* d = f.code.findSwitch(QLatin1Char('d')); d && d->hasArgument)
        q.defaultAnswer = text(d->argument);
    q.oncePerMerge = f.code.findSwitch(QLatin1Char('o')) != nullptr;
    q.record = record_ + 1;
    const std::optional<output::FieldAnswer> answer = interaction_.answer(q);
    if (!answer)
        throw MergeCancelled{};
    answers_.insert(key, {answer->text, q.oncePerMerge || answer->forEveryRecord, record_});
    return answer->text;
}

// A field the word processor updates itself: its runs as they are, nested merge fields in its
// instruction replaced by their text.
void FieldEvaluator::live(const CompiledField& f, std::vector<Piece>& out) {
    out.push_back(Piece{Piece::Run, {}, f.begin, -1});
    for (const Piece& p : f.codePieces) {
        if (p.kind == Piece::Text) {
            out.push_back(Piece{Piece::Instr, p.text, p.node, -1});
        } else if (p.kind != Piece::Field) {
            out.push_back(p);
        } else if (fields_[static_cast<size_t>(p.field)].code.kind == FieldKind::Other) {
            evaluate(p.field, out);
        } else {
            std::vector<Piece> nested;
            evaluate(p.field, nested);
            const QString t = textOf(nested);
            if (!t.isEmpty())
                out.push_back(
                    Piece{Piece::Instr, t, fields_[static_cast<size_t>(p.field)].begin, -1});
        }
    }
    if (f.separate) {
        out.push_back(Piece{Piece::Run, {}, f.separate, -1});
        for (const Piece& p : f.result) {
            if (p.kind == Piece::Field)
                evaluate(p.field, out);
            else
                out.push_back(p);
        }
    }
    out.push_back(Piece{Piece::Run, {}, f.end, -1});
}

} // namespace qv::fields
