// Kinetic motion on the manual clock: the formula's positions frame by frame, the end on the
// target, the end at an edge with the velocity left, a tap that stops the motion and stays
// queued, the raised priority, and the motions that must end without dividing by zero.
#include <gtest/gtest.h>

#include "dialer/dialog/KineticScroll.h"
#include "dialer/foundation/OrmException.h"
#include "platform/base/Clock.h"
#include "platform/sync/Thread.h"
#include "platform/user/Window.h"
#include "tests/dialer/dialog/DialogTestSupport.h"

namespace {

using dialog_test::CRecordingManager;

// Each message pump moves the clock by `step` milliseconds.
class ManualClock {
public:
    explicit ManualClock(DWORD step) { platform::clock::UseManualClock(1000, 0, step); }
    ~ManualClock() { platform::clock::UseRealClock(); }
};

class KineticScrollTest : public testing::Test {
protected:
    KineticScrollTest() { manager_.AddRef(); }
    CRecordingManager manager_;
    LONG position_ = 0;
};

TEST_F(KineticScrollTest, ScrollingToATargetFollowsTheFormulaAndEndsOnIt) {
    ManualClock clock(10);
    manager_.watched = &position_;
    AnimateScrollTo(&manager_, 100, 400, &position_);
    EXPECT_EQ(position_, 100);
    ASSERT_GE(manager_.frames.size(), 15u);
    // v = −500, d = 125: p(t) = −((125t/100 − 1000) × t) / 2000, the first frame at t = 40.
    const DWORD start = manager_.frames.front().tick - 40;
    for (const CRecordingManager::Frame& frame : manager_.frames) {
        const LONGLONG t = frame.tick - start;
        if (t > 400) continue;
        const LONGLONG expected = -(((125 * t) / 100 - 1000) * t) / 2000;
        EXPECT_EQ(frame.position, expected) << "at " << t << " ms";
        EXPECT_EQ(frame.priority, THREAD_PRIORITY_ABOVE_NORMAL);
    }
    EXPECT_LE(manager_.frames.back().tick - start, 410u);
    EXPECT_NE(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_ABOVE_NORMAL) << "restored afterwards";
}

TEST_F(KineticScrollTest, TruncationNeverLeavesTheTargetShort) {
    ManualClock clock(7);
    // 0 → 30 in 400 ms: the formula's last frame is 29; 0 → 1 in 2000 ms is too slow to move.
    for (const auto& [target, duration] : {std::pair{30L, 400L}, {-30L, 400L}, {1L, 2000L}, {-77L, 333L}}) {
        position_ = 0;
        manager_.watched = &position_;
        manager_.frames.clear();
        AnimateScrollTo(&manager_, target, duration, &position_);
        EXPECT_EQ(position_, target) << target << " in " << duration;
        ASSERT_FALSE(manager_.frames.empty());
        EXPECT_EQ(manager_.frames.back().position, target) << "the last frame shows it";
    }
    manager_.frames.clear();
    AnimateScrollTo(&manager_, 50, 0, &position_);
    EXPECT_TRUE(manager_.frames.empty()) << "a duration of 0 does nothing";
    EXPECT_THROW(AnimateScrollTo(&manager_, 50, 100, nullptr), COrmException);
}

TEST_F(KineticScrollTest, AMotionEndsByTimeOrAtAnEdgeWithItsVelocity) {
    ManualClock clock(10);
    manager_.watched = &position_;
    position_ = 50;
    EXPECT_EQ(KineticScroll(&manager_, 0, 20, 0, 100, &position_), 0) << "no velocity: one frame";
    EXPECT_EQ(manager_.frames.size(), 1u);

    // Up at 2000 px/s with deceleration 20 towards 0 from 50: the edge comes while moving.
    manager_.frames.clear();
    const LONG left = KineticScroll(&manager_, 2000, 20, 100, 0, &position_);
    EXPECT_EQ(position_, 0);
    EXPECT_GT(left, 0);
    EXPECT_LT(left, 2000);

    // Slow inside wide bounds: it runs out of velocity and reports none.
    position_ = 500;
    EXPECT_EQ(KineticScroll(&manager_, 300, 500, 0, 1000, &position_), 0);
    EXPECT_GT(position_, 0);
    EXPECT_LT(position_, 500);
    EXPECT_THROW(KineticScroll(&manager_, 10, 10, 0, 10, nullptr), COrmException);
    EXPECT_THROW(KineticScroll(nullptr, 10, 10, 0, 10, &position_), COrmException);
}

TEST_F(KineticScrollTest, WithoutDecelerationTheMotionKeepsItsSpeedToTheEdge) {
    ManualClock clock(10);
    manager_.watched = &position_;
    position_ = 0;
    // Moving down (position growing) at 1000 px/s: 100 pixels take 100 ms.
    const LONG left = KineticScroll(&manager_, -1000, 0, 0, 100, &position_);
    EXPECT_EQ(position_, 100);
    EXPECT_EQ(left, -1000) << "the velocity is kept";
    const DWORD elapsed = manager_.frames.back().tick - (manager_.frames.front().tick - 40);
    EXPECT_GE(elapsed, 100u);
    EXPECT_LE(elapsed, 110u);
}

TEST_F(KineticScrollTest, AWaitingTapStopsTheMotionAndStaysQueued) {
    ManualClock clock(10);
    handset_test::TempHandsetRoot root;
    HWND window = dialog_test::MakeWindow(u"KineticTapWindow", 10, 10);
    ASSERT_NE(window, nullptr);
    manager_.window = window;
    manager_.watched = &position_;
    PostMessageW(window, WM_KEYDOWN, 'A', 0);
    PostMessageW(window, WM_LBUTTONDOWN, 0, 0);
    position_ = 0;
    EXPECT_EQ(KineticScroll(&manager_, -500, 125, 0, 1000, &position_), 0);
    EXPECT_EQ(manager_.frames.size(), 1u) << "the tap ends the motion after its first frame";
    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, window, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    EXPECT_TRUE(PeekMessageW(&message, window, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) << "keys go only while it moves";
    DestroyWindow(window);
}

}  // namespace
