#pragma once

// Which texels a filtered sample reads, and how it blends them.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "math/color.h"
#include "math/one_lane.h"
#include "texture/mip_chain.h"
#include "texture/texture.h"

// A filtered lookup in two steps: which texels it reads, with their weights, and then their blend.
// Locating several pixels before blending any lets their texel reads overlap.
struct SampleTexels {
    const float* texels[4];  // bilinear: (x0, y0), (x1, y0), (x0, y1), (x1, y1); minified: low, high level
    double fx = 0.0;         // bilinear: the x weight; minified: the weight of the higher level
    double fy = 0.0;
    bool minified = false;
};

// The arithmetic of a lookup, inline so that a loop over several pixels can overlap their long
// chains of conversions.
namespace texel_location {

// A texel coordinate (s times a side) pulled into [0, size] before anything converts it to int:
// NaN and values below 0 go to the first texel, infinities and values above size to the last.
// Inside [0, size] it is unchanged, so the weights are exactly those of the coordinate.
template <class L = OneLane>
inline typename L::Float clampToExtent(typename L::Float u, int32_t size)
{
    const typename L::Float zero = L::splat(0.0f);
    const typename L::Float extent = L::splat(static_cast<float>(size));
    u = L::select(u > zero, u, zero);
    return L::select(u > extent, extent, u);
}

// The nearest texel's index: trunc(u), held on the first and last texel.
inline int32_t nearestIndex(float u, int32_t size)
{
    return std::min(static_cast<int32_t>(clampToExtent(u, size)), size - 1);
}

template <class L = OneLane>
inline typename L::Float scale(typename L::Float s, int32_t size)
{
    return L::narrow(L::widen(s) * static_cast<double>(size));
}

// Column or row i and its upper neighbour, both held inside the image; i comes from a clamped
// coordinate, so it is at most size.
template <class L = OneLane>
struct HeldPair {
    typename L::Int lower;
    typename L::Int upper;
};

template <class L = OneLane>
inline HeldPair<L> heldPair(typename L::Int i, int32_t size)
{
    const typename L::Int last = L::splatInt(size - 1);
    return {L::min(i, last), L::min(i + 1, last)};
}

// The four texels around (s, t) and their weights.
inline void bilinearTexels(const Texture& level, float s, float t, SampleTexels& p)
{
    const float u = clampToExtent(scale(s, level.width), level.width);
    const float v = clampToExtent(scale(t, level.height), level.height);
    const auto x0 = static_cast<int32_t>(u);
    const auto y0 = static_cast<int32_t>(v);
    const HeldPair<> xs = heldPair(x0, level.width);
    const HeldPair<> ys = heldPair(y0, level.height);
    p.texels[0] = level.texel(xs.lower, ys.lower);
    p.texels[1] = level.texel(xs.upper, ys.lower);
    p.texels[2] = level.texel(xs.lower, ys.upper);
    p.texels[3] = level.texel(xs.upper, ys.upper);
    p.fx = static_cast<float>(static_cast<double>(u) - x0);
    p.fy = static_cast<float>(static_cast<double>(v) - y0);
    p.minified = false;
}

inline const float* nearestTexel(const Texture& level, float s, float t)
{
    return level.texel(nearestIndex(scale(s, level.width), level.width),
                       nearestIndex(scale(t, level.height), level.height));
}

// The nearest texels of the two levels around lambda, which is already in [0, number of levels - 1].
inline void minifiedTexels(const MipChain& chain, float lambda, float s, float t, SampleTexels& p)
{
    const auto lo = static_cast<int32_t>(lambda);
    const auto hi = static_cast<int32_t>(std::ceil(lambda));
    p.texels[0] = nearestTexel(chain[lo], s, t);
    p.texels[1] = nearestTexel(chain[hi], s, t);
    p.fx = static_cast<float>(static_cast<double>(lambda) - lo);
    p.fy = 0.0;
    p.minified = true;
}

}  // namespace texel_location

// The texels read at level lambda (as mipLevel gives it; negative or NaN for the bilinear
// sample of level 0), and their weights, stored into p field by field: a sample assembled aside
// and copied in would be read back in wide pieces before its small stores had landed.
inline void locateSampleAtLevel(const MipChain& chain, float s, float t, float lambda, SampleTexels& p)
{
    // NaN fails this test as well as every negative level.
    const bool minified = lambda >= 0.0f;
    const auto lastLevel = static_cast<float>(chain.size() - 1);
    if (minified)
        texel_location::minifiedTexels(chain, lambda > lastLevel ? lastLevel : lambda, s, t, p);
    else
        texel_location::bilinearTexels(chain[0], s, t, p);
    // A large texture's texels are rarely in the cache: asking for them now lets the reads of
    // several pixels located in a row overlap.
    for (int k = 0; k < (minified ? 2 : 4); ++k) __builtin_prefetch(p.texels[k]);
}

// The blend of the located texels; alpha is 1.
inline Color blendSample(const SampleTexels& p)
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
