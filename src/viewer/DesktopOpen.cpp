// Files the desktop hands to the window: a program argument ("Open with") or a drop.
#include "viewer/frmSkarvel.h"

#include "files/FilePath.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace skarvel {

namespace {

// The first local file among the dropped items; other kinds of items are not ours to open.
QString firstLocalFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

} // namespace

void frmSkarvel::OpenGivenFile(const QString& sPath)
{
    // An open that is still drawing its strip keeps the table until it is done.
    if (m_opening || m_unloaded)
        return;
    ResetForOpen();
    // Saving names the frames after the file, which needs its folder in front of the name. The
    // whole path reads best in the status bar, but a working folder too deep to be named must
    // not cost the name: then the path stays as given.
    sGifFile = sPath.isEmpty() ? QString() : AbsoluteFilePath(sPath);
    if (sGifFile.isEmpty())
        sGifFile = sPath.contains(u'/') || sPath.isEmpty() ? sPath : QStringLiteral("./") + sPath;
    RefreshAll();
    OpenGifFile(sGifFile);
}

void frmSkarvel::dragEnterEvent(QDragEnterEvent* event)
{
    if (!m_opening && !firstLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmSkarvel::dropEvent(QDropEvent* event)
{
    const QString path = firstLocalFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over: the drag source is not kept waiting on our messages.
    QTimer::singleShot(0, this, [this, path] { OpenGivenFile(path); });
}

} // namespace skarvel
