#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "raster/frame_image.h"

TEST(FrameImage, StoresPointsTheWayTheDisplayDoes)
{
    FrameImage image(4, 3);
    ASSERT_EQ(image.rgb.size(), 36u);
    for (uint8_t byte : image.rgb) EXPECT_EQ(byte, 255);

    image.point(1, 2, 0.5f, Color(0.5f, 1.5f, -0.2f, 1));
    const uint8_t* p = image.pixel(1, 2);  // row 2 is the top row
    EXPECT_EQ(p[0], 128);
    EXPECT_EQ(p[1], 255);
    EXPECT_EQ(p[2], 0);
    EXPECT_EQ(image.rgb[(2 * 4 + 1) * 3], 128);

    image.point(3, 0, 1.0f, Color(0.998f, 0.25f, 3.0f / 255.0f, 1));
    EXPECT_EQ(image.pixel(3, 0)[0], 254);
    EXPECT_EQ(image.pixel(3, 0)[1], 64);
    EXPECT_EQ(image.pixel(3, 0)[2], 3);
    image.point(3, 0, 0.0f, Color(0, 0, 0, 1));  // a later point wins
    EXPECT_EQ(image.pixel(3, 0)[0], 0);

    // Depth outside [0, 1] (NaN too) is discarded, but counted like every point.
    image.point(0, 0, -1e-7f, Color(0, 0, 0, 1));
    image.point(0, 0, 1.0000001f, Color(0, 0, 0, 1));
    image.point(0, 0, std::numeric_limits<float>::quiet_NaN(), Color(0, 0, 0, 1));
    EXPECT_EQ(image.pixel(0, 0)[0], 255);
    EXPECT_EQ(image.pointCount, 6u);
    EXPECT_FALSE(image.pointOutsideFrame);

    image.point(4, 0, 0.5f, Color(0, 0, 0, 1));
    EXPECT_TRUE(image.pointOutsideFrame);
    image.reset(4, 3);
    EXPECT_FALSE(image.pointOutsideFrame);
    EXPECT_EQ(image.pointCount, 0u);
    image.point(0, -1, 0.5f, Color(0, 0, 0, 1));
    EXPECT_TRUE(image.pointOutsideFrame);

    EXPECT_EQ(FrameImage::toByte(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(FrameImage::toByte(100.0f / 255.0f), 100);
    // Next to half-way points the product is rounded to float first, then ties go to even:
    // 133.4999996 becomes 133.5 and then 134; 82.5000027 becomes 82.5 and then 82.
    EXPECT_EQ(FrameImage::toByte(0x1.0c0c0cp-1f), 134);
    EXPECT_EQ(FrameImage::toByte(0x1.4b4b4cp-2f), 82);
}

TEST(FrameImage, NonPositiveSizeIsEmpty)
{
    FrameImage image(-3, 5);
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_TRUE(image.rgb.empty());
    image.point(0, 0, 0.5f, Color(0, 0, 0, 1));
    EXPECT_TRUE(image.pointOutsideFrame);
}

// The point writes three channels at once; each must round as the one-channel rule does, in its
// own place.
TEST(FrameImage, ThreeChannelsAtOnceRoundAsOne)
{
    std::vector<float> values = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(), -0.0f, 1e-45f, 0x1.0c0c0cp-1f,
                                 0x1.4b4b4cp-2f, 0x1.fffffep-1f, 1.0f, 0x1.000002p0f};
    for (int k = -6554; k <= 72090; ++k) values.push_back(static_cast<float>(k) / 65536.0f);
    for (size_t i = 0; i < values.size(); ++i) {
        const float r = values[i], g = values[(i * 7 + 3) % values.size()], b = values[(i * 13 + 5) % values.size()];
        const FrameImage::Bytes bytes = FrameImage::toBytes(Color(r, g, b, 1));
        ASSERT_EQ(bytes[0], FrameImage::toByte(r)) << r;
        ASSERT_EQ(bytes[1], FrameImage::toByte(g)) << g;
        ASSERT_EQ(bytes[2], FrameImage::toByte(b)) << b;
    }
}
