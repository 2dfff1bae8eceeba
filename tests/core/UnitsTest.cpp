#include "platform/Units.h"

#include <gtest/gtest.h>

using namespace skarvel::units;

TEST(Units, NearestRoundsHalvesToEven)
{
    EXPECT_EQ(nearest(2.5), 2);
    EXPECT_EQ(nearest(3.5), 4);
    EXPECT_EQ(nearest(532.5), 532);
    EXPECT_EQ(nearest(-2.5), -2);
    EXPECT_EQ(nearest(-3.5), -4);
    EXPECT_EQ(nearest(2.4999), 2);
    EXPECT_EQ(nearest(2.5001), 3);
    EXPECT_EQ(nearest(-0.4), 0);
}

TEST(Units, HimetricAndPixelsRoundTrip)
{
    EXPECT_EQ(himetricToPixels(2646), 100);
    EXPECT_EQ(pixelsToHimetric(100), 2646);
    for (int px = 0; px <= 9000; ++px)
        ASSERT_EQ(himetricToPixels(double(pixelsToHimetric(px))), px) << px;
}

TEST(Units, TwipsAtFifteenPerPixel)
{
    EXPECT_EQ(pixelsToTwips(10), 150);
    EXPECT_EQ(twipsToPixels(2955), 197);
    EXPECT_EQ(twipsToPixels(7.5), 0);
    EXPECT_EQ(twipsToPixels(22.5), 2);
}
