// The handset's one clock: tick count, sleeping and wall time, from Linux's monotonic and
// real-time clocks, or from a manual clock that moves only when the program sleeps or pumps.
#include "platform/base/Clock.h"

#include <errno.h>
#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/base/Errors.h"

namespace {

constexpr std::uint64_t kTicksPerMillisecond = 10000;  // FILETIME units
constexpr std::uint64_t kTicksPerMinute = 60ull * 1000 * kTicksPerMillisecond;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::uint64_t kSecondsTo1970 = 11644473600ull;
constexpr std::uint64_t kLargestFileTime = 0x7FFFFFFFFFFFFFFFull;

// Where a manual clock from HANDSET_CLOCK starts, so that runs are repeatable: a handset
// that booted a second ago (programs often treat a tick count of 0 as "never"), on
// 2010-01-01 00:00 UTC.
constexpr DWORD kEnvironmentStartTicks = 1000;
constexpr ULONGLONG kEnvironmentStartMs = (kSecondsTo1970 + 1262304000ull) * 1000;

struct ClockState {
    std::mutex lock;
    bool manual = false;
    DWORD ticks = 0;
    ULONGLONG utcMs = 0;
    DWORD msPerPump = 0;
    bool biasSet = false;
    int biasMinutes = 0;
};

ClockState& State() {
    // Never destroyed: threads may still ask the time while the process exits.
    static ClockState* state = new ClockState;
    return *state;
}

std::uint64_t RealUtcFileTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return (static_cast<std::uint64_t>(now.tv_sec) + kSecondsTo1970) * 1000 * kTicksPerMillisecond +
           static_cast<std::uint64_t>(now.tv_nsec) / 100;
}

std::uint64_t UtcFileTime() {
    ClockState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    if (state.manual) return state.utcMs * kTicksPerMillisecond;
    return RealUtcFileTime();
}

// Minutes east of UTC at the given UTC time: the set bias; else UTC on a manual clock (runs
// stay repeatable whatever the host's zone); else the host's zone, daylight saving included.
int BiasMinutesAt(std::uint64_t utcFileTime) {
    {
        ClockState& state = State();
        std::lock_guard<std::mutex> guard(state.lock);
        if (state.biasSet) return state.biasMinutes;
        if (state.manual) return 0;
    }
    time_t seconds = static_cast<time_t>(utcFileTime / (1000 * kTicksPerMillisecond)) - static_cast<time_t>(kSecondsTo1970);
    tm local{};
    if (localtime_r(&seconds, &local) == nullptr) return 0;
    return static_cast<int>(local.tm_gmtoff / 60);
}

// Adds a signed number of minutes to a FILETIME value; false when it would leave the range.
bool ShiftByMinutes(std::uint64_t value, std::int64_t minutes, std::uint64_t& result) {
    std::uint64_t shift = static_cast<std::uint64_t>(minutes < 0 ? -minutes : minutes) * kTicksPerMinute;
    if (minutes < 0) {
        if (shift > value) return false;
        result = value - shift;
    } else {
        if (value > kLargestFileTime || shift > kLargestFileTime - value) return false;
        result = value + shift;
    }
    return true;
}

std::uint64_t ToValue(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

void Store(std::uint64_t value, LPFILETIME time) {
    time->dwLowDateTime = static_cast<DWORD>(value);
    time->dwHighDateTime = static_cast<DWORD>(value >> 32);
}

void SleepForever() {
    for (;;) pause();
}

}  // namespace

DWORD GetTickCount() {
    ClockState& state = State();
    {
        std::lock_guard<std::mutex> guard(state.lock);
        if (state.manual) return state.ticks;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // The handset's tick count wraps after 49.7 days; so does this.
    return static_cast<DWORD>(static_cast<std::uint64_t>(now.tv_sec) * 1000 +
                              static_cast<std::uint64_t>(now.tv_nsec) / 1000000);
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == INFINITE) SleepForever();
    if (platform::clock::IsManual()) {
        platform::clock::Advance(milliseconds);
        // Give other threads their turn, as a real sleep would.
        sched_yield();
        return;
    }
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    timespec remaining{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

void GetSystemTimeAsFileTime(LPFILETIME time) {
    if (time != nullptr) Store(UtcFileTime(), time);
}

void GetSystemTime(LPSYSTEMTIME time) {
    if (time == nullptr) return;
    FILETIME now;
    Store(UtcFileTime(), &now);
    FileTimeToSystemTime(&now, time);
}

void GetLocalTime(LPSYSTEMTIME time) {
    if (time == nullptr) return;
    FILETIME utc;
    FILETIME local;
    Store(UtcFileTime(), &utc);
    if (!FileTimeToLocalFileTime(&utc, &local)) local = utc;
    FileTimeToSystemTime(&local, time);
}

BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localFileTime) {
    std::uint64_t local = 0;
    if (fileTime == nullptr || localFileTime == nullptr ||
        !ShiftByMinutes(ToValue(*fileTime), BiasMinutesAt(ToValue(*fileTime)), local)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Store(local, localFileTime);
    return TRUE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* localFileTime, LPFILETIME fileTime) {
    if (localFileTime == nullptr || fileTime == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::uint64_t local = ToValue(*localFileTime);
    // The zone's offset depends on the UTC time being sought: guess with the offset at the
    // local value, then settle on the offset at that guess.
    std::uint64_t utc = 0;
    if (!ShiftByMinutes(local, -BiasMinutesAt(local), utc) || !ShiftByMinutes(local, -BiasMinutesAt(utc), utc)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Store(utc, fileTime);
    return TRUE;
}

namespace platform::clock {

void UseManualClock(DWORD startTicks, ULONGLONG utcMsSince1601, DWORD msPerPump) {
    ClockState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.manual = true;
    state.ticks = startTicks;
    state.utcMs = utcMsSince1601;
    state.msPerPump = msPerPump;
}

void UseRealClock() {
    ClockState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.manual = false;
}

bool IsManual() {
    ClockState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.manual;
}

void Advance(DWORD milliseconds) {
    ClockState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    if (!state.manual) return;
    state.ticks += milliseconds;  // wraps as the handset's does
    state.utcMs += milliseconds;
}

void Pump() {
    ClockState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    if (!state.manual) return;
    state.ticks += state.msPerPump;
    state.utcMs += state.msPerPump;
}

DWORD PumpStep() {
    ClockState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.manual ? state.msPerPump : 0;
}

bool ParseClockVariable(const char* value, DWORD& msPerFrame) {
    static const char kPrefix[] = "manual:";
    constexpr std::size_t kPrefixLength = sizeof kPrefix - 1;
    if (value == nullptr || std::strncmp(value, kPrefix, kPrefixLength) != 0 || value[kPrefixLength] == 0)
        return false;
    std::uint64_t ms = 0;
    for (const char* p = value + kPrefixLength; *p != 0; ++p) {
        if (*p < '0' || *p > '9') return false;
        ms = ms * 10 + static_cast<std::uint64_t>(*p - '0');
        if (ms > 0xFFFFFFFFull) return false;
    }
    msPerFrame = static_cast<DWORD>(ms);
    return true;
}

void ConfigureFromEnvironment() {
    const char* value = std::getenv("HANDSET_CLOCK");
    if (value == nullptr || *value == 0) return;
    DWORD msPerFrame = 0;
    if (!ParseClockVariable(value, msPerFrame)) {
        std::fprintf(stderr,
                     "HANDSET_CLOCK=\"%s\" is not understood: it should be manual:<milliseconds per frame>; "
                     "the real clock is used.\n",
                     value);
        return;
    }
    UseManualClock(kEnvironmentStartTicks, kEnvironmentStartMs, msPerFrame);
}

void SetTimeZoneBias(int minutesEastOfUtc) {
    ClockState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.biasSet = true;
    state.biasMinutes = minutesEastOfUtc;
}

}  // namespace platform::clock
