// Shared fixture of the widget tests: fresh engine heaps, a root widget, an overlay brush
// table that knows one id, and a control that records the calls it receives.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/core/memory/EngineMemory.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/widgets/Control.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/WidgetTree.h"

namespace widget_test {

inline const char kButtonBrushId[] = "ButtonWndClass";

inline BrushEntry* TestBrush() { return Overlay().FindBrush(BrushIdOf(kButtonBrushId)); }

class RecordingControl : public Control {
public:
    RecordingControl(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(&log) {}
    void OnGainFocus(Control* previous) override { log_->push_back(name_ + " gains from " + NameOf(previous)); }
    void OnLoseFocus(Control* next) override { log_->push_back(name_ + " loses to " + NameOf(next)); }
    void OnPointerEnter(Control* from) override { Record("enter from " + NameOf(from)); }
    void OnPointerLeave(Control* to) override { Record("leave to " + NameOf(to)); }
    void OnCaptureLost(Control* capturer) override { Record("capture lost to " + NameOf(capturer)); }
    void OnPointerMove(float x, float y) override { Record("move " + Point(x, y)); }
    void OnPointerDown(float x, float y) override { Record("down " + Point(x, y)); }
    void OnPointerUp(float x, float y) override { Record("up " + Point(x, y)); }
    void OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra) override {
        Record("key " + std::to_string(key));
        Control::OnKeyDown(key, value, extra);
    }
    void Update(DWORD milliseconds) override {
        Record("update " + std::to_string(milliseconds));
        if (onUpdate) onUpdate(milliseconds);
    }
    void DrawBackdrop(Canvas2D*) override { Record("backdrop"); }
    int DrawBackground(Canvas2D* canvas) override {
        Record("background");
        return Control::DrawBackground(canvas);
    }
    void Draw(Canvas2D* canvas) override {
        Record("draw at " + Point(canvas->offsetX, canvas->offsetY));
        if (onDraw) onDraw(canvas);
    }
    void PostDraw(Canvas2D*) override { Record("post"); }
    // Calls other than focus moves are logged only while this is set.
    bool verbose = false;
    std::function<void(DWORD)> onUpdate;
    std::function<void(Canvas2D*)> onDraw;
    const std::string& Name() const { return name_; }

    static std::string NameOf(Control* control) {
        auto* recording = dynamic_cast<RecordingControl*>(control);
        return recording != nullptr ? recording->name_ : std::string(control == nullptr ? "none" : "?");
    }

private:
    void Record(const std::string& what) {
        if (verbose) log_->push_back(name_ + " " + what);
    }
    static std::string Point(float x, float y) {
        return std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y));
    }

    std::string name_;
    std::vector<std::string>* log_;
};

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(HeapInit(), 0);
        blocksAtStart_ = EngineBlockCount();
        freeLinksAtStart_ = LinkPoolFreeCount();
        BrushEntry entry;
        entry.id = BrushIdOf(kButtonBrushId);
        ASSERT_EQ(Overlay().AddBrush(entry), 1);
        root_ = new RecordingControl("root", log_);
        ASSERT_NE(root_, nullptr);
        Overlay().root = root_;
        ASSERT_EQ(root_->Create(kButtonBrushId, nullptr, kControlShown, 0, 0, 800, 480, nullptr, 0), 1);
    }
    void TearDown() override {
        delete root_;
        EXPECT_EQ(RootWidget(), nullptr);
        EXPECT_EQ(FocusWidget(), nullptr);
        // Every widget left the overlay's widget list.
        EXPECT_EQ(Overlay().widgets.count, 0u);
        Overlay().Shutdown();
        // Every widget and every link went back.
        EXPECT_EQ(EngineBlockCount(), blocksAtStart_);
        EXPECT_EQ(LinkPoolFreeCount(), freeLinksAtStart_);
        HeapTeardown();
    }
    // A created child of `parent` (of the root when null).
    RecordingControl* Add(const std::string& name, Control* parent, float x, float y, float w, float h,
                          DWORD style = kControlShown, DWORD id = 0) {
        auto* control = new RecordingControl(name, log_);
        EXPECT_EQ(control->Create(kButtonBrushId, nullptr, style, x, y, w, h, parent, id), 1);
        return control;
    }

    std::vector<std::string> log_;
    RecordingControl* root_ = nullptr;
    std::size_t blocksAtStart_ = 0;
    std::size_t freeLinksAtStart_ = 0;
};

}  // namespace widget_test
