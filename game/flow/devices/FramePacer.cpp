// Frame pacing of the game's main loop and of the overlay's modal loops.
#include "game/flow/devices/FramePacer.h"

#include "platform/base/Clock.h"

FramePacer::~FramePacer() {
    if (armed != 0) SleepOut();
}

DWORD FramePacer::Begin(DWORD frameRate) {
    rate = frameRate;
    startTick = GetTickCount();
    return startTick;
}

DWORD FramePacer::PeriodMilliseconds() const { return rate == 0 ? 0 : 1000 / rate; }

void FramePacer::SleepOut() {
    if (startTick == 0) return;
    const DWORD period = PeriodMilliseconds();
    const DWORD elapsed = GetTickCount() - startTick;
    if (elapsed < period) Sleep(period - elapsed);
    startTick = 0;
}

FramePacer& ModalFramePacer() {
    static FramePacer pacer;
    return pacer;
}
