#pragma once

#include <QString>

class Command;
class LineShape;
class PictureBox;
class QLabel;
class QLineEdit;
class QWidget;
class RectShape;

// The window's own background, title, logo and borders, the status of the Word commands and
// the row of buttons and pictures that stays whatever the window shows.
class WindowFrame {
public:
    // The status of a Word command, painted at once (the command runs before the next repaint).
    void showCommandStatus(const QString& text);
    void hideCommandStatus();

    void showHeadingRule(); // the rule under the panel's heading

    // The picture under the pointer gets a single-line border, the others none; nullptr (the
    // window's background) clears all three.
    void showPictureBorder(const PictureBox* picture);

    // Where the first guidance balloon points: the status area of the Word commands. A balloon
    // is placed over a control, so this one control is handed out as a widget.
    const QWidget* guidanceAnchor() const;

private:
    friend class Form2;
    friend struct Form2Design;
    friend struct Form2Routes;

    QLabel* background_ = nullptr;
    QLabel* titleShadow_ = nullptr;
    QLabel* logo_ = nullptr;
    QLabel* logoShadow_ = nullptr;
    QLabel* cornerVersion_ = nullptr;
    PictureBox* cornerPicture_ = nullptr;
    RectShape* rightBorderOuter_ = nullptr;
    RectShape* rightBorderInner_ = nullptr;
    LineShape* titleRuleTop_ = nullptr;
    LineShape* titleRuleMiddle_ = nullptr;
    LineShape* titleRuleBottom_ = nullptr;
    LineShape* headingRule_ = nullptr;
    QLineEdit* supportAddress_ = nullptr;
    QLineEdit* commandStatus_ = nullptr;
    Command* quitButton_ = nullptr;
    PictureBox* exitPicture_ = nullptr;
    PictureBox* aboutPicture_ = nullptr;
    PictureBox* settingsPicture_ = nullptr;
};
