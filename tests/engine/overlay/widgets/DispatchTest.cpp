// Input events into the widget tree: the pointer mapped into virtual screen pixels, pointer
// events to the widget under the pointer or the capture, hover changes, keys only inside the
// dispatching root, the timer walk over the update list, and the overlay's own events.
#include "engine/app/GameKeys.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "tests/engine/overlay/widgets/OverlayTestSupport.h"

namespace {

using overlay_test::OverlayTest;
using overlay_test::RecordingControl;

TEST_F(OverlayTest, RawPointerPositionsMapIntoTheVirtualScreen) {
    struct Case {
        std::int32_t viewX, viewY, viewWidth, viewHeight, rotation;
        std::int32_t rawX, rawY;
        float x, y;
    };
    const Case cases[] = {
        {0, 0, 800, 480, 0, 123, 45, 123, 45},
        {0, 0, 1600, 960, 0, 800, 200, 400, 100},
        {0, 0, 800, 480, 0, -20, 900, 0, 480},  // clamped to the screen
        {100, 50, 800, 480, 0, 110, 60, 10, 10},
        // A portrait surface turned a quarter: (px, py) -> (py, width - px).
        {0, 0, 480, 800, 90, 0, 0, 0, 480},
        {0, 0, 480, 800, 90, 480, 800, 800, 0},
        {0, 0, 800, 480, 180, 0, 0, 800, 480},
        {0, 0, 480, 800, 270, 0, 0, 800, 0},
        // Letterboxed: a wider viewport keeps the aspect and centres the screen.
        {0, 0, 1000, 480, 0, 100, 240, 0, 240},
        {0, 0, 1000, 480, 0, 500, 240, 400, 240},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.viewWidth) + "x" + std::to_string(c.viewHeight) + " at " +
                     std::to_string(c.rotation) + ", raw " + std::to_string(c.rawX) + "," + std::to_string(c.rawY));
        device_->SetViewport(c.viewX, c.viewY, c.viewWidth, c.viewHeight);
        Overlay2D().displayRotation = c.rotation;
        float x = -1.0f;
        float y = -1.0f;
        MapPointerPosition(c.rawX, c.rawY, x, y);
        EXPECT_NEAR(x, c.x, 1e-3f);
        EXPECT_NEAR(y, c.y, 1e-3f);
    }
}

TEST_F(OverlayTest, PointerEventsReachTheWidgetUnderThePointerOrTheCapture) {
    device_->SetViewport(0, 0, 800, 480);
    Overlay().pointerVisibility = -1;
    RecordingControl* page = Add("page", nullptr, 100, 100, 300, 200);
    RecordingControl* button = Add("button", page, 50, 50, 100, 40);
    RecordingControl* hidden = Add("hidden", page, 0, 0, 300, 200, 0);
    (void)hidden;
    log_.clear();
    Dispatch(Overlay().root, kInputPointerPosition, 170, 160);
    Dispatch(Overlay().root, kInputPointerDown, 999, 999);  // the position comes from the last move
    Dispatch(Overlay().root, kInputPointerPosition, 120, 110);
    Dispatch(Overlay().root, kInputPointerUp);
    EXPECT_EQ(log_, (std::vector<std::string>{"button enter from none", "button move 20,10", "button down 20,10",
                                              "button leave to page", "page enter from button", "page move 20,10",
                                              "page up 20,10"}));

    // While captured, events go to the capture wherever the pointer is, and the hover stays.
    Overlay().SetCapture(button);
    log_.clear();
    Dispatch(Overlay().root, kInputPointerPosition, 700, 400);
    Dispatch(Overlay().root, kInputPointerUp);
    EXPECT_EQ(log_, (std::vector<std::string>{"button move 550,250", "button up 550,250"}));
    EXPECT_EQ(Overlay().hover, page);
    Overlay().ReleaseCapture();

    // Outside every widget the root is the target.
    log_.clear();
    Dispatch(Overlay().root, kInputPointerPosition, 700, 400);
    EXPECT_EQ(Overlay().hover, Overlay().root);
    EXPECT_EQ(log_, (std::vector<std::string>{"page leave to ?"}));
}

TEST_F(OverlayTest, KeysReachTheFocusOnlyInsideTheDispatchingRoot) {
    RecordingControl* page = Add("page", nullptr, 0, 0, 300, 200);
    RecordingControl* field = Add("field", page, 0, 0, 10, 10);
    RecordingControl* other = Add("other", nullptr, 400, 0, 100, 100);
    RecordingControl* stray = Add("stray", other, 0, 0, 10, 10);
    SetFocusWindow(field);
    log_.clear();
    Dispatch(page, kInputKeyDown, 'a', 1);
    Dispatch(Overlay().root, kInputKeyDown, 'b', 1);
    Dispatch(other, kInputKeyDown, 'c', 1);  // the focus lies in another root: dropped
    SetFocusWindow(page);
    Dispatch(page, kInputKeyDown, 'd', 1);  // the root itself has the focus
    SetFocusWindow(stray);
    Dispatch(page, kInputKeyDown, 'e', 1);
    std::vector<std::string> keys;
    for (const std::string& line : log_)
        if (line.find(" key ") != std::string::npos) keys.push_back(line);
    // A key the field does not take goes on to its page.
    EXPECT_EQ(keys, (std::vector<std::string>{"field key 97", "page key 97", "field key 98", "page key 98",
                                              "page key 100"}));
    SetFocusWindow(nullptr);
    Dispatch(page, kInputKeyDown, 'f', 1);  // no focus: nobody
}

TEST_F(OverlayTest, TheTimerWalksTheUpdateListUntilTheListChanges) {
    RecordingControl* a = Add("a", nullptr, 0, 0, 1, 1);
    RecordingControl* b = Add("b", nullptr, 0, 0, 1, 1);
    RecordingControl* c = Add("c", nullptr, 0, 0, 1, 1);
    for (RecordingControl* widget : {a, b, c}) Overlay().AddUpdateWidget(widget);
    Overlay().hover = Overlay().root;
    log_.clear();
    Dispatch(Overlay().root, kUiEventTimer, 33);
    EXPECT_EQ(log_, (std::vector<std::string>{"a update 33", "b update 33", "c update 33"}));

    b->onUpdate = [&](DWORD) { Overlay().RemoveUpdateWidget(a); };
    log_.clear();
    Dispatch(Overlay().root, kUiEventTimer, 16);
    EXPECT_EQ(log_, (std::vector<std::string>{"a update 16", "b update 16"}));
    EXPECT_EQ(Overlay().updateList.count, 2u);
}

TEST_F(OverlayTest, TheOverlaysOwnEventsMoveTheOriginAndEndTheModalLoop) {
    RecordingControl* page = Add("page", nullptr, 30, 40, 100, 100);
    page->modalResult = 9;
    canvas_->offsetX = canvas_->offsetY = 0.0f;
    Dispatch(page, kUiEventRedraw);
    EXPECT_EQ(canvas_->offsetX, 30.0f);
    EXPECT_EQ(canvas_->offsetY, 40.0f);
    Dispatch(page, kUiEventEndModal);
    EXPECT_EQ(page->modalResult, 0);
    EXPECT_EQ(page->flags & kControlModal, 0u);
    // Kinds above 13 reach nobody; after any event without a hover the one under the
    // pointer becomes it.
    PointTo(50, 50);
    log_.clear();
    Overlay().hover = nullptr;
    Dispatch(Overlay().root, 14, 1, 2);
    EXPECT_EQ(log_, (std::vector<std::string>{"page enter from none"}));
    EXPECT_EQ(Overlay().hover, page);
}

TEST_F(OverlayTest, TheEventPumpDrainsTheInputRingIntoTheRoot) {
    device_->SetViewport(0, 0, 800, 480);
    RecordingControl* page = Add("page", nullptr, 0, 0, 300, 200);
    SetFocusWindow(page);
    PushInputEvent(kInputPointerPosition, 10, 20);
    PushInputEvent(kInputKeyDown, kGameKeyAction, 1);
    log_.clear();
    Overlay().ProcessEvents();
    EXPECT_FALSE(HasInputEvent());
    EXPECT_EQ(log_, (std::vector<std::string>{"page enter from none", "page move 10,20", "page key 10"}));
}

}  // namespace
