// The gesture thresholds and the smoothed velocity.
#include "dialer/dialog/InputMetrics.h"

#include <algorithm>
#include <limits>

namespace XmlLayouts {

namespace {

constexpr LONG kBaseThreshold = 15;
constexpr int kBaseDpi = 96;

LONG Saturate(long long value) {
    return static_cast<LONG>(std::clamp<long long>(value, std::numeric_limits<LONG>::min(),
                                                   std::numeric_limits<LONG>::max()));
}

}  // namespace

LONG DragThreshold(int dpi) {
    const long long density = std::max(dpi, 1);
    return Saturate((density * kBaseThreshold + kBaseDpi / 2) / kBaseDpi);
}

LONG SmoothVelocity(LONG displacement, DWORD elapsedMs, LONG previousVelocity) {
    const long long moved = static_cast<long long>(displacement) * 1000;
    if (elapsedMs >= static_cast<DWORD>(kVelocityWindowMs)) return Saturate(moved / static_cast<long long>(elapsedMs));
    const long long rest = kVelocityWindowMs - static_cast<long long>(elapsedMs);
    return Saturate((moved + rest * previousVelocity) / kVelocityWindowMs);
}

}  // namespace XmlLayouts
