// Device contexts: memory contexts that draw into the DIB section selected into them, with
// their selected objects, colours and modes, a stack of saved states, and the device's
// capabilities. Window and screen contexts are in Paint.h.
#pragma once

#include "platform/base/Types.h"
#include "platform/gdi/GdiObject.h"

// Background modes
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Text alignment
constexpr UINT TA_NOUPDATECP = 0;
constexpr UINT TA_UPDATECP = 1;
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;

// GetDeviceCaps
constexpr int DRIVERVERSION = 0;
constexpr int TECHNOLOGY = 2;
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int NUMCOLORS = 24;
constexpr int RASTERCAPS = 38;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int DT_RASDISPLAY = 1;
constexpr int RC_BITBLT = 1;
constexpr int RC_DI_BITMAP = 0x80;
constexpr int RC_STRETCHBLT = 0x800;

constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

// A memory context holding the default 1 × 1 monochrome bitmap, the white brush, the
// black pen and the system font; black text on an opaque white background, aligned at
// its top left. Every context is compatible with the screen, whatever `dc` is. Null with
// ERROR_INVALID_HANDLE when dc is neither null nor a context.
HDC CreateCompatibleDC(HDC dc);
// Frees a memory context; its objects are let go, not deleted. FALSE for window contexts
// (ReleaseDC frees those) and unknown handles.
BOOL DeleteDC(HDC dc);

// Pushes the context's state (objects, colours, modes) and returns the new depth, from 1;
// 0 on failure.
int SaveDC(HDC dc);
// Returns to saved state `savedState` (a depth from SaveDC, or -n for the n-th latest),
// dropping it and every state saved after it. FALSE when there is no such state.
BOOL RestoreDC(HDC dc, int savedState);

// Selects a bitmap, font, brush or pen and returns the one it replaces; null (and nothing
// changed) for an unknown object, a bitmap selected into another context, or a bitmap
// given to a window context.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// The selected object of type OBJ_BITMAP, OBJ_FONT, OBJ_BRUSH or OBJ_PEN, or null.
HGDIOBJ GetCurrentObject(HDC dc, UINT type);

// The setters return the former value, or CLR_INVALID / 0 for an unknown context.
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);  // TRANSPARENT or OPAQUE
int GetBkMode(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);

// The screen's facts for every context: LOGPIXELSX and LOGPIXELSY are the display's
// density (HANDSET_SCREEN), HORZRES and VERTRES its size as the user sees it now,
// BITSPIXEL 16. 0 for indexes the handset does not answer.
int GetDeviceCaps(HDC dc, int index);
