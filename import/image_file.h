#pragma once

#include <cstddef>
#include <string>

#include "texture/texture.h"

// The largest side a decoded image may have: a float texel of three channels takes 12 bytes, so a
// 4096 x 4096 image with its mip chain already holds some 270 MB.
constexpr int kMaxImageSide = 4096;

// Decodes an image file (PNG, JPEG, TGA, BMP and the like) or the same bytes held in memory into a
// three-channel Texture. The image's bottom row becomes row 0, since model files put t = 0 at the
// bottom. On failure returns false and says why in `error`; `out` is left as it was.
bool decodeImageFile(const std::string& path, Texture& out, std::string& error);
bool decodeImageBytes(const unsigned char* bytes, size_t size, Texture& out, std::string& error);

// Texels of four bytes, blue, green, red, alpha, top row first, as a model file may embed them.
Texture textureFromBgra(const unsigned char* texels, int width, int height);
