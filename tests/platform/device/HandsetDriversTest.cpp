// The accelerometer and backlight drivers, and the script's handset events.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/base/Errors.h"
#include "platform/device/Accelerometer.h"
#include "platform/fs/Files.h"
#include "platform/fs/StreamDevice.h"
#include "platform/registry/Registry.h"
#include "platform/screen/Tilt.h"
#include "tests/support/TestSupport.h"

namespace {

class HandsetDriversTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::device::ResetPowerState();
        platform::device::RegisterHandsetDrivers();
    }
    void TearDown() override {
        platform::screen::SetTilt(0, 0, 0);
        platform::device::ResetPowerState();
    }
    handset_test::TempHandsetRoot root_;
};

HANDLE OpenAccelerometer() {
    return CreateFileW(u"ACC1:", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

void SetResolution(const char16_t* text, DWORD bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, platform::device::kAccelDriverKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, u"resolution", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
    RegCloseKey(key);
}

TEST_F(HandsetDriversTest, TheAccelerometerReportsTheTiltInCountsOfItsResolution) {
    HANDLE device = OpenAccelerometer();
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    DWORD returned = 99;
    EXPECT_TRUE(DeviceIoControl(device, IOCTL_ACC_START, nullptr, 0, nullptr, 0, &returned, nullptr));
    platform::screen::SetTilt(0.5f, -1.0f, 0.0078f);
    BYTE sample[kAccelSampleBytes];
    ASSERT_TRUE(DeviceIoControl(device, IOCTL_ACC_READ_SAMPLE, nullptr, 0, sample, sizeof sample, &returned, nullptr));
    EXPECT_EQ(returned, kAccelSampleBytes);
    std::int32_t axes[3];
    std::memcpy(axes, sample, sizeof axes);
    EXPECT_EQ(axes[0], 32);   // 500 mg / 15.625
    EXPECT_EQ(axes[1], -64);
    EXPECT_EQ(axes[2], 0);    // 7.8 mg rounds to no count
    EXPECT_TRUE(DeviceIoControl(device, IOCTL_ACC_READ_SAMPLE, nullptr, 0, nullptr, 0, &returned, nullptr))
        << "a read without buffers only asks";
    EXPECT_FALSE(DeviceIoControl(device, IOCTL_ACC_READ_SAMPLE, nullptr, 0, sample, 11, &returned, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_FALSE(DeviceIoControl(device, 0x80000008, nullptr, 0, sample, sizeof sample, &returned, nullptr));
    CloseHandle(device);

    // An unterminated resolution string is read by its character count.
    SetResolution(u"7.8125", 12);
    device = OpenAccelerometer();
    ASSERT_TRUE(DeviceIoControl(device, IOCTL_ACC_READ_SAMPLE, nullptr, 0, sample, sizeof sample, &returned, nullptr));
    std::memcpy(axes, sample, sizeof axes);
    EXPECT_EQ(axes[0], 64);
    CloseHandle(device);

    EXPECT_EQ(platform::device::AccelCounts(1e30f, 15.625), 2147483647);
    EXPECT_EQ(platform::device::AccelCounts(-1e30f, 15.625), -2147483647 - 1);
}

TEST_F(HandsetDriversTest, TheBacklightFollowsItsRequirementsAndThePower) {
    HANDLE backlight = CreateFileW(u"BKL1:", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(backlight, INVALID_HANDLE_VALUE);
    CloseHandle(backlight);
    EXPECT_EQ(platform::device::BacklightState(), D0);
    HANDLE dim = SetPowerRequirement(const_cast<char16_t*>(u"BKL1:"), D2, POWER_NAME, nullptr, 0);
    EXPECT_EQ(platform::device::BacklightState(), D2);
    platform::device::PressPowerKey(false);
    EXPECT_EQ(platform::device::BacklightState(), D4);
    platform::device::PressPowerKey(true);
    EXPECT_EQ(platform::device::BacklightState(), D2);
    ReleasePowerRequirement(dim);
}

TEST_F(HandsetDriversTest, ScriptEventsWriteTheStateValues) {
    platform::device::SetTvOut(true, 3);
    platform::device::SetTvOut(false, -1);
    EXPECT_TRUE(platform::device::SetStateValue("HKCU\\System\\State\\Messages\\SMS\\Unread\\Count", 4));
    for (const char* bad : {"HKXX\\Key\\Value", "HKLM\\Value", "HKLM", "HKLM\\Key\\", ""})
        EXPECT_FALSE(platform::device::SetStateValue(bad, 1)) << bad;

    auto read = [](HKEY root, const char16_t* key, const char16_t* name) {
        HKEY open = nullptr;
        DWORD value = 0xDEAD;
        DWORD size = sizeof value;
        if (RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE, &open) == ERROR_SUCCESS) {
            RegQueryValueExW(open, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
            RegCloseKey(open);
        }
        return value;
    };
    EXPECT_EQ(read(HKEY_LOCAL_MACHINE, platform::device::kPeripheralKey, u"VideoMode"), 3u);
    EXPECT_EQ(read(HKEY_LOCAL_MACHINE, platform::device::kPeripheralKey, u"TVOutIsEnabled"), 0u);
    EXPECT_EQ(read(HKEY_CURRENT_USER, u"System\\State\\Messages\\SMS\\Unread", u"Count"), 4u);
}

}  // namespace
