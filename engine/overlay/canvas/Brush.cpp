// Brush alpha.
#include "engine/overlay/canvas/Brush.h"

void Brush::SetAlpha(float alpha) {
    const float held = alpha > 1.0f ? 1.0f : (alpha >= 0.0f ? alpha : 0.0f);  // NaN counts as 0
    const auto byte = static_cast<DWORD>(held * 255.0f);
    const int count = (flags & kBrushCornerColours) != 0 ? 4 : 1;
    for (int i = 0; i < count; ++i) colours[i] = (colours[i] & 0x00FFFFFFu) | (byte << 24);
}
