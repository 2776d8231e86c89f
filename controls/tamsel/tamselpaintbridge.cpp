#include "controls/tamsel/tamselpaintbridge.h"

#include <QPainter>

// Stand-ins until the painting routines are in place: a plain face and the caption.
namespace qv::tamsel::bridge {

void paint(TamselData& data, QImage& back, bool snapshot) {
    if (back.isNull())
        return;
    QPainter p(&back);
    p.fillRect(back.rect(), toQColor(data.run.palette.F));
    if (!snapshot) {
        p.setPen(toQColor(data.run.state == VisualState::Hover ? data.run.palette.TO
                                                               : data.run.palette.T));
        p.setFont(data.config.font);
        QString text = data.config.caption;
        text.replace(QLatin1String("&&"), QLatin1String("\x01")).remove(QLatin1Char('&'));
        text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
        p.drawText(back.rect(), Qt::AlignCenter, text);
    }
    if (data.run.designMode)
        data.run.state = VisualState::Normal;
}

void layout(TamselData&, QImage&) {}

void greyIcon(TamselData&, QImage&) {}

void accelerator(TamselData& data) {
    const QString& c = data.config.caption;
    data.run.accelerator = 0;
    int pairs = 0;
    for (qsizetype i = 0; i + 1 < c.size(); ++i) {
        if (c[i] != QLatin1Char('&'))
            continue;
        if (c[i + 1] == QLatin1Char('&')) {
            ++pairs;
            ++i;
            continue;
        }
        data.run.accessKey = c[i + 1].toLower();
        data.run.accelerator = static_cast<int>(i + 1) - pairs;
        return;
    }
}

QRegion region(const TamselData& data) {
    return QRegion(0, 0, data.run.clientSize.width(), data.run.clientSize.height());
}

} // namespace qv::tamsel::bridge
