#include "preview/gl_errors.h"

#include <GL/gl.h>

#include <cstdio>

namespace {

// OpenGL keeps one flag per error code, so only a handful can be pending; the bound only stops a
// context that keeps reporting (a lost one) from holding the frame forever.
constexpr int kMaxReports = 32;

}  // namespace

void reportPendingGlErrors()
{
    bool printed = false;
    for (int i = 0; i < kMaxReports; ++i) {
        const GLenum code = glGetError();
        if (code == GL_NO_ERROR) break;
        std::printf("ERROR: 0x%x\n", code);
        printed = true;
    }
    if (printed) std::fflush(stdout);
}
