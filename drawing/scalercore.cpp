#include "drawing/scalercore.h"

#include "platform/twips.h"

#include <algorithm>
#include <limits>

namespace qv::scaler {
namespace {

qint32 rounded(double v) {
    const double lo = std::numeric_limits<qint32>::min();
    const double hi = std::numeric_limits<qint32>::max();
    return qv::roundHalfEven(std::clamp(v, lo, hi));
}

// (value x percent) div 100, truncating toward zero, kept within 32 bits.
qint32 scaled(qint32 value, int percent) {
    const qint64 v = static_cast<qint64>(value) * percent / 100;
    return static_cast<qint32>(std::clamp<qint64>(v, std::numeric_limits<qint32>::min(),
                                                  std::numeric_limits<qint32>::max()));
}

// Subtracts the park offset when the current value says the control is parked.
qint32 parked(qint32 value, std::optional<double> current) {
    return current && *current < 0 ? value - kParkOffset : value;
}

} // namespace

qint32 lineEndOf(const QLine& line, LineEnd e) {
    switch (e) {
    case LineEnd::X1:
        return line.x1();
    case LineEnd::Y1:
        return line.y1();
    case LineEnd::X2:
        return line.x2();
    case LineEnd::Y2:
        return line.y2();
    }
    return 0;
}

QLine withLineEnd(QLine line, LineEnd e, qint32 v) {
    switch (e) {
    case LineEnd::X1:
        line.setP1({v, line.y1()});
        break;
    case LineEnd::Y1:
        line.setP1({line.x1(), v});
        break;
    case LineEnd::X2:
        line.setP2({v, line.y2()});
        break;
    case LineEnd::Y2:
        line.setP2({line.x2(), v});
        break;
    }
    return line;
}

qint32 normaliseLeft(qint32 v) {
    return v < 0 ? v + kParkOffset : v;
}

void LayoutScaler::rescaleForm(ScalableForm& form) {
    if (running_)
        return;
    running_ = true;
    if (form.top() < kParkedFormTop) {
        for (ScalableControl* control : form.controls())
            rescaleControl(*control, form);
    }
    running_ = false;
}

void LayoutScaler::rescaleControl(ScalableControl& control, ScalableForm& form) {
    const int Y = heightPercent(form);
    const int X = widthPercent(form);
    const int i = findControlRecord(control, form.name());
    if (i < 0)
        return; // made after its form was recorded: left where the program put it
    const LayoutRecord& R = controls_[static_cast<size_t>(i)];

    if (control.isLine()) {
        control.setLineEnd(LineEnd::X1, parked(scaled(R.Left, X), control.lineEnd(LineEnd::X1)));
        control.setLineEnd(LineEnd::Y1, scaled(R.Top, Y));
        control.setLineEnd(LineEnd::X2, parked(scaled(R.Width, X), control.lineEnd(LineEnd::X2)));
        control.setLineEnd(LineEnd::Y2, scaled(R.Height, Y));
        return;
    }
    const qint32 newLeft = parked(scaled(R.Left, X), control.left());
    const qint32 newTop = scaled(R.Top, Y);
    const qint32 newWidth = scaled(R.Width, X);
    const qint32 newHeight = scaled(R.Height, Y);
    // Each attempt runs even when the one before was refused: a control whose height cannot be
    // set still gets its width and place, one whose size cannot be set still gets its place.
    control.move(newLeft, newTop, newWidth, newHeight);
    control.move(newLeft, newTop, newWidth, std::nullopt);
    control.move(newLeft, newTop, std::nullopt, std::nullopt);
}

int LayoutScaler::widthPercent(ScalableForm& form) {
    return percent(form, true);
}

int LayoutScaler::heightPercent(ScalableForm& form) {
    return percent(form, false);
}

int LayoutScaler::percent(ScalableForm& form, bool horizontal) {
    int i = findFormRecord(form);
    if (i == -1)
        i = addFormRecord(form);
    const LayoutRecord& r = forms_[static_cast<size_t>(i)];
    const qint32 recorded = horizontal ? r.ScaleWidth : r.ScaleHeight;
    if (recorded == 0)
        return 100; // a form recorded without inner size gives no proportion: keep the records
    const double current = horizontal ? form.scaleWidth() : form.scaleHeight();
    const qint64 v = static_cast<qint64>(qv::roundHalfEven(current * 100.0)) / recorded;
    return static_cast<int>(
        std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int LayoutScaler::findFormRecord(const ScalableForm& form) const {
    const QString name = form.name();
    for (size_t i = 0; i < forms_.size(); ++i)
        if (forms_[i].Name == name)
            return static_cast<int>(i);
    return -1;
}

int LayoutScaler::addFormRecord(ScalableForm& form) {
    LayoutRecord r;
    r.Name = form.name();
    r.Top = rounded(form.top());
    r.Left = rounded(form.left());
    r.Height = rounded(form.height());
    r.Width = rounded(form.width());
    r.ScaleHeight = rounded(form.scaleHeight());
    r.ScaleWidth = rounded(form.scaleWidth());
    forms_.push_back(r);
    const int index = static_cast<int>(forms_.size()) - 1;
    for (ScalableControl* control : form.controls())
        if (findControlRecord(*control, r.Name) == -1)
            addControlRecord(*control, r.Name);
    return index;
}

int LayoutScaler::findControlRecord(const ScalableControl& control, const QString& formName) const {
    const QString name = control.name();
    const std::optional<qint32> index = control.index();
    for (size_t i = 0; i < controls_.size(); ++i) {
        const LayoutRecord& r = controls_[i];
        if (r.FormName != formName || r.Name != name)
            continue;
        if (!index || *index == r.Index)
            return static_cast<int>(i);
    }
    return -1;
}

int LayoutScaler::addControlRecord(ScalableControl& control, const QString& formName) {
    LayoutRecord r;
    r.Name = control.name();
    r.Index = control.index().value_or(0);
    r.FormName = formName;
    auto read = [](std::optional<double> v) { return v ? rounded(*v) : 0; };
    if (control.isLine()) {
        r.Top = read(control.lineEnd(LineEnd::Y1));
        r.Left = normaliseLeft(read(control.lineEnd(LineEnd::X1)));
        r.Height = read(control.lineEnd(LineEnd::Y2));
        r.Width = normaliseLeft(read(control.lineEnd(LineEnd::X2)));
    } else {
        r.Top = read(control.top());
        r.Left = normaliseLeft(read(control.left()));
        r.Height = read(control.height());
        r.Width = read(control.width());
    }
    control.setIntegralHeight(false);
    controls_.push_back(r);
    return static_cast<int>(controls_.size()) - 1;
}

LayoutScaler& layoutScaler() {
    static LayoutScaler scaler;
    return scaler;
}

} // namespace qv::scaler
