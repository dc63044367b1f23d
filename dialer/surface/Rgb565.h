// RGB565 pixel arithmetic with the exact rounding skins are designed against: channels
// expand to 8 bits without bit replication (red and blue × 8, green × 4), blends truncate,
// and COLORREF colours pack with the same rule.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

// A COLORREF (0x00BBGGRR) as an RGB565 pixel.
inline std::uint16_t PackColor565(COLORREF color) {
    const DWORD red = color & 0xFF;
    const DWORD green = (color >> 8) & 0xFF;
    const DWORD blue = (color >> 16) & 0xFF;
    return static_cast<std::uint16_t>(((red & 0xF8) << 8) | ((green & 0xFC) << 3) | (blue >> 3));
}

inline DWORD Red8(std::uint16_t pixel) { return (pixel >> 8) & 0xF8u; }
inline DWORD Green8(std::uint16_t pixel) { return (pixel >> 3) & 0xFCu; }
inline DWORD Blue8(std::uint16_t pixel) { return (pixel << 3) & 0xFFu; }

inline std::uint16_t Pack565(DWORD red8, DWORD green8, DWORD blue8) {
    return static_cast<std::uint16_t>(((red8 & 0xF8u) << 8) | ((green8 & 0xFCu) << 3) | (blue8 >> 3));
}

// Each 8-bit channel (destination × (256 − weight) + source × weight) >> 8, weight 0..256:
// 0 keeps the pixel, 256 gives the colour exactly. On the 5- and 6-bit fields this is the
// same as (field × (256 − weight) + colour field × weight) >> 8, which the loops use.
inline std::uint16_t BlendPixel565(std::uint16_t pixel, std::uint16_t color, DWORD weight) {
    const DWORD keep = 256 - weight;
    return Pack565((Red8(pixel) * keep + Red8(color) * weight) >> 8,
                   (Green8(pixel) * keep + Green8(color) * weight) >> 8,
                   (Blue8(pixel) * keep + Blue8(color) * weight) >> 8);
}
