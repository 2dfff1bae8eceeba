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
        window->lLastFrame = SplitGifBytes(gif, window->Frames);
        window->lCurFrame = -1;
        window->bRefit = true;
        window->Timer1_Timer();
    }
    // The colours of the box at `points`, offset by `origin`.
    std::vector<QRgb> seen(std::initializer_list<QPoint> points, QPoint origin = {}) const
    {
        std::vector<QRgb> colours;
        for (QPoint p : points)
            colours.push_back(pixel(window->picAnimGif, origin.x() + p.x(), origin.y() + p.y()));
        return colours;
    }
    QPoint place(std::size_t i) const { return {window->Frames.frames[i].FrameLeft, window->Frames.frames[i].FrameTop}; }
    const QRgb back = colour(kBack);
};

TEST_F(Animation, SmallScreenIsCentredOnceLargeScreenShrinksToTheBoxLessItsMargin)
{
    // 100 x 100 in the 2955 x 2745 twip box: free space 1455 x 1245 twips, halved, in pixels.
    GifBuilder gif(100, 100, colours(2));
    gif.image(GifBuilder::solid(100, 100, 0));
    ImageSpec second = GifBuilder::solid(10, 10, 1);
    second.left = 30;
    second.top = 20;
    gif.image(second);
    play(gif.build());
    const QRgb red = rgb(colours(2)[0]);
    EXPECT_FLOAT_EQ(window->sngZoom, 1.0f);
    EXPECT_EQ(seen({{48, 42}, {147, 141}, {47, 42}, {48, 41}, {148, 141}, {147, 142}}),
              (std::vector<QRgb>{red, red, back, back, back, back}));
    // Once per file: the next ticks leave the positions alone.
    window->Timer1_Timer();
    window->Timer1_Timer();
    EXPECT_EQ(std::make_pair(place(0), place(1)), std::make_pair(QPoint(48, 42), QPoint(78, 62)));

    // 400 x 200: 6000 x 3000 twips against 2805 x 2595 of room; the width decides: dx 5 and
    // dy 45 pixels, unzoomed into the table; 187 x 93.5 pixels from (5.14, 44.88), and every
    // pixel it reaches, in part too, shows it.
    play(GifBuilder(400, 200, colours(2)).image(GifBuilder::solid(400, 200, 0)).image(GifBuilder::solid(400, 200, 1)).build());
    EXPECT_FLOAT_EQ(window->sngZoom, 0.4675f);
    EXPECT_TRUE(place(0) == QPoint(11, 96) && near(seen({{5, 44}})[0], red) && near(seen({{192, 138}})[0], red));
    EXPECT_EQ(seen({{4, 90}, {193, 90}, {98, 43}, {98, 139}}), std::vector<QRgb>(4, back));

    // Too large on one axis only, and only by the margin: shrunk all the same.
    for (const auto& [w, h, zoom] : {std::tuple{190, 100, 2805.0f / 2850}, std::tuple{100, 176, 2595.0f / 2640}}) {
        play(GifBuilder(w, h, colours(2)).image(GifBuilder::solid(w, h, 0)).image(GifBuilder::solid(w, h, 1)).build());
        EXPECT_FLOAT_EQ(window->sngZoom, zoom) << w << " x " << h;
    }
}

TEST_F(Animation, FramesComposeAndStayForTheirOwnDelaysAndTheLoopStartsOver)
{
    // Frame 0: a 10 x 10 block, kept, 0.5 s. Frame 1: 10 x 10 at (5, 5) whose top-left quarter
    // is transparent, kept, 1 s. Frame 2: 5 x 5 at (15, 0) on a cleared box, for the longest
    // delay a file can hold.
    const std::vector<Rgb> palette = colours(4);
    GifBuilder gif(20, 20, palette);
    ImageSpec first = GifBuilder::solid(10, 10, 0), second = GifBuilder::solid(10, 10, 1), third = GifBuilder::solid(5, 5, 2);
    first.control->delay = 50;
    second.left = second.top = 5;
    for (int y = 0; y < 5; ++y)
        std::fill_n(second.pixels.begin() + y * 10, 5, 3);
    second.control->transparent = 3;
    second.control->delay = 100;
    third.left = 15;
    third.control->disposal = 2;
    third.control->delay = 65535;
    play(gif.image(first).image(second).image(third).build());

    // At (0, 0), under the transparent quarter, in frame 1's corner, in frame 2's place; after
    // frames 0, 1, 2 and 0 again, which does not ask for a clear box but starts the loop over.
    const QPoint o = place(0);
    const QRgb c0 = rgb(palette[0]), c1 = rgb(palette[1]), c2 = rgb(palette[2]);
    std::vector<std::pair<int, std::vector<QRgb>>> ticks{{window->Timer1->interval(), seen({{0, 0}, {7, 7}, {12, 12}, {16, 2}}, o)}};
    for (int tick = 0; tick < 3; ++tick) {
        window->Timer1_Timer();
        ticks.emplace_back(window->Timer1->interval(), seen({{0, 0}, {7, 7}, {12, 12}, {16, 2}}, o));
    }
    EXPECT_EQ(ticks, (std::vector<std::pair<int, std::vector<QRgb>>>{{500, {c0, c0, back, back}}, {1000, {c0, c0, c1, back}},
                                                                      {655350, {back, back, back, c2}}, {500, {c0, c0, back, back}}}));
}

// A window that keeps none of a file's pictures decodes every one again whenever it shows it;
// what it paints must be what a window that keeps them all paints, to the pixel: the strip, its
// steps, and the animation as it comes round.
TEST_F(MainWindowTest, AFileOverWhatIsKeptPaintsWhatOneThatFitsPaints)
{
    const QString path = gif(QStringLiteral("big.gif"), solidFrames(7, {3}, 240, true));
    frmSkarvel keepsAll;
    window->keptPictureBytes = 0;
    for (frmSkarvel* w : {window.get(), &keepsAll}) {
        w->picAnimGif->setBackColor(0x203040u);
        w->OpenGifFile(path);
        w->Timer1->stop();
        ASSERT_EQ(w->lLastFrame, 6);
    }
    ASSERT_TRUE(window->Frames.pictures->heldBytes() == 0 && keepsAll.Frames.pictures->holds(6));
    const auto strips = [&] {
        EXPECT_EQ(window->picMin->surface().image(), keepsAll.picMin->surface().image()) << window->VScroll->value();
    };
    strips();
    // The thumbnails the open made are the strip drawn from the pictures themselves.
    for (FrameEntry& frame : window->Frames.frames)
        frame.rendition = QImage();
    for (int step : {2, 3, 0}) {
        for (frmSkarvel* w : {window.get(), &keepsAll}) {
            w->VScroll->setValue(step);
            w->DrawThumbnails();
        }
        strips();
    }
    for (int tick = 0; tick < 10; ++tick) {
        window->Timer1_Timer();
        keepsAll.Timer1_Timer();
        ASSERT_EQ(window->picAnimGif->surface().image(), keepsAll.picAnimGif->surface().image()) << tick;
    }
}

} // namespace
} // namespace skarvel::test
