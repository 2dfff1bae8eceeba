// The status bar wrapper on a plain parent window (creation, parts, texts, taking a control in),
// and the edge painter's ring on a container surface, pixel by pixel, with its 16-bit limits.
#include "platform/Control.h"
#include "platform/DrawingSurface.h"
#include "platform/PictureBox.h"
#include "platform/RuntimeError.h"
#include "platform/StatusBarWindow.h"
#include "widgets/StatusBar.h"
#include "widgets/TriDim.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace skarvel::test {
namespace {

class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override { parent.resize(399, 393); }
    QWidget parent;
};

TEST_F(StatusBarTest, CreateOnceDockedAtTheBottomAndGoneWithTheObject)
{
    QPointer<StatusBarWindow> made;
    {
        StatusBar bar;
        EXPECT_EQ(bar.hWnd(), nullptr);
        EXPECT_EQ(bar.GetText(0), QString());
        EXPECT_TRUE(bar.Create(parent));
        EXPECT_FALSE(bar.Create(parent));
        EXPECT_EQ(parent.findChildren<StatusBarWindow*>().size(), 1);
        made = bar.hWnd();
        ASSERT_TRUE(made);
        EXPECT_EQ(made->geometry(), QRect(0, 373, 399, 20));

        parent.resize(500, 300);
        bar.Resize(parent);
        EXPECT_EQ(made->geometry(), QRect(0, 280, 500, 20));
    }
    EXPECT_FALSE(made);
    EXPECT_TRUE(parent.findChildren<StatusBarWindow*>().isEmpty());
}

TEST_F(StatusBarTest, PartsTextsAndControlsTakenIn)
{
    StatusBar bar;
    bar.Create(parent);
    const std::int16_t edges[] = {309, -1};
    bar.SetParts(2, edges);
    const StatusBarWindow& w = *bar.hWnd();
    ASSERT_EQ(w.partCount(), 2);
    EXPECT_EQ(w.partRect(0), QRect(QPoint(0, 2), QPoint(308, 19)));
    EXPECT_EQ(w.partRect(1), QRect(QPoint(311, 2), QPoint(398, 19)));

    const QString path = QStringLiteral("       /tmp/animazione è.gif");
    bar.SetText(0, path);
    bar.SetText(1, QStringLiteral("    Frames: 12"));
    EXPECT_EQ(bar.GetText(1), QStringLiteral("    Frames: 12"));
    bar.SetText(1, QString());
    EXPECT_EQ(bar.GetText(1), QString());
    EXPECT_EQ(bar.GetText(0), path);
    // Parts that do not exist keep nothing.
    bar.SetText(5, QStringLiteral("x"));
    EXPECT_EQ(bar.GetText(5), QString());

    auto* first = new PictureBox(&parent);
    auto* second = new PictureBox(&parent);
    first->hide();
    bar.CopyObj(0, *first);
    bar.CopyObj(1, *second);
    EXPECT_EQ(first->parentWidget(), bar.hWnd());
    EXPECT_FALSE(first->isHidden());
    // The first part, 0, 2 to 309, 20 pixels, is left 0, top 30, width 4635, height 270 twips; the
    // control goes 15 twips in from each side.
    EXPECT_EQ((std::vector<double>{first->Left(), first->Top(), first->Width(), first->Height()}),
              (std::vector<double>{15, 45, 4605, 240}));
    EXPECT_EQ(second->geometry(), QRect(312, 3, 86, 16));
}

TEST_F(StatusBarTest, SetPartsBounds)
{
    StatusBar bar;
    bar.Create(parent);
    const std::int16_t one[] = {-1};
    const auto number = [&](std::int16_t count, std::span<const std::int16_t> edges) {
        try {
            bar.SetParts(count, edges);
        } catch (const RuntimeError& e) {
            return int(e.number());
        }
        return 0;
    };
    EXPECT_EQ(number(0, one), RuntimeError::SubscriptOutOfRange);
    EXPECT_EQ(number(256, std::vector<std::int16_t>(256, 1)), RuntimeError::Overflow);
    EXPECT_EQ(number(2, one), RuntimeError::SubscriptOutOfRange);
    EXPECT_EQ(number(255, std::vector<std::int16_t>(255, -1)), 0);
    EXPECT_EQ(bar.hWnd()->partCount(), 255);
    EXPECT_EQ(number(1, one), 0);
    EXPECT_EQ(bar.hWnd()->partRect(0), QRect(QPoint(0, 2), QPoint(398, 19)));
}

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

TEST_F(TriDimRing, SunkenRiseAndFlatPaintTheRingRoundTheControl)
{
    ASSERT_NE(colour(kDark), colour(kLight));
    // Left 300, Top 150, Width 600, Height 300: x1 = 285, x2 = 900, y1 = 135, y2 = 450 twips.
    FakeControl c(surface, 300, 150, 600, 300);
    painter.Sunken(c);
    expectRing(19, 9, 60, 30, kDark, kLight);
    // Rise over Sunken repaints every pixel of the ring.
    painter.Rise(c);
    expectRing(19, 9, 60, 30, kLight, kDark);
    painter.Flat(c, 0x00FF00u);
    expectRing(19, 9, 60, 30, 0x00FF00u, 0x00FF00u);

    surface.Cls();
    FakeControl empty(surface, 300, 300, 0, 0);
    painter.Rise(empty);
    expectRing(19, 19, 20, 20, kLight, kDark);

    // At the corner column and row -1 fall off the surface; the right column and bottom row remain.
    surface.Cls();
    FakeControl corner(surface, 0, 0, 150, 150);
    painter.Sunken(corner);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(at(10, i), colour(kLight));
        EXPECT_EQ(at(i, 10), colour(kLight));
    }
    EXPECT_EQ(at(0, 0), colour(kBack));
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
