// The skarvel-frames command, run as a separate process.
#include "support/GifBuilder.h"
#include "support/GifOracle.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

using namespace skarvel::test;

namespace {

struct CliRun {
    int code = -1;
    QByteArray out;
    QString err;
};

CliRun run(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(SKARVEL_FRAMES_EXE), args);
    process.waitForFinished(60000);
    CliRun result;
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QByteArray twoFrames()
{
    ImageSpec second = GifBuilder::pattern(3, 2, 4, 1);
    second.left = 1;
    second.top = 2;
    second.control = GraphicControl{1, 0, 2};
    ImageSpec first = GifBuilder::pattern(5, 4, 4);
    first.control = GraphicControl{2, 25};
    return GifBuilder(5, 4, distinctColours(4)).image(first).image(second).build();
}

} // namespace

TEST(Cli, InfoPrintsTheFrameTable)
{
    const ScratchDir dir;
    const CliRun r = run({QStringLiteral("info"), dir.write(QStringLiteral("a.gif"), twoFrames())});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(json.value(QStringLiteral("result")).toInt(), 1);
    EXPECT_EQ(json.value(QStringLiteral("width")).toInt(), 5);
    EXPECT_EQ(json.value(QStringLiteral("height")).toInt(), 4);
    const QJsonArray frames = json.value(QStringLiteral("frames")).toArray();
    ASSERT_EQ(frames.size(), 2);
    const QJsonObject second = frames[1].toObject();
    EXPECT_EQ(second.value(QStringLiteral("index")).toInt(), 1);
    EXPECT_EQ(second.value(QStringLiteral("clear")).toBool(), false);
    EXPECT_EQ(second.value(QStringLiteral("delay")).toInt(), 100);
    EXPECT_EQ(second.value(QStringLiteral("left")).toInt(), 1);
    EXPECT_EQ(second.value(QStringLiteral("top")).toInt(), 2);
    EXPECT_EQ(second.value(QStringLiteral("width")).toInt(), 3);
    EXPECT_EQ(second.value(QStringLiteral("height")).toInt(), 2);
    EXPECT_EQ(frames[0].toObject().value(QStringLiteral("clear")).toBool(), true);
    EXPECT_EQ(frames[0].toObject().value(QStringLiteral("delay")).toInt(), 250);
}

TEST(Cli, ResultsBelowOneGiveTheirMessagesAndCodes)
{
    const ScratchDir dir;
    const CliRun single = run({QStringLiteral("info"), dir.write(QStringLiteral("s.gif"), GifBuilder(2, 2, distinctColours(2)).image(GifBuilder::solid(2, 2, 1)).build())});
    EXPECT_EQ(single.code, 1);
    EXPECT_TRUE(single.err.contains(QStringLiteral("non è una Gif animata,  oppure non è una\n GIF animata")));
    EXPECT_EQ(QJsonDocument::fromJson(single.out).object().value(QStringLiteral("result")).toInt(), 0);

    const CliRun missing = run({QStringLiteral("info"), dir.file(QStringLiteral("none.gif"))});
    EXPECT_EQ(missing.code, 2);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("Impossibile aprire il file")));
    EXPECT_TRUE(missing.err.contains(QStringLiteral("non esiste")));

    const CliRun folder = run({QStringLiteral("info"), dir.path()});
    EXPECT_EQ(folder.code, 2);
    EXPECT_TRUE(folder.err.contains(QStringLiteral("cartella")));

    const CliRun empty = run({QStringLiteral("info"), dir.write(QStringLiteral("e.gif"), QByteArray())});
    EXPECT_EQ(empty.code, 1);
    EXPECT_TRUE(empty.err.contains(QStringLiteral("vuoto")));
}

TEST(Cli, ExportWritesEveryFrame)
{
    const ScratchDir dir;
    const QString gif = dir.write(QStringLiteral("my.anim.gif"), twoFrames());
    const QString out = dir.file(QStringLiteral("out"));
    QDir().mkdir(out);

    const CliRun bmp = run({QStringLiteral("export"), gif, out});
    EXPECT_EQ(bmp.code, 0) << bmp.err.toStdString();
    EXPECT_EQ(bmp.out.trimmed(), QByteArray("I 2 files sono stati salvati correttamente"));
    EXPECT_FALSE(QImage(out + QStringLiteral("/my1.bmp")).isNull());

    const CliRun asGif = run({QStringLiteral("export"), gif, out, QStringLiteral("--format"), QStringLiteral("gif")});
    EXPECT_EQ(asGif.code, 0);
    for (const char* name : {"/my0.gif", "/my1.gif"})
        EXPECT_TRUE(slurpGif(readFile(out + QString::fromLatin1(name)))) << name;

    // A relative path is named after its file too.
    QProcess relative;
    relative.setWorkingDirectory(dir.path());
    relative.start(QStringLiteral(SKARVEL_FRAMES_EXE), {QStringLiteral("export"), QStringLiteral("my.anim.gif"), QStringLiteral(".")});
    relative.waitForFinished(60000);
    EXPECT_EQ(relative.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("my0.bmp"))));

    const CliRun noFolder = run({QStringLiteral("export"), gif, dir.file(QStringLiteral("absent"))});
    EXPECT_EQ(noFolder.code, 3);
    EXPECT_TRUE(noFolder.err.contains(QStringLiteral("Si è verificato un'errore durante il salvataggio dei files")));
}

TEST(Cli, UsageErrors)
{
    EXPECT_EQ(run({}).code, 64);
    EXPECT_EQ(run({QStringLiteral("split")}).code, 64);
    EXPECT_EQ(run({QStringLiteral("info")}).code, 64);
    EXPECT_EQ(run({QStringLiteral("export"), QStringLiteral("a.gif")}).code, 64);
    EXPECT_EQ(run({QStringLiteral("export"), QStringLiteral("a.gif"), QStringLiteral("."), QStringLiteral("--format"), QStringLiteral("png")}).code, 64);
    const CliRun help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains("skarvel-frames export"));
    const CliRun version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(version.out.contains("1.3.0"));
}
