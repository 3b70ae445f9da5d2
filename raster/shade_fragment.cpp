#include "raster/shade_fragment.h"

#include "math/vec4.h"
#include "texture/texture_sampling.h"

namespace {

constexpr double kBumpStrength = 50.0;

// The helpers are inline on purpose: as calls they passed their vectors through memory, which
// made every pixel about a third slower.

// normalize() without the exception: a zero-length vector makes the pixel unshadable, which is
// reported by the result rather than thrown once per pixel of a degenerate surface.
inline bool normalizeNonZero(Vec3& v)
{
    const float len = v.length();
    if (len == 0.0f) return false;
    v /= len;
    return true;
}

inline bool projectNonZero(const Vec4& h, Vec3& point)
{
    if (h.w == 0.0f) return false;
    point = h.project();
    return true;
}

inline Vec4 eyeHomogeneous(const Scene& scene) { return scene.viewStack.transformByInverse(Vec4(0, 0, 0, 1)); }

// The pixel is taken at its whole-number position, exactly undoing the viewport mapping.
inline Vec4 unprojectHomogeneous(const Scene& scene, float x, float y, float depth, int width, int height)
{
    const Vec4 ndc(normalizedDeviceCoordinate(x, width), normalizedDeviceCoordinate(y, height), depth, 1.0f);
    return scene.viewStack.transformByInverse(scene.projectionStack.transformByInverse(ndc));
}

// c to the power n by repeated squaring, every product rounded to float; n = 0 gives 1 for any c.
inline float specularPower(float c, int32_t n)
{
    // |n| as unsigned, so the most negative exponent does not overflow.
    uint32_t e = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
    float r = 1.0f;
    for (;;) {
        if (e & 1u) r = static_cast<float>(static_cast<double>(r) * c);
        e >>= 1;
        if (e == 0) break;
        c = static_cast<float>(static_cast<double>(c) * c);
    }
    if (n < 0) r = static_cast<float>(1.0 / r);
    return r;
}

// The bump tilt is taken about the fixed world x and y axes, not a tangent frame.
inline Vec3 bumpedNormal(const Vec3& normal, const Texture& bumpMap, const Vec3& stOverW)
{
    const Vec2 g = bumpGradient(bumpMap, stOverW);
    const auto gx = static_cast<float>(kBumpStrength * g.x);
    const auto gy = static_cast<float>(kBumpStrength * g.y);
    const Vec3 d = Vec3(gy, 0, 0) - Vec3(0, gx, 0);
    return normal + cross(d, normal);
}

}  // namespace

FrameShading prepareFrameShading(const Scene& scene, const std::vector<MipChain>& mipChains, int width, int height)
{
    FrameShading frame;
    frame.scene = &scene;
    frame.mipChains = &mipChains;
    frame.width = width;
    frame.height = height;
    frame.eyeValid = projectNonZero(eyeHomogeneous(scene), frame.eye);
    return frame;
}

bool readsTextureCoordinates(const std::vector<MipChain>& mipChains, const Primitive& primitive,
                             unsigned primitiveIndex)
{
    return (primitiveIndex < mipChains.size() && !mipChains[primitiveIndex].empty()) || primitive.bumpMap;
}

bool shadeFragment(const Fragment& fragment, const FrameShading& frame, const Primitive& primitive,
                   unsigned primitiveIndex, Color& out)
{
    if (!frame.eyeValid) return false;
    const Scene& scene = *frame.scene;

    // The texture lookup does not depend on the lighting: issued first, it overlaps with it.
    const std::vector<MipChain>& chains = *frame.mipChains;
    const Color texture = primitiveIndex < chains.size() && !chains[primitiveIndex].empty()
                              ? sampleTexture(chains[primitiveIndex], fragment)
                              : Color(1, 1, 1, 1);
    Vec3 position;
    if (!projectNonZero(
            unprojectHomogeneous(scene, fragment.x, fragment.y, fragment.depth, frame.width, frame.height),
            position))
        return false;
    Vec3 normal = fragment.normal;
    if (primitive.bumpMap) normal = bumpedNormal(normal, *primitive.bumpMap, fragment.stOverW);
    if (!normalizeNonZero(normal)) return false;

    Vec3 toEye = frame.eye - position;
    if (!normalizeNonZero(toEye)) return false;

    // Neither factor is clamped at zero: a light behind the surface subtracts.
    Color acc(0, 0, 0, 1);
    for (const Light& light : scene.lights) {
        Vec3 toLight = light.position - position;
        if (!normalizeNonZero(toLight)) return false;
        Vec3 halfway = toLight + toEye;
        if (!normalizeNonZero(halfway)) return false;
        const float specular = specularPower(dot(normal, halfway), primitive.shininess);
        const float diffuse = dot(normal, toLight);
        acc = acc + light.color * (primitive.diffuse * diffuse + primitive.specular * specular);
    }

    // The texture modulates only the ambient term.
    out = texture * scene.ambient + acc;
    return true;
}

Vec3 unprojectPixel(const Scene& scene, float x, float y, float depth, int width, int height)
{
    return unprojectHomogeneous(scene, x, y, depth, width, height).project();
}

Vec3 eyePosition(const Scene& scene) { return eyeHomogeneous(scene).project(); }
