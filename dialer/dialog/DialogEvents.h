// The dialog event codes that the manager, the pointer code and the layers send through a
// content's event dispatch, and the record that travels with a drag.
#pragma once

#include "platform/base/Types.h"

// Content stack notifications (the argument is 0).
constexpr UINT DIALOG_EVENT_SHOWING = 1;         // to a content being pushed, before anything changes
constexpr UINT DIALOG_EVENT_SHOWN = 2;           // to the new top, once it is on the stack
constexpr UINT DIALOG_EVENT_LAID_OUT = 3;        // to the top after a show laid the stack out again
constexpr UINT DIALOG_EVENT_REMOVED = 4;         // to each content leaving the stack
constexpr UINT DIALOG_EVENT_UNCOVERING = 5;      // to the content a close is about to uncover
constexpr UINT DIALOG_EVENT_UNCOVERED = 6;       // to the new top at the end of a close
constexpr UINT DIALOG_EVENT_CLOSED = 7;          // to the new top after a close laid the stack out
constexpr UINT DIALOG_EVENT_COVERED = 8;         // to a top that a push covers (modes 3 and 4)
constexpr UINT DIALOG_EVENT_OVERLAID = 9;        // to a non-overlay top that a push in mode 5 covers
// Input.
constexpr UINT DIALOG_EVENT_DRAG = 10;           // data: DragEventData
constexpr UINT DIALOG_EVENT_DRAG_END = 11;       // the pointer was released after a drag
constexpr UINT DIALOG_EVENT_KEY_DOWN = 17;
constexpr UINT DIALOG_EVENT_KEY_UP = 18;
constexpr UINT DIALOG_EVENT_CHAR = 19;
constexpr UINT DIALOG_EVENT_ACTIVATION = 20;
constexpr UINT DIALOG_EVENT_SELECTION_CHANGED = 21;  // argument 1 when an item is pressed, 0 when cleared

// One sample of a drag (twelve words, as the pointer code fills it). Points are in dialog
// coordinates; velocities in pixels per second.
struct DragEventData {
    LONG startX = 0;  // the press point
    LONG startY = 0;
    LONG previousX = 0;
    LONG previousY = 0;
    LONG currentX = 0;
    LONG currentY = 0;
    LONG velocityX = 0;
    LONG velocityY = 0;
    LONG first = 0;     // 1 on the first drag event of a gesture
    LONG released = 0;  // 1 when this sample is the finger lifting
    LONG stop = 0;      // a handler sets it to end the gesture
    LONG elapsed = 0;   // milliseconds since the previous sample
};
