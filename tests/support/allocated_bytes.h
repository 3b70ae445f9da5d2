#pragma once

#include <malloc.h>

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's own count (its allocator_interface.h, which GCC's packages do not ship).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

// Bytes the allocator has handed out and not yet taken back.
inline size_t allocatedBytes()
{
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's allocator replaces the C library's, whose statistics then read zero.
    return __sanitizer_get_current_allocated_bytes();
#elif defined(__EMSCRIPTEN__)
    // Its allocator reports in int, which the tests' few megabytes fit.
    const struct mallinfo info = mallinfo();
    return static_cast<size_t>(info.uordblks) + static_cast<size_t>(info.hblkhd);
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}
