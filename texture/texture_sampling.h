#pragma once

#include "math/color.h"
#include "math/vec2.h"
#include "math/vec3.h"
#include "texture/fragment.h"
#include "texture/mip_chain.h"
#include "texture/texture.h"
#include "texture/texel_location.h"

// Whether the image has texels of at least that many channels to read.
bool hasTexels(const Texture& texture, uint32_t minimumChannels);

// Below this many level-0 texels per pixel the level is surely negative, whatever the last bit
// of the logarithm: such pixels skip the logarithm and go straight to the bilinear sample.
constexpr double kSurelyMagnifiedTexels = 0.999;

// The lookups' arithmetic, written once over L (OneLane, or a lane group): see math/one_lane.h.
// Each rounds exactly where a stored float would.

// Height change per unit of s and of t of a one-channel height field at (s, t) already divided
// out; the map must have texels.
template <class L = OneLane>
inline typename L::Vec2 bumpGradientAt(const Texture& bumpMap, typename L::Float s, typename L::Float t)
{
    using namespace texel_location;
    using Float = typename L::Float;
    using Wide = typename L::Wide;
    using Int = typename L::Int;
    const int32_t w = bumpMap.width;
    const int32_t h = bumpMap.height;
    const Float u = clampToExtent<L>(scale<L>(s, w), w);
    const Float v = clampToExtent<L>(scale<L>(t, h), h);
    const Int iu = L::truncate(u);
    const Int iv = L::truncate(v);
    const Wide fu = L::widen(L::narrow(L::widen(u) - L::widen(iu)));
    const Wide fv = L::widen(L::narrow(L::widen(v) - L::widen(iv)));
    // The complements are taken from the next whole number, not as 1 - f: the two round differently.
    const Wide oneMinusFu = L::widen(L::narrow(L::widen(iu + 1) - L::widen(u)));
    const Wide oneMinusFv = L::widen(L::narrow(L::widen(iv + 1) - L::widen(v)));
    const HeldPair<L> xs = heldPair<L>(iu, w);
    const HeldPair<L> ys = heldPair<L>(iv, h);
    auto heights = [&](Int x, Int y) {
        return L::widen(L::fromLanes([&](int lane) { return *bumpMap.texel(L::lane(x, lane), L::lane(y, lane)); }));
    };
    const Wide h00 = heights(xs.lower, ys.lower);
    const Wide h10 = heights(xs.upper, ys.lower);
    const Wide h01 = heights(xs.lower, ys.upper);
    const Wide h11 = heights(xs.upper, ys.upper);
    return {L::narrow(static_cast<double>(w) * ((h10 - h00) * oneMinusFv + (h11 - h01) * fv)),
            L::narrow(static_cast<double>(h) * ((h01 - h00) * oneMinusFu + (h11 - h10) * fu))};
}

// The same at (s/w, t/w, 1/w); a map without texels tilts nothing.
template <class L = OneLane>
inline typename L::Vec2 bumpGradient(const Texture& bumpMap, const typename L::Vec3& stOverW)
{
    if (!hasTexels(bumpMap, 1)) return {L::splat(0.0f), L::splat(0.0f)};
    return bumpGradientAt<L>(bumpMap, stOverW.x / stOverW.z, stOverW.y / stOverW.z);
}

// What a pixel's footprint depends on: 1/w, the steps of (s/w, t/w) along its row and along the
// span's two edges, and where on its span it lies.
template <class L = OneLane>
struct FootprintInputs {
    typename L::Float q;
    typename L::Vec2 stepX, leftStepY, rightStepY;
    typename L::Float x, spanStart, spanLength;
};

// The pixel's area in (s, t) units.
template <class L = OneLane>
inline typename L::Float textureFootprint(const FootprintInputs<L>& p)
{
    using Float = typename L::Float;
    const Float dsdx = p.stepX.x / p.q;
    const Float dtdx = p.stepX.y / p.q;
    // The row steps are known only along the two edges; the span position blends them. x and
    // spanStart are whole numbers, so their difference is exact.
    const Float r = (p.x - p.spanStart) / p.spanLength;
    const Float dsdy = (p.leftStepY.x + r * (p.rightStepY.x - p.leftStepY.x)) / p.q;
    const Float dtdy = (p.leftStepY.y + r * (p.rightStepY.y - p.leftStepY.y)) / p.q;
    return L::narrow(L::abs(L::widen(dsdx) * L::widen(dtdy) - L::widen(dsdy) * L::widen(dtdx)));
}

// The level for a pixel covering that many level-0 texels: half their base-2 logarithm,
// negative (or NaN) where the pixel is magnified; -1 below kSurelyMagnifiedTexels.
template <class L = OneLane>
inline typename L::Float mipLevel(typename L::Wide texels)
{
    const typename L::Float lambda = L::narrow(0.5 * L::widen(L::log2(texels)));
    return L::select(L::narrowMask(texels < kSurelyMagnifiedTexels), L::splat(-1.0f), lambda);
}

// The level a pixel of the texture reads. At q = 0 the footprint means nothing (it can even come
// out infinite): such a pixel is magnified.
template <class L = OneLane>
inline typename L::Float textureLevel(const Texture& base, const FootprintInputs<L>& p)
{
    const typename L::Wide texels =
        static_cast<double>(base.width) * L::widen(textureFootprint<L>(p)) * static_cast<double>(base.height);
    return mipLevel<L>(L::select(L::widenMask(p.q != 0.0f), texels, L::widen(L::splat(0.0f))));
}

// The filtered colour of the chain at the fragment; alpha is 1. An empty chain gives white.
Color sampleTexture(const MipChain& chain, const Fragment& fragment);

// What the fragment's footprint depends on, and the footprint itself.
FootprintInputs<> footprintInputs(const Fragment& fragment);
inline float textureFootprint(const Fragment& fragment) { return textureFootprint(footprintInputs(fragment)); }
