// The command buttons' frame under real mouse events: flat, raised under the pointer, sunken
// while pressed; read back from the ring of pixels around each button on the window.
#include "WindowFixture.h"

namespace skarvel::test {
namespace {

enum class Look { Flat, Raised, Sunken, Mixed };

std::ostream& operator<<(std::ostream& out, Look look)
{
    return out << (const char*[]){"Flat", "Raised", "Sunken", "Mixed"}[int(look)];
}

class CommandButtonLooks : public MainWindowTest {
protected:
    PictureBox* button(int index) const { return window->picButton[std::size_t(index)]; }

    // The ring touching the button: its top row and left column without their far ends, and
    // the rest (right column, bottom row and those two far ends), as seen on the window.
    Look look(int index) const
    {
        const QImage seen = window->grab().toImage();
        const QRect r = button(index)->geometry().adjusted(-1, -1, 1, 1);
        std::vector<QRgb> topLeft, bottomRight;
        for (int x = r.left(); x < r.right(); ++x) {
            topLeft.push_back(seen.pixel(x, r.top()) & 0xFFFFFFu);
            bottomRight.push_back(seen.pixel(x, r.bottom()) & 0xFFFFFFu);
        }
        for (int y = r.top(); y <= r.bottom(); ++y) {
            if (y > r.top() && y < r.bottom())
                topLeft.push_back(seen.pixel(r.left(), y) & 0xFFFFFFu);
            bottomRight.push_back(seen.pixel(r.right(), y) & 0xFFFFFFu);
        }
        auto all = [](const std::vector<QRgb>& pixels, QRgb c) {
            return std::all_of(pixels.begin(), pixels.end(), [c](QRgb p) { return p == (c & 0xFFFFFFu); });
        };
        const QRgb dark = colour(0x80000010u), light = colour(0x80000014u);
        const QRgb erase = colour(index == 1 ? 0xC0C0C0u : 0xE0E0E0u);
        if (all(topLeft, erase) && all(bottomRight, erase))
            return Look::Flat;
        if (all(topLeft, light) && all(bottomRight, dark))
            return Look::Raised;
        if (all(topLeft, dark) && all(bottomRight, light))
            return Look::Sunken;
        return Look::Mixed;
    }

    QPoint inside(int index, QPoint local = {5, 5}) const { return at(button(index), local); }
    static QPoint outside() { return {300, 300}; } // on the light panel, off every button
};

TEST_F(CommandButtonLooks, HoverRaisesLeavingFlattensAndTheCaptureMovesOn)
{
    ASSERT_NE(colour(0x80000010u), colour(0x80000014u));
    for (int index : {0, 2}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(look(index), Look::Flat);
        move(inside(index));
        EXPECT_EQ(look(index), Look::Raised);
        EXPECT_TRUE(window->bHover);
        EXPECT_EQ(QWidget::mouseGrabber(), button(index));
        move(outside());
        EXPECT_EQ(look(index), Look::Flat);
        EXPECT_FALSE(window->bHover);
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    }

    // The last column and row are inside; holding the capture, so are the column and row just
    // past the box; one more pixel is not.
    const QSize size = button(0)->size();
    move(inside(0, {size.width() - 1, size.height() - 1}));
    EXPECT_EQ(look(0), Look::Raised);
    move(inside(0, {size.width(), size.height()}));
    EXPECT_EQ(look(0), Look::Raised);
    move(inside(0, {size.width() + 1, 3}));
    EXPECT_EQ(look(0), Look::Flat);

    // From button 0 straight onto button 2: 0 sees the move outside and lets go ...
    move(inside(0));
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

    // The disabled save button ignores the mouse until enabled.
    move(inside(1));
    press(inside(1));
    release(inside(1));
    EXPECT_EQ(look(1), Look::Flat);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    window->EnableSaveButton(true);
    move(inside(1, {6, 6}));
    EXPECT_EQ(look(1), Look::Raised);
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
    // Back from the command, it holds the mouse again until the next move raises it.
    EXPECT_EQ(look(0), Look::Sunken);
    EXPECT_EQ(QWidget::mouseGrabber(), button(0));
    move(inside(0, {6, 6}));
    EXPECT_EQ(look(0), Look::Raised);

    // Dragged out while pressed it goes flat, back in it sinks again.
    move(inside(2));
    move(inside(2, {6, 6}));
    press(inside(2, {6, 6}));
    move(outside());
    EXPECT_EQ(look(2), Look::Flat);
    move(inside(2, {4, 4}));
    EXPECT_EQ(look(2), Look::Sunken);
    release(inside(2, {4, 4}));
    EXPECT_EQ(look(2), Look::Sunken);
    move(outside());
    EXPECT_EQ(look(2), Look::Flat);
}

TEST_F(CommandButtonLooks, RightButtonSinksAndStaysSunkenUntilAPlainMove)
{
    move(inside(0));
    press(inside(0), Qt::RightButton);
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

} // namespace
} // namespace skarvel::test
