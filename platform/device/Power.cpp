// The simulated power manager: requirement handles, the system power state, unattended
// mode and the idle timer, all state of this process.
#include "platform/device/Power.h"

#include <algorithm>
#include <mutex>

#include "platform/base/Clock.h"
#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/base/WideString.h"

namespace platform::device {

namespace {

class RequirementObject;

struct PowerState {
    std::mutex mutex;
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

}  // namespace

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
    std::lock_guard<std::mutex> guard(state.mutex);
    state.system.name = stateName != nullptr ? std::u16string(stateName) : std::u16string();
    state.system.flags = stateFlags;
    state.system.options = options;
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
