#include "texture/mip_chain.h"

#include <algorithm>

MipChain buildMipChain(const Texture* texture)
{
    MipChain chain;
    if (!texture) return chain;
    chain.push_back(*texture);  // shares the texels, so the chain keeps them alive
    if (texture->channels == 0) return chain;
    int32_t w = texture->width;
    int32_t h = texture->height;
    // Stops as soon as either side reaches 1; an odd side drops its last row or column.
    while (w > 1 && h > 1) {
        w /= 2;
        h /= 2;
        Texture level(w, h, 3);
        const Texture& previous = chain.back();
        // A one-channel source is averaged as grey rather than read past its texels.
        const uint32_t last = previous.channels - 1;
        for (int32_t x = 0; x < w; ++x) {
            for (int32_t y = 0; y < h; ++y) {
                const float* a = previous.texel(2 * x, 2 * y);
                const float* b = previous.texel(2 * x, 2 * y + 1);
                const float* c = previous.texel(2 * x + 1, 2 * y);
                const float* d = previous.texel(2 * x + 1, 2 * y + 1);
                float* out = level.texel(x, y);
                for (uint32_t ch = 0; ch < 3; ++ch) {
                    const uint32_t i = std::min(ch, last);
                    out[ch] = static_cast<float>((static_cast<double>(a[i]) + b[i] + c[i] + d[i]) * 0.25);
                }
            }
        }
        chain.push_back(std::move(level));
    }
    return chain;
}
