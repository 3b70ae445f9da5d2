#include <gtest/gtest.h>

#include "support/preview_frame.h"

namespace {

// Alternating black and white texels: a nearest-filtered pixel is one of the two, a mip-mapped
// one an average of many.
Texture checkerTexture(int size)
{
    Texture t(size, size, 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float v = ((x + y) % 2 == 0) ? 1.0f : 0.0f;
            t.setTexelColor(x, y, Color(v, v, v, 1));
        }
    return t;
}

bool isBlackOrWhite(Rgb c) { return colorDistance(c, {0, 0, 0}) <= 1 || colorDistance(c, {255, 255, 255}) <= 1; }

GLint levelZeroWidth(GLuint name)
{
    GLint width = -1;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glBindTexture(GL_TEXTURE_2D, 0);
    return width;
}

}  // namespace

// With lighting off the texel colour multiplies the current colour, white at every primitive,
// in both filtering modes.
TEST(PreviewTextures, UnlitTextureShowsItsTexelColour)
{
    const Texture image = uniformTexture(8, Color(0.5f, 0.25f, 1.0f, 1));
    Scene scene;
    scene.setTextures(&image, nullptr, nullptr);
    addSquare(scene, 0, 0, 0.4f);
    for (bool mipmapping : {true, false}) {
        scene.mipmapping = mipmapping;
        const Image frame = drawPreviewFrame(scene, frontPose());
        EXPECT_EQ(colorDistance(pixelAt(frame, projectToPixel(scene, 0.1f, 0.2f, 0)), Rgb{128, 64, 255}), 0)
            << "mipmapping " << mipmapping;
    }
}

// The environment map wins over the texture, and sphere-map generation is switched off again
// after the primitive.
TEST(PreviewTextures, EnvironmentMapTakesPrecedenceOverTheTexture)
{
    const Texture red = uniformTexture(8, Color(1, 0, 0, 1));
    const Texture green = uniformTexture(8, Color(0, 1, 0, 1));
    Scene scene;
    scene.setTextures(&red, nullptr, &green);
    addSquare(scene, 0, 0, 0.4f);
    const Image frame = drawPreviewFrame(scene, frontPose());
    EXPECT_EQ(colorDistance(pixelAt(frame, projectToPixel(scene, 0, 0, 0)), Rgb{0, 255, 0}), 0);
    EXPECT_EQ(colorDistance(pixelAt(frame, projectToPixel(scene, 0.3f, -0.3f, 0)), Rgb{0, 255, 0}), 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
}

// Minified checker texels: mip-mapped and trilinear they blend to grey, single-level and nearest
// each pixel picks one texel. The sphere-mapped primitive is filtered the same either way.
TEST(PreviewTextures, MipmappingSwitchChangesMinifiedTexturesOnly)
{
    const Texture checker = checkerTexture(256);
    Scene scene;
    scene.setTextures(&checker, nullptr, nullptr);
    addSquare(scene, -0.3f, 0, 0.1f);  // 256 texels over about 80 pixels
    scene.setTextures(nullptr, nullptr, &checker);
    addSquare(scene, 0.3f, 0, 0.1f);

    scene.mipmapping = true;
    const Image mipmapped = drawPreviewFrame(scene, frontPose());
    scene.mipmapping = false;
    const Image nearest = drawPreviewFrame(scene, frontPose());

    int blended = 0;
    int picked = 0;
    int samples = 0;
    for (float x = -0.38f; x < -0.22f; x += 0.01f)
        for (float y = -0.08f; y < 0.08f; y += 0.01f) {
            const PixelPosition p = projectToPixel(scene, x, y, 0);
            const Rgb m = pixelAt(mipmapped, p);
            if (m.r > 90 && m.r < 165) ++blended;
            if (isBlackOrWhite(pixelAt(nearest, p))) ++picked;
            ++samples;
        }
    EXPECT_EQ(blended, samples);
    EXPECT_EQ(picked, samples);

    int environmentDifferences = 0;
    for (float x = 0.21f; x < 0.39f; x += 0.005f)
        for (float y = -0.09f; y < 0.09f; y += 0.005f) {
            const PixelPosition p = projectToPixel(scene, x, y, 0);
            if (colorDistance(pixelAt(mipmapped, p), pixelAt(nearest, p)) != 0) ++environmentDifferences;
        }
    EXPECT_EQ(environmentDifferences, 0);
}

// Texture objects are named by primitive index, the first one being the default object 0; an
// untextured primitive in between leaves its name unused.
TEST(PreviewTextures, TextureObjectsAreNamedByPrimitiveIndex)
{
    const Texture small = uniformTexture(8, Color(1, 1, 1, 1));
    const Texture large = uniformTexture(32, Color(1, 1, 1, 1));
    Scene scene;
    scene.setTextures(&small, nullptr, nullptr);
    addSquare(scene, -0.3f, 0, 0.1f);
    scene.setTextures(nullptr, nullptr, nullptr);
    addSquare(scene, 0, 0, 0.1f);
    scene.setTextures(nullptr, nullptr, &large);
    addSquare(scene, 0.3f, 0, 0.1f);
    scene.mipmapping = false;
    // Earlier tests in this context may have used name 1; this frame must not.
    const GLuint one = 1;
    glDeleteTextures(1, &one);
    drawPreviewFrame(scene, frontPose());
    EXPECT_EQ(levelZeroWidth(0), 8);
    EXPECT_EQ(levelZeroWidth(2), 32);
    EXPECT_FALSE(glIsTexture(1));
}

// A one-channel image given as a colour texture is read as grey, never past the end of its texels.
TEST(PreviewTextures, OneChannelImageShowsAsGrey)
{
    Texture heights(16, 16, 1);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) heights.setTexelValue(x, y, 0.5f);
    Scene scene;
    scene.setTextures(&heights, nullptr, nullptr);
    addSquare(scene, 0, 0, 0.4f);
    for (bool mipmapping : {true, false}) {
        scene.mipmapping = mipmapping;
        const Image frame = drawPreviewFrame(scene, frontPose());
        EXPECT_LE(colorDistance(pixelAt(frame, projectToPixel(scene, 0, 0, 0)), Rgb{128, 128, 128}), 1)
            << "mipmapping " << mipmapping;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
