// Logical fonts: LOGFONTW and CreateFontIndirectW. A font object records what it was asked
// for (face, height, weight, style, quality); the text calls (Text.h) draw its glyphs.
#pragma once

#include "platform/base/Types.h"
#include "platform/gdi/GdiObject.h"

constexpr int LF_FACESIZE = 32;

struct LOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};
using LPLOGFONTW = LOGFONTW*;

// Weights
constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_THIN = 100;
constexpr LONG FW_LIGHT = 300;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_MEDIUM = 500;
constexpr LONG FW_SEMIBOLD = 600;
constexpr LONG FW_BOLD = 700;
constexpr LONG FW_HEAVY = 900;

// Character sets
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SYMBOL_CHARSET = 2;

// Qualities
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DRAFT_QUALITY = 1;
constexpr BYTE PROOF_QUALITY = 2;
constexpr BYTE NONANTIALIASED_QUALITY = 3;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE CLEARTYPE_QUALITY = 5;

// A font of the given description; the face name is cut to LF_FACESIZE - 1 characters.
// Null with ERROR_INVALID_PARAMETER for a null description.
HFONT CreateFontIndirectW(const LOGFONTW* font);

namespace platform::gdi {

class FontObject : public GdiObject {
public:
    explicit FontObject(const LOGFONTW& description);
    DWORD Type() const override { return OBJ_FONT; }
    const void* Description(std::size_t* size) const override {
        *size = sizeof m_description;
        return &m_description;
    }
    const LOGFONTW& Font() const { return m_description; }

private:
    LOGFONTW m_description;
};

// A font object not yet entered into the table.
FontObject* MakeFontObject(const LOGFONTW& description);

}  // namespace platform::gdi
