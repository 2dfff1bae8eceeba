// The keyboard: every command of the window has its keys, made in one place (createActions),
// and what can be used at a time is said in one place (updateActions). The drawn buttons keep
// their looks; a key does what a click on its button does.
#include "viewer/frmSkarvel.h"

#include "runtime/PictureBox.h"

#include <QAction>
#include <QScrollBar>

namespace skarvel {

void frmSkarvel::createActions()
{
    const auto add = [this](const QList<QKeySequence>& keys, std::function<void()> run) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, std::move(run));
        addAction(action);
        return action;
    };
    add({QKeySequence(Qt::CTRL | Qt::Key_O)}, [this] { picButton_Click(0); });
    m_saveAction = add({QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { picButton_Click(1); });
    add({QKeySequence(Qt::Key_F1)}, [this] { picButton_Click(2); });
    // The strip's keys stay taken even where they cannot step: the arrows would otherwise
    // reach the format options and change them.
    add({QKeySequence(Qt::Key_PageDown), QKeySequence(Qt::Key_Down)}, [this] { StepByKey(0); });
    add({QKeySequence(Qt::Key_PageUp), QKeySequence(Qt::Key_Up)}, [this] { StepByKey(1); });
    add({QKeySequence(Qt::Key_End)}, [this] { JumpStrip(true); });
    add({QKeySequence(Qt::Key_Home)}, [this] { JumpStrip(false); });
    updateActions();
}

void frmSkarvel::updateActions()
{
    if (m_saveAction)
        m_saveAction->setEnabled(picButton[1]->isEnabled());
}

void frmSkarvel::StepByKey(std::int16_t Index)
{
    // As a click: nothing for a button that is not there to be clicked.
    const PictureBox& button = *picUpDown[std::size_t(Index)];
    if (m_unloaded || m_buttonHeld || !button.isVisible() || !button.isEnabled())
        return;
    // A held key repeats faster than the strip steps: one step waiting is enough, or the
    // strip would go on long after the key is let go.
    if (m_stepPassOpen && m_stepsOwed > 0)
        return;
    bAutoRepeat = true;
    m_stepPresses.push_back(Index);
    ScrollThumbnails(Index == 0);
    // Pressed and released at once.
    bAutoRepeat = false;
    hidePastBound();
}

void frmSkarvel::JumpStrip(bool toEnd)
{
    const PictureBox& toward = *picUpDown[toEnd ? 0 : 1];
    if (m_unloaded || m_opening || m_buttonHeld || !toward.isVisible() || !toward.isEnabled())
        return;
    // A jump overtakes the steps still under way.
    StopStepping();
    VScroll->setValue(toEnd ? VScroll->maximum() : 0);
    PictureBox& other = *picUpDown[toEnd ? 1 : 0];
    other.setVisible(true);
    other.setEnabled(true);
    hidePastBound();
    DrawThumbnails();
}

} // namespace skarvel
