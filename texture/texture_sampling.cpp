#include "texture/texture_sampling.h"

#include <algorithm>
#include <cmath>

namespace {

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
int32_t nearestIndex(float u, int32_t size) { return std::min(static_cast<int32_t>(clampToExtent(u, size)), size - 1); }

float divide(float a, float b) { return static_cast<float>(static_cast<double>(a) / b); }

float scale(float s, int32_t size) { return static_cast<float>(static_cast<double>(s) * size); }

// Column or row i and its upper neighbour, both held inside the image; i comes from a clamped
// coordinate, so it is at most size.
struct HeldPair {
    int32_t lower;
    int32_t upper;
};

HeldPair heldPair(int32_t i, int32_t size) { return {std::min(i, size - 1), std::min(i + 1, size - 1)}; }

// The four texels around (s, t) and their weights.
SampleTexels bilinearTexels(const Texture& level, float s, float t)
{
    const float u = clampToExtent(scale(s, level.width), level.width);
    const float v = clampToExtent(scale(t, level.height), level.height);
    const auto x0 = static_cast<int32_t>(u);
    const auto y0 = static_cast<int32_t>(v);
    const HeldPair xs = heldPair(x0, level.width);
    const HeldPair ys = heldPair(y0, level.height);
    SampleTexels p;
    p.texels[0] = level.texel(xs.lower, ys.lower);
    p.texels[1] = level.texel(xs.upper, ys.lower);
    p.texels[2] = level.texel(xs.lower, ys.upper);
    p.texels[3] = level.texel(xs.upper, ys.upper);
    p.fx = static_cast<float>(static_cast<double>(u) - x0);
    p.fy = static_cast<float>(static_cast<double>(v) - y0);
    p.minified = false;
    return p;
}

const float* nearestTexel(const Texture& level, float s, float t)
{
    return level.texel(nearestIndex(scale(s, level.width), level.width),
                       nearestIndex(scale(t, level.height), level.height));
}

// The nearest texels of the two levels around lambda, which is already in [0, number of levels - 1].
SampleTexels minifiedTexels(const MipChain& chain, float lambda, float s, float t)
{
    const auto lo = static_cast<int32_t>(lambda);
    const auto hi = static_cast<int32_t>(std::ceil(lambda));
    SampleTexels p;
    p.texels[0] = nearestTexel(chain[lo], s, t);
    p.texels[1] = nearestTexel(chain[hi], s, t);
    p.fx = static_cast<float>(static_cast<double>(lambda) - lo);
    p.minified = true;
    return p;
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
    const Vec3 rowStep = fragment.leftStOverWStepY + r * (fragment.rightStOverWStepY - fragment.leftStOverWStepY);
    const float dsdy = divide(rowStep.x, q);
    const float dtdy = divide(rowStep.y, q);
    return static_cast<float>(std::fabs(static_cast<double>(dsdx) * dtdy - static_cast<double>(dsdy) * dtdx));
}

Color sampleTexture(const MipChain& chain, const Fragment& fragment)
{
    if (chain.empty() || !hasTexels(chain[0], 3)) return {1.0f, 1.0f, 1.0f, 1.0f};
    const Texture& base = chain[0];
    const float q = fragment.stOverW.z;
    // At q = 0 the footprint means nothing (it can even come out infinite): magnify.
    const double texels = q != 0.0f ? static_cast<double>(base.width) * textureFootprint(fragment) * base.height : 0.0;
    return filteredSample(chain, divide(fragment.stOverW.x, q), divide(fragment.stOverW.y, q), texels);
}

float mipLevel(double texels)
{
    if (texels < kSurelyMagnifiedTexels) return -1.0f;
    const auto log2Texels = static_cast<float>(std::log10(texels) / std::log10(2.0));
    return static_cast<float>(0.5 * log2Texels);
}

SampleTexels locateSampleAtLevel(const MipChain& chain, float s, float t, float lambda)
{
    // NaN fails this test as well as every negative level.
    const bool minified = lambda >= 0.0f;
    const auto lastLevel = static_cast<float>(chain.size() - 1);
    const SampleTexels p = minified ? minifiedTexels(chain, lambda > lastLevel ? lastLevel : lambda, s, t)
                                    : bilinearTexels(chain[0], s, t);
    // A large texture's texels are rarely in the cache: asking for them now lets the reads of
    // several pixels located in a row overlap.
    for (int k = 0; k < (p.minified ? 2 : 4); ++k) __builtin_prefetch(p.texels[k]);
    return p;
}

SampleTexels locateSample(const MipChain& chain, float s, float t, double texels)
{
    return locateSampleAtLevel(chain, s, t, mipLevel(texels));
}

Color blendSample(const SampleTexels& p)
{
    float out[3];
    if (p.minified) {
        const float* lo = p.texels[0];
        const float* hi = p.texels[1];
        for (int c = 0; c < 3; ++c) out[c] = static_cast<float>(lo[c] + (static_cast<double>(hi[c]) - lo[c]) * p.fx);
    } else {
        const double fx = p.fx, fy = p.fy;
        for (int c = 0; c < 3; ++c) {
            out[c] = static_cast<float>(p.texels[0][c] * (1.0 - fx) * (1.0 - fy) + p.texels[1][c] * fx * (1.0 - fy) +
                                        p.texels[2][c] * (1.0 - fx) * fy + p.texels[3][c] * fx * fy);
        }
    }
    return {out[0], out[1], out[2], 1.0f};
}

Color filteredSample(const MipChain& chain, float s, float t, double texels)
{
    return blendSample(locateSample(chain, s, t, texels));
}
