#include <gtest/gtest.h>

#include "fixed_function/texture_levels.h"

TEST(TextureLevels, StoredBytesRoundToNearestWithTiesToEven)
{
    EXPECT_EQ(storedByte(-0.2f), 0);
    EXPECT_EQ(storedByte(1.5f), 255);
    EXPECT_EQ(storedByte(0.998f), 254);
    EXPECT_EQ(storedByte(0.25f), 64);
    for (int k = 0; k <= 255; ++k) EXPECT_EQ(storedByte(k / 255.0f), k);
    // 0.5 × 255 = 127.5 and 1.5 / 255 × 255 ≈ 1.5 both fall on a tie.
    EXPECT_EQ(storedByte(0.5f), 128);
    EXPECT_EQ(storedByte(2.5f / 255.0f), 2);
}

TEST(TextureLevels, BoxFilterInFloatEachLevelStoredOnItsOwnDownToOneTexel)
{
    Texture image(4, 2, 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            image.setTexelColor(x, y, Color(0.1f * x + 0.3f * y, 0.00196f, 0.7f, 1));
    const std::vector<ByteLevel> chain = boxFilterChain(image);
    ASSERT_EQ(chain.size(), 3u);  // 4x2, 2x1, 1x1: the long side keeps halving alone
    EXPECT_EQ(chain[1].width, 2);
    EXPECT_EQ(chain[1].height, 1);
    EXPECT_EQ(chain[2].width, 1);
    EXPECT_EQ(chain[2].height, 1);
    const float red0 = (0.0f + 0.1f + 0.3f + (0.1f + 0.3f)) / 4;
    const float red1 = (0.1f * 2 + 0.1f * 3 + (0.1f * 2 + 0.3f) + (0.1f * 3 + 0.3f)) / 4;
    EXPECT_EQ(chain[1].rgb[0], storedByte(red0));
    EXPECT_EQ(chain[1].rgb[3], storedByte(red1));
    // The last level averages the float level above, not its bytes.
    EXPECT_EQ(chain[2].rgb[0], storedByte((red0 + red1) / 2));
    EXPECT_EQ(chain[2].rgb[2], storedByte(0.7f));
    // Level 0 is the image itself.
    EXPECT_EQ(chain[0].rgb, storedLevel(image).rgb);
    EXPECT_EQ(chain[0].rgb[3 * 3], storedByte(0.3f));

    Texture grey(2, 2, 1);
    grey.setTexelValue(1, 1, 1.0f);
    const ByteLevel stored = storedLevel(grey);
    EXPECT_EQ(stored.rgb[9], 255);
    EXPECT_EQ(stored.rgb[11], 255);
    EXPECT_EQ(boxFilterChain(grey)[1].rgb[1], 64);
    EXPECT_TRUE(boxFilterChain(Texture{}).empty());
}
