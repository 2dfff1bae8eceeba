// The edge painter's ring on a container surface, pixel by pixel, and its 16-bit limits.
#include "platform/Control.h"
#include "platform/DrawingSurface.h"
#include "platform/RuntimeError.h"
#include "widgets/TriDim.h"

#include <gtest/gtest.h>

namespace skarvel::test {
namespace {

constexpr OleColor kDark = 0x80000010u;
constexpr OleColor kLight = 0x80000014u;
constexpr OleColor kBack = 0x336699u;

// A control at a given place in twips on a surface of its own.
struct FakeControl : Control {
    double left, top, width, height;
    DrawingSurface* container;
    FakeControl(DrawingSurface& s, double l, double t, double w, double h)
        : left(l), top(t), width(w), height(h), container(&s) {}
    double Left() const override { return left; }
    double Top() const override { return top; }
    double Width() const override { return width; }
    double Height() const override { return height; }
    DrawingSurface& ContainerSurface() const override { return *container; }
};

class TriDimRing : public ::testing::Test {
protected:
    void SetUp() override
    {
        surface.resize(QSize(80, 50));
        surface.setBackColor(kBack);
    }
    std::int32_t at(int x, int y) const { return surface.Point(x * 15, y * 15); }
    std::int32_t colour(OleColor c) const { return std::int32_t(ToOleColor(TranslateColor(c))); }

    // Expects the ring x1..x2, y1..y2 (pixels): top row and left column in `topLeft` but for
    // the far ends (x2, y1) and (x1, y2), which go with the right column and bottom row in
    // `bottomRight`; the inside and the outside untouched.
    void expectRing(int x1, int y1, int x2, int y2, OleColor topLeft, OleColor bottomRight)
    {
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 80; ++x) {
                const bool onRing = (x == x1 || x == x2 || y == y1 || y == y2) && x >= x1 &&
                                    x <= x2 && y >= y1 && y <= y2;
                std::int32_t want = colour(kBack);
                if (onRing) {
                    const bool rb = x == x2 || y == y2;
                    want = colour(rb ? bottomRight : topLeft);
                }
                ASSERT_EQ(at(x, y), want) << "at " << x << ", " << y;
            }
        }
    }

    DrawingSurface surface;
    TriDim painter;
};

TEST_F(TriDimRing, SunkenRiseAndFlatPaintTheSameRing)
{
    ASSERT_NE(colour(kDark), colour(kLight));
    // Left 300, Top 150, Width 600, Height 300: x1 = 285, x2 = 900, y1 = 135, y2 = 450 twips.
    FakeControl c(surface, 300, 150, 600, 300);
    painter.Sunken(c);
    expectRing(19, 9, 60, 30, kDark, kLight);
    // Rise over Sunken repaints every pixel of the ring.
    painter.Rise(c);
    expectRing(19, 9, 60, 30, kLight, kDark);
    painter.Flat(c, kBack);
    expectRing(19, 9, 60, 30, kBack, kBack);
    painter.Sunken(c);
    painter.Flat(c, 0x00FF00u);
    expectRing(19, 9, 60, 30, 0x00FF00u, 0x00FF00u);
}

TEST_F(TriDimRing, EmptyControlAndControlAtTheCorner)
{
    FakeControl empty(surface, 300, 300, 0, 0);
    painter.Rise(empty);
    expectRing(19, 19, 20, 20, kLight, kDark);

    DrawingSurface other;
    other.resize(QSize(30, 30));
    other.setBackColor(kBack);
    FakeControl corner(other, 0, 0, 150, 150);
    painter.Sunken(corner);
    // Column and row -1 fall off the surface; the right column and bottom row remain.
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(other.Point(10 * 15, i * 15), colour(kLight));
        EXPECT_EQ(other.Point(i * 15, 10 * 15), colour(kLight));
    }
    EXPECT_EQ(other.Point(0, 0), colour(kBack));
}

TEST_F(TriDimRing, SixteenBitOverflowThrowsAfterWhatWasDrawn)
{
    DrawingSurface tall;
    tall.resize(QSize(60, 2200));
    tall.setBackColor(kBack);
    // y2 = 32760: the outline fits, the right column's end (y2 + 15) does not.
    FakeControl low(tall, 300, 32460, 300, 300);
    try {
        painter.Sunken(low);
        FAIL() << "no overflow";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), RuntimeError::Overflow);
    }
    EXPECT_EQ(tall.Point(285, 32445), colour(kDark));   // top-left corner of the outline
    EXPECT_EQ(tall.Point(600, 32445), colour(kDark));   // top-right: the light column never came
    EXPECT_EQ(tall.Point(450, 32760), colour(kDark));   // bottom row still dark

    // A ring beyond the range is refused before anything is drawn.
    FakeControl far(tall, 32760, 300, 300, 300);
    EXPECT_THROW(painter.Rise(far), RuntimeError);
    EXPECT_THROW(painter.Flat(far, kBack), RuntimeError);
    FakeControl before(tall, -32760, 300, 300, 300);
    EXPECT_THROW(painter.Sunken(before), RuntimeError);
}

} // namespace
} // namespace skarvel::test
