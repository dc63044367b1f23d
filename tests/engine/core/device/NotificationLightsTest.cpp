// Vibration pulses on notification LED 0, the backlight requirement and unattended mode,
// read back from the platform's simulated devices.
#include "engine/core/device/NotificationLights.h"
#include "platform/device/NotificationLed.h"
#include "platform/device/Power.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

class NotificationLightsTest : public engine_test::HeapTest {
protected:
    void SetUp() override {
        HeapTest::SetUp();
        platform::device::ResetNotificationLeds();
        platform::device::RegisterNotificationLedDriver();
        InitLights();
    }
    void TearDown() override {
        ShutdownLights();
        SetBacklight(false);
        SetUnattendedMode(false);
        HeapTest::TearDown();
    }
    static platform::device::NotificationLedState Vibrator() { return platform::device::NotificationLed(0); }
};

TEST_F(NotificationLightsTest, OverlappingPulsesSwitchTheLedOnceEachWay) {
    EXPECT_TRUE(IsLedDeviceOpen());
    EXPECT_EQ(platform::device::OpenNotificationLedHandles(), 1);
    VibrationPattern* shortPulse = NewVibrationPattern();
    VibrationPattern* longPulse = NewVibrationPattern();
    ASSERT_NE(shortPulse, nullptr);
    EXPECT_EQ(shortPulse->duration, 0.2f);
    EXPECT_TRUE(shortPulse->name.IsEmpty());
    longPulse->duration = 0.5f;
    const DWORD first = StartVibrationPulse(shortPulse);
    const DWORD second = StartVibrationPulse(longPulse);
    EXPECT_NE(first, 0u);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(Vibrator().offOnBlink, NLED_ON);
    for (int frame = 0; frame < 4; ++frame) UpdateVibration(0.1f);
    EXPECT_EQ(RunningPulseCount(), 1u);
    EXPECT_EQ(Vibrator().offOnBlink, NLED_ON);
    UpdateVibration(0.1f);
    EXPECT_EQ(RunningPulseCount(), 0u);
    EXPECT_EQ(Vibrator().offOnBlink, NLED_OFF);
    EXPECT_EQ(Vibrator().switchedOn, 1u);
    EXPECT_EQ(Vibrator().switchedOff, 1u);
}

TEST_F(NotificationLightsTest, APulseOfAFifthEndsInTheFourthUpdateAtTwentyFramesASecond) {
    StartVibrationPulse(NewVibrationPattern());
    for (int update = 1; update <= 3; ++update) {
        UpdateVibration(0.05f);
        EXPECT_EQ(RunningPulseCount(), 1u) << update;
    }
    UpdateVibration(0.05f);
    EXPECT_EQ(RunningPulseCount(), 0u);
    EXPECT_EQ(Vibrator().offOnBlink, NLED_OFF);
}

TEST_F(NotificationLightsTest, NoPatternChangesNothingAndAnEleventhPulseAddsARecord) {
    EXPECT_EQ(StartVibrationPulse(nullptr), 0u);
    EXPECT_EQ(Vibrator().switchedOn, 0u);
    EXPECT_EQ(FreePulseCount(), 10u);
    VibrationPattern* pattern = NewVibrationPattern();
    for (int i = 0; i < 11; ++i) EXPECT_NE(StartVibrationPulse(pattern), 0u);
    EXPECT_EQ(FreePulseCount(), 0u);
    EXPECT_EQ(RunningPulseCount(), 11u);
    StopVibration();
    EXPECT_EQ(FreePulseCount(), 11u);
    EXPECT_EQ(Vibrator().offOnBlink, NLED_OFF);
    ShutdownLights();
    EXPECT_EQ(FreePulseCount(), 0u);
    EXPECT_FALSE(IsLedDeviceOpen());
    EXPECT_EQ(platform::device::OpenNotificationLedHandles(), 0);
}

TEST_F(NotificationLightsTest, BacklightHoldsOneRequirementAndUnattendedModeIsCounted) {
    SetBacklight(false);  // nothing held: nothing happens
    EXPECT_EQ(platform::device::RequiredDeviceState(u"BKL1:"), PwrDeviceUnspecified);
    SetBacklight(true);
    SetBacklight(true);
    EXPECT_TRUE(IsBacklightRequested());
    EXPECT_EQ(platform::device::RequiredDeviceState(u"bkl1:"), D0);
    EXPECT_EQ(platform::device::CurrentSystemPowerState().flags, POWER_STATE_ON);
    int held = 0;
    for (const auto& requirement : platform::device::PowerRequirements()) held += requirement.device == u"BKL1:";
    EXPECT_EQ(held, 1);
    SetBacklight(false);
    EXPECT_EQ(platform::device::RequiredDeviceState(u"BKL1:"), PwrDeviceUnspecified);

    const int before = platform::device::UnattendedModeCount();
    SetUnattendedMode(true);
    SetUnattendedMode(true);
    EXPECT_EQ(platform::device::UnattendedModeCount(), before + 1);
    SetUnattendedMode(false);
    EXPECT_EQ(platform::device::UnattendedModeCount(), before);
}

}  // namespace
