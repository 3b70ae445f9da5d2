#pragma once

#include <cstdint>

// Bounds that keep loading proportional to what a person means to draw: a file larger than this
// is refused before it is parsed, and a model whose faces (counting every instance of a mesh) have
// more corners than this before it is built.
constexpr uint64_t kMaxModelFileBytes = 256ull << 20;
constexpr uint64_t kMaxModelCorners = 16ull << 20;

// Everything one model may read: the main file, its companions (.mtl, .bin) and its textures,
// each distinct file counted once at its size.
constexpr uint64_t kModelByteBudget = 512ull << 20;

// The importer runs in a child process under these limits: wall-clock time (a child blocked on a
// read uses no processor time), memory (address space, or resident size in the sanitizer build,
// whose own mappings an address-space limit would break) and stack.
constexpr int kImportSeconds = 20;
constexpr uint64_t kImportMemoryBytes = 2048ull << 20;
constexpr uint64_t kImportStackBytes = 8ull << 20;

// The most the child may send back, texels included.
constexpr uint64_t kMaxTransferBytes = 2048ull << 20;
