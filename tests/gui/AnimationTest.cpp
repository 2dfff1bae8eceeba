// The animation in the display box: the order and delays of the frames, the fit into the box,
// and how frames compose; read back from the box's pixels.
#include "WindowFixture.h"

namespace skarvel::test {
namespace {

constexpr OleColor kBack = 0x203040u;

class Animation : public MainWindowTest {
protected:
    // Loads `gif` and runs the first tick, which fits the screen into the box.
    void play(const QByteArray& gif)
    {
        window->picAnimGif->setBackColor(kBack);
        load(gif);
        window->lCurFrame = -1;
        window->bRefit = true;
        window->Timer1_Timer();
    }
    QRgb box(int x, int y) const { return pixel(window->picAnimGif, x, y); }
    // Frame 0 is placed at the logical screen's origin.
    QPoint origin() const { return {window->Frames.frames[0].FrameLeft, window->Frames.frames[0].FrameTop}; }
};

TEST_F(Animation, EachFrameStaysForItsOwnDelayAndTheLoopStartsOver)
{
    // Delays in hundredths: 500 ms, 1000 ms, and the largest a file can hold.
    play(solidFrames(3, {50, 100, 65535}, 10));
    std::vector<std::pair<int, int>> seen{{window->lCurFrame, window->Timer1->interval()}};
    for (int tick = 1; tick < 5; ++tick) {
        window->Timer1_Timer();
        seen.emplace_back(window->lCurFrame, window->Timer1->interval());
    }
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{0, 500}, {1, 1000}, {2, 655350}, {0, 500}, {1, 1000}}));
}

TEST_F(Animation, SmallScreenIsCentredAtNaturalSizeOnce)
{
    // 100 x 100 in the 2955 x 2745 twip box: free space 1455 x 1245 twips, halved, in pixels.
    GifBuilder gif(100, 100, colours(2));
    gif.image(GifBuilder::solid(100, 100, 0));
    ImageSpec second = GifBuilder::solid(10, 10, 1);
    second.left = 30;
    second.top = 20;
    gif.image(second);
    play(gif.build());

    EXPECT_FLOAT_EQ(window->sngZoom, 1.0f);
    EXPECT_EQ(origin(), QPoint(48, 42));
    const QRgb red = rgb(colours(2)[0]), back = colour(kBack);
    EXPECT_EQ(box(48, 42), red);
    EXPECT_EQ(box(147, 141), red);
    for (QPoint p : {QPoint(47, 42), QPoint(48, 41), QPoint(148, 141), QPoint(147, 142)})
        EXPECT_EQ(box(p.x(), p.y()), back) << p.x() << "," << p.y();
    // Once per file: the next ticks leave the positions alone.
    window->Timer1_Timer();
    window->Timer1_Timer();
    EXPECT_EQ(origin(), QPoint(48, 42));
    EXPECT_EQ(QPoint(window->Frames.frames[1].FrameLeft, window->Frames.frames[1].FrameTop), QPoint(78, 62));
}

TEST_F(Animation, LargeScreenShrinksToTheBoxLessItsMargin)
{
    // 400 x 200: 6000 x 3000 twips against 2805 x 2595 of room; the width decides.
    GifBuilder gif(400, 200, colours(2));
    gif.image(GifBuilder::solid(400, 200, 0));
    gif.image(GifBuilder::solid(400, 200, 1));
    play(gif.build());

    EXPECT_FLOAT_EQ(window->sngZoom, 0.4675f);
    // dx 5 and dy 45 pixels, unzoomed into the table; about 187 x 94 pixels from (5, 45).
    EXPECT_EQ(origin(), QPoint(11, 96));
    const QRgb red = rgb(colours(2)[0]), back = colour(kBack);
    EXPECT_TRUE(near(box(5, 45), red));
    EXPECT_TRUE(near(box(191, 138), red));
    for (QPoint p : {QPoint(4, 90), QPoint(192, 90), QPoint(98, 44), QPoint(98, 139)})
        EXPECT_EQ(box(p.x(), p.y()), back) << p.x() << "," << p.y();
}

TEST_F(Animation, FramesComposeOverEachOtherUnlessTheyAskForAClearBox)
{
    // Frame 0: a 10 x 10 block, kept. Frame 1: 10 x 10 at (5, 5) whose top-left quarter is
    // transparent, kept. Frame 2: 5 x 5 at (15, 0), on a cleared box.
    const std::vector<Rgb> palette = colours(4);
    GifBuilder gif(20, 20, palette);
    gif.image(GifBuilder::solid(10, 10, 0));
    ImageSpec second = GifBuilder::solid(10, 10, 1);
    second.left = second.top = 5;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            second.pixels[std::size_t(y * 10 + x)] = 3;
    second.control->transparent = 3;
    gif.image(second);
    ImageSpec third = GifBuilder::solid(5, 5, 2);
    third.left = 15;
    third.control->disposal = 2;
    gif.image(third);
    play(gif.build());

    const QPoint o = origin();
    auto at = [&](int x, int y) { return box(o.x() + x, o.y() + y); };
    const QRgb back = colour(kBack);
    EXPECT_EQ(at(0, 0), rgb(palette[0]));
    EXPECT_EQ(at(12, 12), back);

    window->Timer1_Timer();
    EXPECT_EQ(at(0, 0), rgb(palette[0]));
    EXPECT_EQ(at(7, 7), rgb(palette[0])); // under the transparent quarter
    EXPECT_EQ(at(12, 12), rgb(palette[1]));
    EXPECT_EQ(at(16, 2), back);

    window->Timer1_Timer();
    EXPECT_EQ(at(16, 2), rgb(palette[2]));
    EXPECT_EQ(at(0, 0), back);
    EXPECT_EQ(at(12, 12), back);

    // Back to frame 0, which does not ask for a clear box: starting over clears it anyway.
    window->Timer1_Timer();
    EXPECT_EQ(window->lCurFrame, 0);
    EXPECT_EQ(at(0, 0), rgb(palette[0]));
    EXPECT_EQ(at(16, 2), back);
}

} // namespace
} // namespace skarvel::test
