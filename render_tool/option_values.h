#pragma once

#include <cstddef>
#include <string>

#include "scene/scene.h"

// Readers of option values as typed: each is false on anything but the whole text being what it
// reads, and leaves its output unspecified then.

// A decimal whole number from low to high.
bool parseInt(const char* text, long low, long high, int& out);
// A finite number.
bool parseFloat(const char* text, float& out);
// WIDTHxHEIGHT, each side from 1 to kMaxRenderSide.
bool parseSize(const char* text, int& width, int& height);
// `count` finite numbers separated by commas.
bool parseFloatList(const std::string& text, size_t count, float* out);
// X,Y,Z,R,G,B.
bool parseLight(const std::string& text, Light& light);
// X,Y as two whole numbers from 0; the picture's size is checked once it is known.
bool parsePixel(const std::string& text, int& x, int& y);
