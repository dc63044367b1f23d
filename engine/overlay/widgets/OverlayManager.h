// OverlayManager: the one object at the top of the 2D layer. It owns the root widget, the
// table of brush entries that widgets draw with, the system font and the pointer images;
// it routes focus, pointer capture and hover among the widgets, runs modal loops, and draws
// the widget tree each frame.
#pragma once

#include <cstdint>

#include "engine/app/InputEvents.h"
#include "engine/core/containers/KDLList.h"
#include "engine/overlay/canvas/Brush.h"
#include "platform/base/Types.h"

class BitmapFont;
class Canvas2D;
class Control;

// A widget kind's brush id is the identity of its window-class name; 0 and 1 are the
// overlay's own entries.
using BrushId = std::uintptr_t;
inline BrushId BrushIdOf(const char* className) { return reinterpret_cast<BrushId>(className); }

// A pointer image: its brush, size and the hot spot subtracted from the pointer position.
struct PointerRecord {
    Brush brush;
    float width = 0.0f;
    float height = 0.0f;
    float hotX = 0.0f;
    float hotY = 0.0f;
};

// What widgets of one kind draw with; the overlay keeps copies.
struct BrushEntry {
    Brush brush;
    DWORD reserved[3] = {};
    PointerRecord* pointer = nullptr;  // shown while a widget of the kind holds the pointer
    DWORD reserved2 = 0;
    BrushId id = 0;
};

// True when the brush draws nothing at all (no flags, no texture, no colour).
bool IsEmptyBrush(const Brush& brush);

// The system font.
constexpr const char* kSystemFontName = "gfx/fonts/sysfont.tga";
// Input events the overlay makes itself.
constexpr std::int32_t kUiEventTimer = 11;     // a = elapsed milliseconds
constexpr std::int32_t kUiEventRedraw = 12;
constexpr std::int32_t kUiEventEndModal = 13;
// Game events around each pass of a modal loop.
constexpr DWORD kGameEventModalFrameStart = 14;
constexpr DWORD kGameEventModalFrameEnd = 15;
// A modal loop's time step is held to this, as the frame driver's is.
constexpr float kMaxModalStep = 0.2f;

class OverlayManager {
public:
    // Empty lists, then Clear.
    OverlayManager();
    // Shutdown and the links of the lists, while the engine heaps exist.
    ~OverlayManager();
    OverlayManager(const OverlayManager&) = delete;
    OverlayManager& operator=(const OverlayManager&) = delete;

    // Clear; the system font from "gfx/fonts/sysfont.tga" (a 16 x 16 grid of 16-pixel
    // cells; a failed load leaves it without glyphs); the pointer records; the entries 0 and
    // 1; the root widget over the 2D screen, modal. 0, or 1 when an entry exists already or
    // the root cannot be made.
    int Init(Canvas2D* canvas);
    // Frees the second list, deletes the system font, destroys and deletes the root, Clear.
    void Shutdown();
    // Frees every brush entry and the widget list's links; zeroes the pointer, the three
    // widgets, the pointer visibility, the redraw counter and the canvas.
    void Clear();

    // A copy of the entry at the end of the table: 1, or 0 when the id is there already.
    int AddBrush(const BrushEntry& entry);
    // The first entry with the id, or null.
    BrushEntry* FindBrush(BrushId id);
    // Frees the entry with the id (a widget kind whose brush goes away, such as a page's).
    void RemoveBrush(BrushId id);
    // Pointer record 1, 2 or 3; null for any other index.
    PointerRecord* GetPointerRecord(int index);

    // The widget gets the focus: the old focus gets OnLoseFocus(new), then the new one
    // OnGainFocus(old). Returns the old focus (the widget itself when it had it: no calls).
    Control* SetFocus(Control* widget);
    // The previous capturer, when another, first gets OnCaptureLost(new).
    void SetCapture(Control* widget);
    // The capturer gets OnCaptureLost(null) after the capture is cleared.
    void ReleaseCapture();
    // shown 0 for the root: focus, capture and hover are forgotten without calls, and that is
    // all. shown 0 for another widget: a focus or capture held by it or inside it is given
    // up (lose-focus, capture-lost). Then the hover widget is found again under the pointer.
    void ReleaseWidgetInput(Control* widget, int shown);
    // A widget that is destroyed: no longer focus, capture or hover, out of the widget list
    // and the update list.
    void RemoveWidget(Control* widget);
    // Non-zero counts one more visible top-level widget, zero one less.
    void CountModalRedraw(int more);
    // Clears the root's modal flag and result: every modal loop ends.
    void EndRootModal();
    // Runs frames until the widget's modal flag clears (or the root's, or the program quits)
    // and returns the widget's result; the widget's flag is set again for its next run.
    std::int32_t RunModal(Control* widget);
    // Dispatches every queued input event into the root widget.
    void ProcessEvents();
    // The frame's 2D layer: the widget tree from the root, then the pointer image. Nothing
    // without a canvas or a view on it.
    void Draw(Canvas2D* canvas, int clear);

    // Widgets whose Update runs at every timer event, in order. Adding one that is there
    // already does nothing (false); false also when memory runs out.
    bool AddUpdateWidget(Control* widget);
    void RemoveUpdateWidget(Control* widget);

    KDLList brushes;  // BrushEntry, owned
    Control* root = nullptr;
    float pointerX = 0.0f;  // virtual screen pixels
    float pointerY = 0.0f;
    Control* focus = nullptr;
    Control* capture = nullptr;
    Control* hover = nullptr;
    std::int32_t pointerVisibility = 0;  // the pointer image is drawn while it is 0 or more
    std::int32_t modalRedrawCount = 0;
    Canvas2D* canvas = nullptr;
    KDLList secondList;
    BitmapFont* systemFont = nullptr;
    PointerRecord pointers[4];
    KDLList widgets;  // every live control
    float reservedFloat = 2.0f;
    DWORD reservedWord = 1;
    KDLList updateList;
    DWORD soundFlag = 0;  // widgets play their click sounds while it is set

private:
    // The deepest widget under the pointer (all widgets): it becomes the hover widget, the
    // old one getting OnPointerLeave and the new one OnPointerEnter when they differ.
    void FindHover();
    void DrawWidgetTree(Canvas2D& target);
};

// The one overlay of the program.
OverlayManager& Overlay();

// Delivers one input event (kind, a, b, c) into the tree below `root`, positions relative to
// the receiving widget: pointer kinds 0 to 7 to the capture widget or the one under the
// pointer, keys 8 to 10 to the focus when it lies inside `root`, 11 the timer to the update
// list, 12 SetDrawOrigin of the root, 13 ends the root's modal loop. Then, without a hover
// widget, the one under the pointer becomes it. 0.
int DispatchUiEvent(OverlayManager& overlay, Control* root, const InputEvent& event);
// A raw pointer position (device pixels) in virtual screen pixels: relative to the viewport,
// turned by the display rotation, clamped, and fitted into the user-interface size.
void MapPointerPosition(std::int32_t rawX, std::int32_t rawY, float& x, float& y);
