#include "raster/shade_gathered_fragments.h"

#include "raster/lanes.h"
#include "raster/mip_level_lanes.h"
#include "texture/texture_sampling.h"

namespace {

// As a float product 50·g rounds as the double one does: 50 needs only six bits.
constexpr float kBumpStrength = 50.0f;

// Each row's sum in double, left to right, rounded once: the scalar Mat4 · Vec4.
PIXELWRIGHT_LANE_HELPER Vec4Lanes operator*(const WideMatrix& a, const Vec4Lanes& v)
{
    const DoubleLanes x = widen(v.x), y = widen(v.y), z = widen(v.z), w = widen(v.w);
    FloatLanes out[4];
    // Unrolled, the four rows stay in registers instead of going through the stack.
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) out[i] = narrow(a.m[i][0] * x + a.m[i][1] * y + a.m[i][2] * z + a.m[i][3] * w);
    return {out[0], out[1], out[2], out[3]};
}

// The same for w = 1, whose product with the last column is that column exactly.
PIXELWRIGHT_LANE_HELPER Vec4Lanes transformPoint(const WideMatrix& a, FloatLanes px, FloatLanes py, FloatLanes pz)
{
    const DoubleLanes x = widen(px), y = widen(py), z = widen(pz);
    FloatLanes out[4];
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) out[i] = narrow(a.m[i][0] * x + a.m[i][1] * y + a.m[i][2] * z + a.m[i][3]);
    return {out[0], out[1], out[2], out[3]};
}

// c^n for G lane groups at once, by repeated squaring as the scalar specularPower takes it: walking
// the exponent's bits once for several groups lets one group's squarings fill another's wait.
template <int G>
PIXELWRIGHT_LANE_HELPER void specularPowers(FloatLanes (&c)[G], int32_t n)
{
    uint32_t e = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
    FloatLanes r[G];
    for (FloatLanes& v : r) v = splat(1.0f);
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

PIXELWRIGHT_LANE_HELPER Vec3Lanes cross(const Vec3Lanes& a, const Vec3Lanes& b)
{
    const DoubleLanes ax = widen(a.x), ay = widen(a.y), az = widen(a.z);
    const DoubleLanes bx = widen(b.x), by = widen(b.y), bz = widen(b.z);
    return {narrow(ay * bz - az * by), narrow(az * bx - ax * bz), narrow(ax * by - ay * bx)};
}

PIXELWRIGHT_LANE_HELPER Vec3Lanes loadVec3(const float* x, const float* y, const float* z, size_t i)
{
    return {loadLanes(&x[i]), loadLanes(&y[i]), loadLanes(&z[i])};
}

struct RgbLanes {
    FloatLanes r, g, b;
};

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

PIXELWRIGHT_LANE_HELPER void storeMask(GatheredFragments& f, size_t i, MaskLanes v)
{
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

// The pixel's world position, and where w = 0 leaves none.
PIXELWRIGHT_LANE_HELPER Vec3Lanes unproject(const LaneShading& l, FloatLanes ndcX, FloatLanes ndcY, FloatLanes depth,
                                            MaskLanes& ok)
{
    const Vec4Lanes h = l.viewInverse * transformPoint(l.projectionInverse, ndcX, ndcY, depth);
    ok &= h.w != 0.0f;
    return {h.x / h.w, h.y / h.w, h.z / h.w};
}

// The colour lookups read arbitrary texels, one lane at a time; the arithmetic before them runs on
// all lanes. Their results go to the fragment arrays, which the lighting pass reads back long after,
// rather than being assembled into vectors lane by lane.
PIXELWRIGHT_LANE_HELPER void sampleTextures(const PrimitiveShading& p, GatheredFragments& f, size_t i, size_t lanes,
                                            FloatLanes s, FloatLanes t, FloatLanes q)
{
    const Texture& base = (*p.texture)[0];
    const KeptSpan* spans[kLanes];
    for (int lane = 0; lane < kLanes; ++lane) spans[lane] = &f.keptSpans[f.span[i + static_cast<size_t>(lane)]];
    auto gather = [&](auto field) __attribute__((always_inline))
    {
        return lanesFrom([&](int lane) __attribute__((always_inline)) { return field(*spans[lane]); });
    };
    const FloatLanes stepXs = gather([](const KeptSpan& s) { return s.setup.stOverWStep.x; });
    const FloatLanes stepXt = gather([](const KeptSpan& s) { return s.setup.stOverWStep.y; });
    const FloatLanes leftYs = gather([](const KeptSpan& s) { return s.leftStOverWStepY.x; });
    const FloatLanes leftYt = gather([](const KeptSpan& s) { return s.leftStOverWStepY.y; });
    const FloatLanes rightYs = gather([](const KeptSpan& s) { return s.rightStOverWStepY.x; });
    const FloatLanes rightYt = gather([](const KeptSpan& s) { return s.rightStOverWStepY.y; });
    const FloatLanes spanStart = gather([](const KeptSpan& s) { return s.setup.firstColumn; });
    const FloatLanes spanLength = gather([](const KeptSpan& s) { return s.setup.length; });
    // The footprint as textureFootprint computes it. x - spanStart is exact: both are whole.
    const FloatLanes x = __builtin_convertvector(loadColumns(f, i), FloatLanes);
    const FloatLanes r = (x - spanStart) / spanLength;
    const FloatLanes dsdx = stepXs / q;
    const FloatLanes dtdx = stepXt / q;
    const FloatLanes dsdy = (leftYs + r * (rightYs - leftYs)) / q;
    const FloatLanes dtdy = (leftYt + r * (rightYt - leftYt)) / q;
    const FloatLanes footprint = narrow(absolute(widen(dsdx) * widen(dtdy) - widen(dsdy) * widen(dtdx)));
    const DoubleLanes texels = splatWide(base.width) * widen(footprint) * static_cast<double>(base.height);
    // At q = 0 the footprint means nothing: magnify.
    const FloatLanes lambda = mipLevels(__builtin_convertvector(q != 0.0f, MaskWideLanes) ? texels : 0.0, lanes);
    // Every lane is located before any is blended, so that their texel reads overlap.
    SampleTexels where[kLanes];
    for (size_t lane = 0; lane < lanes; ++lane)
        locateSampleAtLevel(*p.texture, s[lane], t[lane], lambda[lane], where[lane]);
    for (size_t lane = 0; lane < lanes; ++lane) {
        const Color c = blendSample(where[lane]);
        f.textureRed[i + lane] = c.r;
        f.textureGreen[i + lane] = c.g;
        f.textureBlue[i + lane] = c.b;
    }
}

// texel_location::clampToExtent on every lane: NaN and values below 0 to 0, above size to size.
PIXELWRIGHT_LANE_HELPER FloatLanes clampToExtent(FloatLanes u, int32_t size)
{
    const FloatLanes zero = splat(0.0f);
    const FloatLanes extent = splat(static_cast<float>(size));
    u = select(u > zero, u, zero);
    return select(u > extent, extent, u);
}

// bumpGradientAt on every lane, rounding as it does. The padding lanes read real texels too.
PIXELWRIGHT_LANE_HELPER void bumpGradients(const PrimitiveShading& p, GatheredFragments& f, size_t i, FloatLanes s,
                                           FloatLanes t)
{
    if (!p.bumpHasTexels) {
        storeLanes(&f.gradientX[i], splat(0.0f));
        storeLanes(&f.gradientY[i], splat(0.0f));
        return;
    }
    const Texture& map = *p.bumpMap;
    const int32_t w = map.width;
    const int32_t h = map.height;
    const FloatLanes u = clampToExtent(narrow(widen(s) * static_cast<double>(w)), w);
    const FloatLanes v = clampToExtent(narrow(widen(t) * static_cast<double>(h)), h);
    const MaskLanes iu = __builtin_convertvector(u, MaskLanes);
    const MaskLanes iv = __builtin_convertvector(v, MaskLanes);
    const DoubleLanes fu = widen(narrow(widen(u) - __builtin_convertvector(iu, DoubleLanes)));
    const DoubleLanes fv = widen(narrow(widen(v) - __builtin_convertvector(iv, DoubleLanes)));
    const DoubleLanes oneMinusFu = widen(narrow(__builtin_convertvector(iu + 1, DoubleLanes) - widen(u)));
    const DoubleLanes oneMinusFv = widen(narrow(__builtin_convertvector(iv + 1, DoubleLanes) - widen(v)));
    const MaskLanes lastColumn = spread<MaskLanes>(w - 1);
    const MaskLanes lastRow = spread<MaskLanes>(h - 1);
    const MaskLanes x0 = iu < lastColumn ? iu : lastColumn;
    const MaskLanes x1 = iu + 1 < lastColumn ? iu + 1 : lastColumn;
    const MaskLanes y0 = iv < lastRow ? iv : lastRow;
    const MaskLanes y1 = iv + 1 < lastRow ? iv + 1 : lastRow;
    auto heights = [&](MaskLanes x, MaskLanes y) __attribute__((always_inline))
    {
        return widen(lanesFrom([&](int lane) __attribute__((always_inline)) { return *map.texel(x[lane], y[lane]); }));
    };
    const DoubleLanes h00 = heights(x0, y0);
    const DoubleLanes h10 = heights(x1, y0);
    const DoubleLanes h01 = heights(x0, y1);
    const DoubleLanes h11 = heights(x1, y1);
    storeLanes(&f.gradientX[i], narrow(static_cast<double>(w) * ((h10 - h00) * oneMinusFv + (h11 - h01) * fv)));
    storeLanes(&f.gradientY[i], narrow(static_cast<double>(h) * ((h01 - h00) * oneMinusFu + (h11 - h10) * fu)));
}

// The bump tilt about the fixed world x and y axes, as the scalar bumpedNormal takes it.
PIXELWRIGHT_LANE_HELPER Vec3Lanes bumpedNormal(const Vec3Lanes& normal, FloatLanes gx, FloatLanes gy)
{
    gx = kBumpStrength * gx;
    gy = kBumpStrength * gy;
    const FloatLanes zero = splat(0.0f);
    // Written as Vec3(gy, 0, 0) - Vec3(0, gx, 0), so that the zeros carry the same signs.
    const Vec3Lanes d{gy - zero, zero - gx, zero - zero};
    return normal + cross(d, normal);
}

template <class Roots>
void shade(GatheredFragments& f, const LaneShading& lanes, const Primitive& primitive, unsigned primitiveIndex)
{
    const FrameShading& frame = lanes.frame;
    const size_t padded = f.paddedCount();
    if (!frame.eyeValid) {
        for (size_t i = 0; i < padded; ++i) f.lit[i] = 0;
        return;
    }
    const Scene& scene = *frame.scene;
    const std::vector<MipChain>& chains = *frame.mipChains;
    const MipChain* texture =
        primitiveIndex < chains.size() && !chains[primitiveIndex].empty() && hasTexels(chains[primitiveIndex][0], 3)
            ? &chains[primitiveIndex]
            : nullptr;
    const Texture* bumpMap = primitive.bumpMap;
    const PrimitiveShading p{texture, bumpMap, bumpMap && hasTexels(*bumpMap, 1)};
    const Vec3Lanes& eye = lanes.eye;

    // First the lookups, which go lane by lane, for every gathered pixel.
    if (texture || bumpMap) {
        for (size_t i = 0; i < padded; i += kLanes) {
            const size_t lanes = f.count - i < kLanes ? f.count - i : kLanes;
            const Vec3Lanes stOverW = loadVec3(f.stOverWX, f.stOverWY, f.stOverWZ, i);
            const FloatLanes s = stOverW.x / stOverW.z;
            const FloatLanes t = stOverW.y / stOverW.z;
            if (texture) sampleTextures(p, f, i, lanes, s, t, stOverW.z);
            if (bumpMap) bumpGradients(p, f, i, s, t);
        }
    }

    // The lighting goes in passes over all gathered pixels, each a short chain of its own: one
    // long chain per lane group would keep each group waiting on its divisions and roots, while
    // short independent iterations overlap.
    for (size_t i = 0; i < padded; i += kLanes) {
        MaskLanes ok = allLanes();
        const Vec3Lanes position =
            unproject(lanes, loadLanes(&f.ndcX[i]), loadLanes(&f.ndcY[i]), loadLanes(&f.depth[i]), ok);
        storeVec3(f.positionX, f.positionY, f.positionZ, i, position);
        storeMask(f, i, ok);
    }
    for (size_t i = 0; i < padded; i += kLanes) {
        Vec3Lanes normal = loadVec3(f.normalX, f.normalY, f.normalZ, i);
        if (bumpMap) normal = bumpedNormal(normal, loadLanes(&f.gradientX[i]), loadLanes(&f.gradientY[i]));
        const MaskLanes ok = normalizeWhereNonZero<Roots>(normal);
        storeVec3(f.normalX, f.normalY, f.normalZ, i, normal);
        storeMask(f, i, loadMask(f, i) & ok);
    }
    for (size_t i = 0; i < padded; i += kLanes) {
        Vec3Lanes toEye = eye - loadVec3(f.positionX, f.positionY, f.positionZ, i);
        const MaskLanes ok = normalizeWhereNonZero<Roots>(toEye);
        storeVec3(f.toEyeX, f.toEyeY, f.toEyeZ, i, toEye);
        storeMask(f, i, loadMask(f, i) & ok);
        // The lights' sum starts from 0, as the scalar colour does.
        storeLanes(&f.red[i], splat(0.0f));
        storeLanes(&f.green[i], splat(0.0f));
        storeLanes(&f.blue[i], splat(0.0f));
    }

    for (const Light& light : scene.lights) {
        const Vec3Lanes lightPosition = splat(light.position.x, light.position.y, light.position.z);
        for (size_t i = 0; i < padded; i += kLanes) {
            Vec3Lanes toLight = lightPosition - loadVec3(f.positionX, f.positionY, f.positionZ, i);
            const MaskLanes ok = normalizeWhereNonZero<Roots>(toLight);
            storeVec3(f.toLightX, f.toLightY, f.toLightZ, i, toLight);
            storeMask(f, i, loadMask(f, i) & ok);
        }
        for (size_t i = 0; i < padded; i += kLanes) {
            Vec3Lanes halfway =
                loadVec3(f.toLightX, f.toLightY, f.toLightZ, i) + loadVec3(f.toEyeX, f.toEyeY, f.toEyeZ, i);
            const MaskLanes ok = normalizeWhereNonZero<Roots>(halfway);
            storeVec3(f.halfwayX, f.halfwayY, f.halfwayZ, i, halfway);
            storeMask(f, i, loadMask(f, i) & ok);
        }
        // Neither factor is clamped at zero: a light behind the surface subtracts.
        auto addLight = [&](size_t i, FloatLanes specular) __attribute__((always_inline))
        {
            const FloatLanes diffuse =
                dot(loadVec3(f.normalX, f.normalY, f.normalZ, i), loadVec3(f.toLightX, f.toLightY, f.toLightZ, i));
            storeLanes(&f.red[i], loadLanes(&f.red[i]) + light.color.r * (primitive.diffuse.r * diffuse +
                                                                          primitive.specular.r * specular));
            storeLanes(&f.green[i], loadLanes(&f.green[i]) + light.color.g * (primitive.diffuse.g * diffuse +
                                                                              primitive.specular.g * specular));
            storeLanes(&f.blue[i], loadLanes(&f.blue[i]) + light.color.b * (primitive.diffuse.b * diffuse +
                                                                            primitive.specular.b * specular));
        };
        auto specularBase = [&](size_t i) __attribute__((always_inline))
        {
            return dot(loadVec3(f.normalX, f.normalY, f.normalZ, i), loadVec3(f.halfwayX, f.halfwayY, f.halfwayZ, i));
        };
        size_t i = 0;
        for (; i + kLanes < padded; i += 2 * kLanes) {
            FloatLanes specular[2] = {specularBase(i), specularBase(i + kLanes)};
            specularPowers(specular, primitive.shininess);
            addLight(i, specular[0]);
            addLight(i + kLanes, specular[1]);
        }
        if (i < padded) {
            FloatLanes specular[1] = {specularBase(i)};
            specularPowers(specular, primitive.shininess);
            addLight(i, specular[0]);
        }
    }

    // The texture modulates only the ambient term.
    for (size_t i = 0; i < padded; i += kLanes) {
        const RgbLanes texel =
            texture ? RgbLanes{loadLanes(&f.textureRed[i]), loadLanes(&f.textureGreen[i]), loadLanes(&f.textureBlue[i])}
                    : RgbLanes{splat(1.0f), splat(1.0f), splat(1.0f)};
        storeLanes(&f.red[i], texel.r * scene.ambient.r + loadLanes(&f.red[i]));
        storeLanes(&f.green[i], texel.g * scene.ambient.g + loadLanes(&f.green[i]));
        storeLanes(&f.blue[i], texel.b * scene.ambient.b + loadLanes(&f.blue[i]));
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
    if (frame.scene) {
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j) {
                l.projectionInverse.m[i][j] = splatWide(frame.scene->projectionStack.inverse(i, j));
                l.viewInverse.m[i][j] = splatWide(frame.scene->viewStack.inverse(i, j));
            }
        }
    }
    l.eye = splat(frame.eye.x, frame.eye.y, frame.eye.z);
    return l;
}

void shadeGatheredFragments(GatheredFragments& f, const LaneShading& lanes, const Primitive& primitive,
                            unsigned primitiveIndex)
{
    runLanes<Shade>(f, lanes, primitive, primitiveIndex);
}
