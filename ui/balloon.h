#pragma once

#include "drawing/balloonlayout.h"

#include <QRegion>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QLabel;
class QTextEdit;
class QTimer;

namespace qv {

// What a balloon shows and where: positions and sizes in twips, the auto-close time in ms.
struct BalloonContent {
    QString title;
    QString body;          // plain text; empty keeps the body as it is
    QPoint atTwips;        // the window's top left corner on the screen
    QString iconCode;      // "i" information, "!" warning, ... (balloon::iconForCode)
    bool showClose = true; // the close button in the corner
    int autoCloseMs = 0;   // 0 = never
    QSize sizeTwips{balloon::kDesignWidthTwips, balloon::kDesignHeightTwips};
    QString fontName;      // empty keeps the design's font
    QString rtfFile;       // a rich-text body read from this file, when given
    bool showLink = false; // the link strip under the body
};

// Why setBalloon stopped. The window keeps what was filled before the failing step.
struct BalloonFailure {
    enum class Kind {
        RtfFile,        // the body's RTF file is missing, unreadable or not RTF
        AutoCloseRange, // the auto-close time lies outside 0 to 65535 ms
    };
    Kind kind;
    QString message;
};

// The cross drawn over the close button.
class BalloonCloseGlyph : public QWidget {
    Q_OBJECT
public:
    explicit BalloonCloseGlyph(QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;
};

// A balloon-shaped tip window: a pale yellow title band with an optional icon and close button,
// a rich-text body, a black rounded border. It closes itself when clicked, when its close button
// is clicked or when its auto-close time runs out; dragging the title moves it. Make a new one
// for every message; it deletes itself when it closes.
class BalloonWindow : public QWidget {
    Q_OBJECT
public:
    explicit BalloonWindow(QWidget* owner = nullptr);

    // Fills, places and sizes the window. Returns the failure when the RTF file cannot be shown
    // or the auto-close time is out of range; the steps before the failing one have been done.
    [[nodiscard]] std::optional<BalloonFailure> setBalloon(const BalloonContent& content);

    void hideBalloon();
    // Gives the window its rounded outline and border for its current size.
    void roundCorners();

    // The outline roundCorners gave the window last (the window system may ignore it).
    QRegion windowRegion() const { return region_; }
    // Where the children are for the current size.
    balloon::Layout currentLayout() const;
    balloon::Icon currentIcon() const { return icon_; }
    // The auto-close time setBalloon set, 0 when the timer is off.
    int autoCloseAfter() const { return autoCloseAfter_; }
    QString titleText() const;
    // The body as plain text, whether it came as text or from an RTF file.
    QString bodyText() const;

signals:
    void linkClicked();

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void showEvent(QShowEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void runLayout();
    bool clickOn(QObject* watched, QEvent* event);

    QLabel* title_;
    QLabel* iconPicture_;
    QLabel* closeButton_;
    QLabel* closeButtonUp_;   // the close button's face at rest
    QLabel* closeButtonDown_; // its face while pressed
    BalloonCloseGlyph* closeGlyph_;
    QTextEdit* text_;
    QTimer* autoCloseTimer_;
    QWidget* linkStrip_;
    // The icon pictures setBalloon copies from, by balloon::iconSlot.
    std::array<QLabel*, 3> classicIcons_;
    std::array<QLabel*, 3> modernIcons_;

    QRegion region_;
    balloon::Icon icon_ = balloon::Icon::None;
    int autoCloseAfter_ = 0;
    QObject* pressedOn_ = nullptr;
};

} // namespace qv
