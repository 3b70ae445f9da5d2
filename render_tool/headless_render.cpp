#include "render_tool/headless_render.h"

#include "platform/installed_data.h"
#include "preview/render_with_opengl.h"
#include "preview/window_frame.h"
#include "raster/frame_driver.h"
#include "raster/frame_image.h"
#include "raster/prepare_textures.h"
#include "scene/demo_scenes.h"

void buildHeadlessScene(HeadlessScene& headless, const RenderOptions& options)
{
    headless.width = options.width;
    headless.height = options.height;
    headless.scene.clear();
    const std::string installed = installedDataFile("sphere.raw");
    buildScene(headless.scene, options.sceneNumber, options.spherePath.empty() ? nullptr : options.spherePath.c_str(),
               installed.c_str());
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
    headless.isModel = true;
    headless.scene.mipmapping = options.mipmapping;
    headless.path = options.reference ? FramePath::oneFragmentAtATime : defaultFramePath();
    prepareTextures(headless.scene, headless.depthBuffer, headless.edgeTable, headless.mipChains, options.width,
                    options.height);
    return report;
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
    beginWindowFrame(headless.scene, pose, headless.width, headless.height);
    // A model is drawn from arrays built once; the scenes keep immediate mode, as in the viewer.
    renderWithOpenGL(headless.scene, headless.width, headless.height, headless.isModel ? &headless.modelArrays : nullptr);
    return RgbImage{headless.width, headless.height, gl.readPixels()};
}
