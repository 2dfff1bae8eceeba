// Saving every frame of the opened GIF into a chosen folder, as numbered BMP or GIF files.
#include "viewer/frmSkarvel.h"

#include "base/ModalServices.h"
#include "frames/AdvBFF.h"
#include "frames/Messages.h"
#include "frames/SaveFrames.h"
#include "runtime/LongWork.h"

#include <QPointer>
#include <QRadioButton>
#include <QScopedValueRollback>

namespace skarvel {

void frmSkarvel::SaveAllFrames()
{
    const QString folder =
        BrowseForFolder(this, QStringLiteral("Seleziona la directory di destinazione:"));
    if (folder.isEmpty())
        return;
    Refresh();

    // The files are written on a thread of their own while the window goes on painting and
    // playing, and counts them in the status bar. The animation only reads the table, and no
    // other command may change it meanwhile. The files are the table's frames as the split made
    // them.
    const QPointer<frmSkarvel> alive(this);
    const FrameFormat format = optTipoFiles[0]->isChecked() ? FrameFormat::Bmp : FrameFormat::Gif;
    bool saved = false;
    bool stopped = false;
    m_opening = true;
    {
        std::size_t shown = 0;
        LongWork work;
        const QScopedValueRollback<LongWork*> current(m_work, &work);
        work.run(
            [&](const StopToken& stop) {
                saved = SaveFrames(Frames, sGifFile, folder, format, &stop, [&](std::size_t n) { work.advance(n); });
            },
            [&] {
                if (alive && !m_unloaded && work.progress() != shown)
                    sbMain->SetText(1, SavedCountText(std::int32_t(shown = work.progress())));
            });
        stopped = work.stopped();
    }
    if (!alive || !goesOnAfterWork())
        return;
    sbMain->SetText(1, FrameCountText(lLastFrame + 1));
    // A stopped save keeps the whole files it wrote, and says nothing.
    if (stopped)
        return;
    if (saved)
        modal().MsgBox(this, messages::framesSaved(qsizetype(Frames.frames.size())),
                       vbInformation, messages::kTitle);
    else
        modal().MsgBox(this, messages::saveFailed(), vbCritical, messages::kTitle);
}

} // namespace skarvel
