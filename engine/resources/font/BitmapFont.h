// BitmapFont: text drawn from one texture page. Each character maps to a glyph, each glyph
// to its texture corners and its horizontal metrics. A font comes from a ".fnt" glyph file
// with its page, or, without one, from an image laid out as a grid of equal cells whose
// glyph widths are measured from the image's alpha.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/memory/EngineMemory.h"
#include "engine/resources/texture/TextureHandle.h"
#include "platform/base/Types.h"

// A glyph's texture corners (u, v): top-left, top-right, bottom-right, bottom-left.
struct GlyphCorners {
    float uv[8];
};

// Pixels: the pen's advance, and how far the glyph's image starts left of the pen.
struct GlyphMetrics {
    float advance;
    float leftOffset;
};

// One entry per UTF-16 code unit, 0xFFFF included.
constexpr std::size_t kGlyphIndexSize = 65536;
// The size of one glyph entry of a ".fnt" file and of its header.
constexpr std::size_t kGlyphFileHeaderBytes = 8;
constexpr std::size_t kGlyphFileEntryBytes = 20;

class BitmapFont : public EngineAllocated {
public:
    // Glyph size and line height 12, no glyphs, no tracking.
    BitmapFont();
    BitmapFont(const BitmapFont&) = delete;
    BitmapFont& operator=(const BitmapFont&) = delete;

    // The operations, in their table order.
    // Frees the glyph tables; the page texture stays with the resource cache.
    virtual ~BitmapFont();
    virtual void Unload();
    // Loads the image `name` as the page (pixels kept), then the glyphs of "<base>.fnt" with
    // the page "<base>.ddsx" (base: the name up to its last '.'); without that file, the grid
    // of `columns` x `rows` cells measured from the image, and the page "<name>.ddsx". The
    // grid arguments are used only without a ".fnt" file. 1 on success, 0 on failure: a
    // missing image or page, an image whose pixels carry no alpha (formats other than 5, 7
    // and 8), a ".fnt" file without glyphs or shorter than its count says, and a grid whose
    // cells do not lie within the image.
    virtual int LoadFont(const char* name, std::int32_t imageWidth, std::int32_t imageHeight, std::int32_t columns,
                         std::int32_t rows, std::int32_t cellWidth, std::int32_t cellHeight, std::int32_t glyphOffset);
    // SelectGlyph, then the glyph's advance (also stored in `advance` when given).
    virtual float SelectGlyphWidth(WCHAR character, float* advance);
    // The character's glyph corners become the current glyph.
    virtual void SelectGlyph(WCHAR character);
    virtual void SetTracking(float tracking);
    virtual float GetTracking() const;
    virtual void ReservedOperation8() {}
    virtual int ReservedOperation9() { return 1; }
    virtual int ReservedOperation10() { return 1; }
    // Advance plus tracking, and the left offset.
    virtual void GetGlyphMetrics(WCHAR character, float* advance, float* leftOffset) const;
    // Without tracking.
    virtual float GetGlyphAdvance(WCHAR character) const;
    // The first `count` characters: the sum of advance plus tracking, and the line height;
    // 0 and the line height for a null text or a count below 1.
    virtual void MeasureN(const WCHAR* text, std::int32_t count, float* width, float* height) const;
    // The same up to the terminating 0.
    virtual void Measure(const WCHAR* text, float* width, float* height) const;

    // The glyphs of a ".fnt" image (header and entries, little-endian): 1, or 0 for a file
    // without glyphs or shorter than its glyph count says, which leaves no glyphs.
    int ReadGlyphFile(const std::uint8_t* data, std::size_t size);

    const TextureHandle& Page() const { return page_; }
    const GlyphCorners& CurrentGlyph() const { return current_; }
    float GlyphSize() const { return glyphSize_; }
    float LineHeight() const { return lineHeight_; }
    std::uint32_t GlyphCount() const { return glyphCount_; }
    // The glyph number the index holds for the character (it may name no glyph).
    std::uint32_t GlyphNumber(WCHAR character) const { return glyphIndex_[character]; }

private:
    // The character's glyph: its own, glyph 0 when its number names none (a grid's offset
    // can point past the cells), and empty corners and metrics when the font has no glyphs.
    const GlyphCorners& CornersOf(WCHAR character) const;
    GlyphMetrics MetricsOf(WCHAR character) const;
    std::uint32_t GlyphFor(WCHAR character) const;
    void FreeGlyphs();
    bool AllocateGlyphs(std::uint64_t count);
    int LoadGrid(const char* name, std::int32_t imageWidth, std::int32_t imageHeight, std::int32_t columns,
                 std::int32_t rows, std::int32_t cellWidth, std::int32_t cellHeight, std::int32_t glyphOffset);

    TextureHandle page_;
    GlyphCorners current_{};
    std::int32_t resetWords_[4] = {};
    GlyphCorners* glyphs_ = nullptr;
    GlyphMetrics* metrics_ = nullptr;
    std::uint32_t glyphCount_ = 0;
    std::int32_t glyphOffset_ = 0;
    float glyphSize_ = 12.0f;
    float lineHeight_ = 12.0f;
    float tracking_ = 0.0f;
    std::uint32_t glyphIndex_[kGlyphIndexSize] = {};
};
