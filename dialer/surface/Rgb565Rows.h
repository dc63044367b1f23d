// The hot row loops of the RGB565 routines, on the 5- and 6-bit fields: each field becomes
// (field × (256 − w) + source field × w) >> 8, which equals the blend of the 8-bit channel
// expansions (BlendPixel565). The weights of a pixel add up to 256, so every term stays
// below 63 × 256 and the loops run in 16-bit vector lanes; on x86-64 they are also built
// for AVX2 and the wider form is chosen at run time where the processor has it.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

// count pixels of the colour.
void FillRowWithColor(std::uint16_t* row, LONG count, std::uint16_t color);
// The colour over count pixels at one weight (1..255).
void BlendRowWithColor(std::uint16_t* row, LONG count, std::uint16_t color, DWORD weight);
// The source over count pixels through 8-bit coverage: full opacity (coverage 255 stores
// the source, 0 keeps the pixel, others blend by coverage) ...
void BlendRowThroughMask(std::uint16_t* out, const std::uint16_t* source, const BYTE* coverage, LONG count);
// ... or at an opacity below 255 (weight (coverage × opacity) >> 8).
void BlendRowThroughMaskAt(std::uint16_t* out, const std::uint16_t* source, const BYTE* coverage, LONG count,
                           DWORD opacity);
