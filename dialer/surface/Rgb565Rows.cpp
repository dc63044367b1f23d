// The RGB565 row loops.
#include "dialer/surface/Rgb565Rows.h"

#include <cstring>

// GCC only: clang 14 names the resolver of an external clone "<name>.ifunc" and leaves the
// name itself undefined, so that the fuzz build (clang) could not link the row loops.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define RGB565_ROW_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define RGB565_ROW_LOOP
#endif

namespace {

// (d × (256 − w) + s × w) >> 8 is d + (((s − d) × w) >> 8) with an arithmetic shift: the
// first sum is 256 d plus the signed term, and d is whole. One multiply a field.
inline std::int16_t Mix(std::int16_t from, std::int16_t to, std::int16_t weight) {
    return static_cast<std::int16_t>(from +
                                     static_cast<std::int16_t>(static_cast<std::int16_t>((to - from) * weight) >> 8));
}

inline std::uint16_t BlendFields(std::uint16_t d, std::uint16_t s, std::uint16_t weight) {
    const auto w = static_cast<std::int16_t>(weight);
    const std::int16_t r = Mix(static_cast<std::int16_t>(d >> 11), static_cast<std::int16_t>(s >> 11), w);
    const std::int16_t g =
        Mix(static_cast<std::int16_t>((d >> 5) & 0x3F), static_cast<std::int16_t>((s >> 5) & 0x3F), w);
    const std::int16_t b = Mix(static_cast<std::int16_t>(d & 0x1F), static_cast<std::int16_t>(s & 0x1F), w);
    return static_cast<std::uint16_t>((r << 11) | (g << 5) | b);
}

// Coverage as a weight: 255 becomes 256, which stores the source exactly.
inline std::uint16_t WeightOf(BYTE coverage) {
    return static_cast<std::uint16_t>(coverage + (coverage == 255 ? 1 : 0));
}

}  // namespace

RGB565_ROW_LOOP void FillRowWithColor(std::uint16_t* row, LONG count, std::uint16_t color) {
    for (LONG i = 0; i < count; ++i) row[i] = color;
}

RGB565_ROW_LOOP void BlendRowWithColor(std::uint16_t* row, LONG count, std::uint16_t color, DWORD weight) {
    const auto w = static_cast<std::uint16_t>(weight);
    for (LONG i = 0; i < count; ++i) row[i] = BlendFields(row[i], color, w);
}

RGB565_ROW_LOOP void BlendRowThroughMask(std::uint16_t* out, const std::uint16_t* source, const BYTE* coverage,
                                         LONG count) {
    // Skin masks are mostly empty or full: runs of 16 pixels that are either are skipped or
    // copied whole, and only the others are blended.
    constexpr LONG kRun = 16;
    LONG i = 0;
    for (; i + kRun <= count; i += kRun) {
        std::uint64_t first = 0;
        std::uint64_t second = 0;
        std::memcpy(&first, coverage + i, 8);
        std::memcpy(&second, coverage + i + 8, 8);
        if ((first | second) == 0) continue;
        if ((first & second) == ~0ull) {
            std::memcpy(out + i, source + i, kRun * sizeof(std::uint16_t));
            continue;
        }
        for (LONG j = i; j < i + kRun; ++j) out[j] = BlendFields(out[j], source[j], WeightOf(coverage[j]));
    }
    for (; i < count; ++i) out[i] = BlendFields(out[i], source[i], WeightOf(coverage[i]));
}

RGB565_ROW_LOOP void BlendRowThroughMaskAt(std::uint16_t* out, const std::uint16_t* source, const BYTE* coverage,
                                           LONG count, DWORD opacity) {
    const auto alpha = static_cast<std::uint16_t>(opacity);
    for (LONG i = 0; i < count; ++i) {
        const auto weight = static_cast<std::uint16_t>((coverage[i] * alpha) >> 8);
        out[i] = BlendFields(out[i], source[i], weight);
    }
}
