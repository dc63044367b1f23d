// The simulated notification LEDs: settings that are refused, on/off counting, and the
// "LED3:" device that CreateFileW opens once registered.
#include <gtest/gtest.h>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/device/NotificationLed.h"
#include "platform/fs/Files.h"
#include "platform/fs/StreamDevice.h"
#include "tests/support/TestSupport.h"

namespace {

using platform::device::NotificationLed;

BOOL SetLed(UINT led, INT state) {
    NLED_SETTINGS_INFO settings{};
    settings.LedNum = led;
    settings.OffOnBlink = state;
    settings.OnTime = 500;
    return NLedSetDevice(NLED_SETTINGS_INFO_ID, &settings);
}

TEST(NotificationLedTest, RefusesWhatTheHandsetCannotShow) {
    platform::device::ResetNotificationLeds();
    NLED_SETTINGS_INFO settings{};
    struct Refused {
        UINT infoId;
        void* input;
    };
    NLED_SETTINGS_INFO badLed{};
    badLed.LedNum = platform::device::kNotificationLedCount;
    NLED_SETTINGS_INFO badState{};
    badState.OffOnBlink = 3;
    for (const Refused& refused : {Refused{NLED_COUNT_INFO_ID, &settings}, Refused{NLED_SETTINGS_INFO_ID, nullptr},
                                   Refused{NLED_SETTINGS_INFO_ID, &badLed}, Refused{NLED_SETTINGS_INFO_ID, &badState}}) {
        SetLastError(0);
        EXPECT_FALSE(NLedSetDevice(refused.infoId, refused.input));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(NotificationLed(0).switchedOn, 0u);
}

TEST(NotificationLedTest, CountsChangesBetweenOffAndOn) {
    platform::device::ResetNotificationLeds();
    EXPECT_TRUE(SetLed(1, NLED_ON));
    EXPECT_TRUE(SetLed(1, NLED_BLINK));  // still lit: no new change
    EXPECT_TRUE(SetLed(1, NLED_OFF));
    EXPECT_TRUE(SetLed(1, NLED_OFF));
    const auto led = NotificationLed(1);
    EXPECT_EQ(led.offOnBlink, NLED_OFF);
    EXPECT_EQ(led.switchedOn, 1u);
    EXPECT_EQ(led.switchedOff, 1u);
    EXPECT_EQ(led.settings.OnTime, 500);
    EXPECT_EQ(NotificationLed(0).switchedOn, 0u);
    EXPECT_EQ(NotificationLed(7).switchedOn, 0u);
}

TEST(NotificationLedTest, TheLedDeviceOpensOnceRegistered) {
    handset_test::TempHandsetRoot root;
    platform::UnregisterStreamDevice(u"LED3:");
    EXPECT_EQ(CreateFileW(u"LED3:", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    platform::device::RegisterNotificationLedDriver();
    platform::device::RegisterNotificationLedDriver();
    HANDLE device = CreateFileW(u"led3:", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    EXPECT_EQ(platform::device::OpenNotificationLedHandles(), 1);
    DWORD written = 0;
    EXPECT_FALSE(WriteFile(device, "x", 1, &written, nullptr));  // nothing to write to
    EXPECT_TRUE(CloseHandle(device));
    EXPECT_EQ(platform::device::OpenNotificationLedHandles(), 0);
}

}  // namespace
