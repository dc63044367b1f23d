// The widget tree's shared state (root widget, focus widget, brush lookup) and the operations
// on a tree of controls: visibility, enabling, ancestry, absolute position, hit test, focus.
#pragma once

#include <cstdint>

#include "game/ui/Control.h"
#include "platform/base/Types.h"

// The overlay owns the root widget and the brush table; it installs them here when it starts.
// Until then there is no root, no focus, and no brush id is known (Create fails).
void SetRootWidget(Control* root);
Control* RootWidget();
Control* FocusWidget();
using BrushFinder = BrushEntry* (*)(const char* brushId);
void SetBrushFinder(BrushFinder finder);
// Null when no finder is installed or the id is unknown.
BrushEntry* FindBrushEntry(const char* brushId);
void SetDefaultWidgetFont(BitmapFont* font);
BitmapFont* DefaultWidgetFont();

// Hit-test mask bits.
constexpr DWORD kHitShownOnly = 1;
constexpr DWORD kHitEnabledOnly = 2;

// True when the control and every ancestor have the shown flag.
bool IsWindowShown(const Control* control);
// True when neither the control nor any ancestor is disabled.
bool IsWindowEnabled(const Control* control);
// True when `control` is `start` or one of its ancestors, or is the root widget.
bool IsWindowAncestor(const Control* start, const Control* control);
// The position summed over the control and all its ancestors.
float WindowAbsX(const Control* control);
float WindowAbsY(const Control* control);
// The deepest control under (x, y), given relative to `control`: children in list order,
// the first that yields one wins; the control itself when no child does and 0 <= x < width,
// 0 <= y < height; else null.
Control* HitTestWindow(Control* control, float x, float y, DWORD mask);
// Depth-first, pre-order over the descendants; null when none has that id.
Control* FindChildById(Control* control, DWORD id);
// A control the focus keys may move to: focus stop, enabled and shown.
bool IsFocusStop(const Control* control);
// The first direct child that is a focus stop, enabled and shown.
Control* FindFirstFocusable(Control* control);
// In the parent's child list (the root's without parent): direction 1 the next control,
// 0 the previous; null at either end, when unlinked, or for another direction.
Control* GetSiblingControl(Control* control, int direction);
// Moves the focus: the old focus gets OnLoseFocus(new), then the new one OnGainFocus(old).
// Returns the old focus (the control itself when it already had the focus).
Control* SetFocusWindow(Control* control);
// Forgets the control as focus without calling it (it is being destroyed).
void ForgetFocus(const Control* control);
