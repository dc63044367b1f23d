// Power requirements, the system power state, unattended mode and the idle timer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/base/Clock.h"
#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/device/Power.h"
#include "platform/user/MsgQueue.h"

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

namespace {

TEST_F(PowerTest, TransitionsReachTheQueuesThatAskedForThem) {
    const MSGQUEUEOPTIONS options{sizeof(MSGQUEUEOPTIONS), MSGQUEUE_NOPRECOMMIT, 4, 536, TRUE};
    HANDLE queue = CreateMsgQueue(nullptr, &options);
    HANDLE other = CreateMsgQueue(nullptr, &options);
    HANDLE notifications = RequestPowerNotifications(queue, PBT_TRANSITION);
    HANDLE otherKinds = RequestPowerNotifications(other, PBT_POWERINFOCHANGE);
    ASSERT_NE(notifications, nullptr);
    ASSERT_NE(otherKinds, nullptr);
    EXPECT_EQ(RequestPowerNotifications(queue, 0), nullptr);
    EXPECT_EQ(RequestPowerNotifications(nullptr, PBT_TRANSITION), nullptr);
    CloseMsgQueue(other);  // the manager's own end keeps the queue

    platform::device::PressPowerKey(false);
    platform::device::PressPowerKey(false);  // no change: no message
    BYTE buffer[536];
    DWORD read = 0;
    ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof buffer, &read, 0, nullptr));
    const BYTE expected[] = {1, 0, 0, 0, 0, 0, 0x20, 0, 16, 0, 0, 0, 's', 0, 'u', 0, 's', 0, 'p', 0,
                             'e', 0, 'n', 0, 'd', 0, 0, 0};
    ASSERT_EQ(read, sizeof expected);
    EXPECT_EQ(std::memcmp(buffer, expected, read), 0);
    EXPECT_FALSE(ReadMsgQueue(queue, buffer, sizeof buffer, &read, 0, nullptr));

    WCHAR name[260];
    DWORD flags = 0;
    EXPECT_EQ(GetSystemPowerState(name, 260, &flags), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name), u"suspend");
    EXPECT_EQ(flags & POWER_STATE_ON, 0u);
    EXPECT_EQ(GetSystemPowerState(name, 7, &flags), ERROR_INSUFFICIENT_BUFFER) << "no room for the terminator";
    EXPECT_EQ(GetSystemPowerState(name, 260, nullptr), ERROR_INVALID_PARAMETER);

    platform::device::PressPowerKey(true);
    ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof buffer, &read, 0, nullptr));
    EXPECT_EQ(buffer[6], 0x01) << "POWER_STATE_ON";
    EXPECT_EQ(GetSystemPowerState(nullptr, 0, &flags), ERROR_SUCCESS);
    EXPECT_EQ(flags, POWER_STATE_ON);

    EXPECT_EQ(platform::device::PowerNotificationCount(), 2);
    EXPECT_TRUE(StopPowerNotifications(notifications));
    EXPECT_FALSE(StopPowerNotifications(notifications));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(StopPowerNotifications(otherKinds));
    platform::device::PressPowerKey(false);
    EXPECT_FALSE(ReadMsgQueue(queue, buffer, sizeof buffer, &read, 0, nullptr)) << "stopped";
    CloseMsgQueue(queue);
}

}  // namespace
