#pragma once

#include "base/ModalServices.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <tuple>
#include <vector>

namespace skarvel::test {

// Answers the program's dialogs the way a test scripts them, without a modal loop, and
// remembers what was asked. Installed for its own lifetime. A dialog that no answer was
// scripted for fails the test and is answered as cancelled.
class FakeModal : public ModalServices {
public:
    // A message box asked for: its owner, prompt, buttons and title.
    using Message = std::tuple<QWidget*, QString, int, QString>;

    // Answers of the file and folder dialogs, first in first out; "" is a cancel.
    std::deque<QString> answers;
    // Runs while a file or folder dialog is "open", before it answers (a person taking time).
    std::function<void()> whileDialogOpen;
    // What the person does while a form is shown modally; the form is closed afterwards if it
    // is still open, as the person would.
    std::function<void(QWidget& form)> whileFormShown;

    std::vector<Message> messages;
    // The file and folder dialogs asked for; a folder dialog has only its owner and title.
    std::vector<FileDialogRequest> asked;
    std::vector<QString> urls;
    int formsShown = 0;

    void MsgBox(QWidget* owner, const QString& prompt, int buttons, const QString& title) override
    {
        messages.push_back({owner, prompt, buttons, title});
    }
    QString GetOpenFileName(const FileDialogRequest& request) override { return answer(request); }
    QString GetSaveFileName(const FileDialogRequest& request) override { return answer(request); }
    QString BrowseForFolder(QWidget* owner, const QString& title) override { return answer({owner, title, {}, -1, {}, {}, {}}); }
    void ShowModal(QWidget& form) override
    {
        ++formsShown;
        form.show();
        if (whileFormShown)
            whileFormShown(form);
        if (form.isVisible())
            form.close();
    }
    void OpenUrl(const QString& url) override { urls.push_back(url); }

private:
    QString answer(const FileDialogRequest& request)
    {
        asked.push_back(request);
        if (whileDialogOpen)
            whileDialogOpen();
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected dialog: " << request.title.toStdString();
            return {};
        }
        const QString chosen = answers.front();
        answers.pop_front();
        return chosen;
    }
    ScopedModalServices m_installed{*this};
};

} // namespace skarvel::test
