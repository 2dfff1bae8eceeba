#pragma once

#include "base/ModalServices.h"

namespace skarvel {

// The modal services on Qt's own dialogs: QMessageBox, QFileDialog, a local event loop for
// modal forms, QDesktopServices for addresses.
class QtModalServices : public ModalServices {
public:
    void MsgBox(QWidget* owner, const QString& prompt, int buttons, const QString& title) override;
    QString GetOpenFileName(const FileDialogRequest& request) override;
    QString GetSaveFileName(const FileDialogRequest& request) override;
    QString BrowseForFolder(QWidget* owner, const QString& title) override;
    void ShowModal(QWidget& form) override;
    void OpenUrl(const QString& url) override;
};

} // namespace skarvel
