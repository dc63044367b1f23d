// The process-wide screen density.
#include "dialer/surface/ScreenDpi.h"

#include <atomic>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Paint.h"

namespace {

std::atomic<int> g_dpiX{kLayoutDpi};
std::atomic<int> g_dpiY{kLayoutDpi};
std::atomic<bool> g_cached{false};

int DensityClass() { return (GetScreenDpiY() + 16) * 3 / kLayoutDpi; }

}  // namespace

int GetScreenDpiX() { return g_dpiX.load(std::memory_order_relaxed); }
int GetScreenDpiY() { return g_dpiY.load(std::memory_order_relaxed); }

void SetScreenDpi(int dpiX, int dpiY) {
    g_dpiX.store(dpiX, std::memory_order_relaxed);
    g_dpiY.store(dpiY, std::memory_order_relaxed);
    g_cached.store(true);
}

void CacheScreenDpi() {
    if (g_cached.exchange(true)) return;
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpiX > 0 && dpiY > 0) {
        g_dpiX.store(dpiX, std::memory_order_relaxed);
        g_dpiY.store(dpiY, std::memory_order_relaxed);
    }
}

bool IsHighDensityScreen() { return DensityClass() == 6; }
bool IsMediumDensityScreen() { return DensityClass() == 4; }

LONGLONG MulDivRound(LONGLONG a, LONG b, LONG c) {
    if (c <= 0) return 0;
    const bool negative = (a < 0) != (b < 0);
    // 128-bit intermediate: |a| x |b| cannot overflow, and the quotient is at most |a| x |b|.
    const unsigned __int128 magnitudeA = a < 0 ? -static_cast<__int128>(a) : static_cast<__int128>(a);
    const unsigned __int128 magnitudeB = b < 0 ? -static_cast<__int128>(b) : static_cast<__int128>(b);
    unsigned __int128 scaled = (magnitudeA * magnitudeB + static_cast<unsigned>(c / 2)) / static_cast<unsigned>(c);
    const unsigned __int128 limit = static_cast<unsigned __int128>(0x7FFFFFFFFFFFFFFFll);
    if (scaled > limit) scaled = limit;
    return negative ? -static_cast<LONGLONG>(scaled) : static_cast<LONGLONG>(scaled);
}
