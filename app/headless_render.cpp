#include "app/headless_render.h"

#include <algorithm>

#include "app/render_frame.h"
#include "raster/frame_driver.h"
#include "raster/frame_image.h"
#include "raster/prepare_textures.h"
#include "scene/demo_scenes.h"

void buildHeadlessScene(HeadlessScene& headless, const RenderOptions& options)
{
    headless.width = options.width;
    headless.height = options.height;
    headless.scene.clear();
    buildScene(headless.scene, options.sceneNumber, options.spherePath.empty() ? nullptr : options.spherePath.c_str());
    headless.scene.mipmapping = options.mipmapping;
    headless.path = options.reference ? FramePath::oneFragmentAtATime : defaultFramePath();
    prepareTextures(headless.scene, headless.depthBuffer, headless.edgeTable, headless.mipChains, options.width,
                    options.height);
}

ModelReport buildHeadlessModel(HeadlessScene& headless, const RenderOptions& options)
{
    headless.width = options.width;
    headless.height = options.height;
    ModelReport report = importModel(headless.scene, options.model);
    headless.scene.mipmapping = options.mipmapping;
    headless.path = options.reference ? FramePath::oneFragmentAtATime : defaultFramePath();
    prepareTextures(headless.scene, headless.depthBuffer, headless.edgeTable, headless.mipChains, options.width,
                    options.height);
    return report;
}

RgbImage topRowFirst(const std::vector<uint8_t>& bottomUp, int width, int height)
{
    RgbImage image{width, height, std::vector<uint8_t>(bottomUp.size())};
    const size_t row = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        std::copy_n(&bottomUp[static_cast<size_t>(height - 1 - y) * row], row, &image.pixels[y * row]);
    return image;
}

void drawSoftwareFrame(HeadlessScene& headless, const CameraPose& pose)
{
    Scene& scene = headless.scene;
    setupCamera(scene.projectionStack, scene.viewStack, pose, headless.width, headless.height);
    // renderSoftwareFrame whitens the frame itself; this only gives it the size.
    if (headless.frame.width != headless.width || headless.frame.height != headless.height)
        headless.frame.reset(headless.width, headless.height);
    renderSoftwareFrame(scene, headless.depthBuffer, headless.edgeTable, headless.mipChains, headless.frame,
                        headless.path);
}

RgbImage renderSoftwareImage(HeadlessScene& headless, const CameraPose& pose)
{
    drawSoftwareFrame(headless, pose);
    return topRowFirst(headless.frame.rgb, headless.width, headless.height);
}

RgbImage renderOpenGlImage(HeadlessScene& headless, const CameraPose& pose, const OffscreenGl& gl)
{
    headless.scene.useOpenGL = true;
    drawFrame(headless.scene, pose, headless.depthBuffer, headless.edgeTable, headless.mipChains, headless.width,
              headless.height);
    return RgbImage{headless.width, headless.height, gl.readPixels()};
}
