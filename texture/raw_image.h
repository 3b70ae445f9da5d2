#pragma once

#include <cstddef>

#include "texture/texture.h"

// The raw image file: 256 rows of 256 RGB byte triples, row 0 first, no header.
constexpr int kRawImageSide = 256;
constexpr size_t kRawImageBytes = static_cast<size_t>(kRawImageSide) * kRawImageSide * 3;

// Bytes in file order to a 256 x 256 colour texture, each byte b becoming b / 255. Texels past
// the first `count` bytes stay 0; bytes past a whole image are ignored.
Texture decodeRawImage(const unsigned char* bytes, size_t count);

// Reads the environment image from `path`, or, when it is null, from "sphere.raw", then
// "../sphere.raw", then the installed copy (installedDataFile). Only a regular file is read, and never with a blocking open. When no file can
// be read it says so in one line on standard error and returns makeEnvironmentImage(); a short
// file is reported with its byte count and leaves the missing texels black.
Texture loadRawImage(const char* path = nullptr);
