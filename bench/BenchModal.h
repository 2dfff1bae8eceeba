#pragma once

#include "base/ModalServices.h"

#include <QStringList>
#include <QWidget>

namespace skarvel::bench {

// Answers the window's dialogs without a modal loop, as a person in a hurry would: every folder
// dialog with `folder`, every file dialog with a cancel, every message box with OK (its text is
// kept), every modal form closed at once. Installed for its own lifetime.
class BenchModal : public ModalServices {
public:
    explicit BenchModal(QString folder) : m_folder(std::move(folder)) {}

    QStringList messages;

    void MsgBox(QWidget*, const QString& prompt, int, const QString&) override { messages.push_back(prompt); }
    QString GetOpenFileName(const FileDialogRequest&) override { return {}; }
    QString GetSaveFileName(const FileDialogRequest&) override { return {}; }
    QString BrowseForFolder(QWidget*, const QString&) override { return m_folder; }
    void ShowModal(QWidget& form) override { form.close(); }
    void OpenUrl(const QString&) override {}

private:
    QString m_folder;
    ScopedModalServices m_installed{*this};
};

} // namespace skarvel::bench
