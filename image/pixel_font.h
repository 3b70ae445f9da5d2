#pragma once

#include <cstdint>
#include <string>

#include "image/rgb_image.h"

// Numbers written into a picture, for the legends: digits and . - + < e x n o, 3 x 5 cells scaled
// by 2. A dozen glyphs do not warrant a font library.
constexpr int kGlyphWidth = 6;
constexpr int kGlyphHeight = 10;
constexpr int kGlyphAdvance = 8;

// Left edge x, top row y; characters without a glyph are left blank. Cut at the picture's edges.
void drawText(RgbImage& image, int x, int y, const std::string& text, const uint8_t colour[3]);

inline int textWidth(const std::string& text) { return static_cast<int>(text.size()) * kGlyphAdvance; }
