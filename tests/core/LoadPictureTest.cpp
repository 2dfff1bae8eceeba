#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "support/GifBuilder.h"
#include "support/GifOracle.h"

#include <gtest/gtest.h>

using namespace skarvel;
using namespace skarvel::test;

namespace {

RuntimeError::Number failureOf(QByteArrayView bytes, const PictureLimits& limits = {})
{
    try {
        LoadPicture(bytes, limits);
    } catch (const RuntimeError& error) {
        return error.number();
    }
    ADD_FAILURE() << "the picture loaded";
    return RuntimeError::InvalidCall;
}

QByteArray twoImages()
{
    ImageSpec first = GifBuilder::pattern(7, 5, 8, 1);
    first.left = 3;
    first.top = 2;
    return GifBuilder(20, 12, distinctColours(8)).image(first).image(GifBuilder::pattern(20, 12, 8, 4)).build();
}

} // namespace

TEST(LoadPicture, DecodesTheFirstImageAtItsOwnSize)
{
    const QByteArray gif = twoImages();
    const Picture picture = LoadPicture(gif);
    const auto oracle = slurpGif(gif);
    ASSERT_TRUE(oracle);
    EXPECT_EQ(picture.image().format(), QImage::Format_Indexed8);
    EXPECT_TRUE(samePicture(picture.image(), oracle->images[0]));
    // HIMETRIC as pictures report their extent: 7 px and 5 px at 96 dpi.
    EXPECT_EQ(picture.Width(), 185);
    EXPECT_EQ(picture.Height(), 132);
}

TEST(LoadPicture, IgnoresWhatFollowsTheFirstImage)
{
    const QByteArray gif = twoImages();
    const Picture whole = LoadPicture(gif);
    QByteArray noTrailer = gif;
    noTrailer.chop(1);
    QByteArray garbage = gif + QByteArray("\x00\x21\xF9garbage\xff\xff", 12);
    for (const QByteArray& variant : {noTrailer, garbage})
        EXPECT_EQ(LoadPicture(variant).image(), whole.image());
}

TEST(LoadPicture, TruncatedDataNeverYieldsAPicture)
{
    const QByteArray gif = GifBuilder(16, 16, distinctColours(16)).image(GifBuilder::pattern(16, 16, 16)).build();
    // Everything short of the image's block terminator is incomplete.
    for (qsizetype length = 0; length < gif.size() - 2; ++length)
        ASSERT_EQ(failureOf(QByteArrayView(gif).first(length)), RuntimeError::InvalidPicture) << length;
    EXPECT_NO_THROW(LoadPicture(QByteArrayView(gif).first(gif.size() - 1)));
}

TEST(LoadPicture, UsesTheLocalColourTableFirst)
{
    ImageSpec spec = GifBuilder::pattern(6, 4, 4);
    spec.localColours = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
    const QByteArray gif = GifBuilder(6, 4, distinctColours(4)).image(spec).build();
    EXPECT_TRUE(samePicture(LoadPicture(gif).image(), slurpGif(gif)->images[0]));
    EXPECT_EQ(LoadPicture(gif).image().pixel(3, 0), qRgb(9, 9, 9));
}

TEST(LoadPicture, TransparentIndexHasAlphaZero)
{
    ImageSpec spec = GifBuilder::pattern(5, 5, 4);
    spec.control = GraphicControl{1, 10, 2};
    const QByteArray gif = GifBuilder(5, 5, distinctColours(4)).image(spec).build();
    const QImage image = LoadPicture(gif).image();
    const auto oracle = slurpGif(gif);
    EXPECT_EQ(oracle->images[0].transparent, 2);
    EXPECT_TRUE(samePicture(image, oracle->images[0]));
    EXPECT_EQ(qAlpha(image.color(2)), 0);
    EXPECT_EQ(qAlpha(image.color(1)), 255);
    EXPECT_TRUE(image.hasAlphaChannel());
}

TEST(LoadPicture, InterlacedRowsComeOutInDisplayOrder)
{
    ImageSpec plain = GifBuilder::pattern(9, 19, 16, 5);
    ImageSpec interlaced = plain;
    interlaced.interlaced = true;
    const QImage a = LoadPicture(GifBuilder(9, 19, distinctColours(16)).image(plain).build()).image();
    const QImage b = LoadPicture(GifBuilder(9, 19, distinctColours(16)).image(interlaced).build()).image();
    EXPECT_EQ(a, b);
    EXPECT_EQ(b.pixelIndex(4, 11), (4 + 3 * 11 + 5) % 16);
}

TEST(LoadPicture, RefusesDataWithoutAnImageOrColours)
{
    QByteArray headerOnly = GifBuilder(4, 4, distinctColours(2)).danglingControl().build();
    EXPECT_EQ(failureOf(headerOnly), RuntimeError::InvalidPicture);
    EXPECT_EQ(failureOf(QByteArray("GIF89a")), RuntimeError::InvalidPicture);
    EXPECT_EQ(failureOf(QByteArray("not a gif at all")), RuntimeError::InvalidPicture);
    // Encoders insist on colours, so take them out afterwards: no global table, no local one.
    QByteArray noColours = GifBuilder(4, 4, distinctColours(2)).image(GifBuilder::solid(4, 4, 0)).build();
    noColours[10] = char(quint8(noColours[10]) & 0x7f);
    noColours.remove(13, 6);
    EXPECT_EQ(failureOf(noColours), RuntimeError::InvalidPicture);
}

TEST(LoadPicture, IndexesPastTheColourTableGetAColourOfTheirOwn)
{
    // Encode with four colours, then shrink the declared table to two: the data still names 2 and 3.
    QByteArray gif = GifBuilder(4, 1, distinctColours(4)).image(GifBuilder::pattern(4, 1, 4)).build();
    gif[10] = char(quint8(gif[10]) & ~0x07);
    gif.remove(13 + 6, 6);
    const QImage image = LoadPicture(gif).image();
    ASSERT_GE(image.colorCount(), 4);
    EXPECT_EQ(image.pixelIndex(3, 0), 3);
    EXPECT_EQ(image.pixel(3, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(distinctColours(4)[1][0], distinctColours(4)[1][1], distinctColours(4)[1][2]));
}

TEST(LoadPicture, RefusesAHugeImageBeforeAllocatingIt)
{
    // A tiny file whose image descriptor claims 65535 x 65535: 4 GiB if it were believed.
    QByteArray bomb = GifBuilder(2, 2, distinctColours(2)).image(GifBuilder::solid(2, 2, 1)).build();
    const qsizetype descriptor = bomb.indexOf(',', 13 + 6);
    ASSERT_GT(descriptor, 0);
    for (int i = 5; i <= 8; ++i)
        bomb[descriptor + i] = char(0xff);
    EXPECT_EQ(failureOf(bomb), RuntimeError::InvalidPicture);

    const QByteArray ordinary = GifBuilder(100, 50, distinctColours(2)).image(GifBuilder::solid(100, 50, 1)).build();
    PictureLimits pixels;
    pixels.maxPixels = 100 * 50 - 1;
    EXPECT_EQ(failureOf(ordinary, pixels), RuntimeError::InvalidPicture);
    PictureLimits budget;
    budget.maxBytes = PictureBytes(100, 50) - 1;
    EXPECT_EQ(failureOf(ordinary, budget), RuntimeError::OutOfMemory);
    budget.maxBytes += 1;
    EXPECT_EQ(LoadPicture(ordinary, budget).byteCount(), PictureBytes(100, 50));
}
