// Shadowed text and text boxes.
#include "game/ui/text/ShadowedText.h"

#include "engine/core/text/EngineWString.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/text/TextRef.h"

namespace {

constexpr std::int32_t kFirstCharacterBreakLanguage = 20;
constexpr std::int32_t kLastCharacterBreakLanguage = 22;

std::int32_t textLanguage = 0;

// The drawn characters as a string of their own: `length` may stop short of the terminator,
// and the caller's buffer may change while a frame is drawn.
EngineWString CopyOf(const WCHAR* text, std::int32_t length) {
    std::int32_t available = 0;
    while (text[available] != 0) ++available;
    if (length < 0 || length > available) length = available;
    return EngineWString::FromRange(text, static_cast<std::size_t>(length));
}

}  // namespace

bool BreaksByCharacter(std::int32_t language) {
    return language >= kFirstCharacterBreakLanguage && language <= kLastCharacterBreakLanguage;
}

void SetTextLanguage(std::int32_t language) { textLanguage = language; }

std::int32_t TextLanguage() { return textLanguage; }

void DrawShadowedText(Canvas2D* canvas, float x, float y, const WCHAR* text, std::int32_t length, BitmapFont* font,
                      DWORD textColour, DWORD shadowColour, const float (&shadowOffset)[2], DWORD alignFlags,
                      float scale) {
    if (canvas == nullptr || text == nullptr) return;
    EngineWString copy = CopyOf(text, length);
    const TextRef reference = TextRefFromText(&copy);
    DrawText(canvas, x - shadowOffset[0], y - shadowOffset[1], reference, font, shadowColour, alignFlags, scale);
    DrawText(canvas, x, y, reference, font, textColour, alignFlags, scale);
}

void DrawTextBox(Canvas2D* canvas, float x, float y, float width, float height, const WCHAR* text, BitmapFont* font,
                 DWORD textColour, DWORD shadowColour, const float (&shadowOffset)[2], DWORD alignFlags, float scale,
                 float extraLineSpacing) {
    if (canvas == nullptr || text == nullptr) return;
    EngineWString copy = CopyOf(text, -1);
    const TextRef reference = TextRefFromText(&copy);
    const int breakRule = BreaksByCharacter(textLanguage) ? 1 : 0;
    DrawTextBlock(canvas, x - shadowOffset[0], y - shadowOffset[1], width, height, reference, font, shadowColour,
                  alignFlags, scale, extraLineSpacing, breakRule);
    DrawTextBlock(canvas, x, y, width, height, reference, font, textColour, alignFlags, scale, extraLineSpacing,
                  breakRule);
}
