#pragma once

#include <cmath>
#include <cstdint>
#include <utility>
#if defined(__SSE__)
#include <immintrin.h>
#elif defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

// Eight pixels side by side, in the compiler's portable vector types. Every lane rounds exactly as
// the scalar code does: a single float operation equals the double operation rounded to float
// (double has more than twice float's precision, so the second rounding never changes the
// result), and longer expressions are carried in double lanes and rounded once.
constexpr int kLanes = 8;

// The functions that run the lanes are compiled more than once where the processor can be asked
// at run time: for wider vectors, where eight floats or eight doubles take fewer registers, and
// for the rest. Helpers they call are inlined, so each copy gets them in its own instruction set.
// A kernel without square roots leaves the copies to the compiler (PIXELWRIGHT_LANE_KERNEL); one
// with them goes through runLanes below. The sanitizer build keeps only the portable copies.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_ADDRESS__)
#define PIXELWRIGHT_WIDE_LANES 1
#define PIXELWRIGHT_LANE_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define PIXELWRIGHT_WIDE_LANES 0
#define PIXELWRIGHT_LANE_KERNEL
#endif
#define PIXELWRIGHT_LANE_HELPER inline __attribute__((always_inline))

using FloatLanes = float __attribute__((vector_size(4 * kLanes)));
using DoubleLanes = double __attribute__((vector_size(8 * kLanes)));
using MaskLanes = int32_t __attribute__((vector_size(4 * kLanes)));  // a comparison: all ones where true
using MaskWideLanes = int64_t __attribute__((vector_size(8 * kLanes)));

// v - 0 is v exactly, signed zeros included, so this is a plain broadcast.
template <class Lanes, class Value>
PIXELWRIGHT_LANE_HELPER Lanes spread(Value v)
{
    return v - Lanes{};
}

PIXELWRIGHT_LANE_HELPER FloatLanes splat(float v) { return spread<FloatLanes>(v); }
PIXELWRIGHT_LANE_HELPER DoubleLanes splatWide(double v) { return spread<DoubleLanes>(v); }
PIXELWRIGHT_LANE_HELPER MaskLanes allLanes() { return spread<MaskLanes>(-1); }
PIXELWRIGHT_LANE_HELPER DoubleLanes widen(FloatLanes v) { return __builtin_convertvector(v, DoubleLanes); }
#if defined(__wasm_simd128__)
// The compiler rounds eight doubles to float one lane at a time here, though WebAssembly rounds two
// at once, the same way (to nearest, ties to even). Widening needs no help: it is already paired.
PIXELWRIGHT_LANE_HELPER FloatLanes narrow(DoubleLanes v)
{
    v128_t pairs[kLanes / 2];
    __builtin_memcpy(pairs, &v, sizeof v);
    v128_t quarters[kLanes / 4];
    for (int q = 0; q < kLanes / 4; ++q) {
        quarters[q] = wasm_i64x2_shuffle(wasm_f32x4_demote_f64x2_zero(pairs[2 * q]),
                                         wasm_f32x4_demote_f64x2_zero(pairs[2 * q + 1]), 0, 2);
    }
    FloatLanes narrowed;
    __builtin_memcpy(&narrowed, quarters, sizeof narrowed);
    return narrowed;
}
#else
PIXELWRIGHT_LANE_HELPER FloatLanes narrow(DoubleLanes v) { return __builtin_convertvector(v, FloatLanes); }
#endif

PIXELWRIGHT_LANE_HELPER FloatLanes loadLanes(const float* p)
{
    FloatLanes v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

PIXELWRIGHT_LANE_HELPER void storeLanes(float* p, FloatLanes v) { __builtin_memcpy(p, &v, sizeof v); }

template <class PerLane, size_t... Lane>
PIXELWRIGHT_LANE_HELPER FloatLanes lanesFrom(PerLane perLane, std::index_sequence<Lane...>)
{
    return FloatLanes{perLane(static_cast<int>(Lane))...};
}

// A lane group of perLane(0) … perLane(7), assembled in registers: lanes written one by one to
// memory and read back as a vector would wait for all eight stores to land.
template <class PerLane>
PIXELWRIGHT_LANE_HELPER FloatLanes lanesFrom(PerLane perLane)
{
    return lanesFrom(perLane, std::make_index_sequence<kLanes>());
}

PIXELWRIGHT_LANE_HELPER FloatLanes select(MaskLanes mask, FloatLanes a, FloatLanes b) { return mask ? a : b; }

// The square root is the one lane operation the compiler's vector types lack, so it comes from
// the processor's own instructions, which the compiler's copies cannot choose between. A kernel
// that takes square roots is therefore a template on how to take them, run through runLanes.
// Nothing between a kernel and a root may be forced inline: the compiler refuses to put a wide
// root into a portable function.
struct NarrowRoots {
    static inline FloatLanes of(FloatLanes v)
    {
#if defined(__SSE__)
        __m128 quarters[kLanes / 4];
        __builtin_memcpy(quarters, &v, sizeof v);
        for (__m128& q : quarters) q = _mm_sqrt_ps(q);
        __builtin_memcpy(&v, quarters, sizeof v);
        return v;
#elif defined(__wasm_simd128__)
        v128_t quarters[kLanes / 4];
        __builtin_memcpy(quarters, &v, sizeof v);
        for (v128_t& q : quarters) q = wasm_f32x4_sqrt(q);
        __builtin_memcpy(&v, quarters, sizeof v);
        return v;
#else
        for (int lane = 0; lane < kLanes; ++lane) v[lane] = std::sqrt(v[lane]);
        return v;
#endif
    }
};

// The instruction sets a kernel is compiled for, widest first. With 512-bit vectors a row of
// eight doubles is one register, not two. kPortable is whatever the build targets: 128-bit SSE on
// x86-64, 128-bit SIMD in WebAssembly (which has no wider vectors and no run-time choice).
enum class LaneInstructions { k512, k256, kPortable };

#if PIXELWRIGHT_WIDE_LANES
// Eight roots in one instruction: twice as many per cycle as two halves.
struct WideRoots {
    __attribute__((target("avx"))) static inline FloatLanes of(FloatLanes v)
    {
        return reinterpret_cast<FloatLanes>(_mm256_sqrt_ps(reinterpret_cast<__m256>(v)));
    }
};
#define PIXELWRIGHT_ENTRY_512 __attribute__((target("arch=x86-64-v4"), flatten))
#define PIXELWRIGHT_ENTRY_256 __attribute__((target("arch=x86-64-v3"), flatten))
#else
using WideRoots = NarrowRoots;
#define PIXELWRIGHT_ENTRY_512 __attribute__((flatten))
#define PIXELWRIGHT_ENTRY_256 __attribute__((flatten))
#endif

// The widest instruction set this processor has, unless PIXELWRIGHT_LANES (256 or portable) asks
// for a narrower one, so that the tests can check every copy on one machine.
LaneInstructions chooseLaneInstructions();

inline LaneInstructions laneInstructions()
{
    static const LaneInstructions chosen = chooseLaneInstructions();
    return chosen;
}

// Each entry compiles Kernel::run<Roots> whole in its instruction set: flattening puts every
// helper it calls into the entry.
template <class Kernel, class... Args>
PIXELWRIGHT_ENTRY_512 void runLanes512(Args&&... args)
{
    Kernel::template run<WideRoots>(static_cast<Args&&>(args)...);
}

template <class Kernel, class... Args>
PIXELWRIGHT_ENTRY_256 void runLanes256(Args&&... args)
{
    Kernel::template run<WideRoots>(static_cast<Args&&>(args)...);
}

template <class Kernel, class... Args>
__attribute__((flatten)) void runLanesPortable(Args&&... args)
{
    Kernel::template run<NarrowRoots>(static_cast<Args&&>(args)...);
}

// Runs the kernel in the instruction set laneInstructions() chose (always the portable one in the
// sanitizer build).
template <class Kernel, class... Args>
void runLanes(Args&&... args)
{
    switch (laneInstructions()) {
    case LaneInstructions::k512: runLanes512<Kernel>(static_cast<Args&&>(args)...); break;
    case LaneInstructions::k256: runLanes256<Kernel>(static_cast<Args&&>(args)...); break;
    case LaneInstructions::kPortable: runLanesPortable<Kernel>(static_cast<Args&&>(args)...); break;
    }
}

PIXELWRIGHT_LANE_HELPER DoubleLanes absolute(DoubleLanes v)
{
    constexpr int64_t kNoSign = INT64_MAX;
    return reinterpret_cast<DoubleLanes>(reinterpret_cast<MaskWideLanes>(v) & kNoSign);
}

struct Vec2Lanes {
    FloatLanes x, y;
};

// Three components of a lane group.
struct Vec3Lanes {
    FloatLanes x, y, z;
};

struct Vec4Lanes {
    FloatLanes x, y, z, w;
};

PIXELWRIGHT_LANE_HELPER Vec3Lanes operator+(const Vec3Lanes& a, const Vec3Lanes& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
PIXELWRIGHT_LANE_HELPER Vec3Lanes operator-(const Vec3Lanes& a, const Vec3Lanes& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
PIXELWRIGHT_LANE_HELPER Vec3Lanes splat(float x, float y, float z) { return {splat(x), splat(y), splat(z)}; }

// The scalar dot: products and sums in double, one rounding at the end.
PIXELWRIGHT_LANE_HELPER FloatLanes dot(const Vec3Lanes& a, const Vec3Lanes& b)
{
    return narrow(widen(a.x) * widen(b.x) + widen(a.y) * widen(b.y) + widen(a.z) * widen(b.z));
}

PIXELWRIGHT_LANE_HELPER Vec3Lanes cross(const Vec3Lanes& a, const Vec3Lanes& b)
{
    const DoubleLanes ax = widen(a.x), ay = widen(a.y), az = widen(a.z);
    const DoubleLanes bx = widen(b.x), by = widen(b.y), bz = widen(b.z);
    return {narrow(ay * bz - az * by), narrow(az * bx - ax * bz), narrow(ax * by - ay * bx)};
}
