#include "app/panels/design.h"

#include "controls/command/command.h"
#include "platform/twips.h"
#include "ui/elidingtextbox.h"
#include "ui/listview.h"
#include "ui/shapes.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>

namespace design {
namespace {

QFont lookFont(Look look, const QFont& base) {
    QFont f = base;
    switch (look) {
    case Look::Title:
    case Look::TitleShadow:
        f.setPointSize(40);
        f.setBold(true);
        break;
    case Look::Logo:
    case Look::LogoShadow:
        f.setPointSize(24);
        f.setBold(true);
        f.setItalic(true);
        break;
    case Look::Heading:
        f.setPointSize(12);
        f.setBold(true);
        break;
    case Look::Caption:
        f.setBold(true);
        break;
    case Look::Input:
        f.setPointSize(10);
        break;
    default:
        break;
    }
    return f;
}

QColor lookColour(Look look) {
    switch (look) {
    case Look::TitleShadow:
    case Look::LogoShadow:
        return QColor(20, 50, 120);
    case Look::Input:
        return QColor(0, 0, 255);
    case Look::Info:
        return QColor(0, 0, 0);
    default:
        return QColor(255, 255, 255);
    }
}

// What every control gets: its panel, design name and place.
template <class T> T* make(QWidget* panel, const char* name, Twips place) {
    T* control = new T(panel);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(qv::twipsToPixels(place.left, place.top, place.width, place.height));
    return control;
}

// Font and colours of a look, the font built on the window's. The lists draw their entries on a
// light background, in the system's dark text; a caption box shows the window's background unless
// it shows a value.
enum class Surface { Plain, List, CaptionBox };
void applyLook(QWidget* control, Look look, Surface surface = Surface::Plain) {
    control->setFont(lookFont(look, control->parentWidget()->font()));
    QPalette pal = control->palette();
    pal.setColor(QPalette::WindowText, lookColour(look));
    pal.setColor(QPalette::Text, surface == Surface::List ? QColor(Qt::black) : lookColour(look));
    if (surface == Surface::CaptionBox && look != Look::Info)
        pal.setColor(QPalette::Base, kBackground);
    control->setPalette(pal);
}

} // namespace

void makeNote(QWidget* control) {
    constexpr double kNoteScale = 0.9;
    QFont f = control->font();
    f.setPointSizeF(f.pointSizeF() * kNoteScale);
    control->setFont(f);
}

QPixmap asset(const QString& file) {
    return QPixmap(QStringLiteral(":/assets/") + file);
}

QLabel* label(QWidget* panel, const char* name, Twips place, const QString& caption, Look look) {
    auto* l = make<QLabel>(panel, name, place);
    l->setText(caption);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    applyLook(l, look);
    return l;
}

QLineEdit* textBox(QWidget* panel, const char* name, Twips place, Look look) {
    auto* box = make<QLineEdit>(panel, name, place);
    applyLook(box, look);
    return box;
}

QLineEdit* captionBox(QWidget* panel, const char* name, Twips place, const QString& caption,
                      Look look) {
    auto* box = make<QLineEdit>(panel, name, place);
    box->setText(caption);
    box->setCursorPosition(0);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setFrame(false);
    applyLook(box, look, Surface::CaptionBox);
    return box;
}

qv::ElidingTextBox* elidingCaptionBox(QWidget* panel, const char* name, Twips place, Look look) {
    auto* box = make<qv::ElidingTextBox>(panel, name, place);
    box->setFocusPolicy(Qt::NoFocus);
    box->setFrame(false);
    applyLook(box, look, Surface::CaptionBox);
    return box;
}

PictureBox* picture(QWidget* panel, const char* name, Twips place, const char* file,
                    const QString& toolTip) {
    auto* p = make<PictureBox>(panel, name, place);
    applyLook(p, Look::Plain);
    p->setPicture(asset(QString::fromLatin1(file)));
    if (!toolTip.isEmpty())
        p->setToolTip(toolTip);
    return p;
}

LineShape* line(QWidget* panel, const char* name, QPoint from, QPoint to) {
    auto* l = new LineShape(panel);
    l->setObjectName(QString::fromLatin1(name));
    l->setEnds(from, to);
    applyLook(l, Look::Plain);
    l->setColour(Qt::white);
    return l;
}

RectShape* shape(QWidget* panel, const char* name, Twips place) {
    auto* s = make<RectShape>(panel, name, place);
    applyLook(s, Look::Plain);
    return s;
}

Command* flatButton(QWidget* panel, const char* name, Twips place, const QString& caption) {
    auto* b = make<Command>(panel, name, place);
    b->setCaption(caption);
    applyLook(b, Look::Plain);
    return b;
}

QPushButton* button(QWidget* panel, const char* name, Twips place, const QString& caption) {
    auto* b = make<QPushButton>(panel, name, place);
    b->setText(caption);
    applyLook(b, Look::Plain);
    return b;
}

QCheckBox* checkBox(QWidget* panel, const char* name, Twips place, const QString& caption,
                    Look look) {
    auto* b = make<QCheckBox>(panel, name, place);
    b->setText(caption);
    applyLook(b, look);
    return b;
}

QListWidget* listBox(QWidget* panel, const char* name, Twips place) {
    auto* l = make<QListWidget>(panel, name, place);
    applyLook(l, Look::Plain);
    return l;
}

ListView* listView(QWidget* panel, const char* name, Twips place) {
    auto* l = make<ListView>(panel, name, place);
    applyLook(l, Look::Plain, Surface::List);
    return l;
}

QProgressBar* progressBar(QWidget* panel, const char* name, Twips place) {
    auto* b = make<QProgressBar>(panel, name, place);
    applyLook(b, Look::Plain);
    return b;
}

} // namespace design
