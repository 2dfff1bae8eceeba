// Opening a GIF: the window is reset, a file is chosen, cut into its frames, and shown in the
// status bar, the thumbnail strip and the animation.
#include "viewer/frmSkarvel.h"

#include "base/ModalServices.h"
#include "dialogs/OpenSave.h"
#include "frames/Messages.h"
#include "frames/SplitGifFrames.h"
#include "runtime/Hourglass.h"
#include "runtime/PictureBox.h"
#include "runtime/StatusBarWindow.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>

#include <system_error>
#include <thread>

namespace skarvel {

namespace {

// Splits the file on a worker thread while this one goes on painting and answering the window
// manager, so that a large file does not leave the window blank and "not responding" for
// seconds. User input waits until the split is over.
std::int32_t splitWhileAnswering(const QString& path, FrameTable& table, std::int64_t keptPictureBytes)
{
    // The strip's thumbnails are made with the pictures, on the threads that decode them: stepping
    // through a file of large frames then never waits for a decode.
    FrameKeeping keeping;
    keeping.pictureBytes = keptPictureBytes;
    keeping.rendition = &frmSkarvel::ThumbnailRendition;
    QEventLoop loop;
    std::int32_t result = -1;
    std::thread worker;
    try {
        worker = std::thread([&] {
            result = SplitGifFrames(path, table, {}, keeping);
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        // No thread to be had: split here, with the window still for that time.
        return SplitGifFrames(path, table, {}, keeping);
    }
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop also ends when the application quits; the split must still be over before its
    // table goes.
    worker.join();
    return result;
}

} // namespace

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
    // The old pictures go first: two files' frames need not fit in memory together.
    m_ahead.forget();
    Frames.clear();
    FrameTable split;
    std::int32_t result = -1;
    m_opening = true;
    {
        const Hourglass wait;
        result = splitWhileAnswering(sGifPath, split, keptPictureBytes);
    }
    if (!alive)
        return;
    m_opening = false;
    if (m_unloaded)
        return;
    Frames = std::move(split);
    lLastFrame = result;
    if (lLastFrame < 1) {
        modal().MsgBox(this, lLastFrame == 0 ? messages::notAnimated() : messages::cannotOpen(),
                       vbInformation, messages::kTitle);
        return;
    }

    sbMain->SetText(0, QStringLiteral("       ") + CompactPath(sGifPath));
    sbMain->SetText(1, FrameCountText(lLastFrame + 1));

    // The strip lets the window answer while it draws. Meanwhile the commands wait (a second
    // open would pull the table from under this one), and the window may even close.
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

QString frmSkarvel::FrameCountText(std::int32_t count)
{
    const QString number = QString::number(count);
    const QString full = QStringLiteral("    Frames: ") + number;
    const StatusBarWindow* bar = sbMain->hWnd();
    if (!bar || QFontMetrics(bar->font()).horizontalAdvance(full) <= bar->textRoom(1))
        return full;
    // A long count keeps its digits; the panel's icon already says what they count.
    return QStringLiteral("    ") + number;
}

} // namespace skarvel
