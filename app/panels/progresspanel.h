#pragma once

#include <QString>
#include <QStringList>

class QLineEdit;
class QListWidget;
class QProgressBar;
class RectShape;
namespace qv {
class AnimationPlayer;
}

// The search's progress: its box, clip, bar, status lines and summary, and the lists it works
// through (the names listed on the server, the names being downloaded).
class ProgressPanel {
public:
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
    QStringList listedFiles() const;
    void addDownloads(const QStringList& names);
    void markDownload(int row);

    // Everything but the box and the clip hidden (the details panel takes the place), the last
    // summary shown again.
    void hideLines();
    void showSummary();

private:
    friend class Form2;
    friend struct Form2Design;

    RectShape* box_ = nullptr;
    qv::AnimationPlayer* clip_ = nullptr;
    QLineEdit* summary_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLineEdit* stepText_ = nullptr;
    QLineEdit* statusText_ = nullptr;
    QListWidget* listedFiles_ = nullptr;
    QListWidget* downloads_ = nullptr;
};
