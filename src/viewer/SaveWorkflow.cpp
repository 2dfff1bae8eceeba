// Saving every frame of the opened GIF into a chosen folder, as numbered BMP or GIF files.
#include "viewer/frmSkarvel.h"

#include "base/ModalServices.h"
#include "frames/AdvBFF.h"
#include "frames/Messages.h"
#include "frames/SaveFrames.h"

#include <QRadioButton>

namespace skarvel {

void frmSkarvel::SaveAllFrames()
{
    const QString folder =
        BrowseForFolder(this, QStringLiteral("Seleziona la directory di destinazione:"));
    if (folder.isEmpty())
        return;
    Refresh();

    // Nothing here lets the animation tick, and it never changes the pictures anyway: the
    // files are the table's frames as the split made them.
    const FrameFormat format = optTipoFiles[0]->isChecked() ? FrameFormat::Bmp : FrameFormat::Gif;
    if (SaveFrames(Frames, sGifFile, folder, format))
        modal().MsgBox(this, messages::framesSaved(qsizetype(Frames.frames.size())),
                       vbInformation, messages::kTitle);
    else
        modal().MsgBox(this, messages::saveFailed(), vbCritical, messages::kTitle);
}

} // namespace skarvel
