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
    const int W = d.run.clientSize.width();
    const int H = d.run.clientSize.height();
    const int s = d.config.buttonStyle;
    const int a = d.config.alignment;
    const int ia = d.config.iconAlignmentValue;
    const int o = d.config.captionOrientation;
    const bool hasIcon = d.run.hasIcon;
    const int Z = d.config.iconSquare();
    CaptionLayout& lay = d.layout;

    // 1. One empty record; the display text with the accelerator at position k.
    lay.lines.assign(1, CaptionLine{});
    lay.underlinePlaced = false;
    lay.underlineLength = 0;
    lay.underlineLine = 0;
    const int k = d.run.accelerator;
    QString D = DisplayText(d.config.caption, k);

    // 2. An icon alone is centred, shifted against the slant of the outline.
    if (hasIcon && d.config.caption.isEmpty()) {
        const int c = byStyle(s, 0, 18, 0, -18);
        lay.iconX = (W - Z) / 2 - c / 2;
        lay.iconY = (H - Z) / 2;
        // The focus mark of the flat and slanted looks frames the icon.
        lay.blockLeft = lay.iconX - 3;
        lay.blockTop = lay.iconY - 3;
        lay.blockRight = lay.iconX + Z + 1;
        lay.blockBottom = lay.iconY + Z + 1;
        return;
    }

    // 3, 4. Gap for the icon, line length limit M and the breadth B across the lines.
    const int G = hasIcon ? Z + 5 : 0;
    int M;
    int B;
    if (o == 0) {
        M = W - G - 6 - byStyle(s, 6, 18, 42, 18);
        B = H;
    } else {
        M = H - 12 - G;
        B = W;
    }

    // 5, 6. One line when it fits, when not even one line fits across, or when there is
    // room for one line only; otherwise wrap at spaces.
    const QSize whole = measure(D);
    const int tw = whole.width();
    const int th = whole.height();
    LineBreaker br(D, k, measure);
    const int maxLines = th > 0 ? std::max(1, B / th) : 1;
    // (A line limit of zero or less leaves no room to wrap into: the text stays one line.)
    if (tw <= M || th > B || maxLines < 2 || M <= 0) {
        br.emitLine(static_cast<int>(D.size()));
    } else {
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
            // A single word longer than a line: shortened and ended with "...".
            const int wordLength = sp - 1;
            int n = static_cast<int>((static_cast<double>(M) / cw) * text.size()) / 2;
            n = std::clamp(n, 1, std::max(1, wordLength));
            QString w = text.left(n);
            if (w.size() > 4)
                w.chop(3);
            w += QStringLiteral("...");
            text = w + text.mid(sp);
            len = static_cast<int>(w.size());
            pos = 0;
            br.emitLine(len);
            len = 0;
        }
        br.emitLine(len);
    }

    std::vector<CaptionLine> lines = std::move(br.lines());
    if (lines.empty())
        lines.push_back(CaptionLine{});
    const int n = static_cast<int>(lines.size());
    const int h0 = lines.front().height;

    // 8. Position the lines.
    int Gp = Z + 5;
    if (!hasIcon || (ia == 1 && a == 0) || (ia == 0 && a == 2))
        Gp = 0;
    if (o == 0) {
        const int top0 = (H - n * h0) / 2;
        int g = Gp;
        if (a == 1) {
            if (hasIcon) {
                const int f = byStyle(s, 0, 18, 0, 0);
                g = ia == 0 ? (Gp - f) / 2 : -((Gp + f) / 2);
            } else {
                g = byStyle(s, 0, -18, 0, 18) / 2;
            }
        }
        for (int i = 0; i < n; ++i) {
            CaptionLine& l = lines[i];
            l.y = i * l.height + top0;
            if (a == 0)
                l.x = byStyle(s, 6, 6, 18, 18) + g;
            else if (a == 1)
                l.x = (W - l.width) / 2 + g;
            else
                l.x = W - (l.width + g) - byStyle(s, 6, 18, 18, 6);
        }
    } else {
        const int left0 = (W - n * h0) / 2;
        const int base = o == 1 ? 0 : -W;
        const int far = o == 1 ? H : 0;
        int g = Gp;
        if (a == 1)
            g = ((o == 1 && ia == 0) || (o == 2 && ia == 1)) ? Gp / 2 : -(Gp / 2);
        for (int i = 0; i < n; ++i) {
            CaptionLine& l = lines[i];
            l.x = std::abs(i * th + base + left0);
            if (a == 0)
                l.y = std::abs(far - g - 6);
            else if (a == 1)
                l.y = std::abs(far - (H - l.width) / 2) - g;
            else
                l.y = H - std::abs(far - (l.width + g + 6));
        }
    }

    // 9. The text block.
    int maxWidth = 0;
    for (const CaptionLine& l : lines)
        maxWidth = std::max(maxWidth, l.width);
    const CaptionLine& first = lines.front();
    const CaptionLine& last = lines.back();
    if (o == 0) {
        int left = std::numeric_limits<int>::max();
        for (const CaptionLine& l : lines)
            left = std::min(left, l.x);
        lay.blockTop = first.y;
        lay.blockBottom = last.y + h0;
        lay.blockLeft = left;
        lay.blockRight = left + maxWidth;
    } else if (o == 1) {
        int top = H;
        for (const CaptionLine& l : lines)
            top = std::min(top, std::abs(l.y - l.width));
        lay.blockLeft = first.x;
        lay.blockRight = last.x + last.height;
        lay.blockTop = top;
        lay.blockBottom = top + maxWidth;
    } else {
        int top = H;
        for (const CaptionLine& l : lines)
            top = std::min(top, l.y);
        lay.blockLeft = last.x - h0;
        lay.blockRight = first.x;
        lay.blockTop = top;
        lay.blockBottom = top + maxWidth;
    }

    // 10. The accelerator underline.
    if (br.placed() && br.acceleratorLine() < n) {
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

    // 11. The icon beside the block.
    if (hasIcon) {
        if (o == 0) {
            lay.iconX = ia == 1 ? lay.blockRight + 5 : lay.blockLeft - Z - 5;
            lay.iconY = (lay.blockBottom - lay.blockTop - Z) / 2 + lay.blockTop;
        } else {
            lay.iconX = (lay.blockRight - lay.blockLeft - Z) / 2 + lay.blockLeft;
            const bool after = (o == 1 && ia == 0) || (o == 2 && ia == 1);
            lay.iconY = after ? lay.blockBottom + 5 : lay.blockTop - Z - 5;
        }
    }

    // 12. Enlarge by 2 on every side, then move by (-1, -1).
    lay.blockLeft -= 3;
    lay.blockTop -= 3;
    lay.blockRight += 1;
    lay.blockBottom += 1;
    lay.lines = std::move(lines);
}

void Layout(TamselData& d) {
    const CaptionFont cf = MakeFont(d, false);
    const QFontMetrics fm(cf.unrotated);
    Layout(d, [&fm](const QString& s) { return QSize(fm.horizontalAdvance(s), fm.height()); });
}

} // namespace qv::tamsel
