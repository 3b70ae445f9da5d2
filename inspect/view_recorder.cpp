#include "inspect/view_recorder.h"

#include "texture/texture_sampling.h"

void ViewRecorder::shaded(const FragmentOrigin& origin, const Fragment& f, const FragmentTrace& trace, bool ok,
                          const Color&)
{
    // Only a point the display keeps: one outside the depth range leaves the earlier one.
    if (!ok || !(f.depth >= 0.0f && f.depth <= 1.0f)) return;
    PixelRecord& p = at(static_cast<int>(f.x), static_cast<int>(f.y));
    p.covered = true;
    p.origin = origin;
    p.depth = f.depth;
    p.normal = f.normal;
    p.bumpedNormal = trace.normal;
    p.s = f.stOverW.x / f.stOverW.z;
    p.t = f.stOverW.y / f.stOverW.z;
    const MipChain* chain = primitiveTexture(mipChains, origin.primitive);
    p.textured = chain != nullptr;
    if (chain) {
        p.lambda = textureLevel((*chain)[0], footprintInputs(f));
        p.levels = static_cast<unsigned>(chain->size());
    }
    // Each term alone, as the display would clamp it; the picture's colour is their sum.
    const Primitive& primitive = scene.primitives[origin.primitive];
    p.ambient = trace.textureColour * scene.ambient;
    p.diffuse = p.specular = Color(0, 0, 0, 1);
    for (size_t i = 0; i < trace.lights.size() && i < scene.lights.size(); ++i) {
        const Color& light = scene.lights[i].color;
        p.diffuse = p.diffuse + light * (primitive.diffuse * trace.lights[i].diffuse);
        p.specular = p.specular + light * (primitive.specular * trace.lights[i].specular);
    }
}
