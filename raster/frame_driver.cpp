#include "raster/frame_driver.h"

#include "raster/lanes_request.h"

FramePath defaultFramePath()
{
    return lanesRequest() == LanesRequest::reference ? FramePath::oneFragmentAtATime : FramePath::lanes;
}

void renderSoftwareFrame(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                         const std::vector<MipChain>& mipChains, FrameImage& image, FramePath path)
{
    image.reset(image.width, image.height);
    renderSoftwareFrame(scene, depthBuffer, edgeTable, mipChains, image.width, image.height, image, path);
}
