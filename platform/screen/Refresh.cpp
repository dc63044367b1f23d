// The display's refresh rate and the wait for its next refresh.
#include "platform/screen/Refresh.h"

#include <sched.h>
#include <time.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/base/Clock.h"

namespace platform::screen {

namespace {

// HANDSET_REFRESH, for a process that presents without starting the screen (a benchmark):
// programs have refused a bad value at start already.
int RateFromEnvironment() {
    const char* text = std::getenv("HANDSET_REFRESH");
    int hz = kDefaultRefreshHz;
    std::string error;
    if (text != nullptr && text[0] != 0 && !ParseRefreshRate(text, hz, error)) {
        std::fprintf(stderr, "%s The display refreshes at %d Hz.\n", error.c_str(), kDefaultRefreshHz);
        hz = kDefaultRefreshHz;
    }
    return hz;
}

std::atomic<int>& Rate() {
    static std::atomic<int> rate{RateFromEnvironment()};
    return rate;
}

void WaitOnRealClock(int hz) {
    const std::uint64_t period = 1000000000ull / static_cast<std::uint64_t>(hz);
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t nanoseconds =
        static_cast<std::uint64_t>(now.tv_sec) * 1000000000ull + static_cast<std::uint64_t>(now.tv_nsec);
    const std::uint64_t next = (nanoseconds / period + 1) * period;
    const timespec until{static_cast<time_t>(next / 1000000000ull), static_cast<long>(next % 1000000000ull)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

void WaitOnManualClock(int hz) {
    // The manual clock counts whole milliseconds: refresh k lies at k * 1000 / hz, rounded
    // up to the next millisecond.
    const std::uint64_t now = GetTickCount();
    const std::uint64_t refresh = now * static_cast<std::uint64_t>(hz) / 1000 + 1;
    const std::uint64_t at = (refresh * 1000 + static_cast<std::uint64_t>(hz) - 1) / static_cast<std::uint64_t>(hz);
    platform::clock::Advance(static_cast<DWORD>(at - now));
    sched_yield();
}

}  // namespace

void SetRefreshRate(int hz) {
    if (hz >= 0 && hz <= kMaxRefreshHz) Rate() = hz;
}

int RefreshRate() { return Rate(); }

bool ParseRefreshRate(std::string_view text, int& hz, std::string& error) {
    int parsed = 0;
    auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || status != std::errc() || end != text.data() + text.size() || parsed < 0 ||
        parsed > kMaxRefreshHz) {
        error = "HANDSET_REFRESH '" + std::string(text.substr(0, 64)) + "' is not a refresh rate of 0 to " +
                std::to_string(kMaxRefreshHz) + " Hz.";
        return false;
    }
    hz = parsed;
    return true;
}

void WaitForRefresh() {
    const int hz = Rate();
    if (hz == 0) return;
    if (platform::clock::IsManual())
        WaitOnManualClock(hz);
    else
        WaitOnRealClock(hz);
}

}  // namespace platform::screen
