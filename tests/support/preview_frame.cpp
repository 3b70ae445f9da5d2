#include "support/preview_frame.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "preview/render_with_opengl.h"

namespace {

void ignoreDisplay() {}

void setUpViewerFrame(Rgb background)
{
    glViewport(0, 0, kFrameSize, kFrameSize);
    glClearColor(background.r / 255.0f, background.g / 255.0f, background.b / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kFrameSize, 0, kFrameSize, 0, -1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

Image renderAndRead(Scene& scene, const CameraPose& pose, Rgb background, ModelArrays* arrays = nullptr)
{
    setUpViewerFrame(background);
    setupCamera(scene.projectionStack, scene.viewStack, pose, kFrameSize, kFrameSize);
    renderWithOpenGL(scene, kFrameSize, kFrameSize, arrays);
    return TestWindow::readBack(kFrameSize, kFrameSize);
}

}  // namespace

Image drawPreviewFrame(Scene& scene, const CameraPose& pose, Rgb background)
{
    TestWindow::use(kFrameSize, kFrameSize);
    return renderAndRead(scene, pose, background);
}

Image drawPreviewFrameFromArrays(Scene& scene, ModelArrays& arrays, const CameraPose& pose)
{
    TestWindow::use(kFrameSize, kFrameSize);
    return renderAndRead(scene, pose, {255, 255, 255}, &arrays);
}

Image drawPreviewFrameInFreshWindow(Scene& scene, const CameraPose& pose)
{
    TestWindow::use(kFrameSize, kFrameSize);  // initialises the toolkit on first use
    glutInitWindowSize(kFrameSize, kFrameSize);
    const int window = glutCreateWindow("Pixelwright fresh context");
    glutDisplayFunc(ignoreDisplay);
    for (int i = 0; i < 20; ++i) glutMainLoopEvent();
    glutSetWindow(window);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    Image image = renderAndRead(scene, pose, {255, 255, 255});
    glutDestroyWindow(window);
    glutMainLoopEvent();
    return image;
}

PixelPosition projectToPixel(const Scene& scene, float x, float y, float z)
{
    const Vec4 clip = scene.projectionStack.current * (scene.viewStack.current * Vec4(x, y, z, 1.0f));
    const double nx = static_cast<double>(clip.x) / clip.w;
    const double ny = static_cast<double>(clip.y) / clip.w;
    return {static_cast<int>(std::floor((nx + 1.0) * 0.5 * kFrameSize)),
            static_cast<int>(std::floor((ny + 1.0) * 0.5 * kFrameSize))};
}

Vec3 unprojectToPlaneZ(const Scene& scene, int x, int y, float z)
{
    const double nx = (x + 0.5) * 2.0 / kFrameSize - 1.0;
    const double ny = (y + 0.5) * 2.0 / kFrameSize - 1.0;
    double ends[2][3];
    for (int i = 0; i < 2; ++i) {
        const Vec4 eye = scene.projectionStack.transformByInverse(
            Vec4(static_cast<float>(nx), static_cast<float>(ny), i == 0 ? -1.0f : 1.0f, 1.0f));
        const Vec4 world = scene.viewStack.transformByInverse(eye);
        ends[i][0] = static_cast<double>(world.x) / world.w;
        ends[i][1] = static_cast<double>(world.y) / world.w;
        ends[i][2] = static_cast<double>(world.z) / world.w;
    }
    const double f = (z - ends[0][2]) / (ends[1][2] - ends[0][2]);
    return Vec3(static_cast<float>(ends[0][0] + f * (ends[1][0] - ends[0][0])),
                static_cast<float>(ends[0][1] + f * (ends[1][1] - ends[0][1])), z);
}

int countDifferentPixels(const Image& a, const Image& b, int tolerance)
{
    int count = 0;
    for (size_t i = 0; i + 2 < std::min(a.size(), b.size()); i += 3) {
        const int d = std::max({std::abs(a[i] - b[i]), std::abs(a[i + 1] - b[i + 1]), std::abs(a[i + 2] - b[i + 2])});
        if (d > tolerance) ++count;
    }
    return count + static_cast<int>(std::max(a.size(), b.size()) - std::min(a.size(), b.size())) / 3;
}

void addSquare(Scene& scene, float cx, float cy, float half)
{
    scene.beginPrimitive();
    scene.beginPolygon();
    scene.setNormal(0, 0, 1);
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const auto& c : corners) {
        scene.setTexCoord((c[0] + 1) * 0.5f, (c[1] + 1) * 0.5f);
        scene.addVertex(cx + c[0] * half, cy + c[1] * half, 0.0f);
    }
}

Texture uniformTexture(int size, const Color& c)
{
    Texture t(size, size, 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) t.setTexelColor(x, y, c);
    return t;
}

int colorDistance(Rgb a, Rgb b) { return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)}); }
