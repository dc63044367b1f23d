// Toggle and check buttons, the list box with its scroll bar, and the edit box, driven by
// the overlay's pointer and key events.
#include <deque>
#include <string>
#include <vector>

#include "engine/core/text/EngineWString.h"
#include "engine/overlay/widgets/EditBox.h"
#include "engine/overlay/widgets/ListBox.h"
#include "engine/overlay/widgets/ScrollBar.h"
#include "engine/overlay/widgets/SimpleWidgets.h"
#include "tests/engine/overlay/widgets/OverlayTestSupport.h"

namespace {

using overlay_test::OverlayTest;
using overlay_test::RecordingControl;

// Records the notifications and scroll requests that reach it.
class Listener : public RecordingControl {
public:
    using RecordingControl::RecordingControl;
    std::int32_t Notify(std::int32_t code, DWORD controlId, std::int32_t kind, std::int32_t value) override {
        notes.push_back({code, static_cast<std::int32_t>(controlId), kind, value});
        return 0;
    }
    void OnScroll(std::int32_t code, std::int32_t position, Control*) override { scrolls.push_back({code, position}); }
    std::vector<std::vector<std::int32_t>> notes;
    std::vector<std::vector<std::int32_t>> scrolls;
};

class WidgetKindsTest : public OverlayTest {
protected:
    void SetUp() override {
        OverlayTest::SetUp();
        if (HasFatalFailure()) return;
        device_->SetViewport(0, 0, 800, 480);
        Overlay().pointerVisibility = -1;
        page_ = new Listener("page", log_);
        ASSERT_EQ(page_->Create(overlay_test::kPanelBrushId, nullptr, kControlShown, 0, 0, 800, 480, nullptr, 0), 1);
    }
    void TearDown() override {
        Overlay().Shutdown();
        texts_.clear();
        OverlayTest::TearDown();
    }
    // Pointer events at a screen position: 0 move, 1 down, 2 up.
    void Press(float x, float y) {
        Dispatch(Overlay().root, 0, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
        Dispatch(Overlay().root, 1);
    }
    void Release() { Dispatch(Overlay().root, 2); }
    TextListBox* MakeList(float height, int items, DWORD style = kControlShown) {
        auto* list = new TextListBox;
        EXPECT_EQ(list->CreateList(nullptr, style, 100, 40, 300, height, page_, 1040), 1);
        for (int i = 0; i < items; ++i) {
            const std::u16string name = std::u16string(u"item ") + static_cast<char16_t>(u'0' + i);
            texts_.emplace_back(reinterpret_cast<const WCHAR*>(name.c_str()));
            list->AddItem(TextRefFromText(&texts_.back()));
        }
        return list;
    }

    Listener* page_ = nullptr;
    std::deque<EngineWString> texts_;  // the items point at them
};

TEST_F(WidgetKindsTest, AToggleButtonStepsThroughItsStatesAndReportsEachClick) {
    auto* toggle = new ToggleButton;
    ASSERT_EQ(toggle->CreateButton(nullptr, kControlShown | kButtonPush | kButtonCaption, 100, 100, 200, 50, page_, 1030),
              1);
    EngineWString captions[3] = {EngineWString(u"off"), EngineWString(u"low"), EngineWString(u"high")};
    for (EngineWString& caption : captions) EXPECT_EQ(toggle->AddState(TextRefFromText(&caption)), 1);
    EXPECT_EQ(toggle->current, 0);
    EXPECT_EQ(toggle->text.text, &captions[0]) << "the first state is shown";
    const std::int32_t expected[] = {1, 2, 0, 1};
    for (std::int32_t state : expected) {
        page_->notes.clear();
        Press(150, 120);
        Release();
        EXPECT_EQ(toggle->current, state);
        EXPECT_EQ(toggle->text.text, &captions[state]);
        EXPECT_EQ(page_->notes, (std::vector<std::vector<std::int32_t>>{{1, 1030, 1, -1}}));
    }
    std::vector<EngineWString> more(30, EngineWString(u"x"));
    for (int i = 0; i < 17; ++i) EXPECT_EQ(toggle->AddState(TextRefFromText(&more[i])), 1);
    EXPECT_EQ(toggle->AddState(TextRefFromText(&more[17])), 0) << "20 states at most";
    EXPECT_EQ(toggle->StateCount(), kMaxToggleStates);
    // Each state has its own tooltip; an index past 20 is ignored.
    EngineWString tip(u"tip");
    toggle->SetStateTooltip(TextRefFromText(&tip), 1);
    toggle->SetStateTooltip(TextRefFromText(&tip), 20);
    EXPECT_EQ(toggle->GetTooltip()->text, &tip);
}

TEST_F(WidgetKindsTest, ACheckButtonTogglesOnThePressAndClicksOnTheRelease) {
    auto* check = new Button;
    ASSERT_EQ(check->CreateButton(nullptr, kControlShown | kButtonCheck, 100, 100, 200, 50, page_, 1031), 1);
    EXPECT_NE(check->brushes[Button::kLookUp], nullptr) << "the default looks";
    EXPECT_EQ(check->textColours[Button::kLookDown], 0xFF00FF00u);
    Press(150, 120);
    EXPECT_EQ(check->state & kButtonOn, kButtonOn);
    EXPECT_TRUE(page_->notes.empty());
    Release();
    EXPECT_EQ(check->state & kButtonOn, kButtonOn) << "stays checked";
    EXPECT_EQ(page_->notes.size(), 1u);
    Press(150, 120);
    Release();
    EXPECT_EQ(check->state & kButtonOn, 0u);
    EXPECT_EQ(page_->notes.size(), 2u);
}

TEST_F(WidgetKindsTest, AListShowsWholeRowsAndKeepsItsSelectionInView) {
    auto* list = MakeList(180, 10);
    EXPECT_EQ(list->visibleCount, 6);
    EXPECT_FLOAT_EQ(list->height, 156.0f) << "cut to six rows of 26";
    ASSERT_NE(list->scrollBar, nullptr);
    EXPECT_FLOAT_EQ(list->scrollBar->x, 280.0f);
    EXPECT_EQ(list->scrollBar->maximum, 4);
    EXPECT_EQ(list->SetSelection(8), 0);
    EXPECT_EQ(list->topIndex, 3) << "items 3..8 shown";
    EXPECT_EQ(list->scrollBar->position, 3);
    EXPECT_EQ(list->SetSelection(10), -1);
    EXPECT_EQ(list->SetSelection(-2), -1);
    float left, top, right, bottom;
    EXPECT_EQ(list->GetItemRect(2, left, top, right, bottom), -1) << "scrolled away";
    ASSERT_EQ(list->GetItemRect(4, left, top, right, bottom), 0);
    EXPECT_FLOAT_EQ(top, 26.0f);

    // Keys move the selection within the items and report each move; past the ends nothing.
    SetFocusWindow(list);
    list->SetSelection(9);
    page_->notes.clear();
    Dispatch(Overlay().root, 8, 144, 0);  // down at the last item
    EXPECT_TRUE(page_->notes.empty());
    Dispatch(Overlay().root, 8, 143, 0);
    EXPECT_EQ(list->selection, 8);
    EXPECT_EQ(page_->notes, (std::vector<std::vector<std::int32_t>>{{1, 1040, (8 << 16) | 1, 0}}));
    list->SetSelection(0);
    page_->notes.clear();
    Dispatch(Overlay().root, 8, 143, 0);  // up at the first
    EXPECT_TRUE(page_->notes.empty());
    // Enter confirms the selection.
    Dispatch(Overlay().root, 9, 10, 0);
    EXPECT_EQ(page_->notes, (std::vector<std::vector<std::int32_t>>{{1, 1040, 2, 0}}));

    // A press selects the row under the pointer; the selected row again sends nothing.
    page_->notes.clear();
    Press(150, 40 + 2 * 26 + 5);
    Release();
    EXPECT_EQ(list->selection, 2);
    EXPECT_EQ(page_->notes.size(), 1u);
    Press(150, 40 + 2 * 26 + 5);
    Release();
    EXPECT_EQ(page_->notes.size(), 1u);
}

TEST_F(WidgetKindsTest, AHeaderRowShiftsTheItemsAndIsNotSelectable) {
    auto* list = MakeList(180, 10, kControlShown | kListHeader);
    Press(150, 40 + 5);
    Release();
    EXPECT_EQ(list->selection, -1);
    Press(150, 40 + 26 + 5);
    Release();
    EXPECT_EQ(list->selection, 0);
}

TEST_F(WidgetKindsTest, ScrollRequestsMoveTheTopWithinTheRange) {
    auto* list = MakeList(180, 10);
    struct Case {
        std::int32_t code, position, top;
    };
    // From top 0, maximum 4.
    const Case cases[] = {{kScrollToEnd, 0, 4},      {kScrollStepForward, 0, 1}, {kScrollStepBack, 0, 0},
                          {kScrollPageForward, 0, 4}, {kScrollPageBack, 0, 0},    {kScrollThumbDragged, 2, 2},
                          {kScrollToStart, 0, 0},    {kScrollThumbDragged, 9, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        list->topIndex = 0;
        list->OnScroll(c.code, c.position, list->scrollBar);
        EXPECT_EQ(list->topIndex, c.top);
    }
}

TEST_F(WidgetKindsTest, AHeldArrowRepeatsAfter250MsAndThenEvery100Ms) {
    auto* bar = new ScrollBar;
    EXPECT_EQ(bar->CreateScrollBar(kControlShown | kScrollVertical | kScrollHorizontal, 0, 0, 20, 200, page_, 1), 0);
    delete bar;
    bar = new ScrollBar;
    EXPECT_EQ(bar->CreateScrollBar(kControlShown | kScrollVertical, 0, 0, 20, 200, nullptr, 1), 0) << "no parent";
    delete bar;
    bar = new ScrollBar;
    ASSERT_EQ(bar->CreateScrollBar(kControlShown | kScrollVertical, 700, 100, 20, 200, page_, 1), 1);
    bar->SetRange(0, 10);
    // Parts along 200 pixels with a 20-pixel thumb travelling over 140.
    struct Part {
        float along;
        DWORD part;
    };
    const Part parts[] = {{0, kScrollPartFirstArrow}, {19.9f, kScrollPartFirstArrow}, {20, kScrollPartThumb},
                          {40, kScrollPartTrackAfter}, {180, kScrollPartSecondArrow}, {200, kScrollPartNone}};
    for (const Part& p : parts) EXPECT_EQ(bar->PartAt(p.along), p.part) << p.along;
    bar->SetPosition(5);
    EXPECT_EQ(bar->PartAt(89), kScrollPartTrackBefore);
    EXPECT_EQ(bar->PartAt(90), kScrollPartThumb);

    Press(710, 100 + 190);  // the second arrow
    EXPECT_EQ(page_->scrolls, (std::vector<std::vector<std::int32_t>>{{kScrollStepForward, 5}})) << "at once";
    std::vector<DWORD> repeatsAt;
    for (DWORD ms = 10; ms <= 600; ms += 10) {
        const std::size_t before = page_->scrolls.size();
        Dispatch(Overlay().root, kUiEventTimer, 10);
        if (page_->scrolls.size() > before) repeatsAt.push_back(ms);
    }
    EXPECT_EQ(repeatsAt, (std::vector<DWORD>{250, 350, 450, 550}));
    // Sliding off the arrow pauses the repeat; the release ends it.
    Dispatch(Overlay().root, 0, 600, 290);
    const std::size_t paused = page_->scrolls.size();
    for (int i = 0; i < 30; ++i) Dispatch(Overlay().root, kUiEventTimer, 10);
    EXPECT_EQ(page_->scrolls.size(), paused);
    Release();
    EXPECT_EQ(Overlay().capture, nullptr);
    EXPECT_EQ(bar->state, 0u);
}

TEST_F(WidgetKindsTest, DraggingTheThumbScrollsAndDraggingItAwayPutsTheListBack) {
    auto* list = MakeList(180, 10);
    ScrollBar* bar = list->scrollBar;
    // Six rows of 26 make a bar 156 long; the thumb (20) travels over 96 for positions 0-4.
    Press(100 + 290, 40 + 25);
    EXPECT_EQ(bar->state & kScrollPartMask, kScrollPartThumb);
    Dispatch(Overlay().root, 0, 100 + 290, 40 + 25 + 48);
    EXPECT_EQ(list->topIndex, 2) << "half way";
    Dispatch(Overlay().root, 0, 100 + 290 + 100, 40 + 25 + 48);
    EXPECT_EQ(list->topIndex, 0) << "far off the bar: back to where the drag began";
    Dispatch(Overlay().root, 0, 100 + 290, 40 + 25 + 130);
    EXPECT_EQ(list->topIndex, 4) << "back on it, clamped to the end";
    Release();
    EXPECT_EQ(bar->state, 0u);
    EXPECT_EQ(bar->position, 4);
}

TEST_F(WidgetKindsTest, TheCaretBlinksEvery500MsWhileTheEditBoxHasTheFocus) {
    EngineWString content(u"");
    const TextRef text = TextRefFromText(&content);
    auto* edit = new EditBox;
    ASSERT_EQ(edit->CreateEdit(&text, kControlShown | kControlFocusStop, 100, 100, 200, 40, page_, 1050), 1);
    EXPECT_EQ(edit->CountVisibleCharacters(), 0) << "empty text";
    SetFocusWindow(edit);
    std::vector<DWORD> changes;
    DWORD visible = edit->caretVisible;
    for (DWORD ms = 16; ms <= 1600; ms += 16) {
        Dispatch(Overlay().root, kUiEventTimer, 16);
        if (edit->caretVisible != visible) {
            visible = edit->caretVisible;
            changes.push_back(ms);
        }
    }
    // 500 ms of frames of 16: the 32nd frame (512), then 1008 and 1504.
    EXPECT_EQ(changes, (std::vector<DWORD>{512, 1008, 1504}));
    EXPECT_EQ(edit->caretVisible, 0u);
    SetFocusWindow(page_);
    SetFocusWindow(edit);
    EXPECT_EQ(edit->caretVisible, 1u) << "a new focus restarts it visible";
    EXPECT_EQ(edit->caretTimer, 0);

    // Style 0x2000: hovering does not take the focus, a press does.
    auto* quiet = new EditBox;
    ASSERT_EQ(quiet->CreateEdit(&text, kControlShown | kEditNoHoverFocus, 100, 200, 200, 40, page_, 1051), 1);
    Dispatch(Overlay().root, 0, 150, 210);
    EXPECT_EQ(Overlay().focus, edit);
    Dispatch(Overlay().root, 1);
    EXPECT_EQ(Overlay().focus, quiet);
    Release();
}

}  // namespace
