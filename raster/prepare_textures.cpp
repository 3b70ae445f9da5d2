#include "raster/prepare_textures.h"

void prepareTextures(const Scene& scene, DepthBuffer& depthBuffer, EdgeTable& edgeTable,
                     std::vector<MipChain>& mipChains, int width, int height)
{
    edgeTable.resize(height);
    depthBuffer.resize(width, height);
    mipChains.clear();
    for (const Primitive& primitive : scene.primitives) mipChains.push_back(buildMipChain(primitive.texture));
}
