// Decoding and limits of a single picture, and the unit conversions.
#include "platform/Picture.h"
#include "platform/RuntimeError.h"
#include "platform/Units.h"
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
    return RuntimeError::InvalidCall;
}

} // namespace

TEST(LoadPicture, TheFirstImageAsGiflibReadsIt)
{
    ImageSpec offset = GifBuilder::pattern(7, 5, 8, 1), local = GifBuilder::pattern(6, 4, 4);
    ImageSpec transparent = GifBuilder::pattern(5, 5, 4), interlaced = GifBuilder::pattern(9, 19, 16, 5);
    offset.left = 3;
    local.localColours = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
    transparent.control = GraphicControl{1, 10, 2};
    interlaced.interlaced = true;
    for (const ImageSpec& spec : {offset, local, transparent, interlaced}) {
        const QByteArray gif = GifBuilder(20, 20, distinctColours(16)).image(spec).image(GifBuilder::pattern(20, 20, 8)).build();
        const Picture picture = LoadPicture(gif);
        EXPECT_EQ(picture.image().format(), QImage::Format_Indexed8);
        EXPECT_TRUE(samePicture(picture.image(), slurpGif(gif)->images[0])) << spec.width;
        // Whatever follows the image does not matter.
        for (const QByteArray& variant : {gif.chopped(1), gif + QByteArray("\x00\x21\xF9junk", 7)})
            EXPECT_EQ(LoadPicture(variant).image(), picture.image());
    }
    // HIMETRIC as pictures report their extent: 7 px and 5 px at 96 dpi.
    const Picture small = LoadPicture(GifBuilder(7, 5, distinctColours(2)).image(GifBuilder::solid(7, 5, 1)).build());
    EXPECT_EQ(std::pair(small.Width(), small.Height()), std::pair(185, 132));
}

TEST(LoadPicture, ColourlessDataIsNoPicture)
{
    // Encoders insist on colours, so take them out afterwards: no global table, no local one.
    QByteArray noColours = GifBuilder(4, 4, distinctColours(2)).image(GifBuilder::solid(4, 4, 0)).build();
    noColours[10] = char(quint8(noColours[10]) & 0x7f);
    EXPECT_EQ(failureOf(noColours.remove(13, 6)), RuntimeError::InvalidPicture);
}

TEST(LoadPicture, IndexesPastTheColourTableAndSharedTables)
{
    // Encode with four colours, then shrink the declared table to two: the data still names 2.
    QByteArray gif = GifBuilder(4, 1, distinctColours(4)).image(GifBuilder::pattern(4, 1, 3)).build();
    gif[10] = char(quint8(gif[10]) & ~0x07);
    gif.remove(13 + 6, 6);
    PictureReading reading;
    SharedColourTables tables;
    const Picture picture = LoadPicture(gif, {}, {}, &reading, &tables);
    const QImage& image = picture.image();
    const Rgb second = distinctColours(4)[1];
    EXPECT_EQ(std::pair(image.pixel(1, 0), image.pixel(2, 0)), std::pair(qRgb(second[0], second[1], second[2]), qRgb(0, 0, 0)));
    // A bitmap keeps the file's two colours and the third that a pixel names.
    EXPECT_EQ(picture.savedColours(), 3);
    EXPECT_EQ(Picture(image.copy(0, 0, 2, 1), 1).savedColours(), 2);
    EXPECT_EQ(Picture(image).savedColours(), image.colorCount());
    // How far it read: the "," behind the header and the block terminator, not the trailer.
    EXPECT_EQ(reading.imageStart, 13 + 6 + 8);
    EXPECT_EQ(reading.bytesNeeded, gif.size() - 1);
    EXPECT_EQ(reading.pictureBytes, FrameCost(4, 1, false));
    EXPECT_EQ(LoadPicture(gif).image().colorTable(), image.colorTable());
    // A decoder kept from picture to picture, over the header cut anywhere, shares the table.
    PictureDecoder decoder(QByteArrayView(gif).first(30), &tables);
    for (int round = 0; round < 2; ++round) {
        const Picture again = decoder.load(QByteArrayView(gif).sliced(30), {}, &reading);
        EXPECT_EQ(again.image().colorTable().constData(), image.colorTable().constData());
        EXPECT_EQ(reading.bytesNeeded, gif.size() - 1);
    }
}

TEST(LoadPicture, PixelLimitAndMemoryBudget)
{
    const QByteArray ordinary = GifBuilder(100, 50, distinctColours(2)).image(GifBuilder::solid(100, 50, 1)).build();
    EXPECT_EQ(failureOf(ordinary, PictureLimits{100 * 50 - 1}), RuntimeError::InvalidPicture);
    EXPECT_EQ(failureOf(ordinary, PictureLimits{100 * 50, FrameCost(100, 50, true) - 1}), RuntimeError::OutOfMemory);
    EXPECT_EQ(LoadPicture(ordinary, PictureLimits{100 * 50, FrameCost(100, 50, true)}).byteCount(), PictureBytes(100, 50));
    EXPECT_EQ(FrameCost(5, 3, false), 24 + FrameCost(0, 0, false));
    EXPECT_GT(FrameCost(1, 1, true), FrameCost(1, 1, false) + 1024);
}

TEST(Units, RoundingHalvesToEvenBetweenPixelsHimetricAndTwips)
{
    for (const auto& [value, rounded] : std::initializer_list<std::pair<double, int>>{
             {2.5, 2}, {3.5, 4}, {532.5, 532}, {-2.5, -2}, {-3.5, -4}, {2.4999, 2}, {2.5001, 3}, {-0.4, 0}})
        EXPECT_EQ(units::nearest(value), rounded) << value;
    for (int px = 0; px <= 9000; ++px)
        ASSERT_EQ(units::himetricToPixels(double(units::pixelsToHimetric(px))), px) << px;
    EXPECT_EQ(std::tuple(units::pixelsToHimetric(100), units::pixelsToTwips(10), units::twipsToPixels(2955)), std::tuple(2646, 150, 197));
    EXPECT_EQ(std::tuple(units::twipsToPixels(7.5), units::twipsToPixels(22.5)), std::tuple(0, 2));
}
