#include "output/internal/fieldcode.h"

#include "output/fieldformat.h"

namespace qv::fields {

bool Token::isStatic() const {
    for (const Piece& p : pieces)
        if (p.kind == Piece::Field)
            return false;
    return true;
}

QString Token::staticText() const {
    QString text;
    for (const Piece& p : pieces)
        if (p.kind == Piece::Text)
            text += p.text;
    return text;
}

bool Token::isSwitch() const {
    return !quoted && pieces.size() == 1 && pieces[0].kind == Piece::Text &&
           pieces[0].text.size() == 2 && pieces[0].text[0] == QLatin1Char('\\');
}

const Switch* FieldCode::findSwitch(QChar letter) const {
    for (const Switch& s : switches)
        if (s.letter == letter)
            return &s;
    return nullptr;
}

bool FieldCode::hasFormat(const char* format) const {
    for (const Switch& s : switches)
        if (s.letter == QLatin1Char('*') &&
            s.argument.staticText().compare(QLatin1String(format), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

namespace {

class Tokenizer {
public:
    std::vector<Token> tokens;
    bool inToken = false;

    void start(bool quoted) {
        current_ = Token{};
        current_.quoted = quoted;
        inToken = true;
    }
    void finish() {
        if (inToken)
            tokens.push_back(std::move(current_));
        inToken = false;
    }
    bool quoted() const { return inToken && current_.quoted; }
    bool atSwitch() const { return inToken && current_.isSwitch(); }
    void addChar(QChar c, pugi::xml_node look) {
        std::vector<Piece>& ps = current_.pieces;
        if (!ps.empty() && ps.back().kind == Piece::Text && ps.back().node == look)
            ps.back().text += c;
        else
            ps.push_back(Piece{Piece::Text, QString(c), look, -1});
    }
    void addPiece(const Piece& p) { current_.pieces.push_back(p); }

    void text(const Piece& p);

private:
    Token current_;
};

void Tokenizer::text(const Piece& p) {
    const QString& s = p.text;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (!inToken) {
            if (c.isSpace())
                continue;
            start(c == QLatin1Char('"'));
            if (c != QLatin1Char('"'))
                addChar(c, p.node);
        } else if (quoted()) {
            if (c == QLatin1Char('\\') && i + 1 < s.size() &&
                (s[i + 1] == QLatin1Char('"') || s[i + 1] == QLatin1Char('\\')))
                addChar(s[++i], p.node);
            else if (c == QLatin1Char('"'))
                finish();
            else
                addChar(c, p.node);
        } else if (c.isSpace()) {
            finish();
        } else if (c == QLatin1Char('"') && atSwitch()) {
            finish(); // \@"d MMMM": the picture follows its switch without a blank
            start(true);
        } else {
            addChar(c, p.node);
        }
    }
}

// The switches that take the word after them.
bool takesArgument(QChar letter) {
    return QStringLiteral("*#@bfd").contains(letter);
}

// Splits the words after the field type into arguments and switches.
void splitSwitches(std::vector<Token> tokens, FieldCode& code) {
    for (size_t i = 1; i < tokens.size(); ++i) {
        Token& t = tokens[i];
        const QString text = t.staticText();
        const bool isSwitch = !t.quoted && t.isStatic() && text.size() >= 2 &&
                              text[0] == QLatin1Char('\\') && !t.pieces.empty() &&
                              t.pieces[0].kind == Piece::Text;
        if (!isSwitch) {
            code.args.push_back(std::move(t));
            continue;
        }
        Switch s;
        s.letter = text[1].toLower();
        if (text.size() > 2) { // \#0.00: the argument written against its switch
            s.hasArgument = true;
            s.argument.pieces.push_back(Piece{Piece::Text, text.mid(2), t.pieces[0].node, -1});
        } else if (takesArgument(s.letter) && i + 1 < tokens.size()) {
            s.hasArgument = true;
            s.argument = std::move(tokens[++i]);
        } else if (takesArgument(s.letter)) {
            code.fault = QStringLiteral("The switch \\%1 has nothing after it.").arg(s.letter);
        }
        code.switches.push_back(std::move(s));
    }
}

bool staticWord(const FieldCode& code, size_t i) {
    return code.args.size() > i && code.args[i].isStatic() &&
           !code.args[i].staticText().trimmed().isEmpty();
}

// The arguments each kind needs; sets the fault when they are not there.
void checkArguments(FieldCode& code) {
    using K = FieldKind;
    switch (code.kind) {
    case K::MergeField:
        if (!staticWord(code, 0))
            code.fault = QStringLiteral("The MERGEFIELD field names no merge field.");
        break;
    case K::If:
    case K::NextIf:
    case K::SkipIf:
        if (code.args.size() < 3 || code.args[1].quoted || !code.args[1].isStatic() ||
            !parseComparison(code.args[1].staticText(), &code.comparison))
            code.fault = QStringLiteral("The %1 field has no comparison (=, <>, <, <=, > or >=) "
                                        "between two values.")
                             .arg(code.keyword.toUpper());
        break;
    case K::Formula:
        if (code.args.empty())
            code.fault = QStringLiteral("The formula field holds no formula.");
        break;
    case K::Set:
    case K::Ref:
    case K::Ask:
        if (!staticWord(code, 0))
            code.fault =
                QStringLiteral("The %1 field names no bookmark.").arg(code.keyword.toUpper());
        break;
    default:
        break;
    }
}

// A \* format the word processor does not have gives an error in place of the letter's text.
void checkFormats(FieldCode& code) {
    for (const Switch& s : code.switches) {
        if (s.letter != QLatin1Char('*') || !s.hasArgument || !s.argument.isStatic())
            continue;
        bool known = true;
        applyGeneralFormat(QString(), s.argument.staticText(), QLocale::c(), &known);
        if (!known) {
            code.fault = QStringLiteral("The switch \\* names the format \"%1\", which the "
                                        "word processor does not have.")
                             .arg(s.argument.staticText().trimmed());
            return;
        }
    }
}

// "=2*3" or "={ MERGEFIELD Qty }*2": the formula's sign becomes a word of its own, the type.
bool splitFormulaSign(std::vector<Token>& tokens) {
    Token& first = tokens[0];
    if (first.quoted || first.pieces.empty() || first.pieces[0].kind != Piece::Text ||
        !first.pieces[0].text.startsWith(QLatin1Char('=')))
        return false;
    Token sign;
    sign.pieces.push_back(Piece{Piece::Text, QStringLiteral("="), first.pieces[0].node, -1});
    first.pieces[0].text.remove(0, 1);
    if (first.pieces[0].text.isEmpty())
        first.pieces.erase(first.pieces.begin());
    if (first.pieces.empty())
        tokens[0] = std::move(sign);
    else
        tokens.insert(tokens.begin(), std::move(sign));
    return true;
}

} // namespace

std::vector<Token> tokenize(const std::vector<Piece>& code, QString* fault) {
    Tokenizer t;
    for (const Piece& p : code) {
        switch (p.kind) {
        case Piece::Text:
            t.text(p);
            break;
        case Piece::Mark:
            if (t.quoted())
                t.addPiece(p);
            else
                t.finish(); // a paragraph mark outside quotes separates words
            break;
        default:
            if (!t.inToken)
                t.start(false);
            t.addPiece(p);
            break;
        }
    }
    if (t.quoted() && fault)
        *fault = QStringLiteral("A quotation mark in the field code has no closing partner.");
    t.finish();
    return std::move(t.tokens);
}

FieldKind kindOf(const QString& keyword) {
    static const struct {
        const char* name;
        FieldKind kind;
    } kKinds[] = {{"MERGEFIELD", FieldKind::MergeField},
                  {"IF", FieldKind::If},
                  {"MERGEREC", FieldKind::MergeRec},
                  {"MERGESEQ", FieldKind::MergeSeq},
                  {"NEXT", FieldKind::Next},
                  {"NEXTIF", FieldKind::NextIf},
                  {"SKIPIF", FieldKind::SkipIf},
                  {"SET", FieldKind::Set},
                  {"REF", FieldKind::Ref},
                  {"ASK", FieldKind::Ask},
                  {"FILLIN", FieldKind::FillIn}};
    for (const auto& k : kKinds)
        if (keyword.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0)
            return k.kind;
    return FieldKind::Other;
}

bool parseComparison(const QString& text, Comparison* comparison) {
    static const struct {
        const char* text;
        Comparison comparison;
    } kOps[] = {{"=", Comparison::Equal},   {"<>", Comparison::NotEqual},
                {"<", Comparison::Less},    {"<=", Comparison::LessOrEqual},
                {">", Comparison::Greater}, {">=", Comparison::GreaterOrEqual}};
    for (const auto& op : kOps)
        if (text == QLatin1String(op.text)) {
            *comparison = op.comparison;
            return true;
        }
    return false;
}

FieldCode parseFieldCode(const std::vector<Piece>& pieces) {
    FieldCode code;
    std::vector<Token> tokens = tokenize(pieces, &code.fault);
    if (tokens.empty()) {
        if (code.fault.isEmpty())
            code.fault = QStringLiteral("The field is empty.");
        return code;
    }
    if (splitFormulaSign(tokens))
        code.kind = FieldKind::Formula;
    // A type given by a nested field or in quotes is left to the word processor.
    else if (tokens[0].quoted || !tokens[0].isStatic())
        return code;
    code.keyword = tokens[0].staticText();
    if (code.kind != FieldKind::Formula)
        code.kind = kindOf(code.keyword);
    if (code.kind == FieldKind::Other) {
        code.args.assign(std::make_move_iterator(tokens.begin() + 1),
                         std::make_move_iterator(tokens.end()));
        return code;
    }
    splitSwitches(std::move(tokens), code);
    if (code.fault.isEmpty())
        checkArguments(code);
    if (code.fault.isEmpty())
        checkFormats(code);
    return code;
}

} // namespace qv::fields
