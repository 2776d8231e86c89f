#include "ui/elidingtextbox.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace qv {
namespace {
// The room QLineEdit keeps between its contents and its text, in pixels.
constexpr int kHorizontalMargin = 2;
constexpr int kVerticalMargin = 1;
} // namespace

ElidingTextBox::ElidingTextBox(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    connect(this, &QLineEdit::textChanged, this, &ElidingTextBox::updateToolTip);
}

QRect ElidingTextBox::textArea() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, this)
        .adjusted(kHorizontalMargin, kVerticalMargin, -kHorizontalMargin, -kVerticalMargin);
}

QString ElidingTextBox::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, textArea().width());
}

void ElidingTextBox::updateToolTip() {
    setToolTip(shownText() == text() ? QString() : text());
}

void ElidingTextBox::paintEvent(QPaintEvent* event) {
    const QString shown = shownText();
    if (shown == text()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame option;
    initStyleOption(&option);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(textArea(), Qt::AlignVCenter | Qt::AlignLeft, shown);
}

void ElidingTextBox::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    updateToolTip();
}

} // namespace qv
