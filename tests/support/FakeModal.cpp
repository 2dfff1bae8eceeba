#include "support/FakeModal.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace skarvel::test {

FakeModal::FakeModal() : m_installed(*this) {}

QString FakeModal::answer(std::deque<QString>& answers, const char* what)
{
    if (whileDialogOpen)
        whileDialogOpen();
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected " << what;
        return {};
    }
    QString chosen = answers.front();
    answers.pop_front();
    return chosen;
}

void FakeModal::MsgBox(QWidget* owner, const QString& prompt, int buttons, const QString& title)
{
    messages.push_back({owner, prompt, buttons, title});
    if (whileMessageShown)
        whileMessageShown(messages.back());
}

QString FakeModal::GetOpenFileName(const FileDialogRequest& request)
{
    fileDialogs.push_back(request);
    return answer(openAnswers, "open dialog");
}

QString FakeModal::GetSaveFileName(const FileDialogRequest& request)
{
    fileDialogs.push_back(request);
    return answer(saveAnswers, "save dialog");
}

QString FakeModal::BrowseForFolder(QWidget* owner, const QString& title)
{
    folderOwners.push_back(owner);
    folderPrompts.push_back(title);
    return answer(folderAnswers, "folder dialog");
}

void FakeModal::ShowModal(QWidget& form)
{
    ++formsShown;
    form.show();
    if (whileFormShown)
        whileFormShown(form);
    if (form.isVisible())
        form.close();
}

void FakeModal::OpenUrl(const QString& url) { urls.push_back(url); }

} // namespace skarvel::test
