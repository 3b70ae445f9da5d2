#include "texture/texture.h"

Texture::Texture(int32_t w, int32_t h, uint32_t c) : width(w), height(h), channels(c)
{
    const size_t count = (w > 0 && h > 0) ? static_cast<size_t>(w) * static_cast<size_t>(h) * c : 0;
    texels = std::shared_ptr<float[]>(new float[count]());
}
