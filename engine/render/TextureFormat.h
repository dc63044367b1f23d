// Pixel formats of texture data: what a mip level of each format takes in memory. Every
// size is computed in 64 bits from capped sides, so a file's dimensions cannot make a small
// buffer look large enough.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

// Largest side and deepest mip chain the device takes.
constexpr std::int32_t kMaxTextureSide = 4096;
constexpr std::int32_t kMaxTextureLevels = 16;

// The format code without the cube-map bit.
inline DWORD FormatCode(DWORD format) { return format & 0x7FFFFFFF; }
inline bool IsCubeMap(DWORD format) { return (format & 0x80000000) != 0; }

// DXT1 to DXT5 and the two ATC codes: stored in 4 x 4 blocks.
bool IsBlockFormat(DWORD format);
// Bytes of one 4 x 4 block (8 for DXT1 and ATC RGB, 16 for the others); 0 for pixel formats.
std::uint32_t FormatBlockBytes(DWORD format);
// Bits of one pixel of a pixel format (24, 16, 8 or 32).
std::uint32_t FormatPixelBits(DWORD format);

struct LevelLayout {
    std::uint32_t width;   // pixels: max(1, width >> level)
    std::uint32_t height;  // pixels: max(1, height >> level)
    std::uint64_t pitch;   // bytes of one row (of pixels, or of 4 x 4 blocks)
    std::uint64_t rows;    // rows of pixels, or of blocks
    std::uint64_t bytes;   // pitch x rows
};

// Level `level` of a width x height image; false for a side outside 1..kMaxTextureSide or a
// level outside 0..kMaxTextureLevels - 1.
bool ComputeLevelLayout(DWORD format, std::int32_t width, std::int32_t height, std::int32_t level, LevelLayout& layout);
