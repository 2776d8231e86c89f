#pragma once

#include "ui/loadedwindow.h"

#include <QWidget>
#include <functional>

class QLabel;
class QTimer;

// True from program start; the splash window clears it when it opens the main window, so the
// main window opens exactly once, at the end of the first showing.
extern bool OpenMainAfterSplash;

// The splash window: product name, version and terms of use over a picture, for four seconds.
// It opens at program start, and its closing opens the main window; the same window serves as
// the about view.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    // Made on first use only (form()).
    explicit SplashWindow(LoadedWindow<SplashWindow>::Key);

    // The loaded window; the first use loads it (its load step arms the timer).
    static SplashWindow& form();
    static bool isLoaded();
    static void unload(); // closes and frees the window when it is loaded

    // Shows the window without waiting for it. Showing it while it is open shows the same
    // window; it still closes four seconds after it was loaded.
    static void showSplash();

    // The time the window stays (the services' splashCloseDelayMs, 4000 ms).
    static int closeDelay();

    static QString versionText(); // "Version 2.0.1"
    static QString termsOfUse();  // four numbered paragraphs separated by CR LF

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ~SplashWindow() override;
    void closeWhenTimeIsUp();

    QLabel* picture_;
    QLabel* productName_;
    QLabel* version_;
    QLabel* termsBackground_;
    QLabel* terms_;
    QLabel* infoIcon_;
    QTimer* closeTimer_;
};
