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

CliRun run(const QStringList& args, const QString& folder = QString())
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(SKARVEL_FRAMES_EXE), args);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

QByteArray twoFrames()
{
    ImageSpec first = GifBuilder::pattern(5, 4, 4);
    first.control = GraphicControl{2, 25};
    ImageSpec second = GifBuilder::pattern(3, 2, 4, 1);
    second.left = 1;
    second.top = 2;
    second.control = GraphicControl{1, 0, 2};
    return GifBuilder(5, 4, distinctColours(4)).image(first).image(second).build();
}

} // namespace

TEST(Cli, InfoPrintsTheFrameTable)
{
    const ScratchDir dir;
    const CliRun r = run({QStringLiteral("info"), dir.write(QStringLiteral("a.gif"), twoFrames())});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(r.out).object();
    const QJsonArray frames = json.value(QStringLiteral("frames")).toArray();
    ASSERT_EQ(frames.size(), 2);
    const auto expect = [](const QJsonObject& object, std::initializer_list<std::pair<const char*, int>> values) {
        for (const auto& [key, value] : values)
            EXPECT_EQ(object.value(QLatin1StringView(key)).toVariant().toInt(), value) << key;
    };
    expect(json, {{"result", 1}, {"width", 5}, {"height", 4}});
    expect(frames[0].toObject(), {{"index", 0}, {"clear", 1}, {"delay", 250}, {"left", 0}, {"top", 0}, {"width", 5}, {"height", 4}});
    expect(frames[1].toObject(), {{"index", 1}, {"clear", 0}, {"delay", 100}, {"left", 1}, {"top", 2}, {"width", 3}, {"height", 2}});
    EXPECT_TRUE(frames[1].toObject().value(QStringLiteral("clear")).isBool());
}

TEST(Cli, ResultsBelowOneGiveTheirMessagesAndCodes)
{
    const ScratchDir dir;
    const QString single = dir.write(QStringLiteral("s.gif"), GifBuilder(2, 2, distinctColours(2)).image(GifBuilder::solid(2, 2, 1)).build());
    const CliRun one = run({QStringLiteral("info"), single});
    EXPECT_EQ(one.code, 1);
    EXPECT_TRUE(one.err.contains(QStringLiteral("non è una Gif animata,  oppure non è una\n GIF animata")));
    EXPECT_EQ(QJsonDocument::fromJson(one.out).object().value(QStringLiteral("result")).toInt(-9), 0);

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

    EXPECT_EQ(run({QStringLiteral("export"), gif, out, QStringLiteral("--format"), QStringLiteral("gif")}).code, 0);
    for (const char* name : {"/my0.gif", "/my1.gif"})
        EXPECT_TRUE(slurpGif(readFile(out + QString::fromLatin1(name)))) << name;

    // A relative path is named after its file too.
    EXPECT_EQ(run({QStringLiteral("export"), QStringLiteral("my.anim.gif"), QStringLiteral(".")}, dir.path()).code, 0);
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("my0.bmp"))));

    const CliRun noFolder = run({QStringLiteral("export"), gif, dir.file(QStringLiteral("absent"))});
    EXPECT_EQ(noFolder.code, 3);
    EXPECT_TRUE(noFolder.err.contains(QStringLiteral("Si è verificato un'errore durante il salvataggio dei files")));
}

TEST(Cli, UsageErrors)
{
    for (const QStringList& args : {QStringList{}, QStringList{QStringLiteral("split")}, QStringList{QStringLiteral("info")},
                                    QStringList{QStringLiteral("export"), QStringLiteral("a.gif")},
                                    QStringList{QStringLiteral("export"), QStringLiteral("a.gif"), QStringLiteral("."),
                                                QStringLiteral("--format"), QStringLiteral("png")}})
        EXPECT_EQ(run(args).code, 64) << args.join(u' ').toStdString();
    const CliRun help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains("skarvel-frames export"));
    const CliRun version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(version.out.contains("1.3.0"));
}
