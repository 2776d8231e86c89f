#include "ui/scaler.h"

#include "platform/twips.h"
#include "ui/designlayer.h"

#include <QMetaProperty>
#include <QPointer>
#include <QWidget>

#include <memory>

namespace qv {
namespace {

using scaler::LineEnd;

class ObjectControl : public scaler::ScalableControl {
public:
    ObjectControl(QObject* object, const LineEndsAccess* lines)
        : object_(object), widget_(qobject_cast<QWidget*>(object)), lines_(lines) {}

    QString name() const override { return object_ ? object_->objectName() : QString(); }

    // Members of a control array carry their index as the property "controlIndex".
    std::optional<qint32> index() const override {
        const QVariant v = object_ ? object_->property("controlIndex") : QVariant();
        bool ok = false;
        const int i = v.toInt(&ok);
        return v.isValid() && ok ? std::optional<qint32>(i) : std::nullopt;
    }

    bool isLine() const override { return ends().has_value(); }

    std::optional<double> left() const override { return px(&QWidget::x); }
    std::optional<double> top() const override { return px(&QWidget::y); }
    std::optional<double> width() const override { return px(&QWidget::width); }
    std::optional<double> height() const override { return px(&QWidget::height); }

    std::optional<double> lineEnd(LineEnd e) const override {
        const auto l = ends();
        return l ? std::optional<double>(scaler::lineEndOf(*l, e)) : std::nullopt;
    }

    bool setLineEnd(LineEnd e, qint32 v) override {
        const auto l = ends();
        if (!l)
            return false;
        lines_->setEnds(widget_, scaler::withLineEnd(*l, e, v));
        return true;
    }

    bool move(qint32 left, qint32 top, std::optional<qint32> width,
              std::optional<qint32> height) override {
        if (!widget_ || isLine())
            return false;
        const QPoint at(qv::twipsToPixels(left), qv::twipsToPixels(top));
        const QSize size(width ? qv::twipsToPixels(std::max(0, *width)) : widget_->width(),
                         height ? qv::twipsToPixels(std::max(0, *height)) : widget_->height());
        widget_->setGeometry(QRect(at, size));
        return true;
    }

    bool setIntegralHeight(bool on) override {
        if (!object_)
            return false;
        const int i = object_->metaObject()->indexOfProperty("IntegralHeight");
        return i >= 0 && object_->metaObject()->property(i).write(object_, on);
    }

private:
    std::optional<double> px(int (QWidget::*get)() const) const {
        if (!widget_ || isLine())
            return std::nullopt;
        return static_cast<double>(qv::pixelsToTwips((widget_->*get)()));
    }
    std::optional<QLine> ends() const {
        return lines_ && widget_ ? lines_->ends(widget_) : std::nullopt;
    }

    QPointer<QObject> object_;
    QWidget* widget_;
    const LineEndsAccess* lines_;
};

class WidgetForm : public scaler::ScalableForm {
public:
    WidgetForm(QWidget& form, const LineEndsAccess* lines) : form_(form) {
        addControls(form, lines);
    }

    QString name() const override {
        return form_.objectName().isEmpty() ? QString::fromLatin1(form_.metaObject()->className())
                                            : form_.objectName();
    }
    double top() const override { return qv::pixelsToTwips(outer().top()); }
    double left() const override { return qv::pixelsToTwips(outer().left()); }
    double height() const override { return qv::pixelsToTwips(outer().height()); }
    double width() const override { return qv::pixelsToTwips(outer().width()); }
    double scaleHeight() const override { return qv::pixelsToTwips(form_.height()); }
    double scaleWidth() const override { return qv::pixelsToTwips(form_.width()); }

    std::vector<scaler::ScalableControl*> controls() override {
        std::vector<scaler::ScalableControl*> out;
        for (auto& c : controls_)
            out.push_back(c.get());
        return out;
    }

private:
    // The named children of parent; the controls of a layer (which covers the window, so that
    // its controls' places are the window's) count as the window's own.
    void addControls(const QObject& parent, const LineEndsAccess* lines) {
        for (QObject* child : parent.children()) {
            if (auto* layer = qobject_cast<DesignLayer*>(child)) {
                addControls(*layer, lines);
                continue;
            }
            const QString name = child->objectName();
            if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
                continue;
            if (auto* w = qobject_cast<QWidget*>(child); w && w->isWindow())
                continue; // a window of its own (a balloon, a tooltip) is no control
            controls_.push_back(std::make_unique<ObjectControl>(child, lines));
        }
    }

    QRect outer() const { return form_.isWindow() ? form_.frameGeometry() : form_.geometry(); }

    QWidget& form_;
    std::vector<std::unique_ptr<ObjectControl>> controls_;
};

} // namespace

void rescaleForm(scaler::LayoutScaler& scaler, QWidget& window, const LineEndsAccess* lines) {
    if (scaler.rescaleRunning())
        return; // moving a control can raise another resize of the window
    WidgetForm form(window, lines);
    scaler.rescaleForm(form);
}

void rescaleForm(QWidget& window, const LineEndsAccess* lines) {
    rescaleForm(scaler::layoutScaler(), window, lines);
}

} // namespace qv
