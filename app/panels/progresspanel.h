#pragma once

#include "ui/designlayer.h"

#include <QString>
#include <QStringList>

class QLineEdit;
class QListWidget;
class QProgressBar;
class RectShape;
namespace qv {
class AnimationPlayer;
}

// The search's progress: its box, clip, bar, status lines and summary, and the names it works
// through (those listed on the server, those being downloaded), shown in two lists below the
// designed client area.
class ProgressPanel : public qv::DesignLayer {
    Q_OBJECT
public:
    explicit ProgressPanel(QWidget* window);

    // Before the first search: the clip opened from its file, nothing of the panel shown.
    void rest(const QString& clipFile);

    // A search starts: the box, the clip playing, the bar at 0 and the lines shown, the summary
    // empty. It ends with the clip stopped and its summary.
    void begin();
    void end(const QString& summary);

    void setStep(const QString& text);   // what the search does
    void setStatus(const QString& text); // what the transfer control says
    void setSummary(const QString& text);
    void stopClip(); // it stays on screen until the search hides it

    void countTo(int maximum); // the bar's end
    void advance();            // the bar one step further

    // The names the server listed, and those chosen for download with the one being downloaded.
    void clearLists();
    void setListedFiles(const QStringList& names);
    QStringList listedFiles() const { return listed_; }
    void addDownloads(const QStringList& names);
    void markDownload(int row);

    // The box, the clip, the bar and the lines hidden; the summary stays.
    void hideWork();
    // Everything but the box and the clip hidden (the details panel takes the place), the last
    // summary shown again.
    void hideLines();
    void showSummary();

private:
    RectShape* box_;
    qv::AnimationPlayer* clip_;
    QLineEdit* summary_;
    QProgressBar* bar_;
    QLineEdit* stepText_;
    QLineEdit* statusText_;
    QListWidget* listedFiles_;
    QListWidget* downloads_;
    QStringList listed_;
};
