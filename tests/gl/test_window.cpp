#include "gl/test_window.h"

#include <cstdlib>

namespace {

int window = 0;

void ignoreDisplay() {}

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
