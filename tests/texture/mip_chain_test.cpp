#include <gtest/gtest.h>

#include "raster/prepare_textures.h"
#include "scene/shape_generators.h"
#include "texture/mip_chain.h"

namespace {

Texture patterned(int w, int h)
{
    Texture t(w, h, 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            t.setTexelColor(x, y, Color(static_cast<float>(x % 7) / 7, static_cast<float>(y % 5) / 5, 0.1f * ((x + y) % 3), 1));
    return t;
}

float mean(float a, float b, float c, float d)
{
    return static_cast<float>((static_cast<double>(a) + b + c + d) * 0.25);
}

}  // namespace

TEST(MipChain, LevelCountsAndSizes)
{
    const Texture square = patterned(256, 256);
    const MipChain chain = buildMipChain(&square);
    ASSERT_EQ(chain.size(), 9u);
    for (size_t k = 0; k < chain.size(); ++k) {
        EXPECT_EQ(chain[k].width, 256 >> k);
        EXPECT_EQ(chain[k].height, 256 >> k);
        EXPECT_EQ(chain[k].channels, 3u);
    }
    EXPECT_EQ(chain[0].texels.get(), square.texels.get()) << "level 0 shares the texture's texels";
    EXPECT_NE(chain[1].texels.get(), square.texels.get());

    const Texture wide = patterned(256, 64);
    const MipChain wideChain = buildMipChain(&wide);
    ASSERT_EQ(wideChain.size(), 7u);
    EXPECT_EQ(wideChain.back().width, 4);
    EXPECT_EQ(wideChain.back().height, 1);

    const Texture tiny = patterned(2, 2);
    EXPECT_EQ(buildMipChain(&tiny).size(), 2u);
    const Texture column = patterned(1, 8);
    EXPECT_EQ(buildMipChain(&column).size(), 1u);
    EXPECT_TRUE(buildMipChain(nullptr).empty());
}

TEST(MipChain, EachTexelIsTheMeanOfFourBelow)
{
    const Texture odd = patterned(7, 5);  // odd sides drop their last column and row
    const MipChain chain = buildMipChain(&odd);
    ASSERT_EQ(chain.size(), 3u);
    ASSERT_EQ(chain[1].width, 3);
    ASSERT_EQ(chain[1].height, 2);
    for (int level = 1; level < 3; ++level) {
        const Texture& p = chain[level - 1];
        const Texture& t = chain[level];
        for (int y = 0; y < t.height; ++y)
            for (int x = 0; x < t.width; ++x)
                for (int c = 0; c < 3; ++c)
                    EXPECT_EQ(t.texel(x, y)[c], mean(p.texel(2 * x, 2 * y)[c], p.texel(2 * x, 2 * y + 1)[c],
                                                     p.texel(2 * x + 1, 2 * y)[c], p.texel(2 * x + 1, 2 * y + 1)[c]));
    }
    EXPECT_EQ(chain[2].texel(0, 0)[0], mean(chain[1].texel(0, 0)[0], chain[1].texel(0, 1)[0],
                                            chain[1].texel(1, 0)[0], chain[1].texel(1, 1)[0]));

    // A one-channel image is averaged as grey, never read past its end.
    Texture grey(2, 2, 1);
    grey.setTexelValue(0, 0, 1.0f);
    grey.setTexelValue(1, 1, 0.5f);
    const MipChain greyChain = buildMipChain(&grey);
    ASSERT_EQ(greyChain.size(), 2u);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(greyChain[1].texel(0, 0)[c], 0.375f);
}

TEST(PrepareTextures, OneChainPerPrimitiveAcrossSceneChanges)
{
    Scene scene;
    DepthBuffer depthBuffer;
    EdgeTable edgeTable;
    std::vector<MipChain> mipChains;
    const Texture first = patterned(8, 8);
    const Texture second = patterned(16, 4);
    scene.setTextures(&first, nullptr, nullptr);
    addRectangle(scene, 1, 1);
    scene.setTextures(nullptr, nullptr, nullptr);
    addBox(scene, 1, 1, 1);
    scene.setTextures(&second, nullptr, nullptr);
    addRectangle(scene, 1, 1);
    prepareTextures(scene, depthBuffer, edgeTable, mipChains, 320, 200);
    ASSERT_EQ(mipChains.size(), 3u);
    EXPECT_EQ(mipChains[0].size(), 4u);
    EXPECT_TRUE(mipChains[1].empty());
    EXPECT_EQ(mipChains[2].size(), 3u);
    EXPECT_EQ(depthBuffer.width, 320);
    EXPECT_EQ(depthBuffer.height, 200);
    EXPECT_EQ(edgeTable.rows, 200u);

    scene.clear();
    scene.setTextures(&second, nullptr, nullptr);
    addRectangle(scene, 1, 1);
    prepareTextures(scene, depthBuffer, edgeTable, mipChains, 320, 200);
    ASSERT_EQ(mipChains.size(), 1u);
    ASSERT_EQ(mipChains[0].size(), 3u);
    EXPECT_EQ(mipChains[0][0].texels.get(), second.texels.get());
}
