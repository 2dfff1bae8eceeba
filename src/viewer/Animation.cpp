// The animation in picAnimGif: every tick of Timer1 paints the next frame over what the box
// shows and keeps it there for that frame's own delay. The whole animation is fitted into the
// box once per file, on the first tick, by shifting the frame positions in the table itself.
#include "viewer/frmSkarvel.h"

#include "base/Units.h"
#include "runtime/PictureBox.h"

#include <QTimer>

#include <algorithm>

namespace skarvel {

namespace {

// Kept free round the fitted animation, in twips, on each axis (10 pixels).
constexpr double kFitMargin = 150;

} // namespace

void frmSkarvel::connectAnimation()
{
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
}

void frmSkarvel::HimetricToPixels(std::int32_t Value, std::int32_t& Result)
{
    Result = std::int32_t(units::himetricToPixels(float(Value)));
}

void frmSkarvel::Timer1_Timer()
{
    // A tick may still arrive after the table has gone (the window closing, a new open).
    if (m_unloaded || Frames.empty()) {
        Timer1->stop();
        return;
    }
    if (bRefit)
        FitAnimation();

    DrawingSurface& box = picAnimGif->surface();
    const std::int32_t last = std::min(lLastFrame, Frames.upperIndex());
    if (lCurFrame < last) {
        lCurFrame = std::max(lCurFrame + 1, 0);
    } else {
        // Starting over: the earlier frames must not show under the first one again.
        lCurFrame = 0;
        box.Cls();
    }
    const FrameEntry& frame = Frames.frames[std::size_t(lCurFrame)];
    // Decoded ahead while the last frame stood, unless the pictures hold it already.
    const Picture picture = Frames.FramePicture(std::size_t(lCurFrame));
    m_ahead.want(Frames, lCurFrame < last ? std::size_t(lCurFrame) + 1 : 0);

    // The frame painted now stays until the next tick. The splitter never gives 0; a timer of
    // 0 ms would tick without pause.
    Timer1->setInterval(std::max(frame.FrameDelay, 1));
    if (frame.FrameClear)
        box.Cls();

    std::int32_t w0 = 0;
    std::int32_t h0 = 0;
    HimetricToPixels(frame.Width(), w0);
    HimetricToPixels(frame.Height(), h0);
    // Where the frame falls, to the fraction of a pixel: every frame is measured against the
    // box's one grid, so a frame that covers another leaves nothing of it at its edges.
    box.PaintPictureAveraged(picture, double(sngZoom) * frame.FrameLeft, double(sngZoom) * frame.FrameTop,
                             double(sngZoom) * w0, double(sngZoom) * h0);
}

void frmSkarvel::FitAnimation()
{
    sngZoom = 1;
    float rH = 1;
    float rW = 1;
    std::int32_t wT = iTwipsX * Frames.GifWidth;
    std::int32_t hT = iTwipsY * Frames.GifHeight;
    const double boxWidth = picAnimGif->Width();
    const double boxHeight = picAnimGif->Height();

    // Shrink, never enlarge: a small GIF stays pixel for pixel.
    if (boxHeight - kFitMargin < hT)
        rH = float((boxHeight - kFitMargin) / hT);
    if (boxWidth - kFitMargin < wT)
        rW = float((boxWidth - kFitMargin) / wT);
    sngZoom = std::min(rH, rW);
    wT = std::int32_t(units::nearest(double(wT) * double(sngZoom)));
    hT = std::int32_t(units::nearest(double(hT) * double(sngZoom)));

    // Centred in the whole box, the margin included.
    const double dx = double(units::nearest((boxWidth - wT) / 2 / iTwipsX));
    const double dy = double(units::nearest((boxHeight - hT) / 2 / iTwipsY));
    // Every frame is painted at sngZoom times its position: shift by the free space unzoomed.
    for (FrameEntry& frame : Frames.frames) {
        frame.FrameLeft = std::int32_t(units::nearest(frame.FrameLeft + dx / double(sngZoom)));
        frame.FrameTop = std::int32_t(units::nearest(frame.FrameTop + dy / double(sngZoom)));
    }
    bRefit = false;
}

} // namespace skarvel
