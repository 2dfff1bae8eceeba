// The persistent drawing surface: its drawing calls read back pixel by pixel.
#include "platform/DrawEdge.h"
#include "platform/DrawingSurface.h"
#include "platform/Picture.h"

#include <QPainter>

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
    std::int32_t px(const DrawingSurface& s, int x, int y) const
    {
        return s.Point(x * s.unitTwips(), y * s.unitTwips());
    }
    // Pixels of the given colour, as points.
    std::vector<QPoint> inked(const DrawingSurface& s, OleColor c) const
    {
        std::vector<QPoint> found;
        for (int y = 0; y < s.pixelSize().height(); ++y)
            for (int x = 0; x < s.pixelSize().width(); ++x)
                if (px(s, x, y) == ole(c))
                    found.emplace_back(x, y);
        return found;
    }
    DrawingSurface twips;
};

TEST_F(SurfaceTest, SegmentLeavesOutItsLastPointRectangleDoesNot)
{
    twips.Line(15, 30, 15 * 6, 30, kInk);
    EXPECT_EQ(inked(twips, kInk).size(), 5u);
    EXPECT_EQ(px(twips, 1, 2), ole(kInk));
    EXPECT_EQ(px(twips, 5, 2), ole(kInk));
    EXPECT_EQ(px(twips, 6, 2), ole(kBack));
    EXPECT_EQ(twips.CurrentX, 90);

    twips.Cls();
    // Reversed corners; all four edges whole, corners included.
    twips.LineBox(15 * 9, 15 * 8, 15 * 2, 15 * 3, kInk);
    const auto box = inked(twips, kInk);
    EXPECT_EQ(box.size(), std::size_t(2 * 8 + 2 * 4));
    for (QPoint p : {QPoint(2, 3), QPoint(9, 3), QPoint(2, 8), QPoint(9, 8)})
        EXPECT_EQ(px(twips, p.x(), p.y()), ole(kInk));
    EXPECT_EQ(px(twips, 5, 5), ole(kBack));

    // A slanted segment is one pixel per step on its long axis.
    twips.Cls();
    twips.Line(0, 0, 15 * 10, 15 * 4, kInk);
    EXPECT_EQ(inked(twips, kInk).size(), 10u);
}

TEST_F(SurfaceTest, BackColourClsAndPixelScale)
{
    twips.Line(0, 0, 150, 0, kInk);
    twips.setBackColor(0x00FF00u);
    EXPECT_TRUE(inked(twips, kInk).empty());
    EXPECT_EQ(px(twips, 39, 29), ole(0x00FF00u));
    EXPECT_EQ(twips.Point(40 * 15, 0), -1);
    EXPECT_EQ(twips.Point(-15, 0), -1);

    DrawingSurface pixels(ScaleMode::Pixels);
    pixels.resize(QSize(10, 10));
    pixels.setBackColor(kBack);
    pixels.LineBox(1, 1, 3, 3, kInk);
    EXPECT_EQ(px(pixels, 3, 3), ole(kInk));
    pixels.Cls();
    EXPECT_EQ(px(pixels, 3, 3), ole(kBack));
}

TEST_F(SurfaceTest, DrawingBeforeTheOwnerIsSizedIsKept)
{
    QSize owner(0, 0);
    DrawingSurface late;
    late.sizeSource = [&owner] { return owner; };
    owner = QSize(20, 10);
    late.setBackColor(kBack);
    late.Line(0, 15, 150, 15, kInk);
    owner = QSize(30, 12);
    EXPECT_EQ(late.pixelSize(), QSize(30, 12));
    EXPECT_EQ(late.Point(0, 15), ole(kInk));
    EXPECT_EQ(late.Point(29 * 15, 11 * 15), ole(kBack));
}

TEST_F(SurfaceTest, PrintMovesToTheNextLineAndPictureRenewsTheFace)
{
    twips.setForeColor(kInk);
    twips.CurrentX = 45;
    twips.CurrentY = 30;
    twips.Print(QStringLiteral("Ab"));
    EXPECT_EQ(twips.CurrentX, 0);
    EXPECT_GT(twips.CurrentY, 30);
    const auto ink = inked(twips, kInk);
    ASSERT_FALSE(ink.empty());
    for (QPoint p : ink) {
        EXPECT_GE(p.x(), 3);
        EXPECT_GE(p.y(), 2);
    }
    // Text is drawn in exactly the fore colour: nothing in between.
    int other = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            other += px(twips, x, y) != ole(kInk) && px(twips, x, y) != ole(kBack);
    EXPECT_EQ(other, 0);

    QImage picture(4, 4, QImage::Format_ARGB32);
    picture.fill(qRgb(0, 255, 0));
    const double y = twips.CurrentY;
    twips.setPicture(picture);
    EXPECT_TRUE(inked(twips, kInk).empty());
    EXPECT_EQ(px(twips, 3, 3), ole(0x00FF00u));
    EXPECT_EQ(px(twips, 4, 4), ole(kBack));
    EXPECT_EQ(twips.CurrentY, y);
    twips.Line(0, 0, 150, 150, 0xFF00FFu);
    twips.Cls();
    EXPECT_EQ(px(twips, 0, 0), ole(0x00FF00u));
    EXPECT_EQ(px(twips, 5, 5), ole(kBack));
}

TEST_F(SurfaceTest, PaintPictureStretchesAndKeepsTransparentPixels)
{
    // A 2 x 2 picture: index 0 transparent, 1 red, 2 green, 3 blue.
    QImage indexed(2, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(0, 0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)});
    indexed.setPixel(0, 0, 0);
    indexed.setPixel(1, 0, 1);
    indexed.setPixel(0, 1, 2);
    indexed.setPixel(1, 1, 3);
    const Picture picture(indexed);

    DrawingSurface box(ScaleMode::Pixels);
    box.resize(QSize(12, 12));
    box.setBackColor(kBack);
    box.PaintPicture(picture, 2, 2, 8.0, 8.0);
    EXPECT_EQ(box.Point(2, 2), ole(kBack));
    EXPECT_EQ(box.Point(5, 5), ole(kBack));
    EXPECT_EQ(box.Point(6, 2), ole(0x0000FFu));
    EXPECT_EQ(box.Point(9, 5), ole(0x0000FFu));
    EXPECT_EQ(box.Point(2, 9), ole(0x00FF00u));
    EXPECT_EQ(box.Point(9, 9), ole(0xFF0000u));
    EXPECT_EQ(box.Point(10, 10), ole(kBack));
    // Natural size, and a source part only (in twips on a twips surface).
    box.Cls();
    box.PaintPicture(picture, 0, 0);
    EXPECT_EQ(box.Point(1, 1), ole(0xFF0000u));
    EXPECT_EQ(box.Point(2, 2), ole(kBack));
    twips.PaintPicture(picture, 150, 150, 60.0, 60.0, 15, 15, 15.0, 15.0);
    EXPECT_EQ(px(twips, 10, 10), ole(0xFF0000u));
    EXPECT_EQ(px(twips, 13, 13), ole(0xFF0000u));
    EXPECT_EQ(px(twips, 14, 14), ole(kBack));
}

TEST_F(SurfaceTest, ShrunkPictureIsAveraged)
{
    // One-pixel black and white columns, halved: every column lands as grey, none drops out.
    QImage stripes(8, 4, QImage::Format_Indexed8);
    stripes.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            stripes.setPixel(x, y, uint(x % 2));
    DrawingSurface box(ScaleMode::Pixels);
    box.resize(QSize(8, 4));
    box.PaintPicture(Picture(stripes), 0, 0, 4.0, 2.0);
    for (int x = 0; x < 4; ++x) {
        const QColor seen = box.image().pixelColor(x, 1);
        EXPECT_NEAR(seen.red(), 128, 8) << x;
        EXPECT_EQ(seen.red(), seen.blue()) << x;
    }
}

TEST_F(SurfaceTest, EtchedEdgeIsTwoRingsInsideTheRectangle)
{
    DrawingSurface strip;
    strip.resize(QSize(100, 80));
    strip.setBackColor(kBack);
    DrawEdge(strip, 18, 0, 89, 71, edge::Etched, edge::Rect);
    const std::int32_t shadow = ole(0x80000010u);
    const std::int32_t light = ole(0x80000014u);
    // Outer ring: top and left shadow, bottom and right highlight (corners included).
    EXPECT_EQ(px(strip, 18, 0), shadow);
    EXPECT_EQ(px(strip, 87, 0), shadow);
    EXPECT_EQ(px(strip, 18, 69), shadow);
    EXPECT_EQ(px(strip, 88, 0), light);
    EXPECT_EQ(px(strip, 18, 70), light);
    EXPECT_EQ(px(strip, 88, 70), light);
    // Inner ring, one pixel in: top and left highlight, bottom and right shadow.
    EXPECT_EQ(px(strip, 19, 1), light);
    EXPECT_EQ(px(strip, 19, 68), light);
    EXPECT_EQ(px(strip, 87, 1), shadow);
    EXPECT_EQ(px(strip, 19, 69), shadow);
    // Nothing inside or outside.
    EXPECT_EQ(px(strip, 20, 2), ole(kBack));
    EXPECT_EQ(px(strip, 50, 35), ole(kBack));
    EXPECT_EQ(px(strip, 89, 35), ole(kBack));
    EXPECT_EQ(px(strip, 50, 71), ole(kBack));
    EXPECT_EQ(px(strip, 17, 35), ole(kBack));
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
