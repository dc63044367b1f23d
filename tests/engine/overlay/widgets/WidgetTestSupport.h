// Shared fixture of the widget tests: fresh engine heaps, a root widget, a brush table that
// knows one id, and a control that records the calls it receives.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/memory/EngineMemory.h"
#include "game/ui/Control.h"
#include "game/ui/WidgetTree.h"

namespace widget_test {

inline const char kButtonBrushId[] = "ButtonWndClass";

// Brush entries are compared by address only; the tests never look inside one.
inline BrushEntry* TestBrush() {
    static int entry = 0;
    return reinterpret_cast<BrushEntry*>(&entry);
}

inline BrushEntry* FindTestBrush(const char* id) { return id == kButtonBrushId ? TestBrush() : nullptr; }

class RecordingControl : public Control {
public:
    RecordingControl(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(&log) {}
    void OnGainFocus(Control* previous) override { log_->push_back(name_ + " gains from " + NameOf(previous)); }
    void OnLoseFocus(Control* next) override { log_->push_back(name_ + " loses to " + NameOf(next)); }
    const std::string& Name() const { return name_; }

    static std::string NameOf(Control* control) {
        auto* recording = dynamic_cast<RecordingControl*>(control);
        return recording != nullptr ? recording->name_ : std::string(control == nullptr ? "none" : "?");
    }

private:
    std::string name_;
    std::vector<std::string>* log_;
};

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(HeapInit(), 0);
        blocksAtStart_ = EngineBlockCount();
        freeLinksAtStart_ = LinkPoolFreeCount();
        SetBrushFinder(FindTestBrush);
        root_ = new RecordingControl("root", log_);
        ASSERT_NE(root_, nullptr);
        SetRootWidget(root_);
        ASSERT_EQ(root_->Create(kButtonBrushId, kControlShown, 0, 0, 800, 480, nullptr, 0), 1);
    }
    void TearDown() override {
        delete root_;
        // Every widget and every child-list link went back.
        EXPECT_EQ(EngineBlockCount(), blocksAtStart_);
        EXPECT_EQ(LinkPoolFreeCount(), freeLinksAtStart_);
        EXPECT_EQ(RootWidget(), nullptr);
        EXPECT_EQ(FocusWidget(), nullptr);
        SetBrushFinder(nullptr);
        HeapTeardown();
    }
    // A created child of `parent` (of the root when null).
    RecordingControl* Add(const std::string& name, Control* parent, float x, float y, float w, float h,
                          DWORD style = kControlShown, DWORD id = 0) {
        auto* control = new RecordingControl(name, log_);
        EXPECT_EQ(control->Create(kButtonBrushId, style, x, y, w, h, parent, id), 1);
        return control;
    }

    std::vector<std::string> log_;
    RecordingControl* root_ = nullptr;
    std::size_t blocksAtStart_ = 0;
    std::size_t freeLinksAtStart_ = 0;
};

}  // namespace widget_test
