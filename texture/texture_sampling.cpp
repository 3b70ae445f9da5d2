#include "texture/texture_sampling.h"

#include <algorithm>
#include <cmath>

using namespace texel_location;

namespace {

float divide(float a, float b) { return static_cast<float>(static_cast<double>(a) / b); }

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

SampleTexels locateSample(const MipChain& chain, float s, float t, double texels)
{
    SampleTexels p;
    locateSampleAtLevel(chain, s, t, mipLevel(texels), p);
    return p;
}

Color filteredSample(const MipChain& chain, float s, float t, double texels)
{
    return blendSample(locateSample(chain, s, t, texels));
}
