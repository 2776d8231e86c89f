#include "media/rtfreader.h"

#include "platform/codepage.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>

#include <optional>

namespace qv::rtf {
namespace {

enum class Destination { Text, Skip, FontTable, ColorTable };
enum class Align { Left, Centre, Right, Justify };

struct CharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24; // \fs is in half points; 12 pt is the format's default
    int font = -1;       // -1: the document's default font (\deff)
    int colour = 0;      // 0: automatic

    bool operator==(const CharFormat&) const = default;
};

struct GroupState {
    Destination dest = Destination::Text;
    CharFormat format;
    Align align = Align::Left;
    int unicodeSkip = 1; // \uc: characters that stand in for each \u
};

QString escapeHtml(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString cssString(const QString& text) {
    QString out;
    for (QChar c : text) {
        if (c == u'\'' || c == u'\\' || c == u'"' || c == u'<' || c == u'>' || c == u'&' ||
            c.unicode() < 0x20)
            continue;
        out += c;
    }
    return out;
}

// Destinations whose text is never shown.
bool isSkippedDestination(const QByteArray& word) {
    static const QList<QByteArray> skipped = {"stylesheet",
                                              "info",
                                              "pict",
                                              "object",
                                              "header",
                                              "headerl",
                                              "headerr",
                                              "headerf",
                                              "footer",
                                              "footerl",
                                              "footerr",
                                              "footerf",
                                              "footnote",
                                              "fldinst",
                                              "listtable",
                                              "listoverridetable",
                                              "revtbl",
                                              "rsidtbl",
                                              "xmlnstbl",
                                              "themedata",
                                              "colorschememapping",
                                              "latentstyles",
                                              "datastore",
                                              "generator",
                                              "filetbl",
                                              "nonshppict",
                                              "shp",
                                              "annotation",
                                              "atnid",
                                              "atnauthor",
                                              "bkmkstart",
                                              "bkmkend",
                                              "pn",
                                              "txe",
                                              "xe",
                                              "tc",
                                              "template",
                                              "userprops",
                                              "docvar"};
    return skipped.contains(word);
}

// Control words that stand for one character.
std::optional<QChar> specialCharacter(const QByteArray& word) {
    static const QHash<QByteArray, QChar> characters = {
        {"line", QChar(QChar::LineSeparator)},
        {"tab", QChar(u'\t')},
        {"emdash", QChar(0x2014)},
        {"endash", QChar(0x2013)},
        {"bullet", QChar(0x2022)},
        {"lquote", QChar(0x2018)},
        {"rquote", QChar(0x2019)},
        {"ldblquote", QChar(0x201C)},
        {"rdblquote", QChar(0x201D)},
    };
    const auto found = characters.constFind(word);
    if (found == characters.constEnd())
        return std::nullopt;
    return *found;
}

// Applies a character-formatting word to the format; false for any other word.
bool characterFormat(const QByteArray& word, std::optional<int> param, CharFormat& f) {
    const bool on = !param || *param != 0;
    if (word == "b")
        f.bold = on;
    else if (word == "i")
        f.italic = on;
    else if (word == "ul")
        f.underline = on;
    else if (word == "ulnone")
        f.underline = false;
    else if (word == "fs" && param && *param > 0)
        f.halfPoints = std::min(*param, 3276);
    else if (word == "f" && param)
        f.font = *param;
    else if (word == "cf" && param)
        f.colour = std::max(0, *param);
    else if (word == "plain")
        f = CharFormat{};
    else
        return false;
    return true;
}

class Reader {
public:
    explicit Reader(const QByteArray& data) : data_(data) {}

    RtfResult run() {
        RtfResult result;
        qsizetype start = 0;
        while (start < data_.size() && isSpace(data_[start]))
            ++start;
        if (!data_.mid(start, 5).startsWith("{\\rtf")) {
            result.error = QStringLiteral("The file is not a Rich Text Format document.");
            return result;
        }
        pos_ = start;
        if (!parse(result.error))
            return result;
        finishParagraph(true);
        result.ok = true;
        result.plainText = plain_;
        result.html = QStringLiteral("<html><body style=\"white-space: pre-wrap;\">") + body_ +
                      QStringLiteral("</body></html>");
        return result;
    }

private:
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    static int hexValue(char c) {
        if (isDigit(c))
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    GroupState& state() { return stack_.last(); }

    bool parse(QString& error) {
        while (pos_ < data_.size()) {
            const char c = data_[pos_++];
            switch (c) {
            case '{':
                if (stack_.size() >= kMaxRtfGroupDepth) {
                    error = QStringLiteral("The document nests its groups too deeply.");
                    return false;
                }
                stack_.append(stack_.isEmpty() ? GroupState{} : state());
                pendingIgnorable_ = false;
                break;
            case '}':
                if (stack_.isEmpty())
                    return true;
                endGroup();
                stack_.removeLast();
                if (stack_.isEmpty())
                    return true; // the document's own group is closed: the rest is not RTF
                break;
            case '\\':
                controlWord();
                break;
            case '\r':
            case '\n':
                break; // line ends in RTF source carry no meaning
            default:
                if (stack_.isEmpty())
                    break;
                character(QChar(codepage::decodeByte(static_cast<unsigned char>(c))));
            }
        }
        return true; // truncated: what was read stays
    }

    void controlWord() {
        if (pos_ >= data_.size())
            return;
        const char c = data_[pos_];
        if (!isLetter(c)) {
            ++pos_;
            controlSymbol(c);
            return;
        }
        QByteArray word;
        while (pos_ < data_.size() && isLetter(data_[pos_]) && word.size() < 32)
            word += data_[pos_++];
        while (pos_ < data_.size() && isLetter(data_[pos_]))
            ++pos_; // over-long words are cut, not read as text
        std::optional<int> param;
        bool negative = false;
        if (pos_ < data_.size() && data_[pos_] == '-' && pos_ + 1 < data_.size() &&
            isDigit(data_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        if (pos_ < data_.size() && isDigit(data_[pos_])) {
            qint64 value = 0;
            int digits = 0;
            while (pos_ < data_.size() && isDigit(data_[pos_])) {
                if (digits++ < 10)
                    value = value * 10 + (data_[pos_] - '0');
                ++pos_;
            }
            value = std::min<qint64>(value, 0x7fffffff);
            param = static_cast<int>(negative ? -value : value);
        }
        if (pos_ < data_.size() && data_[pos_] == ' ')
            ++pos_;
        if (stack_.isEmpty())
            return;
        keyword(word, param);
    }

    void controlSymbol(char c) {
        if (stack_.isEmpty())
            return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            character(QChar::fromLatin1(c));
            break;
        case '~':
            character(QChar(0x00A0));
            break;
        case '_':
            character(QChar(0x2011));
            break;
        case '-':
            break; // optional hyphen
        case '*':
            pendingIgnorable_ = true;
            break;
        case '\'': {
            int value = 0;
            int digits = 0;
            while (digits < 2 && pos_ < data_.size()) {
                const int h = hexValue(data_[pos_]);
                if (h < 0)
                    break;
                value = value * 16 + h;
                ++digits;
                ++pos_;
            }
            if (digits > 0)
                character(codepage::decodeByte(static_cast<unsigned char>(value)));
            break;
        }
        case '\r':
        case '\n':
            paragraph();
            break;
        case '\t':
            character(QChar(u'\t'));
            break;
        default:
            break;
        }
    }

    void keyword(const QByteArray& word, std::optional<int> param) {
        GroupState& s = state();
        const bool ignorable = pendingIgnorable_;
        pendingIgnorable_ = false;
        if (startsDestination(word, ignorable, s))
            return;
        if (word == "bin") {
            // Raw bytes follow; they are never text.
            const qint64 n = std::max(0, param.value_or(0));
            pos_ = static_cast<qsizetype>(std::min<qint64>(data_.size(), pos_ + n));
            return;
        }
        switch (s.dest) {
        case Destination::Skip:
            return;
        case Destination::FontTable:
            if (word == "f" && param)
                fontEntry_ = *param;
            return;
        case Destination::ColorTable:
            colourTableKeyword(word, param);
            return;
        case Destination::Text:
            break;
        }
        if (const std::optional<QChar> c = specialCharacter(word))
            character(*c);
        else if (!characterFormat(word, param, s.format) && !paragraphKeyword(word))
            documentKeyword(word, param, s);
    }

    // Destinations change what the rest of the group means.
    bool startsDestination(const QByteArray& word, bool ignorable, GroupState& s) {
        if (word == "fonttbl") {
            s.dest = Destination::FontTable;
            return true;
        }
        if (word == "colortbl") {
            s.dest = Destination::ColorTable;
            colourPending_ = {};
            colourSeen_ = false;
            return true;
        }
        if (ignorable || isSkippedDestination(word)) {
            s.dest = Destination::Skip;
            return true;
        }
        return false;
    }

    void colourTableKeyword(const QByteArray& word, std::optional<int> param) {
        const int v = std::clamp(param.value_or(0), 0, 255);
        if (word == "red")
            colourPending_.setRed(v), colourSeen_ = true;
        else if (word == "green")
            colourPending_.setGreen(v), colourSeen_ = true;
        else if (word == "blue")
            colourPending_.setBlue(v), colourSeen_ = true;
    }

    // Paragraph ends and alignment; false for any other word.
    bool paragraphKeyword(const QByteArray& word) {
        if (word == "par" || word == "sect")
            paragraph();
        else if (word == "pard" || word == "ql")
            setAlign(Align::Left);
        else if (word == "qc")
            setAlign(Align::Centre);
        else if (word == "qr")
            setAlign(Align::Right);
        else if (word == "qj")
            setAlign(Align::Justify);
        else
            return false;
        return true;
    }

    // The default font, the Unicode fallback count and Unicode characters.
    void documentKeyword(const QByteArray& word, std::optional<int> param, GroupState& s) {
        if (word == "deff" && param) {
            defaultFont_ = *param;
        } else if (word == "uc" && param) {
            s.unicodeSkip = std::clamp(*param, 0, 10);
        } else if (word == "u" && param) {
            int code = *param;
            if (code < 0)
                code += 65536;
            unicodeCharacter(static_cast<char16_t>(code & 0xffff));
            skipFallback(s.unicodeSkip);
        }
    }

    void setAlign(Align a) {
        state().align = a;
        if (inParagraph_)
            paragraphAlign_ = a; // the paragraph takes the last setting before its end
    }

    // After \uN the writer puts \uc characters for readers without Unicode: step over them.
    void skipFallback(int count) {
        while (count > 0 && pos_ < data_.size()) {
            const char c = data_[pos_];
            if (c == '{' || c == '}')
                return;
            if (c == '\\') {
                if (pos_ + 1 < data_.size() && data_[pos_ + 1] == '\'') {
                    pos_ = std::min(data_.size(), pos_ + 4);
                } else if (pos_ + 1 < data_.size() && isLetter(data_[pos_ + 1])) {
                    return; // a control word ends the fallback text
                } else {
                    pos_ = std::min(data_.size(), pos_ + 2);
                }
            } else if (c == '\r' || c == '\n') {
                ++pos_;
                continue;
            } else {
                ++pos_;
            }
            --count;
        }
    }

    void unicodeCharacter(char16_t unit) {
        if (QChar::isLowSurrogate(unit) && highSurrogate_) {
            {
                const QChar pair[2] = {QChar(*highSurrogate_), QChar(unit)};
                appendText(QString(pair, 2));
            }
            highSurrogate_.reset();
            return;
        }
        flushSurrogate();
        if (QChar::isHighSurrogate(unit)) {
            highSurrogate_ = unit;
            return;
        }
        if (QChar::isLowSurrogate(unit))
            unit = 0xFFFD;
        appendText(QString(QChar(unit)));
    }

    void flushSurrogate() {
        if (highSurrogate_) {
            highSurrogate_.reset();
            appendText(QString(QChar(0xFFFD)));
        }
    }

    void character(QChar c) {
        GroupState& s = state();
        switch (s.dest) {
        case Destination::Skip:
            return;
        case Destination::FontTable:
            if (c == u';') {
                if (fontEntry_ >= 0)
                    fonts_.insert(fontEntry_, fontName_.trimmed());
                fontName_.clear();
            } else if (fontName_.size() < 128) {
                fontName_ += c;
            }
            return;
        case Destination::ColorTable:
            if (c == u';') {
                colours_.append(colourSeen_ ? std::optional<QColor>(colourPending_) : std::nullopt);
                colourPending_ = QColor(0, 0, 0);
                colourSeen_ = false;
            }
            return;
        case Destination::Text:
            break;
        }
        flushSurrogate();
        appendText(QString(c));
    }

    void appendText(const QString& text) {
        if (state().dest != Destination::Text)
            return;
        const GroupState& s = state();
        if (!inParagraph_)
            startParagraph();
        if (!spanOpen_ || !(spanFormat_ == s.format)) {
            closeSpan();
            openSpan(s.format);
        }
        for (QChar c : text) {
            if (c == QChar::LineSeparator) {
                paragraphHtml_ += QLatin1String("<br />");
                plain_ += u'\n';
            } else {
                paragraphHtml_ += escapeHtml(QString(c));
                plain_ += c;
            }
        }
        paragraphHasText_ = true;
    }

    void openSpan(const CharFormat& f) {
        QString style;
        const int font = f.font >= 0 ? f.font : defaultFont_;
        if (fonts_.contains(font) && !fonts_.value(font).isEmpty())
            style += QStringLiteral("font-family:'%1'; ").arg(cssString(fonts_.value(font)));
        style += QStringLiteral("font-size:%1pt; ").arg(f.halfPoints / 2.0);
        style += f.bold ? QStringLiteral("font-weight:700; ") : QStringLiteral("font-weight:400; ");
        if (f.italic)
            style += QStringLiteral("font-style:italic; ");
        if (f.underline)
            style += QStringLiteral("text-decoration: underline; ");
        if (f.colour > 0 && f.colour < colours_.size() && colours_[f.colour])
            style += QStringLiteral("color:%1; ").arg(colours_[f.colour]->name());
        paragraphHtml_ += QStringLiteral("<span style=\"%1\">").arg(style.trimmed());
        spanFormat_ = f;
        spanOpen_ = true;
    }

    void closeSpan() {
        if (spanOpen_)
            paragraphHtml_ += QLatin1String("</span>");
        spanOpen_ = false;
    }

    void paragraph() {
        if (state().dest != Destination::Text)
            return;
        if (!inParagraph_)
            startParagraph();
        finishParagraph(false);
    }

    void startParagraph() {
        paragraphAlign_ = state().align;
        inParagraph_ = true;
        if (paragraphBreakPending_)
            plain_ += u'\n';
        paragraphBreakPending_ = false;
    }

    void finishParagraph(bool atEnd) {
        flushSurrogate();
        closeSpan();
        if (atEnd && !paragraphHasText_) {
            paragraphHtml_.clear();
            inParagraph_ = false;
            return;
        }
        if (!inParagraph_ && atEnd)
            return;
        static const char* const aligns[] = {"left", "center", "right", "justify"};
        body_ +=
            QStringLiteral("<p style=\"%1margin-top:0px; margin-bottom:0px; text-align:%2;\">")
                .arg(paragraphHasText_ ? QString() : QStringLiteral("-qt-paragraph-type:empty; "),
                     QLatin1String(aligns[static_cast<int>(paragraphAlign_)]));
        body_ += paragraphHasText_ ? paragraphHtml_ : QStringLiteral("<br />");
        body_ += QLatin1String("</p>");
        paragraphBreakPending_ = true;
        paragraphHtml_.clear();
        paragraphHasText_ = false;
        inParagraph_ = false;
    }

    void endGroup() {
        if (state().dest == Destination::FontTable && !fontName_.trimmed().isEmpty() &&
            fontEntry_ >= 0 && !fonts_.contains(fontEntry_))
            fonts_.insert(fontEntry_, fontName_.trimmed()); // an entry without its ';'
        if (state().dest == Destination::FontTable)
            fontName_.clear();
    }

    const QByteArray& data_;
    qsizetype pos_ = 0;
    QList<GroupState> stack_;
    bool pendingIgnorable_ = false;

    QHash<int, QString> fonts_;
    int fontEntry_ = -1;
    QString fontName_;
    int defaultFont_ = -1;
    QList<std::optional<QColor>> colours_;
    QColor colourPending_{0, 0, 0};
    bool colourSeen_ = false;
    std::optional<char16_t> highSurrogate_;

    QString body_;
    QString plain_;
    QString paragraphHtml_;
    bool inParagraph_ = false;
    bool paragraphBreakPending_ = false;
    bool paragraphHasText_ = false;
    Align paragraphAlign_ = Align::Left;
    bool spanOpen_ = false;
    CharFormat spanFormat_;
};

} // namespace

RtfResult readRtf(const QByteArray& data) {
    return Reader(data).run();
}

RtfResult readRtfFile(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        RtfResult result;
        result.error = QStringLiteral("The file \"%1\" was not found.").arg(path);
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        RtfResult result;
        result.error =
            QStringLiteral("The file \"%1\" cannot be read: %2").arg(path, file.errorString());
        return result;
    }
    return readRtf(file.readAll());
}

} // namespace qv::rtf
