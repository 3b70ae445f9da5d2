#include "app/callbacks.h"

#include <GL/freeglut.h>

#include <cstdlib>

#include "app/process_objects.h"
#include "app/render_frame.h"
#include "platform/installed_data.h"
#include "raster/prepare_textures.h"
#include "scene/demo_scenes.h"

namespace {

constexpr unsigned char kEscape = 27;

void viewportSize(int& width, int& height)
{
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    width = viewport[2];
    height = viewport[3];
}

void requestFrame() { glutIdleFunc(idle); }

}  // namespace

void switchScene(int sceneNumber)
{
    viewState.sceneNumber = sceneNumber;
    scene.clear();
    // An installed viewer finds its own environment image, whatever the working directory.
    const std::string installed = installedDataFile("sphere.raw");
    buildScene(scene, viewState.sceneNumber, nullptr, installed.c_str());
    int width, height;
    viewportSize(width, height);
    prepareTextures(scene, depthBuffer, edgeTable, mipChains, width, height);
}

void display()
{
    // The frame size comes from the viewport, which reshape keeps, never from the toolkit.
    int width, height;
    viewportSize(width, height);
    drawFrame(scene, viewState, depthBuffer, edgeTable, mipChains, width, height);
    glutSwapBuffers();
}

void idle()
{
    display();
    glutIdleFunc(nullptr);
}

void reshape(int width, int height)
{
    // A zero size (a minimised window) keeps the last viewport; the toolkit redraws by itself.
    if (width != 0 && height != 0) glViewport(0, 0, width, height);
}

void keyboard(unsigned char key, int, int)
{
    if (key == kEscape || key == 'q') std::exit(0);
    if (key >= '1' && key <= '9') {
        switchScene(key - '0');
    } else if (key == 'a') {
        scene.mipmapping = !scene.mipmapping;
    } else if (key == 'g') {
        scene.useOpenGL = !scene.useOpenGL;
    } else {
        return;  // no case folding, and an unknown key does not even redraw
    }
    requestFrame();
}

void mouse(int button, int state, int x, int y)
{
    const bool down = (state == GLUT_DOWN);
    switch (button) {
    case 0: viewState.leftDown = down; break;
    case 1: viewState.middleDown = down; break;
    case 2: viewState.rightDown = down; break;
    // The wheel reports a press and a release per notch, and each one zooms.
    case 3: viewState.zoom += 1.0f; break;
    case 4: viewState.zoom -= 1.0f; break;
    default: break;
    }
    viewState.lastX = x;
    viewState.lastY = y;
    requestFrame();
}

void motion(int x, int y)
{
    const int dx = x - viewState.lastX;
    const int dy = y - viewState.lastY;
    if (viewState.leftDown) {
        viewState.azimuth += static_cast<float>(dx);
        viewState.elevation += static_cast<float>(dy);
    }
    if (viewState.rightDown) {
        viewState.panX += static_cast<float>(dx);
        viewState.panY += static_cast<float>(dy);
    }
    viewState.lastX = x;
    viewState.lastY = y;
    requestFrame();
}
