#include "raster/shade_fragment.h"

#include "raster/fragment_trace.h"
#include "raster/lighting.h"
#include "raster/shade_steps.h"
#include "texture/texture_sampling.h"

FrameShading prepareFrameShading(const Scene& scene, const std::vector<MipChain>& mipChains, int width, int height)
{
    FrameShading frame;
    frame.scene = &scene;
    frame.mipChains = &mipChains;
    frame.width = width;
    frame.height = height;
    frame.unprojection = makeUnprojection<OneLane>(scene.projectionStack, scene.viewStack);
    frame.eyeValid = true;
    frame.eye = eyePosition<OneLane>(frame.unprojection, frame.eyeValid);
    return frame;
}

bool readsTextureCoordinates(const std::vector<MipChain>& mipChains, const Primitive& primitive,
                             unsigned primitiveIndex)
{
    return (primitiveIndex < mipChains.size() && !mipChains[primitiveIndex].empty()) || primitive.bumpMap;
}

const MipChain* primitiveTexture(const std::vector<MipChain>& mipChains, unsigned primitiveIndex)
{
    const bool textured = primitiveIndex < mipChains.size() && !mipChains[primitiveIndex].empty() &&
                          hasTexels(mipChains[primitiveIndex][0], 3);
    return textured ? &mipChains[primitiveIndex] : nullptr;
}

PrimitiveShading primitiveShading(const std::vector<MipChain>& mipChains, const Primitive& primitive,
                                  unsigned primitiveIndex)
{
    return {primitiveTexture(mipChains, primitiveIndex), primitive.bumpMap,
            primitive.bumpMap && hasTexels(*primitive.bumpMap, 1)};
}

namespace {

struct OneFragmentInputs {
    const Fragment& f;
    const FrameShading& frame;

    float ndcX() const { return normalizedDeviceCoordinate(f.x, frame.width); }
    float ndcY() const { return normalizedDeviceCoordinate(f.y, frame.height); }
    float depth() const { return f.depth; }
    const Vec3& normal() const { return f.normal; }
    const Vec3& stOverW() const { return f.stOverW; }
    void sampleTexture(const MipChain& chain, float s, float t, float, RgbIn<OneLane>& out) const
    {
        SampleTexels where;
        locateSampleAtLevel(chain, s, t, textureLevel(chain[0], footprintInputs(f)), where);
        const Color c = blendSample(where);
        out = {c.r, c.g, c.b};
    }
};

// The shading steps on one fragment: a step that cannot shade it ends its shading, so that the
// trace stops where shading did.
struct OneFragment {
    ShadeState<OneLane> state;
    OneFragmentInputs in;

    template <class Step>
    void each(Step&& step)
    {
        if (state.lit) step(state, in);
    }
    template <class Step>
    void eachInPairs(Step&& step)
    {
        ShadeState<OneLane>* one[1] = {&state};
        if (state.lit) step(one);
    }
};

}  // namespace

// The one-fragment statement of shading: the steps of raster/shade_steps.h, which the lane path
// (raster/lanes/) runs over many pixels at once.
template <class Trace>
bool shadeFragment(const Fragment& fragment, const FrameShading& frame, const Primitive& primitive,
                   unsigned primitiveIndex, Color& out, Trace& trace)
{
    OneFragment one{{}, {fragment, frame}};
    one.state.lit = true;
    const ShadeFrame<OneLane, OneLane> shading{*frame.scene,
                                               primitive,
                                               primitiveShading(*frame.mipChains, primitive, primitiveIndex),
                                               frame.unprojection,
                                               frame.eye,
                                               frame.eyeValid};
    shadeSteps<OneLane>(one, shading, trace);
    if (!one.state.lit) return false;
    out = Color(one.state.colour.r, one.state.colour.g, one.state.colour.b, 1.0f);
    return true;
}

template bool shadeFragment(const Fragment&, const FrameShading&, const Primitive&, unsigned, Color&, NoTrace&);
template bool shadeFragment(const Fragment&, const FrameShading&, const Primitive&, unsigned, Color&,
                            FragmentTrace&);

bool shadeFragment(const Fragment& fragment, const FrameShading& frame, const Primitive& primitive,
                   unsigned primitiveIndex, Color& out)
{
    NoTrace none;
    return shadeFragment(fragment, frame, primitive, primitiveIndex, out, none);
}

Vec3 unprojectPixel(const Scene& scene, float x, float y, float depth, int width, int height)
{
    bool ok = true;
    const Vec3 p = unproject<OneLane>(makeUnprojection<OneLane>(scene.projectionStack, scene.viewStack),
                                      normalizedDeviceCoordinate(x, width), normalizedDeviceCoordinate(y, height),
                                      depth, ok);
    if (!ok) throw ZeroDivide{};
    return p;
}

Vec3 eyePosition(const Scene& scene)
{
    bool ok = true;
    const Vec3 eye = eyePosition<OneLane>(makeUnprojection<OneLane>(scene.projectionStack, scene.viewStack), ok);
    if (!ok) throw ZeroDivide{};
    return eye;
}
