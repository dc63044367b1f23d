// The power watch's queue and its reading of the power state.
#include "game/flow/devices/PowerWatch.h"

#include "platform/base/Errors.h"
#include "platform/device/Power.h"
#include "platform/user/MsgQueue.h"

namespace {

constexpr DWORD kStateNameChars = 260;
constexpr DWORD kPowerStateBit25 = 1u << 25;

bool ReadPowerState(PowerWatch& watch) {
    WCHAR name[kStateNameChars] = {};
    DWORD flags = 0;
    if (GetSystemPowerState(name, kStateNameChars, &flags) != ERROR_SUCCESS) return false;
    TakePowerFlags(watch, flags);
    return true;
}

}  // namespace

void TakePowerFlags(PowerWatch& watch, DWORD flags) {
    watch.powerOff = (flags & POWER_STATE_ON) == 0 ? 1 : 0;
    watch.flag2 = (flags & kPowerStateBit25) == 0 ? 1 : 0;
}

bool StartPowerWatch(PowerWatch& watch) {
    watch.buffer.assign(kPowerMessageBytes, 0);
    const MSGQUEUEOPTIONS options{sizeof(MSGQUEUEOPTIONS), MSGQUEUE_NOPRECOMMIT, kPowerQueueMessages,
                                  kPowerMessageBytes, TRUE};
    watch.queue = CreateMsgQueue(nullptr, &options);
    if (watch.queue != nullptr) watch.notification = RequestPowerNotifications(watch.queue, PBT_TRANSITION);
    return watch.notification != nullptr;
}

void PollPowerWatch(PowerWatch& watch) {
    if (watch.queue == nullptr || watch.buffer.size() < kPowerMessageBytes) return;
    DWORD read = 0;
    DWORD flags = 0;
    while (ReadMsgQueue(watch.queue, watch.buffer.data(), kPowerMessageBytes, &read, 0, &flags))
        ReadPowerState(watch);
}

DWORD QueryPowerState(PowerWatch& watch) { return ReadPowerState(watch) ? 1 : 0; }

void StopPowerWatch(PowerWatch& watch) {
    if (watch.notification != nullptr) StopPowerNotifications(watch.notification);
    if (watch.queue != nullptr) CloseMsgQueue(watch.queue);
    ClearPowerWatch(watch);
}

void ClearPowerWatch(PowerWatch& watch) {
    watch.notification = nullptr;
    watch.queue = nullptr;
    watch.buffer.clear();
    watch.buffer.shrink_to_fit();
    watch.powerOff = 0;
    watch.flag2 = 0;
}
