#include "web/webgl_context.h"

WebGlContext openWebGlContext(const std::string& selector)
{
    WebGlContext context;
    context.selector = selector;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_TRUE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.alpha = EM_FALSE;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = emscripten_webgl_create_context(selector.c_str(), &attributes);
    if (handle <= 0) return context;
    emscripten_webgl_make_context_current(handle);
    for (int flat = 0; flat < 2; ++flat)
        for (int lit = 0; lit < 2; ++lit)
            for (int mode = 0; mode < kTextureModes; ++mode) {
                FixedProgram& program = context.programs[flat][lit][mode];
                program = buildFixedProgram({flat == 1, lit == 1, static_cast<FixedTextureMode>(mode)});
                if (program.program != 0) continue;
                emscripten_webgl_destroy_context(handle);
                return context;
            }
    context.handle = handle;
    return context;
}

void useWebGlContext(WebGlContext& context, int width, int height)
{
    emscripten_webgl_make_context_current(context.handle);
    if (width == context.width && height == context.height) return;
    emscripten_set_canvas_element_size(context.selector.c_str(), width, height);
    context.width = width;
    context.height = height;
}

void closeWebGlContext(WebGlContext& context)
{
    if (context.handle <= 0) return;
    emscripten_webgl_make_context_current(context.handle);
    releaseWebGlScene(context.scene);
    emscripten_webgl_destroy_context(context.handle);
    context.handle = 0;
}
