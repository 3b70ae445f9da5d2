#include "raster/shade_fragment.h"

#include "raster/fragment_trace.h"
#include "raster/lighting.h"
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

// The one-fragment statement of shading. The lane path (raster/lanes/) calls the same maths,
// stage by stage over many pixels at once.
template <class Trace>
bool shadeFragment(const Fragment& fragment, const FrameShading& frame, const Primitive& primitive,
                   unsigned primitiveIndex, Color& out, Trace& trace)
{
    using L = OneLane;
    if (!frame.eyeValid) return false;
    const Scene& scene = *frame.scene;

    // The texture lookup does not depend on the lighting: issued first, it overlaps with it.
    Rgb<L> texture{1.0f, 1.0f, 1.0f};
    if (const MipChain* chain = primitiveTexture(*frame.mipChains, primitiveIndex)) {
        const Color c = sampleTexture(*chain, fragment);
        texture = {c.r, c.g, c.b};
    }
    trace.texture(Color(texture.r, texture.g, texture.b, 1.0f));
    bool ok = true;
    const Vec3 position =
        unproject<L>(frame.unprojection, normalizedDeviceCoordinate(fragment.x, frame.width),
                     normalizedDeviceCoordinate(fragment.y, frame.height), fragment.depth, ok);
    Vec3 normal = fragment.normal;
    if (primitive.bumpMap) {
        const Vec2 g = bumpGradient(*primitive.bumpMap, fragment.stOverW);
        normal = bumpedNormal<L>(normal, g.x, g.y);
    }
    ok = ok && normalizeWhereNonZero<L>(normal);
    Vec3 toEye = frame.eye - position;
    ok = ok && normalizeWhereNonZero<L>(toEye);
    if (!ok) return false;
    trace.surface(position, normal, toEye);

    Rgb<L> lights{0.0f, 0.0f, 0.0f};
    for (const Light& light : scene.lights) {
        Vec3 toLight = light.position - position;
        if (!normalizeWhereNonZero<L>(toLight)) return false;
        Vec3 halfway = toLight + toEye;
        if (!normalizeWhereNonZero<L>(halfway)) return false;
        float specular[1] = {dot(normal, halfway)};
        specularPowers<L>(specular, primitive.shininess);
        const float diffuse = dot(normal, toLight);
        trace.light(toLight, halfway, diffuse, specular[0]);
        lights = addLight<L>(lights, light, primitive, diffuse, specular[0]);
    }
    const Rgb<L> colour = addAmbient<L>(lights, texture, scene.ambient);
    out = Color(colour.r, colour.g, colour.b, 1.0f);
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
