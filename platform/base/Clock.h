// The one clock of the handset. Everything that asks the time goes through here, so that
// tests (and HANDSET_CLOCK=manual:<ms per frame>) can replace it with a manual clock that
// only moves when the program sleeps or pumps messages.
#pragma once

#include "platform/base/Types.h"

DWORD GetTickCount();
// On a manual clock, Sleep moves the clock by the time asked and returns at once (after
// letting other threads run); Sleep(INFINITE) never returns, on either clock.
void Sleep(DWORD milliseconds);
void GetLocalTime(LPSYSTEMTIME time);
void GetSystemTime(LPSYSTEMTIME time);
void GetSystemTimeAsFileTime(LPFILETIME time);
// Fails with ERROR_INVALID_PARAMETER on a date or time that does not exist (month 1-12, the
// day within its month, leap years included, hour < 24 ...) or lies outside 1601-30827;
// wDayOfWeek is not read. FileTimeToSystemTime computes it.
BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime);
BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime);
BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localFileTime);
BOOL LocalFileTimeToFileTime(const FILETIME* localFileTime, LPFILETIME fileTime);
LONG CompareFileTime(const FILETIME* a, const FILETIME* b);

namespace platform::clock {

// Switches to a manual clock that starts at `startMs` ticks and the given UTC wall time
// (milliseconds since 1601-01-01, as FILETIME / 10000). Sleep advances it by the slept
// time; Pump() advances it by `msPerPump`.
void UseManualClock(DWORD startTicks, ULONGLONG utcMsSince1601, DWORD msPerPump = 0);
// Back to the real clock.
void UseRealClock();
bool IsManual();
// Moves the manual clock forward (no effect on the real clock).
void Advance(DWORD milliseconds);
// Called by the message loop on each pump; advances a manual clock by its step.
void Pump();
// The manual clock's step per pump (0 on the real clock or without a step).
DWORD PumpStep();
// Reads HANDSET_CLOCK once at start-up: manual:<ms per frame> starts a manual clock at tick
// 1000 on 2010-01-01 00:00 UTC, so that runs are repeatable.
void ConfigureFromEnvironment();
// The milliseconds per frame of a HANDSET_CLOCK value "manual:<ms per frame>" (0 to
// 4294967295); false for anything else.
bool ParseClockVariable(const char* value, DWORD& msPerFrame);
// Minutes east of UTC used for local time (the handset's time-zone setting); tests set it.
// Until it is set, local time follows the host's zone on the real clock and is UTC on a
// manual clock.
void SetTimeZoneBias(int minutesEastOfUtc);

}  // namespace platform::clock
