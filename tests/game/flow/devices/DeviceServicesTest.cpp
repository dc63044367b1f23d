// The handset services around the game: the TV-out frame cap, the rotation hold, the
// accelerometer and its resolution, the power watch and the phone-state watches.
#include <cstring>

#include "game/flow/devices/AccelerometerDevice.h"
#include "game/flow/devices/AccelerometerKey.h"
#include "game/flow/devices/FramePacer.h"
#include "game/flow/devices/PhoneStateWatcher.h"
#include "game/flow/devices/PowerWatch.h"
#include "game/flow/sound/SoundManager.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/devices/TvOutMonitor.h"
#include "platform/device/Accelerometer.h"
#include "platform/fs/StreamDevice.h"
#include "platform/registry/Registry.h"
#include "platform/screen/Tilt.h"
#include "platform/shell/RegistryNotify.h"
#include "tests/game/flow/RunningGame.h"

namespace {

// A frame of the main loop's own: the shell's watches look at the registry, then the
// frame drains the queue.
void NextFrame() {
    platform::shell::PollRegistryNotifications();
    DrainTvOutQueue();
}

TEST_F(RunningGameTest, TheFrameCapFollowsTheTvOutConnectorWhilePlaying) {
    game_->Shutdown();
    platform::device::SetTvOut(true, 2);
    ASSERT_EQ(game_->Init(), 0u);
    EXPECT_EQ(GetTvOutFrameRate(), 20u) << "the connector as found at start";

    platform::device::SetTvOut(true, 7);
    NextFrame();
    EXPECT_EQ(GetTvOutFrameRate(), 30u);
    // Several changes in one frame are applied in order: the last one wins.
    platform::device::SetTvOut(true, 4);
    platform::device::SetTvOut(true, 5);
    platform::device::SetTvOut(true, 0);
    NextFrame();
    EXPECT_EQ(GetTvOutFrameRate(), 20u);
    EXPECT_EQ(TvOutVideoMode(), 0u);
    platform::device::SetTvOut(false, -1);
    NextFrame();
    EXPECT_EQ(GetTvOutFrameRate(), kNoFrameCap) << "unplugged: no cap";

    EXPECT_EQ(platform::shell::OpenRegistryNotifications(), 11) << "two for TV-out, nine phone-state watches";
    const int failedCloses = platform::shell::FailedNotificationCloses();
    game_->Shutdown();
    EXPECT_EQ(platform::shell::OpenRegistryNotifications(), 0);
    EXPECT_EQ(platform::shell::FailedNotificationCloses(), failedCloses) << "every watch is closed once";
    EXPECT_FALSE(StopTvOutMonitor()) << "nothing left to close";
    DrainTvOutQueue();  // without a queue: nothing
    ASSERT_EQ(game_->Init(), 0u);  // the fixture's end wants a running game
}

TEST_F(RunningGameTest, MalformedTvOutMessagesAreIgnored) {
    SetTvOutEnabled(true);
    UpdateTvOutFrameRate(2);
    struct Case {
        DWORD bytes;     // of the message given
        DWORD user;
        DWORD dataSize;  // as the message says
    };
    const Case cases[] = {{15, 1, 4}, {16, 1, 5}, {16, 1, 3}, {16, 2, 4}, {16, 1, 0xFFFFFFFF}};
    for (const Case c : cases) {
        BYTE message[16] = {};
        const DWORD words[4] = {0x5200, c.user, c.dataSize, 9};
        std::memcpy(message, words, sizeof message);
        EXPECT_FALSE(ApplyTvOutMessage(message, c.bytes)) << c.bytes << " " << c.user << " " << c.dataSize;
        EXPECT_EQ(GetTvOutFrameRate(), 20u);
    }
    EXPECT_FALSE(ApplyTvOutMessage(nullptr, 16));
    const DWORD good[5] = {0x5200, 1, 8, 9, 12345};  // a longer value: its first word counts
    EXPECT_TRUE(ApplyTvOutMessage(reinterpret_cast<const BYTE*>(good), sizeof good));
    EXPECT_EQ(GetTvOutFrameRate(), 30u);
}

TEST_F(RunningGameTest, OverFortySecondsTheRotationIsHeldThreeTimesAndGivenBackOnce) {
    constexpr const WCHAR* kRotationKey = u"Services\\MultiService\\mods\\Rotation";
    game_->Shutdown();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRotationKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    auto value = [key] {
        DWORD counter = 0;
        DWORD size = sizeof counter;
        RegQueryValueExW(key, u"OverrideCounter", nullptr, nullptr, reinterpret_cast<BYTE*>(&counter), &size);
        return counter;
    };
    // Every write raises the key's change counter, also when it writes the same value.
    auto writes = [start = platform::registry::ChangeCounter(HKEY_LOCAL_MACHINE, kRotationKey)] {
        return platform::registry::ChangeCounter(HKEY_LOCAL_MACHINE, kRotationKey) - start;
    };
    ASSERT_EQ(game_->Init(), 0u);
    EXPECT_EQ(writes(), 1u);
    EXPECT_EQ(value(), kRotationOverrideHeld);
    for (int step = 0; step < 80; ++step) game_->Flow().Step(0.5f);
    EXPECT_EQ(writes(), 3u) << "renewed after 15 and 30 seconds";
    EXPECT_EQ(value(), kRotationOverrideHeld);
    game_->Shutdown();
    EXPECT_EQ(writes(), 4u);
    EXPECT_EQ(value(), kRotationOverrideReleased);
    game_->Shutdown();
    EXPECT_EQ(writes(), 4u) << "given back once";

    // Behind another program the display may turn; back in front it is held again.
    ASSERT_EQ(game_->Init(), 0u);
    game_->OnEvent(kGameEventFocusLost, 0, 0);
    EXPECT_EQ(value(), kRotationOverrideReleased);
    game_->OnEvent(kGameEventFocusGained, 0, 0);
    EXPECT_EQ(value(), kRotationOverrideHeld);
    EXPECT_EQ(writes(), 7u);
    RegCloseKey(key);
}

TEST_F(RunningGameTest, TheTiltIsTheAccelerometersSampleTimesItsResolution) {
    platform::device::RegisterHandsetDrivers();
    game_->Shutdown();
    ASSERT_EQ(game_->Init(), 0u);
    platform::screen::SetTilt(0.5f, -0.3f, -1.0f);
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;
    game_->Tilt(x, y, z);
    EXPECT_EQ(static_cast<std::int32_t>(game_->AccelSample()[0]), 32);
    EXPECT_EQ(x, 500);
    EXPECT_EQ(y, -296) << "-19 counts of 15.625 milli-g";
    EXPECT_EQ(z, -1000);

    // A handset without the device plays with a level sample.
    game_->Shutdown();
    platform::UnregisterStreamDevice(u"ACC1:");
    ASSERT_EQ(game_->Init(), 0u);
    game_->Tilt(x, y, z);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(z, 0);
    platform::screen::SetTilt(0, 0, 0);

    EXPECT_EQ(ScaledTilt(0x7FFFFFFF, 15.625), 2147483647);
    EXPECT_EQ(ScaledTilt(0x80000000u, 15.625), -2147483647 - 1);
    EXPECT_EQ(ScaledTilt(static_cast<std::uint32_t>(-3), 15.625), -46) << "truncated toward zero";
}

TEST(AccelResolutionTest, TheStringEndsAtItsCharacterCountWithoutATerminator) {
    // "31.25" stored without its terminator, with digits lying after it in the buffer.
    const char16_t text[] = u"31.2599";
    EXPECT_EQ(ParseAccelResolution(reinterpret_cast<const BYTE*>(text), 10), 31.25);
    EXPECT_EQ(ParseAccelResolution(reinterpret_cast<const BYTE*>(text), 11), 31.25) << "half a character is none";
    // A full 100 bytes of digits: 50 characters count, the rest of the buffer does not.
    char16_t digits[60];
    for (char16_t& c : digits) c = u'1';
    const double value = ParseAccelResolution(reinterpret_cast<const BYTE*>(digits), sizeof digits);
    EXPECT_DOUBLE_EQ(value, 1.1111111111111111e49);
    EXPECT_EQ(ParseAccelResolution(nullptr, 10), 0.0);
}

TEST_F(RunningGameTest, PowerOffSuspendsTheGameAndPowerOnBringsItBack) {
    MainWindowInfo().active = true;
    SetBacklight(true);
    game_->UpdateScreenState();
    ASSERT_NE(RenderDevice(), nullptr);
    ASSERT_NE(game_->Power(), nullptr);

    platform::device::PressPowerKey(false);
    game_->UpdateScreenState();
    EXPECT_EQ(game_->State().powerOff, 1u);
    EXPECT_EQ(RenderDevice(), nullptr) << "the device is given up";
    EXPECT_FALSE(IsBacklightRequested()) << "the backlight is let go";
    const DWORD before = GetTickCount();
    game_->UpdateScreenState();
    EXPECT_GE(GetTickCount() - before, 100u) << "while the power stays off the steps idle";

    platform::device::PressPowerKey(true);
    game_->UpdateScreenState();
    EXPECT_EQ(game_->State().powerOff, 0u);
    EXPECT_NE(RenderDevice(), nullptr);
    EXPECT_TRUE(IsBacklightRequested());
}

TEST(PowerWatchTest, FlagsWithoutTheOnBitMeanPowerOff) {
    struct Case {
        DWORD flags;
        DWORD powerOff;
        DWORD flag2;
    };
    const Case cases[] = {{POWER_STATE_ON, 0, 1},
                          {POWER_STATE_ON | (1u << 25), 0, 0},
                          {POWER_STATE_SUSPEND, 1, 1},
                          {POWER_STATE_OFF | POWER_STATE_USERIDLE, 1, 1},
                          {0, 1, 1}};
    for (const Case c : cases) {
        PowerWatch watch;
        TakePowerFlags(watch, c.flags);
        EXPECT_EQ(watch.powerOff, c.powerOff) << std::hex << c.flags;
        EXPECT_EQ(watch.flag2, c.flag2) << std::hex << c.flags;
    }
}

TEST(PowerWatchTest, MessagesAreFollowedByAskingTheState) {
    platform::device::ResetPowerState();
    PowerWatch watch;
    ASSERT_TRUE(StartPowerWatch(watch));
    PollPowerWatch(watch);
    EXPECT_EQ(watch.powerOff, 0u);
    platform::device::PressPowerKey(false);
    platform::device::PressPowerKey(true);
    platform::device::PressPowerKey(false);
    PollPowerWatch(watch);
    EXPECT_EQ(watch.powerOff, 1u) << "the state now, whatever came before";
    platform::device::PressPowerKey(true);
    EXPECT_EQ(QueryPowerState(watch), 1u);
    EXPECT_EQ(watch.powerOff, 0u);
    StopPowerWatch(watch);
    EXPECT_EQ(watch.queue, nullptr);
    EXPECT_EQ(platform::device::PowerNotificationCount(), 0);
    PollPowerWatch(watch);  // stopped: nothing
    platform::device::ResetPowerState();
}

TEST(PhoneStateWatcherTest, WatchesCloseOnceAndRecordedOptionsGoBack) {
    handset_test::TempHandsetRoot root;
    HKEY notifications = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"ControlPanel\\Notifications\\Ring", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &notifications, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(notifications);
    auto* record = new PhoneStateWatcher;
    SetupPhoneStateWatcher(*record);
    EXPECT_EQ(record->watches[0].mask, 0x10000u);
    EXPECT_EQ(record->watches[5].comparison, REG_CT_GREATER);
    const int openBefore = platform::shell::OpenRegistryNotifications();
    RegisterPhoneStateWatches(*record);
    EXPECT_EQ(record->watchCount, 9u);
    EXPECT_EQ(platform::shell::OpenRegistryNotifications(), openBefore + 9);

    record->eventKeyNames[3] = u"Ring";
    record->eventKeyOptions[3] = 0x19;
    record->eventKeyNames[7] = u"Missing";  // its key does not exist: kept
    record->eventKeyOptions[7] = 4;
    record->eventKeyCount = 2;
    const int failedBefore = platform::shell::FailedNotificationCloses();
    TeardownPhoneStateWatcher(*record);
    EXPECT_EQ(platform::shell::FailedNotificationCloses(), failedBefore) << "no watch is closed twice";
    EXPECT_EQ(platform::shell::OpenRegistryNotifications(), openBefore);
    EXPECT_EQ(record->watchCount, 0u);
    EXPECT_EQ(record->eventKeyCount, 1u);
    EXPECT_TRUE(record->eventKeyNames[7].empty()) << "the teardown drops the names left";
    DWORD options = 0;
    EXPECT_EQ(RegistryGetDWORD(HKEY_CURRENT_USER, u"ControlPanel\\Notifications\\Ring", u"Options", &options), S_OK);
    EXPECT_EQ(options, 0x19u);
    delete record;
}

}  // namespace
