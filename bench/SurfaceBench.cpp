// The dialer's RGB565 routines over a whole 480 × 800 surface, each against a memcpy of
// the surface's bytes in the same run. Goals: a fill within 1.5 times the copy, an alpha
// blend and a blit through an 8-bit mask within 4 times. Then a full repaint of the test card
// (bars, blends, masks, a tinted ramp and text), alone and copied to the screen: goal under
// 4 ms.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "bench/BenchCompare.h"
#include "dialer/surface/DibSurface.h"
#include "dialer/surface/SurfaceDrawing.h"
#include "platform/gdi/Blit.h"
#include "platform/gdi/Paint.h"
#include "tests/dialer/surface/TestCard.h"

namespace {

constexpr LONG kWidth = 480;
constexpr LONG kHeight = 800;
constexpr std::size_t kBytes = static_cast<std::size_t>(kWidth) * kHeight * 2;

// Runs `operation` once an iteration; the surface's bytes count as processed.
template <class Operation>
void OverSurface(benchmark::State& state, Operation operation) {
    for (auto _ : state) {
        operation();
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kBytes));
}

// The baseline: the surface's bytes copied.
void BM_CopySurface(benchmark::State& state) {
    std::vector<std::uint8_t> from(kBytes, 0x5A);
    std::vector<std::uint8_t> to(kBytes, 0);
    OverSurface(state, [&] { std::memcpy(to.data(), from.data(), kBytes); });
}
BENCHMARK(BM_CopySurface)->Unit(benchmark::kMicrosecond);

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
    OverSurface(state, [&] { FillRectRGB565(target, 0, 0, kWidth, kHeight, RGB(200, 100, 50), 255); });
}
BENCHMARK(BM_FillRect)->Unit(benchmark::kMicrosecond);

void BM_AlphaBlend(benchmark::State& state) {
    CDibSurface& target = Target();
    OverSurface(state, [&] { FillRectRGB565(target, 0, 0, kWidth, kHeight, RGB(255, 255, 255), 100); });
}
BENCHMARK(BM_AlphaBlend)->Unit(benchmark::kMicrosecond);

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
    OverSurface(state, [&] { BlendSurfaceMasked(target, 0, 0, kWidth, kHeight, source, 0, 0, mask, 255); });
}
BENCHMARK(BM_MaskedBlit)->Unit(benchmark::kMicrosecond);

void BM_TestCardRepaint(benchmark::State& state) {
    test_card::CTestCard card;
    CDibSurface surface;
    CreateDibSurface(surface, kWidth, kHeight, DIB_FORMAT_RGB565);
    HDC dc = surface.SelectIntoMemoryDC();
    OverSurface(state, [&] { card.Paint(surface, dc); });
}
BENCHMARK(BM_TestCardRepaint)->Unit(benchmark::kMillisecond);

// The repaint and its copy to the screen through the screen's context, as WM_PAINT does.
void BM_TestCardToScreen(benchmark::State& state) {
    test_card::CTestCard card;
    CDibSurface surface;
    CreateDibSurface(surface, kWidth, kHeight, DIB_FORMAT_RGB565);
    HDC dc = surface.SelectIntoMemoryDC();
    HDC screen = GetDC(nullptr);
    OverSurface(state, [&] {
        card.Paint(surface, dc);
        BitBlt(screen, 0, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY);
    });
    ReleaseDC(nullptr, screen);
}
BENCHMARK(BM_TestCardToScreen)->Unit(benchmark::kMillisecond);

using bench::Clock;
using bench::Ratio;
const bool kCompared =
    bench::Compare({"BM_FillRect", "BM_CopySurface", Ratio::Time, Clock::Cpu, 1.5}) &&
    bench::Compare({"BM_AlphaBlend", "BM_CopySurface", Ratio::Time, Clock::Cpu, 4}) &&
    bench::Compare({"BM_MaskedBlit", "BM_CopySurface", Ratio::Time, Clock::Cpu, 4}) &&
    bench::Compare({"BM_TestCardRepaint", "BM_CopySurface", Ratio::Time, Clock::Cpu, 0, bench::TimeAtMost(4e-3)}) &&
    bench::Compare({"BM_TestCardToScreen", "BM_CopySurface", Ratio::Time, Clock::Cpu, 0, bench::TimeAtMost(4e-3)});

}  // namespace
