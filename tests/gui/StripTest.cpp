// The thumbnail strip, read back from its pixels: where each frame lands in its slot, the numbers,
// the animation's background; stepping with the up/down buttons and the keys under real input
// events and timers; and what may happen while it is drawn or stepped, when the window yields to
// other events (the sanitizer build checks that a destroyed window is never touched).
#include "WindowFixture.h"

#include <QApplication>
#include <QSignalSpy>

#include <set>

namespace skarvel::test {
namespace {

constexpr OleColor kStripBack = 0xC0C0C0u;

using ThumbnailStrip = MainWindowTest;

TEST_F(ThumbnailStrip, EachFrameIsFittedAndCentredInItsSlot)
{
    // Slot k's box is 71 x 71 pixels at (18, 82 k); its etched edge takes two pixels inside.
    const std::vector<Rgb> palette = colours(8);
    GifBuilder gif(200, 200, palette);
    gif.image(GifBuilder::solid(200, 100, 0));
    gif.image(GifBuilder::solid(100, 200, 1));
    gif.image(GifBuilder::pattern(71, 71, 8));
    gif.image(GifBuilder::solid(40, 30, 3));
    showStrip(gif.build());
    const QRgb back = colour(kStripBack);
    const auto expectFilled = [&](QRect area, QRgb inside) {
        for (int y = area.top() - 1; y <= area.bottom() + 1; ++y)
            for (int x = area.left() - 1; x <= area.right() + 1; ++x)
                if (x >= 20 && x <= 86 && y % 82 >= 2 && y % 82 <= 68) {
                    ASSERT_EQ(near(pixel(window->picMin, x, y), area.contains(x, y) ? inside : back), true) << x << "," << y;
                }
    };
    // 200 x 100: 1065 x 532 twips at dy 266; 100 x 200: 532 x 1065 at dx 266; 40 x 30 at its
    // natural size, dx 232 and dy 308.
    expectFilled(QRect(QPoint(18, 18), QPoint(88, 52)), rgb(palette[0]));
    expectFilled(QRect(QPoint(36, 82), QPoint(70, 152)), rgb(palette[1]));
    expectFilled(QRect(QPoint(33, 267), QPoint(72, 296)), rgb(palette[3]));
    // 71 x 71 fills the box exactly and is not shrunk: pixel for pixel inside the edge.
    const QImage frame2 = window->Frames.frames[2].FramePicture.image();
    for (int y = 2; y < 69; ++y)
        for (int x = 2; x < 69; ++x)
            ASSERT_EQ(pixel(window->picMin, 18 + x, 164 + y), frame2.pixel(x, y) | 0xFF000000u) << x << "," << y;

    // An etched edge round every slot: shadow outside top and left, highlight one pixel in;
    // the other way round at the bottom and right.
    const QRgb shadow = colour(0x80000010u), light = colour(0x80000014u);
    for (int k = 0; k < 4; ++k) {
        const auto strip = [&](int x, int y) { return pixel(window->picMin, x, 82 * k + y); };
        EXPECT_EQ((std::vector<QRgb>{strip(60, 0), strip(18, 10), strip(60, 1), strip(88, 10), strip(87, 10),
                                     strip(60, 70), strip(60, 69), strip(60, 71)}),
                  (std::vector<QRgb>{shadow, shadow, light, light, shadow, light, shadow, back})) << k;
    }
    EXPECT_EQ(captions(), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_TRUE(window->picButton[1]->isEnabled());
}

TEST_F(ThumbnailStrip, AnimationBackgroundIsFrameZerosOwnCornerColour)
{
    // Frame 0 is shrunk into its slot, which blends its colours; the background is still
    // exactly the colour of its top-left pixel.
    const std::vector<Rgb> palette = colours(8);
    GifBuilder gif(300, 300, palette);
    for (int i = 0; i < 5; ++i)
        gif.image(GifBuilder::pattern(300, 300, 8, 5 + i));
    showStrip(gif.build());
    EXPECT_EQ(window->picAnimGif->surface().BackColor(), ToOleColor(QColor(rgb(palette[5]))));

    // The same colour again does not wipe the box; away from the first position the
    // background is left alone.
    window->picAnimGif->surface().setPixel(3, 3, 0x0000FFu);
    window->DrawThumbnails();
    EXPECT_EQ(pixel(window->picAnimGif, 3, 3), colour(0x0000FFu));
    window->picAnimGif->setBackColor(0x112233u);
    window->VScroll->setValue(1);
    window->DrawThumbnails();
    EXPECT_EQ(window->picAnimGif->surface().BackColor(), 0x112233u);

    // A transparent corner shows the strip's own grey.
    window->VScroll->setValue(0);
    GifBuilder clear(30, 30, palette);
    for (int i = 0; i < 2; ++i) {
        ImageSpec frame = GifBuilder::pattern(30, 30, 8, 5);
        frame.control->transparent = 5;
        clear.image(frame);
    }
    showStrip(clear.build());
    EXPECT_EQ(window->picAnimGif->surface().BackColor(), kStripBack);

    // No table: nothing drawn, nothing enabled, the background kept.
    window->Frames.clear();
    window->EnableSaveButton(false);
    window->ClearFrameLabels();
    window->DrawThumbnails();
    EXPECT_EQ(captions(), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_FALSE(window->picButton[1]->isEnabled());
    EXPECT_TRUE(blank(*window->picMin));
    EXPECT_EQ(window->picAnimGif->surface().BackColor(), kStripBack);
}

class StripStepping : public MainWindowTest {
protected:
    PictureBox* button(int index) const { return window->picUpDown[std::size_t(index)]; }
    bool shown(int index) const { return button(index)->isVisible() && button(index)->isEnabled(); }
    bool gone(int index) const { return !button(index)->isVisible() && !button(index)->isEnabled(); }
    // The run is over when the button opposite the last press is back.
    void waitShown(int index) { ASSERT_EVENTUALLY(shown(index), kLong); }

    // The ring round a button on the window, all of it: its left and right colours, or a
    // mixed pair when the ring is not a plain frame.
    std::pair<QRgb, QRgb> ring(int index) const
    {
        const QImage seen = shot();
        const QRect r = button(index)->geometry().adjusted(-1, -1, 1, 1);
        const QRgb left = seen.pixel(r.left(), r.top() + 3), right = seen.pixel(r.right(), r.top() + 3);
        for (int i = 0; i < r.width(); ++i) {
            const QRgb top = seen.pixel(r.left() + i, r.top()), bottom = seen.pixel(r.left() + i, r.bottom());
            if (top != (i + 1 < r.width() ? left : right) || bottom != right)
                return {0, 0};
        }
        return {left, right};
    }
};

TEST_F(StripStepping, HoldingDownRaisesSinksRunsToTheEndAndLeavesNoRing)
{
    showStrip(solidFrames(9));
    ASSERT_EQ(window->VScroll->maximum(), 5);
    ASSERT_TRUE(shown(0) && !button(1)->isVisible());
    QSignalSpy steps(window->VScroll, &QScrollBar::valueChanged);
    const QRgb light = colour(0x80000014u), dark = colour(0x80000010u), face = colour(0xC0C0C0u);

    move(upDown(0));
    EXPECT_EQ(ring(0), std::make_pair(light, dark));
    EXPECT_EQ(QWidget::mouseGrabber(), button(0));
    press(upDown(0));
    EXPECT_EQ(ring(0), std::make_pair(dark, light));
    // The first step is taken on the press itself; still held, the run ends by itself at the
    // bound and shows the other button.
    EXPECT_EQ(window->VScroll->value(), 1);
    waitShown(1);
    EXPECT_FALSE(window->bAutoRepeat);
    EXPECT_EQ(steps.count(), 5);
    EXPECT_EQ(captions(), (std::vector<std::string>{"6", "7", "8", "9"}));
    EXPECT_EQ(pixel(window->picMin, 50, 30), rgb(colours(9)[5]));

    // The release hides the button, without a ring left where it was, nor the mouse held.
    release(upDown(0));
    EXPECT_TRUE(gone(0));
    EXPECT_EQ(ring(0), std::make_pair(face, face));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(steps.count(), 5);

    // On the up button: a plain move raises it, leaving flattens it in the window's grey.
    move(upDown(1));
    move(upDown(1) + QPoint(1, 0));
    EXPECT_EQ(ring(1), std::make_pair(light, dark));
    move(QPoint(300, 300));
    EXPECT_EQ(ring(1), std::make_pair(face, face));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(StripStepping, EveryClickStepsOneFrameEvenDuringTheStepBefore)
{
    showStrip(solidFrames(5));
    click(upDown(0));
    EXPECT_EQ(window->VScroll->value(), 1);
    // At the end: the down button goes at once, the strip and the up button follow the pass.
    EXPECT_TRUE(gone(0));
    waitShown(1);
    EXPECT_EQ(captions(), (std::vector<std::string>{"2", "3", "4", "5"}));
    EXPECT_EQ(pixel(window->picMin, 50, 82 * 3 + 30), rgb(colours(5)[4]));
    click(upDown(1));
    EXPECT_TRUE(gone(1));
    waitShown(0);
    EXPECT_EQ(captions(), (std::vector<std::string>{"1", "2", "3", "4"}));

    // Quick clicks, each within the 150 ms step of the one before: two move two frames, and
    // three more reach the end, which takes the down button away.
    showStrip(solidFrames(9));
    QSignalSpy steps(window->VScroll, &QScrollBar::valueChanged);
    click(upDown(0));
    click(upDown(0));
    waitShown(1);
    EXPECT_EQ(window->VScroll->value(), 2);
    for (int i = 0; i < 4; ++i)
        click(upDown(0));
    ASSERT_EVENTUALLY(gone(0), kLong);
    EXPECT_EQ(window->VScroll->value(), 5);
    EXPECT_EQ(steps.count(), 5);
    ASSERT_EVENTUALLY(captions()[0] == "6", kLong);

    // Pressed at the bound: no step, but the one pass still ends the run and swaps the buttons.
    button(1)->hide();
    button(0)->show();
    button(0)->setEnabled(true);
    press(upDown(0));
    EXPECT_FALSE(window->bAutoRepeat);
    waitShown(1);
    release(upDown(0));
    EXPECT_EQ(window->VScroll->value(), 5);
    EXPECT_TRUE(gone(0));
}

TEST_F(StripStepping, KeysStepAndJumpAsTheButtonsDoTabVisitsOnlyTheOptions)
{
    showStrip(solidFrames(9));
    const auto state = [&] {
        return std::make_tuple(window->VScroll->value(), shown(0), shown(1), captions()[0]);
    };
    // Each key steps at once and redraws after its pass; a jump overtakes a pass under way.
    const std::pair<int, std::string> keys[] = {{Qt::Key_Down, "2"}, {Qt::Key_PageDown, "3"}, {Qt::Key_End, "6"},
                                                {Qt::Key_Down, "6"}, {Qt::Key_PageUp, "5"}, {Qt::Key_Up, "4"}};
    for (const auto& [k, first] : keys) {
        key(k);
        ASSERT_EVENTUALLY(captions()[0] == first && window->VScroll->value() == std::stoi(first) - 1, kLong) << k;
    }
    key(Qt::Key_PageDown);
    key(Qt::Key_End);
    EXPECT_EQ(state(), std::make_tuple(5, false, true, std::string("6")));
    key(Qt::Key_Home);
    EXPECT_EQ(state(), std::make_tuple(0, true, false, std::string("1")));
    key(Qt::Key_Up);
    key(Qt::Key_PageUp);
    QTest::qWait(200);
    EXPECT_EQ(state(), std::make_tuple(0, true, false, std::string("1")));

    // Tab stays on the chosen format option; the side arrows choose the other, the up and
    // down arrows stay the strip's.
    for (int i = 0; i < 3; ++i) {
        key(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), window->optTipoFiles[0]);
    }
    key(Qt::Key_Right);
    EXPECT_TRUE(window->optTipoFiles[1]->isChecked());
    key(Qt::Key_Down);
    EXPECT_EQ(window->VScroll->value(), 1);
    EXPECT_TRUE(window->optTipoFiles[1]->isChecked());
}

class StripSafety : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        showStrip(solidFrames(9, {1}));
        window->lCurFrame = -1;
        window->bRefit = true;
        window->Timer1->start(10);
    }
    void holdDown()
    {
        move(upDown(0));
        press(upDown(0));
        ASSERT_EVENTUALLY(captions()[0] == "2", kLong);
    }
};

TEST_F(StripSafety, ClosingWhileTheStripIsDrawnOrStepped)
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
    window->StepByKey(0);
    window->DrawThumbnails();
    QTest::qWait(300);
    EXPECT_EQ(window->VScroll->value(), 0);
    EXPECT_FALSE(window->Timer1->isActive());
}

TEST_F(StripSafety, ClosingWhileAButtonIsHeld)
{
    ASSERT_NO_FATAL_FAILURE(holdDown());
    window->close();
    const int value = window->VScroll->value();
    QTest::qWait(600);
    EXPECT_EQ(window->VScroll->value(), value);
    EXPECT_TRUE(window->Frames.empty());
}

TEST_F(StripSafety, DestroyingTheWindowWhileDrawingOrHeld)
{
    QTimer::singleShot(0, [this] { window.reset(); });
    frmSkarvel* drawing = window.get();
    drawing->DrawThumbnails();
    EXPECT_EQ(window, nullptr);

    MainWindowTest::SetUp();
    showStrip(solidFrames(9));
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
    QTimer::singleShot(0, window.get(), [this] { click(upDown(0)); });
    window->DrawThumbnails();
    EXPECT_EQ(window->VScroll->value(), 1);
    ASSERT_EVENTUALLY((captions() == std::vector<std::string>{"2", "3", "4", "5"}), kLong);
    EXPECT_EQ(pixel(window->picMin, 50, 30), rgb(colours(9)[1]));
    ASSERT_EVENTUALLY(ticks > 2, kLong);
}

} // namespace
} // namespace skarvel::test
