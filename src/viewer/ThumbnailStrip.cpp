// The thumbnail strip in picMin and its number labels.
#include "viewer/frmSkarvel.h"

#include "platform/LightControls.h"

namespace skarvel {

void frmSkarvel::ClearFrameLabels()
{
    for (LabelControl* label : lblNFrame)
        label->setCaption(QString());
}

} // namespace skarvel
