// Block transfers between device contexts, pattern fills and rectangle fills. Raster
// operations work on colours: each of the 256 ternary operations of the brush (pattern),
// source and destination is applied to the 24-bit colours, and the result is stored in
// the destination's format (the nearest colour of its table for indexed bitmaps).
#pragma once

#include "platform/base/Types.h"

// Raster operations
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;
constexpr DWORD MERGECOPY = 0x00C000CA;
constexpr DWORD MERGEPAINT = 0x00BB0226;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATPAINT = 0x00FB0A09;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

// Copies width × height pixels from (sourceX, sourceY) of source to (x, y) of dc through
// the raster operation. Pixels outside either context's bitmap (or window) are left out.
// source may be null for operations that do not read it. FALSE for an unknown context, or
// a null source where the operation needs one.
BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop);
// The same with scaling: each destination pixel takes the source pixel under its centre;
// a negative width or height mirrors.
BOOL StretchBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, int sourceWidth,
                int sourceHeight, DWORD rop);
// A raster operation of the selected brush and the destination (PATCOPY, PATINVERT,
// DSTINVERT, BLACKNESS, WHITENESS ...). A hollow brush paints nothing.
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
// Fills the rectangle (right and bottom excluded) with the brush; a hollow brush paints
// nothing. Returns nonzero on success.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
