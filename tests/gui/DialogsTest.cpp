// The file dialog object and the folder browser answered by scripted dialogs, and the real
// dialogs behind the modal services driven from inside their own modal loops.
#include "dialogs/OpenSave.h"
#include "frames/AdvBFF.h"
#include "platform/QtModalServices.h"
#include "platform/RuntimeError.h"
#include "support/FakeModal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <tuple>

namespace skarvel::test {
namespace {

TEST(OpenSave, FilterListBecomesNameFilters)
{
    const auto filters = [](const char* list) { return OpenSave::NameFilters(QString::fromUtf8(list)); };
    EXPECT_EQ(filters("Immagini|*.gif;*.bmp|Tutti i file|*.*"),
              (QStringList{QStringLiteral("Immagini (*.gif *.bmp)"), QStringLiteral("Tutti i file (*.*)")}));
    // A description left without its pattern shows nothing; a pattern without one names itself.
    EXPECT_EQ(filters("Gif|*.gif|Bmp"), QStringList{QStringLiteral("Gif (*.gif)")});
    EXPECT_EQ(filters("|*.gif"), QStringList{QStringLiteral("*.gif")});
    EXPECT_TRUE(filters("").isEmpty());
}

TEST(OpenSave, PropertiesReachTheDialogAndFileNameFollowsEachDialog)
{
    FakeModal dialogs;
    QWidget owner;
    OpenSave dialog;
    dialog.setDialogTitle(QStringLiteral("Titolo"));
    dialog.setFilter(QStringLiteral("Gif|*.gif|Bmp|*.bmp"));
    dialog.sethOwner(&owner);
    dialog.setInitDir(QStringLiteral("/tmp"));
    dialog.setDefaultExt(QStringLiteral("gif"));
    dialog.setFilterIndex(2);
    dialog.setFileName(QStringLiteral("prima.gif"));
    dialogs.openAnswers = {QStringLiteral("/data/anim.gif"), QString()};
    dialog.ShowOpen();
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    const FileDialogRequest asked = dialogs.fileDialogs[0];
    EXPECT_EQ(asked.owner, &owner);
    EXPECT_EQ(asked.title, QStringLiteral("Titolo"));
    EXPECT_EQ(asked.nameFilters, (QStringList{QStringLiteral("Gif (*.gif)"), QStringLiteral("Bmp (*.bmp)")}));
    EXPECT_EQ(asked.selectedFilter, 1);
    EXPECT_EQ(asked.initialDir, QStringLiteral("/tmp"));
    EXPECT_EQ(asked.defaultSuffix, QStringLiteral("gif"));
    EXPECT_EQ(asked.initialName, QStringLiteral("prima.gif"));
    EXPECT_EQ(dialog.FileName(), QStringLiteral("/data/anim.gif"));
    // The next dialog starts from the last choice; cancelling it loses that choice.
    dialog.ShowOpen();
    EXPECT_EQ(dialogs.fileDialogs[1].initialName, QStringLiteral("/data/anim.gif"));
    EXPECT_EQ(dialog.FileName(), QString());

    OpenSave plain;
    dialogs.saveAnswers = {QStringLiteral("/data/copia.gif")};
    plain.ShowSave();
    EXPECT_EQ(plain.FileName(), QStringLiteral("/data/copia.gif"));
    EXPECT_TRUE(dialogs.fileDialogs.back().nameFilters.isEmpty()) << "no filter list set";

    // An initial name longer than the dialog takes is refused before any dialog.
    const std::size_t asks = dialogs.fileDialogs.size();
    plain.setFileName(QString(OpenSave::kMaxFileName + 1, u'a'));
    try {
        plain.ShowOpen();
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), RuntimeError::InvalidCall);
    }
    EXPECT_THROW(plain.ShowSave(), RuntimeError);
    EXPECT_EQ(dialogs.fileDialogs.size(), asks);
    const QString longest(OpenSave::kMaxFileName, u'b');
    plain.setFileName(longest);
    dialogs.openAnswers = {QString()};
    plain.ShowOpen();
    EXPECT_EQ(dialogs.fileDialogs.back().initialName, longest);
}

TEST(BrowseForFolder, AnswersTheFolderWithoutTrailingSeparatorOrEmptyOnCancel)
{
    EXPECT_THROW(BrowseForFolder(nullptr, QStringLiteral("Dove?")), std::logic_error) << "nobody to answer";
    FakeModal dialogs;
    QWidget owner;
    dialogs.folderAnswers = {QStringLiteral("/srv/out"), QStringLiteral("/srv/out//"), QStringLiteral("/"), QString()};
    for (const QString& expected : {QStringLiteral("/srv/out"), QStringLiteral("/srv/out"), QStringLiteral("/"), QString()})
        EXPECT_EQ(BrowseForFolder(&owner, QStringLiteral("Dove?")), expected);
    EXPECT_EQ(dialogs.folderPrompts[0], QStringLiteral("Dove?"));
    EXPECT_EQ(dialogs.folderOwners[0], &owner);
}

// Runs `act` on the modal widget once it is up, from inside its loop.
void whenModalShows(std::function<void(QWidget&)> act)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        if (QWidget* modalWidget = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            act(*modalWidget);
        }
    });
    poll->start(10);
}

TEST(QtModalServices, MessageBoxShowsTitleIconAndLinesWithOneOkButton)
{
    QtModalServices services;
    QWidget owner;
    // What each box showed: text, title, icon, number of buttons.
    std::vector<std::tuple<QString, QString, QMessageBox::Icon, int>> seen;
    const auto answer = [&](QWidget& w) {
        auto* box = qobject_cast<QMessageBox*>(&w);
        ASSERT_NE(box, nullptr);
        seen.emplace_back(box->text(), box->windowTitle(), box->icon(), int(box->buttons().size()));
        box->button(QMessageBox::Ok)->click();
    };
    whenModalShows(answer);
    services.MsgBox(&owner, QStringLiteral("prima riga\r\n seconda"), vbCritical, QStringLiteral("Skarvel"));
    whenModalShows(answer);
    services.MsgBox(&owner, QStringLiteral("ok"), vbInformation, QStringLiteral("Titolo"));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_tuple(QStringLiteral("prima riga\n seconda"), QStringLiteral("Skarvel"),
                                       QMessageBox::Critical, 1));
    EXPECT_EQ(seen[1], std::make_tuple(QStringLiteral("ok"), QStringLiteral("Titolo"), QMessageBox::Information, 1));
}

TEST(QtModalServices, ShowModalReturnsOnceTheFormIsClosedAndBlocksOtherWindows)
{
    QtModalServices services;
    QWidget form;
    bool wasModal = false;
    QTimer::singleShot(20, &form, [&] {
        wasModal = QApplication::activeModalWidget() == &form;
        form.close();
    });
    services.ShowModal(form);
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(form.isVisible());
}

} // namespace
} // namespace skarvel::test
