#pragma once

#include "WindowFixture.h"

#include "frames/SplitGifFrames.h"
#include "platform/Colors.h"
#include "platform/PictureBox.h"
#include "support/GifBuilder.h"

#include <QScrollBar>
#include <QTimer>

#include <string>
#include <vector>

namespace skarvel::test {

// A shown main window with a frame table loaded straight from a GIF built here.
class FramesWindowTest : public MainWindowTest {
protected:
    // `count` solid frames of `width` x `height`, frame i in colour i of `colours`.
    static QByteArray solidFrames(int count, int width = 20, int height = 20, int delay = 10)
    {
        GifBuilder gif(width, height, colours(count));
        for (int i = 0; i < count; ++i) {
            ImageSpec frame = GifBuilder::solid(width, height, std::uint8_t(i));
            frame.control->delay = delay;
            gif.image(frame);
        }
        return gif.build();
    }

    static std::vector<Rgb> colours(int count) { return distinctColours(std::max(count, 2)); }
    static QRgb rgb(const Rgb& c) { return qRgb(c[0], c[1], c[2]); }

    void load(const QByteArray& gif)
    {
        window->lLastFrame = SplitGifBytes(gif, window->Frames);
        ASSERT_GE(window->lLastFrame, 1);
    }

    // What the open workflow does after a successful split: the strip, its down button when
    // there are more frames than slots, and the animation from its first frame.
    void showStrip()
    {
        window->DrawThumbnails();
        if (window->Frames.frames.size() > window->lblNFrame.size()) {
            window->picUpDown[0]->setVisible(true);
            window->picUpDown[0]->setEnabled(true);
        }
    }
    void startAnimation()
    {
        window->lCurFrame = -1;
        window->bRefit = true;
        window->Timer1->setInterval(window->Frames.frames[0].FrameDelay);
        window->Timer1->start();
    }

    std::vector<std::string> captions() const
    {
        std::vector<std::string> seen;
        for (auto* label : window->lblNFrame)
            seen.push_back(label->Caption().toStdString());
        return seen;
    }

    QPoint upDown(int index) const { return at(window->picUpDown[std::size_t(index)], {7, 7}); }

    // A pixel of a box's drawing area.
    static QRgb pixel(const PictureBox* box, int x, int y)
    {
        return box->surface().image().pixel(x, y) | 0xFF000000u;
    }
    static QRgb colour(OleColor c) { return TranslateColor(c).rgb(); }
};

// Within `tolerance` on every channel: a shrunk picture is averaged.
inline bool near(QRgb a, QRgb b, int tolerance = 2)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace skarvel::test
