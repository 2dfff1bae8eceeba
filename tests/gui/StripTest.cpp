// The thumbnail strip, read back from its pixels: where each frame lands in its slot, the numbers,
// the animation's background, an empty table; stepping with the up/down buttons under real mouse
// events and timers; and what may happen while it is drawn or stepped, when the window yields to
// other events (closing, destroying, a second press, ticks; the sanitizer build checks the
// destroyed window is never touched).
#include "WindowFixture.h"

#include <QSignalSpy>

namespace skarvel::test {
namespace {

constexpr OleColor kStripBack = 0xC0C0C0u;
constexpr int kLong = 20000; // generous: the machine may be busy

class ThumbnailStrip : public MainWindowTest {
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

    // An etched edge round every slot: shadow outside top and left, highlight one pixel in;
    // the other way round at the bottom and right.
    const QRgb shadow = colour(0x80000010u), light = colour(0x80000014u);
    for (int k = 0; k < 4; ++k) {
        const int top = 82 * k;
        EXPECT_EQ((std::vector<QRgb>{strip(60, top), strip(18, top + 10), strip(60, top + 1), strip(88, top + 10),
                                     strip(87, top + 10), strip(60, top + 70), strip(60, top + 69)}),
                  (std::vector<QRgb>{shadow, shadow, light, light, shadow, light, shadow})) << k;
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
    EXPECT_TRUE(blank(*window->picMin));
    EXPECT_EQ(window->picMin->surface().BackColor(), kStripBack);
}

class StripStepping : public MainWindowTest {
protected:
    PictureBox* button(int index) const { return window->picUpDown[std::size_t(index)]; }
    bool shown(int index) const { return button(index)->isVisible() && button(index)->isEnabled(); }
    bool gone(int index) const { return !button(index)->isVisible() && !button(index)->isEnabled(); }

    // The ring round a button on the window: left and right colour.
    std::pair<QRgb, QRgb> ring(int index) const
    {
        const QImage seen = window->grab().toImage();
        const QRect box = button(index)->geometry();
        return {seen.pixel(box.left() - 1, box.top() + 3) | 0xFF000000u,
                seen.pixel(box.right() + 1, box.top() + 3) | 0xFF000000u};
    }
};

TEST_F(StripStepping, HoldingDownRaisesSinksAndRunsToTheEndByItself)
{
    load(solidFrames(9));
    showStrip();
    ASSERT_EQ(window->VScroll->maximum(), 5);
    ASSERT_TRUE(shown(0));
    ASSERT_FALSE(button(1)->isVisible());
    QSignalSpy steps(window->VScroll, &QScrollBar::valueChanged);
    const QRgb light = colour(0x80000014u), dark = colour(0x80000010u), face = colour(0x8000000Fu);

    move(upDown(0));
    EXPECT_EQ(ring(0), std::make_pair(light, dark));
    EXPECT_EQ(QWidget::mouseGrabber(), button(0));
    press(upDown(0));
    EXPECT_EQ(ring(0), std::make_pair(dark, light));
    // The first step is taken on the press itself.
    EXPECT_EQ(window->VScroll->value(), 1);
    // Still held: the run ends by itself at the bound and shows the other button.
    ASSERT_EVENTUALLY(button(1)->isVisible(), kLong);
    EXPECT_FALSE(window->bAutoRepeat);
    EXPECT_EQ(steps.count(), 5);
    EXPECT_EQ(window->VScroll->value(), 5);
    EXPECT_EQ(captions(), (std::vector<std::string>{"6", "7", "8", "9"}));
    EXPECT_EQ(pixel(window->picMin, 50, 30), rgb(colours(9)[5]));

    release(upDown(0));
    EXPECT_TRUE(gone(0));
    EXPECT_TRUE(shown(1));
    EXPECT_EQ(steps.count(), 5);

    // On the up button: the next plain move raises it, leaving flattens it.
    move(upDown(1));
    move(upDown(1) + QPoint(1, 0));
    EXPECT_EQ(ring(1), std::make_pair(light, dark));
    move(QPoint(300, 300));
    EXPECT_EQ(ring(1), std::make_pair(face, face));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(StripStepping, ClickStepsOneFrameEachWay)
{
    load(solidFrames(5));
    showStrip();
    ASSERT_EQ(window->VScroll->maximum(), 1);
    EXPECT_EQ(captions(), (std::vector<std::string>{"1", "2", "3", "4"}));
    move(upDown(0));
    press(upDown(0));
    release(upDown(0));
    EXPECT_EQ(window->VScroll->value(), 1);
    // At the end: the down button goes at once, the strip and the up button follow the pass.
    EXPECT_TRUE(gone(0));
    ASSERT_EVENTUALLY(shown(1), kLong);
    EXPECT_EQ(captions(), (std::vector<std::string>{"2", "3", "4", "5"}));
    EXPECT_EQ(pixel(window->picMin, 50, 82 * 3 + 30), rgb(colours(5)[4]));

    move(upDown(1));
    press(upDown(1));
    release(upDown(1));
    EXPECT_EQ(window->VScroll->value(), 0);
    EXPECT_TRUE(gone(1));
    ASSERT_EVENTUALLY(shown(0), kLong);
    EXPECT_EQ(captions(), (std::vector<std::string>{"1", "2", "3", "4"}));

    // Pressed at the bound: no step, but the one pass still ends the run and swaps the buttons.
    button(0)->setVisible(false);
    button(1)->setVisible(true);
    button(1)->setEnabled(true);
    QSignalSpy steps(window->VScroll, &QScrollBar::valueChanged);
    move(upDown(1));
    press(upDown(1));
    EXPECT_FALSE(window->bAutoRepeat);
    ASSERT_EVENTUALLY(shown(0), kLong);
    release(upDown(1));
    EXPECT_EQ(steps.count(), 0);
    EXPECT_EQ(window->VScroll->value(), 0);
    EXPECT_TRUE(gone(1));
}

class StripSafety : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        load(solidFrames(9, {1}));
        showStrip();
        startAnimation();
    }
    void holdDown()
    {
        move(upDown(0));
        press(upDown(0));
        ASSERT_EVENTUALLY(captions()[0] == "2", kLong);
    }
};

TEST_F(StripSafety, ClosingInTheMiddleOfADrawingEndsIt)
{
    window->ClearFrameLabels();
    window->EnableSaveButton(false);
    QTimer::singleShot(0, window.get(), [this] { window->close(); });
    window->DrawThumbnails();
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(window->Frames.empty());
    EXPECT_EQ(captions(), (std::vector<std::string>{"1", "", "", ""}));
    EXPECT_FALSE(window->picButton[1]->isEnabled());
    // Late events on the closed window change nothing and read no table.
    window->Timer1_Timer();
    window->picUpDown_MouseDown(0, 1, 0, 5, 5);
    window->picUpDown_MouseUp(0, 1, 0, 5, 5);
    window->DrawThumbnails();
    EXPECT_EQ(window->VScroll->value(), 0);
    EXPECT_FALSE(window->Timer1->isActive());
}

TEST_F(StripSafety, DestroyingTheWindowInTheMiddleOfADrawing)
{
    QTimer::singleShot(0, [this] { window.reset(); });
    frmSkarvel* drawing = window.get();
    drawing->DrawThumbnails();
    EXPECT_EQ(window, nullptr);
}

TEST_F(StripSafety, ClosingWhileAButtonIsHeld)
{
    ASSERT_NO_FATAL_FAILURE(holdDown());
    window->close();
    const int value = window->VScroll->value();
    // Several passes' worth of time, and late mouse events: none of them steps the closed window.
    QTest::qWait(600);
    window->picUpDown_MouseUp(0, 1, 0, 5, 5);
    window->picUpDown_MouseDown(0, 1, 0, 5, 5);
    QTest::qWait(300);
    EXPECT_EQ(window->VScroll->value(), value);
    EXPECT_TRUE(window->Frames.empty());
}

TEST_F(StripSafety, DestroyingTheWindowWhileAButtonIsHeld)
{
    ASSERT_NO_FATAL_FAILURE(holdDown());
    window.reset();
    QTest::qWait(600); // the sanitizer build catches any pass that runs on the destroyed window
}

TEST_F(StripSafety, SecondPressAndTicksDuringADrawing)
{
    // The animation ticks every 10 ms all along; a click on the down button arrives while
    // the strip is being drawn. The strip ends at the stepped position.
    int ticks = 0;
    QObject::connect(window->Timer1, &QTimer::timeout, window.get(), [&] { ++ticks; });
    QTimer::singleShot(0, window.get(), [this] {
        move(upDown(0));
        press(upDown(0));
        release(upDown(0));
    });
    window->DrawThumbnails();
    EXPECT_EQ(window->VScroll->value(), 1);
    ASSERT_EVENTUALLY((captions() == std::vector<std::string>{"2", "3", "4", "5"}), kLong);
    EXPECT_EQ(pixel(window->picMin, 50, 30), rgb(colours(9)[1]));
    ASSERT_EVENTUALLY(ticks > 2, kLong);
}

} // namespace
} // namespace skarvel::test
