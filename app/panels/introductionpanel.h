#pragma once

#include "ui/designlayer.h"

class LineShape;
class PictureBox;
class QLabel;

// The introduction on the left: the product's title, picture and texts, which the browser
// replaces after the first search.
class IntroductionPanel : public qv::DesignLayer {
    Q_OBJECT
public:
    explicit IntroductionPanel(QWidget* window);

    void showVersion(const QString& version); // in the title and the about text
    void setContentVisible(bool visible);

private:
    PictureBox* background_;
    PictureBox* picture_;
    LineShape* titleRuleTop_;
    LineShape* titleRuleMiddle_;
    LineShape* titleRuleBottom_;
    QLabel* titleShadow_;
    QLabel* title_;
    QLabel* version_;
    QLabel* about_;
    QLabel* credit_;
};
