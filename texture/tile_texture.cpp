#include "texture/tile_texture.h"

#include <algorithm>
#include <cmath>

namespace {

// Below a width of 4 there would be no tile side to divide by: every texel becomes grout.
int tileSide(int w) { return std::max(w / 4, 1); }

// Two texels of grout on the low side and two on the high side of every tile.
bool insideTile(int x, int y, int k)
{
    const int b = x % k;
    const int c = y % k;
    return b > 1 && b < k - 2 && c > 1 && c < k - 2;
}

}  // namespace

Texture makeTileTexture(int w, int h)
{
    const Color tile = Color(0, 0, 0, 1).fromHsv(0.083f, 0.75f, 0.8f, 1);
    const Color grout = Color(0, 0, 0, 1).fromHsv(0.125f, 0.1f, 0.8f, 1);
    const int k = tileSide(w);
    Texture texture(w, h, 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) texture.setTexelColor(x, y, insideTile(x, y, k) ? tile : grout);
    return texture;
}

Texture makeTileBumpMap(int w, int h)
{
    // sqrt(930) rounded to float: the value at the top of a 64-texel tile's bump, which becomes 1.
    const double peak = 30.495901107788086;
    const int k = tileSide(w);
    Texture texture(w, h, 1);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!insideTile(x, y, k)) continue;  // the texture starts zero-filled
            const double b = x % k;
            const double c = y % k;
            const double value = std::pow(k - b - 2, 0.25) * std::pow(b - 1, 0.25) * std::pow(c - 1, 0.25) *
                                 std::pow(k - c - 2, 0.25) / peak;
            texture.setTexelValue(x, y, static_cast<float>(value));
        }
    }
    return texture;
}
