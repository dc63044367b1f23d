// The overlay manager: its start, the brush table and pointer records, focus, capture and
// hover with their call order, drawing the tree and the pointer, and modal loops.
#include "engine/core/text/EngineWString.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/overlay/widgets/OverlayLayer.h"
#include "tests/engine/overlay/widgets/OverlayTestSupport.h"

namespace {

using overlay_test::OverlayTest;
using overlay_test::RecordingControl;

TEST_F(OverlayTest, StartingMakesTheRootTheTwoEntriesAndThePointerRecords) {
    OverlayManager& overlay = Overlay();
    ASSERT_NE(overlay.root, nullptr);
    EXPECT_EQ(overlay.root->width, 800.0f);
    EXPECT_EQ(overlay.root->height, 480.0f);
    EXPECT_EQ(overlay.root->flags, kControlModal);
    EXPECT_EQ(overlay.root->parent, nullptr);
    EXPECT_EQ(overlay.canvas, canvas_);
    EXPECT_NE(overlay.systemFont, nullptr);  // without its image: no glyphs, but there
    EXPECT_EQ(SystemFont(), overlay.systemFont);
    ASSERT_NE(overlay.FindBrush(0), nullptr);
    ASSERT_NE(overlay.FindBrush(1), nullptr);
    EXPECT_EQ(overlay.FindBrush(0)->pointer, &overlay.pointers[0]);
    EXPECT_EQ(overlay.root->brush, overlay.FindBrush(0));

    // An id that exists is refused and the table stays as it was.
    const std::uint32_t entries = overlay.brushes.count;
    BrushEntry again;
    again.id = 1;
    again.brush.flags = 7;
    EXPECT_EQ(overlay.AddBrush(again), 0);
    EXPECT_EQ(overlay.brushes.count, entries);
    EXPECT_EQ(overlay.FindBrush(1)->brush.flags, 0u);

    EXPECT_EQ(overlay.GetPointerRecord(0), nullptr);
    EXPECT_EQ(overlay.GetPointerRecord(4), nullptr);
    const float quarters[4][2] = {{0, 0}, {0.5f, 0}, {0, 0.5f}, {0.5f, 0.5f}};
    for (int record = 0; record < 4; ++record) {
        const PointerRecord& pointer = overlay.pointers[record];
        if (record > 0) {
            EXPECT_EQ(overlay.GetPointerRecord(record), &pointer);
        }
        EXPECT_EQ(pointer.brush.corners[0], quarters[record][0]);
        EXPECT_EQ(pointer.brush.corners[1], quarters[record][1]);
        EXPECT_EQ(pointer.brush.corners[4], quarters[record][0] + 0.5f);
        EXPECT_EQ(pointer.brush.colours[3], 0xFFFFFFFFu);
        EXPECT_EQ(pointer.width, 32.0f);
        EXPECT_EQ(pointer.hotX, 15.0f);
    }
}

TEST_F(OverlayTest, FocusAndCaptureMovesCallTheWidgetsInOrder) {
    OverlayManager& overlay = Overlay();
    RecordingControl* a = Add("a", nullptr, 0, 0, 10, 10);
    RecordingControl* b = Add("b", nullptr, 0, 0, 10, 10);
    overlay.SetFocus(a);
    overlay.SetFocus(a);  // already: nothing
    overlay.SetFocus(b);
    overlay.SetCapture(a);
    overlay.SetCapture(a);  // the same: nothing
    overlay.SetCapture(b);
    overlay.ReleaseCapture();
    overlay.ReleaseCapture();  // no capture: nothing
    EXPECT_EQ(log_, (std::vector<std::string>{"a gains from none", "a loses to b", "b gains from a",
                                              "a capture lost to b", "b capture lost to none"}));
    EXPECT_EQ(overlay.capture, nullptr);
    EXPECT_EQ(overlay.focus, b);
}

TEST_F(OverlayTest, HidingAWidgetGivesUpWhatItsSubtreeHeld) {
    OverlayManager& overlay = Overlay();
    RecordingControl* page = Add("page", nullptr, 100, 100, 200, 200);
    RecordingControl* button = Add("button", page, 10, 10, 50, 50);
    RecordingControl* other = Add("other", nullptr, 400, 0, 100, 100);
    overlay.SetFocus(button);
    overlay.SetCapture(button);
    PointTo(120, 120);
    overlay.ReleaseWidgetInput(page, 1);  // shown: only the hover is looked for
    EXPECT_EQ(overlay.hover, button);
    EXPECT_EQ(overlay.focus, button);
    log_.clear();

    EXPECT_EQ(SetVisible(page, 0), 1);
    EXPECT_EQ(overlay.focus, nullptr);
    EXPECT_EQ(overlay.capture, nullptr);
    // Hidden widgets are still found for the hover: all widgets count.
    EXPECT_EQ(overlay.hover, button);
    EXPECT_EQ(log_, (std::vector<std::string>{"button loses to none", "button capture lost to none"}));
    EXPECT_EQ(SetVisible(page, 0), 1);  // no change: nothing called
    EXPECT_EQ(SetVisible(page, 2), 0);
    EXPECT_EQ(log_.size(), 2u);

    // The pointer moves on: leave, then enter.
    log_.clear();
    PointTo(450, 50);
    overlay.ReleaseWidgetInput(other, 1);
    EXPECT_EQ(log_, (std::vector<std::string>{"button leave to other", "other enter from button"}));

    // The root hidden: everything forgotten, nobody called.
    overlay.SetFocus(other);
    overlay.SetCapture(other);
    log_.clear();
    overlay.ReleaseWidgetInput(overlay.root, 0);
    EXPECT_EQ(overlay.focus, nullptr);
    EXPECT_EQ(overlay.capture, nullptr);
    EXPECT_EQ(overlay.hover, nullptr);
    EXPECT_TRUE(log_.empty());

    // A destroyed widget is forgotten as focus, capture, hover and updated widget.
    overlay.SetFocus(other);
    overlay.hover = other;
    overlay.AddUpdateWidget(other);
    other->Destroy(0);
    EXPECT_EQ(overlay.focus, nullptr);
    EXPECT_EQ(overlay.hover, nullptr);
    EXPECT_EQ(overlay.updateList.count, 0u);
    delete other;
}

TEST_F(OverlayTest, TheTreeIsDrawnParentFirstAtEachWidgetsOriginAndThePointerLast) {
    OverlayManager& overlay = Overlay();
    RecordingControl* page = Add("page", nullptr, 100, 50, 300, 200, kControlShown | kControlHasBackdrop);
    Add("child", page, 10, 20, 30, 30);
    Add("hidden", page, 0, 0, 5, 5, 0);
    Add("second", nullptr, 0, 0, 5, 5);
    overlay.pointerVisibility = -1;
    log_.clear();
    overlay.Draw(canvas_, 0);
    EXPECT_EQ(log_, (std::vector<std::string>{"page backdrop", "page background", "page draw at 100,50",
                                              "child background", "child draw at 110,70", "child post",
                                              "page post", "second background", "second draw at 0,0", "second post"}));
    EXPECT_TRUE(device_->draws.empty());  // empty brushes draw nothing

    // The pointer image of the hover widget's entry, about its hot spot.
    overlay.pointerVisibility = 0;
    overlay.hover = page;
    PointTo(200, 100);
    Forget();
    overlay.Draw(canvas_, 1);
    ASSERT_EQ(device_->draws.size(), 1u);
    const canvas_test::DrawCall& pointer = device_->draws[0];
    EXPECT_EQ(pointer.vertices[0].position.x, 185.0f);
    EXPECT_EQ(pointer.vertices[2].position.y, 117.0f);
    EXPECT_EQ(pointer.vertices[0].colour[0], 0xFF);  // no pointer texture was given: a white square
    // Below zero, no pointer whatever the entries say.
    overlay.pointerVisibility = -1;
    Forget();
    overlay.Draw(canvas_, 0);
    EXPECT_TRUE(device_->draws.empty());
    // Without a view nothing is drawn.
    canvas_->viewCount = 0;
    log_.clear();
    overlay.Draw(canvas_, 0);
    EXPECT_TRUE(log_.empty());
}

TEST_F(OverlayTest, ABrushEntryWithABrushIsTheWidgetsBackground) {
    static const char kFramed[] = "FramedWndClass";
    BrushEntry framed;
    framed.brush.colours[0] = 0xFF102030;
    framed.id = BrushIdOf(kFramed);
    ASSERT_EQ(Overlay().AddBrush(framed), 1);
    auto* widget = new RecordingControl("framed", log_);
    ASSERT_EQ(widget->Create(kFramed, nullptr, kControlShown, 40, 30, 20, 10, nullptr, 0), 1);
    Overlay().pointerVisibility = -1;
    Overlay().Draw(canvas_, 0);
    ASSERT_EQ(device_->draws.size(), 1u);
    EXPECT_EQ(device_->draws[0].vertices[0].position.x, 40.0f);
    EXPECT_EQ(device_->draws[0].vertices[2].position.y, 40.0f);
}

TEST_F(OverlayTest, AModalLoopEndsWhenATimerHandlerEndsTheRootsLoop) {
    platform::clock::UseManualClock(100000, 0, 10);
    OverlayManager& overlay = Overlay();
    RecordingControl* page = Add("page", nullptr, 0, 0, 800, 480);
    RecordingControl* ticker = Add("ticker", page, 0, 0, 10, 10);
    ticker->verbose = false;
    page->modalResult = 42;
    std::vector<DWORD> steps;
    int ticks = 0;
    ticker->onUpdate = [&](DWORD milliseconds) {
        steps.push_back(milliseconds);
        // A long stall inside a frame: the next step is held to 0.2 s.
        if (ticks == 1) platform::clock::Advance(5000);
        if (++ticks == 3) overlay.EndRootModal();
    };
    ASSERT_TRUE(overlay.AddUpdateWidget(ticker));
    EXPECT_FALSE(overlay.AddUpdateWidget(ticker));
    // The last loop ended an hour ago: the first step counts from the loop's start.
    platform::clock::Advance(3600 * 1000);
    EXPECT_EQ(overlay.RunModal(page), 42);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_LE(steps[0], 50u);
    EXPECT_LE(steps[1], 50u);
    EXPECT_EQ(steps[2], 200u);
    EXPECT_EQ(overlay.focus, page);
    EXPECT_NE(page->flags & kControlModal, 0u);  // set again for the next run
    EXPECT_EQ(overlay.root->flags & kControlModal, 0u);
    EXPECT_EQ(overlay.root->modalResult, 0);

    // A loop whose widget closes itself ends with its result; the quit flag ends any loop.
    overlay.root->flags |= kControlModal;
    ticker->onUpdate = [&](DWORD) {
        page->flags &= ~kControlModal;
        page->modalResult = 2;
    };
    EXPECT_EQ(overlay.RunModal(page), 2);
    EXPECT_NE(overlay.root->flags & kControlModal, 0u);
    ticker->onUpdate = [&](DWORD) { RequestQuit(); };
    page->modalResult = 5;
    EXPECT_EQ(overlay.RunModal(page), 5);
}

TEST_F(OverlayTest, TheLayerStartsAndStopsWithTheApplication) {
    // The layer makes and frees the shared geometry itself.
    Overlay().Shutdown();
    ReleaseQuadBuffers();
    FreeGlyphBuffer();
    blocksBeforeOverlay_ = EngineBlockCount();
    ASSERT_EQ(StartOverlayLayer(), 0);
    ASSERT_NE(OverlayCanvas(), nullptr);
    EXPECT_EQ(Overlay().canvas, OverlayCanvas());
    EXPECT_NE(Overlay().root, nullptr);
    EXPECT_TRUE(HasQuadBuffers());
    EXPECT_NE(SharedGlyphRun(), nullptr);
    StopOverlayLayer();
    EXPECT_EQ(OverlayCanvas(), nullptr);
    EXPECT_EQ(Overlay().root, nullptr);
    EXPECT_FALSE(HasQuadBuffers());
    EXPECT_EQ(SharedGlyphRun(), nullptr);
    EXPECT_EQ(EngineBlockCount(), blocksBeforeOverlay_);
    // The fixture's own canvas goes on.
    ASSERT_EQ(CreateQuadBuffers(), 1);
    ASSERT_EQ(CreateGlyphBuffer(), 1);
    blocksBeforeOverlay_ = EngineBlockCount();
}

}  // namespace
