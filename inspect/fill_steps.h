#pragma once

#include <cstddef>

#include "raster/probe_frame.h"

// An observer (raster/probe_frame.h) that hands the frame on at `steps` evenly spaced cuts of the
// drawing order, the last after every polygon: write(k, image) for k = 1 … steps, stopping at
// the first that returns false.
template <class Write>
struct FillSteps {
    int steps = 0;
    size_t polygons = 0;  // in the whole frame
    Write write;
    int written = 0;
    bool failed = false;

    // Rounded up, so that the last cut falls after the last polygon.
    size_t cut(int k) const { return (polygons * static_cast<size_t>(k) + steps - 1) / steps; }

    void tested(const FragmentOrigin&, int, int, float, bool) {}
    void shaded(const FragmentOrigin&, const Fragment&, const FragmentTrace&, bool, const Color&) {}
    void polygonDone(size_t drawn, const FrameImage& image)
    {
        while (!failed && written < steps && cut(written + 1) <= drawn) {
            failed = !write(written + 1, image);
            ++written;
        }
    }
};

// Hands every event to both, so that a pixel's history and the views come from one frame.
template <class First, class Second>
struct BothObservers {
    First& first;
    Second& second;
    void tested(const FragmentOrigin& o, int column, int row, float depth, bool passed)
    {
        first.tested(o, column, row, depth, passed);
        second.tested(o, column, row, depth, passed);
    }
    void shaded(const FragmentOrigin& o, const Fragment& f, const FragmentTrace& trace, bool ok, const Color& c)
    {
        first.shaded(o, f, trace, ok, c);
        second.shaded(o, f, trace, ok, c);
    }
    void polygonDone(size_t drawn, const FrameImage& image)
    {
        first.polygonDone(drawn, image);
        second.polygonDone(drawn, image);
    }
};
