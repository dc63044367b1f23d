// The display's mode: its orientation, queried and set through ChangeDisplaySettingsEx
// with a DEVMODEW, as the handset does. Turning the display resizes this process's
// full-screen top-level windows (WM_SIZE) and posts WM_SETTINGCHANGE to each of its
// top-level windows.
#pragma once

#include <cstddef>

#include "platform/base/Types.h"
#include "platform/screen/Display.h"  // SETTINGCHANGE_RESET

constexpr int CCHDEVICENAME = 32;
constexpr int CCHFORMNAME = 32;

// The display mode record; the printer fields are kept for its shape (192 bytes).
struct DEVMODEW {
    WCHAR dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;  // set by the caller: sizeof(DEVMODEW)
    WORD dmDriverExtra;
    DWORD dmFields;  // which fields the call reads or fills (DM_*)
    SHORT dmOrientation;
    SHORT dmPaperSize;
    SHORT dmPaperLength;
    SHORT dmPaperWidth;
    SHORT dmScale;
    SHORT dmCopies;
    SHORT dmDefaultSource;
    SHORT dmPrintQuality;
    SHORT dmColor;
    SHORT dmDuplex;
    SHORT dmYResolution;
    SHORT dmTTOption;
    SHORT dmCollate;
    WCHAR dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
    DWORD dmDisplayOrientation;  // DMDO_*; for DM_DISPLAYQUERYORIENTATION a mask of them
};
using LPDEVMODEW = DEVMODEW*;
using DEVMODE = DEVMODEW;
using LPDEVMODE = DEVMODEW*;
static_assert(sizeof(DEVMODEW) == 192, "the display mode record keeps the handset's size");

// dmFields
constexpr DWORD DM_DISPLAYORIENTATION = 0x00800000;
constexpr DWORD DM_DISPLAYQUERYORIENTATION = 0x01000000;

// dmDisplayOrientation
constexpr DWORD DMDO_0 = 0;
constexpr DWORD DMDO_90 = 1;
constexpr DWORD DMDO_180 = 2;
constexpr DWORD DMDO_270 = 4;

// Flags
constexpr DWORD CDS_TEST = 0x00000002;
constexpr DWORD CDS_RESET = 0x40000000;

// Results
constexpr LONG DISP_CHANGE_SUCCESSFUL = 0;
constexpr LONG DISP_CHANGE_RESTART = 1;
constexpr LONG DISP_CHANGE_FAILED = -1;
constexpr LONG DISP_CHANGE_BADMODE = -2;
constexpr LONG DISP_CHANGE_NOTUPDATED = -3;
constexpr LONG DISP_CHANGE_BADFLAGS = -4;
constexpr LONG DISP_CHANGE_BADPARAM = -5;

// With CDS_TEST nothing changes: DM_DISPLAYQUERYORIENTATION fills dmDisplayOrientation with
// the mask of the orientations the display can take besides DMDO_0 (DMDO_90 | DMDO_180 |
// DMDO_270); DM_DISPLAYORIENTATION alone fills it with the current orientation.
// Without CDS_TEST, DM_DISPLAYORIENTATION turns the display to dmDisplayOrientation; a
// turn to the current orientation changes nothing unless CDS_RESET asks for it again.
// The device name must be null (the handset has one display); `window` and `parameter`
// are not used. DISP_CHANGE_BADPARAM for a missing or short record, DISP_CHANGE_BADFLAGS
// for flags other than CDS_TEST and CDS_RESET or a query without CDS_TEST,
// DISP_CHANGE_BADMODE for fields other than the two above or an unknown orientation.
LONG ChangeDisplaySettingsEx(LPCWSTR deviceName, LPDEVMODEW devMode, HWND window, DWORD flags, LPVOID parameter);
