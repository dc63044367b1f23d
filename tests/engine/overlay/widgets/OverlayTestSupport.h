// The overlay fixture: the overlay started on a canvas of the recording null device, over an
// 800 x 480 screen, and widgets that record their calls, made under the overlay's root.
#pragma once

#include <string>
#include <vector>

#include "engine/app/FrameDriver.h"
#include "engine/app/InputEvents.h"
#include "engine/app/KeyStates.h"
#include "engine/app/MainWindow.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "platform/base/Clock.h"
#include "tests/engine/overlay/canvas/CanvasTestSupport.h"
#include "tests/engine/overlay/widgets/WidgetTestSupport.h"

namespace overlay_test {

using widget_test::RecordingControl;

inline const char kPanelBrushId[] = "PanelWndClass";

class OverlayTest : public canvas_test::CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        if (HasFatalFailure()) return;
        ClearInputEvents();
        blocksBeforeOverlay_ = EngineBlockCount();
        ASSERT_EQ(Overlay().Init(canvas_), 0);
        BrushEntry panel;
        panel.pointer = Overlay().GetPointerRecord(2);
        panel.id = BrushIdOf(kPanelBrushId);
        ASSERT_EQ(Overlay().AddBrush(panel), 1);
    }
    void TearDown() override {
        // The root takes every widget under it along.
        Overlay().Shutdown();
        EXPECT_EQ(Overlay().widgets.count, 0u);
        EXPECT_EQ(EngineBlockCount(), blocksBeforeOverlay_);
        ClearInputEvents();
        ResetKeyStates();
        ResetFrameClock();
        ResetMainWindowState();
        platform::clock::UseRealClock();
        CanvasTest::TearDown();
    }
    // A created widget under `parent` (under the root when null), logging its calls.
    RecordingControl* Add(const std::string& name, Control* parent, float x, float y, float w, float h,
                          DWORD style = kControlShown) {
        auto* control = new RecordingControl(name, log_);
        EXPECT_NE(control, nullptr);
        EXPECT_EQ(control->Create(kPanelBrushId, nullptr, style, x, y, w, h, parent, 0), 1);
        control->verbose = true;
        return control;
    }
    void Dispatch(Control* root, std::int32_t kind, std::int32_t a = 0, std::int32_t b = 0, std::int32_t c = -1) {
        DispatchUiEvent(Overlay(), root, InputEvent{kind, a, b, c});
    }
    // Puts the pointer at a virtual position (the null device's viewport is the screen).
    void PointTo(float x, float y) {
        Overlay().pointerX = x;
        Overlay().pointerY = y;
    }

    std::vector<std::string> log_;
    std::size_t blocksBeforeOverlay_ = 0;
};

}  // namespace overlay_test
