#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "support/GifBuilder.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QImage>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace skarvel;
using namespace skarvel::test;

namespace {

Picture transparentPicture(int width, int height)
{
    ImageSpec spec = GifBuilder::pattern(width, height, 16, 2);
    spec.control = GraphicControl{1, 10, 3};
    return LoadPicture(GifBuilder(width, height, distinctColours(16)).image(spec).build());
}

} // namespace

TEST(SavePicture, BitmapKeepsEveryPixelsColour)
{
    const ScratchDir dir;
    // Odd widths exercise the four-byte row padding.
    for (const int width : {1, 5, 8, 13}) {
        const Picture picture = transparentPicture(width, 7);
        const QString path = dir.file(QStringLiteral("frame%1.bmp").arg(width));
        SavePicture(picture, path);

        const QImage back(path);
        ASSERT_FALSE(back.isNull()) << width;
        ASSERT_EQ(back.size(), picture.image().size());
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < width; ++x)
                // The transparent entry keeps its colour, opaque in the bitmap.
                ASSERT_EQ(back.pixel(x, y) & 0xffffff, picture.image().pixel(x, y) & 0xffffff) << x << "," << y;

        const QByteArray bytes = readFile(path);
        EXPECT_EQ(bytes.left(2), "BM");
        EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 2), quint32(bytes.size()));
        EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), 8);  // bits per pixel
        EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 46), 16); // palette entries
    }
}

TEST(SavePicture, ReplacesAnExistingFileWhole)
{
    const ScratchDir dir;
    const QString path = dir.write(QStringLiteral("old.bmp"), QByteArray(100000, 'x'));
    SavePicture(transparentPicture(4, 4), path);
    const QByteArray bytes = readFile(path);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 2), quint32(bytes.size()));
    EXPECT_LT(bytes.size(), 1000);
    EXPECT_FALSE(bytes.contains("xxxx"));
}

TEST(SavePicture, FailsWithoutLeavingAFile)
{
    const ScratchDir dir;
    const Picture picture = transparentPicture(4, 4);
    EXPECT_THROW(SavePicture(picture, dir.file(QStringLiteral("missing/frame.bmp"))), RuntimeError);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("missing/frame.bmp"))));
    // A folder of that name is not replaced.
    EXPECT_THROW(SavePicture(picture, dir.path()), RuntimeError);
    EXPECT_THROW(SavePicture(Picture(), dir.file(QStringLiteral("null.bmp"))), RuntimeError);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("null.bmp"))));
}
