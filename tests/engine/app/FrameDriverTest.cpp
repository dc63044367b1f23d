// Tests of the frame driver: the time step on the manual clock (clamped after a stall,
// right across the tick count's wrap), the display-orientation guard giving event 7 and
// turning the display back, and the 32-entry input ring.
#include "platform/device/DisplaySettings.h"
#include "tests/engine/support/StartupTestSupport.h"

namespace startup_test {
namespace {

using FrameDriverTest = GameWindowTest;

TEST_F(FrameDriverTest, TheTimeStepIsClampedAfterAStall) {
    const FrameClock& clock = GetFrameClock();
    platform::clock::Advance(50);
    Frame();
    EXPECT_FLOAT_EQ(clock.frameTime, 0.05f);
    const float before = clock.gameTime[0];
    const DWORD frames = clock.frameCounter;

    platform::clock::Advance(2000);
    Frame();
    EXPECT_FLOAT_EQ(clock.frameTime, kMaxFrameTime);
    EXPECT_FLOAT_EQ(clock.gameTime[0] - before, 0.2f);
    EXPECT_FLOAT_EQ(clock.gameTime[1] - before, 0.2f);
    EXPECT_EQ(clock.frameCounter, frames + 1);

    platform::clock::Advance(33);
    Frame();
    EXPECT_FLOAT_EQ(clock.frameTime, 0.033f);
}

TEST_F(FrameDriverTest, TheStepStaysRightAcrossTheTickCountsWrapAndAfterLongUptime) {
    // Ten days of uptime: seconds as a float would step in 1/16 s.
    platform::clock::UseManualClock(864000000u, 0);
    Frame();
    platform::clock::Advance(17);
    Frame();
    EXPECT_FLOAT_EQ(GetFrameClock().frameTime, 0.017f);
    platform::clock::UseManualClock(0xFFFFFFF0u, 0);
    Frame();
    platform::clock::Advance(0x20);  // the tick count wraps to 0x10
    Frame();
    EXPECT_FLOAT_EQ(GetFrameClock().frameTime, 0.032f);
}

TEST_F(FrameDriverTest, ATurnedDisplayIsToldToTheGameAndTurnedBack) {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_DISPLAYORIENTATION;
    mode.dmDisplayOrientation = DMDO_90;
    ASSERT_EQ(ChangeDisplaySettingsEx(nullptr, &mode, nullptr, 0, nullptr), DISP_CHANGE_SUCCESSFUL);
    Frame();  // the window hears of the setting change
    EXPECT_TRUE(MainWindowInfo().orientationCheck);
    EXPECT_TRUE(EventsOf(kGameEventDisplayChanged).empty());

    platform::clock::Advance(20);
    Frame();
    // Once for the changed display mode, once for the turn that is then undone.
    EXPECT_EQ(EventsOf(kGameEventDisplayChanged).size(), 2u);
    EXPECT_EQ(platform::screen::Orientation(), 0);

    // The turn back is a setting change too; the check runs on until its countdown is over
    // and then stops, with nothing more to tell the game.
    for (int frame = 0; frame < 10; ++frame) {
        platform::clock::Advance(100);
        Frame();
    }
    EXPECT_FALSE(MainWindowInfo().orientationCheck);
    EXPECT_EQ(EventsOf(kGameEventDisplayChanged).size(), 2u);
}

TEST(InputRing, TheThirtyThirdEventDropsTheOldest) {
    ClearInputEvents();
    for (std::int32_t i = 0; i < kInputRingSize + 1; ++i) PushInputEvent(kInputKeyDown, i, 1);
    std::vector<std::int32_t> keys;
    while (const InputEvent* event = PopInputEvent()) keys.push_back(event->a);
    ASSERT_EQ(keys.size(), static_cast<std::size_t>(kInputRingSize));
    EXPECT_EQ(keys.front(), 1);
    EXPECT_EQ(keys.back(), kInputRingSize);
    EXPECT_FALSE(HasInputEvent());

    // Reading keeps room: 32 events fit again after the ring was read empty.
    for (std::int32_t i = 0; i < kInputRingSize; ++i) PushInputEvent(kInputKeyUp, i, 0);
    EXPECT_EQ(PopInputEvent()->a, 0);
    ClearInputEvents();
    EXPECT_EQ(PopInputEvent(), nullptr);
}

}  // namespace
}  // namespace startup_test
