#include "raster/lanes/shade_gathered_fragments.h"

#include "raster/lanes/lane_group.h"
#include "raster/lighting.h"
#include "texture/texture_sampling.h"

// The shading of shadeFragment, stage by stage over every gathered pixel, a lane group at a time:
// the same maths (raster/lighting.h, raster/unproject.h, texture/texture_sampling.h) over
// LaneGroup. Each stage is a pass of its own over all gathered pixels, each a short chain: one
// long chain per lane group would keep each group waiting on its divisions and roots, while short
// independent iterations overlap.

namespace {

PIXELWRIGHT_LANE_HELPER Vec3Lanes loadVec3(const float* x, const float* y, const float* z, size_t i)
{
    return {loadLanes(&x[i]), loadLanes(&y[i]), loadLanes(&z[i])};
}

PIXELWRIGHT_LANE_HELPER void storeVec3(float* x, float* y, float* z, size_t i, const Vec3Lanes& v)
{
    storeLanes(&x[i], v.x);
    storeLanes(&y[i], v.y);
    storeLanes(&z[i], v.z);
}

PIXELWRIGHT_LANE_HELPER MaskLanes loadMask(const GatheredFragments& f, size_t i)
{
    MaskLanes v;
    __builtin_memcpy(&v, &f.lit[i], sizeof v);
    return v;
}

// Pixels stay lit only while every stage could shade them.
PIXELWRIGHT_LANE_HELPER void keepLit(GatheredFragments& f, size_t i, MaskLanes ok)
{
    const MaskLanes v = loadMask(f, i) & ok;
    __builtin_memcpy(&f.lit[i], &v, sizeof v);
}

PIXELWRIGHT_LANE_HELPER MaskLanes loadColumns(const GatheredFragments& f, size_t i)
{
    MaskLanes v;
    __builtin_memcpy(&v, &f.column[i], sizeof v);
    return v;
}

// What stays the same for every fragment of the primitive.
struct PrimitiveShading {
    const MipChain* texture;  // null when the primitive samples as white
    const Texture* bumpMap;   // null when the normal is not perturbed
    bool bumpHasTexels;       // without texels the gradient is 0, yet the tilt is still added
};

// The colour lookups read arbitrary texels, one lane at a time; the level they read is chosen on
// all lanes. Their results go to the fragment arrays, which the lighting pass reads back long
// after, rather than being assembled into vectors lane by lane.
template <class L>
PIXELWRIGHT_LANE_HELPER void sampleTextures(const MipChain& chain, GatheredFragments& f, size_t i, size_t lanes,
                                            FloatLanes s, FloatLanes t, FloatLanes q)
{
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
        f.textureRed[i + lane] = c.r;
        f.textureGreen[i + lane] = c.g;
        f.textureBlue[i + lane] = c.b;
    }
}

// The lookups, which go lane by lane: the texture's colour and the bump map's gradient. The
// padding lanes read real texels too.
template <class L>
void lookUpTextures(GatheredFragments& f, const PrimitiveShading& p)
{
    for (size_t i = 0; i < f.paddedCount(); i += kLanes) {
        const size_t lanes = f.count - i < kLanes ? f.count - i : kLanes;
        const Vec3Lanes stOverW = loadVec3(f.stOverWX, f.stOverWY, f.stOverWZ, i);
        const FloatLanes s = stOverW.x / stOverW.z;
        const FloatLanes t = stOverW.y / stOverW.z;
        if (p.texture) sampleTextures<L>(*p.texture, f, i, lanes, s, t, stOverW.z);
        if (p.bumpMap) {
            const Vec2Lanes g = p.bumpHasTexels ? bumpGradientAt<L>(*p.bumpMap, s, t) : Vec2Lanes{splat(0.0f), splat(0.0f)};
            storeLanes(&f.gradientX[i], g.x);
            storeLanes(&f.gradientY[i], g.y);
        }
    }
}

// The world position, the (bumped) unit normal and the unit vector to the eye of every pixel.
template <class L>
void prepareSurfaces(GatheredFragments& f, const LaneShading& lanes, const PrimitiveShading& p)
{
    const size_t padded = f.paddedCount();
    for (size_t i = 0; i < padded; i += kLanes) {
        MaskLanes ok = allLanes();
        // The unprojection takes no root, so the frame's one copy of the matrices serves every kernel.
        const Vec3Lanes position = unproject<LaneGroup<NarrowRoots>>(lanes.unprojection, loadLanes(&f.ndcX[i]), loadLanes(&f.ndcY[i]),
                                                loadLanes(&f.depth[i]), ok);
        storeVec3(f.positionX, f.positionY, f.positionZ, i, position);
        __builtin_memcpy(&f.lit[i], &ok, sizeof ok);
    }
    for (size_t i = 0; i < padded; i += kLanes) {
        Vec3Lanes normal = loadVec3(f.normalX, f.normalY, f.normalZ, i);
        if (p.bumpMap) normal = bumpedNormal<L>(normal, loadLanes(&f.gradientX[i]), loadLanes(&f.gradientY[i]));
        const MaskLanes ok = normalizeWhereNonZero<L>(normal);
        storeVec3(f.normalX, f.normalY, f.normalZ, i, normal);
        keepLit(f, i, ok);
    }
    for (size_t i = 0; i < padded; i += kLanes) {
        Vec3Lanes toEye = lanes.eye - loadVec3(f.positionX, f.positionY, f.positionZ, i);
        const MaskLanes ok = normalizeWhereNonZero<L>(toEye);
        storeVec3(f.toEyeX, f.toEyeY, f.toEyeZ, i, toEye);
        keepLit(f, i, ok);
        // The lights' sum starts from 0, as one fragment's does.
        storeLanes(&f.red[i], splat(0.0f));
        storeLanes(&f.green[i], splat(0.0f));
        storeLanes(&f.blue[i], splat(0.0f));
    }
}

template <class L>
PIXELWRIGHT_LANE_HELPER Rgb<L> loadRgb(const GatheredFragments& f, size_t i)
{
    return {loadLanes(&f.red[i]), loadLanes(&f.green[i]), loadLanes(&f.blue[i])};
}

template <class L>
PIXELWRIGHT_LANE_HELPER void storeRgb(GatheredFragments& f, size_t i, const Rgb<L>& c)
{
    storeLanes(&f.red[i], c.r);
    storeLanes(&f.green[i], c.g);
    storeLanes(&f.blue[i], c.b);
}

// One light's share added to every pixel's sum.
template <class L>
void addLightToAll(GatheredFragments& f, const Light& light, const Primitive& primitive)
{
    const size_t padded = f.paddedCount();
    const Vec3Lanes lightPosition = splat(light.position.x, light.position.y, light.position.z);
    for (size_t i = 0; i < padded; i += kLanes) {
        Vec3Lanes toLight = lightPosition - loadVec3(f.positionX, f.positionY, f.positionZ, i);
        const MaskLanes ok = normalizeWhereNonZero<L>(toLight);
        storeVec3(f.toLightX, f.toLightY, f.toLightZ, i, toLight);
        keepLit(f, i, ok);
    }
    for (size_t i = 0; i < padded; i += kLanes) {
        Vec3Lanes halfway = loadVec3(f.toLightX, f.toLightY, f.toLightZ, i) + loadVec3(f.toEyeX, f.toEyeY, f.toEyeZ, i);
        const MaskLanes ok = normalizeWhereNonZero<L>(halfway);
        storeVec3(f.halfwayX, f.halfwayY, f.halfwayZ, i, halfway);
        keepLit(f, i, ok);
    }
    auto add = [&](size_t i, FloatLanes specular) __attribute__((always_inline))
    {
        const FloatLanes diffuse =
            dot(loadVec3(f.normalX, f.normalY, f.normalZ, i), loadVec3(f.toLightX, f.toLightY, f.toLightZ, i));
        storeRgb<L>(f, i, addLight<L>(loadRgb<L>(f, i), light, primitive, diffuse, specular));
    };
    auto specularBase = [&](size_t i) __attribute__((always_inline))
    {
        return dot(loadVec3(f.normalX, f.normalY, f.normalZ, i), loadVec3(f.halfwayX, f.halfwayY, f.halfwayZ, i));
    };
    // Two groups' powers at once (see specularPowers).
    size_t i = 0;
    for (; i + kLanes < padded; i += 2 * kLanes) {
        FloatLanes specular[2] = {specularBase(i), specularBase(i + kLanes)};
        specularPowers<L>(specular, primitive.shininess);
        add(i, specular[0]);
        add(i + kLanes, specular[1]);
    }
    if (i < padded) {
        FloatLanes specular[1] = {specularBase(i)};
        specularPowers<L>(specular, primitive.shininess);
        add(i, specular[0]);
    }
}

template <class Roots>
void shade(GatheredFragments& f, const LaneShading& lanes, const Primitive& primitive, unsigned primitiveIndex)
{
    using L = LaneGroup<Roots>;
    const FrameShading& frame = lanes.frame;
    const size_t padded = f.paddedCount();
    if (!frame.eyeValid) {
        for (size_t i = 0; i < padded; ++i) f.lit[i] = 0;
        return;
    }
    const PrimitiveShading p{primitiveTexture(*frame.mipChains, primitiveIndex), primitive.bumpMap,
                             primitive.bumpMap && hasTexels(*primitive.bumpMap, 1)};
    if (p.texture || p.bumpMap) lookUpTextures<L>(f, p);
    prepareSurfaces<L>(f, lanes, p);
    for (const Light& light : frame.scene->lights) addLightToAll<L>(f, light, primitive);
    for (size_t i = 0; i < padded; i += kLanes) {
        const Rgb<L> texel = p.texture ? Rgb<L>{loadLanes(&f.textureRed[i]), loadLanes(&f.textureGreen[i]),
                                                loadLanes(&f.textureBlue[i])}
                                       : Rgb<L>{splat(1.0f), splat(1.0f), splat(1.0f)};
        storeRgb<L>(f, i, addAmbient<L>(loadRgb<L>(f, i), texel, frame.scene->ambient));
    }
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
