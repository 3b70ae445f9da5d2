#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

// The depth rule of both paths: strict, so an equal depth fails and of two surfaces at one depth
// the first drawn stays; a NaN depth never passes.
inline bool passesDepthTest(float depth, float stored) { return depth < stored; }

// One depth per pixel, row-major, row 0 at the bottom. The storage only grows; the row stride
// is always the current frame width.
struct DepthBuffer {
    std::unique_ptr<float[]> data;
    int width = 0;
    int height = 0;
    size_t capacity = 0;

    // A non-positive side gives an empty frame.
    void resize(int w, int h)
    {
        const size_t cells = (w > 0 && h > 0) ? static_cast<size_t>(w) * static_cast<size_t>(h) : 0u;
        if (cells > capacity) {
            data.reset(new float[cells]);
            capacity = cells;
        }
        width = w;
        height = h;
    }

    // The frame's cells only: after a larger frame the rest of the storage is never read. One
    // block is filled cell by cell and copied on: the build keeps the compiler from vectorising
    // loops, the library's copy is vectorised, and one store per cell costs a detailed frame
    // about 2 %.
    void clear(float value)
    {
        const size_t cells = (width > 0 && height > 0) ? static_cast<size_t>(width) * static_cast<size_t>(height) : 0u;
        constexpr size_t kBlock = 1024;
        const size_t first = std::min(cells, kBlock);
        for (size_t i = 0; i < first; ++i) data[i] = value;
        for (size_t i = first; i < cells; i += kBlock)
            std::memcpy(&data[i], &data[0], std::min(kBlock, cells - i) * sizeof(float));
    }

    // The cells of one row. No range check: callers keep 0 <= row < height.
    float* rowCells(int row) { return &data[static_cast<size_t>(row) * static_cast<size_t>(width)]; }
    const float* rowCells(int row) const { return &data[static_cast<size_t>(row) * static_cast<size_t>(width)]; }

    // passesDepthTest, storing the depth that passes. No range check: callers keep
    // 0 <= column < width and 0 <= row < height.
    bool testAndSet(float depth, int column, int row)
    {
        float& cell = data[static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(column)];
        if (!passesDepthTest(depth, cell)) return false;
        cell = depth;
        return true;
    }
};
