// GlyphRun: a line of text laid out as glyph quads in a font, in the 2D vertex of the render
// device, ready to be drawn with one batch. Table entries keep one each; the 2D drawing lays
// texts out into one shared run of 64 glyphs.
#pragma once

#include <cstdint>

#include "engine/render/RenderTypes.h"
#include "platform/base/Types.h"

class BitmapFont;
struct TextRef;

// A table entry's run holds at most this many glyphs; a longer text is cut there.
constexpr std::uint32_t kTableRunGlyphs = 1024;
// The shared run of the 2D drawing, and the most glyphs one batch draws.
constexpr std::uint32_t kSharedRunGlyphs = 64;

struct GlyphRun {
    float width = 0.0f;       // the pen after the last glyph, font pixels
    float lineHeight = 0.0f;  // the font's
    std::uint32_t count = 0;
    ImmediateVertex* quads = nullptr;  // four vertices a glyph: top-left, top-right, bottom-right, bottom-left
    BitmapFont* font = nullptr;        // not owned
    std::uint32_t capacity = 0;        // glyphs the quads have room for
};

// A run with room for `capacity` glyphs; null when memory runs out.
GlyphRun* NewGlyphRun(std::uint32_t capacity);
void DeleteGlyphRun(GlyphRun* run);

// Lays out the first `length` characters, at most the run's capacity, from a pen at 0: each
// quad spans from the pen less the glyph's left offset to the pen plus the font's glyph size
// (the advance for ".fnt" fonts, whose glyph size is 0), over the line height, in white with
// the glyph's corners; the pen moves by the advance (with tracking) plus the left offset.
void LayOutGlyphRun(GlyphRun& run, const WCHAR* text, std::uint32_t length, BitmapFont& font);

// The font that table entries are laid out in and that drawing falls back to; the overlay
// installs its system font here.
void SetSystemFont(BitmapFont* font);
BitmapFont* SystemFont();

// True when a '%' after the first character follows something other than '%' and is the
// last character or is followed by something other than '%': such a text is formatted
// before it is shown, so it is not laid out ahead.
bool IsFormatText(const WCHAR* text, std::uint32_t length);

// A new run of the text in the system font, cut at kTableRunGlyphs; null for an empty or
// format text, without a system font, or when memory runs out.
GlyphRun* BuildGlyphRun(const WCHAR* text, std::uint32_t length);

// The shared 64-glyph run: made by the canvas's start, freed at shutdown. 1 / 0.
int CreateGlyphBuffer();
void FreeGlyphBuffer();
GlyphRun* SharedGlyphRun();
// Lays out the reference's text into the run (font null: the system font); 0 when the text
// is empty or there is no font, else 1.
int FillGlyphRun(GlyphRun& run, const TextRef& text, BitmapFont* font);
