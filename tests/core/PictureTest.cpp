// Decoding and limits of a single picture, and the unit conversions. How pictures decode is
// compared with giflib in the split tests and recorded in the saved bytes.
#include "base/RuntimeError.h"
#include "base/Units.h"
#include "picture/Picture.h"
#include "support/GifBuilder.h"

#include <gtest/gtest.h>

using namespace skarvel;
using namespace skarvel::test;

TEST(LoadPicture, IndexesPastTheColourTableSharedTablesLimitsAndExtent)
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
    EXPECT_EQ(Picture(image.copy(0, 0, 2, 1), 1).savedColours(), 2);
    // How far it read: the "," behind the header and the block terminator, not the trailer.
    EXPECT_EQ(std::tuple(reading.imageStart, reading.bytesNeeded, reading.pictureBytes, picture.savedColours()),
              std::tuple(13 + 6 + 8, gif.size() - 1, FrameCost(4, 1, false), 3));
    // A decoder kept from picture to picture, over the header cut anywhere, shares the table.
    PictureDecoder decoder(QByteArrayView(gif).first(30), &tables);
    const Picture again = decoder.load(QByteArrayView(gif).sliced(30), {}, &reading);
    EXPECT_EQ(std::pair(again.image().colorTable().constData(), reading.bytesNeeded), std::pair(image.colorTable().constData(), gif.size() - 1));

    // The pixel limit and the memory budget, each filled exactly.
    // Encoders insist on colours, so they are taken out afterwards: no global table, no local one.
    const QByteArray ordinary = GifBuilder(100, 50, distinctColours(2)).image(GifBuilder::solid(100, 50, 1)).build();
    QByteArray noColours = ordinary;
    noColours[10] = char(quint8(noColours[10]) & 0x7f);
    const auto failureOf = [](QByteArrayView bytes, const PictureLimits& limits) {
        try {
            LoadPicture(bytes, limits);
        } catch (const RuntimeError& error) {
            return error.number();
        }
        return RuntimeError::InvalidCall;
    };
    EXPECT_EQ(std::tuple(failureOf(ordinary, {100 * 50 - 1}), failureOf(ordinary, {100 * 50, FrameCost(100, 50, true) - 1}), failureOf(noColours.remove(13, 6), {})),
              std::tuple(RuntimeError::InvalidPicture, RuntimeError::OutOfMemory, RuntimeError::InvalidPicture));
    // HIMETRIC as pictures report their extent: 100 px and 50 px at 96 dpi.
    const Picture exact = LoadPicture(ordinary, PictureLimits{100 * 50, FrameCost(100, 50, true)});
    EXPECT_EQ(std::tuple(exact.byteCount(), exact.Width(), exact.Height(), FrameCost(5, 3, false)),
              std::tuple(PictureBytes(100, 50), 2646, 1323, 24 + FrameCost(0, 0, false)));
}

TEST(Units, RoundingHalvesToEvenBetweenPixelsHimetricAndTwips)
{
    for (const auto& [value, rounded] : std::initializer_list<std::pair<double, int>>{
             {2.5, 2}, {3.5, 4}, {532.5, 532}, {-2.5, -2}, {-3.5, -4}, {2.4999, 2}, {2.5001, 3}, {-0.4, 0}})
        EXPECT_EQ(units::nearest(value), rounded) << value;
    EXPECT_EQ(std::tuple(units::pixelsToHimetric(100), units::pixelsToTwips(10), units::twipsToPixels(2955), units::twipsToPixels(7.5), units::twipsToPixels(22.5)),
              std::tuple(2646, 150, 197, 0, 2));
    // Between whole pixels, and below zero: rounded, never cut.
    EXPECT_EQ((std::vector{units::pixelsToHimetric(1.5), units::pixelsToHimetric(0.5), units::himetricToPixels(40), units::himetricToPixels(13),
                           units::pixelsToTwips(2.7), units::pixelsToTwips(2.9), units::pixelsToTwips(-1.1), units::twipsToPixels(-22.5), units::twipsToPixels(26)}),
              (std::vector<std::int64_t>{40, 13, 2, 0, 40, 44, -16, -2, 2}));
}
