// TextRef: how widgets, pages and the HUD hold a text: a key into the text table, or a text
// of their own, which wins when both are set.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

class BitmapFont;
class EngineString;
class EngineWString;

// The reference frees its key and its own text when released.
constexpr DWORD kTextRefOwned = 0x1;

struct TextRef {
    DWORD flags = 0;
    EngineString* key = nullptr;
    EngineWString* text = nullptr;
};

// Not owned.
TextRef TextRefFromText(EngineWString* text);
// Owned when `owned` is non-zero (the key is then an object of its own, EngineString::New).
TextRef TextRefFromKey(EngineString* key, int owned);
// The same key and own text, not owned.
TextRef TextRefCopy(const TextRef& other);
void TextRefClear(TextRef& reference);
// The own text's characters, else the table's text for the key (never null then: a missing
// key gives the fallback text); null with neither.
const WCHAR* TextRefGetText(const TextRef& reference);
// The same text's length; 0 with neither.
std::uint32_t TextRefGetLength(const TextRef& reference);
// An owned reference deletes its key and own text and clears both; an unowned one stays.
void ReleaseTextRef(TextRef& reference);
// The text's width times `scale`: a keyed text's stored glyph-run width, else the font's
// measure (font null: the system font); 0 for an empty text.
float MeasureText(const TextRef& reference, BitmapFont* font, float scale);

// The first position of `part` in `text`; -1 when absent or when either is empty.
std::int32_t FindWideText(const WCHAR* text, const WCHAR* part);
bool IsBlankOrTab(WCHAR character);
