// Operations on a tree of controls: visibility, enabling, ancestry, absolute position, hit
// test, focus, and the canvas origin of a control. The root widget and the focus are the
// overlay manager's.
#pragma once

#include <cstdint>

#include "engine/overlay/widgets/Control.h"
#include "platform/base/Types.h"

// The overlay's root widget and focus widget (null before the overlay starts).
Control* RootWidget();
Control* FocusWidget();

// Hit-test mask bits.
constexpr DWORD kHitShownOnly = 1;
constexpr DWORD kHitEnabledOnly = 2;

// True when the control and every ancestor have the shown flag.
bool IsWindowShown(const Control* control);
// True when neither the control nor any ancestor is disabled.
bool IsWindowEnabled(const Control* control);
// True when `control` is `start` or one of its ancestors, or is the root widget.
bool IsWindowAncestor(const Control* start, const Control* control);
// True when `control` is `widget` or lies below it (the root is no exception here).
bool IsWithin(const Control* control, const Control* widget);
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

// The overlay canvas's origin becomes the control's absolute position, and the canvas view
// the whole screen when none is set. Widgets call it after every change of their look.
void SetDrawOrigin(Control* control);
// show 1 sets the shown flag and calls OnShow(1, 0) when it was not set; show 0 the other
// way round; then the overlay drops the input the control's subtree held when hidden and
// looks for the hover widget again, and SetDrawOrigin. 1 also when nothing changes; 0 for
// another value.
int SetVisible(Control* control, int show);
// Clears (enable non-zero) or sets the disabled flag when the control is not yet so, and
// calls OnEnable(enabled, old flags, new flags); 1 on a change, else 0.
int SetEnabled(Control* control, int enable);
// Stores the rectangle.
void SetRect(Control* control, float x, float y, float width, float height);
// SetDrawOrigin, then the whole overlay drawn with clearing; 1.
int RedrawControl(Control* control);
