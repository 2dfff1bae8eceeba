// The command buttons' frame under real mouse events: flat, raised under the pointer, sunken
// while pressed; read back from the ring of pixels around each button on the window.
#include "WindowFixture.h"

#include <map>

namespace skarvel::test {
namespace {

class CommandButtonLooks : public MainWindowTest {
protected:
    QWidget* button(int index) const { return window->picButton[std::size_t(index)]; }
    // The ring round a button: 'F'lat in the colour around it, 'R'aised, 'S'unken, or 'M'ixed.
    char look(int index) const
    {
        const std::map<std::pair<QRgb, QRgb>, char> looks{
            {{0xFFFFFF, 0x808080}, 'R'}, {{0x808080, 0xFFFFFF}, 'S'}, {{index == 1 ? 0xC0C0C0u : 0xE0E0E0u, index == 1 ? 0xC0C0C0u : 0xE0E0E0u}, 'F'}};
        const auto found = looks.find(ring(button(index)));
        return found == looks.end() ? 'M' : found->second;
    }
    QPoint inside(int index, QPoint local = {5, 5}) const { return at(button(index), local); }
    static QPoint outside() { return {300, 300}; } // on the light panel, off every button
    std::string looks() const { return {look(0), look(1), look(2)}; }
};

TEST_F(CommandButtonLooks, HoverRaisesLeavingFlattensAndTheCaptureMovesOn)
{
    for (int index : {0, 2}) {
        move(inside(index));
        EXPECT_EQ(std::make_tuple(look(index), window->bHover, QWidget::mouseGrabber()), std::make_tuple('R', true, button(index)));
        move(outside());
        EXPECT_EQ(std::make_tuple(look(index), window->bHover, QWidget::mouseGrabber()), std::make_tuple('F', false, none));
    }
    // The last column and row are inside; holding the capture, so are the column and row just
    // past the box; one more pixel is not.
    const QSize size = button(0)->size();
    std::string seen;
    for (QPoint p : {QPoint(size.width() - 1, size.height() - 1), QPoint(size.width(), size.height()), QPoint(size.width() + 1, 3)}) {
        move(inside(0, p));
        seen += look(0);
    }
    EXPECT_EQ(seen, "RRF");

    // From button 0 straight onto button 2: 0 sees the move outside and lets go, so the next
    // move reaches button 2.
    move(inside(0));
    move(inside(2));
    EXPECT_EQ(std::make_pair(looks(), QWidget::mouseGrabber()), std::make_pair(std::string("FFF"), none));
    move(inside(2, {6, 6}));
    EXPECT_EQ(std::make_pair(looks(), QWidget::mouseGrabber()), std::make_pair(std::string("FFR"), button(2)));
    move(outside());

    // The disabled save button ignores the mouse until enabled.
    click(inside(1));
    EXPECT_EQ(std::make_pair(look(1), QWidget::mouseGrabber()), std::make_pair('F', none));
    window->EnableSaveButton(true);
    std::string save;
    for (QPoint p : {inside(1, {6, 6}), outside()}) {
        move(p);
        save += look(1);
    }
    EXPECT_EQ(save, "RF");
}

TEST_F(CommandButtonLooks, PressSinksAndKeepsTheCaptureUntilTheNextMove)
{
    move(inside(0));
    press(inside(0));
    EXPECT_EQ(std::make_pair(look(0), window->bHover), std::make_pair('S', false));
    // The open command runs on the release, sunken, but without the capture: that would take
    // the clicks from its dialog. Back from it, the button holds the mouse again.
    std::pair<char, QWidget*> duringCommand{'M', button(0)};
    dialogs.whileDialogOpen = [&] { duringCommand = {look(0), QWidget::mouseGrabber()}; };
    dialogs.openAnswers = {QString()};
    release(inside(0));
    EXPECT_EQ(duringCommand, std::make_pair('S', none));
    EXPECT_EQ(std::make_pair(look(0), QWidget::mouseGrabber()), std::make_pair('S', button(0)));
    move(inside(0, {6, 6}));
    EXPECT_EQ(look(0), 'R');

    // Dragged out while pressed it goes flat, back in it sinks again; released it stays sunken.
    // The right button sinks too, and only a plain move raises it again.
    std::string seen;
    move(inside(2));
    press(inside(2, {6, 6}));
    for (QPoint p : {outside(), inside(2, {4, 4})}) {
        move(p);
        seen += look(2);
    }
    release(inside(2, {4, 4}));
    seen += look(2);
    press(inside(2), Qt::RightButton);
    move(outside());
    release(outside(), Qt::RightButton);
    seen += look(2);
    for (QPoint p : {inside(2, {8, 8}), outside()}) {
        move(p);
        seen += look(2);
    }
    EXPECT_EQ(seen, "FSSSRF");
}

} // namespace
} // namespace skarvel::test
