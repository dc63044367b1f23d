// Text references: construction, their text through the table, release and measuring.
#include "engine/overlay/text/TextRef.h"

#include "engine/core/text/EngineString.h"
#include "engine/core/text/EngineWString.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/overlay/text/TextTable.h"
#include "engine/resources/font/BitmapFont.h"

TextRef TextRefFromText(EngineWString* text) { return TextRef{0, nullptr, text}; }

TextRef TextRefFromKey(EngineString* key, int owned) { return TextRef{owned != 0 ? kTextRefOwned : 0, key, nullptr}; }

TextRef TextRefCopy(const TextRef& other) { return TextRef{0, other.key, other.text}; }

void TextRefClear(TextRef& reference) { reference = TextRef{}; }

const WCHAR* TextRefGetText(const TextRef& reference) {
    if (reference.text != nullptr) return reference.text->Text();
    if (reference.key != nullptr) return TextTableFind(GlobalTextTable(), reference.key->Text(), nullptr);
    return nullptr;
}

std::uint32_t TextRefGetLength(const TextRef& reference) {
    if (reference.text != nullptr) return reference.text->Length();
    std::uint32_t length = 0;
    if (reference.key != nullptr) TextTableFind(GlobalTextTable(), reference.key->Text(), &length);
    return length;
}

void ReleaseTextRef(TextRef& reference) {
    if ((reference.flags & kTextRefOwned) == 0) return;
    EngineString::Delete(reference.key);
    EngineWString::Delete(reference.text);
    reference.key = nullptr;
    reference.text = nullptr;
}

float MeasureText(const TextRef& reference, BitmapFont* font, float scale) {
    if (reference.text == nullptr && reference.key != nullptr) {
        if (const GlyphRun* run = FindTextGlyphRun(reference.key->Text())) return run->width * scale;
    }
    const WCHAR* text = TextRefGetText(reference);
    const std::uint32_t length = TextRefGetLength(reference);
    if (font == nullptr) font = SystemFont();
    if (text == nullptr || length == 0 || font == nullptr) return 0.0f;
    float width = 0.0f;
    font->MeasureN(text, static_cast<std::int32_t>(length > 0x7FFFFFFF ? 0x7FFFFFFF : length), &width, nullptr);
    return width * scale;
}

std::int32_t FindWideText(const WCHAR* text, const WCHAR* part) {
    if (text == nullptr || part == nullptr || text[0] == 0 || part[0] == 0) return -1;
    for (std::int32_t start = 0; text[start] != 0 && start < 0x7FFFFFFF; ++start) {
        std::int32_t i = 0;
        while (part[i] != 0 && text[start + i] == part[i]) ++i;
        if (part[i] == 0) return start;
    }
    return -1;
}

bool IsBlankOrTab(WCHAR character) { return character == u' ' || character == u'\t'; }
