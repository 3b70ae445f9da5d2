#include <gtest/gtest.h>

#include <string>

#include "support/preview_frame.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// Every kind of state the renderer switches on: lighting, flat shading, a hole, an environment
// map and a mip-mapped texture.
void buildBusyScene(Scene& scene, const Texture& image)
{
    scene.lightingEnabled = true;
    scene.flatShading = true;
    scene.setAmbient(Color(0.2f, 0.2f, 0.2f, 1));
    scene.addLight(1, 2, 3, Color(0.7f, 0.6f, 0.5f, 1));
    scene.setTextures(&image, nullptr, nullptr);
    addSquare(scene, -0.3f, 0.0f, 0.2f);
    scene.beginContour();
    scene.addVertex(-0.35f, -0.05f, 0);
    scene.addVertex(-0.35f, 0.05f, 0);
    scene.addVertex(-0.25f, 0.0f, 0);
    scene.setTextures(nullptr, nullptr, &image);
    addSquare(scene, 0.3f, 0.0f, 0.2f);
}

GLint integerState(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

// A lit square facing +z with one light per entry of `colors`, all shining from +z.
void buildLitSquare(Scene& scene, const std::vector<Color>& colors)
{
    scene.lightingEnabled = true;
    scene.setAmbient(Color(0.1f, 0.1f, 0.1f, 1));
    for (const Color& c : colors) scene.addLight(0, 0, 1, c);
    scene.setMaterial(Color(1, 1, 1, 1), Color(0, 0, 0, 1), 0);
    addSquare(scene, 0, 0, 0.5f);
}

}  // namespace

// The viewer draws the software renderer's points in the same context afterwards: nothing that
// lights, textures, depth-tests or offsets them may stay on.
TEST(PreviewState, FrameLeavesNothingOnThatWouldChangePoints)
{
    const Texture image = uniformTexture(4, Color(1, 1, 1, 1));
    Scene scene;
    buildBusyScene(scene, image);
    drawPreviewFrame(scene);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The view goes on the model-view stack and the projection on the projection stack, transposed
// into OpenGL's column order, and the projection stack stays selected. The light's direction is
// given after the view, so OpenGL holds it in eye coordinates, with w = 0. Specular highlights
// are taken with a local viewer.
TEST(PreviewState, CameraShadingAndLightsAsLoaded)
{
    const Texture image = uniformTexture(4, Color(1, 1, 1, 1));
    Scene scene;
    buildBusyScene(scene, image);
    drawPreviewFrame(scene);
    EXPECT_EQ(integerState(GL_MATRIX_MODE), GL_PROJECTION);
    EXPECT_EQ(integerState(GL_SHADE_MODEL), GL_FLAT);

    float expected[16];
    float actual[16];
    scene.projectionStack.toColumnMajor(expected);
    glGetFloatv(GL_PROJECTION_MATRIX, actual);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(actual[i], expected[i]) << "projection element " << i;
    scene.viewStack.toColumnMajor(expected);
    glGetFloatv(GL_MODELVIEW_MATRIX, actual);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(actual[i], expected[i]) << "view element " << i;

    const Vec4 eye = scene.viewStack.transform(Vec4(1, 2, 3, 0));
    float position[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, position);
    EXPECT_NEAR(position[0], eye.x, 1e-5);
    EXPECT_NEAR(position[1], eye.y, 1e-5);
    EXPECT_NEAR(position[2], eye.z, 1e-5);
    EXPECT_EQ(position[3], 0.0f);
    float diffuse[4];
    float specular[4];
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glGetLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    EXPECT_FLOAT_EQ(diffuse[1], 0.6f);
    EXPECT_FLOAT_EQ(specular[2], 0.5f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_EQ(integerState(GL_LIGHT_MODEL_LOCAL_VIEWER), 1);
    float ambient[4];
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_FLOAT_EQ(ambient[0], 0.2f);

    scene.flatShading = false;
    drawPreviewFrame(scene);
    EXPECT_EQ(integerState(GL_SHADE_MODEL), GL_SMOOTH);
}

// Errors are drained and printed at the start of the next preview frame, whether raised outside
// the renderer or by the renderer itself (a shininess above OpenGL's 128); a clean frame prints nothing.
TEST(PreviewState, PendingErrorsArePrintedAtTheStartOfTheNextFrame)
{
    Scene scene;
    addSquare(scene, 0, 0, 0.3f);
    CaptureStdout();
    drawPreviewFrame(scene);  // drains whatever earlier tests left
    GetCapturedStdout();

    glEnable(0xFFFF);
    CaptureStdout();
    drawPreviewFrame(scene);
    EXPECT_EQ(GetCapturedStdout(), "ERROR: 0x500\n");
    CaptureStdout();
    drawPreviewFrame(scene);
    EXPECT_EQ(GetCapturedStdout(), "");

    scene.primitives[0].shininess = 200;
    CaptureStdout();
    drawPreviewFrame(scene);
    EXPECT_EQ(GetCapturedStdout(), "");
    CaptureStdout();
    drawPreviewFrame(scene);
    EXPECT_EQ(GetCapturedStdout(), "ERROR: 0x501\n");
    glGetError();
}

// Units beyond the implementation's count are left out: no invalid-enumerant error, and the
// picture is that of the first GL_MAX_LIGHTS lights alone (the extra light would whiten it).
TEST(PreviewState, LightsBeyondTheImplementationsUnitsAreLeftOut)
{
    TestWindow::use(kFrameSize, kFrameSize);
    const int unitCount = integerState(GL_MAX_LIGHTS);
    ASSERT_GT(unitCount, 0);
    std::vector<Color> colors(static_cast<size_t>(unitCount), Color(0.05f, 0.05f, 0.05f, 1));
    Scene fitting;
    buildLitSquare(fitting, colors);
    colors.push_back(Color(1, 1, 1, 1));
    Scene tooMany;
    buildLitSquare(tooMany, colors);

    const Image expected = drawPreviewFrame(fitting, frontPose());
    CaptureStdout();
    const Image image = drawPreviewFrame(tooMany, frontPose());
    drawPreviewFrame(tooMany, frontPose());
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(countDifferentPixels(image, expected), 0);
    const Rgb centre = pixelAt(image, projectToPixel(tooMany, 0, 0, 0));
    EXPECT_NEAR(centre.r, (0.1 + 0.05 * unitCount) * 255, 1.5);
}

// A scene with fewer lights than the one before must not keep the earlier scene's extra units.
TEST(PreviewState, LightsOfAnEarlierSceneAreSwitchedOff)
{
    Scene two;
    buildLitSquare(two, {Color(0.3f, 0.3f, 0.3f, 1), Color(0.5f, 0.0f, 0.5f, 1)});
    Scene one;
    buildLitSquare(one, {Color(0.3f, 0.3f, 0.3f, 1)});

    const Image fresh = drawPreviewFrameInFreshWindow(one, frontPose());
    drawPreviewFrame(two, frontPose());
    const Image afterTwo = drawPreviewFrame(one, frontPose());
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    EXPECT_EQ(countDifferentPixels(afterTwo, fresh, 1), 0);
    EXPECT_NEAR(pixelAt(afterTwo, projectToPixel(one, 0, 0, 0)).r, 0.4 * 255, 1.5);
}

// A hole leaves the current colour black; unlit primitives of later frames are drawn in white again.
TEST(PreviewState, BlackOfAHoleDoesNotCarryIntoLaterFrames)
{
    Scene holed;
    addSquare(holed, 0, 0, 0.5f);
    holed.beginContour();
    holed.addVertex(-0.1f, -0.1f, 0);
    holed.addVertex(0.0f, 0.1f, 0);
    holed.addVertex(0.1f, -0.1f, 0);
    const Texture image = uniformTexture(4, Color(0.5f, 1.0f, 0.25f, 1));
    Scene unlit;
    unlit.setTextures(&image, nullptr, nullptr);
    addSquare(unlit, 0, 0, 0.5f);

    const Image fresh = drawPreviewFrameInFreshWindow(unlit, frontPose());
    drawPreviewFrame(holed, frontPose());
    const Image afterHole = drawPreviewFrame(unlit, frontPose());
    EXPECT_EQ(countDifferentPixels(afterHole, fresh, 1), 0);
    EXPECT_EQ(colorDistance(pixelAt(afterHole, projectToPixel(unlit, 0, 0, 0)), Rgb{128, 255, 64}), 0);
}

// A model's texture is the surface colour, (0.5, 1, 0.25) × (0.25 + 0.5 × 0.5) + 0.5 × 0.25: the
// ambient light not scaled by the diffuse colour, the highlight added after texturing. A scene's
// texture modulates it all: (0.5, 1, 0.25) × (0.25 × 0.5 + 0.5 × 0.5 + 0.5 × 0.25).
TEST(PreviewState, AModelsTextureModulatesAmbientAndDiffuseOnly)
{
    const Texture image = uniformTexture(4, Color(0.5f, 1.0f, 0.25f, 1));
    Scene scene;
    buildLitSquare(scene, {Color(0.5f, 0.5f, 0.5f, 1)});
    scene.setAmbient(Color(0.25f, 0.25f, 0.25f, 1));
    scene.primitives[0].diffuse = Color(0.5f, 0.5f, 0.5f, 1);
    scene.primitives[0].specular = Color(0.25f, 0.25f, 0.25f, 1);  // shininess 0: the full highlight
    scene.primitives[0].texture = &image;
    for (const auto& [role, expected] : {std::pair{TextureRole::surfaceColour, Rgb{96, 159, 64}},
                                         std::pair{TextureRole::ambientOnly, Rgb{64, 128, 32}}}) {
        scene.primitives[0].textureRole = role;
        const Image frame = drawPreviewFrame(scene, frontPose());
        EXPECT_LE(colorDistance(pixelAt(frame, projectToPixel(scene, 0, 0, 0)), expected), 1);
    }
}
