#include "support/test_window.h"

#include <dlfcn.h>
#include <link.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int window = 0;

void ignoreDisplay() {}

int collectDriverName(dl_phdr_info* info, size_t, void* names)
{
    if (info->dlpi_name != nullptr && std::strstr(info->dlpi_name, "_dri.so") != nullptr)
        static_cast<std::vector<std::string>*>(names)->push_back(info->dlpi_name);
    return 0;
}

// Mesa unloads its driver at exit before a sanitized build's leak check runs, and the check then
// cannot name the library that allocated the context's buffers. One more reference keeps the
// driver mapped, so the suppressions below can match it.
void keepDriverLoaded()
{
    std::vector<std::string> names;
    dl_iterate_phdr(collectDriverName, &names);
    for (const std::string& name : names) dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

}  // namespace

void TestWindow::use(int width, int height)
{
    if (window == 0) {
        int argc = 1;
        char name[] = "pixelwright_gl_tests";
        char* argv[] = {name, nullptr};
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowSize(width, height);
        glutInit(&argc, argv);
        window = glutCreateWindow("Pixelwright tests");
        glutDisplayFunc(ignoreDisplay);
        keepDriverLoaded();
    } else {
        glutSetWindow(window);
        glutReshapeWindow(width, height);
    }
    // Let the server map and size the window before drawing into it.
    for (int i = 0; i < 20; ++i) glutMainLoopEvent();
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, 0, -1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
}

std::vector<uint8_t> TestWindow::readBack(int width, int height)
{
    std::vector<uint8_t> image(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glFinish();
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, image.data());
    return image;
}
