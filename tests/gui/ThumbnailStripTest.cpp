// The thumbnail strip: where each frame lands in its slot, the numbers, the scroll range, the
// animation's background, and an empty table; read back from the strip's pixels.
#include "FramesFixture.h"

namespace skarvel::test {
namespace {

constexpr OleColor kStripBack = 0xC0C0C0u;

class ThumbnailStrip : public FramesWindowTest {
protected:
    QRgb strip(int x, int y) const { return pixel(window->picMin, x, y); }
    // Every pixel of `area` on the strip is `expected` (within the averaging of a shrink).
    void expectFilled(QRect area, QRgb expected) const
    {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                ASSERT_TRUE(near(strip(x, y), expected)) << x << "," << y;
    }
};

TEST_F(ThumbnailStrip, EachFrameIsFittedAndCentredInItsSlot)
{
    // Slot k's box is 71 x 71 pixels at (18, 82 k); its etched edge takes two pixels inside.
    const std::vector<Rgb> palette = colours(8);
    GifBuilder gif(200, 200, palette);
    gif.image(GifBuilder::solid(200, 100, 0));
    gif.image(GifBuilder::solid(100, 200, 1));
    gif.image(GifBuilder::pattern(71, 71, 8));
    gif.image(GifBuilder::solid(40, 30, 3));
    load(gif.build());
    window->DrawThumbnails();
    const QRgb back = colour(kStripBack);

    // 200 x 100: 1065 x 532 twips at dy 266, pixels 18..88 x 18..52.
    expectFilled(QRect(QPoint(20, 18), QPoint(86, 52)), rgb(palette[0]));
    EXPECT_EQ(strip(50, 17), back);
    EXPECT_EQ(strip(50, 53), back);
    // 100 x 200: 532 x 1065 at dx 266, pixels 36..70.
    expectFilled(QRect(QPoint(36, 84), QPoint(70, 150)), rgb(palette[1]));
    EXPECT_EQ(strip(35, 110), back);
    EXPECT_EQ(strip(71, 110), back);
    // 71 x 71 fills the box exactly and is not shrunk: pixel for pixel inside the edge.
    const QImage frame2 = window->Frames.frames[2].FramePicture.image();
    for (int y = 2; y < 69; ++y)
        for (int x = 2; x < 69; ++x)
            ASSERT_EQ(strip(18 + x, 164 + y), frame2.pixel(x, y) | 0xFF000000u) << x << "," << y;
    // 40 x 30 at natural size, dx 232 and dy 308: pixels 33..72 x 267..296.
    expectFilled(QRect(QPoint(33, 267), QPoint(72, 296)), rgb(palette[3]));
    EXPECT_EQ(strip(32, 280), back);
    EXPECT_EQ(strip(73, 280), back);
    EXPECT_EQ(strip(50, 266), back);
    EXPECT_EQ(strip(50, 297), back);

    // An etched edge round every slot: shadow outside, highlight one pixel in.
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(strip(60, 82 * k), colour(0x80000010u)) << k;
        EXPECT_EQ(strip(60, 82 * k + 1), colour(0x80000014u)) << k;
    }
    EXPECT_EQ(captions(), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_TRUE(window->picButton[1]->isEnabled());
}

TEST_F(ThumbnailStrip, AnimationBackgroundComesFromFrameZerosCorner)
{
    const std::vector<Rgb> palette = colours(8);
    GifBuilder gif(30, 30, palette);
    for (int i = 0; i < 5; ++i)
        gif.image(GifBuilder::pattern(30, 30, 8, 5 + i));
    load(gif.build());
    window->DrawThumbnails();
    const std::int32_t corner = std::int32_t(ToOleColor(QColor(rgb(palette[5]))));
    EXPECT_EQ(std::int32_t(window->picAnimGif->surface().BackColor()), corner);

    // The same colour again does not wipe the box.
    window->picAnimGif->surface().setPixel(3, 3, 0x0000FFu);
    window->DrawThumbnails();
    EXPECT_EQ(pixel(window->picAnimGif, 3, 3), colour(0x0000FFu));

    // Away from the first position the background is left alone.
    window->picAnimGif->setBackColor(0x112233u);
    window->VScroll->setValue(1);
    window->DrawThumbnails();
    EXPECT_EQ(window->picAnimGif->surface().BackColor(), 0x112233u);

    // A transparent corner shows the strip's own grey.
    GifBuilder clear(30, 30, palette);
    for (int i = 0; i < 2; ++i) {
        ImageSpec frame = GifBuilder::pattern(30, 30, 8, 5);
        frame.control->transparent = 5;
        clear.image(frame);
    }
    load(clear.build());
    window->DrawThumbnails();
    EXPECT_EQ(window->picAnimGif->surface().BackColor(), kStripBack);
}

TEST_F(ThumbnailStrip, EmptyTableDrawsNothing)
{
    const OleColor animationBack = window->picAnimGif->surface().BackColor();
    window->DrawThumbnails();
    EXPECT_EQ(captions(), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_FALSE(window->picButton[1]->isEnabled());
    EXPECT_EQ(window->picAnimGif->surface().BackColor(), animationBack);
    const QImage drawn = window->picMin->surface().image();
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            ASSERT_EQ(drawn.pixel(x, y) | 0xFF000000u, colour(kStripBack)) << x << "," << y;
}

} // namespace
} // namespace skarvel::test
