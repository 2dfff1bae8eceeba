// The thumbnail strip, read back from its pixels: where each frame lands in its slot, the numbers,
// the animation's background; stepping with the up/down buttons and the keys under real input
// events and timers; and what may happen while it is drawn or stepped, when the window yields to
// other events (the sanitizer build checks that a destroyed window is never touched).
#include "WindowFixture.h"

#include <QApplication>
#include <QSignalSpy>

namespace skarvel::test {
namespace {

using ThumbnailStrip = MainWindowTest;

TEST_F(ThumbnailStrip, EachFrameIsFittedAndCentredInItsSlotWithAnEtchedEdge)
{
    // Slot k's box is 71 x 71 pixels at (18, 82 k); its etched edge takes two pixels inside.
    // 200 x 100: 1065 x 532 twips at dy 266; 50 x 200, too tall only: 266 x 1065 at dx 400; 71 x 71 not
    // shrunk; 40 x 30 at its natural size, dx 232 and dy 308.
    const std::vector<Rgb> palette = colours(8);
    ASSERT_NO_FATAL_FAILURE(showStrip(GifBuilder(200, 200, palette).image(GifBuilder::solid(200, 100, 0)).image(GifBuilder::solid(50, 200, 1))
                                          .image(GifBuilder::pattern(71, 71, 8)).image(GifBuilder::solid(40, 30, 3)).build()));
    const QImage frame2 = window->Frames.FramePicture(2).image();
    const QRect places[] = {QRect(QPoint(18, 18), QPoint(88, 52)), QRect(QPoint(45, 82), QPoint(62, 152)),
                            QRect(18, 164, 71, 71), QRect(QPoint(33, 267), QPoint(72, 296))};
    const QRgb back = colour(0xC0C0C0u), shadow = colour(0x80000010u), light = colour(0x80000014u);
    // The etched edge: shadow outside top and left, highlight one pixel in; the other way
    // round at the bottom and right.
    const auto edge = [&](int x, int in) {
        return x == 88 || in == 70 ? light : x == 18 || in == 0 ? shadow : x == 87 || in == 69 ? shadow : light;
    };
    for (int y = 0; y < 321; ++y)
        for (int x = 0; x < 105; ++x) {
            const int k = y / 82, in = y % 82;
            QRgb expected = places[k].contains(x, y) ? (k == 2 ? frame2.pixel(x - 18, y - 164) | 0xFF000000u : rgb(palette[k])) : back;
            if (x >= 18 && x <= 88 && in <= 70 && (x <= 19 || x >= 87 || in <= 1 || in >= 69))
                expected = edge(x, in);
            ASSERT_TRUE(near(pixel(window->picMin, x, y), expected)) << x << "," << y;
        }
    EXPECT_EQ(captions(), (std::vector<std::string>{"1", "2", "3", "4"}));
}

TEST_F(ThumbnailStrip, NumbersUpTo99999AreReadableAndStayOffTheThumbnailsAndEachOther)
{
    // What label k paints with `caption`: where the strip differs from the strip with the label
    // empty, and of that the dark ink of its digits.
    const auto painted = [&](std::size_t k, const QString& caption) {
        std::pair<QRect, QRect> allAndInk;
        window->lblNFrame[k]->setCaption(QString());
        const QImage before = window->picMin->grab().toImage();
        window->lblNFrame[k]->setCaption(caption);
        const QImage after = window->picMin->grab().toImage();
        for (int p = 0; p < after.width() * after.height(); ++p)
            if (const QRgb c = after.pixel(p % after.width(), p / after.width()); c != before.pixel(p % after.width(), p / after.width())) {
                allAndInk.first |= QRect(p % after.width(), p / after.width(), 1, 1);
                allAndInk.second |= qGray(c) < 96 ? QRect(p % after.width(), p / after.width(), 1, 1) : QRect();
            }
        return allAndInk;
    };
    // A file of 5 frames lies across its labels; one of 100 turns them all, "1" too.
    ASSERT_NO_FATAL_FAILURE(showStrip(solidFrames(5, {}, 8)));
    const QRect five = painted(1, QStringLiteral("5")).second;
    EXPECT_TRUE(!window->lblNFrame[1]->Turned && five.height() >= 7 && five.width() < five.height()) << five.width() << " x " << five.height();
    ASSERT_NO_FATAL_FAILURE(showStrip(solidFrames(100, {}, 8)));
    EXPECT_TRUE(window->lblNFrame[0]->Turned && window->lblNFrame[3]->Turned);

    // The widest numbers: digits at least 7 pixels high (across the line, which runs upwards),
    // nothing on the thumbnail's edge (x 18) or the pixel before it, nor beyond the slot's
    // height, where the numbers above and below stand.
    window->GiveLabelsRoom(QStringLiteral("99999"));
    for (const char* caption : {"100", "1997", "88888", "99999"})
        for (std::size_t k = 0; k < 4; ++k) {
            const auto [all, ink] = painted(k, QString::fromLatin1(caption));
            const int length = QFontMetrics(window->lblNFrame[k]->Font).horizontalAdvance(QString::fromLatin1(caption));
            EXPECT_TRUE(ink.width() >= 7 && ink.height() >= length - 3 && all.right() <= 16 && all.top() >= 82 * int(k) && all.bottom() <= 82 * int(k) + 70)
                << caption << " in slot " << k << ": ink " << ink.width() << " x " << ink.height() << ", from " << all.topLeft().x() << ","
                << all.top() << " to " << all.right() << "," << all.bottom();
        }
}

TEST_F(ThumbnailStrip, AnimationBackgroundIsFrameZerosOwnCornerColour)
{
    // Frame 0 is shrunk into its slot, which blends its colours; the background is still
    // exactly the colour of its top-left pixel; the same colour again does not wipe the box.
    const std::vector<Rgb> palette = colours(8);
    GifBuilder gif(300, 300, palette);
    for (int i = 0; i < 5; ++i)
        gif.image(GifBuilder::pattern(300, 300, 8, 5 + i));
    ASSERT_NO_FATAL_FAILURE(showStrip(gif.build()));
    EXPECT_EQ(window->picAnimGif->surface().BackColor(), ToOleColor(QColor(rgb(palette[5]))));
    window->picAnimGif->surface().setPixel(3, 3, 0x0000FFu);
    window->DrawThumbnails();
    EXPECT_EQ(pixel(window->picAnimGif, 3, 3), colour(0x0000FFu));
    // Away from the first position the background is left alone.
    window->picAnimGif->setBackColor(0x112233u);
    window->VScroll->setValue(1);
    window->DrawThumbnails();
    EXPECT_EQ(window->picAnimGif->surface().BackColor(), 0x112233u);
    // A transparent corner shows the strip's own grey.
    window->VScroll->setValue(0);
    ImageSpec clear = GifBuilder::pattern(30, 30, 8, 5);
    clear.control->transparent = 5;
    ASSERT_NO_FATAL_FAILURE(showStrip(GifBuilder(30, 30, palette).image(clear).image(clear).build()));
    EXPECT_EQ(window->picAnimGif->surface().BackColor(), 0xC0C0C0u);
}

class StripStepping : public MainWindowTest {
protected:
    PictureBox* button(int index) const { return window->picUpDown[std::size_t(index)]; }
    bool shown(int index) const { return button(index)->isVisible() && button(index)->isEnabled(); }
    bool gone(int index) const { return !button(index)->isVisible() && !button(index)->isEnabled(); }
    // The run is over when the button opposite the last press is back.
    void waitShown(int index) { ASSERT_EVENTUALLY(shown(index), kLong); }
};

TEST_F(StripStepping, HoldingDownRaisesSinksRunsToTheEndAndLeavesNoRing)
{
    ASSERT_NO_FATAL_FAILURE(showStrip(solidFrames(9)));
    QSignalSpy steps(window->VScroll, &QScrollBar::valueChanged);
    const QRgb light = 0xFFFFFF, dark = 0x808080, face = 0xC0C0C0;
    move(upDown(0));
    EXPECT_EQ(std::make_pair(ring(button(0)), QWidget::mouseGrabber()), std::make_pair(std::make_pair(light, dark), static_cast<QWidget*>(button(0))));
    press(upDown(0));
    // The first step is taken on the press itself; still held, the run ends by itself at the
    // bound and shows the other button.
    EXPECT_EQ(std::make_pair(ring(button(0)), window->VScroll->value()), std::make_pair(std::make_pair(dark, light), 1));
    waitShown(1);
    EXPECT_EQ(std::make_tuple(window->bAutoRepeat, int(steps.count()), captions()[0], pixel(window->picMin, 50, 30)),
              std::make_tuple(false, 5, std::string("6"), rgb(colours(9)[5])));
    // The release hides the button, without a ring left where it was, nor the mouse held.
    release(upDown(0));
    EXPECT_EQ(std::make_tuple(gone(0), ring(button(0)), QWidget::mouseGrabber(), int(steps.count())), std::make_tuple(true, std::make_pair(face, face), none, 5));
    // On the up button: a plain move raises it, its left column still inside; leaving
    // flattens it in the window's grey.
    move(upDown(1));
    move(at(button(1), {0, 7}));
    EXPECT_EQ(ring(button(1)), std::make_pair(light, dark));
    move(QPoint(300, 300));
    EXPECT_EQ(std::make_pair(ring(button(1)), QWidget::mouseGrabber()), std::make_pair(std::make_pair(face, face), none));
}

TEST_F(StripStepping, EveryClickStepsOneFrameEvenDuringTheStepBefore)
{
    // At the end the down button goes at once; the strip and the up button follow the pass.
    ASSERT_NO_FATAL_FAILURE(showStrip(solidFrames(5)));
    click(upDown(0));
    EXPECT_EQ(std::make_pair(window->VScroll->value(), gone(0)), std::make_pair(1, true));
    waitShown(1);
    EXPECT_EQ(std::make_pair(captions(), pixel(window->picMin, 50, 82 * 3 + 30)), std::make_pair(std::vector<std::string>{"2", "3", "4", "5"}, rgb(colours(5)[4])));
    click(upDown(1));
    EXPECT_TRUE(gone(1));
    waitShown(0);
    EXPECT_EQ(captions()[0], "1");

    // Quick clicks, each within the 150 ms step of the one before: two move two frames, and
    // four more stop at the end, which takes the down button away.
    ASSERT_NO_FATAL_FAILURE(showStrip(solidFrames(9)));
    QSignalSpy steps(window->VScroll, &QScrollBar::valueChanged);
    click(upDown(0));
    click(upDown(0));
    waitShown(1);
    EXPECT_EQ(window->VScroll->value(), 2);
    for (int i = 0; i < 4; ++i)
        click(upDown(0));
    ASSERT_EVENTUALLY(gone(0) && captions()[0] == "6", kLong);
    EXPECT_EQ(std::make_pair(window->VScroll->value(), int(steps.count())), std::make_pair(5, 5));
}

TEST_F(StripStepping, KeysStepAndJumpAsTheButtonsDoAndTabStaysOnTheOptions)
{
    ASSERT_NO_FATAL_FAILURE(showStrip(solidFrames(9)));
    // Each key steps at once and redraws after its pass; a jump overtakes a pass under way.
    const std::pair<int, std::string> keys[] = {{Qt::Key_Down, "2"},   {Qt::Key_PageDown, "3"}, {Qt::Key_End, "6"}, {Qt::Key_Down, "6"},
                                                {Qt::Key_PageUp, "5"}, {Qt::Key_Up, "4"},       {Qt::Key_Home, "1"}, {Qt::Key_Up, "1"}};
    for (const auto& [k, first] : keys) {
        key(k);
        ASSERT_EVENTUALLY(captions()[0] == first && window->VScroll->value() == std::stoi(first) - 1, kLong) << k;
    }
    const auto buttons = [&] { return std::make_tuple(window->VScroll->value(), shown(0), shown(1)); };
    key(Qt::Key_PageDown);
    key(Qt::Key_End);
    EXPECT_EQ(buttons(), std::make_tuple(5, false, true));
    key(Qt::Key_Home);
    key(Qt::Key_PageUp);
    EXPECT_EQ(buttons(), std::make_tuple(0, true, false));
    // A held key repeats within a step: the strip takes one more step, not one per repeat. The
    // repeats go to the widget, which runs no event loop between them: all land within the step
    // however slow the machine.
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(window.get(), Qt::Key_Down);
    waitShown(1);
    EXPECT_EQ(window->VScroll->value(), 2);

    // Tab stays on the chosen format option; the side arrows choose the other, the up and
    // down arrows stay the strip's.
    for (int i = 0; i < 3; ++i) {
        key(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), window->optTipoFiles[0]) << i;
    }
    key(Qt::Key_Right);
    key(Qt::Key_Down);
    EXPECT_EQ(std::make_pair(window->optTipoFiles[1]->isChecked(), window->VScroll->value()), std::make_pair(true, 3));
}

TEST_F(MainWindowTest, ClosingOrDestroyingTheWindowWhileTheStripIsDrawnOrHeld)
{
    // The window closes from inside a drawing of the strip, the animation running and a button
    // holding the mouse: it unloads, lets go and ends, once; a late step reads no table.
    QPointer<StatusBarWindow> bar = window->sbMain->hWnd();
    ASSERT_NO_FATAL_FAILURE(showStrip(solidFrames(9, {1})));
    move(window->picButton[0]->geometry().center());
    ASSERT_EQ(QWidget::mouseGrabber(), window->picButton[0]);
    window->Timer1->start();
    QTimer::singleShot(0, window.get(), [this] { window->close(); });
    window->DrawThumbnails();
    window->StepByKey(0);
    EXPECT_EQ(std::make_tuple(ends, window->Frames.empty(), window->VScroll->value(), QWidget::mouseGrabber(), window->Timer1->isActive()),
              std::make_tuple(1, true, 0, none, false));
    EXPECT_FALSE(bar || window->picBarra[0] || window->sbMain.exists() || window->objTriDim.exists());
    window.reset();
    EXPECT_EQ(ends, 1);

    // Closed or destroyed while the down button is held: the run stops (the sanitizer build
    // catches any pass that runs on the destroyed window).
    for (bool destroy : {false, true}) {
        MainWindowTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(showStrip(solidFrames(9)));
        press(upDown(0));
        ASSERT_EVENTUALLY(captions()[0] == "2", kLong);
        const int value = window->VScroll->value();
        destroy ? window.reset() : void(window->close());
        QTest::qWait(600);
        EXPECT_TRUE(destroy || window->VScroll->value() == value);
    }
    MainWindowTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(showStrip(solidFrames(9)));
    QTimer::singleShot(0, [this] { window.reset(); });
    window.get()->DrawThumbnails();
    EXPECT_EQ(window, nullptr);
}

} // namespace
} // namespace skarvel::test
