// The 2D drawing primitives: brush quads (plain, rotated, mirrored, nine-slice) and text
// from glyph runs. Positions are canvas units: the canvas's origin offset is added and the
// canvas's scale applied to quads; text is placed at the canvas offset and the screen
// origin in font pixels times its scale.
#pragma once

#include <cstdint>

#include "engine/core/object/Interface.h"
#include "platform/base/Types.h"

class BitmapFont;
class Canvas2D;
struct Brush;
struct GlyphRun;
struct TextRef;

// Text flags.
constexpr DWORD kTextRight = 0x1;         // x is the right end
constexpr DWORD kTextCentre = 0x2;        // x is the middle
constexpr DWORD kTextMiddle = 0x4;        // y is the middle
constexpr DWORD kTextBottom = 0x8;        // y is the bottom
constexpr DWORD kTextRoundPosition = 0x20;  // x and y to whole pixels first
constexpr DWORD kTextOneLine = 0x40;      // text blocks: no wrapping
constexpr DWORD kTextTurn90 = 0x100;
constexpr DWORD kTextTurn180 = 0x200;
constexpr DWORD kTextTurnMinus90 = 0x400;

// One axis-aligned quad of the brush's corner coordinates and colours over the rectangle,
// once per view; `texture`, when given, is bound first. Mode 2 with brush bit 3, else 5
// with bit 2, else 1.
void DrawBrushQuad(Canvas2D* canvas, float x, float y, float width, float height, const Brush* brush,
                   Interface* texture);
// The brush over the rectangle, turned by `angle` degrees about its middle, once per view;
// a textured nine-slice brush is drawn once as a 4 x 4 grid instead, without turning.
void DrawQuad(Canvas2D* canvas, float x, float y, float width, float height, const Brush* brush, float angle);

// One line of at most 64 glyphs in the font (null: the system font), placed by the flags.
void DrawText(Canvas2D* canvas, float x, float y, const TextRef& text, BitmapFont* font, DWORD colour, DWORD flags,
              float scale);
// A keyed text from its table entry's glyph run; other texts as DrawText in the system font.
void DrawTextRef(Canvas2D* canvas, float x, float y, const TextRef& text, DWORD colour, DWORD flags, float scale);
void DrawTextRefWhite(Canvas2D* canvas, float x, float y, const TextRef& text, DWORD flags, float scale);
// The text wrapped to the box width (flag 0x40: one line) in the font, line by line through
// DrawText; the wrap option goes to WrapText (1: by character). With the reversed-lines flag
// the lines run from the last, right-aligned at the box's right edge.
void DrawTextBlock(Canvas2D* canvas, float x, float y, float width, float height, const TextRef& text,
                   BitmapFont* font, DWORD colour, DWORD flags, float scale, float extraLineSpacing, int wrapOption);
void DrawTextBlockDefault(Canvas2D* canvas, float x, float y, float width, float height, const TextRef& text,
                          DWORD colour, DWORD flags, float scale);

// Draws up to 64 glyph quads of the run through the next ring buffer in `colour` (ARGB),
// under the text transform.
void DrawGlyphBatch(const GlyphRun& run, std::uint32_t count, DWORD colour);
