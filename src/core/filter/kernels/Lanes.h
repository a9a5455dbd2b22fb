#pragma once
// What the kernel sources share: the compilers' generic vector types and
// how the Original's pixels are reached. Only for the sources of this
// folder, each compiled into both kernel copies (CMakeLists.txt), which
// must not call an inline function or template defined elsewhere: the
// linker could keep the AVX2 build of it for both copies. So everything
// here has internal linkage or the namespace of its copy.
#include "filter/Kernels.h"

#include <cstring>

namespace lumacut::fast::LUMACUT_KERNELS {

// The kernels of each source, gathered in KernelTable.cpp.
void ReadRow(const SourceImage& s, int x0, int y, int n, std::uint8_t* out);
void SumWindows(const SourceImage& s, RowCache* cache, const TentWindow* windows, int count, std::uint8_t* out);
int BilinearRow(const SourceImage& src, const CSampler& s, int x0, int y, int n, std::uint8_t* out, int* left);
void GreySharp(const ColourLanes& c, const std::uint8_t* src, int step, int n, std::uint8_t* dst);
void TrueMix(const ColourLanes& c, const std::uint8_t* src, int step, int n, std::uint8_t* dst);
void TrueNear(const ColourLanes& c, const std::uint8_t* src, int step, int n, std::uint8_t* dst);

namespace {

using V4d = double __attribute__((vector_size(32)));
using V4l = std::int64_t __attribute__((vector_size(32)));
using V4i = std::int32_t __attribute__((vector_size(16)));
using V4u = std::uint32_t __attribute__((vector_size(16)));
using V4f = float __attribute__((vector_size(16)));
using V8f = float __attribute__((vector_size(32)));
using V8i = std::int32_t __attribute__((vector_size(32)));
using V16b = std::uint8_t __attribute__((vector_size(16)));
using V2q = std::uint64_t __attribute__((vector_size(16)));

// Element by element: GCC 12 makes one instruction of this, but two halves
// of __builtin_convertvector.
inline V4d ToDouble(V4i v) { return V4d{double(v[0]), double(v[1]), double(v[2]), double(v[3])}; }
// Truncation toward zero; callers keep every lane inside the int range.
inline V4i ToInt(V4d v) { return __builtin_convertvector(v, V4i); }

template <Source S>
struct SourceTag {};

// f(SourceTag<S>{}) for the Original's kind of pixels.
template <class F>
inline void BySource(Source kind, F f)
{
    switch (kind) {
    case Source::Bgr24: return f(SourceTag<Source::Bgr24>{});
    case Source::Bgr32: return f(SourceTag<Source::Bgr32>{});
    case Source::Index8: return f(SourceTag<Source::Index8>{});
    case Source::Nibble4: return f(SourceTag<Source::Nibble4>{});
    }
}

// The blue, green, red bytes of pixel (column, row).
template <Source S>
inline const std::uint8_t* PixelOf(const SourceImage& s, int column, int row)
{
    const std::uint8_t* bits = s.bits + row * s.stride;
    if constexpr (S == Source::Bgr24)
        return bits + 3 * column;
    else if constexpr (S == Source::Bgr32)
        return bits + 4 * column;
    else if constexpr (S == Source::Index8)
        return s.palette[bits[column]];
    else {
        const std::uint8_t byte = bits[column / 2];
        return s.palette[(column % 2) ? (byte & 15) : (byte >> 4)];
    }
}

} // namespace

} // namespace lumacut::fast::LUMACUT_KERNELS
