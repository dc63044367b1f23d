// The process-wide screen density.
#include "dialer/layout/ScreenDpi.h"

#include <atomic>

namespace {

std::atomic<int> g_dpiX{kLayoutDpi};
std::atomic<int> g_dpiY{kLayoutDpi};

}  // namespace

int GetScreenDpiX() { return g_dpiX.load(std::memory_order_relaxed); }
int GetScreenDpiY() { return g_dpiY.load(std::memory_order_relaxed); }

void SetScreenDpi(int dpiX, int dpiY) {
    g_dpiX.store(dpiX, std::memory_order_relaxed);
    g_dpiY.store(dpiY, std::memory_order_relaxed);
}

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
