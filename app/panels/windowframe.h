#pragma once

#include "ui/designlayer.h"

#include <QString>

class Command;
class LineShape;
class PictureBox;
class QLabel;
class QLineEdit;
class RectShape;

// The window's own background, logo and borders and the row of buttons and pictures that stays
// whatever the window shows. The bottom layer of the window: the other panels lie over it.
class WindowFrame : public qv::DesignLayer {
    Q_OBJECT
public:
    explicit WindowFrame(QWidget* window);

    void showVersion(const QString& version); // in the top right corner
    void showHeadingRule();                   // the rule under the panel's heading

    // The picture under the pointer gets a single-line border, the others none.
    void showPictureBorder(const PictureBox* picture);
    void clearPictureBorders();

signals:
    void quitRequested();  // "Quit"
    void exitRequested();  // the exit picture
    void aboutRequested(); // the about picture

private:
    QLabel* background_;
    RectShape* rightBorderOuter_;
    RectShape* rightBorderInner_;
    LineShape* headingRule_;
    PictureBox* cornerPicture_;
    QLabel* logoShadow_;
    QLabel* logo_;
    QLabel* cornerVersion_;
    QLineEdit* supportAddress_;
    Command* quitButton_;
    PictureBox* exitPicture_;
    PictureBox* aboutPicture_;
    PictureBox* settingsPicture_;
};
