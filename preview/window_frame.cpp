#include "preview/window_frame.h"

#include <GL/gl.h>

void beginWindowFrame(Scene& scene, const CameraPose& pose, int width, int height)
{
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Window pixels with the origin at the bottom left; z passes clipping only within [0, 1].
    glOrtho(0, width, 0, height, 0, -1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    setupCamera(scene.projectionStack, scene.viewStack, pose, width, height);
}
