#include "app/render_frame.h"

#include "app/process_objects.h"
#include "preview/render_with_opengl.h"
#include "raster/frame_driver.h"

void renderFrame(const Scene& current, int width, int height)
{
    if (current.useOpenGL) {
        renderWithOpenGL(current, width, height);
        return;
    }
    renderSoftwareFrame(current, depthBuffer, edgeTable, mipChains, width, height);
}
