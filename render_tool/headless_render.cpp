#include "render_tool/headless_render.h"

#include "platform/installed_data.h"
#include "preview/render_with_opengl.h"
#include "preview/window_frame.h"

void buildHeadlessScene(HeadlessScene& headless, const RenderOptions& options)
{
    const std::string installed = installedDataFile("sphere.raw");
    headless.path = options.reference ? FramePath::oneFragmentAtATime : defaultFramePath();
    buildSoftwareScene(headless, options.sceneNumber, options.width, options.height, options.mipmapping,
                       options.spherePath.empty() ? nullptr : options.spherePath.c_str(), installed.c_str());
}

ModelReport buildHeadlessModel(HeadlessScene& headless, const RenderOptions& options)
{
    ModelReport report = importModel(headless.scene, options.model);
    headless.isModel = true;
    headless.scene.mipmapping = options.mipmapping;
    headless.path = options.reference ? FramePath::oneFragmentAtATime : defaultFramePath();
    prepareSoftwareScene(headless, options.width, options.height);
    return report;
}

RgbImage renderOpenGlImage(HeadlessScene& headless, const CameraPose& pose, const OffscreenGl& gl)
{
    headless.scene.useOpenGL = true;
    beginWindowFrame(headless.scene, pose, headless.width, headless.height);
    // A model is drawn from arrays built once; the scenes keep immediate mode, as in the viewer.
    renderWithOpenGL(headless.scene, headless.width, headless.height, headless.isModel ? &headless.modelArrays : nullptr);
    return RgbImage{headless.width, headless.height, gl.readPixels()};
}
