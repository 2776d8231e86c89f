#pragma once

#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QPoint>
#include <QWidget>

// The plain window-system controls the main window draws itself: pictures, lines and rectangles.

// A picture with an optional single-line border; it reports clicks and pointer moves.
class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    QPixmap Picture() const { return picture_; }
    bool Stretch() const { return stretch_; }
    void setStretch(bool on);

    static constexpr int kNoBorder = 0;
    static constexpr int kSingleBorder = 1;
    int BorderStyle() const { return border_; } // kNoBorder or kSingleBorder
    void setBorderStyle(int style);

signals:
    void Click();
    void MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap picture_;
    bool stretch_ = true;
    int border_ = 0;
};

// A straight line between two points given in twips of the parent window.
class LineShape : public QWidget {
    Q_OBJECT
public:
    explicit LineShape(QWidget* parent = nullptr);

    void setEnds(QPoint fromTwips, QPoint toTwips);
    QPoint From() const { return from_; }
    QPoint To() const { return to_; }
    void setColour(const QColor& colour);
    QColor Colour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint from_;
    QPoint to_;
    QColor colour_ = Qt::white;
};

// A rectangle frame, optionally filled.
class RectShape : public QWidget {
    Q_OBJECT
public:
    explicit RectShape(QWidget* parent = nullptr);

    void setBorderColour(const QColor& colour);
    void setFillColour(const QColor& colour); // invalid colour: transparent

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor border_ = Qt::white;
    QColor fill_;
};
