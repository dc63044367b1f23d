// The pulse manager, the backlight request and unattended mode.
#include "engine/core/device/NotificationLights.h"

#include "engine/core/containers/KDLList.h"
#include "platform/base/Handle.h"
#include "platform/device/NotificationLed.h"
#include "platform/device/Power.h"
#include "platform/fs/Files.h"

namespace {

constexpr int kInitialPulseRecords = 10;
constexpr DWORD kFirstPulseId = 1;

struct VibrationPulse {
    DWORD id;
    float elapsed;
    VibrationPattern* pattern;
};

struct PulseManager {
    KDLList running;
    KDLList free;
    KDLList patterns;
    DWORD nextId = kFirstPulseId;
    HANDLE ledDevice = INVALID_HANDLE_VALUE;
    bool started = false;
};

PulseManager pulses;
HANDLE backlightRequirement = nullptr;
bool unattendedMode = false;

void SwitchVibrator(INT state) {
    NLED_SETTINGS_INFO settings{};
    settings.LedNum = 0;
    settings.OffOnBlink = state;
    NLedSetDevice(NLED_SETTINGS_INFO_ID, &settings);
}

void DeletePattern(void* item) { delete static_cast<VibrationPattern*>(item); }

}  // namespace

void InitLights() {
    if (pulses.started) ShutdownLights();
    for (int i = 0; i < kInitialPulseRecords; ++i) {
        void* record = EngineAlloc(sizeof(VibrationPulse));
        if (record == nullptr) break;
        if (ListAppend(pulses.free, record) == nullptr) {
            EngineFree(record);
            break;
        }
    }
    pulses.ledDevice =
        CreateFileW(u"LED3:", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    pulses.started = true;
}

void ShutdownLights() {
    StopVibration();
    ListFreeAll(pulses.free);
    ListDeleteAll(pulses.patterns, DeletePattern);
    if (pulses.ledDevice != INVALID_HANDLE_VALUE) CloseHandle(pulses.ledDevice);
    pulses.ledDevice = INVALID_HANDLE_VALUE;
    pulses.started = false;
}

VibrationPattern* NewVibrationPattern() {
    auto* pattern = new VibrationPattern;
    if (pattern == nullptr) return nullptr;
    if (ListAppend(pulses.patterns, pattern) == nullptr) {
        delete pattern;
        return nullptr;
    }
    return pattern;
}

DWORD StartVibrationPulse(VibrationPattern* pattern) {
    if (pattern == nullptr) return 0;
    auto* pulse = static_cast<VibrationPulse*>(ListPopBack(pulses.free));
    if (pulse == nullptr) pulse = static_cast<VibrationPulse*>(EngineAlloc(sizeof(VibrationPulse)));
    if (pulse == nullptr) return 0;
    pulse->elapsed = 0.0f;
    pulse->pattern = pattern;
    pulse->id = pulses.nextId++;
    if (pulses.nextId == 0) pulses.nextId = kFirstPulseId;  // 0 means "no pulse"
    const bool wasIdle = pulses.running.count == 0;
    if (ListAppend(pulses.running, pulse) == nullptr) {
        EngineFree(pulse);
        return 0;
    }
    if (wasIdle) SwitchVibrator(NLED_ON);
    return pulse->id;
}

void UpdateVibration(float frameTime) {
    if (pulses.running.count == 0) return;
    KDLListIterator iterator(pulses.running);
    while (!iterator.AtEnd()) {
        auto* pulse = static_cast<VibrationPulse*>(iterator.Item());
        pulse->elapsed += frameTime;
        if (pulse->elapsed < pulse->pattern->duration) {
            iterator.Next();
            continue;
        }
        ListIteratorRemove(iterator);
        if (ListAppend(pulses.free, pulse) == nullptr) EngineFree(pulse);
    }
    if (pulses.running.count == 0) SwitchVibrator(NLED_OFF);
}

void StopVibration() {
    for (void* pulse = ListPopBack(pulses.running); pulse != nullptr; pulse = ListPopBack(pulses.running))
        if (ListAppend(pulses.free, pulse) == nullptr) EngineFree(pulse);
    SwitchVibrator(NLED_OFF);
}

void SetBacklight(bool on) {
    if (on) {
        SetSystemPowerState(nullptr, POWER_STATE_ON, 0);
        if (backlightRequirement == nullptr)
            backlightRequirement =
                SetPowerRequirement(const_cast<WCHAR*>(u"BKL1:"), D0, POWER_NAME, nullptr, 0);
        return;
    }
    if (backlightRequirement != nullptr) ReleasePowerRequirement(backlightRequirement);
    backlightRequirement = nullptr;
}

void SetUnattendedMode(bool on) {
    if (on == unattendedMode) return;
    PowerPolicyNotify(PPN_UNATTENDEDMODE, on ? TRUE : FALSE);
    unattendedMode = on;
}

bool IsUnattendedModeSet() { return unattendedMode; }

std::uint32_t RunningPulseCount() { return pulses.running.count; }

std::uint32_t FreePulseCount() { return pulses.free.count; }

bool IsBacklightRequested() { return backlightRequirement != nullptr; }

bool IsLedDeviceOpen() { return pulses.ledDevice != INVALID_HANDLE_VALUE; }
