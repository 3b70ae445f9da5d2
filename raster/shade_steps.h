#pragma once

#include <type_traits>

#include "raster/lighting.h"
#include "raster/shade_state.h"
#include "raster/unproject.h"
#include "scene/scene.h"
#include "texture/texture_sampling.h"

// The steps of shading and their order, written once for both paths. A Batch runs each step over
// its fragments: the one-fragment path over its one fragment, leaving out the steps after one
// that could not shade it; the lane path over every gathered lane group in turn, each step a pass
// of its own, because short independent iterations overlap where one long chain per group would
// keep waiting on its divisions and roots. A Batch offers
//   each(step)         step(state, inputs) for the fragment or every group;
//   eachInPairs(step)  step(group), group an array of one or two state pointers, for the
//                      specular power, whose squarings for one group fill another's waits;
// its inputs give ndcX(), ndcY(), depth(), normal(), stOverW() and sampleTexture(chain, s, t, q,
// out), the filtered colour at (s, t) for the fragment's footprint. Trace hears the values as
// they are computed when Trace::kRecords, and the terms of the colour when Trace::kTerms.

// What the steps read besides each fragment's own values. U is the unprojection's lane type: it
// takes no root, so one copy serves lane kernels of either kind of root.
template <class L, class U>
struct ShadeFrame {
    const Scene& scene;
    const Primitive& primitive;
    PrimitiveShading p;
    const Unprojection<U>& unprojection;
    typename L::Vec3 eye;
    bool eyeValid;  // false where the eye has no world position: then nothing is shaded
};

namespace shade_steps {

template <class L>
RgbIn<L> white()
{
    return {L::splat(1.0f), L::splat(1.0f), L::splat(1.0f)};
}

// The texture's colour and the bump map's gradient: they do not depend on the lighting, and
// issued first they overlap with it.
template <class L, class Batch, class Trace, class U>
void lookUp(Batch& b, const ShadeFrame<L, U>& frame, Trace& trace)
{
    const PrimitiveShading& p = frame.p;
    if (p.texture || p.bumpMap) b.each([&](auto& s, const auto& in) {
        const typename L::Vec3 stOverW = in.stOverW();
        const typename L::Float u = stOverW.x / stOverW.z;
        const typename L::Float v = stOverW.y / stOverW.z;
        if (p.texture) in.sampleTexture(*p.texture, u, v, stOverW.z, s.texture);
        if (p.bumpMap)
            s.gradient = p.bumpHasTexels ? bumpGradientAt<L>(*p.bumpMap, u, v)
                                         : typename L::Vec2{L::splat(0.0f), L::splat(0.0f)};
    });
    if constexpr (Trace::kRecords) b.each([&](auto& s, const auto&) {
        const RgbIn<L> t = p.texture ? s.texture : white<L>();
        trace.texture(Color(t.r, t.g, t.b, 1.0f));
    });
}

// The world position, the (bumped) unit normal and the unit vector to the eye.
template <class L, TextureRole R, class Batch, class Trace, class U>
void setUpSurfaces(Batch& b, const ShadeFrame<L, U>& frame, Trace& trace)
{
    b.each([&](auto& s, const auto& in) {
        typename L::Mask ok = L::splatMask(true);
        s.position = unproject<U>(frame.unprojection, in.ndcX(), in.ndcY(), in.depth(), ok);
        s.lit = ok;
    });
    b.each([&](auto& s, const auto& in) {
        typename L::Vec3 normal = in.normal();
        if (frame.p.bumpMap) normal = bumpedNormal<L>(normal, s.gradient.x, s.gradient.y);
        s.lit = s.lit & normalizeWhereNonZero<L>(normal);
        s.normal = normal;
    });
    b.each([&](auto& s, const auto&) {
        typename L::Vec3 toEye = frame.eye - s.position;
        s.lit = s.lit & normalizeWhereNonZero<L>(toEye);
        s.toEye = toEye;
        // The lights' sum; for a model's texture their diffuse sum, with the specular summed apart.
        s.colour = {L::splat(0.0f), L::splat(0.0f), L::splat(0.0f)};
        if constexpr (R == TextureRole::surfaceColour) s.specular = s.colour;
    });
    if constexpr (Trace::kRecords)
        b.each([&](auto& s, const auto&) { trace.surface(s.position, s.normal, s.toEye); });
}

// One light's share added to the sum, or to the two sums.
template <class L, TextureRole R, class Batch, class Trace>
void addLightShare(Batch& b, const Light& light, const Primitive& primitive, Trace& trace)
{
    const typename L::Vec3 at{L::splat(light.position.x), L::splat(light.position.y), L::splat(light.position.z)};
    b.each([&](auto& s, const auto&) {
        typename L::Vec3 toLight = at - s.position;
        s.lit = s.lit & normalizeWhereNonZero<L>(toLight);
        s.toLight = toLight;
    });
    b.each([&](auto& s, const auto&) {
        typename L::Vec3 halfway = s.toLight + s.toEye;
        s.lit = s.lit & normalizeWhereNonZero<L>(halfway);
        s.halfway = halfway;
    });
    b.eachInPairs([&](auto& group) {
        constexpr int G = std::extent<std::remove_reference_t<decltype(group)>>::value;
        typename L::Float specular[G];
        for (int g = 0; g < G; ++g) specular[g] = dot(group[g]->normal, group[g]->halfway);
        specularPowers<L>(specular, primitive.shininess);
        for (int g = 0; g < G; ++g) {
            auto& s = *group[g];
            const typename L::Float diffuse = dot(s.normal, s.toLight);
            if constexpr (Trace::kRecords) trace.light(s.toLight, s.halfway, diffuse, specular[g]);
            if constexpr (Trace::kTerms) addLightTerms(trace.terms, light, primitive, diffuse, specular[g]);
            if constexpr (R == TextureRole::surfaceColour)
                addLightApart<L>(s.colour, s.specular, light, primitive, diffuse, specular[g]);
            else
                s.colour = addLight<L>(s.colour, light, primitive, diffuse, specular[g]);
        }
    });
}

// The texture and the ambient light last, by the primitive's TextureRole (raster/lighting.h).
template <class L, TextureRole R, class Batch, class Trace, class U>
void addAmbientLast(Batch& b, const ShadeFrame<L, U>& frame, Trace& trace)
{
    b.each([&](auto& s, const auto&) {
        const RgbIn<L> texture = frame.p.texture ? s.texture : white<L>();
        const Color& ambient = frame.scene.ambient;
        if constexpr (R == TextureRole::surfaceColour) {
            if constexpr (Trace::kTerms)
                addSurfaceColourTerms(trace.terms, Color(texture.r, texture.g, texture.b, 1.0f), ambient);
            s.colour = surfaceColour<L>(s.colour, s.specular, texture, ambient);
        } else {
            if constexpr (Trace::kTerms)
                addAmbientTerm(trace.terms, Color(texture.r, texture.g, texture.b, 1.0f), ambient);
            s.colour = addAmbient<L>(s.colour, texture, ambient);
        }
    });
}

// Every step after the lookups, with the texture's part fixed for the whole primitive.
template <class L, TextureRole R, class Batch, class Trace, class U>
void lightSurfaces(Batch& b, const ShadeFrame<L, U>& frame, Trace& trace)
{
    setUpSurfaces<L, R>(b, frame, trace);
    for (const Light& light : frame.scene.lights) addLightShare<L, R>(b, light, frame.primitive, trace);
    addAmbientLast<L, R>(b, frame, trace);
}

}  // namespace shade_steps

// Shades the batch's fragments: afterwards each state's lit says whether its fragment could be
// shaded, and colour is its colour, unclamped.
template <class L, class Batch, class Trace, class U>
void shadeSteps(Batch& b, const ShadeFrame<L, U>& frame, Trace& trace)
{
    using namespace shade_steps;
    if (!frame.eyeValid) {
        b.each([](auto& s, const auto&) { s.lit = L::splatMask(false); });
        return;
    }
    lookUp<L>(b, frame, trace);
    // Chosen once per primitive, outside every pass over the fragments.
    if (frame.primitive.textureRole == TextureRole::surfaceColour)
        lightSurfaces<L, TextureRole::surfaceColour>(b, frame, trace);
    else
        lightSurfaces<L, TextureRole::ambientOnly>(b, frame, trace);
}
