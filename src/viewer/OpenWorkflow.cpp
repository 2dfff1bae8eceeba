// Opening a GIF: the window is reset, a file is chosen, cut into its frames, and shown in the
// status bar, the thumbnail strip and the animation.
#include "viewer/frmSkarvel.h"

#include "dialogs/OpenSave.h"
#include "frames/Messages.h"
#include "frames/SplitGifFrames.h"
#include "platform/Hourglass.h"
#include "platform/ModalServices.h"
#include "platform/PictureBox.h"

#include <QPointer>
#include <QScrollBar>
#include <QTimer>

namespace skarvel {

void frmSkarvel::ResetForOpen()
{
    Timer1->stop();
    StopStepping();
    picAnimGif->surface().Cls();
    sbMain->SetText(0, QString());
    sbMain->SetText(1, QString());
    EnableSaveButton(false);
    picMin->surface().Cls();
    ClearFrameLabels();
    picUpDown[0]->setVisible(false);
    picUpDown[1]->setVisible(false);
    VScroll->setValue(0);
}

void frmSkarvel::ChooseGifFile()
{
    ResetForOpen();
    {
        OpenSave dialog;
        dialog.setDialogTitle(QStringLiteral("Seleziona il file Gif da aprire"));
        dialog.setFilter(QStringLiteral("Gif|*.gif"));
        dialog.sethOwner(this);
        dialog.ShowOpen();
        sGifFile = dialog.FileName();
    }
    if (!sGifFile.isEmpty()) {
        Refresh();
        OpenGifFile(sGifFile);
    }
}

void frmSkarvel::OpenGifFile(const QString& sGifPath)
{
    {
        const Hourglass wait;
        lLastFrame = SplitGifFrames(sGifPath, Frames);
    }
    if (lLastFrame < 1) {
        modal().MsgBox(this, lLastFrame == 0 ? messages::notAnimated() : messages::cannotOpen(),
                       vbInformation, messages::kTitle);
        return;
    }

    sbMain->SetText(0, QStringLiteral("       ") + CompactPath(sGifPath));
    sbMain->SetText(1, QStringLiteral("    Frames: ") + QString::number(lLastFrame + 1));

    // The strip lets the window answer while it draws. Meanwhile the commands wait (a second
    // open would pull the table from under this one), and the window may even close.
    const QPointer<frmSkarvel> alive(this);
    m_opening = true;
    DrawThumbnails();
    if (!alive)
        return;
    m_opening = false;
    if (m_unloaded)
        return;

    if (lLastFrame > std::int32_t(lblNFrame.size()) - 1) {
        picUpDown[0]->setVisible(true);
        picUpDown[0]->setEnabled(true);
    }
    lCurFrame = -1;
    bRefit = true;
    Timer1->setInterval(Frames.frames[0].FrameDelay);
    Timer1->start();
}

} // namespace skarvel
