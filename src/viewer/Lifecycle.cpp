// Start and end of the window.
#include "viewer/frmSkarvel.h"

#include "base/Units.h"
#include "runtime/LongWork.h"
#include "runtime/PictureBox.h"
#include "runtime/Twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QScrollBar>
#include <QTimer>

namespace skarvel {

frmSkarvel::frmSkarvel()
{
    End = [] { QCoreApplication::exit(0); };
    createControls();
    Form_Load();
}

frmSkarvel::~frmSkarvel()
{
    if (!m_unloaded) {
        Frames.clear();
        sbMain.reset();
        objTriDim.reset();
    }
}

void frmSkarvel::Form_Load()
{
    setHeight(6270);
    bAutoRepeat = false;
    VScroll->setValue(0);
    iTwipsX = std::int16_t(units::nearest(Screen::TwipsPerPixelX()));
    iTwipsY = std::int16_t(units::nearest(Screen::TwipsPerPixelY()));
    SetupStatusBar();
    ArrangeControls();
}

void frmSkarvel::Form_Unload()
{
    m_unloaded = true;
    Timer1->stop();
    m_ahead.forget();
    Frames.clear();
    sbMain.reset();
    objTriDim.reset();
    if (End)
        End();
}

void frmSkarvel::closeEvent(QCloseEvent* event)
{
    // Long work is stopped first: its table and its files must not go from under it.
    if (m_work) {
        m_work->stop();
        m_closeAsked = true;
        event->ignore();
        return;
    }
    if (!m_unloaded)
        Form_Unload();
    event->accept();
}

bool frmSkarvel::goesOnAfterWork()
{
    m_opening = false;
    if (m_unloaded)
        return false;
    if (m_closeAsked) {
        m_closeAsked = false;
        close();
        return false;
    }
    settleCommandButtons();
    return true;
}

} // namespace skarvel
