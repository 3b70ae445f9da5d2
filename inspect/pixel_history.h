#pragma once

#include <string>
#include <vector>

#include "raster/probe_frame.h"

// Every fragment that reached one pixel, in drawing order, with what shading made of it.
struct PixelEvent {
    FragmentOrigin origin;
    float depth = 0.0f;
    bool passed = false;  // the depth test
    bool shaded = false;  // passed, and shading could colour it
    Fragment fragment;
    FragmentTrace trace;
    Color colour{0, 0, 0, 1};
};

// An observer (raster/probe_frame.h) that keeps the events of the pixel (column, row), row 0
// at the bottom.
struct PixelHistory {
    int column = 0;
    int row = 0;
    std::vector<PixelEvent> events;

    void tested(const FragmentOrigin& origin, int c, int r, float depth, bool passed)
    {
        if (c == column && r == row) events.push_back({origin, depth, passed, false, {}, {}, {0, 0, 0, 1}});
    }
    void shaded(const FragmentOrigin&, const Fragment& f, const FragmentTrace& trace, bool ok, const Color& c)
    {
        if (static_cast<int>(f.x) != column || static_cast<int>(f.y) != row || events.empty()) return;
        PixelEvent& e = events.back();
        e.shaded = ok;
        e.fragment = f;
        e.trace = trace;
        e.colour = c;
    }
    void polygonDone(size_t, const FrameImage&) {}
};

// The history as text, or as one JSON object; x and y as the user gave them (from the top left),
// stored the three bytes the display kept.
std::string describeHistory(const PixelHistory& history, const Scene& scene, const std::vector<MipChain>& mipChains,
                            int x, int y, const uint8_t stored[3], bool json);
