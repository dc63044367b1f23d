// Window and screen device contexts: GetDC and ReleaseDC, BeginPaint and EndPaint. They
// draw into the screen's pixels (platform/screen), so screenshots show what they drew; the
// origin is the window's top-left corner and drawing is clipped to the window (and, between
// BeginPaint and EndPaint, to the area to paint).
#pragma once

#include "platform/base/Types.h"

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

// A context for the client area of a window of this process, or for the whole screen when
// window is null. Null with ERROR_INVALID_WINDOW_HANDLE for any other window.
HDC GetDC(HWND window);
// Frees a context from GetDC; 1 when freed, 0 otherwise.
int ReleaseDC(HWND window, HDC dc);
// Takes the window's update area (rcPaint, client coordinates), validates it and gives a
// context clipped to it. The background is not erased (fErase is FALSE). Null on failure.
HDC BeginPaint(HWND window, LPPAINTSTRUCT paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
