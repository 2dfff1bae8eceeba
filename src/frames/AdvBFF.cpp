#include "frames/AdvBFF.h"

#include "base/ModalServices.h"

namespace skarvel {

QString BrowseForFolder(QWidget* lOwner, const QString& sPrompt)
{
    QString folder = modal().BrowseForFolder(lOwner, sPrompt);
    // The callers add the separator themselves; a second one would only look wrong in a
    // message, but the root must keep its only one.
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

} // namespace skarvel
