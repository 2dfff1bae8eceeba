// The file dialog object and the folder browser, answered by scripted dialogs.
#include "dialogs/OpenSave.h"
#include "frames/AdvBFF.h"
#include "platform/RuntimeError.h"
#include "support/FakeModal.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

namespace skarvel::test {
namespace {

TEST(OpenSave, FilterListBecomesNameFilters)
{
    EXPECT_EQ(OpenSave::NameFilters(QStringLiteral("Gif|*.gif")),
              QStringList{QStringLiteral("Gif (*.gif)")});
    EXPECT_EQ(OpenSave::NameFilters(QStringLiteral("Immagini|*.gif;*.bmp|Tutti i file|*.*")),
              (QStringList{QStringLiteral("Immagini (*.gif *.bmp)"),
                           QStringLiteral("Tutti i file (*.*)")}));
    // A description left without its pattern shows nothing; a pattern without description
    // names itself.
    EXPECT_EQ(OpenSave::NameFilters(QStringLiteral("Gif|*.gif|Bmp")),
              QStringList{QStringLiteral("Gif (*.gif)")});
    EXPECT_EQ(OpenSave::NameFilters(QStringLiteral("|*.gif")), QStringList{QStringLiteral("*.gif")});
    EXPECT_TRUE(OpenSave::NameFilters(QString()).isEmpty());
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
    EXPECT_EQ(dialog.FileName(), QStringLiteral("prima.gif"));

    dialogs.openAnswers = {QStringLiteral("/data/anim.gif"), QString()};
    dialog.ShowOpen();
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    const FileDialogRequest asked = dialogs.fileDialogs[0];
    EXPECT_EQ(asked.owner, &owner);
    EXPECT_EQ(asked.title, QStringLiteral("Titolo"));
    EXPECT_EQ(asked.nameFilters,
              (QStringList{QStringLiteral("Gif (*.gif)"), QStringLiteral("Bmp (*.bmp)")}));
    EXPECT_EQ(asked.selectedFilter, 1);
    EXPECT_EQ(asked.initialDir, QStringLiteral("/tmp"));
    EXPECT_EQ(asked.defaultSuffix, QStringLiteral("gif"));
    EXPECT_EQ(asked.initialName, QStringLiteral("prima.gif"));
    EXPECT_EQ(dialog.FileName(), QStringLiteral("/data/anim.gif"));
    EXPECT_EQ(dialog.FilterIndex(), 2);

    // The next dialog starts from the last choice; cancelling it loses that choice.
    dialog.ShowOpen();
    EXPECT_EQ(dialogs.fileDialogs[1].initialName, QStringLiteral("/data/anim.gif"));
    EXPECT_EQ(dialog.FileName(), QString());

    OpenSave plain;
    dialogs.saveAnswers = {QStringLiteral("/data/copia.gif")};
    plain.ShowSave();
    EXPECT_EQ(plain.FileName(), QStringLiteral("/data/copia.gif"));
    EXPECT_TRUE(dialogs.fileDialogs.back().nameFilters.isEmpty()) << "no filter list set";
}

TEST(OpenSave, InitialNameLongerThanTheDialogTakesIsRefusedBeforeAnyDialog)
{
    FakeModal dialogs;
    OpenSave dialog;
    dialog.setFileName(QString(OpenSave::kMaxFileName + 1, u'a'));
    try {
        dialog.ShowOpen();
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), RuntimeError::InvalidCall);
    }
    EXPECT_THROW(dialog.ShowSave(), RuntimeError);
    EXPECT_TRUE(dialogs.fileDialogs.empty());

    const QString longest(OpenSave::kMaxFileName, u'b');
    dialog.setFileName(longest);
    dialogs.openAnswers = {QString()};
    dialog.ShowOpen();
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].initialName, longest);
}

TEST(BrowseForFolder, AnswersTheFolderWithoutTrailingSeparatorOrEmptyOnCancel)
{
    FakeModal dialogs;
    QWidget owner;
    dialogs.folderAnswers = {QStringLiteral("/srv/out"), QStringLiteral("/srv/out//"),
                             QStringLiteral("/"), QString()};
    EXPECT_EQ(BrowseForFolder(&owner, QStringLiteral("Dove?")), QStringLiteral("/srv/out"));
    EXPECT_EQ(BrowseForFolder(&owner, QStringLiteral("Dove?")), QStringLiteral("/srv/out"));
    EXPECT_EQ(BrowseForFolder(&owner, QStringLiteral("Dove?")), QStringLiteral("/"));
    EXPECT_EQ(BrowseForFolder(&owner, QStringLiteral("Dove?")), QString());
    ASSERT_EQ(dialogs.folderPrompts.size(), 4u);
    EXPECT_EQ(dialogs.folderPrompts[0], QStringLiteral("Dove?"));
    EXPECT_EQ(dialogs.folderOwners[0], &owner);
}

TEST(ModalServices, ADialogWithNobodyToAnswerIsAFault)
{
    EXPECT_THROW(BrowseForFolder(nullptr, QStringLiteral("Dove?")), std::logic_error);
}

} // namespace
} // namespace skarvel::test
