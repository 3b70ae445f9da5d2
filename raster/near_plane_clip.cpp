#include "raster/near_plane_clip.h"

#include "raster/interpolate.h"

ClipVertex nearPlaneCrossing(const ClipVertex& inFront, const ClipVertex& behind)
{
    // Signed distances to the plane z + w = 0.
    const double front = static_cast<double>(inFront.position.z) + inFront.position.w;
    const double back = static_cast<double>(behind.position.z) + behind.position.w;
    const float u = static_cast<float>(front / (front - back));
    ClipVertex c = inFront;
    c.position = Vec4(lerp(inFront.position.x, behind.position.x, u), lerp(inFront.position.y, behind.position.y, u),
                      lerp(inFront.position.z, behind.position.z, u), lerp(inFront.position.w, behind.position.w, u));
    c.normal = lerp(inFront.normal, behind.normal, u);
    c.s = lerp(inFront.s, behind.s, u);
    c.t = lerp(inFront.t, behind.t, u);
    return c;
}

void clipRingToNearPlane(const ClipVertex* ring, size_t count, std::vector<ClipVertex>& out)
{
    out.clear();
    for (size_t k = 0; k < count; ++k) {
        const ClipVertex& cur = ring[k];
        const ClipVertex& prev = ring[k == 0 ? count - 1 : k - 1];
        const bool curInFront = inFrontOfNearPlane(cur.position);
        const bool prevInFront = inFrontOfNearPlane(prev.position);
        if (prevInFront && !curInFront) out.push_back(nearPlaneCrossing(prev, cur));
        if (!prevInFront && curInFront) out.push_back(nearPlaneCrossing(cur, prev));
        if (curInFront) out.push_back(cur);
    }
    const auto n = static_cast<int32_t>(out.size());
    for (int32_t i = 0; i < n; ++i) out[static_cast<size_t>(i)].previous = (i == 0 ? n : i) - 1;
}
