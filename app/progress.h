#pragma once

#include "platform/pacing.h"
#include "ui/loadedwindow.h"

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
namespace qv {
class AnimationPlayer;
}

// The "Please wait" window of the long actions (record loading, spreadsheet export): a clip,
// a progress bar and a status line. Shown without waiting for it; the action feeds it and
// unloads it when done. While an action runs in its handler, the window repaints itself (and
// lets its clip move on) a few dozen times a second as the action feeds it.
class Progress : public QWidget {
    Q_OBJECT
public:
    // Made on first use only (form()).
    explicit Progress(LoadedWindow<Progress>::Key);

    // The loaded window; the first use loads it (and starts its clip), as `Progress.` does.
    static Progress& form();
    static bool isLoaded();
    static void unload(); // closes and frees the window when it is loaded

    void showWindow(); // shows it without waiting, centred on the screen
    void setCaption(const QString& caption);
    void setStatus(const QString& text);
    void setPictureVisible(bool visible);
    void setMaximum(int maximum); // the bar's minimum is 0
    void setValue(int value);
    int maximum() const;
    int value() const;
    QString statusText() const;

    // Repaints now if the last repaint is older than kShowProgressEveryMs.
    void refresh();

private:
    ~Progress() override;

    qv::AnimationPlayer* clip_;
    QProgressBar* bar_;
    QLabel* status_;
    QLabel* picture_;
    QElapsedTimer lastRefresh_;
};
