#pragma once

#include <QLine>
#include <QString>

#include <optional>
#include <vector>

// Keeps a window's layout proportional to its size. The first time the scaler meets a form it
// records the form's inner size and every control's place and size; later calls scale every
// control from its record by the form's current inner width and height as whole percentages.
// Fonts are not scaled. Everything here works on the small interfaces below, so any kind of
// window can take part; ui/scaler.h adapts widgets.
namespace qv::scaler {

// One record for a form or a control (all values in the form's units, twips for the main window).
struct LayoutRecord {
    QString Name;
    qint32 Index = 0;       // index within a control array; 0 for a form or a single control
    QString FormName;       // empty for a form
    qint32 Top = 0;         // a line's Y1
    qint32 Left = 0;        // after normaliseLeft; a line's X1
    qint32 Height = 0;      // a line's Y2
    qint32 Width = 0;       // a line's X2 after normaliseLeft
    qint32 ScaleHeight = 0; // inner height, forms only
    qint32 ScaleWidth = 0;  // inner width, forms only

    bool operator==(const LayoutRecord&) const = default;
};

// A control parked 75000 twips to the left (out of sight) is recorded at its visible place.
inline constexpr qint32 kParkOffset = 75000;
qint32 normaliseLeft(qint32 v);

// A form at this top or lower is out of sight: nothing of it is scaled.
inline constexpr qint32 kParkedFormTop = 30000;

enum class LineEnd { X1, Y1, X2, Y2 };

// One end coordinate of a line.
qint32 lineEndOf(const QLine& line, LineEnd e);
// The line with one end coordinate replaced.
QLine withLineEnd(QLine line, LineEnd e, qint32 v);

// What the scaler needs of a control. Any property may be missing: its getter gives nullopt and
// its setter false.
class ScalableControl {
public:
    virtual ~ScalableControl() = default;
    virtual QString name() const = 0;
    virtual std::optional<qint32> index() const { return std::nullopt; }
    virtual bool isLine() const { return false; }
    virtual std::optional<double> left() const { return std::nullopt; }
    virtual std::optional<double> top() const { return std::nullopt; }
    virtual std::optional<double> width() const { return std::nullopt; }
    virtual std::optional<double> height() const { return std::nullopt; }
    virtual std::optional<double> lineEnd(LineEnd) const { return std::nullopt; }
    virtual bool setLineEnd(LineEnd, qint32) { return false; }
    // Moves to (left, top), and sizes when width (and height) are given; false when refused.
    virtual bool move(qint32 left, qint32 top, std::optional<qint32> width,
                      std::optional<qint32> height) = 0;
    virtual bool setIntegralHeight(bool) { return false; }
};

class ScalableForm {
public:
    virtual ~ScalableForm() = default;
    virtual QString name() const = 0;
    virtual double top() const = 0;
    virtual double left() const = 0;
    virtual double height() const = 0;
    virtual double width() const = 0;
    virtual double scaleHeight() const = 0; // inner height
    virtual double scaleWidth() const = 0;  // inner width
    // The form's controls in the form's own order.
    virtual std::vector<ScalableControl*> controls() = 0;
};

class LayoutScaler {
public:
    // The only entry callers use.
    void rescaleForm(ScalableForm& form);

    const std::vector<LayoutRecord>& formRecords() const { return forms_; }
    const std::vector<LayoutRecord>& controlRecords() const { return controls_; }
    bool rescaleRunning() const { return running_; }

    void rescaleControl(ScalableControl& control, ScalableForm& form);
    int widthPercent(ScalableForm& form);
    int heightPercent(ScalableForm& form);
    int findFormRecord(const ScalableForm& form) const;
    int findControlRecord(const ScalableControl& control, const QString& formName) const;
    int addFormRecord(ScalableForm& form);
    int addControlRecord(ScalableControl& control, const QString& formName);

private:
    int percent(ScalableForm& form, bool horizontal);

    std::vector<LayoutRecord> forms_;
    std::vector<LayoutRecord> controls_;
    bool running_ = false;
};

// The program's one scaler.
LayoutScaler& layoutScaler();

} // namespace qv::scaler
