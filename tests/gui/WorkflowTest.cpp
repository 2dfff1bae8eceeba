// The commands on real GIF files with their dialogs answered by the test: open (its reset, the
// split, its messages), save (the numbered BMP and GIF files), files handed over by the desktop
// (the program argument, a drop), and real clicks on the three command buttons.
#include "WindowFixture.h"

#include "about/frmAbout.h"
#include "platform/ClickLabel.h"
#include "frames/Messages.h"
#include "platform/LightControls.h"
#include "platform/Picture.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

namespace skarvel::test {
namespace {

using OpenWorkflow = MainWindowTest;

TEST_F(OpenWorkflow, TwoFramesShowPathCountAndFirstDelayThenCancelResets)
{
    const QString path = gif(QStringLiteral("due.gif"), solidFrames(2, {30, 70}, 24, true));
    open(path);
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    const FileDialogRequest& asked = dialogs.fileDialogs[0];
    EXPECT_EQ(asked.title, QStringLiteral("Seleziona il file Gif da aprire"));
    EXPECT_EQ(asked.nameFilters, QStringList{QStringLiteral("Gif (*.gif)")});
    EXPECT_EQ(asked.owner, window.get());
    EXPECT_TRUE(dialogs.messages.empty());

    EXPECT_EQ(window->sGifFile, path);
    EXPECT_EQ(statusText(0), QStringLiteral("       ") + window->CompactPath(path));
    EXPECT_EQ(statusText(1), QStringLiteral("    Frames: 2"));
    EXPECT_TRUE(window->picButton[1]->isEnabled());
    EXPECT_EQ(captions(), (std::vector<std::string>{"1", "2", "", ""}));
    EXPECT_FALSE(window->picUpDown[0]->isVisible() || window->picUpDown[1]->isVisible());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    // The first tick comes after the first frame's own delay and shows that frame.
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_EQ(window->Timer1->interval(), 300);
    EXPECT_EQ(window->lCurFrame, -1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->lCurFrame == 0; }, 2000));
    EXPECT_FALSE(blank(*window->picAnimGif));

    // Cancelling the next dialog leaves the window reset, without a message, and nothing runs.
    open(QString());
    expectReset();
    EXPECT_EQ(window->sGifFile, QString());
    EXPECT_TRUE(dialogs.messages.empty());
    QTest::qWait(150);
    EXPECT_TRUE(blank(*window->picAnimGif));
}

TEST_F(OpenWorkflow, DownButtonFromFiveFramesOn)
{
    open(gif(QStringLiteral("quattro.gif"), solidFrames(4)));
    EXPECT_FALSE(window->picUpDown[0]->isVisible());
    open(gif(QStringLiteral("cinque.gif"), solidFrames(5)));
    EXPECT_EQ(statusText(1), QStringLiteral("    Frames: 5"));
    EXPECT_TRUE(window->picUpDown[0]->isVisible());
    EXPECT_TRUE(window->picUpDown[0]->isEnabled());
    EXPECT_FALSE(window->picUpDown[1]->isVisible());
    EXPECT_EQ(window->VScroll->maximum(), 1);
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
    const std::pair<QString, QString> cases[] = {
        {gif(QStringLiteral("uno.gif"), single.build()), notAnimated},
        {gif(QStringLiteral("testo.gif"), QByteArray("non sono una GIF\n")), notAnimated},
        {unreadable, cannotOpen},
        {dir.file(QStringLiteral("manca.gif")), cannotOpen},
    };
    // A message never stands under the wait cursor.
    dialogs.whileMessageShown = [](const FakeModal::Message&) {
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    };
    for (const auto& [path, message] : cases) {
        open(gif(QStringLiteral("buona.gif"), solidFrames(3)));
        ASSERT_TRUE(window->Timer1->isActive());
        dialogs.messages.clear();
        open(path);
        SCOPED_TRACE(path.toStdString());
        expectMessage(message, vbInformation);
        expectReset();
    }
}

TEST_F(OpenWorkflow, SecondOpenStopsTheFirstAnimationBeforeItsDialog)
{
    open(gif(QStringLiteral("prima.gif"), solidFrames(5, {2})));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->lCurFrame >= 1; }, 2000));
    bool checked = false;
    dialogs.whileDialogOpen = [&] {
        expectReset();
        // The dialog takes its time; no tick paints meanwhile.
        QTest::qWait(100);
        EXPECT_TRUE(blank(*window->picAnimGif));
        checked = true;
    };
    open(gif(QStringLiteral("seconda.gif"), solidFrames(2, {40})));
    EXPECT_TRUE(checked);
    EXPECT_EQ(statusText(1), QStringLiteral("    Frames: 2"));
    EXPECT_EQ(window->Timer1->interval(), 400);
    EXPECT_TRUE(window->Timer1->isActive());
}

TEST_F(OpenWorkflow, CommandsWaitWhileTheStripIsDrawn)
{
    // The strip lets the window answer while it draws: a click on a command then is ignored
    // instead of replacing the frames under it; once it is done, they run again.
    QTimer::singleShot(0, window.get(), [this] {
        window->picButton_Click(0);
        window->picButton_Click(2);
    });
    open(gif(QStringLiteral("lenta.gif"), solidFrames(6)));
    EXPECT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.formsShown, 0);
    EXPECT_EQ(statusText(1), QStringLiteral("    Frames: 6"));
    open(QString());
    EXPECT_EQ(dialogs.fileDialogs.size(), 2u);
}

class SaveWorkflow : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        open(gif(QStringLiteral("my.anim.gif"), solidFrames(3, {2})));
        ASSERT_EQ(window->lLastFrame, 2);
        out = dir.file(QStringLiteral("out"));
        ASSERT_TRUE(QDir().mkdir(out));
    }

    QStringList savedFiles() const { return QDir(out).entryList(QDir::Files, QDir::Name); }
    void expectSuccess() const { expectMessage(QStringLiteral("I 3 files sono stati salvati correttamente"), vbInformation); }

    // The bitmap the picture service writes for frame i, for comparing bytes.
    QByteArray expectedBitmap(std::size_t i) const
    {
        const QString path = dir.file(QStringLiteral("atteso.bmp"));
        SavePicture(window->Frames.frames[i].FramePicture, path);
        return readFile(path);
    }

    QString out;
};

TEST_F(SaveWorkflow, BitmapsNamedAfterTheFileWhileTheAnimationRuns)
{
    // A file of the same name is replaced.
    dir.write(QStringLiteral("out/my1.bmp"), QByteArray("vecchio"));
    // The person takes a while in the folder dialog; the animation goes on meanwhile.
    int ticks = 0;
    QObject::connect(window->Timer1, &QTimer::timeout, window.get(), [&] { ++ticks; });
    dialogs.whileDialogOpen = [&] { QTest::qWait(150); };
    save(out);
    EXPECT_GT(ticks, 2) << "the animation ran during the dialog";
    EXPECT_TRUE(window->Timer1->isActive());

    ASSERT_EQ(dialogs.folderPrompts.size(), 1u);
    EXPECT_EQ(dialogs.folderPrompts[0], QStringLiteral("Seleziona la directory di destinazione:"));
    EXPECT_EQ(dialogs.folderOwners[0], window.get());
    EXPECT_EQ(savedFiles(), (QStringList{QStringLiteral("my0.bmp"), QStringLiteral("my1.bmp"),
                                         QStringLiteral("my2.bmp")}));
    for (std::size_t i = 0; i < 3; ++i) {
        const QByteArray saved = readFile(out + QStringLiteral("/my%1.bmp").arg(i));
        EXPECT_EQ(saved, expectedBitmap(i)) << i;
        EXPECT_EQ(QImage::fromData(saved).pixelColor(5, 5),
                  window->Frames.frames[i].FramePicture.image().pixelColor(5, 5));
    }
    expectSuccess();
}

TEST_F(SaveWorkflow, GifFilesAreTheFramesCutFromTheFile)
{
    window->optTipoFiles[1]->click();
    // A folder given with its separator gets no second one.
    save(out + u'/');
    EXPECT_EQ(savedFiles(), (QStringList{QStringLiteral("my0.gif"), QStringLiteral("my1.gif"),
                                         QStringLiteral("my2.gif")}));
    for (std::size_t i = 0; i < 3; ++i) {
        const Picture picture = LoadPicture(readFile(out + QStringLiteral("/my%1.gif").arg(i)));
        EXPECT_EQ(picture.image(), window->Frames.frames[i].FramePicture.image()) << i;
    }
    expectSuccess();
}

TEST_F(SaveWorkflow, CancelOrAnUnwritableFolderWriteNothing)
{
    // Cancelling does nothing at all.
    save(QString());
    EXPECT_TRUE(dialogs.messages.empty());

    // A folder path that runs through a regular file cannot be written, not even by root.
    const QString blocker = dir.write(QStringLiteral("file"), QByteArray("x"));
    const QString nowhere = blocker + QStringLiteral("/sotto");
    for (QRadioButton* format : window->optTipoFiles) {
        format->click();
        dialogs.messages.clear();
        save(nowhere);
        expectMessage(QStringLiteral("Si è verificato un'errore durante il salvataggio dei files"), vbCritical);
    }
    EXPECT_EQ(readFile(blocker), QByteArray("x"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 3)
        << "only the GIF, the blocking file and the empty output folder";
}

using DesktopOpen = MainWindowTest;

// Offers `urls` to the window as a drag that ends in a drop; answers whether the drag was taken.
bool dropOn(QWidget& window, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint centre = window.rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    return drop.isAccepted();
}

TEST_F(DesktopOpen, AGivenFileOpensWithoutTheDialogAMissingOneGivesItsMessage)
{
    open(gif(QStringLiteral("prima.gif"), solidFrames(6)));
    const QString path = gif(QStringLiteral("my.anim.gif"), solidFrames(3));
    // A path relative to the working folder, as a shell passes it.
    window->OpenGivenFile(QDir::current().relativeFilePath(path));
    EXPECT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(window->sGifFile, path);
    EXPECT_EQ(statusText(1), QStringLiteral("    Frames: 3"));
    // The reset ran: the earlier file's down button is gone, the strip starts again.
    EXPECT_FALSE(window->picUpDown[0]->isVisible());
    EXPECT_EQ(captions(), (std::vector<std::string>{"1", "2", "3", ""}));
    EXPECT_TRUE(window->Timer1->isActive());

    window->OpenGivenFile(dir.file(QStringLiteral("assente.gif")));
    expectMessage(messages::cannotOpen(), vbInformation);
    expectReset();
}

TEST_F(DesktopOpen, ADropOpensTheFirstLocalFileAndNothingElse)
{
    const QString web = QStringLiteral("https://example.org/web.gif");
    const QString first = gif(QStringLiteral("uno.gif"), solidFrames(5));
    ASSERT_TRUE(dropOn(*window, {QUrl(web), QUrl::fromLocalFile(first),
                                 QUrl::fromLocalFile(gif(QStringLiteral("due.gif"), solidFrames(2)))}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Timer1->isActive(); }, 5000));
    EXPECT_EQ(window->sGifFile, first);
    EXPECT_EQ(statusText(1), QStringLiteral("    Frames: 5"));
    EXPECT_TRUE(dialogs.fileDialogs.empty());

    // No local file, or plain text: refused, and the open file stays.
    EXPECT_FALSE(dropOn(*window, {QUrl(web)}));
    QMimeData text;
    text.setText(first);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    QCoreApplication::processEvents();
    EXPECT_EQ(window->sGifFile, first);
    EXPECT_TRUE(window->Timer1->isActive());
}

class CommandDispatch : public MainWindowTest {
protected:
    void click(int index)
    {
        const QPoint p = at(window->picButton[std::size_t(index)], {8, 8});
        move(p);
        press(p);
        release(p);
    }
};

TEST_F(CommandDispatch, EachButtonRunsItsCommand)
{
    // Nothing opened yet: the save button is disabled and a click on it reaches nothing.
    click(1);
    EXPECT_TRUE(dialogs.folderPrompts.empty());

    dialogs.openAnswers.push_back(gif(QStringLiteral("anim.gif"), solidFrames(2)));
    click(0);
    EXPECT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(statusText(1), QStringLiteral("    Frames: 2"));

    dialogs.folderAnswers.push_back(QString());
    click(1);
    EXPECT_EQ(dialogs.folderPrompts.size(), 1u);

    // The about window, modal over the main window; clicks reach it (the pressed button does
    // not keep the mouse), and each showing is a new window, gone when closed.
    QPointer<frmAbout> shown;
    dialogs.whileFormShown = [&](QWidget& form) {
        shown = dynamic_cast<frmAbout*>(&form);
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->parentWidget(), window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shown));
        const QPoint p = shown->lblEmail->mapTo(shown, QPoint(5, 5));
        QTest::mouseMove(shown->windowHandle(), p);
        QTest::mouseClick(shown->windowHandle(), Qt::LeftButton, {}, p);
        EXPECT_FALSE(shown->isVisible());
    };
    click(2);
    EXPECT_EQ(dialogs.formsShown, 1);
    EXPECT_EQ(dialogs.urls, std::vector<QString>{QStringLiteral("mailto:") + LoadAboutInfo().authorEmail});
    EXPECT_FALSE(shown);
    click(2);
    EXPECT_EQ(dialogs.formsShown, 2);

    // Indexes of no button do nothing.
    window->picButton_Click(3);
    window->picButton_Click(-1);
    EXPECT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.folderPrompts.size(), 1u);
    EXPECT_EQ(dialogs.formsShown, 2);
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
} // namespace skarvel::test
