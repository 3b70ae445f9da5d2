// The WebGL 2 renderer as the page's script sees it:
//   const gl = new Module.WebGlRenderer('#opengl-canvas');  // a canvas of the page, by CSS selector
//   gl.available()                  false without WebGL 2: draw then returns null
//   gl.rebuild(page)                after page.build(...): uploads the new scene's vertices and textures
//   gl.draw(page, pose)             {width, height, rgba} at page.software's size, top row first, in
//                                   the page's picture memory (valid until its next picture)
//   gl.frameTime(page, pose, n)     median milliseconds of n frames, each waited for
//   gl.delete()                     releases the context
// A new size (page.resize) needs nothing more: draw sizes the canvas. A new mip-mapping setting
// (page.setMipmapping) is seen by draw, which uploads the textures again.
#include <emscripten/bind.h>

#include <algorithm>
#include <string>
#include <vector>

#include "web/page_renderer.h"
#include "web/webgl_frame.h"

namespace {

// Owns its context: not copyable, the context is destroyed with it.
struct WebGlRenderer {
    WebGlContext context;
    std::vector<uint8_t> readBack;

    explicit WebGlRenderer(const std::string& selector) : context(openWebGlContext(selector)) {}
    WebGlRenderer(const WebGlRenderer&) = delete;
    WebGlRenderer& operator=(const WebGlRenderer&) = delete;
    ~WebGlRenderer() { closeWebGlContext(context); }
};

bool available(const WebGlRenderer& renderer) { return renderer.context.handle > 0; }

// The frame at the software scene's size, or null without WebGL 2.
emscripten::val draw(WebGlRenderer& renderer, PageRenderer& page, const CameraPose& pose)
{
    if (!available(renderer)) return emscripten::val::null();
    const int width = page.software.width, height = page.software.height;
    drawWebGlFrame(renderer.context, page.software.scene, pose, width, height);
    return handOut(readWebGlFrame(width, height, renderer.readBack), page.rgba);
}

// After PageRenderer.build (a new scene), before the next draw.
void rebuild(WebGlRenderer& renderer, PageRenderer& page)
{
    if (!available(renderer)) return;
    useWebGlContext(renderer.context, page.software.width, page.software.height);
    uploadWebGlScene(renderer.context.scene, page.software.scene);
}

// The median of `frames` frames in milliseconds, each ended by reading one pixel, which waits
// for the drawing where finishing does not.
double frameTime(WebGlRenderer& renderer, PageRenderer& page, const CameraPose& pose, int frames)
{
    if (!available(renderer) || frames <= 0) return -1.0;
    std::vector<double> times;
    uint8_t pixel[4];
    for (int i = 0; i < frames; ++i) {
        const double start = emscripten_get_now();
        drawWebGlFrame(renderer.context, page.software.scene, pose, page.software.width, page.software.height);
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        times.push_back(emscripten_get_now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

EMSCRIPTEN_BINDINGS(webgl)
{
    emscripten::class_<WebGlRenderer>("WebGlRenderer")
        .constructor<std::string>()
        .function("available", &available)
        .function("draw", &draw)
        .function("rebuild", &rebuild)
        .function("frameTime", &frameTime);
}
