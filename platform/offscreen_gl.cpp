#include "platform/offscreen_gl.h"

// Keep Xlib's macros out: this context needs no X server.
#define EGL_NO_X11
#include <EGL/egl.h>
#include <EGL/eglext.h>
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>

namespace {

// A dispatcher hands out an entry point for any name, so the context itself must offer it.
bool hasClipControl()
{
    int major = 0, minor = 0;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version && std::sscanf(version, "%d.%d", &major, &minor) == 2 && (major > 4 || (major == 4 && minor >= 5)))
        return true;
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const char* name = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        if (name && std::strcmp(name, "GL_ARB_clip_control") == 0) return true;
    }
    return false;
}

EGLDisplay openSurfacelessDisplay(std::string& error)
{
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        error = "EGL has no platform displays (eglGetPlatformDisplayEXT missing)";
        return EGL_NO_DISPLAY;
    }
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
        error = "no EGL device available (surfaceless platform could not be initialised)";
        return EGL_NO_DISPLAY;
    }
    return display;
}

EGLContext createCompatibilityContext(EGLDisplay display, std::string& error)
{
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = "EGL offers no desktop OpenGL";
        return EGL_NO_CONTEXT;
    }
    // The default surface type asks for windows, which the surfaceless platform has none of.
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count == 0) {
        error = "EGL has no OpenGL configuration";
        return EGL_NO_CONTEXT;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 0,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) error = "EGL could not create an OpenGL compatibility context";
    return context;
}

// The names are handed out before the check, so that a framebuffer refused is still deleted.
bool createFramebuffer(int width, int height, unsigned& framebuffer, unsigned& colour, unsigned& depth,
                       std::string& error)
{
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "the off-screen framebuffer of " + std::to_string(width) + "x" + std::to_string(height) +
                " is not complete (too large for this OpenGL?)";
        return false;
    }
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    return true;
}

// A window's buffer is stored top row first, and Mesa rasterises it upside down: its blocks and the
// origin of every interpolation sit at the top. An upper-left clip origin gives the framebuffer
// object the same layout, so its pictures equal the window's to the last level (with the usual
// lower-left origin, ±1 or 2 in a few dozen pixels of a frame).
bool putOriginAtTop(std::string& error)
{
    auto clipControl = reinterpret_cast<PFNGLCLIPCONTROLPROC>(eglGetProcAddress("glClipControl"));
    if (!clipControl || !hasClipControl()) {
        error = "OpenGL has no glClipControl (OpenGL 4.5 or ARB_clip_control is needed)";
        return false;
    }
    clipControl(GL_UPPER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
    return true;
}

}  // namespace

bool OffscreenGl::open(int width, int height, std::string& error)
{
    const EGLDisplay display = openSurfacelessDisplay(error);
    if (display == EGL_NO_DISPLAY) return false;
    display_ = display;
    const EGLContext context = createCompatibilityContext(display, error);
    if (context == EGL_NO_CONTEXT) return false;
    context_ = context;
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        error = "EGL could not make the context current without a surface";
        return false;
    }
    if (!createFramebuffer(width, height, framebuffer_, colour_, depth_, error) || !putOriginAtTop(error))
        return false;
    glViewport(0, 0, width, height);
    // Nothing of the set-up may linger as a pending error for the renderer's first report.
    while (glGetError() != GL_NO_ERROR) {
    }
    width_ = width;
    height_ = height;
    return true;
}

std::vector<uint8_t> OffscreenGl::readPixels() const
{
    std::vector<uint8_t> pixels(static_cast<size_t>(width_) * height_ * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glFinish();
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::vector<float> OffscreenGl::readDepths() const
{
    std::vector<float> depths(static_cast<size_t>(width_) * height_);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glFinish();
    glReadPixels(0, 0, width_, height_, GL_DEPTH_COMPONENT, GL_FLOAT, depths.data());
    return depths;
}

OffscreenGl::~OffscreenGl()
{
    if (!display_) return;
    if (context_) {
        if (framebuffer_) {
            glDeleteRenderbuffers(1, &colour_);
            glDeleteRenderbuffers(1, &depth_);
            glDeleteFramebuffers(1, &framebuffer_);
        }
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
    }
    // The display stays initialised: it is the process's one surfaceless display, and terminating
    // it unloads the driver, whose leftovers leak checkers can then no longer attribute or suppress.
}
