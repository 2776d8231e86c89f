#pragma once

#include <QChar>
#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The flat command button without its widget: the face states and their transitions, the frame
// pieces cut from the 64 x 25 face pictures, the access key of a caption and the colours.
namespace qv::command {

// The six face pictures.
enum class Face { Normal, HighLight, Pressed, Selected, HighLightSelect, Disable };

// Face states: 0 disabled, 1 normal, 2 hover, 3 focused, 4 focused and hover.
enum State : std::uint8_t { Disabled = 0, Plain = 1, Hover = 2, Focused = 3, FocusedHover = 4 };

inline const QColor kGradientLight = QColor(255, 255, 255);
inline const QColor kGradientDark = QColor(198, 197, 215);
inline const QColor kDisabledCaption = QColor(192, 192, 192); // packed 12632256
inline constexpr int kDesignWidthTwips = 1575;
inline constexpr int kDesignHeightTwips = 420;
inline constexpr int kPictureWidth = 64; // pixels
inline constexpr int kPictureHeight = 25;

// The face-state table. Every event returns what happened: the faces painted, in order, and
// whether Click is raised. The widget draws the last painted face.
class FaceMachine {
public:
    struct Result {
        std::vector<Face> painted;
        bool click = false;
    };

    std::uint8_t state() const { return state_; }
    bool enabled() const { return enabled_; }
    bool mouseDown() const { return mouseDown_; }
    bool hoverGradient() const { return hoverGradient_; }
    bool timerRunning() const { return timerRunning_; }
    Face face() const { return face_; } // the face on the surface now
    bool focusFrameShown() const { return state_ == Focused || state_ == FocusedHover; }

    void setEnabled(bool on) { enabled_ = on; }

    Result refresh();    // RefreshFace
    Result initialize(); // state 1, pointer check on; nothing painted
    Result mouseMove();
    Result buttonDown(bool left);
    Result buttonUp(bool left);
    Result focusIn();
    Result focusOut();
    Result accessKey();
    Result dropHover(); // the pointer check found the pointer elsewhere

private:
    void paint(Face face, Result& r);

    std::uint8_t state_ = Disabled;
    bool enabled_ = false;
    bool mouseDown_ = false;
    bool hoverGradient_ = false;
    bool timerRunning_ = false;
    Face face_ = Face::Disable;
};

// One of the eight frame pieces: where it goes on the control and where it comes from in the
// picture, both in twips.
struct FramePiece {
    QRect destination;
    QRect source;
};
std::array<FramePiece, 8> framePieces(int widthTwips, int heightTwips);
// The same in pixels.
std::array<FramePiece, 8> framePiecesInPixels(int widthTwips, int heightTwips);

// The four focus lines in pixels (left, top, right, bottom), each as its two end points.
std::array<std::pair<QPoint, QPoint>, 4> focusLines(int widthTwips, int heightTwips);

// The access key of a caption: the character after its first "&"; none without an "&" or when
// the "&" ends the caption.
std::optional<QChar> accessKeyOf(const QString& caption);

// The centre line of the rounded frame on a face picture or on a face of the given pixel size:
// half a pixel inside the edge, with corners of radius 3.
QPainterPath frameLine(const QSize& size);

// The 64 x 25 face picture of a state, drawn by the program: a dark-blue rounded frame with the
// inner edge of the state (grey for Disable).
QImage facePicture(Face face);

// 0x00BBGGRR as the system stores colours.
std::uint32_t packColour(const QColor& c);
QColor unpackColour(std::uint32_t value);

} // namespace qv::command
