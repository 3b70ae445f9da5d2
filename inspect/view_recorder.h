#pragma once

#include <cstdint>
#include <vector>

#include "math/color.h"
#include "math/vec3.h"
#include "raster/probe_frame.h"

// What the views show of one pixel: the values of the fragment whose point the picture keeps
// there (the last one shaded and inside the depth range), and how many passed the depth test.
struct PixelRecord {
    bool covered = false;
    uint32_t passed = 0;
    FragmentOrigin origin;
    float depth = 0.0f;
    Vec3 normal;  // as interpolated
    Vec3 bumpedNormal;
    float s = 0.0f, t = 0.0f;
    bool textured = false;
    float lambda = 0.0f;  // the level the texture read, as the level choice gives it
    unsigned levels = 0;  // in the texture's chain
    Color ambient{0, 0, 0, 1}, diffuse{0, 0, 0, 1}, specular{0, 0, 0, 1};
};

// An observer (raster/probe_frame.h) that keeps a PixelRecord per pixel, row 0 at the bottom.
struct ViewRecorder {
    const Scene& scene;
    const std::vector<MipChain>& mipChains;
    int width = 0;
    int height = 0;
    std::vector<PixelRecord> pixels;

    ViewRecorder(const Scene& s, const std::vector<MipChain>& chains, int w, int h)
        : scene(s), mipChains(chains), width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h))
    {
    }

    PixelRecord& at(int column, int row) { return pixels[static_cast<size_t>(row) * width + column]; }
    const PixelRecord& at(int column, int row) const { return pixels[static_cast<size_t>(row) * width + column]; }

    void tested(const FragmentOrigin&, int column, int row, float, bool passed)
    {
        if (passed) ++at(column, row).passed;
    }
    void shaded(const FragmentOrigin& origin, const Fragment& f, const FragmentTrace& trace, bool ok, const Color&);
    void polygonDone(size_t, const FrameImage&) {}
};
