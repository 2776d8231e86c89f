#include "controls/tamsel/captionlayout.h"

#include "controls/tamsel/caption.h"

#include <QFontMetrics>
#include <algorithm>
#include <cstdlib>
#include <limits>

namespace qv::tamsel {

namespace {

int byStyle(int style, int v0, int v1, int v2, int v3) {
    switch (style) {
    case 1:
        return v1;
    case 2:
        return v2;
    case 3:
        return v3;
    default:
        return v0;
    }
}

QString trimRight(QString s) {
    int n = s.size();
    while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
        --n;
    s.truncate(n);
    return s;
}

// Splits the display text into lines and remembers where the accelerator landed.
class LineBreaker {
public:
    LineBreaker(QString text, int k, const TextMeasure& measure)
        : d_(std::move(text)), k_(k), measure_(measure) {}

    // Emits the first len characters of the remaining text as a line.
    void emitLine(int len) {
        if (d_.isEmpty())
            return;
        CaptionLine line;
        line.text = trimRight(d_.left(len));
        if (!placed_ && k_ > 0) {
            if (line.text.size() < k_) {
                k_ -= line.text.size() + 1;
            } else {
                placed_ = true;
                acceleratorLine_ = static_cast<int>(lines_.size());
                underlineLength_ = measure_(d_.mid(k_ - 1, 1)).width();
            }
        }
        const QSize size = measure_(line.text);
        line.width = size.width();
        line.height = size.height();
        lines_.push_back(line);
        d_.remove(0, len);
    }

    QString& text() { return d_; }
    int emitted() const { return static_cast<int>(lines_.size()); }
    std::vector<CaptionLine>& lines() { return lines_; }
    bool placed() const { return placed_; }
    int k() const { return k_; }
    int acceleratorLine() const { return acceleratorLine_; }
    int underlineLength() const { return underlineLength_; }

private:
    QString d_;
    int k_;
    const TextMeasure& measure_;
    std::vector<CaptionLine> lines_;
    bool placed_ = false;
    int acceleratorLine_ = 0;
    int underlineLength_ = 0;
};

// What the layout reads from the button, under the short names of its formulas.
struct Frame {
    int W;        // client width
    int H;        // client height
    int s;        // button style
    int a;        // caption alignment
    int ia;       // icon alignment
    int o;        // caption orientation: 0 across, 1 and 2 rotated
    bool hasIcon; // an icon is shown
    int Z;        // side of the icon square
};

Frame frameOf(const TamselData& d) {
    return Frame{d.run.clientSize.width(),
                 d.run.clientSize.height(),
                 d.config.buttonStyle,
                 d.config.alignment,
                 d.config.iconAlignmentValue,
                 d.config.captionOrientation,
                 d.run.hasIcon,
                 d.config.iconSquare()};
}

// One empty line record and no underline.
void clearLayout(CaptionLayout& lay) {
    lay.lines.assign(1, CaptionLine{});
    lay.underlinePlaced = false;
    lay.underlineLength = 0;
    lay.underlineLine = 0;
}

// An icon alone is centred, shifted against the slant of the outline; the focus mark of the
// flat and slanted looks frames the icon.
void placeIconAlone(CaptionLayout& lay, const Frame& f) {
    const int c = byStyle(f.s, 0, 18, 0, -18);
    lay.iconX = (f.W - f.Z) / 2 - c / 2;
    lay.iconY = (f.H - f.Z) / 2;
    lay.blockLeft = lay.iconX - 3;
    lay.blockTop = lay.iconY - 3;
    lay.blockRight = lay.iconX + f.Z + 1;
    lay.blockBottom = lay.iconY + f.Z + 1;
}

// The room the lines have: the length limit M of one line (after the gap for the icon) and
// the breadth B across the lines.
struct LineRoom {
    int M;
    int B;
};

LineRoom lineRoom(const Frame& f) {
    const int G = f.hasIcon ? f.Z + 5 : 0;
    if (f.o == 0)
        return {f.W - G - 6 - byStyle(f.s, 6, 18, 42, 18), f.H};
    return {f.H - 12 - G, f.W};
}

// A single word longer than a line, shortened and ended with "...", replaces the word sp - 1
// characters long at the start of text; returns the length of the shortened word.
int shortenLongWord(QString& text, int sp, int M, int cw) {
    const int wordLength = sp - 1;
    int n = static_cast<int>((static_cast<double>(M) / cw) * text.size()) / 2;
    n = std::clamp(n, 1, std::max(1, wordLength));
    QString w = text.left(n);
    if (w.size() > 4)
        w.chop(3);
    w += QStringLiteral("...");
    text = w + text.mid(sp);
    return static_cast<int>(w.size());
}

// Wraps the text at spaces into at most maxLines lines no longer than M.
void wrapAtSpaces(LineBreaker& br, int M, int maxLines, const TextMeasure& measure) {
    QString& text = br.text();
    text += QLatin1Char(' ');
    int pos = 0;
    int len = 0;
    for (;;) {
        const int sp = static_cast<int>(text.indexOf(QLatin1Char(' '), pos)) + 1; // 1-based
        if (sp == 0)
            break;
        if (br.emitted() == maxLines - 1) {
            // The last line that fits takes the rest of the text, clipped like a single
            // over-long line.
            len = static_cast<int>(text.size());
            break;
        }
        const int cw = measure(trimRight(text.left(sp))).width();
        if (cw > M && len > 0) {
            br.emitLine(len);
            len = 0;
            pos = 0;
            continue;
        }
        len = sp;
        pos = sp;
        if (cw <= M || cw <= 0)
            continue;
        len = shortenLongWord(text, sp, M, cw);
        pos = 0;
        br.emitLine(len);
        len = 0;
    }
    br.emitLine(len);
}

// One line when the text fits, when not even one line fits across, or when there is room for
// one line only; otherwise the text wraps at spaces.
void breakIntoLines(LineBreaker& br, QSize whole, LineRoom room, const TextMeasure& measure) {
    const int tw = whole.width();
    const int th = whole.height();
    const int maxLines = th > 0 ? std::max(1, room.B / th) : 1;
    // (A line limit of zero or less leaves no room to wrap into: the text stays one line.)
    if (tw <= room.M || th > room.B || maxLines < 2 || room.M <= 0)
        br.emitLine(static_cast<int>(br.text().size()));
    else
        wrapAtSpaces(br, room.M, maxLines, measure);
}

// The gap the icon takes beside the lines; none where the icon does not sit on their side.
int iconGap(const Frame& f) {
    if (!f.hasIcon || (f.ia == 1 && f.a == 0) || (f.ia == 0 && f.a == 2))
        return 0;
    return f.Z + 5;
}

// Lines of an unrotated caption, stacked and centred top to bottom.
void positionLinesAcross(std::vector<CaptionLine>& lines, const Frame& f) {
    const int n = static_cast<int>(lines.size());
    const int Gp = iconGap(f);
    const int top0 = (f.H - n * lines.front().height) / 2;
    int g = Gp;
    if (f.a == 1) {
        if (f.hasIcon) {
            const int shift = byStyle(f.s, 0, 18, 0, 0);
            g = f.ia == 0 ? (Gp - shift) / 2 : -((Gp + shift) / 2);
        } else {
            g = byStyle(f.s, 0, -18, 0, 18) / 2;
        }
    }
    for (int i = 0; i < n; ++i) {
        CaptionLine& l = lines[i];
        l.y = i * l.height + top0;
        if (f.a == 0)
            l.x = byStyle(f.s, 6, 6, 18, 18) + g;
        else if (f.a == 1)
            l.x = (f.W - l.width) / 2 + g;
        else
            l.x = f.W - (l.width + g) - byStyle(f.s, 6, 18, 18, 6);
    }
}

// Lines of a rotated caption, side by side and centred left to right; th is the height of the
// whole text on one line.
void positionLinesAlong(std::vector<CaptionLine>& lines, const Frame& f, int th) {
    const int n = static_cast<int>(lines.size());
    const int Gp = iconGap(f);
    const int left0 = (f.W - n * lines.front().height) / 2;
    const int base = f.o == 1 ? 0 : -f.W;
    const int far = f.o == 1 ? f.H : 0;
    int g = Gp;
    if (f.a == 1)
        g = ((f.o == 1 && f.ia == 0) || (f.o == 2 && f.ia == 1)) ? Gp / 2 : -(Gp / 2);
    for (int i = 0; i < n; ++i) {
        CaptionLine& l = lines[i];
        l.x = std::abs(i * th + base + left0);
        if (f.a == 0)
            l.y = std::abs(far - g - 6);
        else if (f.a == 1)
            l.y = std::abs(far - (f.H - l.width) / 2) - g;
        else
            l.y = f.H - std::abs(far - (l.width + g + 6));
    }
}

// The rectangle the positioned lines cover.
void setTextBlock(CaptionLayout& lay, const std::vector<CaptionLine>& lines, const Frame& f) {
    const int h0 = lines.front().height;
    int maxWidth = 0;
    for (const CaptionLine& l : lines)
        maxWidth = std::max(maxWidth, l.width);
    const CaptionLine& first = lines.front();
    const CaptionLine& last = lines.back();
    if (f.o == 0) {
        int left = std::numeric_limits<int>::max();
        for (const CaptionLine& l : lines)
            left = std::min(left, l.x);
        lay.blockTop = first.y;
        lay.blockBottom = last.y + h0;
        lay.blockLeft = left;
        lay.blockRight = left + maxWidth;
        return;
    }
    int top = f.H;
    for (const CaptionLine& l : lines)
        top = std::min(top, f.o == 1 ? std::abs(l.y - l.width) : l.y);
    if (f.o == 1) {
        lay.blockLeft = first.x;
        lay.blockRight = last.x + last.height;
    } else {
        lay.blockLeft = last.x - h0;
        lay.blockRight = first.x;
    }
    lay.blockTop = top;
    lay.blockBottom = top + maxWidth;
}

// The accelerator underline under its character, when the character landed on a line.
void placeUnderline(CaptionLayout& lay, const std::vector<CaptionLine>& lines,
                    const LineBreaker& br, int o, const TextMeasure& measure) {
    if (!br.placed() || br.acceleratorLine() >= static_cast<int>(lines.size()))
        return;
    const CaptionLine& l = lines[br.acceleratorLine()];
    const int p = measure(l.text.left(br.k())).width();
    const int ulen = br.underlineLength();
    lay.underlinePlaced = true;
    lay.underlineLine = br.acceleratorLine();
    lay.underlineLength = ulen;
    if (o == 0) {
        lay.underlineX = l.x + p - ulen;
        lay.underlineY = l.y + l.height;
    } else if (o == 1) {
        lay.underlineX = l.x + l.height;
        lay.underlineY = l.y - p;
    } else {
        lay.underlineX = l.x - l.height;
        lay.underlineY = l.y + p - ulen;
    }
}

// The icon beside the text block, centred on its other axis.
void placeIconBesideBlock(CaptionLayout& lay, const Frame& f) {
    if (f.o == 0) {
        lay.iconX = f.ia == 1 ? lay.blockRight + 5 : lay.blockLeft - f.Z - 5;
        lay.iconY = (lay.blockBottom - lay.blockTop - f.Z) / 2 + lay.blockTop;
        return;
    }
    lay.iconX = (lay.blockRight - lay.blockLeft - f.Z) / 2 + lay.blockLeft;
    const bool after = (f.o == 1 && f.ia == 0) || (f.o == 2 && f.ia == 1);
    lay.iconY = after ? lay.blockBottom + 5 : lay.blockTop - f.Z - 5;
}

// The focus frame around the text: the block enlarged by 2 on every side, then moved by
// (-1, -1).
void frameTextBlock(CaptionLayout& lay) {
    lay.blockLeft -= 3;
    lay.blockTop -= 3;
    lay.blockRight += 1;
    lay.blockBottom += 1;
}

} // namespace

QString DisplayText(const QString& caption, int k) {
    QString d = caption;
    d.replace(QStringLiteral("&&"), QStringLiteral("&"));
    if (k > 0 && k <= d.size())
        d.remove(k - 1, 1);
    return d;
}

void Accelerator(TamselData& d) {
    const QString& caption = d.config.caption;
    int pairs = 0;
    int found = -1; // 0-based index of the marker
    for (int i = 0; i < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&')) {
            ++pairs;
            ++i;
            continue;
        }
        found = i;
        break;
    }
    d.run.accelerator = 0;
    d.layout.underlinePlaced = false;
    d.layout.underlineX = 0;
    d.layout.underlineY = 0;
    d.layout.underlineLength = 0;
    d.layout.underlineLine = 0;
    // A marker at the very end has no character to stand for; such a caption, like one
    // without a marker, gives the button no access key.
    if (found < 0 || found + 1 >= caption.size()) {
        d.run.accessKey = QChar();
        return;
    }
    d.run.accessKey = caption.at(found + 1).toLower();
    d.run.accelerator = (found + 1) - pairs;
}

void Layout(TamselData& d, const TextMeasure& measure) {
    const Frame f = frameOf(d);
    CaptionLayout& lay = d.layout;
    clearLayout(lay);
    const int k = d.run.accelerator;
    const QString D = DisplayText(d.config.caption, k);

    if (f.hasIcon && d.config.caption.isEmpty()) {
        placeIconAlone(lay, f);
        return;
    }

    const QSize whole = measure(D);
    LineBreaker br(D, k, measure);
    breakIntoLines(br, whole, lineRoom(f), measure);
    std::vector<CaptionLine> lines = std::move(br.lines());
    if (lines.empty())
        lines.push_back(CaptionLine{});

    if (f.o == 0)
        positionLinesAcross(lines, f);
    else
        positionLinesAlong(lines, f, whole.height());
    setTextBlock(lay, lines, f);
    placeUnderline(lay, lines, br, f.o, measure);
    if (f.hasIcon)
        placeIconBesideBlock(lay, f);
    frameTextBlock(lay);
    lay.lines = std::move(lines);
}

void Layout(TamselData& d) {
    const CaptionFont cf = MakeFont(d, false);
    const QFontMetrics fm(cf.unrotated);
    Layout(d, [&fm](const QString& s) { return QSize(fm.horizontalAdvance(s), fm.height()); });
}

} // namespace qv::tamsel
