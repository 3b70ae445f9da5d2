#include "raster/shade_polygon_fragments.h"

#include "raster/lanes.h"
#include "texture/texture_sampling.h"

namespace {

// As a float product 50·g rounds as the double one does: 50 needs only six bits.
constexpr float kBumpStrength = 50.0f;

struct Vec4x4 {
    F4 x, y, z, w;
};

// A matrix with its elements in double, each spread over the four lanes.
struct WideMatrix {
    D4 m[4][4];

    explicit WideMatrix(const Mat4& a)
    {
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) m[i][j] = splatWide(a(i, j));
    }

    // Each row's sum in double, left to right, rounded once: the scalar Mat4 · Vec4.
    Vec4x4 operator*(const Vec4x4& v) const
    {
        const D4 x = widen(v.x), y = widen(v.y), z = widen(v.z), w = widen(v.w);
        F4 out[4];
        for (int i = 0; i < 4; ++i) out[i] = narrow(m[i][0] * x + m[i][1] * y + m[i][2] * z + m[i][3] * w);
        return {out[0], out[1], out[2], out[3]};
    }
};

inline F4 specularPower(F4 c, int32_t n)
{
    uint32_t e = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
    F4 r = splat(1.0f);
    for (;;) {
        if (e & 1u) r = r * c;
        e >>= 1;
        if (e == 0) break;
        c = c * c;
    }
    if (n < 0) r = 1.0f / r;
    return r;
}

inline Vec3x4 cross(const Vec3x4& a, const Vec3x4& b)
{
    const D4 ax = widen(a.x), ay = widen(a.y), az = widen(a.z);
    const D4 bx = widen(b.x), by = widen(b.y), bz = widen(b.z);
    return {narrow(ay * bz - az * by), narrow(az * bx - ax * bz), narrow(ax * by - ay * bx)};
}

inline Vec3x4 loadVec3(const std::vector<float>& x, const std::vector<float>& y, const std::vector<float>& z,
                       size_t i)
{
    return {load4(&x[i]), load4(&y[i]), load4(&z[i])};
}

struct RgbX4 {
    F4 r, g, b;
};

inline M4 loadColumns(const PolygonFragments& f, size_t i)
{
    M4 v;
    __builtin_memcpy(&v, &f.column[i], sizeof v);
    return v;
}

// What stays the same for every fragment of the polygon.
struct PolygonShading {
    const Scene& scene;
    const MipChain* texture;  // null when the primitive samples as white
    const Texture* bumpMap;   // null when the normal is not perturbed
    bool bumpHasTexels;       // without texels the gradient is 0, yet the tilt is still added
    WideMatrix projectionInverse;
    WideMatrix viewInverse;
    D4 width, height;
};

// The pixel's world position, and where w = 0 leaves none.
inline Vec3x4 unproject(const PolygonShading& p, F4 x, F4 y, F4 depth, M4& ok)
{
    // The window position at whole-number coordinates, exactly undoing the viewport mapping.
    const Vec4x4 ndc{narrow(widen(x) * 2.0 / p.width - 1.0), narrow(widen(y) * 2.0 / p.height - 1.0), depth,
                     splat(1.0f)};
    const Vec4x4 h = p.viewInverse * (p.projectionInverse * ndc);
    ok &= h.w != 0.0f;
    return {h.x / h.w, h.y / h.w, h.z / h.w};
}

// The colour lookups read arbitrary texels, one lane at a time; the arithmetic before them runs on
// four. Their results go to the fragment arrays, which the lighting pass reads back long after,
// rather than being assembled into vectors lane by lane.
inline void sampleTextures(const PolygonShading& p, PolygonFragments& f, size_t i, size_t lanes, F4 s, F4 t,
                           F4 q)
{
    const Texture& base = (*p.texture)[0];
    const PolygonSpan* sp[kLanes];
    for (int lane = 0; lane < kLanes; ++lane) sp[lane] = &f.spans[f.span[i + static_cast<size_t>(lane)]];
#define PIXELWRIGHT_GATHER(field) F4{sp[0]->field, sp[1]->field, sp[2]->field, sp[3]->field}
    const F4 stepXs = PIXELWRIGHT_GATHER(setup.stOverWStep.x);
    const F4 stepXt = PIXELWRIGHT_GATHER(setup.stOverWStep.y);
    const F4 leftYs = PIXELWRIGHT_GATHER(leftStOverWStepY.x);
    const F4 leftYt = PIXELWRIGHT_GATHER(leftStOverWStepY.y);
    const F4 rightYs = PIXELWRIGHT_GATHER(rightStOverWStepY.x);
    const F4 rightYt = PIXELWRIGHT_GATHER(rightStOverWStepY.y);
    const F4 spanStart = PIXELWRIGHT_GATHER(setup.firstColumn);
    const F4 spanLength = PIXELWRIGHT_GATHER(setup.length);
#undef PIXELWRIGHT_GATHER
    // The footprint as textureFootprint computes it. x - spanStart is exact: both are whole.
    const F4 x = __builtin_convertvector(loadColumns(f, i), F4);
    const F4 r = (x - spanStart) / spanLength;
    const F4 dsdx = stepXs / q;
    const F4 dtdx = stepXt / q;
    const F4 dsdy = (leftYs + r * (rightYs - leftYs)) / q;
    const F4 dtdy = (leftYt + r * (rightYt - leftYt)) / q;
    const F4 footprint = narrow(absolute(widen(dsdx) * widen(dtdy) - widen(dsdy) * widen(dtdx)));
    const D4 texels = splatWide(base.width) * widen(footprint) * static_cast<double>(base.height);
    for (size_t lane = 0; lane < lanes; ++lane) {
        // At q = 0 the footprint means nothing: magnify.
        const Color c = filteredSample(*p.texture, s[lane], t[lane], q[lane] != 0.0f ? texels[lane] : 0.0);
        f.textureRed[i + lane] = c.r;
        f.textureGreen[i + lane] = c.g;
        f.textureBlue[i + lane] = c.b;
    }
}

inline void bumpGradients(const PolygonShading& p, PolygonFragments& f, size_t i, size_t lanes, F4 s, F4 t)
{
    for (size_t lane = 0; lane < lanes; ++lane) {
        const Vec2 g = p.bumpHasTexels ? bumpGradientAt(*p.bumpMap, s[lane], t[lane]) : Vec2(0.0f, 0.0f);
        f.gradientX[i + lane] = g.x;
        f.gradientY[i + lane] = g.y;
    }
}

// The bump tilt about the fixed world x and y axes, as the scalar bumpedNormal takes it.
inline Vec3x4 bumpedNormal(const Vec3x4& normal, F4 gx, F4 gy)
{
    gx = kBumpStrength * gx;
    gy = kBumpStrength * gy;
    const F4 zero = splat(0.0f);
    // Written as Vec3(gy, 0, 0) - Vec3(0, gx, 0), so that the zeros carry the same signs.
    const Vec3x4 d{gy - zero, zero - gx, zero - zero};
    return normal + cross(d, normal);
}

}  // namespace

void shadePolygonFragments(PolygonFragments& f, const FrameShading& frame, const Primitive& primitive,
                           unsigned primitiveIndex)
{
    const size_t padded = f.paddedCount();
    if (!frame.eyeValid) {
        for (size_t i = 0; i < padded; ++i) f.lit[i] = 0;
        return;
    }
    const Scene& scene = *frame.scene;
    const std::vector<MipChain>& chains = *frame.mipChains;
    const MipChain* texture = primitiveIndex < chains.size() && !chains[primitiveIndex].empty() &&
                                      hasTexels(chains[primitiveIndex][0], 3)
                                  ? &chains[primitiveIndex]
                                  : nullptr;
    const Texture* bumpMap = primitive.bumpMap;
    const PolygonShading p{scene,
                           texture,
                           bumpMap,
                           bumpMap && hasTexels(*bumpMap, 1),
                           WideMatrix(scene.projectionStack.inverse),
                           WideMatrix(scene.viewStack.inverse),
                           splatWide(frame.width),
                           splatWide(frame.height)};
    const Vec3x4 eye = splat(frame.eye.x, frame.eye.y, frame.eye.z);

    // First the lookups, which go lane by lane, for the whole polygon.
    if (texture || bumpMap) {
        for (size_t i = 0; i < padded; i += kLanes) {
            const size_t lanes = f.count - i < kLanes ? f.count - i : kLanes;
            const Vec3x4 stOverW = loadVec3(f.stOverWX, f.stOverWY, f.stOverWZ, i);
            const F4 s = stOverW.x / stOverW.z;
            const F4 t = stOverW.y / stOverW.z;
            if (texture) sampleTextures(p, f, i, lanes, s, t, stOverW.z);
            if (bumpMap) bumpGradients(p, f, i, lanes, s, t);
        }
    }

    for (size_t i = 0; i < padded; i += kLanes) {
        M4 ok = M4{-1, -1, -1, -1};
        const F4 x = __builtin_convertvector(loadColumns(f, i), F4);
        const F4 y = load4(&f.row[i]);
        const F4 depth = load4(&f.depth[i]);
        const RgbX4 texel = texture ? RgbX4{load4(&f.textureRed[i]), load4(&f.textureGreen[i]), load4(&f.textureBlue[i])}
                                    : RgbX4{splat(1.0f), splat(1.0f), splat(1.0f)};
        const Vec3x4 position = unproject(p, x, y, depth, ok);
        Vec3x4 normal = loadVec3(f.normalX, f.normalY, f.normalZ, i);
        if (bumpMap) normal = bumpedNormal(normal, load4(&f.gradientX[i]), load4(&f.gradientY[i]));
        ok &= normalizeWhereNonZero(normal);
        Vec3x4 toEye = eye - position;
        ok &= normalizeWhereNonZero(toEye);

        // Neither factor is clamped at zero: a light behind the surface subtracts.
        RgbX4 acc{splat(0.0f), splat(0.0f), splat(0.0f)};
        for (const Light& light : scene.lights) {
            Vec3x4 toLight = splat(light.position.x, light.position.y, light.position.z) - position;
            ok &= normalizeWhereNonZero(toLight);
            Vec3x4 halfway = toLight + toEye;
            ok &= normalizeWhereNonZero(halfway);
            const F4 specular = specularPower(dot(normal, halfway), primitive.shininess);
            const F4 diffuse = dot(normal, toLight);
            acc.r = acc.r + light.color.r * (primitive.diffuse.r * diffuse + primitive.specular.r * specular);
            acc.g = acc.g + light.color.g * (primitive.diffuse.g * diffuse + primitive.specular.g * specular);
            acc.b = acc.b + light.color.b * (primitive.diffuse.b * diffuse + primitive.specular.b * specular);
        }

        // The texture modulates only the ambient term.
        store4(&f.red[i], texel.r * scene.ambient.r + acc.r);
        store4(&f.green[i], texel.g * scene.ambient.g + acc.g);
        store4(&f.blue[i], texel.b * scene.ambient.b + acc.b);
        __builtin_memcpy(&f.lit[i], &ok, sizeof ok);
    }
}
