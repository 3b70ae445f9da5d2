#include "texture/texture_sampling.h"

#include <algorithm>
#include <cmath>

namespace {

// Below this many level-0 texels per pixel the level is surely negative, whatever the last bit
// of the logarithm: such pixels skip the logarithm pair and go straight to the bilinear sample.
constexpr double kSurelyMagnified = 0.999;

// A texel coordinate (s times a side) pulled into [0, size] before anything converts it to int:
// NaN and values below 0 go to the first texel, infinities and values above size to the last.
// Inside [0, size] it is unchanged, so the weights are exactly those of the coordinate.
float clampToExtent(float u, int32_t size)
{
    if (!(u > 0.0f)) return 0.0f;
    const auto extent = static_cast<float>(size);
    return u > extent ? extent : u;
}

// The nearest texel's index: trunc(u), held on the first and last texel.
int32_t nearestIndex(float u, int32_t size)
{
    return std::min(static_cast<int32_t>(clampToExtent(u, size)), size - 1);
}

float divide(float a, float b) { return static_cast<float>(static_cast<double>(a) / b); }

float scale(float s, int32_t size) { return static_cast<float>(static_cast<double>(s) * size); }

// Column or row i and its upper neighbour, both held inside the image; i comes from a clamped
// coordinate, so it is at most size.
struct HeldPair {
    int32_t lower;
    int32_t upper;
};

HeldPair heldPair(int32_t i, int32_t size) { return {std::min(i, size - 1), std::min(i + 1, size - 1)}; }

Color bilinearSample(const Texture& level, float s, float t)
{
    const float u = clampToExtent(scale(s, level.width), level.width);
    const float v = clampToExtent(scale(t, level.height), level.height);
    const auto x0 = static_cast<int32_t>(u);
    const auto y0 = static_cast<int32_t>(v);
    const double fx = static_cast<float>(static_cast<double>(u) - x0);
    const double fy = static_cast<float>(static_cast<double>(v) - y0);
    const HeldPair xs = heldPair(x0, level.width);
    const HeldPair ys = heldPair(y0, level.height);
    const float* t00 = level.texel(xs.lower, ys.lower);
    const float* t10 = level.texel(xs.upper, ys.lower);
    const float* t01 = level.texel(xs.lower, ys.upper);
    const float* t11 = level.texel(xs.upper, ys.upper);
    float out[3];
    for (int c = 0; c < 3; ++c) {
        out[c] = static_cast<float>(t00[c] * (1.0 - fx) * (1.0 - fy) + t10[c] * fx * (1.0 - fy) +
                                    t01[c] * (1.0 - fx) * fy + t11[c] * fx * fy);
    }
    return {out[0], out[1], out[2], 1.0f};
}

const float* nearestTexel(const Texture& level, float s, float t)
{
    return level.texel(nearestIndex(scale(s, level.width), level.width),
                       nearestIndex(scale(t, level.height), level.height));
}

// lambda is already in [0, number of levels - 1].
Color minifiedSample(const MipChain& chain, float lambda, float s, float t)
{
    const auto lo = static_cast<int32_t>(lambda);
    const auto hi = static_cast<int32_t>(std::ceil(lambda));
    const double f = static_cast<float>(static_cast<double>(lambda) - lo);
    const float* cLo = nearestTexel(chain[lo], s, t);
    const float* cHi = nearestTexel(chain[hi], s, t);
    float out[3];
    for (int c = 0; c < 3; ++c) out[c] = static_cast<float>(cLo[c] + (static_cast<double>(cHi[c]) - cLo[c]) * f);
    return {out[0], out[1], out[2], 1.0f};
}

}  // namespace

bool hasTexels(const Texture& texture, uint32_t minimumChannels)
{
    return texture.width > 0 && texture.height > 0 && texture.channels >= minimumChannels && texture.texels;
}

Vec2 bumpGradient(const Texture& bumpMap, const Vec3& stOverW)
{
    if (!hasTexels(bumpMap, 1)) return {0.0f, 0.0f};
    return bumpGradientAt(bumpMap, divide(stOverW.x, stOverW.z), divide(stOverW.y, stOverW.z));
}

Vec2 bumpGradientAt(const Texture& bumpMap, float s, float t)
{
    const int32_t w = bumpMap.width;
    const int32_t h = bumpMap.height;
    const float u = clampToExtent(scale(s, w), w);
    const float v = clampToExtent(scale(t, h), h);
    const auto iu = static_cast<int32_t>(u);
    const auto iv = static_cast<int32_t>(v);
    const double fu = static_cast<float>(static_cast<double>(u) - iu);
    const double fv = static_cast<float>(static_cast<double>(v) - iv);
    // The complements are taken from the next whole number, not as 1 - f: the two round differently.
    const double oneMinusFu = static_cast<float>(static_cast<double>(iu + 1) - u);
    const double oneMinusFv = static_cast<float>(static_cast<double>(iv + 1) - v);
    const HeldPair xs = heldPair(iu, w);
    const HeldPair ys = heldPair(iv, h);
    const double h00 = *bumpMap.texel(xs.lower, ys.lower);
    const double h10 = *bumpMap.texel(xs.upper, ys.lower);
    const double h01 = *bumpMap.texel(xs.lower, ys.upper);
    const double h11 = *bumpMap.texel(xs.upper, ys.upper);
    return {static_cast<float>(w * ((h10 - h00) * oneMinusFv + (h11 - h01) * fv)),
            static_cast<float>(h * ((h01 - h00) * oneMinusFu + (h11 - h10) * fu))};
}

float textureFootprint(const Fragment& fragment)
{
    const float q = fragment.stOverW.z;
    const float dsdx = divide(fragment.stOverWStepX.x, q);
    const float dtdx = divide(fragment.stOverWStepX.y, q);
    // The row steps are known only along the two edges; the span position blends them.
    const float r = static_cast<float>((static_cast<double>(fragment.x) - fragment.spanStart) / fragment.spanLength);
    const Vec3 rowStep =
        fragment.leftStOverWStepY + r * (fragment.rightStOverWStepY - fragment.leftStOverWStepY);
    const float dsdy = divide(rowStep.x, q);
    const float dtdy = divide(rowStep.y, q);
    return static_cast<float>(
        std::fabs(static_cast<double>(dsdx) * dtdy - static_cast<double>(dsdy) * dtdx));
}

Color sampleTexture(const MipChain& chain, const Fragment& fragment)
{
    if (chain.empty() || !hasTexels(chain[0], 3)) return {1.0f, 1.0f, 1.0f, 1.0f};
    const Texture& base = chain[0];
    const float q = fragment.stOverW.z;
    // At q = 0 the footprint means nothing (it can even come out infinite): magnify.
    const double texels =
        q != 0.0f ? static_cast<double>(base.width) * textureFootprint(fragment) * base.height : 0.0;
    return filteredSample(chain, divide(fragment.stOverW.x, q), divide(fragment.stOverW.y, q), texels);
}

Color filteredSample(const MipChain& chain, float s, float t, double texels)
{
    if (!(texels < kSurelyMagnified)) {
        const auto log2Texels = static_cast<float>(std::log10(texels) / std::log10(2.0));
        float lambda = static_cast<float>(0.5 * log2Texels);
        // NaN fails this test as well as every negative level.
        if (lambda >= 0.0f) {
            const auto lastLevel = static_cast<float>(chain.size() - 1);
            if (lambda > lastLevel) lambda = lastLevel;
            return minifiedSample(chain, lambda, s, t);
        }
    }
    return bilinearSample(chain[0], s, t);
}
