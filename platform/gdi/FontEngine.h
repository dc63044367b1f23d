// Glyphs from FreeType over the DejaVu fonts: a logical font (face, height, weight, italic,
// quality) becomes a sized font instance whose metrics and rasterised glyphs are cached.
// Faces are chosen by family ("DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono"; other
// names by their kind: mono and courier faces take the mono font, serif and times faces the
// serif one, every other name the sans one), with bold and italic files where installed
// and synthetic emboldening and slant where not. Fonts of ANTIALIASED_QUALITY and
// CLEARTYPE_QUALITY are drawn smooth (256 coverage levels), all others in two levels.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/base/Types.h"
#include "platform/gdi/Font.h"

namespace platform::gdi {

struct Glyph {
    int left = 0;  // from the pen position to the bitmap's first column
    int top = 0;   // from the baseline up to the bitmap's first row
    int width = 0;
    int rows = 0;
    int advance = 0;                     // whole pixels
    std::vector<std::uint8_t> coverage;  // rows × width, 0 to 255
};

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int height = 0;
    int internalLeading = 0;
    int externalLeading = 0;
    int averageWidth = 0;
    int maxWidth = 0;
    int emPixels = 0;
    int underlinePosition = 0;  // below the baseline
    int underlineThickness = 1;
    int strikeoutPosition = 0;  // above the baseline
    BYTE pitchAndFamily = 0;    // as TEXTMETRICW has it
};

class FontInstance {
public:
    virtual ~FontInstance() = default;
    virtual const FontMetrics& Metrics() const = 0;
    // The glyph of a code point (the font's missing-glyph box when it has none). The
    // reference stays valid until the engine's lock is released.
    virtual const Glyph& GlyphOf(char32_t code) = 0;
};

// Held by every text call while it uses instances and glyphs.
std::mutex& FontEngineMutex();
// The instance for a logical font, under FontEngineMutex; null when no font file of the
// family can be loaded. Valid until the lock is released.
FontInstance* FindFontInstance(const LOGFONTW& font);
// The character height that a logical font of height 0 gets: 9 points at the display's
// density.
int DefaultFontHeight();

}  // namespace platform::gdi
