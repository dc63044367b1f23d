// Frame pacing on the manual clock: the period of each rate, a slow frame, no cap, and the
// TV-out rate that the main loop paces by.
#include <gtest/gtest.h>

#include "game/flow/devices/FramePacer.h"
#include "game/flow/devices/TvOutRate.h"
#include "platform/base/Clock.h"

namespace {

class FramePacerTest : public ::testing::Test {
protected:
    void SetUp() override { platform::clock::UseManualClock(100000, 0); }
    void TearDown() override {
        platform::clock::UseRealClock();
        ResetTvOutRate();
    }
};

TEST_F(FramePacerTest, SleepsOutWhatTheFrameLeftOfItsPeriod) {
    struct Case {
        DWORD rate;
        DWORD frameMs;
        DWORD expectedTotalMs;
    };
    const Case cases[] = {
        {30, 10, 33},           // 1000 / 30 in whole milliseconds
        {20, 10, 50},
        {30, 0, 33},
        {30, 40, 40},           // a slow frame sleeps nothing and catches nothing up
        {30, 33, 33},
        {kNoFrameCap, 5, 5},    // no cap: no sleep at all
        {0, 5, 5},              // a zero rate cannot divide the second: no cap
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(testing::Message() << "rate " << each.rate << ", frame " << each.frameMs << " ms");
        FramePacer pacer;
        const DWORD start = pacer.Begin(each.rate);
        EXPECT_EQ(start, GetTickCount());
        platform::clock::Advance(each.frameMs);
        pacer.SleepOut();
        EXPECT_EQ(GetTickCount() - start, each.expectedTotalMs);
        EXPECT_EQ(pacer.startTick, 0u);
        // Once slept out, a second call has nothing left to sleep.
        pacer.SleepOut();
        EXPECT_EQ(GetTickCount() - start, each.expectedTotalMs);
    }
}

TEST_F(FramePacerTest, AnArmedPacerSleepsOutItsFrameWhenTheLoopIsLeft) {
    const DWORD start = GetTickCount();
    {
        FramePacer pacer(true);
        pacer.Begin(20);
        platform::clock::Advance(15);
    }
    EXPECT_EQ(GetTickCount() - start, 50u);
    {
        FramePacer unarmed;
        unarmed.Begin(20);
    }
    EXPECT_EQ(GetTickCount() - start, 50u);
}

TEST_F(FramePacerTest, TvOutGivesTwentyFramesForVideoModesZeroToFourAndThirtyForOthers) {
    EXPECT_EQ(GetTvOutFrameRate(), kNoFrameCap) << "TV-out off puts no cap on the frames";
    UpdateTvOutFrameRate(3);
    EXPECT_EQ(GetTvOutFrameRate(), kNoFrameCap) << "the mode changes nothing while TV-out is off";
    SetTvOutEnabled(true);
    const std::pair<int, DWORD> modes[] = {{0, 20}, {3, 20}, {4, 20}, {5, 30}, {-1, 30}, {200, 30}};
    for (const auto& [mode, rate] : modes) {
        UpdateTvOutFrameRate(mode);
        EXPECT_EQ(GetTvOutFrameRate(), rate) << "video mode " << mode;
    }
}

}  // namespace
