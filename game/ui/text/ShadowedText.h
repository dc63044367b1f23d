// Text with a drop shadow, one line or wrapped into a box, as the HUD, the results page and
// the menus draw their texts: the shadow first, offset by (-dx, -dy), then the text.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

class BitmapFont;
class Canvas2D;

constexpr DWORD kShadowBlack = 0xFF000000;

// The languages whose texts break between any two characters (the Chinese folders); the
// others break at blanks.
bool BreaksByCharacter(std::int32_t language);
// The language of the texts drawn in boxes; the flow sets it with the player's choice.
void SetTextLanguage(std::int32_t language);
std::int32_t TextLanguage();

// One line: `length` characters of `text` (-1: up to its terminator), in `font` (null: the
// system font), flags as DrawText takes them. Nothing for a null text or canvas.
void DrawShadowedText(Canvas2D* canvas, float x, float y, const WCHAR* text, std::int32_t length, BitmapFont* font,
                      DWORD textColour, DWORD shadowColour, const float (&shadowOffset)[2], DWORD alignFlags,
                      float scale);
// The text wrapped into the box (x, y, width, height); `extraLineSpacing` goes to the block
// drawing unchanged, the break rule follows the text language.
void DrawTextBox(Canvas2D* canvas, float x, float y, float width, float height, const WCHAR* text, BitmapFont* font,
                 DWORD textColour, DWORD shadowColour, const float (&shadowOffset)[2], DWORD alignFlags, float scale,
                 float extraLineSpacing);
