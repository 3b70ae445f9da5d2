#pragma once

#include <vector>

#include "math/color.h"
#include "math/vec3.h"
#include "raster/shade_state.h"
#include "raster/unproject.h"
#include "scene/scene.h"
#include "texture/fragment.h"
#include "texture/mip_chain.h"

// What every pixel of one software frame shares, computed once per frame.
struct FrameShading {
    const Scene* scene = nullptr;
    const std::vector<MipChain>* mipChains = nullptr;
    int width = 0;
    int height = 0;
    Unprojection<OneLane> unprojection;
    Vec3 eye;
    bool eyeValid = false;  // false when the eye cannot be carried back to world space (w = 0)
};

FrameShading prepareFrameShading(const Scene& scene, const std::vector<MipChain>& mipChains, int width, int height);

// Whether shading the primitive reads (s/w, t/w, 1/w): only a texture or a bump map does, so
// for other primitives the scan converter need not carry them.
bool readsTextureCoordinates(const std::vector<MipChain>& mipChains, const Primitive& primitive,
                             unsigned primitiveIndex);

// The primitive's texture chain, or null where it samples as white (no chain, or no colour texels).
const MipChain* primitiveTexture(const std::vector<MipChain>& mipChains, unsigned primitiveIndex);

// The pixel's colour, unclamped. False when the pixel cannot be shaded (a zero vector to
// normalise, or a position with w = 0): the caller then emits no point.
bool shadeFragment(const Fragment& fragment, const FrameShading& frame, const Primitive& primitive,
                   unsigned primitiveIndex, Color& out);

// The same, telling trace each value as it is computed: trace.texture(colour),
// trace.surface(position, normal, toEye) with the bumped unit normal, trace.light(toLight,
// halfway, d, r) per light, in the scene's order, and the colour's terms into trace.terms. Built
// for NoTrace (what the frame runs, where the calls compile away) and for FragmentTrace
// (raster/fragment_trace.h), which the frame probes read.
template <class Trace>
bool shadeFragment(const Fragment& fragment, const FrameShading& frame, const Primitive& primitive,
                   unsigned primitiveIndex, Color& out, Trace& trace);

struct NoTrace {
    static constexpr bool kRecords = false;
    static constexpr bool kTerms = false;
    void clear() {}
};

// What the primitive's fragments share in shading.
PrimitiveShading primitiveShading(const std::vector<MipChain>& mipChains, const Primitive& primitive,
                                  unsigned primitiveIndex);

// World position of a window position taken at whole-number coordinates. Throws ZeroDivide for w = 0.
Vec3 unprojectPixel(const Scene& scene, float x, float y, float depth, int width, int height);

// World position of the camera. Throws ZeroDivide for w = 0.
Vec3 eyePosition(const Scene& scene);
