#include "fixed_function/texture_use.h"

TextureUse textureUse(const Primitive& primitive, bool mipmapping)
{
    if (primitive.environmentMap) return TextureUse::sphereMap;
    if (primitive.texture) return mipmapping ? TextureUse::mipLinear : TextureUse::nearest;
    return TextureUse::none;
}

const Texture* usedImage(const Primitive& primitive)
{
    return primitive.environmentMap ? primitive.environmentMap : primitive.texture;
}
