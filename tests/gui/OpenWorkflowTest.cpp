// The open command: the reset, the file dialog, the split, its messages, and what a successful
// open shows.
#include "WorkflowFixture.h"

#include <QGuiApplication>

namespace skarvel::test {
namespace {

using OpenWorkflow = WorkflowTest;

TEST_F(OpenWorkflow, TwoFramesShowPathCountAndStartWithTheFirstDelay)
{
    const QString path = gif(QStringLiteral("due.gif"), solidFrames(2, {30, 70}, 24, true));
    open(path);

    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    const FileDialogRequest& asked = dialogs.fileDialogs[0];
    EXPECT_EQ(asked.title, QStringLiteral("Seleziona il file Gif da aprire"));
    EXPECT_EQ(asked.nameFilters, QStringList{QStringLiteral("Gif (*.gif)")});
    EXPECT_EQ(asked.owner, window.get());
    EXPECT_EQ(asked.initialName, QString());
    EXPECT_TRUE(dialogs.messages.empty());

    EXPECT_EQ(window->sGifFile, path);
    EXPECT_EQ(statusText(0), QStringLiteral("       ") + window->CompactPath(path));
    EXPECT_EQ(statusText(1), QStringLiteral("    Frames: 2"));
    EXPECT_TRUE(window->picButton[1]->isEnabled());
    EXPECT_EQ(window->lblNFrame[0]->Caption(), QStringLiteral("1"));
    EXPECT_EQ(window->lblNFrame[1]->Caption(), QStringLiteral("2"));
    EXPECT_FALSE(window->picUpDown[0]->isVisible());
    EXPECT_FALSE(window->picUpDown[1]->isVisible());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // The first tick comes after the first frame's own delay and shows that frame.
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_EQ(window->Timer1->interval(), 300);
    EXPECT_EQ(window->lCurFrame, -1);
    EXPECT_TRUE(window->bRefit);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->lCurFrame == 0; }, 2000));
    EXPECT_FALSE(blank(*window->picAnimGif));
}

TEST_F(OpenWorkflow, DownButtonFromFiveFramesOn)
{
    open(gif(QStringLiteral("quattro.gif"), solidFrames(4)));
    EXPECT_EQ(statusText(1), QStringLiteral("    Frames: 4"));
    EXPECT_FALSE(window->picUpDown[0]->isVisible());

    open(gif(QStringLiteral("cinque.gif"), solidFrames(5)));
    EXPECT_EQ(statusText(1), QStringLiteral("    Frames: 5"));
    EXPECT_TRUE(window->picUpDown[0]->isVisible());
    EXPECT_TRUE(window->picUpDown[0]->isEnabled());
    EXPECT_FALSE(window->picUpDown[1]->isVisible());
}

TEST_F(OpenWorkflow, CancelLeavesTheWindowResetWithoutAMessage)
{
    open(gif(QStringLiteral("sei.gif"), solidFrames(6)));
    ASSERT_TRUE(window->Timer1->isActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->lCurFrame >= 0; }, 2000));

    open(QString());
    expectReset();
    EXPECT_EQ(window->sGifFile, QString());
    EXPECT_TRUE(dialogs.messages.empty());
    // Nothing else runs afterwards.
    QTest::qWait(150);
    EXPECT_TRUE(blank(*window->picAnimGif));
}

TEST_F(OpenWorkflow, FilesThatCannotBeShownGiveTheirMessageAndLeaveTheWindowReset)
{
    GifBuilder single(16, 16, distinctColours(2));
    single.image(GifBuilder::solid(16, 16, 1));
    const QString unreadable = dir.file(QStringLiteral("cartella.gif"));
    ASSERT_TRUE(QDir().mkdir(unreadable));
    const QString notAnimated =
        QStringLiteral("Il file selezionato non è una Gif animata,  oppure non è una\r\n"
                       " GIF animata di tipo compatible con questo visualizzatore");
    const QString cannotOpen = QStringLiteral("Impossibile aprire il file");
    struct Case {
        QString path;
        QString message;
    } cases[] = {
        {gif(QStringLiteral("uno.gif"), single.build()), notAnimated},
        {gif(QStringLiteral("testo.gif"), QByteArray("non sono una GIF\n")), notAnimated},
        {unreadable, cannotOpen},
        {dir.file(QStringLiteral("manca.gif")), cannotOpen},
    };
    // A message never stands under the wait cursor.
    dialogs.whileMessageShown = [](const FakeModal::Message&) {
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    };

    for (const Case& c : cases) {
        open(gif(QStringLiteral("buona.gif"), solidFrames(3)));
        ASSERT_TRUE(window->Timer1->isActive());
        dialogs.messages.clear();

        open(c.path);
        ASSERT_EQ(dialogs.messages.size(), 1u) << c.path.toStdString();
        EXPECT_EQ(dialogs.messages[0].prompt, c.message);
        EXPECT_EQ(dialogs.messages[0].buttons, vbInformation);
        EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Skarvel"));
        EXPECT_EQ(dialogs.messages[0].owner, window.get());
        expectReset();
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

TEST_F(OpenWorkflow, SecondOpenStopsTheFirstAnimationBeforeItsDialog)
{
    open(gif(QStringLiteral("prima.gif"), solidFrames(5, {2, 2, 2, 2, 2})));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->lCurFrame >= 1; }, 2000));

    bool checked = false;
    dialogs.whileDialogOpen = [&] {
        expectReset();
        // The dialog takes its time; no tick paints meanwhile.
        QTest::qWait(100);
        EXPECT_TRUE(blank(*window->picAnimGif));
        checked = true;
    };
    open(gif(QStringLiteral("seconda.gif"), solidFrames(2, {40, 40})));
    EXPECT_TRUE(checked);
    EXPECT_EQ(statusText(1), QStringLiteral("    Frames: 2"));
    EXPECT_EQ(window->Timer1->interval(), 400);
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_EQ(window->lCurFrame, -1);
}

TEST_F(OpenWorkflow, CommandsWaitWhileTheStripIsDrawn)
{
    // The strip lets the window answer while it draws: a click on a command then is ignored
    // instead of replacing the frames under it.
    QTimer::singleShot(0, window.get(), [this] {
        window->picButton_Click(0);
        window->picButton_Click(2);
    });
    open(gif(QStringLiteral("lenta.gif"), solidFrames(6)));
    EXPECT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.formsShown, 0);
    EXPECT_EQ(statusText(1), QStringLiteral("    Frames: 6"));
    EXPECT_TRUE(window->Timer1->isActive());

    // Once it is done, they run again.
    dialogs.openAnswers.push_back(QString());
    window->picButton_Click(0);
    EXPECT_EQ(dialogs.fileDialogs.size(), 2u);
}

} // namespace
} // namespace skarvel::test
