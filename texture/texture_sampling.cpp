#include "texture/texture_sampling.h"

#include <algorithm>
#include <cmath>

bool hasTexels(const Texture& texture, uint32_t minimumChannels)
{
    return texture.width > 0 && texture.height > 0 && texture.channels >= minimumChannels && texture.texels;
}

FootprintInputs<> footprintInputs(const Fragment& f)
{
    return {f.stOverW.z,
            {f.stOverWStepX.x, f.stOverWStepX.y},
            {f.leftStOverWStepY.x, f.leftStOverWStepY.y},
            {f.rightStOverWStepY.x, f.rightStOverWStepY.y},
            f.x,
            f.spanStart,
            f.spanLength};
}

Color sampleTexture(const MipChain& chain, const Fragment& fragment)
{
    if (chain.empty() || !hasTexels(chain[0], 3)) return {1.0f, 1.0f, 1.0f, 1.0f};
    const float q = fragment.stOverW.z;
    SampleTexels where;
    locateSampleAtLevel(chain, fragment.stOverW.x / q, fragment.stOverW.y / q,
                        textureLevel(chain[0], footprintInputs(fragment)), where);
    return blendSample(where);
}
