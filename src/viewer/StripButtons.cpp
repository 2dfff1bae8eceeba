// The up/down buttons of the thumbnail strip: a press steps the strip one frame at once, and
// one more about every 150 ms while the button is held; each step is redrawn 150 ms after it
// is made. A step timer paces the run, so the window keeps handling events between passes and
// nothing waits on the stack for the button's release.
#include "viewer/frmSkarvel.h"

#include "runtime/PictureBox.h"
#include "runtime/RuntimeInput.h"

#include <QPointer>
#include <QScrollBar>
#include <QTimer>

namespace skarvel {

namespace {

constexpr int kStepMs = 150;
// What the buttons stand on when they are not framed.
constexpr OleColor kButtonFace = 0x8000000Fu;

} // namespace

void frmSkarvel::connectStripButtons()
{
    m_stepTimer = new QTimer(this);
    m_stepTimer->setSingleShot(true);
    m_stepTimer->setInterval(kStepMs);
    connect(m_stepTimer, &QTimer::timeout, this, [this] { finishStepPass(); });

    for (std::size_t i = 0; i < picUpDown.size(); ++i) {
        const auto index = std::int16_t(i);
        PictureBox* button = picUpDown[i];
        button->MouseDown = [this, index](int b, int s, double x, double y) {
            picUpDown_MouseDown(index, std::int16_t(b), std::int16_t(s), float(x), float(y));
        };
        button->MouseUp = [this, index](int b, int s, double x, double y) {
            picUpDown_MouseUp(index, std::int16_t(b), std::int16_t(s), float(x), float(y));
        };
        button->MouseMove = [this, index](int b, int s, double x, double y) {
            picUpDown_MouseMove(index, std::int16_t(b), std::int16_t(s), float(x), float(y));
        };
    }
}

void frmSkarvel::picUpDown_MouseDown(std::int16_t Index, std::int16_t, std::int16_t, float,
                                     float)
{
    if (m_unloaded)
        return;
    objTriDim->Sunken(*picUpDown[std::size_t(Index)]);
    bAutoRepeat = true;
    // The opposite button is shown once the run ends (endStepping), whichever press ends it.
    m_stepPresses.push_back(Index);
    m_buttonHeld = true;
    ScrollThumbnails(Index == 0);
}

void frmSkarvel::ScrollThumbnails(bool Forward)
{
    m_stepForward = Forward;
    // A press during a pass joins the run, whose redraw is still due; the step it owes is
    // taken by the next pass, in the new direction, so that every click moves the strip.
    if (m_stepPassOpen)
        ++m_stepsOwed;
    else
        stepStrip();
}

void frmSkarvel::stepStrip()
{
    const int value = VScroll->value();
    if (m_stepForward) {
        if (value < VScroll->maximum())
            VScroll->setValue(value + 1);
        else
            bAutoRepeat = false;
    } else {
        if (value > 0)
            VScroll->setValue(value - 1);
        else
            bAutoRepeat = false;
    }
    // Also the pass that finds the bound waits and redraws before the run ends.
    ++m_stepPasses;
    m_stepPassOpen = true;
    m_stepTimer->start();
}

void frmSkarvel::finishStepPass()
{
    if (m_unloaded)
        return;
    const QPointer<frmSkarvel> alive(this);
    const std::uint64_t pass = m_stepPasses;
    DrawThumbnails();
    // The run may have been stopped, or stopped and begun anew, while the strip was drawn.
    if (!alive || m_unloaded || !m_stepPassOpen || pass != m_stepPasses)
        return;
    m_stepPassOpen = false;
    if (m_stepsOwed > 0) {
        --m_stepsOwed;
        stepStrip();
    } else if (bAutoRepeat) {
        stepStrip();
    } else {
        endStepping();
    }
}

void frmSkarvel::endStepping()
{
    // Latest press first, as nested presses would have ended.
    while (!m_stepPresses.empty()) {
        const std::int16_t index = m_stepPresses.back();
        m_stepPresses.pop_back();
        PictureBox* other = picUpDown[index == 0 ? 1 : 0];
        other->setVisible(true);
        other->setEnabled(true);
    }
    // Steps owed to quick clicks were taken after their release: the bound they reached takes
    // its button away now.
    if (!m_buttonHeld)
        hidePastBound();
}

void frmSkarvel::hidePastBound()
{
    if (VScroll->value() == VScroll->maximum())
        hideStripButton(0);
    else if (VScroll->value() == 0)
        hideStripButton(1);
}

void frmSkarvel::hideStripButton(std::size_t index)
{
    PictureBox& B = *picUpDown[index];
    // A hidden box sees no more moves that would flatten its frame.
    if (B.isVisible())
        objTriDim->Flat(B, kButtonFace);
    if (QWidget::mouseGrabber() == &B)
        ReleaseCapture();
    B.setEnabled(false);
    B.setVisible(false);
}

void frmSkarvel::StopStepping()
{
    m_stepTimer->stop();
    bAutoRepeat = false;
    m_stepPassOpen = false;
    m_stepsOwed = 0;
    m_buttonHeld = false;
    m_stepPresses.clear();
}

void frmSkarvel::picUpDown_MouseUp(std::int16_t Index, std::int16_t Button, std::int16_t,
                                   float, float)
{
    if (m_unloaded)
        return;
    bAutoRepeat = false;
    m_buttonHeld = false;
    picUpDown_MouseMove(Index, Button, 0, 0, 0);
    Refresh();
    // The button that points past the end it has reached goes.
    hidePastBound();
}

void frmSkarvel::picUpDown_MouseMove(std::int16_t Index, std::int16_t Button, std::int16_t,
                                     float X, float Y)
{
    if (m_unloaded)
        return;
    PictureBox& B = *picUpDown[std::size_t(Index)];
    const bool inside = X >= 0 && Y >= 0 && X <= B.Width() && Y <= B.Height();
    if (Button != 0 && Button != 1)
        return;
    if (inside) {
        // Holding the capture lets the button see the pointer leave it.
        if (Button == 0)
            objTriDim->Rise(B);
        else
            objTriDim->Sunken(B);
        SetCapture(&B);
    } else {
        objTriDim->Flat(B, kButtonFace);
        ReleaseCapture();
    }
}

} // namespace skarvel
