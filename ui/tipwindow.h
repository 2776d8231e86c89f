#pragma once

#include "drawing/tipshape.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

// The tooltip window BalloonTooltip builds: one tool (a whole widget) per window. It watches the
// pointer over its tool with an event filter: the tip shows once the pointer has rested on the
// tool for the initial delay, and goes after the visible time, on a click, or when the pointer
// leaves. It shows while the application is inactive too, and shows ampersands as they are.
namespace qv {

class TipWindow : public QWidget {
    Q_OBJECT
public:
    enum TitleIcon { NoIcon = 0, Information = 1, Warning = 2, Error = 3 };

    TipWindow(bool balloon, bool centred);
    ~TipWindow() override;

    // Registers the tool: the widget the tip belongs to and its text.
    void addTool(QWidget* tool, const QString& text);
    void updateTipText(const QString& text);
    void setTitle(int icon, const QString& title);
    void setTipTextColor(const QColor& color);
    void setTipBackColor(const QColor& color);
    void setInitialDelay(int ms); // a negative value restores the default
    void setAutoPopDelay(int ms); // a negative value restores the default

    bool isBalloon() const { return balloon_; }
    bool isCentred() const { return centred_; }
    QWidget* tool() const { return tool_; }
    QString tipText() const { return text_; }
    QString title() const { return title_; }
    int titleIcon() const { return icon_; }
    QColor tipTextColor() const { return textColor_; }
    QColor tipBackColor() const { return backColor_; }
    int initialDelay() const { return initial_; }
    int autoPopDelay() const { return autoPop_; }
    bool isTipShown() const { return isVisible(); }
    const TipShape& shape() const { return shape_; }

    // The tip as it would be drawn now, on a transparent background (for checks and pictures).
    QImage renderTip();

    static constexpr int kDefaultInitial = 500;
    static constexpr int kDefaultAutoPop = 5000;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void pointerAt(QPoint global);
    void popUp();
    void pop();
    void layoutTip(QPoint anchor, bool above);
    QSize contentSize() const;
    QString screenText() const;
    void paintTip(QPainter& painter);
    void watch(QWidget* widget);

    bool balloon_;
    bool centred_;
    QPointer<QWidget> tool_;
    QList<QPointer<QWidget>> watched_;
    QString text_;
    QString title_;
    int icon_ = NoIcon;
    QColor textColor_;
    QColor backColor_;
    int initial_ = kDefaultInitial;
    int autoPop_ = kDefaultAutoPop;
    QTimer initialTimer_;
    QTimer autoPopTimer_;
    QPoint pointer_; // last pointer position over the tool, global
    bool inside_ = false;
    bool popped_ = false; // shown and timed out; shows again after the pointer has left
    TipShape shape_;
};

// The tip's text as shown: line breaks of any kind become new lines; trailing ones are dropped.
QString tipDisplayText(const QString& text);

} // namespace qv
