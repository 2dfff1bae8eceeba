// Opening a GIF: the window is reset, a file is chosen, cut into its frames, and shown in the
// status bar, the thumbnail strip and the animation.
#include "viewer/frmSkarvel.h"

#include "base/ModalServices.h"
#include "dialogs/OpenSave.h"
#include "frames/Messages.h"
#include "frames/SplitGifFrames.h"
#include "runtime/FreedMemory.h"
#include "runtime/LongWork.h"
#include "runtime/PictureBox.h"

#include <QPointer>
#include <QScopedValueRollback>
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
    hideStripButton(0);
    hideStripButton(1);
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
        RefreshAll();
        OpenGifFile(sGifFile);
    }
}

void frmSkarvel::RefreshAll()
{
    // What the closed dialog covered must go from every box, not only from the window.
    Refresh();
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->isVisible())
            child->repaint();
    }
}

void frmSkarvel::OpenGifFile(const QString& sGifPath)
{
    const QPointer<frmSkarvel> alive(this);
    // The old pictures and bytes go first, and the allocator hands back what they took: two
    // files' frames need not fit in memory together.
    m_ahead.forget();
    Frames.clear();
    ReturnFreedMemory();
    FrameTable split;
    std::int32_t result = -1;
    bool stopped = false;
    m_opening = true;
    {
        // The file is split on a thread of its own while the window goes on painting and counts
        // the frames in the status bar. The strip's thumbnails are made with the pictures, on the
        // threads that decode them: stepping through a file of large frames then never waits for
        // a decode.
        FrameKeeping keeping;
        keeping.pictureBytes = keptPictureBytes;
        keeping.rendition = &frmSkarvel::ThumbnailRendition;
        std::size_t shown = 0;
        LongWork work;
        const QScopedValueRollback<LongWork*> current(m_work, &work);
        work.run(
            [&](const StopToken& stop) {
                result = SplitGifFrames(
                    sGifPath, split, [&](std::size_t index, const Picture&) { work.advance(index + 1); }, keeping, &stop);
            },
            [&] {
                if (alive && !m_unloaded && work.progress() != shown && !work.stopped())
                    sbMain->SetText(1, FrameCountText(std::int32_t(shown = work.progress())));
            });
        stopped = work.stopped();
    }
    if (!alive || !goesOnAfterWork())
        return;
    if (stopped) {
        // As if the dialog had been cancelled.
        sGifFile.clear();
        ResetForOpen();
        return;
    }
    Frames = std::move(split);
    lLastFrame = result;
    if (lLastFrame < 1) {
        sbMain->SetText(1, QString());
        modal().MsgBox(this, lLastFrame == 0 ? messages::notAnimated() : messages::cannotOpen(),
                       vbInformation, messages::kTitle);
        return;
    }

    sbMain->SetText(0, QStringLiteral("       ") + CompactPath(sGifPath));
    sbMain->SetText(1, FrameCountText(lLastFrame + 1));

    // The strip lets the window answer while it draws. Meanwhile the commands wait (a second
    // open would pull the table from under this one), and input is held off as during the split.
    m_opening = true;
    {
        LongWork work;
        const QScopedValueRollback<LongWork*> current(m_work, &work);
        DrawThumbnails();
    }
    if (!alive || !goesOnAfterWork())
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

QString frmSkarvel::FrameCountText(std::int32_t count)
{
    return QStringLiteral("    Frames: ") + QString::number(count);
}

QString frmSkarvel::SavedCountText(std::int32_t count)
{
    return QStringLiteral("    Salvati: ") + QString::number(count);
}

} // namespace skarvel
