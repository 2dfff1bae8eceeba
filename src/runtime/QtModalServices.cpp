#include "runtime/QtModalServices.h"

#include "runtime/FileDialogLayout.h"

#include <QDesktopServices>
#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QUrl>

namespace skarvel {

namespace {

QString fileDialog(const FileDialogRequest& request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(request.owner, request.title, request.initialDir);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen) {
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        // The save dialog asks nothing when a file of that name exists, as the open dialog's
        // settings have it; the caller decides what to do with an existing file.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (!request.nameFilters.isEmpty()) {
        dialog.setNameFilters(request.nameFilters);
        if (request.selectedFilter >= 0 && request.selectedFilter < request.nameFilters.size())
            dialog.selectNameFilter(request.nameFilters.at(request.selectedFilter));
    }
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    LayOutFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

// Ends a local event loop when the watched form is hidden or goes.
class HideWatcher : public QObject {
public:
    explicit HideWatcher(QEventLoop& loop) : m_loop(loop) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Hide)
            m_loop.quit();
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop& m_loop;
};

} // namespace

void QtModalServices::MsgBox(QWidget* owner, const QString& prompt, int buttons,
                             const QString& title)
{
    const QMessageBox::Icon icon = (buttons & vbCritical) == vbCritical ? QMessageBox::Critical
                                   : (buttons & vbInformation) == vbInformation
                                       ? QMessageBox::Information
                                       : QMessageBox::NoIcon;
    QString text = prompt;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString QtModalServices::GetOpenFileName(const FileDialogRequest& request)
{
    return fileDialog(request, QFileDialog::AcceptOpen);
}

QString QtModalServices::GetSaveFileName(const FileDialogRequest& request)
{
    return fileDialog(request, QFileDialog::AcceptSave);
}

QString QtModalServices::BrowseForFolder(QWidget* owner, const QString& title)
{
    QFileDialog dialog(owner, title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    LayOutFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

void QtModalServices::ShowModal(QWidget& form)
{
    QEventLoop loop;
    HideWatcher watcher(loop);
    QPointer<QWidget> guard(&form);
    QObject::connect(&form, &QObject::destroyed, &loop, &QEventLoop::quit);
    form.installEventFilter(&watcher);
    form.setWindowModality(Qt::ApplicationModal);
    form.show();
    if (form.isVisible())
        loop.exec();
    if (guard)
        guard->removeEventFilter(&watcher);
}

void QtModalServices::OpenUrl(const QString& url)
{
    QDesktopServices::openUrl(QUrl(url));
}

} // namespace skarvel
