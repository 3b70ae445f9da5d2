#pragma once

#include <cstdint>

// Bounds that keep loading proportional to what a person means to draw: a file larger than this
// is refused before it is parsed, and a model whose faces (counting every instance of a mesh) have
// more corners than this before it is built.
constexpr uint64_t kMaxModelFileBytes = 256ull << 20;
constexpr uint64_t kMaxModelCorners = 16ull << 20;
