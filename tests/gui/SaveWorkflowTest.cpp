// The save command: the folder dialog, the numbered BMP and GIF files, and the messages.
#include "WorkflowFixture.h"

#include "platform/Picture.h"

#include <QDir>

namespace skarvel::test {
namespace {

class SaveWorkflow : public WorkflowTest {
protected:
    void SetUp() override
    {
        WorkflowTest::SetUp();
        source = gif(QStringLiteral("my.anim.gif"), solidFrames(3, {2, 2, 2}));
        open(source);
        ASSERT_EQ(window->lLastFrame, 2);
        out = dir.file(QStringLiteral("out"));
        ASSERT_TRUE(QDir().mkdir(out));
    }

    QStringList savedFiles() const
    {
        return QDir(out).entryList(QDir::Files, QDir::Name);
    }

    // The bitmap the picture service writes for frame i, for comparing bytes.
    QByteArray expectedBitmap(std::size_t i) const
    {
        const QString path = dir.file(QStringLiteral("atteso.bmp"));
        SavePicture(window->Frames.frames[i].FramePicture, path);
        return readFile(path);
    }

    QString source;
    QString out;
};

TEST_F(SaveWorkflow, BitmapsNamedAfterTheFileAndTheSuccessMessage)
{
    // A file of the same name is replaced.
    dir.write(QStringLiteral("out/my1.bmp"), QByteArray("vecchio"));
    save(out);

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
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].prompt, QStringLiteral("I 3 files sono stati salvati correttamente"));
    EXPECT_EQ(dialogs.messages[0].buttons, vbInformation);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Skarvel"));
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
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].prompt, QStringLiteral("I 3 files sono stati salvati correttamente"));
    EXPECT_EQ(dialogs.messages[0].buttons, vbInformation);
}

TEST_F(SaveWorkflow, TheRunningAnimationDoesNotDisturbTheFiles)
{
    ASSERT_TRUE(window->Timer1->isActive());
    // The person takes a while in the folder dialog; the animation goes on meanwhile.
    int ticks = 0;
    const auto counting =
        QObject::connect(window->Timer1, &QTimer::timeout, window.get(), [&] { ++ticks; });
    dialogs.whileDialogOpen = [&] { QTest::qWait(150); };
    save(out);
    QObject::disconnect(counting);
    EXPECT_GT(ticks, 2) << "the animation ran during the dialog";
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(readFile(out + QStringLiteral("/my%1.bmp").arg(i)), expectedBitmap(i)) << i;
    EXPECT_TRUE(window->Timer1->isActive());
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
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].prompt,
                  QStringLiteral("Si è verificato un'errore durante il salvataggio dei files"));
        EXPECT_EQ(dialogs.messages[0].buttons, vbCritical);
        EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Skarvel"));
    }
    EXPECT_EQ(readFile(blocker), QByteArray("x"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 3)
        << "only the GIF, the blocking file and the empty output folder";
}

} // namespace
} // namespace skarvel::test
