// The dialer's RGB565 routines over a whole 480 × 800 surface, each against a memcpy of
// the surface's bytes timed in the same iterations (the counter "ratio" is the routine's
// time over the copy's). Goals: a fill within 1.5 times the copy, an alpha blend and a
// blit through an 8-bit mask within 4 times. Then a full repaint of the test card (bars,
// blends, masks, a tinted ramp and text), alone and copied to the screen: goal under 4 ms.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

#include "dialer/layout/DibSurface.h"
#include "dialer/layout/SurfaceDrawing.h"
#include "platform/gdi/Blit.h"
#include "platform/gdi/Paint.h"
#include "tests/dialer/layout/TestCard.h"

namespace {

constexpr LONG kWidth = 480;
constexpr LONG kHeight = 800;
constexpr std::size_t kBytes = static_cast<std::size_t>(kWidth) * kHeight * 2;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// Times `operation` against a memcpy of kBytes in every iteration.
template <class Operation>
void AgainstCopy(benchmark::State& state, Operation operation) {
    std::vector<std::uint8_t> from(kBytes, 0x5A);
    std::vector<std::uint8_t> to(kBytes, 0);
    double operationTime = 0;
    double copyTime = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        std::memcpy(to.data(), from.data(), kBytes);
        benchmark::ClobberMemory();
        const Clock::time_point copied = Clock::now();
        operation();
        benchmark::ClobberMemory();
        const Clock::time_point done = Clock::now();
        copyTime += Seconds(start, copied);
        operationTime += Seconds(copied, done);
        state.SetIterationTime(Seconds(copied, done));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kBytes));
    state.counters["ratio"] = copyTime > 0 ? operationTime / copyTime : 0;
    state.counters["copy_us"] = copyTime * 1e6 / static_cast<double>(state.iterations());
}

CDibSurface& Target() {
    static CDibSurface* target = [] {
        auto* surface = new CDibSurface();
        CreateDibSurface(*surface, kWidth, kHeight, DIB_FORMAT_RGB565);
        FillRectRGB565(*surface, 0, 0, kWidth, kHeight, RGB(40, 60, 90), 255);
        return surface;
    }();
    return *target;
}

void BM_FillRect(benchmark::State& state) {
    CDibSurface& target = Target();
    AgainstCopy(state, [&] { FillRectRGB565(target, 0, 0, kWidth, kHeight, RGB(200, 100, 50), 255); });
}
BENCHMARK(BM_FillRect)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_AlphaBlend(benchmark::State& state) {
    CDibSurface& target = Target();
    AgainstCopy(state, [&] { FillRectRGB565(target, 0, 0, kWidth, kHeight, RGB(255, 255, 255), 100); });
}
BENCHMARK(BM_AlphaBlend)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_MaskedBlit(benchmark::State& state) {
    CDibSurface& target = Target();
    CDibSurface source;
    CDibSurface mask;
    CreateDibSurface(source, kWidth, kHeight, DIB_FORMAT_RGB565);
    CreateDibSurface(mask, kWidth, kHeight, DIB_FORMAT_MASK8);
    FillRectRGB565(source, 0, 0, kWidth, kHeight, RGB(0, 200, 40), 255);
    // Skin-like coverage: rows of soft-edged discs, mostly empty or full, blended at edges.
    for (LONG y = 0; y < kHeight; ++y)
        for (LONG x = 0; x < kWidth; ++x) {
            const double dx = (x % 80) + 0.5 - 40.0;
            const double dy = (y % 80) + 0.5 - 40.0;
            const double coverage = std::fmin(1.0, std::fmax(0.0, (34.0 - std::sqrt(dx * dx + dy * dy)) / 3.0));
            mask.Row(y)[x] = static_cast<BYTE>(coverage * 255.0 + 0.5);
        }
    AgainstCopy(state, [&] { BlendSurfaceMasked(target, 0, 0, kWidth, kHeight, source, 0, 0, mask, 255); });
}
BENCHMARK(BM_MaskedBlit)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_TestCardRepaint(benchmark::State& state) {
    test_card::CTestCard card;
    CDibSurface surface;
    CreateDibSurface(surface, kWidth, kHeight, DIB_FORMAT_RGB565);
    HDC dc = surface.SelectIntoMemoryDC();
    AgainstCopy(state, [&] { card.Paint(surface, dc); });
}
BENCHMARK(BM_TestCardRepaint)->UseManualTime()->Unit(benchmark::kMillisecond);

// The repaint and its copy to the screen through the screen's context, as WM_PAINT does.
void BM_TestCardToScreen(benchmark::State& state) {
    test_card::CTestCard card;
    CDibSurface surface;
    CreateDibSurface(surface, kWidth, kHeight, DIB_FORMAT_RGB565);
    HDC dc = surface.SelectIntoMemoryDC();
    HDC screen = GetDC(nullptr);
    AgainstCopy(state, [&] {
        card.Paint(surface, dc);
        BitBlt(screen, 0, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY);
    });
    ReleaseDC(nullptr, screen);
}
BENCHMARK(BM_TestCardToScreen)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
