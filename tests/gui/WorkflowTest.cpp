// The commands on real GIF files with their dialogs answered by the test: open (its reset, the
// split while the window goes on painting, its messages), save (the numbered BMP and GIF files),
// files handed over by the desktop or dropped, and the three commands from their buttons and keys.
#include "WindowFixture.h"

#include "about/frmAbout.h"
#include "files/FileIO.h"
#include "files/FilePath.h"
#include "frames/ExportGifFrames.h"
#include "frames/Messages.h"
#include "frames/SaveFrames.h"
#include "picture/Picture.h"
#include "runtime/ClickLabel.h"

#include <QDir>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QScopeGuard>
#include <QUrl>

#include <unistd.h>

#include <filesystem>

namespace skarvel::test {
namespace {

using OpenWorkflow = MainWindowTest;
const QString kOpenTitle = QStringLiteral("Seleziona il file Gif da aprire"), kFolderTitle = QStringLiteral("Seleziona la directory di destinazione:");

TEST_F(OpenWorkflow, OpenShowsTheFileThenTheNextOpenResetsBeforeItsDialog)
{
    const QString path = gif(QStringLiteral("due.gif"), solidFrames(2, {30, 70}, 24, true));
    open(path);
    const FileDialogRequest& asked = dialogs.asked.at(0);
    EXPECT_EQ(std::make_tuple(asked.title, asked.nameFilters, asked.owner),
              std::make_tuple(kOpenTitle, QStringList{QStringLiteral("Gif (*.gif)")}, static_cast<QWidget*>(window.get())));
    EXPECT_EQ(std::make_tuple(window->sGifFile, statusText(0), statusText(1), captions()),
              std::make_tuple(path, QStringLiteral("       ") + window->CompactPath(path), QStringLiteral("    Frames: 2"),
                              std::vector<std::string>{"1", "2", "", ""}));
    EXPECT_TRUE(dialogs.messages.empty() && window->picButton[1]->isEnabled() && !QGuiApplication::overrideCursor() &&
                !window->picUpDown[0]->isVisible() && !window->picUpDown[1]->isVisible());
    // The first tick comes after the first frame's own delay and shows that frame.
    EXPECT_EQ(std::make_tuple(window->Timer1->isActive(), window->Timer1->interval(), window->lCurFrame),
              std::make_tuple(true, 300, -1));
    ASSERT_EVENTUALLY(window->lCurFrame == 0, kLong);
    EXPECT_FALSE(blank(*window->picAnimGif));

    // The next open stops and clears everything before its dialog; from five frames on the strip
    // has its down button.
    dialogs.whileDialogOpen = [&] { expectReset(); };
    open(gif(QStringLiteral("cinque.gif"), solidFrames(5, {40})));
    EXPECT_EQ(std::make_tuple(statusText(1), window->Timer1->interval(), window->picUpDown[0]->isVisible(), window->picUpDown[0]->isEnabled()),
              std::make_tuple(QStringLiteral("    Frames: 5"), 400, true, true));

    // Cancelling leaves the window reset, without a message.
    dialogs.whileDialogOpen = nullptr;
    open(QString());
    expectReset();
    EXPECT_TRUE(window->sGifFile.isEmpty() && dialogs.messages.empty());
}

// The files in `folder`, each whole: the first of `frames` as `format`, under their numbered
// names, and nothing else. Answers how many there are.
int frameFiles(const FrameTable& frames, const ScratchDir& dir, const QString& folder, FrameFormat format)
{
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    QStringList names;
    for (std::size_t i = 0; i < std::size_t(files.size()); ++i) {
        names << FramePath(QStringLiteral("my"), i, format);
        const QString expected = dir.file(QStringLiteral("atteso"));
        format == FrameFormat::Bmp ? SavePicture(frames.FramePicture(i), expected) : WriteWholeFile(expected, GifFileParts(frames, i));
        EXPECT_EQ(readFile(folder + u'/' + names.back()), readFile(expected)) << i;
    }
    names.sort();
    EXPECT_EQ(files, names);
    return int(files.size());
}

class LongWork : public MainWindowTest {
protected:
    // 250 frames, made once: the work is held after its first one while the test acts.
    static const QByteArray& longGif()
    {
        static const QByteArray bytes = solidFrames(250, {}, 40, true);
        return bytes;
    }
    // Runs `during` once the work that the next dialog's answer starts is under way, the work held
    // after its first step until `during` is over; `counting` keeps what the status bar's second
    // panel showed, under the wait cursor, once it began with it.
    void whileWorking(std::function<void()> during, const QString& counting = {}, QString* counted = nullptr)
    {
        const std::function<void()> letGo = holdWork();
        dialogs.whileDialogOpen = [=, this] {
            QTimer::singleShot(0, window.get(), [=, this] {
                const auto handled = qScopeGuard(letGo);
                if (counted) {
                    static_cast<void>(QTest::qWaitFor([&] { return statusText(1).startsWith(counting); }, kLong));
                    *counted = QGuiApplication::overrideCursor() ? statusText(1).mid(counting.size()) : QString();
                }
                during();
            });
        };
    }
};

TEST_F(LongWork, AnOpenCountsItsFramesAndEscOrClosingStopsIt)
{
    // The count grows in the status bar; Esc stops the split and leaves the window as a cancelled
    // dialog does. Closing stops it too, then closes the window and ends the program.
    const QString path = gif(QStringLiteral("lunga.gif"), longGif());
    QString counted;
    whileWorking([&] { key(Qt::Key_Escape); }, QStringLiteral("    Frames: "), &counted);
    open(path);
    EXPECT_EQ(counted, QStringLiteral("1"));
    expectReset();
    EXPECT_TRUE(window->sGifFile.isEmpty() && dialogs.messages.empty() && window->Frames.empty());
    // The window stays until the work has stopped: what the work uses must not go under it.
    bool stayed = false;
    whileWorking([&] { stayed = !window->close() && window->isVisible() && ends == 0; });
    open(path);
    EXPECT_EQ(std::make_tuple(stayed, ends, window->isVisible(), dialogs.messages.size()), std::make_tuple(true, 1, false, std::size_t(0)));
}

TEST_F(LongWork, AnOpenLetsTheOpenedFileGoBeforeItReadsTheNext)
{
    // Two files' frames need not fit in memory together: while the next split counts, nothing
    // holds the pictures or the bytes of the file opened before but this test.
    const QString path = gif(QStringLiteral("lunga.gif"), longGif());
    open(path);
    ASSERT_EVENTUALLY(window->lCurFrame >= 1, kLong);
    const std::weak_ptr<FramePictures> pictures = window->Frames.pictures;
    QByteArray bytes = window->Frames.gifBytes;
    ASSERT_TRUE(!pictures.expired() && !bytes.isDetached());
    bool let = false;
    QString counted;
    whileWorking([&] { let = pictures.expired() && bytes.isDetached(); }, QStringLiteral("    Frames: "), &counted);
    open(path);
    EXPECT_TRUE(let && counted.toInt() >= 1 && counted.toInt() < 250) << counted.toStdString();
    EXPECT_EQ(statusText(1), QStringLiteral("    Frames: 250"));
}

TEST_F(LongWork, ASaveCountsItsFilesAndEscOrClosingStopsItKeepingWholeFiles)
{
    // While the animation goes on, the status bar counts the files; Esc stops the save without a
    // message and the frame count comes back. Closing during a save of GIF files stops it, then
    // closes the window.
    open(gif(QStringLiteral("my.gif"), longGif()));
    const QString bitmaps = dir.file(QStringLiteral("bmp")), gifs = dir.file(QStringLiteral("gif"));
    ASSERT_TRUE(QDir().mkdir(bitmaps) && QDir().mkdir(gifs));
    QString counted;
    // The strip's button and key are held off with the rest of the input.
    whileWorking([&] {
        click(upDown(0));
        key(Qt::Key_Down);
        key(window->Timer1->isActive() ? Qt::Key_Escape : Qt::Key_X);
    }, QStringLiteral("    Salvati: "), &counted);
    save(bitmaps);
    EXPECT_TRUE(counted == QStringLiteral("1") && dialogs.messages.empty() && window->Timer1->isActive() && window->VScroll->value() == 0)
        << counted.toStdString();
    EXPECT_EQ(statusText(1), QStringLiteral("    Frames: 250"));
    EXPECT_EQ(frameFiles(window->Frames, dir, bitmaps, FrameFormat::Bmp), 1);
    window->optTipoFiles[1]->click();
    bool stayed = false;
    whileWorking([&] { stayed = !window->close() && window->isVisible() && window->Frames.frames.size() == 250; },
                 QStringLiteral("    Salvati: "), &counted);
    save(gifs);
    EXPECT_EQ(std::make_tuple(stayed, counted, ends, window->isVisible(), dialogs.messages.size()),
              std::make_tuple(true, QStringLiteral("1"), 1, false, std::size_t(0)));
    // The closed window has let its frames go: the file is split again for what it wrote.
    FrameTable frames;
    ASSERT_EQ(SplitGifBytes(longGif(), frames), 249);
    EXPECT_EQ(frameFiles(frames, dir, gifs, FrameFormat::Gif), 1);
}

// Offers `data` to the window as a drag that ends in a drop; answers whether it was taken.
bool dropOn(QWidget& window, const QMimeData& data)
{
    const QPoint centre = window.rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    return drop.isAccepted();
}

TEST_F(OpenWorkflow, FilesThatCannotBeShownGiveTheirMessageAndFilesFromTheDesktopOpen)
{
    const QString folder = dir.file(QStringLiteral("cartella.gif"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const std::pair<QString, QString> cases[] = {
        {gif(QStringLiteral("uno.gif"), solidFrames(1)), messages::notAnimated()},
        {gif(QStringLiteral("testo.gif"), QByteArray("non sono una GIF\n")), messages::notAnimated()},
        {folder, messages::cannotOpen()},
        {dir.file(QStringLiteral("manca.gif")), messages::cannotOpen()},
    };
    for (const auto& [path, message] : cases) {
        open(gif(QStringLiteral("buona.gif"), solidFrames(3)));
        ASSERT_TRUE(window->Timer1->isActive());
        open(path);
        SCOPED_TRACE(path.toStdString());
        expectMessage(message, vbInformation);
        expectReset();
    }

    // A file handed over by the desktop opens without the dialog, its path made whole.
    const QString given = gif(QStringLiteral("my.anim.gif"), solidFrames(3));
    window->OpenGivenFile(QDir::current().relativeFilePath(given));
    EXPECT_EQ(std::make_tuple(window->sGifFile, statusText(1), dialogs.asked.size()),
              std::make_tuple(given, QStringLiteral("    Frames: 3"), std::size_t(8)));
    // So does a relative name that is not UTF-8, in a working oddFolder that is not either, by its bytes.
    const QByteArray oddFolder = EncodeFilePath(dir.path()) + "/d\xff", odd = "b\xff\xfeutf.gif";
    std::filesystem::create_directory(oddFolder.toStdString());
    std::filesystem::copy_file(EncodeFilePath(given).toStdString(), (oddFolder + '/' + odd).toStdString());
    const std::string was = std::filesystem::current_path();
    ASSERT_EQ(::chdir(oddFolder.constData()), 0);
    window->OpenGivenFile(DecodeFilePath(odd));
    std::filesystem::current_path(was);
    EXPECT_EQ(std::make_tuple(EncodeFilePath(window->sGifFile), statusText(1), dialogs.asked.size()),
              std::make_tuple(oddFolder + '/' + odd, QStringLiteral("    Frames: 3"), std::size_t(8)));
    std::filesystem::remove_all(oddFolder.toStdString()); // Qt cannot name it to remove it

    // A drop opens its first local file; one of only web addresses or text is refused.
    const QUrl web(QStringLiteral("https://example.org/web.gif"));
    const QString first = gif(QStringLiteral("uno.gif"), solidFrames(5));
    QMimeData files, remote, text;
    files.setUrls({web, QUrl::fromLocalFile(first), QUrl::fromLocalFile(given)});
    remote.setUrls({web});
    text.setText(first);
    EXPECT_FALSE(dropOn(*window, remote) || dropOn(*window, text));
    ASSERT_TRUE(dropOn(*window, files));
    ASSERT_EVENTUALLY(window->sGifFile == first && statusText(1) == QStringLiteral("    Frames: 5") && dialogs.asked.size() == 8, kLong);
}

TEST_F(MainWindowTest, SaveWritesBitmapsOrGifFilesNamedAfterTheFileOrSaysWhyNot)
{
    open(gif(QStringLiteral("my.anim.gif"), solidFrames(3, {2})));
    const QString out = dir.file(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkdir(out));
    // A file of the same name is replaced; the animation goes on during the folder dialog.
    dir.write(QStringLiteral("out/my1.bmp"), QByteArray("vecchio"));
    int ticks = 0;
    QObject::connect(window->Timer1, &QTimer::timeout, window.get(), [&] { ++ticks; });
    // Long enough for a few ticks even on a slow machine; the wait ends as soon as they came.
    dialogs.whileDialogOpen = [&] { static_cast<void>(QTest::qWaitFor([&] { return ticks > 2; }, 10000)); };
    save(out);
    EXPECT_TRUE(ticks > 2 && dialogs.asked.at(1).owner == window.get()) << ticks;
    EXPECT_EQ(frameFiles(window->Frames, dir, out, FrameFormat::Bmp), 3);
    expectMessage(QStringLiteral("I 3 files sono stati salvati correttamente"), vbInformation);

    // As GIF files: the frames cut from the file; a folder given with its separator gets no
    // second one.
    dialogs.whileDialogOpen = nullptr;
    ASSERT_TRUE(QDir(out).removeRecursively() && QDir().mkdir(out));
    window->optTipoFiles[1]->click();
    save(out + u'/');
    EXPECT_EQ(frameFiles(window->Frames, dir, out, FrameFormat::Gif), 3);
    expectMessage(QStringLiteral("I 3 files sono stati salvati correttamente"), vbInformation);

    // Cancel writes nothing; a folder path through a regular file cannot be written, not even
    // by root, in either format.
    save(QString());
    EXPECT_TRUE(dialogs.messages.empty());
    const QString blocker = dir.write(QStringLiteral("file"), QByteArray("x"));
    for (QRadioButton* format : window->optTipoFiles) {
        format->click();
        save(blocker + QStringLiteral("/sotto"));
        expectMessage(QStringLiteral("Si è verificato un'errore durante il salvataggio dei files"), vbCritical);
    }
    EXPECT_EQ(readFile(blocker), QByteArray("x"));
}

TEST_F(MainWindowTest, EachCommandFromItsButtonAndItsKey)
{
    // Nothing opened yet: the save button and its key are disabled and reach nothing. Keys
    // leave the mouse to nobody.
    click(at(window->picButton[1], {8, 8}));
    key(Qt::Key_S, Qt::ControlModifier);
    dialogs.answers = {gif(QStringLiteral("anim.gif"), solidFrames(2)), QString(), QString(), QString()};
    click(at(window->picButton[0], {8, 8}));
    EXPECT_EQ(statusText(1), QStringLiteral("    Frames: 2"));
    click(at(window->picButton[1], {8, 8}));
    move(QPoint(300, 300));
    key(Qt::Key_S, Qt::ControlModifier);
    key(Qt::Key_O, Qt::ControlModifier);
    QStringList titles;
    for (const FileDialogRequest& asked : dialogs.asked)
        titles << asked.title;
    EXPECT_EQ(std::make_pair(titles, QWidget::mouseGrabber()), std::make_pair(QStringList{kOpenTitle, kFolderTitle, kFolderTitle, kOpenTitle}, none));

    // The about window, modal over the main window, a new one each time: clicks reach it (the
    // pressed button does not keep the mouse), and Escape closes it.
    std::vector<QPointer<frmAbout>> shown;
    dialogs.whileFormShown = [&](QWidget& form) {
        shown.emplace_back(dynamic_cast<frmAbout*>(&form));
        ASSERT_TRUE(shown.back() && shown.back()->parentWidget() == window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        const QPoint p = shown.back()->lblEmail->mapTo(&form, QPoint(5, 5));
        if (shown.size() == 1)
            QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, p);
        else
            QTest::keyClick(form.windowHandle(), Qt::Key_Escape);
        EXPECT_FALSE(form.isVisible());
    };
    click(at(window->picButton[2], {8, 8}));
    key(Qt::Key_F1);
    EXPECT_EQ(std::make_tuple(dialogs.formsShown, dialogs.urls, shown[0] || shown[1]),
              std::make_tuple(2, std::vector<QString>{QStringLiteral("mailto:") + LoadAboutInfo().authorEmail}, false));

    // Indexes of no button do nothing.
    window->picButton_Click(3);
    window->picButton_Click(-1);
    EXPECT_EQ(std::make_pair(dialogs.asked.size(), dialogs.formsShown), std::make_pair(std::size_t(4), 2));
}

} // namespace
} // namespace skarvel::test
