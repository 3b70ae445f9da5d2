#pragma once

#include <string>

#include "image/rgb_image.h"

// Whether a PNG could be written at path, checked before any work so a bad path writes nothing.
bool canWriteFile(const std::string& path, std::string& error);

// Writes through a temporary file in the same folder and renames it, so a failure never leaves a
// partial picture behind.
bool writePng(const std::string& path, const RgbImage& image, std::string& error);

// Reads an 8-bit RGB or RGBA PNG (alpha dropped); for tests and comparisons.
bool readPng(const std::string& path, RgbImage& image, std::string& error);
