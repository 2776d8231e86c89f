#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

// The four "Getting Started" messages: their texts, delays, anchors and auto-close times.
namespace qv::guidance {

enum class Message { Start, Select, Settings, NoFiles };

// How a search ended, for the message that follows it.
enum class SearchOutcome {
    FilesDownloaded, // at least one file was downloaded
    MessageBox,      // the search ended with its message box
    NoFiles,         // the server had no merge files
};

QString title();
QString text(Message m);
int delayMs(Message m);     // from arming to showing
int autoCloseMs(Message m); // 0: stays until the operator closes it
Message messageAfter(SearchOutcome outcome);
int timerNumber(Message m); // 1 to 4: the start, select, settings and no-files timers

// The balloon's top left corner in twips, from the anchor control's window rectangle in screen
// pixels (right and bottom exclusive, as the window system reports them).
QPoint anchorTwips(Message m, const QRect& anchorScreenPixels);

} // namespace qv::guidance
