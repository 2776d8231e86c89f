#include "app/panels/windowframe.h"

#include "ui/shapes.h"

#include <QLineEdit>

void WindowFrame::showCommandStatus(const QString& text) {
    commandStatus_->setText(text);
    commandStatus_->show();
    commandStatus_->repaint();
}

void WindowFrame::hideCommandStatus() {
    commandStatus_->hide();
}

void WindowFrame::showHeadingRule() {
    headingRule_->show();
}

void WindowFrame::showPictureBorder(const PictureBox* picture) {
    for (PictureBox* p : {exitPicture_, aboutPicture_, settingsPicture_})
        p->setBorderStyle(p == picture ? 1 : 0);
}

const QWidget* WindowFrame::guidanceAnchor() const {
    return commandStatus_;
}
