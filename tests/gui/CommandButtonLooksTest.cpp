// The command buttons' frame under real mouse events: flat, raised under the pointer, sunken
// while pressed; read back from the ring of pixels around each button on the window.
#include "WindowFixture.h"

#include <QCursor>
#include <QGuiApplication>

#include <map>
#include <set>

namespace skarvel::test {
namespace {

class CommandButtonLooks : public MainWindowTest {
protected:
    QWidget* button(int index) const { return window->picButton[std::size_t(index)]; }
    // The ring round a button: 'F'lat in the colour around it, 'R'aised, 'S'unken, or 'M'ixed.
    char look(int index) const
    {
        const QRgb around = index == 1 ? 0xC0C0C0u : 0xE0E0E0u;
        const std::map<std::pair<QRgb, QRgb>, char> looks{{{0xFFFFFF, 0x808080}, 'R'}, {{0x808080, 0xFFFFFF}, 'S'}, {{around, around}, 'F'}};
        const auto found = looks.find(ring(button(index)));
        return found == looks.end() ? 'M' : found->second;
    }
    QPoint inside(int index, QPoint local = {5, 5}) const { return at(button(index), local); }
    static QPoint outside() { return {300, 300}; } // on the light panel, off every button
    std::string looks() const { return {look(0), look(1), look(2)}; }
    // The look of button `index` after each move.
    std::string afterMoves(int index, std::initializer_list<QPoint> points)
    {
        std::string seen;
        for (QPoint p : points) {
            move(p);
            seen += look(index);
        }
        return seen;
    }
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
    EXPECT_EQ(afterMoves(0, {inside(0, {size.width() - 1, size.height() - 1}), inside(0, {size.width(), size.height()}), inside(0, {size.width() + 1, 3})}), "RRF");

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
    EXPECT_EQ(afterMoves(1, {inside(1, {6, 6}), outside()}), "RF");
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
    dialogs.answers = {QString()};
    release(inside(0));
    EXPECT_EQ(std::make_pair(duringCommand, std::make_pair(look(0), QWidget::mouseGrabber())), std::make_pair(std::make_pair('S', none), std::make_pair('S', button(0))));
    EXPECT_EQ(afterMoves(0, {inside(0, {6, 6})}), "R");

    // Dragged out while pressed it goes flat, back in it sinks again; released it stays sunken.
    // The right button sinks it too, dragged out or released, and only a plain move raises it.
    move(inside(2));
    press(inside(2, {6, 6}));
    std::string seen = afterMoves(2, {outside(), inside(2, {4, 4})});
    release(inside(2, {4, 4}));
    seen += look(2);
    press(inside(2), Qt::RightButton);
    seen += afterMoves(2, {outside()});
    release(outside(), Qt::RightButton);
    seen += look(2);
    EXPECT_EQ(seen + afterMoves(2, {inside(2, {8, 8}), outside()}), "FSSSSRF");
}

// Remembers which of the objects it watches were painted.
struct PaintCounter : QObject {
    std::set<QObject*> painted;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted.insert(watched);
        return false;
    }
};

TEST_F(CommandButtonLooks, InputDuringAnOpenIsDroppedAndTheLooksFollowThePointerAfterIt)
{
    // A file whose split is held after its first frame, under the wait cursor, every box
    // repainted once the dialog closed. During it the pointer clicks the about button and the
    // other format, then presses the open button and leaves it, and the keys and the code ask for
    // commands: nothing of it may act or show once the work is over.
    const QString slow = dir.write(QStringLiteral("lenta.gif"), solidFrames(12, {}, 60, true));
    dialogs.answers = {slow};
    QPoint last = outside();
    bool during = false;
    PaintCounter counter;
    const std::set<QObject*> boxes{window->picAnimGif, window->picMin, button(0), button(1), button(2)};
    for (QObject* box : boxes)
        box->installEventFilter(&counter);
    std::function<void()> letGo = holdWork();
    dialogs.whileDialogOpen = [&] {
        counter.painted.clear();
        QTimer::singleShot(0, window.get(), [&] {
            const auto handled = qScopeGuard(letGo);
            during = QGuiApplication::overrideCursor() != nullptr && counter.painted == boxes;
            click(inside(2));
            click(at(window->optTipoFiles[1], {5, 5}));
            key(Qt::Key_O, Qt::ControlModifier);
            window->picButton_Click(2);
            move(inside(0));
            press(inside(0));
            QCursor::setPos(window->mapToGlobal(last));
            move(last);
        });
    };
    click(inside(0));
    EXPECT_EQ(std::make_tuple(during, dialogs.asked.size(), dialogs.formsShown, window->optTipoFiles[0]->isChecked(), statusText(1), looks(), QWidget::mouseGrabber()),
              std::make_tuple(true, std::size_t(1), 0, true, QStringLiteral("    Frames: 12"), std::string("FFF"), button(0)));
    // Left over a button when the work ends, it finds that button raised, holding the mouse.
    release(outside());
    last = inside(2);
    dialogs.answers = {slow};
    letGo = holdWork();
    click(inside(0));
    EXPECT_EQ(std::make_tuple(dialogs.formsShown, looks(), QWidget::mouseGrabber()), std::make_tuple(0, std::string("FFR"), button(2)));
}

} // namespace
} // namespace skarvel::test
