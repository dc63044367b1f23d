// The simulated power manager: requirement handles, the system power state, unattended
// mode and the idle timer, all state of this process.
#include "platform/device/Power.h"

#include <algorithm>
#include <mutex>

#include "platform/base/Clock.h"
#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/base/WideString.h"
#include "platform/user/MsgQueue.h"

namespace platform::device {

namespace {

class RequirementObject;

class NotificationObject;

struct PowerState {
    std::mutex mutex;
    std::vector<NotificationObject*> notifications;
    std::vector<RequirementObject*> requirements;  // in the order they were set
    SystemPowerState system;
    int unattended = 0;
    IdleTimerState idle;
};

PowerState& State() {
    static PowerState* state = new PowerState;  // never destroyed: handles may close at exit
    return *state;
}

// A requirement lives as long as its handle: releasing (or closing) the handle ends it.
class RequirementObject final : public platform::KernelObject {
public:
    explicit RequirementObject(PowerRequirement requirement) : requirement_(std::move(requirement)) {
        PowerState& state = State();
        std::lock_guard<std::mutex> guard(state.mutex);
        state.requirements.push_back(this);
    }
    ~RequirementObject() override {
        PowerState& state = State();
        std::lock_guard<std::mutex> guard(state.mutex);
        auto& list = state.requirements;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    const PowerRequirement& Requirement() const { return requirement_; }

private:
    PowerRequirement requirement_;
};

// A request for power notifications: the manager's own write end of the program's queue.
class NotificationObject final : public platform::KernelObject {
public:
    NotificationObject(HANDLE writer, DWORD flags) : writer_(writer), flags_(flags) {
        PowerState& state = State();
        std::lock_guard<std::mutex> guard(state.mutex);
        state.notifications.push_back(this);
    }
    ~NotificationObject() override {
        {
            PowerState& state = State();
            std::lock_guard<std::mutex> guard(state.mutex);
            auto& list = state.notifications;
            list.erase(std::remove(list.begin(), list.end(), this), list.end());
        }
        CloseMsgQueue(writer_);
    }
    HANDLE Writer() const { return writer_; }
    DWORD Flags() const { return flags_; }

private:
    HANDLE writer_;
    DWORD flags_;
};

std::vector<BYTE> BroadcastMessage(DWORD message, const SystemPowerState& system) {
    std::vector<BYTE> bytes;
    const std::u16string name = SystemPowerStateName(system);
    auto word = [&](DWORD value) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
    };
    word(message);
    word(system.flags);
    word(static_cast<DWORD>((name.size() + 1) * 2));
    for (char16_t c : name) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>(c >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

}  // namespace

std::u16string SystemPowerStateName(const SystemPowerState& state) {
    if (!state.name.empty()) return state.name;
    struct Named {
        DWORD flag;
        const char16_t* name;
    };
    static const Named names[] = {{POWER_STATE_ON, u"on"},           {POWER_STATE_OFF, u"off"},
                                  {POWER_STATE_CRITICAL, u"critical"}, {POWER_STATE_BOOT, u"boot"},
                                  {POWER_STATE_IDLE, u"idle"},       {POWER_STATE_SUSPEND, u"suspend"},
                                  {POWER_STATE_UNATTENDED, u"unattended"}, {POWER_STATE_RESET, u"reset"},
                                  {POWER_STATE_USERIDLE, u"useridle"}};
    for (const Named& named : names)
        if ((state.flags & named.flag) != 0) return named.name;
    return u"";
}

void PressPowerKey(bool on) { SetSystemPowerState(nullptr, on ? POWER_STATE_ON : POWER_STATE_SUSPEND, 0); }

int PowerNotificationCount() {
    PowerState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    return static_cast<int>(state.notifications.size());
}

std::vector<PowerRequirement> PowerRequirements() {
    PowerState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    std::vector<PowerRequirement> held;
    for (const RequirementObject* object : state.requirements) held.push_back(object->Requirement());
    return held;
}

CEDEVICE_POWER_STATE RequiredDeviceState(const std::u16string& device) {
    CEDEVICE_POWER_STATE highest = PwrDeviceUnspecified;
    for (const PowerRequirement& requirement : PowerRequirements()) {
        if (_wcsicmp(requirement.device.c_str(), device.c_str()) != 0) continue;
        if (highest == PwrDeviceUnspecified || requirement.state < highest) highest = requirement.state;
    }
    return highest;
}

SystemPowerState CurrentSystemPowerState() {
    PowerState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    return state.system;
}

int UnattendedModeCount() {
    PowerState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    return state.unattended;
}

bool IsUnattendedMode() { return UnattendedModeCount() > 0; }

IdleTimerState IdleTimer() {
    PowerState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    return state.idle;
}

void ResetPowerState() {
    PowerState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    state.system = SystemPowerState{};
    state.unattended = 0;
    state.idle = IdleTimerState{};
}

}  // namespace platform::device

using namespace platform::device;

HANDLE SetPowerRequirement(PVOID device, CEDEVICE_POWER_STATE deviceState, ULONG deviceFlags, PVOID systemState,
                           ULONG stateFlags) {
    UNREFERENCED_PARAMETER(systemState);
    UNREFERENCED_PARAMETER(stateFlags);
    const auto* name = static_cast<LPCWSTR>(device);
    constexpr std::size_t kMaxDeviceNameChars = MAX_PATH;
    if (name == nullptr || name[0] == 0 || (deviceFlags & ~(POWER_NAME | POWER_FORCE)) != 0 || deviceState < D0 ||
        deviceState > D4 || wcsnlen(name, kMaxDeviceNameChars + 1) > kMaxDeviceNameChars) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* object = new RequirementObject(PowerRequirement{std::u16string(name), deviceState, deviceFlags});
    return platform::RegisterKernelObject(object);
}

DWORD ReleasePowerRequirement(HANDLE requirement) {
    if (platform::KernelObjectAs<RequirementObject>(requirement) == nullptr || !CloseHandle(requirement))
        return ERROR_INVALID_HANDLE;
    return ERROR_SUCCESS;
}

DWORD SetSystemPowerState(LPCWSTR stateName, DWORD stateFlags, DWORD options) {
    if ((stateName == nullptr || stateName[0] == 0) && stateFlags == 0) return ERROR_INVALID_PARAMETER;
    PowerState& state = State();
    std::vector<BYTE> message;
    std::vector<HANDLE> writers;
    {
        std::lock_guard<std::mutex> guard(state.mutex);
        SystemPowerState next{stateName != nullptr ? std::u16string(stateName) : std::u16string(), stateFlags, options};
        const bool changed = next.name != state.system.name || next.flags != state.system.flags;
        state.system = next;
        if (!changed) return ERROR_SUCCESS;
        message = BroadcastMessage(PBT_TRANSITION, next);
        for (const NotificationObject* notification : state.notifications)
            if ((notification->Flags() & PBT_TRANSITION) != 0) writers.push_back(notification->Writer());
    }
    // A queue that is full loses the message, as on the handset; the state can be asked.
    for (HANDLE writer : writers)
        platform::PostToMsgQueue(writer, message.data(), static_cast<DWORD>(message.size()));
    return ERROR_SUCCESS;
}

HANDLE RequestPowerNotifications(HANDLE msgQueue, DWORD flags) {
    if (flags == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HANDLE writer = platform::OpenMsgQueueWriter(msgQueue);
    if (writer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return platform::RegisterKernelObject(new NotificationObject(writer, flags));
}

BOOL StopPowerNotifications(HANDLE notifications) {
    if (platform::KernelObjectAs<NotificationObject>(notifications) == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CloseHandle(notifications);
}

DWORD GetSystemPowerState(LPWSTR buffer, DWORD bufferChars, LPDWORD flags) {
    if (flags == nullptr) return ERROR_INVALID_PARAMETER;
    const SystemPowerState system = CurrentSystemPowerState();
    if (buffer != nullptr) {
        const std::u16string name = SystemPowerStateName(system);
        if (name.size() + 1 > bufferChars) return ERROR_INSUFFICIENT_BUFFER;
        std::copy(name.begin(), name.end(), buffer);
        buffer[name.size()] = 0;
    }
    *flags = system.flags;
    return ERROR_SUCCESS;
}

BOOL PowerPolicyNotify(DWORD message, DWORD data) {
    if (message != PPN_UNATTENDEDMODE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    PowerState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    if (data != 0) {
        ++state.unattended;
        return TRUE;
    }
    if (state.unattended == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    --state.unattended;
    return TRUE;
}

void SystemIdleTimerReset() {
    DWORD now = GetTickCount();
    PowerState& state = State();
    std::lock_guard<std::mutex> guard(state.mutex);
    ++state.idle.resets;
    state.idle.lastResetTick = now;
}
