// The command buttons' frame under real mouse events: flat, raised under the pointer, sunken
// while pressed; read back from the ring of pixels around each button on the window.
#include "WindowFixture.h"

#include "platform/Colors.h"
#include "platform/PictureBox.h"
#include "support/FakeModal.h"

#include <QWidget>

namespace skarvel::test {
namespace {

enum class Look { Flat, Raised, Sunken, Mixed };

std::ostream& operator<<(std::ostream& out, Look look)
{
    const char* names[] = {"Flat", "Raised", "Sunken", "Mixed"};
    return out << names[int(look)];
}

class CommandButtonLooks : public MainWindowTest {
protected:
    PictureBox* button(int index) const { return window->picButton[std::size_t(index)]; }

    // The ring touching the button on all four sides, as seen on the window: its top row and
    // left column without their far ends, and the rest (right column, bottom row, and those
    // two far-end pixels).
    Look look(int index) const
    {
        const QImage seen = window->grab().toImage();
        const QRect box = button(index)->geometry();
        const int x1 = box.left() - 1, x2 = box.right() + 1;
        const int y1 = box.top() - 1, y2 = box.bottom() + 1;
        std::vector<QRgb> topLeft, bottomRight;
        for (int x = x1; x < x2; ++x)
            topLeft.push_back(seen.pixel(x, y1));
        for (int y = y1 + 1; y < y2; ++y)
            topLeft.push_back(seen.pixel(x1, y));
        for (int y = y1; y <= y2; ++y)
            bottomRight.push_back(seen.pixel(x2, y));
        for (int x = x1; x < x2; ++x)
            bottomRight.push_back(seen.pixel(x, y2));

        const QRgb dark = TranslateColor(0x80000010u).rgb();
        const QRgb light = TranslateColor(0x80000014u).rgb();
        const QRgb erase = TranslateColor(index == 1 ? 0xC0C0C0u : 0xE0E0E0u).rgb();
        auto all = [](const std::vector<QRgb>& pixels, QRgb colour) {
            return std::all_of(pixels.begin(), pixels.end(),
                               [colour](QRgb p) { return (p & 0xFFFFFFu) == (colour & 0xFFFFFFu); });
        };
        if (all(topLeft, erase) && all(bottomRight, erase))
            return Look::Flat;
        if (all(topLeft, light) && all(bottomRight, dark))
            return Look::Raised;
        if (all(topLeft, dark) && all(bottomRight, light))
            return Look::Sunken;
        return Look::Mixed;
    }

    QPoint inside(int index, QPoint local = {5, 5}) const { return at(button(index), local); }
    QPoint outside() const { return QPoint(300, 300); } // on the light panel, off every button

    // A left click runs the button's command; its dialogs are answered as cancelled.
    FakeModal dialogs;
};

TEST_F(CommandButtonLooks, HoverRaisesAndLeavingFlattens)
{
    ASSERT_NE(TranslateColor(0x80000010u), TranslateColor(0x80000014u));
    for (int index : {0, 2}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(look(index), Look::Flat);
        move(inside(index));
        EXPECT_EQ(look(index), Look::Raised);
        EXPECT_TRUE(window->bHover);
        EXPECT_EQ(QWidget::mouseGrabber(), button(index));
        // A second move inside changes nothing.
        move(inside(index, {10, 8}));
        EXPECT_EQ(look(index), Look::Raised);
        move(outside());
        EXPECT_EQ(look(index), Look::Flat);
        EXPECT_FALSE(window->bHover);
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    }
}

TEST_F(CommandButtonLooks, LastColumnAndRowCountAsInside)
{
    const QSize size = button(0)->size();
    move(inside(0, {size.width() - 1, size.height() - 1}));
    EXPECT_EQ(look(0), Look::Raised);
    // The button holds the capture, so it sees moves beyond its box. X = Width (the column
    // just right of the box, 900 twips) still counts as inside; one more pixel does not.
    move(inside(0, {size.width(), size.height()}));
    EXPECT_EQ(look(0), Look::Raised);
    EXPECT_TRUE(window->bHover);
    move(inside(0, {size.width() + 1, 3}));
    EXPECT_EQ(look(0), Look::Flat);
    // Called directly: exactly Width and Height in twips are still inside.
    window->picbutton_MouseMove(0, 0, 0, float(button(0)->Width()), float(button(0)->Height()));
    EXPECT_EQ(look(0), Look::Raised);
    window->picbutton_MouseMove(0, 0, 0, float(button(0)->Width() + 1), 0);
    EXPECT_EQ(look(0), Look::Flat);
}

TEST_F(CommandButtonLooks, LeftClickSinksAndKeepsTheCaptureUntilTheNextMove)
{
    move(inside(0));
    press(inside(0));
    EXPECT_EQ(look(0), Look::Sunken);
    EXPECT_FALSE(window->bHover);
    // The open command runs on the release, sunken, but without the capture: that would take
    // the clicks from its dialog.
    Look duringCommand = Look::Mixed;
    QWidget* grabberDuringCommand = button(0);
    dialogs.whileDialogOpen = [&] {
        duringCommand = look(0);
        grabberDuringCommand = QWidget::mouseGrabber();
    };
    dialogs.openAnswers = {QString()};
    release(inside(0));
    EXPECT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(duringCommand, Look::Sunken);
    EXPECT_EQ(grabberDuringCommand, nullptr);
    // Back from the command, it holds the mouse again until the next move.
    EXPECT_EQ(look(0), Look::Sunken);
    EXPECT_EQ(QWidget::mouseGrabber(), button(0));
    EXPECT_FALSE(window->bHover);
    // The next move with no button down raises it again.
    move(inside(0, {6, 6}));
    EXPECT_EQ(look(0), Look::Raised);
    move(outside());
    EXPECT_EQ(look(0), Look::Flat);
}

TEST_F(CommandButtonLooks, DraggingOutAndBackIn)
{
    move(inside(2));
    press(inside(2));
    move(outside());
    EXPECT_EQ(look(2), Look::Flat);
    EXPECT_FALSE(window->bHover);
    move(inside(2, {4, 4}));
    EXPECT_EQ(look(2), Look::Sunken);
    release(inside(2, {4, 4}));
    EXPECT_EQ(look(2), Look::Sunken);
    move(outside());
    EXPECT_EQ(look(2), Look::Flat);
}

TEST_F(CommandButtonLooks, FromOpenStraightOntoAbout)
{
    move(inside(0));
    ASSERT_EQ(look(0), Look::Raised);
    // Button 0 holds the capture: it sees this move outside its box and lets go ...
    move(inside(2));
    EXPECT_EQ(look(0), Look::Flat);
    EXPECT_EQ(look(2), Look::Flat);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    // ... so the next move reaches button 2.
    move(inside(2, {6, 6}));
    EXPECT_EQ(look(2), Look::Raised);
    EXPECT_EQ(look(0), Look::Flat);
    EXPECT_EQ(QWidget::mouseGrabber(), button(2));
    move(outside());
}

TEST_F(CommandButtonLooks, RightButtonSinksAndStaysSunkenUntilAPlainMove)
{
    move(inside(0));
    press(inside(0), Qt::RightButton);
    EXPECT_EQ(look(0), Look::Sunken);
    move(inside(0, {7, 7}));
    EXPECT_EQ(look(0), Look::Sunken);
    move(outside());
    EXPECT_EQ(look(0), Look::Sunken);
    release(outside(), Qt::RightButton);
    EXPECT_EQ(look(0), Look::Sunken);
    move(inside(0, {8, 8}));
    EXPECT_EQ(look(0), Look::Raised);
    move(outside());
    EXPECT_EQ(look(0), Look::Flat);
}

TEST_F(CommandButtonLooks, DisabledSaveButtonIgnoresTheMouse)
{
    ASSERT_FALSE(button(1)->isEnabled());
    move(inside(1));
    press(inside(1));
    release(inside(1));
    EXPECT_EQ(look(1), Look::Flat);
    EXPECT_FALSE(window->bHover);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    window->EnableSaveButton(true);
    move(inside(1, {6, 6}));
    EXPECT_EQ(look(1), Look::Raised);
    move(outside());
    EXPECT_EQ(look(1), Look::Flat);
}

} // namespace
} // namespace skarvel::test
