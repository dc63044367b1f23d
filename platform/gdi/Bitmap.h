// Device-independent bitmaps: CreateDIBSection makes a bitmap whose pixel memory the
// program addresses directly; GetObjectW describes it as a BITMAP and DeleteObject frees it
// with its pixels.
#pragma once

#include "platform/base/Types.h"
#include "platform/gdi/GdiObject.h"

// Compressions
constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;

// Colour-table usage
constexpr UINT DIB_RGB_COLORS = 0;
constexpr UINT DIB_PAL_COLORS = 1;

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // positive: bottom-up rows; negative: top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

// The header followed by the colour table (or, for BI_BITFIELDS, the three colour masks).
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

// The bytes that follow a header of biSize bytes in a BITMAPINFO: the colour table
// (biClrUsed entries, or all 2^bits for 1, 4 and 8 bits when biClrUsed is 0) and, for
// BI_BITFIELDS under a 40-byte header, the three masks. -1 for a header that cannot be
// described (biClrUsed beyond 256 or beyond 2^bits).
LONGLONG DibColorTableBytes(const BITMAPINFOHEADER& header);

// A bitmap of 1, 4, 8, 16, 24 or 32 bits per pixel, BI_RGB (or BI_BITFIELDS for 16 and 32
// bits), one plane, with DIB_RGB_COLORS; its rows are DWORD-aligned and its pixels start
// zeroed. `dc` is not consulted: with DIB_RGB_COLORS the colours come from `info`, which
// must hold the colour table DibColorTableBytes describes. File sections are not offered
// (ERROR_NOT_SUPPORTED for a section handle); anything else out of range gives null with
// ERROR_INVALID_PARAMETER, and a bitmap too large for memory ERROR_NOT_ENOUGH_MEMORY.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);

namespace platform {

// Bitmaps larger than this many bytes of pixels are refused.
constexpr ULONGLONG kMaxDibBytes = 256ull * 1024 * 1024;

}  // namespace platform
