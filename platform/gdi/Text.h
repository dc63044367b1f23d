// Text output with the font selected into a device context: metrics, extents, ExtTextOutW
// and DrawTextW (single lines, several lines and word wrapping, alignment, ellipses,
// measuring with DT_CALCRECT). Glyphs are blended into the target in the text colour; in
// OPAQUE background mode the text's cell is first filled with the background colour.
#pragma once

#include "platform/base/Types.h"

struct TEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    WCHAR tmFirstChar;
    WCHAR tmLastChar;
    WCHAR tmDefaultChar;
    WCHAR tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};
using LPTEXTMETRICW = TEXTMETRICW*;

// tmPitchAndFamily bits
constexpr BYTE TMPF_FIXED_PITCH = 0x01;  // set for proportional fonts, as the handset has it
constexpr BYTE TMPF_VECTOR = 0x02;
constexpr BYTE TMPF_TRUETYPE = 0x04;

// ExtTextOutW options
constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;

// DrawTextW formats
constexpr UINT DT_TOP = 0x00000000;
constexpr UINT DT_LEFT = 0x00000000;
constexpr UINT DT_CENTER = 0x00000001;
constexpr UINT DT_RIGHT = 0x00000002;
constexpr UINT DT_VCENTER = 0x00000004;
constexpr UINT DT_BOTTOM = 0x00000008;
constexpr UINT DT_WORDBREAK = 0x00000010;
constexpr UINT DT_SINGLELINE = 0x00000020;
constexpr UINT DT_EXPANDTABS = 0x00000040;
constexpr UINT DT_NOCLIP = 0x00000100;
constexpr UINT DT_CALCRECT = 0x00000400;
constexpr UINT DT_NOPREFIX = 0x00000800;
constexpr UINT DT_END_ELLIPSIS = 0x00008000;
constexpr UINT DT_WORD_ELLIPSIS = 0x00040000;

// The selected font's metrics (ascent and descent rounded up to whole pixels). FALSE for an
// unknown context or when no font file is installed.
BOOL GetTextMetricsW(HDC dc, LPTEXTMETRICW metrics);
// The width of the characters' advances and the font's height.
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size);
// Draws count characters at (x, y) as the text alignment says (TA_LEFT, TA_CENTER or
// TA_RIGHT; TA_TOP, TA_BASELINE or TA_BOTTOM). ETO_OPAQUE fills rect with the background
// colour first; ETO_CLIPPED keeps the text inside rect. dx, when given, holds the advance
// of each character.
BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const int* dx);
// Draws text (count -1: up to its terminator) in rect. Lines break at CR, LF and CR LF,
// and with DT_WORDBREAK at blanks where a line would be wider than rect; DT_SINGLELINE
// draws one line, which DT_VCENTER and DT_BOTTOM place vertically. A line wider than rect
// ends in "..." with DT_END_ELLIPSIS or DT_WORD_ELLIPSIS. Without DT_NOPREFIX "&" is
// dropped and "&&" gives "&" (no underline is drawn). DT_EXPANDTABS sets tab stops every
// eight average character widths. Without DT_NOCLIP drawing stays inside rect. With
// DT_CALCRECT nothing is drawn and rect's right and bottom are set to bound the text.
// Returns the height of the text (from rect's top for DT_VCENTER and DT_BOTTOM), 0 on
// failure.
int DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format);
