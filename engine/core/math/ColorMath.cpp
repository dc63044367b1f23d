// Colour conversions.
#include "engine/core/math/ColorMath.h"

namespace {

constexpr float kByteScale = 0.003921569f;  // 1/255

std::uint32_t ChannelByte(float channel) {
    const float scaled = channel * 255.0f;
    if (!(scaled > 0.0f)) return 0;  // also NaN
    if (scaled >= 255.0f) return 255;
    return static_cast<std::uint32_t>(scaled);
}

}  // namespace

void ColorFromARGB(std::uint32_t word, Color& out) {
    out = {static_cast<float>((word >> 16) & 0xFF) * kByteScale, static_cast<float>((word >> 8) & 0xFF) * kByteScale,
           static_cast<float>(word & 0xFF) * kByteScale, static_cast<float>(word >> 24) * kByteScale};
}

std::uint32_t ColorToARGB(const Color& color) {
    return ((ChannelByte(color.a) * 256 + ChannelByte(color.r)) * 256 + ChannelByte(color.g)) * 256 +
           ChannelByte(color.b);
}

void ColorScaleRGB(const Color& color, float factor, Color& out) {
    out = {color.r * factor, color.g * factor, color.b * factor, color.a};
}
