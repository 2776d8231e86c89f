#include "app/panels/windowframe.h"

#include "app/panels/design.h"
#include "controls/command/command.h"
#include "ui/shapes.h"

#include <QLabel>
#include <QLineEdit>

using design::Look;

WindowFrame::WindowFrame(QWidget* window) : DesignLayer(window) {
    using namespace design;
    background_ = label(this, "Label1", {0, -30, 12120, 7965}, {}, Look::Plain);
    rightBorderOuter_ = shape(this, "Shape3", {7590, 945, 4320, 5775});
    rightBorderInner_ = shape(this, "Shape1", {7620, 975, 4245, 5715});
    headingRule_ = line(this, "Line4", {7800, 1920}, {11490, 1920});
    cornerPicture_ = picture(this, "Image8", {11610, 60, 525, 330}, "corner.png");
    const QString name = QStringLiteral("Quorvane");
    logoShadow_ = label(this, "Label9", {7770, 210, 4065, 570}, name, Look::LogoShadow);
    logo_ = label(this, "Label7", {7695, 180, 4065, 645}, name, Look::Logo);
    cornerVersion_ = label(this, "Label8", {11040, 615, 1200, 300}, {}, Look::Body);
    supportAddress_ = captionBox(this, "Text18", {8145, 6750, 3300, 240},
                                 QStringLiteral("support@quorvane.example"), Look::Body);
    quitButton_ = flatButton(this, "Command9", {8175, 7050, 1065, 420}, QStringLiteral("Quit"));
    // Below the designed client area.
    exitPicture_ = picture(this, "Image2", {9690, 8325, 1125, 1020}, "exit.png",
                           QStringLiteral("Exit Quorvane"));
    aboutPicture_ = picture(this, "Image3", {8505, 8295, 1125, 1020}, "about.png",
                            QStringLiteral("About Quorvane"));
    settingsPicture_ = picture(this, "Image4", {7230, 8295, 1125, 1020}, "settings-large.png",
                               QStringLiteral("Quorvane Settings"));

    background_->setAutoFillBackground(true);
    QPalette bg = background_->palette();
    bg.setColor(QPalette::Window, kBackground);
    background_->setPalette(bg);
    background_->setMouseTracking(true);
    for (QLabel* l : {logo_, logoShadow_})
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    for (RectShape* s : {rightBorderInner_, rightBorderOuter_})
        s->setBorderColour(Qt::white);
    makeNote(supportAddress_);

    connect(quitButton_, &Command::Click, this, &WindowFrame::quitRequested);
    connect(exitPicture_, &PictureBox::Click, this, &WindowFrame::exitRequested);
    connect(aboutPicture_, &PictureBox::Click, this, &WindowFrame::aboutRequested);
    for (PictureBox* p : {exitPicture_, aboutPicture_, settingsPicture_})
        connect(p, &PictureBox::MouseMove, this, [this, p] { showPictureBorder(p); });
}

void WindowFrame::showVersion(const QString& version) {
    cornerVersion_->setText(version);
}

void WindowFrame::showHeadingRule() {
    headingRule_->show();
}

void WindowFrame::showPictureBorder(const PictureBox* picture) {
    for (PictureBox* p : {exitPicture_, aboutPicture_, settingsPicture_})
        p->setBorderStyle(p == picture ? PictureBox::kSingleBorder : PictureBox::kNoBorder);
}

void WindowFrame::clearPictureBorders() {
    showPictureBorder(nullptr);
}
