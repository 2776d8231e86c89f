#include "app/panels/introductionpanel.h"

#include "app/panels/design.h"
#include "ui/shapes.h"

#include <QLabel>

using design::Look;

IntroductionPanel::IntroductionPanel(QWidget* window) : DesignLayer(window) {
    using namespace design;
    background_ = picture(this, "Image6", {0, 0, 7410, 7635}, "intro-background.png");
    picture_ = picture(this, "Image7", {270, 2475, 6795, 4995}, "intro-merge.png");
    titleRuleTop_ = line(this, "Line5", {465, 1110}, {7200, 1110});
    titleRuleMiddle_ = line(this, "Line6", {465, 1140}, {7200, 1140});
    titleRuleBottom_ = line(this, "Line8", {465, 1170}, {7200, 1170});
    const QString name = QStringLiteral("Quorvane");
    titleShadow_ = label(this, "Label10", {510, 0, 6975, 1305}, name, Look::TitleShadow);
    title_ = label(this, "Label2", {465, -90, 6975, 1170}, name, Look::Title);
    version_ =
        label(this, "Label4", {4635, 780, 2565, 255}, QStringLiteral("Version"), Look::Heading);
    about_ = label(this, "Label6", {390, 1200, 6615, 1185}, {}, Look::Body);
    credit_ =
        label(this, "Label5", {465, 7185, 6225, 390},
              QStringLiteral("Designed and written for Norrevan mail-merge users"), Look::Body);
    for (QLabel* l : {title_, titleShadow_})
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void IntroductionPanel::showVersion(const QString& version) {
    title_->setText(QStringLiteral("Quorvane"));
    version_->setText(QStringLiteral("Version ") + version);
    about_->setText(QStringLiteral("Quorvane Version ") + version +
                    QStringLiteral(" the exciting new Mailmerge Companion program for Microsoft "
                                   "Word and Microsoft Excel. Runs on Windows XP, Microsoft Word "
                                   "2000 onwards. Easy to Install and Setup, clear screens enable "
                                   "you to Connect to your Database Server and transfer Data files "
                                   "to Quorvane. Any Problems or Suggestions Email "
                                   "support@quorvane.example"));
}

// The title's shadow and rules stay: the browser covers them.
void IntroductionPanel::setContentVisible(bool visible) {
    for (QWidget* w : {static_cast<QWidget*>(background_), static_cast<QWidget*>(picture_),
                       static_cast<QWidget*>(title_), static_cast<QWidget*>(version_),
                       static_cast<QWidget*>(about_), static_cast<QWidget*>(credit_)})
        w->setVisible(visible);
    updatePointerArea();
}
