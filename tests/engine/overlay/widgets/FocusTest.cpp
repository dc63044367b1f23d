// Focus: moves call lose-focus on the old widget before gain-focus on the new one, and the
// focus keys walk the focus stops of a page, wrapping around.
#include "engine/app/FrameDriver.h"
#include "engine/app/GameKeys.h"
#include "engine/app/InputEvents.h"
#include "engine/app/KeyStates.h"
#include "tests/engine/overlay/widgets/WidgetTestSupport.h"

namespace {

using widget_test::RecordingControl;
using widget_test::WidgetTest;

TEST_F(WidgetTest, FocusMovesCallLoseThenGain) {
    RecordingControl* a = Add("a", nullptr, 0, 0, 10, 10);
    RecordingControl* b = Add("b", nullptr, 0, 0, 10, 10);
    EXPECT_EQ(SetFocusWindow(a), nullptr);
    EXPECT_EQ(SetFocusWindow(b), a);
    EXPECT_EQ(SetFocusWindow(b), b);  // already focused: nothing called
    EXPECT_EQ(SetFocusWindow(nullptr), b);
    const std::vector<std::string> expected{"a gains from none", "a loses to b", "b gains from a", "b loses to none"};
    EXPECT_EQ(log_, expected);
    EXPECT_EQ(FocusWidget(), nullptr);

    // A destroyed widget does not stay the focus.
    SetFocusWindow(a);
    a->Destroy(0);
    EXPECT_EQ(FocusWidget(), nullptr);
    delete a;
}

TEST_F(WidgetTest, FocusKeysWalkTheFocusStopsAndWrap) {
    ResetKeyStates();
    const DWORD stop = kControlShown | kControlFocusStop;
    RecordingControl* page = Add("page", nullptr, 0, 0, 400, 300);
    RecordingControl* one = Add("one", page, 0, 0, 10, 10, stop);
    Add("plain", page, 0, 0, 10, 10);                                // no focus stop
    Add("off", page, 0, 0, 10, 10, stop | kControlDisabled);         // disabled
    RecordingControl* two = Add("two", page, 0, 0, 10, 10, stop);
    Add("gone", page, 0, 0, 10, 10, kControlFocusStop);              // hidden

    // A top-level page (no parent) hands the focus to its first focus stop.
    page->OnKeyDown(kGameKeyTab, 1, -1);
    EXPECT_EQ(FocusWidget(), one);

    struct Step {
        std::int32_t key;
        RecordingControl* expected;
    };
    const Step steps[] = {
        {kGameKeyTab, two}, {kGameKeyTab, one}, {kGameKeyDown, two}, {kGameKeyUp, one}, {kGameKeyUp, two},
        {27, two},  // other keys end at the page without parent: nothing moves
    };
    for (const Step& step : steps) {
        static_cast<Control*>(FocusWidget())->OnKeyDown(step.key, 1, -1);
        EXPECT_EQ(RecordingControl::NameOf(FocusWidget()), step.expected->Name()) << "key " << step.key;
    }

    // Tab with a shift key held walks backwards.
    OnKeyEvent(kInputKeyDown, kGameKeyShiftRight, 0, FrameCounter());
    two->OnKeyDown(kGameKeyTab, 1, -1);
    EXPECT_EQ(FocusWidget(), one);
    one->OnKeyDown(kGameKeyTab, 1, -1);
    EXPECT_EQ(FocusWidget(), two);
    ResetKeyStates();

    // A lone focus stop keeps the focus and nothing is called.
    two->flags &= ~kControlFocusStop;
    SetFocusWindow(one);
    log_.clear();
    one->OnKeyDown(kGameKeyTab, 1, -1);
    EXPECT_EQ(FocusWidget(), one);
    EXPECT_TRUE(log_.empty());
    SetFocusWindow(nullptr);
}

}  // namespace
