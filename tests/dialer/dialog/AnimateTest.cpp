// Frame animations on a still manual clock (each step takes no time): the 20 ms frames, the
// short animation that plays nothing, the slow-down factor from the registry, a tap waiting
// before the first frame, an animation that stops itself, and a start that fails.
#include <gtest/gtest.h>

#include "dialer/dialog/AnimationDelay.h"
#include "dialer/dialog/DialogAnimation.h"
#include "dialer/dialog/DialogManager.h"
#include "dialer/foundation/RegistryKey.h"
#include "platform/base/Clock.h"
#include "platform/sync/Thread.h"
#include "platform/user/Window.h"
#include "tests/dialer/dialog/DialogTestSupport.h"

namespace {

class CTestAnimation : public CUnknownImpl<IDialogAnimation> {
public:
    HRESULT Start(DWORD* out) override {
        *out = duration;
        return started;
    }
    HRESULT Step(DWORD elapsed) override {
        steps.push_back(elapsed);
        priorities.push_back(GetThreadPriority(GetCurrentThread()));
        return steps.size() == stopAfter ? S_FALSE : S_OK;
    }
    HRESULT Finish(BOOL interrupted) override {
        finishes.push_back(interrupted);
        return S_OK;
    }

    DWORD duration = 0;
    HRESULT started = S_OK;
    std::size_t stopAfter = 0;
    std::vector<DWORD> steps;
    std::vector<int> priorities;
    std::vector<BOOL> finishes;
};

class AnimateTest : public dialog_test::DialogTest {
protected:
    AnimateTest() {
        platform::clock::UseManualClock(1000, 0, 0);
        ForgetAnimationDelay();
        manager_ = MakeManager(100, 100);
        animation_.Reset(new CTestAnimation());
    }
    ~AnimateTest() override {
        platform::clock::UseRealClock();
        ForgetAnimationDelay();
    }
    void SetDelay(DWORD factor) {
        RegistryKey key(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\Orm Software House\\Shared", TRUE);
        key.SetDword(u"AnimationDelay", factor);
        ForgetAnimationDelay();
    }

    CInterfacePtr<XmlLayouts::CDialogManager> manager_;
    CInterfacePtr<CTestAnimation> animation_;
};

TEST_F(AnimateTest, StepsComeEveryTwentyMillisecondsThenFinish) {
    animation_->duration = 100;
    EXPECT_EQ(manager_->Animate(animation_.Get()), S_OK);
    EXPECT_EQ(animation_->steps, (std::vector<DWORD>{20, 40, 60, 80}));
    EXPECT_EQ(animation_->finishes, std::vector<BOOL>{FALSE});
    for (int priority : animation_->priorities) EXPECT_EQ(priority, THREAD_PRIORITY_ABOVE_NORMAL);
    EXPECT_NE(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_ABOVE_NORMAL);
    EXPECT_EQ(manager_->Animate(nullptr), E_INVALIDARG);
}

TEST_F(AnimateTest, AShortAnimationPlaysNothing) {
    for (DWORD duration : {15u, 20u}) {
        animation_->duration = duration;
        EXPECT_EQ(manager_->Animate(animation_.Get()), S_OK);
    }
    EXPECT_TRUE(animation_->steps.empty());
    EXPECT_TRUE(animation_->finishes.empty());
    animation_->duration = 21;
    EXPECT_EQ(manager_->Animate(animation_.Get()), S_OK);
    EXPECT_TRUE(animation_->steps.empty()) << "the end time is 1, before the first frame";
    EXPECT_EQ(animation_->finishes, std::vector<BOOL>{FALSE});
}

TEST_F(AnimateTest, TheSlowDownFactorStretchesTheClock) {
    SetDelay(3);
    animation_->duration = 100;
    EXPECT_EQ(manager_->Animate(animation_.Get()), S_OK);
    // Elapsed 20, 40, ... 280 (up to 3 × 100 − 20), each divided by 3.
    std::vector<DWORD> expected;
    for (DWORD t = 20; t <= 280; t += 20) expected.push_back(t / 3);
    EXPECT_EQ(animation_->steps, expected);
    EXPECT_EQ(animation_->finishes, std::vector<BOOL>{FALSE});

    SetDelay(0);
    animation_->steps.clear();
    EXPECT_EQ(manager_->Animate(animation_.Get()), S_OK);
    EXPECT_EQ(animation_->steps.size(), 4u) << "0 counts as 1";
    // A huge factor must not wrap the end time round to a short one.
    SetDelay(0xFFFFFFFFu);
    animation_->steps.clear();
    animation_->stopAfter = 50;
    EXPECT_EQ(manager_->Animate(animation_.Get()), S_OK);
    EXPECT_EQ(animation_->steps.size(), 50u);
}

TEST_F(AnimateTest, ATapOrTheAnimationItselfStopsItEarly) {
    HWND window = dialog_test::MakeWindow(u"AnimateWindow", 10, 10);
    manager_->SetWindow(window);
    PostMessageW(window, WM_LBUTTONDOWN, 0, 0);
    animation_->duration = 100;
    EXPECT_EQ(manager_->Animate(animation_.Get()), S_OK);
    EXPECT_TRUE(animation_->steps.empty());
    EXPECT_EQ(animation_->finishes, std::vector<BOOL>{TRUE});
    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, window, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE)) << "the tap stays queued";

    animation_->finishes.clear();
    animation_->stopAfter = 2;
    EXPECT_EQ(manager_->Animate(animation_.Get()), S_OK);
    EXPECT_EQ(animation_->steps, (std::vector<DWORD>{20, 40}));
    EXPECT_EQ(animation_->finishes, std::vector<BOOL>{TRUE});
    manager_->SetWindow(nullptr);
    DestroyWindow(window);
}

TEST_F(AnimateTest, AFailedStartIsReturnedAndNothingPlays) {
    animation_->duration = 100;
    animation_->started = E_FAIL;
    EXPECT_EQ(manager_->Animate(animation_.Get()), E_FAIL);
    EXPECT_TRUE(animation_->steps.empty());
    EXPECT_TRUE(animation_->finishes.empty());
}

}  // namespace
