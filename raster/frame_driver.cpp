#include "raster/frame_driver.h"

#include <cstdlib>
#include <cstring>

FramePath defaultFramePath()
{
    static const FramePath chosen = [] {
        const char* asked = std::getenv("PIXELWRIGHT_LANES");
        return asked && std::strcmp(asked, "reference") == 0 ? FramePath::oneFragmentAtATime : FramePath::lanes;
    }();
    return chosen;
}

void renderSoftwareFrame(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                         const std::vector<MipChain>& mipChains, FrameImage& image, FramePath path)
{
    image.reset(image.width, image.height);
    renderSoftwareFrame(scene, depthBuffer, edgeTable, mipChains, image.width, image.height, image, path);
}
