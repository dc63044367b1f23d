// Power requirements, the system power state, unattended mode and the idle timer.
#include <gtest/gtest.h>

#include "platform/base/Clock.h"
#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/device/Power.h"

namespace {

using platform::device::RequiredDeviceState;

class PowerTest : public ::testing::Test {
protected:
    void SetUp() override { platform::device::ResetPowerState(); }
    void TearDown() override {
        platform::device::ResetPowerState();
        platform::clock::UseRealClock();
    }
};

TEST_F(PowerTest, RequirementsHoldTheDeviceUntilReleased) {
    EXPECT_EQ(RequiredDeviceState(u"BKL1:"), PwrDeviceUnspecified);
    HANDLE full = SetPowerRequirement(const_cast<char16_t*>(u"BKL1:"), D0, POWER_NAME, nullptr, 0);
    HANDLE dim = SetPowerRequirement(const_cast<char16_t*>(u"bkl1:"), D2, POWER_NAME, nullptr, 0);
    ASSERT_NE(full, nullptr);
    ASSERT_NE(dim, nullptr);
    auto held = platform::device::PowerRequirements();
    ASSERT_EQ(held.size(), 2u);
    EXPECT_EQ(held[0].device, u"BKL1:");
    EXPECT_EQ(held[0].state, D0);
    EXPECT_EQ(held[0].deviceFlags, POWER_NAME);
    EXPECT_EQ(RequiredDeviceState(u"BKL1:"), D0);

    EXPECT_EQ(ReleasePowerRequirement(full), ERROR_SUCCESS);
    EXPECT_EQ(RequiredDeviceState(u"BKL1:"), D2);
    EXPECT_EQ(ReleasePowerRequirement(full), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(CloseHandle(dim));  // closing the handle ends it as well
    EXPECT_TRUE(platform::device::PowerRequirements().empty());
    EXPECT_EQ(ReleasePowerRequirement(nullptr), ERROR_INVALID_HANDLE);
}

TEST_F(PowerTest, BadRequirementsAreRefused) {
    struct Case {
        const char16_t* device;
        int state;
        ULONG flags;
    };
    const Case cases[] = {{nullptr, D0, POWER_NAME}, {u"", D0, POWER_NAME}, {u"BKL1:", D0, 0x4},
                          {u"BKL1:", -1, POWER_NAME}, {u"BKL1:", 5, POWER_NAME}};
    for (const Case& test : cases) {
        SetLastError(0);
        EXPECT_EQ(SetPowerRequirement(const_cast<char16_t*>(test.device), static_cast<CEDEVICE_POWER_STATE>(test.state),
                                      test.flags, nullptr, 0),
                  nullptr);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_TRUE(platform::device::PowerRequirements().empty());
}

TEST_F(PowerTest, UnattendedModeIsCountedAndCannotBeLeftMoreThanEntered) {
    EXPECT_FALSE(platform::device::IsUnattendedMode());
    EXPECT_TRUE(PowerPolicyNotify(PPN_UNATTENDEDMODE, TRUE));
    EXPECT_TRUE(PowerPolicyNotify(PPN_UNATTENDEDMODE, TRUE));
    EXPECT_TRUE(PowerPolicyNotify(PPN_UNATTENDEDMODE, FALSE));
    EXPECT_TRUE(platform::device::IsUnattendedMode());
    EXPECT_TRUE(PowerPolicyNotify(PPN_UNATTENDEDMODE, FALSE));
    EXPECT_FALSE(platform::device::IsUnattendedMode());
    EXPECT_FALSE(PowerPolicyNotify(PPN_UNATTENDEDMODE, FALSE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(platform::device::UnattendedModeCount(), 0);
    EXPECT_FALSE(PowerPolicyNotify(0x77, TRUE));
}

TEST_F(PowerTest, SystemStateAndIdleTimerAreKept) {
    EXPECT_EQ(SetSystemPowerState(nullptr, POWER_STATE_ON, 0), ERROR_SUCCESS);
    EXPECT_EQ(platform::device::CurrentSystemPowerState().flags, POWER_STATE_ON);
    EXPECT_EQ(SetSystemPowerState(u"unattended", 0, POWER_FORCE_STATE), ERROR_SUCCESS);
    EXPECT_EQ(platform::device::CurrentSystemPowerState().name, u"unattended");
    EXPECT_EQ(SetSystemPowerState(nullptr, 0, 0), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(platform::device::CurrentSystemPowerState().name, u"unattended");

    platform::clock::UseManualClock(5000, 0);
    SystemIdleTimerReset();
    platform::clock::Advance(250);
    SystemIdleTimerReset();
    auto idle = platform::device::IdleTimer();
    EXPECT_EQ(idle.resets, 2u);
    EXPECT_EQ(idle.lastResetTick, 5250u);
}

}  // namespace
