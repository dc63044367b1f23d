// The TV-out rate word and enabled flag.
#include "game/flow/devices/TvOutRate.h"

#include "game/flow/devices/FramePacer.h"

namespace {

constexpr DWORD kTvOutDefaultRate = 30;
constexpr DWORD kTvOutSlowRate = 20;
constexpr int kLastSlowVideoMode = 4;

DWORD tvOutRate = kTvOutDefaultRate;
bool tvOutEnabled = false;

}  // namespace

DWORD GetTvOutFrameRate() { return tvOutEnabled ? tvOutRate : kNoFrameCap; }

void UpdateTvOutFrameRate(int videoMode) {
    tvOutRate = (videoMode >= 0 && videoMode <= kLastSlowVideoMode) ? kTvOutSlowRate : kTvOutDefaultRate;
}

void SetTvOutEnabled(bool enabled) { tvOutEnabled = enabled; }
bool IsTvOutEnabled() { return tvOutEnabled; }

void ResetTvOutRate() {
    tvOutRate = kTvOutDefaultRate;
    tvOutEnabled = false;
}
