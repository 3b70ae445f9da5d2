#include "raster/frame_driver.h"

#include <GL/gl.h>

void renderSoftwareFrame(const Scene&, DepthBuffer& depthBuffer, EdgeTable&, const std::vector<MipChain>&,
                         int width, int height)
{
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    depthBuffer.resize(width, height);
    depthBuffer.clear(1.0f);
    glFlush();
}
