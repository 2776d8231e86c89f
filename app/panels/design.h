#pragma once

#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>

class Command;
class LineShape;
class ListView;
class PictureBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QWidget;
class RectShape;
namespace qv {
class ElidingTextBox;
}

// How the main window's panels make their controls: each at its design place (a rectangle in
// twips of the window), under its design name as object name, with the look the design gives it.
// The panels call these in their controls' design order, each control above the ones before.
namespace design {

// The window's background colour, which shows between the panels.
inline const QColor kBackground(88, 146, 231);

// How a control looks.
enum class Look {
    Plain,       // default font and colours
    Title,       // the product name in large type
    TitleShadow, // its shadow
    Logo,        // the logo text in the top right corner
    LogoShadow,
    Heading, // "Quorvane Settings", the version
    Body,    // the about text and the credit line
    Caption, // a text box used as a caption
    Input,   // an input field, blue text
    Info,    // a read-only text box showing a value
};

// A rectangle in twips: left, top, width, height.
struct Twips {
    int left, top, width, height;
};

QLabel* label(QWidget* panel, const char* name, Twips place, const QString& caption, Look look);
// A text box the operator types into.
QLineEdit* textBox(QWidget* panel, const char* name, Twips place, Look look);
// A read-only text box showing a caption or a value.
QLineEdit* captionBox(QWidget* panel, const char* name, Twips place, const QString& caption,
                      Look look);
// The same for a text that may not fit: shown elided in the middle, whole in its tooltip.
qv::ElidingTextBox* elidingCaptionBox(QWidget* panel, const char* name, Twips place, Look look);
// A picture drawn by the project (assets/), with its tooltip when it has one.
PictureBox* picture(QWidget* panel, const char* name, Twips place, const char* asset,
                    const QString& toolTip = {});
// A white line between two points in twips.
LineShape* line(QWidget* panel, const char* name, QPoint from, QPoint to);
RectShape* shape(QWidget* panel, const char* name, Twips place);
Command* flatButton(QWidget* panel, const char* name, Twips place, const QString& caption);
QPushButton* button(QWidget* panel, const char* name, Twips place, const QString& caption);
QCheckBox* checkBox(QWidget* panel, const char* name, Twips place, const QString& caption,
                    Look look);
QListWidget* listBox(QWidget* panel, const char* name, Twips place);
ListView* listView(QWidget* panel, const char* name, Twips place);
QProgressBar* progressBar(QWidget* panel, const char* name, Twips place);

// A note in a tenth smaller type than its look's (the system's name, the support address).
void makeNote(QWidget* control);

// One of the project's pictures (assets/).
QPixmap asset(const QString& file);

} // namespace design
