#pragma once

#include "media/avireader.h"

#include <QTimer>
#include <QWidget>

// The animation control: plays a silent AVI clip in a loop, centred in the control. A clip that
// cannot be read leaves the control empty; nothing is reported.
namespace qv {

class AnimationPlayer : public QWidget {
    Q_OBJECT
public:
    explicit AnimationPlayer(QWidget* parent = nullptr);

    // Loads a clip and shows its first frame, not playing. False (and an empty control) when the
    // file is missing or is not a clip this player can read.
    bool open(const QString& path);
    void play();  // from the current frame on, in a loop at the clip's rate; no-op without a clip
    void stop();  // keeps the current frame on screen
    void close(); // forgets the clip; the control shows nothing

    // The colour of the clip's top-left pixel is drawn transparent (on by default), so the clip
    // sits on whatever is behind the control.
    void setTransparent(bool on);

    bool isOpen() const { return !clip_.isNull(); }
    bool isPlaying() const { return timer_.isActive(); }
    int frameCount() const { return int(clip_.frames.size()); }
    int currentFrame() const { return frame_; }
    int frameInterval() const { return clip_.frameIntervalMs; }
    QSize clipSize() const { return {clip_.width, clip_.height}; }

    // The picture the control shows now (transparency applied), null without a clip.
    QImage currentImage() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void advance();
    void prepareFrames();

    AviClip clip_;
    QList<QImage> shown_; // frames as drawn
    QTimer timer_;
    int frame_ = 0;
    bool transparent_ = true;
};

} // namespace qv
