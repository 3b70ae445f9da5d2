#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An 8-bit RGB picture, top row first, as image files store it.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // width * height * 3
};

// Whether a PNG could be written at path, checked before any work so a bad path writes nothing.
bool canWriteFile(const std::string& path, std::string& error);

// Writes through a temporary file in the same folder and renames it, so a failure never leaves a
// partial picture behind.
bool writePng(const std::string& path, const RgbImage& image, std::string& error);

// Reads an 8-bit RGB or RGBA PNG (alpha dropped); for tests and comparisons.
bool readPng(const std::string& path, RgbImage& image, std::string& error);
