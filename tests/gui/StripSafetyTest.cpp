// What may happen while the strip is drawn or stepped, when the window yields to other events:
// the window closing or going away, a second press, animation ticks. Nothing may touch an
// erased table or a destroyed window (the sanitizer build checks the latter).
#include "FramesFixture.h"

namespace skarvel::test {
namespace {

constexpr int kLong = 20000;

class StripSafety : public FramesWindowTest {
protected:
    void loadPlaying(int frames)
    {
        load(solidFrames(frames, 20, 20, 1));
        showStrip();
        startAnimation();
    }
};

TEST_F(StripSafety, ClosingInTheMiddleOfADrawingEndsIt)
{
    loadPlaying(9);
    window->ClearFrameLabels();
    window->EnableSaveButton(false);
    QTimer::singleShot(0, window.get(), [this] { window->close(); });
    window->DrawThumbnails();
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(window->Frames.empty());
    EXPECT_EQ(captions(), (std::vector<std::string>{"1", "", "", ""}));
    EXPECT_FALSE(window->picButton[1]->isEnabled());
    EXPECT_FALSE(window->Timer1->isActive());
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
    loadPlaying(9);
    QTimer::singleShot(0, [this] { window.reset(); });
    frmSkarvel* drawing = window.get();
    drawing->DrawThumbnails();
    EXPECT_EQ(window, nullptr);
}

TEST_F(StripSafety, ClosingWhileAButtonIsHeld)
{
    loadPlaying(9);
    move(upDown(0));
    press(upDown(0));
    QTRY_VERIFY_WITH_TIMEOUT(captions()[0] == "2", kLong);
    window->close();
    const int value = window->VScroll->value();
    // Several passes' worth of time: none of them runs on the closed window.
    QTest::qWait(600);
    EXPECT_EQ(window->VScroll->value(), value);
    window->picUpDown_MouseUp(0, 1, 0, 5, 5);
    window->picUpDown_MouseDown(0, 1, 0, 5, 5);
    QTest::qWait(300);
    EXPECT_EQ(window->VScroll->value(), value);
    EXPECT_TRUE(window->Frames.empty());
}

TEST_F(StripSafety, DestroyingTheWindowWhileAButtonIsHeld)
{
    loadPlaying(9);
    move(upDown(0));
    press(upDown(0));
    QTRY_VERIFY_WITH_TIMEOUT(captions()[0] == "2", kLong);
    window.reset();
    QTest::qWait(600);
    SUCCEED();
}

TEST_F(StripSafety, SecondPressAndTicksDuringADrawing)
{
    // The animation ticks every 10 ms all along; a click on the down button arrives while
    // the strip is being drawn. The strip ends at the stepped position.
    loadPlaying(5);
    int ticks = 0;
    QObject::connect(window->Timer1, &QTimer::timeout, window.get(), [&] { ++ticks; });
    QTimer::singleShot(0, window.get(), [this] {
        move(upDown(0));
        press(upDown(0));
        release(upDown(0));
    });
    window->DrawThumbnails();
    EXPECT_EQ(window->VScroll->value(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(window->picUpDown[1]->isVisible(), kLong);
    EXPECT_EQ(captions(), (std::vector<std::string>{"2", "3", "4", "5"}));
    EXPECT_EQ(pixel(window->picMin, 50, 30), rgb(colours(5)[1]));
    EXPECT_FALSE(window->picUpDown[0]->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(ticks > 2, kLong);
}

} // namespace
} // namespace skarvel::test
