#pragma once

class PictureBox;
class QLabel;

// The introduction on the left: the product picture and texts the browser replaces. The window
// fills its texts while it loads and hides it as a whole; no feature changes it.
class IntroductionPanel {
private:
    friend class Form2;
    friend struct Form2Design;

    PictureBox* background_ = nullptr;
    PictureBox* picture_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* version_ = nullptr;
    QLabel* about_ = nullptr;
    QLabel* credit_ = nullptr;
};
