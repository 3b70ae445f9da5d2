#include "texture/raw_image_format.h"

Texture decodeRawImage(const unsigned char* bytes, size_t count)
{
    Texture image(kRawImageSide, kRawImageSide, 3);
    // Texel (i mod 256, i div 256) holds triple i, which is exactly the texels' own layout.
    const size_t used = count < kRawImageBytes ? count : kRawImageBytes;
    for (size_t i = 0; i < used; ++i) image.texels[i] = static_cast<float>(bytes[i] / 255.0);
    return image;
}
