// What the three command buttons do: open a GIF, save its frames, show the about window.
#include "viewer/frmSkarvel.h"

#include "about/frmAbout.h"
#include "base/ModalServices.h"
#include "runtime/PictureBox.h"
#include "runtime/RuntimeInput.h"

#include <QPointer>
#include <QWidget>

namespace skarvel {

void frmSkarvel::picButton_Click(std::int16_t Index)
{
    if (m_opening || Index < 0 || std::size_t(Index) >= picButton.size())
        return;
    Refresh();

    // The pressed button stays sunken while its command runs, and holds the mouse again
    // afterwards, so that the next move sets its look. It must not hold the mouse meanwhile:
    // the dialogs that the command opens would lose their clicks to it.
    PictureBox* button = picButton[std::size_t(Index)];
    const bool held = QWidget::mouseGrabber() == button;
    ReleaseCapture();
    const QPointer<frmSkarvel> alive(this);
    switch (Index) {
    case 0:
        ChooseGifFile();
        break;
    case 1:
        SaveAllFrames();
        break;
    case 2: {
        frmAbout about(this);
        modal().ShowModal(about);
        break;
    }
    }
    // Unless the work of the command gave the mouse to the button under the pointer.
    if (alive && !m_unloaded && held && !QWidget::mouseGrabber())
        SetCapture(button);
}

} // namespace skarvel
