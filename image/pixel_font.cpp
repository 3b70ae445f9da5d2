#include "image/pixel_font.h"

#include <cstring>

namespace {

// Five rows of three bits, the top row first and the left column the highest bit.
struct Glyph {
    char c;
    uint8_t rows[5];
};

constexpr Glyph kGlyphs[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 7, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 1, 1}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'.', {0, 0, 0, 0, 2}}, {'-', {0, 0, 7, 0, 0}},
    {'+', {0, 2, 7, 2, 0}}, {'<', {1, 2, 4, 2, 1}}, {'e', {7, 5, 7, 4, 7}}, {'x', {0, 5, 2, 5, 0}}, {'n', {0, 6, 5, 5, 5}}, {'o', {0, 7, 5, 5, 7}},
};

const Glyph* glyphOf(char c)
{
    for (const Glyph& g : kGlyphs)
        if (g.c == c) return &g;
    return nullptr;
}

}  // namespace

void drawText(RgbImage& image, int x, int y, const std::string& text, const uint8_t colour[3])
{
    for (size_t k = 0; k < text.size(); ++k) {
        const Glyph* g = glyphOf(text[k]);
        if (!g) continue;
        const int left = x + static_cast<int>(k) * kGlyphAdvance;
        for (int py = 0; py < kGlyphHeight; ++py) {
            for (int px = 0; px < kGlyphWidth; ++px) {
                if (!(g->rows[py / 2] & (4 >> (px / 2)))) continue;
                const int cx = left + px, cy = y + py;
                if (cx < 0 || cy < 0 || cx >= image.width || cy >= image.height) continue;
                std::memcpy(&image.pixels[(static_cast<size_t>(cy) * image.width + cx) * 3], colour, 3);
            }
        }
    }
}
