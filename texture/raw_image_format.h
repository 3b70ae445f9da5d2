#pragma once

#include <cstddef>

#include "texture/texture.h"

// The raw image file: 256 rows of 256 RGB byte triples, row 0 first, no header.
constexpr int kRawImageSide = 256;
constexpr size_t kRawImageBytes = static_cast<size_t>(kRawImageSide) * kRawImageSide * 3;

// Bytes in file order to a 256 x 256 colour texture, each byte b becoming b / 255. Texels past
// the first `count` bytes stay 0; bytes past a whole image are ignored.
Texture decodeRawImage(const unsigned char* bytes, size_t count);
