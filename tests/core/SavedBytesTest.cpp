// The saved frames of a set of files, as SHA-256 of every BMP and every GIF written, recorded
// once: any change to decoding, to the colour tables or to the writers shows up here.
#include "frames/SaveFrames.h"
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/SplitCheck.h"
#include "support/TestFiles.h"

#include <QCryptographicHash>
#include <QDir>

#include <gtest/gtest.h>

using namespace skarvel;
using namespace skarvel::test;

namespace {

// Frames coded with 8-bit LZW behind a global table cut down to two colours: their pixels name
// entries past the table, and the transparent index lies past it too.
QByteArray pastTheTable()
{
    GifBuilder builder(20, 10, distinctColours(256));
    for (int i = 0; i < 3; ++i) {
        ImageSpec spec = GifBuilder::pattern(20 - i, 10, 40 + 100 * i, i);
        spec.control = GraphicControl{1, 5, i == 1 ? 200 : -1};
        builder.image(spec);
    }
    QByteArray gif = builder.build();
    gif[10] = char(quint8(gif[10]) & 0xF8); // two colours
    gif.remove(13 + 6, 256 * 3 - 6);
    return gif;
}

// Local tables of several sizes, interlacing, offsets and transparency.
QByteArray localTables()
{
    GifBuilder builder(30, 20, distinctColours(4));
    builder.loopExtension();
    for (int i = 0; i < 4; ++i) {
        ImageSpec spec = GifBuilder::pattern(30 - 5 * i, 20 - 3 * i, 4 << i, i);
        spec.left = i;
        spec.top = 2 * i;
        spec.interlaced = i % 2 == 1;
        spec.localColours = i > 0 ? distinctColours(4 << i) : std::vector<Rgb>{};
        spec.control = GraphicControl{i % 3, 3, i == 2 ? 7 : -1};
        builder.image(spec);
    }
    return builder.build();
}

std::string digestOfSave(const QByteArray& gif, FrameFormat format)
{
    const ScratchDir dir;
    const QString path = dir.write(QStringLiteral("f.gif"), gif);
    FrameTable table;
    if (SplitGifFrames(path, table) < 1 || !SaveFrames(table, path, dir.path(), format))
        return "failed";
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QString suffix = format == FrameFormat::Gif ? QStringLiteral(".gif") : QStringLiteral(".bmp");
    for (std::size_t i = 0; i < table.frames.size(); ++i)
        hash.addData(readFile(dir.file(QStringLiteral("f%1").arg(i) + suffix)));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), qsizetype(table.frames.size()) + 1);
    return hash.result().toHex().left(24).toStdString();
}

} // namespace

TEST(SavedBytes, EveryBmpAndGifAsRecorded)
{
    struct Case {
        const char* name;
        QByteArray gif;
        std::string bmp;
        std::string gifs;
    };
    const Case cases[] = {
        {"past the table", pastTheTable(), "532a3f2d3580eda6e17d55f0", "3777046ba0041a939742d5a9"},
        {"local tables", localTables(), "0f37ffbbf2599316ed3980ad", "525a7b9c7f77facf53718ec9"},
        {"gifsicle_background", {}, "4f9e62b6f32e64f5222acb5f", "fbf2093924e9034e781056b1"},
        {"gifsicle_optimised", {}, "4ad6c847e9f8b10a9e108406", "9bedee758bc64946ec9fa76a"},
        {"magick_interlaced", {}, "dddc78e939483709b5a91e19", "fad3536fdbf2da3ec91c0461"},
        {"magick_offsets", {}, "2b9d7bad0df2e0ba8af1cdfc", "783bb3cfaa6d9eb706fc1462"},
        {"magick_plain", {}, "434ee2334af5501bc033dc50", "946bf50f14435fba81f2b20c"},
    };
    for (const Case& c : cases) {
        const QByteArray gif = c.gif.isEmpty() ? readFile(fixture(QLatin1String(c.name) + QLatin1String(".gif"))) : c.gif;
        EXPECT_EQ(digestOfSave(gif, FrameFormat::Bmp), c.bmp) << c.name;
        EXPECT_EQ(digestOfSave(gif, FrameFormat::Gif), c.gifs) << c.name;
    }
}

