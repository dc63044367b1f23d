// The simulated notification LEDs and the "LED3:" stream device, state of this process.
#include "platform/device/NotificationLed.h"

#include <atomic>
#include <mutex>

#include "platform/base/Errors.h"
#include "platform/fs/StreamDevice.h"

namespace platform::device {

namespace {

struct LedTable {
    std::mutex mutex;
    NotificationLedState leds[kNotificationLedCount];
};

LedTable& Leds() {
    static LedTable* table = new LedTable;  // never destroyed: other statics may switch LEDs at exit
    return *table;
}

std::atomic<int> openLedDevices{0};

// What CreateFileW("LED3:") gives: the game only holds it open.
class NotificationLedDevice final : public StreamDevice {
public:
    NotificationLedDevice() { openLedDevices.fetch_add(1, std::memory_order_relaxed); }
    ~NotificationLedDevice() override { openLedDevices.fetch_sub(1, std::memory_order_relaxed); }
};

}  // namespace

NotificationLedState NotificationLed(UINT ledNumber) {
    if (ledNumber >= kNotificationLedCount) return NotificationLedState{};
    LedTable& table = Leds();
    std::lock_guard<std::mutex> guard(table.mutex);
    return table.leds[ledNumber];
}

void RegisterNotificationLedDriver() {
    RegisterStreamDevice(u"LED3:", [](DWORD, DWORD) -> StreamDevice* { return new NotificationLedDevice; });
}

int OpenNotificationLedHandles() { return openLedDevices.load(std::memory_order_relaxed); }

void ResetNotificationLeds() {
    LedTable& table = Leds();
    std::lock_guard<std::mutex> guard(table.mutex);
    for (NotificationLedState& led : table.leds) led = NotificationLedState{};
}

}  // namespace platform::device

BOOL NLedSetDevice(UINT infoId, void* input) {
    using namespace platform::device;
    const auto* settings = static_cast<const NLED_SETTINGS_INFO*>(input);
    if (infoId != NLED_SETTINGS_INFO_ID || settings == nullptr || settings->LedNum >= kNotificationLedCount ||
        settings->OffOnBlink < NLED_OFF || settings->OffOnBlink > NLED_BLINK) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    LedTable& table = Leds();
    std::lock_guard<std::mutex> guard(table.mutex);
    NotificationLedState& led = table.leds[settings->LedNum];
    const bool wasOn = led.offOnBlink != NLED_OFF;
    const bool isOn = settings->OffOnBlink != NLED_OFF;
    if (isOn && !wasOn) ++led.switchedOn;
    if (!isOn && wasOn) ++led.switchedOff;
    led.offOnBlink = settings->OffOnBlink;
    led.settings = *settings;
    return TRUE;
}
