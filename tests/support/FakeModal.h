#pragma once

#include "platform/ModalServices.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace skarvel::test {

// Answers the program's dialogs the way a test scripts them, without a modal loop, and
// remembers what was asked. Installed for its own lifetime. A dialog that no answer was
// scripted for fails the test and is answered as cancelled.
class FakeModal : public ModalServices {
public:
    struct Message {
        QWidget* owner;
        QString prompt;
        int buttons;
        QString title;
    };

    FakeModal();

    // Answers, used first in first out; "" is a cancel.
    std::deque<QString> openAnswers, saveAnswers, folderAnswers;
    // Runs while a file or folder dialog is "open", before it answers (a person taking time).
    std::function<void()> whileDialogOpen;
    // What the person does while a form is shown modally; the form is closed afterwards if it
    // is still open, as the person would.
    std::function<void(QWidget& form)> whileFormShown;
    // Runs while a message is shown.
    std::function<void(const Message&)> whileMessageShown;

    std::vector<Message> messages;
    std::vector<FileDialogRequest> fileDialogs;
    std::vector<QString> folderPrompts, urls;
    std::vector<QWidget*> folderOwners;
    int formsShown = 0;

    void MsgBox(QWidget* owner, const QString& prompt, int buttons, const QString& title) override;
    QString GetOpenFileName(const FileDialogRequest& request) override;
    QString GetSaveFileName(const FileDialogRequest& request) override;
    QString BrowseForFolder(QWidget* owner, const QString& title) override;
    void ShowModal(QWidget& form) override;
    void OpenUrl(const QString& url) override;

private:
    QString answer(std::deque<QString>& answers, const char* what);
    ScopedModalServices m_installed;
};

} // namespace skarvel::test
