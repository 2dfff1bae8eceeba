// Stepping the strip with its up/down buttons under real mouse events and real timers: holding,
// clicking, the bounds, the buttons shown and hidden, and the buttons' looks.
#include "FramesFixture.h"

#include <QSignalSpy>

namespace skarvel::test {
namespace {

constexpr int kLong = 20000; // generous: the machine may be busy

class StripStepping : public FramesWindowTest {
protected:
    PictureBox* button(int index) const { return window->picUpDown[std::size_t(index)]; }
    bool shown(int index) const { return button(index)->isVisible() && button(index)->isEnabled(); }
    bool gone(int index) const { return !button(index)->isVisible() && !button(index)->isEnabled(); }

    // The ring round a button on the window: top-left colour and bottom-right colour.
    std::pair<QRgb, QRgb> ring(int index) const
    {
        const QImage seen = window->grab().toImage();
        const QRect box = button(index)->geometry();
        return {seen.pixel(box.left() - 1, box.top() + 3) | 0xFF000000u,
                seen.pixel(box.right() + 1, box.top() + 3) | 0xFF000000u};
    }
};

TEST_F(StripStepping, HoldingDownRunsToTheEndByItself)
{
    load(solidFrames(9));
    showStrip();
    ASSERT_EQ(window->VScroll->maximum(), 5);
    ASSERT_TRUE(shown(0));
    ASSERT_FALSE(button(1)->isVisible());
    QSignalSpy steps(window->VScroll, &QScrollBar::valueChanged);

    move(upDown(0));
    press(upDown(0));
    // The first step is taken on the press itself.
    EXPECT_EQ(window->VScroll->value(), 1);
    // Still held: the run ends by itself at the bound and shows the other button.
    QTRY_VERIFY_WITH_TIMEOUT(button(1)->isVisible(), kLong);
    EXPECT_FALSE(window->bAutoRepeat);
    EXPECT_EQ(steps.count(), 5);
    EXPECT_EQ(window->VScroll->value(), 5);
    EXPECT_EQ(captions(), (std::vector<std::string>{"6", "7", "8", "9"}));
    EXPECT_EQ(pixel(window->picMin, 50, 30), rgb(colours(9)[5]));

    release(upDown(0));
    EXPECT_TRUE(gone(0));
    EXPECT_TRUE(shown(1));
    EXPECT_EQ(steps.count(), 5);
}

TEST_F(StripStepping, ClickStepsOneFrameEachWay)
{
    load(solidFrames(5));
    showStrip();
    ASSERT_EQ(window->VScroll->maximum(), 1);
    move(upDown(0));
    press(upDown(0));
    release(upDown(0));
    EXPECT_EQ(window->VScroll->value(), 1);
    // At the end: the down button goes at once, the strip and the up button follow the pass.
    EXPECT_TRUE(gone(0));
    QTRY_VERIFY_WITH_TIMEOUT(shown(1), kLong);
    EXPECT_EQ(captions(), (std::vector<std::string>{"2", "3", "4", "5"}));
    EXPECT_EQ(pixel(window->picMin, 50, 82 * 3 + 30), rgb(colours(5)[4]));

    move(upDown(1));
    press(upDown(1));
    release(upDown(1));
    EXPECT_EQ(window->VScroll->value(), 0);
    EXPECT_TRUE(gone(1));
    QTRY_VERIFY_WITH_TIMEOUT(shown(0), kLong);
    EXPECT_EQ(captions(), (std::vector<std::string>{"1", "2", "3", "4"}));
}

TEST_F(StripStepping, PressAtTheBoundDoesNotMove)
{
    load(solidFrames(5));
    showStrip();
    button(0)->setVisible(false);
    button(1)->setVisible(true);
    QSignalSpy steps(window->VScroll, &QScrollBar::valueChanged);
    move(upDown(1));
    press(upDown(1));
    EXPECT_FALSE(window->bAutoRepeat);
    // The one pass still ends the run, which shows the other button.
    QTRY_VERIFY_WITH_TIMEOUT(shown(0), kLong);
    release(upDown(1));
    EXPECT_EQ(steps.count(), 0);
    EXPECT_EQ(window->VScroll->value(), 0);
    EXPECT_TRUE(gone(1));
}

TEST_F(StripStepping, ButtonsRiseUnderThePointerAndSinkWhenPressed)
{
    load(solidFrames(9));
    showStrip();
    const QRgb light = colour(0x80000014u);
    const QRgb dark = colour(0x80000010u);
    const QRgb face = colour(0x8000000Fu);

    move(upDown(0));
    EXPECT_EQ(ring(0), std::make_pair(light, dark));
    EXPECT_EQ(QWidget::mouseGrabber(), button(0));
    press(upDown(0));
    EXPECT_EQ(ring(0), std::make_pair(dark, light));
    release(upDown(0));
    // A left release leaves it sunken; the next plain move raises it again.
    EXPECT_EQ(ring(0), std::make_pair(dark, light));
    move(upDown(0) + QPoint(1, 0));
    EXPECT_EQ(ring(0), std::make_pair(light, dark));
    move(QPoint(300, 300));
    EXPECT_EQ(ring(0), std::make_pair(face, face));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(shown(1), kLong);
}

} // namespace
} // namespace skarvel::test
