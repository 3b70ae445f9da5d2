#pragma once

#include <cstdint>

#include "math/color.h"
#include "math/one_lane.h"
#include "scene/scene.h"

// The shading of one pixel, written once over L (one fragment, or a lane group: math/one_lane.h).
// Each operation rounds exactly where a stored float would.

// The bump tilt's scale: as a float product 50·g rounds as the double one does (50 needs only
// six bits).
constexpr float kBumpStrength = 50.0f;

// The normal tilted by the bump gradient (gx, gy), about the fixed world x and y axes, not a
// tangent frame. Not yet normalised.
template <class L>
inline typename L::Vec3 bumpedNormal(const typename L::Vec3& normal, typename L::Float gx, typename L::Float gy)
{
    gx = kBumpStrength * gx;
    gy = kBumpStrength * gy;
    const typename L::Float zero = L::splat(0.0f);
    // Vec3(gy, 0, 0) - Vec3(0, gx, 0), so that the zeros carry the signs that difference gives.
    const typename L::Vec3 d{gy - zero, zero - gx, zero - zero};
    return normal + cross(d, normal);
}

// c to the power n by repeated squaring, every product rounded to float; n = 0 gives 1 for any c.
// G groups at once: walking the exponent's bits once for several lets one group's squarings fill
// another's wait.
template <class L, int G>
inline void specularPowers(typename L::Float (&c)[G], int32_t n)
{
    // |n| as unsigned, so the most negative exponent does not overflow.
    uint32_t e = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
    typename L::Float r[G];
    for (int g = 0; g < G; ++g) r[g] = L::splat(1.0f);
    for (;;) {
        if (e & 1u) {
            for (int g = 0; g < G; ++g) r[g] = r[g] * c[g];
        }
        e >>= 1;
        if (e == 0) break;
        for (int g = 0; g < G; ++g) c[g] = c[g] * c[g];
    }
    for (int g = 0; g < G; ++g) c[g] = n < 0 ? 1.0f / r[g] : r[g];
}

// Over the Float type, so that lane groups taking roots either way share one colour type.
template <class Float>
struct RgbOf {
    Float r, g, b;
};

template <class L>
using RgbIn = RgbOf<typename L::Float>;

// One light's share: neither factor is clamped at zero, so a light behind the surface subtracts.
template <class L>
inline RgbIn<L> addLight(const RgbIn<L>& sum, const Light& light, const Primitive& primitive, typename L::Float diffuse,
                       typename L::Float specular)
{
    return {sum.r + light.color.r * (primitive.diffuse.r * diffuse + primitive.specular.r * specular),
            sum.g + light.color.g * (primitive.diffuse.g * diffuse + primitive.specular.g * specular),
            sum.b + light.color.b * (primitive.diffuse.b * diffuse + primitive.specular.b * specular)};
}

// The scenes' texture (TextureRole::ambientOnly) modulates only the ambient term, added last.
template <class L>
inline RgbIn<L> addAmbient(const RgbIn<L>& lights, const RgbIn<L>& texture, const Color& ambient)
{
    return {texture.r * ambient.r + lights.r, texture.g * ambient.g + lights.g, texture.b * ambient.b + lights.b};
}

// A model's texture (TextureRole::surfaceColour) is the surface's colour, so the lights' diffuse
// and specular shares are summed apart: the texture scales the first, not the second.
template <class L>
inline void addLightApart(RgbIn<L>& diffuseSum, RgbIn<L>& specularSum, const Light& light, const Primitive& primitive,
                          typename L::Float diffuse, typename L::Float specular)
{
    diffuseSum = {diffuseSum.r + light.color.r * (primitive.diffuse.r * diffuse),
                  diffuseSum.g + light.color.g * (primitive.diffuse.g * diffuse),
                  diffuseSum.b + light.color.b * (primitive.diffuse.b * diffuse)};
    specularSum = {specularSum.r + light.color.r * (primitive.specular.r * specular),
                   specularSum.g + light.color.g * (primitive.specular.g * specular),
                   specularSum.b + light.color.b * (primitive.specular.b * specular)};
}

// texture × (ambient + Σ diffuse) + Σ specular: the texture modulates the lit colour and the
// highlight is added after it, keeping the light's colour.
template <class L>
inline RgbIn<L> surfaceColour(const RgbIn<L>& diffuseSum, const RgbIn<L>& specularSum, const RgbIn<L>& texture,
                              const Color& ambient)
{
    return {texture.r * (ambient.r + diffuseSum.r) + specularSum.r,
            texture.g * (ambient.g + diffuseSum.g) + specularSum.g,
            texture.b * (ambient.b + diffuseSum.b) + specularSum.b};
}

// Each term of one pixel alone, as the views show it. The picture sums the same factors in its
// own roundings (addLight, addAmbient), so these are not parts that add up to its bits.
struct ShadingTerms {
    Color ambient{0, 0, 0, 1}, diffuse{0, 0, 0, 1}, specular{0, 0, 0, 1};
};

inline void addAmbientTerm(ShadingTerms& terms, const Color& texture, const Color& ambient)
{
    terms.ambient = texture * ambient;
}

// Under TextureRole::surfaceColour the texture scales the diffuse sum as well; call after the
// lights' terms are in.
inline void addSurfaceColourTerms(ShadingTerms& terms, const Color& texture, const Color& ambient)
{
    terms.ambient = texture * ambient;
    terms.diffuse = texture * terms.diffuse;
}

inline void addLightTerms(ShadingTerms& terms, const Light& light, const Primitive& primitive, float diffuse,
                          float specular)
{
    terms.diffuse = terms.diffuse + light.color * (primitive.diffuse * diffuse);
    terms.specular = terms.specular + light.color * (primitive.specular * specular);
}
