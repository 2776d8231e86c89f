#pragma once

#include "ui/tipwindow.h"

#include <QPointer>
#include <QString>

// A tooltip for one widget: a balloon (Style 1) or a plain rectangle, with an optional bold title
// and title icon, optional colours and its own show and hide timings.
//
// Fill the properties, call Create with the widget, and Destroy when the tip is no longer wanted.
// Every Create throws the previous tooltip window away and builds a new one from the current
// properties; from then on the window watches the pointer over the widget by itself. Changes of
// the text and the colours reach an existing window at once; Style, Centered, VisibleTime and
// DelayTime take effect at the next Create. A title written later reaches the window only when an
// icon is set too (and the reverse), while Create sends it when either one is set.
class BalloonTooltip {
public:
    // Members of the tool record registered with the window.
    struct ToolInfo {
        quint32 size = 0;
        quint32 flags = 0; // kIdIsWidget + kSubclass, plus kCentreTip when centred
        QPointer<QWidget> window;
        QString text;
    };
    static constexpr quint32 kIdIsWidget = 0x01;
    static constexpr quint32 kCentreTip = 0x02;
    static constexpr quint32 kSubclass = 0x10;

    BalloonTooltip();
    ~BalloonTooltip();
    BalloonTooltip(const BalloonTooltip&) = delete;
    BalloonTooltip& operator=(const BalloonTooltip&) = delete;

    int Style() const { return style_; } // 1 = balloon, anything else a rectangle
    void Style(int value) { style_ = value; }

    bool Centered() const { return centred_; }
    void Centered(bool value) { centred_ = value; }

    void Create(QWidget* owner);

    int Icon() const { return icon_; } // 0 none, 1 information, 2 warning, 3 error
    void Icon(int value);

    quint32 ForeColor() const { return foreColor_; } // 0x00BBGGRR; 0 = the system's tip colour
    void ForeColor(quint32 value);

    QString Title() const { return title_; }
    void Title(const QString& value);

    quint32 BackColor() const { return backColor_; }
    void BackColor(quint32 value);

    QString TipText() const { return tipText_; }
    void TipText(const QString& value);

    void Destroy();

    int VisibleTime() const { return visibleTime_; } // milliseconds
    void VisibleTime(int value) { visibleTime_ = value; }

    int DelayTime() const { return delayTime_; } // milliseconds
    void DelayTime(int value) { delayTime_ = value; }

    // The tooltip window made by the last Create, nullptr while there is none.
    qv::TipWindow* window() const { return window_; }
    QWidget* parentWindow() const { return parent_; }
    const ToolInfo& toolInfo() const { return tool_; }

private:
    quint32 backColor_ = 0;
    QString title_;
    quint32 foreColor_ = 0;
    int icon_ = 0;
    bool centred_ = false;
    int style_ = 0;
    QString tipText_;
    int visibleTime_ = 9000;
    int delayTime_ = 500;
    QPointer<qv::TipWindow> window_;
    QPointer<QWidget> parent_;
    ToolInfo tool_;
};
