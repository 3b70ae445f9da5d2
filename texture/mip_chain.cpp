#include "texture/mip_chain.h"

MipChain buildMipChain(const Texture* texture)
{
    MipChain chain;
    if (texture) chain.push_back(*texture);
    return chain;
}
