// The stylus in a dialog shown in a real window, on the manual clock: taps, holds and drags
// told apart at the drag threshold (scaled by the screen's density) and at the tap limit, the
// finger's velocity, the press held back on a scrolling layer, the guard after a fling, an
// overlay closed by a press beside it, and gestures that lose the capture half-way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialer/dialog/DialogContent.h"
#include "dialer/dialog/DialogHostWindow.h"
#include "dialer/dialog/InputMetrics.h"
#include "dialer/surface/ScreenDpi.h"
#include "platform/base/Clock.h"
#include "platform/screen/Display.h"
#include "platform/screen/Screen.h"
#include "platform/user/Window.h"
#include "tests/dialer/dialog/DialogTestSupport.h"
#include "tests/dialer/dialog/InputScript.h"

namespace {

using dialog_test::CInputScript;
using dialog_test::CManualClock;
using dialog_test::Deactivate;
using dialog_test::Down;
using dialog_test::InputLog;
using dialog_test::InputStep;
using dialog_test::LayoutSet;
using dialog_test::Move;
using dialog_test::Probe;
using dialog_test::Up;

const std::string kButton = "<Int Name=\"State\" Value=\"1\"/><Int Name=\"TakesPress\" Value=\"1\"/>"
                            "<Int Name=\"TakesRelease\" Value=\"1\"/>";

std::string ListRows() {
    std::string rows;
    for (int i = 0; i < 20; ++i)
        rows += Probe("Row" + std::to_string(i), 0, i * 40, 240, 39, 0x203040 + 0x10 * static_cast<unsigned>(i),
                      kButton);
    return rows;
}

class PointerInputTest : public dialog_test::DialogTest {
protected:
    PointerInputTest() : clock_(1) {
        platform::screen::Configure(platform::screen::DisplayGeometry{});
        Define(u"Buttons", LayoutSet("", Probe("Ok", 10, 10, 100, 40, 0x00FF00, kButton) +
                                             Probe("Plain", 10, 100, 100, 40, 0x808080)));
        Define(u"List", LayoutSet("<ScrollY Value=\"On\"/>", ListRows()));
        Define(u"Sheet",
               LayoutSet("<LayerAlign Value=\"Bottom\"/>", Probe("Accept", 20, 10, 100, 40, 0x30A050, kButton)));
        manager_ = MakeManager(0, 0);
        handler_.Reset(new dialog_test::CTestPlugin());
    }
    ~PointerInputTest() override {
        SetScreenDpi(kLayoutDpi, kLayoutDpi);
        if (host_) host_.reset();
    }

    // The dialog in a window of width × height at (0, 0), active, with the test handler.
    void Show(LPCWSTR dialog, int width, int height) {
        host_ = std::make_unique<CDialogHostWindow>(manager_.Get());
        ASSERT_NE(host_->Create(nullptr, RECT{0, 0, width, height}, u"Input", WS_POPUP | WS_VISIBLE), nullptr);
        ASSERT_EQ(manager_->OpenDialog(dialog, DIALOG_PUSH_REPLACE_TOP, handler_.Get()), S_OK);
        SetActiveWindow(host_->m_hWnd);
    }
    CDialogLayer* Root() { return manager_->Stack().GetTop()->RootLayer(); }
    // The selection-changed events the handler heard (1 pressed, 0 cleared), in order.
    std::vector<WPARAM> Selections() const {
        std::vector<WPARAM> found;
        for (const auto& [code, argument] : handler_->events)
            if (code == DIALOG_EVENT_SELECTION_CHANGED) found.push_back(argument);
        return found;
    }
    bool HeardDragEnd() const {
        for (const auto& [code, argument] : handler_->events)
            if (code == DIALOG_EVENT_DRAG_END) return true;
        return false;
    }
    void Play(std::vector<InputStep> steps, DWORD until) {
        CInputScript script(host_->m_hWnd, std::move(steps));
        script.RunUntil(until);
        EXPECT_TRUE(script.Finished());
    }

    CManualClock clock_;
    CInterfacePtr<XmlLayouts::CDialogManager> manager_;
    CInterfacePtr<dialog_test::CTestPlugin> handler_;
    std::unique_ptr<CDialogHostWindow> host_;
};

TEST(InputMetricsTest, TheDragThresholdScalesWithTheDensity) {
    for (const auto& [dpi, pixels] :
         {std::pair{96, 15L}, {192, 30L}, {120, 19L}, {131, 20L}, {128, 20L}, {72, 11L}, {0, 0L}, {1200, 188L}})
        EXPECT_EQ(XmlLayouts::DragThreshold(dpi), pixels) << dpi << " dpi";
}

TEST(InputMetricsTest, TheVelocityIsAveragedOverTheWindow) {
    struct Case {
        LONG moved;
        DWORD elapsed;
        LONG previous;
        LONG velocity;
    };
    for (const Case& c : {Case{8, 16, 0, 62},          // 8000 / 128: the first sample fills an eighth
                          Case{8, 16, 500, 500},       // a steady finger keeps its speed
                          Case{-8, 16, -500, -500},
                          Case{10, 128, 9999, 78},     // a whole window apart: the plain rate
                          Case{10, 400, -300, 25},
                          Case{0, 0, 700, 700},        // two samples at one tick
                          Case{0, 64, 1000, 500},      // half the window at rest halves it
                          Case{-1, 16, 0, -7},         // truncated toward zero
                          Case{30000, 0, 0x7FFFFFFF, 0x7FFFFFFF}}) {  // saturates
        EXPECT_EQ(XmlLayouts::SmoothVelocity(c.moved, c.elapsed, c.previous), c.velocity)
            << c.moved << " px in " << c.elapsed << " ms after " << c.previous;
    }
}

TEST_F(PointerInputTest, TapsHoldsAndDragsAreToldApartAtTheThresholds) {
    struct Case {
        const char* name;
        int dpiX;
        int dpiY;
        std::vector<InputStep> steps;
        std::vector<std::string> input;  // what the button was asked
        std::size_t drags;               // drag events the handler saw
    };
    const std::vector<Case> cases = {
        {"a tap", 96, 96, {Down(0, 50, 30), Up(100, 50, 30)}, {"release Ok"}, 0},
        {"lifted at 390 ms: still a tap", 96, 96, {Down(0, 50, 30), Up(390, 50, 30)}, {"release Ok"}, 0},
        {"held still past 400 ms: a hold", 96, 96, {Down(0, 50, 30), Up(600, 50, 30)}, {"press Ok", "release Ok"}, 0},
        {"14 px at 96 dpi: a tap", 96, 96, {Down(0, 50, 30), Move(16, 64, 30), Up(32, 64, 30)}, {"release Ok"}, 0},
        {"15 px at 96 dpi: a drag", 96, 96,
         {Down(0, 50, 30), Move(16, 65, 30), Move(32, 70, 30), Up(48, 70, 30)}, {}, 3},
        {"15 px upwards: a drag", 96, 96, {Down(0, 50, 30), Move(16, 50, 15), Up(32, 50, 15)}, {}, 2},
        {"29 px at 192 dpi: a tap", 192, 192, {Down(0, 50, 30), Move(16, 79, 30), Up(32, 79, 30)}, {"release Ok"}, 0},
        {"30 px at 192 dpi: a drag", 192, 192, {Down(0, 50, 30), Move(16, 80, 30), Up(32, 80, 30)}, {}, 2},
        {"20 px across at 96 dpi across, 192 down", 96, 192,
         {Down(0, 50, 20), Move(16, 70, 20), Up(32, 70, 20)}, {}, 2},
        {"20 px down at 192 dpi down: a tap", 96, 192,
         {Down(0, 50, 20), Move(16, 50, 40), Up(32, 50, 40)}, {"release Ok"}, 0},
        {"a press on no item", 96, 96, {Down(0, 200, 200), Up(50, 200, 200)}, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InputLog().clear();
        handler_->events.clear();
        handler_->drags.clear();
        SetScreenDpi(c.dpiX, c.dpiY);
        Show(u"Buttons", 240, 300);
        Play(c.steps, 1000);
        EXPECT_EQ(InputLog(), c.input);
        ASSERT_EQ(handler_->drags.size(), c.drags);
        for (std::size_t i = 0; i < c.drags; ++i) {
            EXPECT_EQ(handler_->drags[i].first, i == 0 ? 1 : 0);
            EXPECT_EQ(handler_->drags[i].released, i + 1 == c.drags ? 1 : 0);
            EXPECT_EQ(handler_->drags[i].startX, c.steps.front().x);
            EXPECT_EQ(handler_->drags[i].startY, c.steps.front().y);
        }
        EXPECT_EQ(HeardDragEnd(), c.drags > 0) << "the drag end follows the drags";
        EXPECT_EQ(GetCapture(), nullptr);
        host_.reset();
    }
}

TEST_F(PointerInputTest, AHoldKeepsTheCaptureUntilTheStylusLifts) {
    Show(u"Buttons", 240, 300);
    CInputScript script(host_->m_hWnd, {Down(0, 50, 30), Up(700, 50, 30)});
    script.RunUntil(600);
    EXPECT_EQ(InputLog(), std::vector<std::string>{"press Ok"});
    EXPECT_EQ(GetCapture(), host_->m_hWnd) << "the coming release must reach the dialog";
    script.RunUntil(800);
    EXPECT_EQ(InputLog(), (std::vector<std::string>{"press Ok", "release Ok"}));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Root()->PressedItem(), nullptr) << "the release was taken";
}

TEST_F(PointerInputTest, TheVelocityFollowsTheFingerOverTheWindow) {
    Show(u"List", 240, 300);
    std::vector<InputStep> steps{Down(0, 100, 280)};
    // A finger moving up 8 px every 16 ms (500 px/s), resting 200 ms, then 10 px more.
    for (int i = 1; i <= 16; ++i) steps.push_back(Move(static_cast<DWORD>(16 * i), 100, 280 - 8 * i));
    steps.push_back(Move(456, 100, 142));
    steps.push_back(Up(470, 100, 142));
    Play(steps, 2500);
    ASSERT_GE(handler_->drags.size(), 16u);
    const auto& drags = handler_->drags;
    for (std::size_t i = 1; i + 2 < drags.size(); ++i) {
        EXPECT_EQ(drags[i].elapsed, 16) << "a sample every 16 ms, as the finger gave them";
        EXPECT_LT(drags[i].velocityY, drags[i - 1].velocityY) << "the speed builds up over the window";
    }
    const DragEventData& fast = drags[drags.size() - 3];
    EXPECT_LE(fast.velocityY, -400);
    EXPECT_GE(fast.velocityY, -500);
    const DragEventData& rested = drags[drags.size() - 2];
    ASSERT_GE(rested.elapsed, 128);
    EXPECT_EQ(rested.velocityY, -10 * 1000 / rested.elapsed) << "a whole window apart: the plain rate";
    EXPECT_EQ(drags.back().released, 1);
    EXPECT_TRUE(HeardDragEnd());
    EXPECT_TRUE(Selections().empty()) << "a drag never highlights";
}

TEST_F(PointerInputTest, APressOnAScrollingLayerWaitsForTheFeedbackDelay) {
    Show(u"List", 240, 300);
    DWORD selectedAt = 0;
    DWORD start = GetTickCount();
    handler_->onEvent = [&](UINT code) {
        if (code == DIALOG_EVENT_SELECTION_CHANGED && selectedAt == 0) selectedAt = GetTickCount() - start;
    };
    {
        CInputScript script(host_->m_hWnd,
                            {Down(0, 100, 50), Move(16, 101, 50), Move(50, 101, 50), Up(100, 101, 50)});
        start = GetTickCount();
        script.RunUntil(300);
    }
    EXPECT_GE(selectedAt, 35u) << "not yet at the sample of 16 ms";
    EXPECT_LT(selectedAt, 100u) << "shown at the sample after the delay, before the release";
    EXPECT_EQ(InputLog(), std::vector<std::string>{"release Row1"});

    // A drag that starts sooner never highlights: the list scrolls instead.
    InputLog().clear();
    handler_->events.clear();
    Play({Down(0, 100, 150), Move(16, 100, 130), Move(32, 100, 110), Move(250, 100, 110), Up(260, 100, 110)}, 600);
    EXPECT_TRUE(Selections().empty());
    EXPECT_TRUE(InputLog().empty());
    EXPECT_EQ(Root()->Scroll().y, 40);
    EXPECT_FALSE(Root()->IsDragging());
}

TEST_F(PointerInputTest, APressSoonAfterADragIsIgnoredByThatLayer) {
    for (const auto& [delay, taken] : {std::pair{200u, false}, {300u, true}}) {
        SCOPED_TRACE(delay);
        InputLog().clear();
        handler_->events.clear();
        Show(u"List", 240, 300);
        // The finger rests before it lifts, so that nothing flings and the drag ends at 260.
        Play({Down(0, 100, 150), Move(16, 100, 130), Move(32, 100, 110), Move(250, 100, 110), Up(260, 100, 110)},
             260 + 1);
        const DWORD ended = Root()->LastDragTick();
        ASSERT_NE(ended, 0u);
        ASSERT_LT(GetTickCount() - ended, delay);
        handler_->events.clear();
        {
            CInputScript script(host_->m_hWnd, {});
            script.RunUntil(ended + delay - GetTickCount());
        }
        Play({Down(0, 100, 50), Up(20, 100, 50)}, 200);
        EXPECT_EQ(!Selections().empty(), taken);
        EXPECT_EQ(InputLog(), taken ? std::vector<std::string>{"release Row2"} : std::vector<std::string>{});
        host_.reset();
    }
}

TEST_F(PointerInputTest, APressBesideEveryItemOfAnOverlayClosesIt) {
    Show(u"Buttons", 240, 300);
    ASSERT_EQ(manager_->OpenDialog(u"Sheet", DIALOG_PUSH_COVER | DialogOverlay, nullptr), S_OK);
    ASSERT_EQ(manager_->Stack().Count(), 2u);
    // On the sheet's button: taken by the overlay.
    const LONG sheetTop = manager_->Stack().GetTop()->RootLayer()->Position().y;
    Play({Down(0, 50, sheetTop + 20), Up(50, 50, sheetTop + 20)}, 200);
    EXPECT_EQ(InputLog(), std::vector<std::string>{"release Accept"});
    EXPECT_EQ(manager_->Stack().Count(), 2u);
    // Beside it: the overlay closes and the dialog beneath hears nothing.
    InputLog().clear();
    handler_->events.clear();
    Play({Down(0, 50, 30), Up(50, 50, 30)}, 200);
    EXPECT_EQ(manager_->Stack().Count(), 1u);
    EXPECT_TRUE(InputLog().empty());
    EXPECT_TRUE(Selections().empty());
}

TEST_F(PointerInputTest, AGestureThatLosesTheCaptureEndsWithoutAClick) {
    struct Case {
        const char* name;
        LPCWSTR dialog;
        std::vector<InputStep> steps;
        std::vector<std::string> input;
    };
    const std::vector<Case> cases = {
        {"a tap", u"Buttons", {Down(0, 50, 30), Deactivate(50), Up(100, 50, 30)}, {}},
        {"a hold", u"Buttons", {Down(0, 50, 30), Deactivate(500), Up(600, 50, 30)}, {"press Ok"}},
        {"a drag", u"List",
         {Down(0, 100, 150), Move(16, 100, 120), Deactivate(40), Move(60, 100, 90), Up(80, 100, 90)}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InputLog().clear();
        handler_->events.clear();
        handler_->drags.clear();
        Show(c.dialog, 240, 300);
        Play(c.steps, 1500);
        EXPECT_EQ(InputLog(), c.input) << "no release after the capture went";
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_FALSE(Root()->IsDragging()) << "a list never stays stuck to a finger that is gone";
        EXPECT_EQ(HeardDragEnd(), !handler_->drags.empty());
        for (const DragEventData& drag : handler_->drags) EXPECT_EQ(drag.released, 0);
        LONG cacheMode = -1;
        manager_->Stack().GetTop()->GetCacheMode(&cacheMode);
        EXPECT_EQ(cacheMode, 0);
        host_.reset();
    }
}

TEST_F(PointerInputTest, AQuitDuringAGestureEndsItAndReachesTheOuterLoop) {
    Show(u"List", 240, 300);
    CInputScript script(host_->m_hWnd,
                        {Down(0, 100, 150), Move(16, 100, 120), dialog_test::Quit(40, 7), Up(80, 100, 120)});
    script.RunUntil(500);
    ASSERT_TRUE(script.QuitSeen()) << "posted again for the program's own loop";
    EXPECT_EQ(script.QuitCode(), 7);
    EXPECT_LT(script.Elapsed(), 80u) << "at once, not at the release";
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(InputLog().empty());
}

}  // namespace
