#include <gtest/gtest.h>

#include <utility>

#include "texture/ring_texture.h"
#include "texture/tile_texture.h"

namespace {

void expectTexel(const Texture& texture, int x, int y, float r, float g, float b, float tolerance = 5e-5f)
{
    const float* t = texture.texel(x, y);
    EXPECT_NEAR(t[0], r, tolerance) << "texel " << x << ", " << y;
    EXPECT_NEAR(t[1], g, tolerance) << "texel " << x << ", " << y;
    EXPECT_NEAR(t[2], b, tolerance) << "texel " << x << ", " << y;
}

}  // namespace

TEST(TileTexture, TilesAndGroutWhereTheyBelong)
{
    const Texture tiles = makeTileTexture(256, 256);
    ASSERT_EQ(tiles.channels, 3u);
    const Color tile = Color(0, 0, 0, 1).fromHsv(0.083f, 0.75f, 0.8f, 1);
    const Color grout = Color(0, 0, 0, 1).fromHsv(0.125f, 0.1f, 0.8f, 1);
    expectTexel(tiles, 0, 0, 0.8f, 0.78f, 0.72f);
    for (const auto& at : {std::pair{0, 0}, {1, 40}, {62, 10}, {64, 64}, {255, 255}, {130, 1}})
        expectTexel(tiles, at.first, at.second, grout.r, grout.g, grout.b, 0);
    expectTexel(tiles, 2, 2, 0.8f, 0.4988f, 0.2f);
    for (const auto& at : {std::pair{2, 2}, {32, 32}, {61, 61}, {200, 130}})
        expectTexel(tiles, at.first, at.second, tile.r, tile.g, tile.b, 0);

    // Too narrow to hold a tile: all grout rather than a division by zero.
    const Texture narrow = makeTileTexture(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) expectTexel(narrow, x, y, grout.r, grout.g, grout.b, 0);
}

TEST(TileBumpMap, OneRoundedBumpPerTile)
{
    const Texture bumps = makeTileBumpMap(256, 256);
    ASSERT_EQ(bumps.channels, 1u);
    EXPECT_EQ(*bumps.texel(32, 32), 1.0f);
    EXPECT_EQ(*bumps.texel(31, 31), 1.0f);
    EXPECT_EQ(*bumps.texel(96, 160), 1.0f);
    EXPECT_NEAR(*bumps.texel(2, 2), 0.2540f, 5e-5f);
    EXPECT_EQ(*bumps.texel(2, 2), *bumps.texel(61, 61));
    EXPECT_NEAR(*bumps.texel(2, 32), 0.5040f, 5e-5f);
    EXPECT_EQ(*bumps.texel(1, 32), 0.0f);
    EXPECT_EQ(*bumps.texel(62, 10), 0.0f);
    EXPECT_EQ(*makeTileBumpMap(3, 3).texel(1, 1), 0.0f);
}

TEST(RingTexture, BandsAroundTheTiltedAxis)
{
    const Texture rings = makeRingTexture(256, 256);
    ASSERT_EQ(rings.channels, 3u);
    const Color light = Color(0, 0, 0, 1).fromHsv(0.125f, 0.7f, 0.8f, 1);
    const Color dark = Color(0, 0, 0, 1).fromHsv(0.125f, 0.7f, 0.6f, 1);
    expectTexel(rings, 0, 0, 0.8f, 0.66f, 0.24f);
    expectTexel(rings, 128, 128, 0.6f, 0.495f, 0.18f);
    expectTexel(rings, 128, 128, dark.r, dark.g, dark.b, 0);   // v 9.901
    expectTexel(rings, 0, 0, light.r, light.g, light.b, 0);    // v 18.0198
    expectTexel(rings, 200, 100, light.r, light.g, light.b, 0);  // v 12.637
    expectTexel(rings, 0, 128, dark.r, dark.g, dark.b, 0);     // v 19.901
}
