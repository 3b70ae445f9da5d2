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
    p.ambient = trace.terms.ambient;
    p.diffuse = trace.terms.diffuse;
    p.specular = trace.terms.specular;
}
