// The persistent drawing surface: its drawing calls read back pixel by pixel.
#include "platform/DrawingSurface.h"
#include "platform/Picture.h"

#include <gtest/gtest.h>

namespace skarvel::test {
namespace {

constexpr OleColor kBack = 0x102030u;
constexpr OleColor kInk = 0x0000FFu;

std::int32_t ole(OleColor c) { return std::int32_t(ToOleColor(TranslateColor(c))); }

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        twips.resize(QSize(40, 30));
        twips.setBackColor(kBack);
    }
    static std::int32_t px(const DrawingSurface& s, int x, int y) { return s.Point(x * s.unitTwips(), y * s.unitTwips()); }
    // Colours at the given pixels.
    static std::vector<std::int32_t> at(const DrawingSurface& s, std::initializer_list<QPoint> points)
    {
        std::vector<std::int32_t> seen;
        for (QPoint p : points)
            seen.push_back(px(s, p.x(), p.y()));
        return seen;
    }
    // How many pixels are in colour `c`.
    static int inked(const DrawingSurface& s, OleColor c)
    {
        int found = 0;
        for (int y = 0; y < s.pixelSize().height(); ++y)
            for (int x = 0; x < s.pixelSize().width(); ++x)
                found += px(s, x, y) == ole(c);
        return found;
    }
    DrawingSurface twips;
};

// Segments and rectangles are checked pixel by pixel through the edge painter's rings.
TEST_F(SurfaceTest, NewBackColourClearsAndPointsOffTheSurfaceReadMinusOne)
{
    twips.LineBox(15 * 9, 15 * 8, 15 * 2, 15 * 3, kInk);
    ASSERT_GT(inked(twips, kInk), 0);
    twips.setBackColor(0x00FF00u);
    EXPECT_EQ(inked(twips, kInk), 0);
    EXPECT_EQ(inked(twips, 0x00FF00u), 40 * 30);
    EXPECT_EQ(twips.Point(40 * 15, 0), -1);
    EXPECT_EQ(twips.Point(-15, 0), -1);
}

TEST_F(SurfaceTest, DrawingBeforeTheOwnerIsSizedIsKept)
{
    QSize owner(20, 10);
    DrawingSurface late;
    late.sizeSource = [&owner] { return owner; };
    late.setBackColor(kBack);
    late.Line(0, 15, 150, 15, kInk);
    owner = QSize(30, 12);
    EXPECT_EQ(late.pixelSize(), QSize(30, 12));
    EXPECT_EQ(late.Point(0, 15), ole(kInk));
    EXPECT_EQ(late.Point(29 * 15, 11 * 15), ole(kBack));
}

TEST_F(SurfaceTest, PaintPictureStretchesKeepsTransparentPixelsAndAveragesAShrink)
{
    // A 2 x 2 picture: index 0 transparent, 1 red, 2 green, 3 blue.
    QImage indexed(2, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(0, 0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)});
    for (int i = 0; i < 4; ++i)
        indexed.setPixel(i % 2, i / 2, uint(i));
    const Picture picture(indexed);

    DrawingSurface box(ScaleMode::Pixels);
    box.resize(QSize(12, 12));
    box.setBackColor(kBack);
    box.PaintPicture(picture, 2, 2, 8.0, 8.0);
    const auto back = ole(kBack), red = ole(0xFF0000u), green = ole(0x00FF00u), blue = ole(0x0000FFu);
    EXPECT_EQ(at(box, {{2, 2}, {5, 5}, {6, 2}, {9, 5}, {2, 9}, {9, 9}, {10, 10}}),
              (std::vector{back, back, blue, blue, green, red, back}));
    // A source part only (in twips on a twips surface).
    twips.PaintPicture(picture, 150, 150, 60.0, 60.0, 15, 15, 15.0, 15.0);
    EXPECT_EQ(at(twips, {{10, 10}, {13, 13}, {14, 14}}), (std::vector{red, red, back}));

    // One-pixel black and white columns, halved: every column lands as grey, none drops out.
    QImage stripes(8, 4, QImage::Format_Indexed8);
    stripes.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            stripes.setPixel(x, y, uint(x % 2));
    box.PaintPicture(Picture(stripes), 0, 0, 4.0, 2.0);
    for (int x = 0; x < 4; ++x) {
        const QColor seen = box.image().pixelColor(x, 1);
        EXPECT_NEAR(seen.red(), 128, 8) << x;
        EXPECT_EQ(seen.red(), seen.blue()) << x;
    }
}

TEST_F(SurfaceTest, LayeredSurfaceIsTransparentUntilDrawnOn)
{
    DrawingSurface layer(ScaleMode::Twips, true);
    layer.resize(QSize(10, 10));
    layer.setBackColor(kBack);
    EXPECT_EQ(qAlpha(layer.image().pixel(3, 3)), 0);
    EXPECT_EQ(layer.Point(45, 45), ole(kBack));
    layer.LineBox(15, 15, 60, 60, kInk);
    EXPECT_EQ(qAlpha(layer.image().pixel(1, 1)), 255);
    layer.Cls();
    EXPECT_EQ(qAlpha(layer.image().pixel(1, 1)), 0);
}

} // namespace
} // namespace skarvel::test
