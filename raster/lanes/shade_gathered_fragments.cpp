#include "raster/lanes/shade_gathered_fragments.h"

#include <type_traits>

#include "raster/lanes/lane_group.h"
#include "raster/lighting.h"
#include "raster/shade_steps.h"
#include "texture/texture_sampling.h"

// The steps of raster/shade_steps.h over every gathered pixel, a lane group at a time: the same
// maths over LaneGroup, each step a pass of its own over all the groups.

namespace {

PIXELWRIGHT_LANE_HELPER Vec3Lanes loadVec3(const float* x, const float* y, const float* z, size_t i)
{
    return {loadLanes(&x[i]), loadLanes(&y[i]), loadLanes(&z[i])};
}

PIXELWRIGHT_LANE_HELPER MaskLanes loadColumns(const GatheredFragments& f, size_t i)
{
    MaskLanes v;
    __builtin_memcpy(&v, &f.column[i], sizeof v);
    return v;
}

// The colour lookups read arbitrary texels, one lane at a time; the level they read is chosen on
// all lanes. Their results are stored lane by lane, for the ambient step to read long after,
// rather than being assembled into vectors. The padding lanes read no colour.
template <class L>
PIXELWRIGHT_LANE_HELPER void sampleTextures(const MipChain& chain, const GatheredFragments& f, size_t i,
                                            FloatLanes s, FloatLanes t, FloatLanes q, RgbIn<L>& out)
{
    const size_t lanes = f.count - i < kLanes ? f.count - i : kLanes;
    const KeptSpan* spans[kLanes];
    for (int lane = 0; lane < kLanes; ++lane) spans[lane] = &f.keptSpans[f.span[i + static_cast<size_t>(lane)]];
    auto gather = [&](auto field) __attribute__((always_inline))
    {
        return lanesFrom([&](int lane) __attribute__((always_inline)) { return field(*spans[lane]); });
    };
    const FootprintInputs<L> footprint{
        q,
        {gather([](const KeptSpan& s) { return s.setup.stOverWStep.x; }),
         gather([](const KeptSpan& s) { return s.setup.stOverWStep.y; })},
        {gather([](const KeptSpan& s) { return s.leftStOverWStepY.x; }),
         gather([](const KeptSpan& s) { return s.leftStOverWStepY.y; })},
        {gather([](const KeptSpan& s) { return s.rightStOverWStepY.x; }),
         gather([](const KeptSpan& s) { return s.rightStOverWStepY.y; })},
        __builtin_convertvector(loadColumns(f, i), FloatLanes),
        gather([](const KeptSpan& s) { return s.setup.firstColumn; }),
        gather([](const KeptSpan& s) { return s.setup.length; })};
    const FloatLanes lambda = textureLevel<L>(chain[0], footprint);
    // Every lane is located before any is blended, so that their texel reads overlap.
    SampleTexels where[kLanes];
    for (size_t lane = 0; lane < lanes; ++lane) locateSampleAtLevel(chain, s[lane], t[lane], lambda[lane], where[lane]);
    for (size_t lane = 0; lane < lanes; ++lane) {
        const Color c = blendSample(where[lane]);
        out.r[lane] = c.r;
        out.g[lane] = c.g;
        out.b[lane] = c.b;
    }
}

// A lane group's values as the sweep and the interpolants left them.
template <class L>
struct LaneInputs {
    const GatheredFragments& f;
    size_t i;

    FloatLanes ndcX() const { return loadLanes(&f.ndcX[i]); }
    FloatLanes ndcY() const { return loadLanes(&f.ndcY[i]); }
    FloatLanes depth() const { return loadLanes(&f.depth[i]); }
    Vec3Lanes normal() const { return loadVec3(f.normalX, f.normalY, f.normalZ, i); }
    Vec3Lanes stOverW() const { return loadVec3(f.stOverWX, f.stOverWY, f.stOverWZ, i); }
    void sampleTexture(const MipChain& chain, FloatLanes s, FloatLanes t, FloatLanes q, RgbIn<L>& out) const
    {
        sampleTextures<L>(chain, f, i, s, t, q, out);
    }
};

// The shading steps over every gathered lane group, padding included.
template <class L>
struct LaneBatch {
    const GatheredFragments& f;
    ShadeState<L>* groups;
    size_t count;

    template <class Step>
    void each(Step&& step)
    {
        for (size_t g = 0; g < count; ++g) step(groups[g], LaneInputs<L>{f, g * kLanes});
    }
    template <class Step>
    void eachInPairs(Step&& step)
    {
        size_t g = 0;
        for (; g + 1 < count; g += 2) {
            ShadeState<L>* two[2] = {&groups[g], &groups[g + 1]};
            step(two);
        }
        if (g < count) {
            ShadeState<L>* one[1] = {&groups[g]};
            step(one);
        }
    }
};

template <class Roots>
void shade(GatheredFragments& f, const LaneShading& lanes, const Primitive& primitive, unsigned primitiveIndex)
{
    using L = LaneGroup<Roots>;
    static_assert(std::is_same<ShadeState<L>, LaneShadeState>::value, "one state type for every kernel");
    const FrameShading& frame = lanes.frame;
    LaneBatch<L> batch{f, f.shading, f.paddedCount() / kLanes};
    // The unprojection takes no root, so the frame's one copy of the matrices serves every kernel.
    const ShadeFrame<L, LaneGroup<NarrowRoots>> shading{*frame.scene,
                                                        primitive,
                                                        primitiveShading(*frame.mipChains, primitive, primitiveIndex),
                                                        lanes.unprojection,
                                                        lanes.eye,
                                                        frame.eyeValid};
    NoTrace none;
    shadeSteps<L>(batch, shading, none);
}

struct Shade {
    template <class Roots>
    static void run(GatheredFragments& f, const LaneShading& lanes, const Primitive& primitive, unsigned primitiveIndex)
    {
        shade<Roots>(f, lanes, primitive, primitiveIndex);
    }
};

}  // namespace

LaneShading prepareLaneShading(const FrameShading& frame)
{
    LaneShading l;
    l.frame = frame;
    if (frame.scene)
        l.unprojection =
            makeUnprojection<LaneGroup<NarrowRoots>>(frame.scene->projectionStack, frame.scene->viewStack);
    l.eye = splat(frame.eye.x, frame.eye.y, frame.eye.z);
    return l;
}

void shadeGatheredFragments(GatheredFragments& f, const LaneShading& lanes, const Primitive& primitive,
                            unsigned primitiveIndex)
{
    runLanes<Shade>(f, lanes, primitive, primitiveIndex);
}
