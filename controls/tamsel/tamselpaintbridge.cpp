#include "controls/tamsel/tamselpaintbridge.h"

#include "controls/tamsel/caption.h"
#include "controls/tamsel/captionlayout.h"
#include "controls/tamsel/region.h"
#include "controls/tamsel/tamselpainter.h"

namespace qv::tamsel::bridge {

void paint(TamselData& data, QImage& back, bool snapshot) {
    Paint(back, data, snapshot);
}

void layout(TamselData& data, QImage&) {
    MakeFont(data, true);
}

void greyIcon(TamselData& data, QImage& back) {
    GreyIcon(back, data);
}

void accelerator(TamselData& data) {
    Accelerator(data);
}

QRegion region(const TamselData& data) {
    return WindowRegion(data.config.buttonType, data.config.buttonStyle,
                        data.run.clientSize.width(), data.run.clientSize.height());
}

} // namespace qv::tamsel::bridge
