#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace skarvel {

// Message box styles: one OK button with an icon. The values are the ones the window code
// passes, so a message reads the same here as at its call.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbCritical = 16,
    vbInformation = 64,
};

// What a file dialog is asked to show.
struct FileDialogRequest {
    QWidget* owner = nullptr;
    QString title;
    // Qt name filters ("Gif (*.gif)"); none means every file.
    QStringList nameFilters;
    // Index into nameFilters of the filter shown first; -1 for the first.
    int selectedFilter = -1;
    QString initialName;
    QString initialDir;
    QString defaultSuffix;
};

// Everything that waits for a person: message boxes, file and folder dialogs, modal forms,
// handing an address to the desktop. The program installs the real dialogs at start; tests
// install answers of their own, so that nothing blocks in a modal loop. The interface needs
// no widgets, so the headless core can ask for a folder too.
class ModalServices {
public:
    virtual ~ModalServices() = default;

    // Shows `prompt` with an OK button and the icon of `buttons` (vbInformation, vbCritical).
    // A "\r\n" in the prompt is a line break.
    virtual void MsgBox(QWidget* owner, const QString& prompt, int buttons,
                        const QString& title) = 0;
    // The chosen path, or "" when the person cancels. The open dialog accepts existing files
    // only.
    virtual QString GetOpenFileName(const FileDialogRequest& request) = 0;
    virtual QString GetSaveFileName(const FileDialogRequest& request) = 0;
    // The chosen folder as the dialog gives it, or "" when the person cancels.
    virtual QString BrowseForFolder(QWidget* owner, const QString& title) = 0;
    // Shows `form` modally and returns once it is hidden (closed).
    virtual void ShowModal(QWidget& form) = 0;
    // Opens a web or mailto: address with the desktop's program for it; the outcome is not
    // reported.
    virtual void OpenUrl(const QString& url) = 0;
};

// The services in use. Throws std::logic_error when none are installed: a dialog asked for
// with nobody to answer it is a fault of the program, not something to guess an answer for.
ModalServices& modal();

// Installs `services` for the lifetime of this object, then puts back what was there before.
class ScopedModalServices {
public:
    explicit ScopedModalServices(ModalServices& services);
    ~ScopedModalServices();
    ScopedModalServices(const ScopedModalServices&) = delete;
    ScopedModalServices& operator=(const ScopedModalServices&) = delete;

private:
    ModalServices* m_previous;
};

} // namespace skarvel
