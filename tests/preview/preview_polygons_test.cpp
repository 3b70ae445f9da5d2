#include <gtest/gtest.h>

#include "scene/model_geometry.h"
#include "support/preview_frame.h"

namespace {

void addRing(Scene& scene, float half, bool clockwise)
{
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int i = 0; i < 4; ++i) {
        const auto& c = corners[clockwise ? 3 - i : i];
        scene.addVertex(c[0] * half, c[1] * half, 0.0f);
    }
}

}  // namespace

// OpenGL fills the outline whole; the hole, coplanar with it and drawn after it, only shows
// because it is pulled forward past the depth test. Lighting is off, so the colours are the
// current colour: black for the hole, white again for the next primitive.
TEST(PreviewPolygons, AHoleIsPaintedBlackInFrontOfItsOutline)
{
    Scene scene;
    scene.beginPrimitive();
    scene.beginPolygon();
    addRing(scene, 0.4f, false);
    scene.beginContour();
    addRing(scene, 0.15f, true);
    addSquare(scene, 0.5f, 0.5f, 0.08f);

    const Rgb blue{0, 0, 255};
    const Image image = drawPreviewFrame(scene, frontPose(), blue);
    const Rgb black{0, 0, 0};
    const Rgb white{255, 255, 255};
    EXPECT_EQ(colorDistance(pixelAt(image, projectToPixel(scene, 0.0f, 0.0f, 0.0f)), black), 0);
    EXPECT_EQ(colorDistance(pixelAt(image, projectToPixel(scene, 0.1f, -0.1f, 0.0f)), black), 0);
    EXPECT_EQ(colorDistance(pixelAt(image, projectToPixel(scene, 0.3f, 0.0f, 0.0f)), white), 0);
    EXPECT_EQ(colorDistance(pixelAt(image, projectToPixel(scene, -0.2f, 0.2f, 0.0f)), white), 0);
    EXPECT_EQ(colorDistance(pixelAt(image, projectToPixel(scene, 0.5f, 0.5f, 0.0f)), white), 0);
    EXPECT_EQ(colorDistance(pixelAt(image, projectToPixel(scene, -0.5f, -0.5f, 0.0f)), blue), 0);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
}

// A one-vertex contour and an empty polygon are drawn without raising any OpenGL error.
TEST(PreviewPolygons, DegeneratePolygonsRaiseNoError)
{
    Scene scene;
    scene.beginPrimitive();
    scene.beginPolygon();
    scene.beginPolygon();
    addRing(scene, 0.3f, false);
    scene.beginContour();
    scene.addVertex(0, 0, 0);
    drawPreviewFrame(scene);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A model's arrays are made once: vertices moved behind the building interface's back still show
// where they were until the arrays' owner forgets them; and they draw what immediate mode draws.
TEST(PreviewPolygons, ModelArraysAreMadeOncePerBuildAndDrawAsImmediateMode)
{
    ModelGeometry geometry;
    geometry.meshes.resize(1);
    ModelMesh& mesh = geometry.meshes[0];
    mesh.positions = {Vec3(-1, -1, 0), Vec3(1, -1, 0), Vec3(1, 1, 0), Vec3(-1, 1, 0)};
    mesh.faceSizes = {3, 3};
    mesh.indices = {0, 1, 2, 0, 2, 3};
    Scene scene;
    buildModel(scene, geometry, ModelSettings());
    ModelArrays arrays;
    const Image square = drawPreviewFrameFromArrays(scene, arrays, frontPose());
    for (Vertex& v : scene.primitives[0].polygons[0]) v.position.x += 0.3f;
    EXPECT_EQ(countDifferentPixels(drawPreviewFrameFromArrays(scene, arrays, frontPose()), square), 0);
    forgetModelArrays(arrays);
    EXPECT_GT(countDifferentPixels(drawPreviewFrameFromArrays(scene, arrays, frontPose()), square), 1000);

    mesh.faceSizes = {3, 4};  // a quad over the triangle: depth ties go to the first drawn
    mesh.indices = {0, 1, 2, 3, 2, 1, 0};
    buildModel(scene, geometry, ModelSettings());
    forgetModelArrays(arrays);
    const Image fromArrays = drawPreviewFrameFromArrays(scene, arrays, frontPose());
    EXPECT_GT(countDifferentPixels(fromArrays, square), 1000);
    EXPECT_EQ(countDifferentPixels(fromArrays, drawPreviewFrame(scene, frontPose()), 2), 0);
}
