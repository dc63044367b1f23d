// Containers and the simple widgets: Enter and Escape as notifications, the ways to close a
// container, a modal run that focuses a child and gives the focus back, tooltips, and a
// button's press, slide and release.
#include <string>
#include <vector>

#include "engine/app/GameKeys.h"
#include "engine/overlay/widgets/ControlContainer.h"
#include "engine/overlay/widgets/SimpleWidgets.h"
#include "engine/overlay/widgets/UiSound.h"
#include "tests/engine/overlay/widgets/OverlayTestSupport.h"

namespace {

using overlay_test::OverlayTest;
using overlay_test::RecordingControl;

// Records the notifications that reach it.
class Listener : public RecordingControl {
public:
    using RecordingControl::RecordingControl;
    std::int32_t Notify(std::int32_t code, DWORD controlId, std::int32_t kind, std::int32_t value) override {
        notes.push_back({code, static_cast<std::int32_t>(controlId), kind, value});
        return 7;
    }
    std::vector<std::vector<std::int32_t>> notes;
};

class Box : public ControlContainer {
public:
    int OnOpen(std::int32_t, std::int32_t) override {
        ++opened;
        if (closeOnOpen != 0) EndModal(this, closeOnOpen);
        return 1;
    }
    int opened = 0;
    std::int32_t closeOnOpen = 0;
};

TEST_F(OverlayTest, EnterAndEscapeBecomeConfirmAndCancelForTheParent) {
    auto* listener = new Listener("listener", log_);
    ASSERT_EQ(listener->Create(overlay_test::kPanelBrushId, nullptr, kControlShown, 0, 0, 800, 480, nullptr, 0), 1);
    auto* box = new Box;
    ASSERT_EQ(box->CreateContainer(overlay_test::kPanelBrushId, nullptr, kControlShown, 0, 0, 100, 100, listener), 1);
    struct Case {
        std::int32_t key;
        std::int32_t code;  // 0: nothing
    };
    const Case cases[] = {{27, 2}, {233, 2}, {10, 1}, {176, 1}, {232, 1}, {kGameKeyTab, 0}, {kGameKeyDown, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        listener->notes.clear();
        box->OnKeyDown(c.key, 1, -1);
        if (c.code == 0) {
            EXPECT_TRUE(listener->notes.empty());
        } else {
            EXPECT_EQ(listener->notes, (std::vector<std::vector<std::int32_t>>{{c.code, 0, 0, 0}}));
        }
    }
}

TEST_F(OverlayTest, EndModalWithCancelIsCloseCancelAndOtherCodesAreTheResult) {
    auto* box = new Box;
    ASSERT_EQ(box->CreateContainer(overlay_test::kPanelBrushId, nullptr, kControlShown, 0, 0, 100, 100, nullptr), 1);
    const std::int32_t codes[] = {2, 0, 1, 4097};
    for (std::int32_t code : codes) {
        SCOPED_TRACE(code);
        SetVisible(box, 1);
        box->flags |= kControlModal;
        EndModal(box, code);
        EXPECT_EQ(box->modalResult, code);
        EXPECT_EQ(box->flags & (kControlModal | kControlShown), 0u);
    }
    EXPECT_EQ(box->CreateContainer(overlay_test::kPanelBrushId, nullptr, 0, 0, 0, 1, 1, nullptr), 0) << "created twice";
    auto* unknown = new Box;
    EXPECT_EQ(unknown->CreateContainer("NoSuchClass", nullptr, 0, 0, 0, 1, 1, nullptr), 0);
    delete unknown;
}

TEST_F(OverlayTest, OpeningFocusesTheDefaultOrTheFirstStopAndGivesTheFocusBack) {
    platform::clock::UseManualClock(100000, 0, 10);
    RecordingControl* outside = Add("outside", nullptr, 0, 0, 10, 10, kControlShown | kControlFocusStop);
    SetFocusWindow(outside);
    auto* box = new Box;
    ASSERT_EQ(box->CreateContainer(overlay_test::kPanelBrushId, nullptr, 0, 0, 0, 800, 480, nullptr), 1);
    RecordingControl* first = Add("first", box, 0, 0, 10, 10, kControlShown | kControlFocusStop);
    RecordingControl* second = Add("second", box, 0, 20, 10, 10, kControlShown | kControlFocusStop);
    RecordingControl* ticker = Add("ticker", box, 0, 40, 1, 1);
    first->verbose = second->verbose = outside->verbose = ticker->verbose = false;
    std::int32_t closeWith = 4097;
    std::vector<std::string> shownWhileRunning;
    ticker->onUpdate = [&](DWORD) {
        shownWhileRunning.push_back(IsWindowShown(box) ? "shown" : "hidden");
        EndModal(box, closeWith);
    };
    ASSERT_TRUE(Overlay().AddUpdateWidget(ticker));

    // The default focus takes it; closing gives it up; the run's result comes back and the
    // focus goes home.
    box->defaultFocus = second;
    log_.clear();
    EXPECT_EQ(box->Open(0, 0), 4097);
    EXPECT_EQ(box->opened, 1);
    EXPECT_EQ(log_, (std::vector<std::string>{"outside loses to first", "first gains from outside", "first loses to second",
                                              "second gains from first", "second loses to none",
                                              "outside gains from none"}));
    EXPECT_EQ(Overlay().focus, outside);
    EXPECT_NE(box->flags & kControlModal, 0u) << "ready for the next run";
    EXPECT_EQ(shownWhileRunning, (std::vector<std::string>{"shown"}));
    EXPECT_FALSE(IsWindowShown(box));

    // A hidden default focus is passed over for the first focus stop.
    SetVisible(second, 0);
    log_.clear();
    closeWith = 1;
    EXPECT_EQ(box->Open(0, 0), 1);
    EXPECT_EQ(log_, (std::vector<std::string>{"outside loses to first", "first gains from outside",
                                              "first loses to none", "outside gains from none"}));

    // Closed by its own opening: neither shown nor run, and the focus stays.
    log_.clear();
    shownWhileRunning.clear();
    box->closeOnOpen = 4098;
    EXPECT_EQ(box->Open(0, 0), 4098);
    EXPECT_TRUE(log_.empty());
    EXPECT_TRUE(shownWhileRunning.empty());
    EXPECT_EQ(box->opened, 3);
    EXPECT_NE(box->flags & kControlModal, 0u);
}

TEST_F(OverlayTest, TooltipsAreCopiesOfTheReference) {
    RecordingControl* control = Add("c", nullptr, 0, 0, 10, 10);
    EngineString key("TIP");
    const TextRef tip = TextRefFromKey(&key, 0);
    control->SetTooltip(&tip);
    control->SetTooltipAlt(&tip);
    EXPECT_EQ(control->GetTooltip()->key, &key);
    EXPECT_EQ(control->tooltipAlt.key, &key);
    EXPECT_EQ(control->GetTooltip()->flags & kTextRefOwned, 0u);
    control->SetTooltip(nullptr);
    EXPECT_EQ(control->GetTooltip()->key, nullptr);
}

std::vector<std::string> uiSounds;
void RecordUiSound(const char* name) { uiSounds.emplace_back(name); }

TEST_F(OverlayTest, AButtonClicksOnlyWhenReleasedOverIt) {
    device_->SetViewport(0, 0, 800, 480);
    Overlay().pointerVisibility = -1;
    auto* listener = new Listener("page", log_);
    ASSERT_EQ(listener->Create(overlay_test::kPanelBrushId, nullptr, kControlShown, 0, 0, 800, 480, nullptr, 0), 1);
    ASSERT_EQ(RegisterWidgetClass(kButtonClass), 1);
    auto* button = new Button;
    ASSERT_EQ(button->Create(kButtonClass, nullptr, kControlShown | kButtonPush, 100, 100, 200, 50, listener, 1030), 1);
    struct Step {
        std::int32_t kind;
        std::int32_t x, y;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        std::size_t clicks;
    };
    const Case cases[] = {
        {"press and release", {{0, 150, 120}, {1, 0, 0}, {2, 0, 0}}, 1},
        {"slide off and release", {{0, 150, 120}, {1, 0, 0}, {0, 350, 120}, {2, 0, 0}}, 0},
        {"slide off and back", {{0, 150, 120}, {1, 0, 0}, {0, 350, 120}, {0, 299, 149}, {2, 0, 0}}, 1},
        {"release on the right edge", {{0, 150, 120}, {1, 0, 0}, {0, 300, 120}, {2, 0, 0}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        listener->notes.clear();
        for (const Step& step : c.steps) Dispatch(Overlay().root, step.kind, step.x, step.y);
        ASSERT_EQ(listener->notes.size(), c.clicks);
        if (c.clicks == 1) {
            EXPECT_EQ(listener->notes[0], (std::vector<std::int32_t>{1, 1030, 1, -1}));
        }
        EXPECT_EQ(button->state & kButtonOn, 0u) << "up again";
        EXPECT_EQ(Overlay().capture, nullptr);
    }
    // The click sound plays on a click only, while the button's switch and the overlay's
    // sound flag are both on.
    SetUiSoundPlayer(RecordUiSound);
    struct Sound {
        DWORD clickSounds, soundFlag;
        std::int32_t releaseX;
        std::size_t played;
    };
    const Sound sounds[] = {{1, 1, 150, 1}, {1, 1, 350, 0}, {0, 1, 150, 0}, {1, 0, 150, 0}};
    for (const Sound& c : sounds) {
        SCOPED_TRACE(std::to_string(c.clickSounds) + std::to_string(c.soundFlag) + " " + std::to_string(c.releaseX));
        uiSounds.clear();
        button->clickSounds = c.clickSounds;
        Overlay().soundFlag = c.soundFlag;
        Dispatch(Overlay().root, 0, 150, 120);
        Dispatch(Overlay().root, 1, 0, 0);
        EXPECT_TRUE(uiSounds.empty()) << "nothing on the press";
        Dispatch(Overlay().root, 0, c.releaseX, 120);
        Dispatch(Overlay().root, 2, 0, 0);
        EXPECT_EQ(uiSounds.size(), c.played);
        if (c.played == 1) {
            EXPECT_EQ(uiSounds[0], kButtonClickSound);
        }
    }
    button->clickSounds = 1;
    Overlay().soundFlag = 0;
    SetUiSoundPlayer(nullptr);
    // Enter on the focused button clicks with the key's value.
    SetFocusWindow(button);
    listener->notes.clear();
    Overlay().soundFlag = 1;
    SetUiSoundPlayer(RecordUiSound);
    uiSounds.clear();
    Dispatch(Overlay().root, 9, kGameKeyAction, 0);
    EXPECT_EQ(listener->notes, (std::vector<std::vector<std::int32_t>>{{1, 1030, 1, -1}}));
    EXPECT_EQ(uiSounds.size(), 1u) << "a key click sounds too";
    SetUiSoundPlayer(nullptr);
    Overlay().soundFlag = 0;
    SetEnabled(button, 0);
    EXPECT_EQ(button->CurrentLook(), Button::kLookDisabled);
}

}  // namespace
