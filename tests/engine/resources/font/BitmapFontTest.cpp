// Bitmap fonts: grid cells measured from their alpha in 32- and 16-bit images, ".fnt" glyph
// files, tracking, and fonts refused without reading outside their tables or images.
#include <gtest/gtest.h>

#include <memory>

#include "engine/resources/font/BitmapFont.h"
#include "tests/engine/resources/font/FontTestSupport.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

using font_test::FontTest;
using font_test::GlyphEntry;
using font_test::MakeGlyphFile;

struct FontDeleter {
    void operator()(BitmapFont* font) const { delete font; }
};
using FontPointer = std::unique_ptr<BitmapFont, FontDeleter>;

FontPointer NewFont() {
    FontPointer font(new BitmapFont);
    EXPECT_NE(font, nullptr);
    return font;
}

GlyphMetrics MetricsOf(const BitmapFont& font, WCHAR character) {
    GlyphMetrics metrics{-1.0f, -1.0f};
    font.GetGlyphMetrics(character, &metrics.advance, &metrics.leftOffset);
    return metrics;
}

TEST_F(FontTest, ANewFontHasTwelvePixelCellsAndNoGlyphs) {
    FontPointer font = NewFont();
    EXPECT_EQ(font->GlyphSize(), 12.0f);
    EXPECT_EQ(font->LineHeight(), 12.0f);
    EXPECT_EQ(font->GetTracking(), 0.0f);
    float width = -1.0f;
    float height = -1.0f;
    font->Measure(u"abc", &width, &height);
    EXPECT_EQ(width, 0.0f);
    EXPECT_EQ(height, 12.0f);
    font->SelectGlyph(u'a');
    EXPECT_EQ(font->CurrentGlyph().uv[2], 0.0f);
}

// Two 16-pixel cells: character 0 empty, character 1 with one visible column at x = 5.
TEST_F(FontTest, GridCellsMeasureTheirVisibleColumnsByPixelDepth) {
    struct Case {
        const char* name;
        bool sixteenBit;
        float advance;  // of the one-column glyph
    };
    const Case cases[] = {{"grid32.tga", false, 3.0f}, {"grid16.dds", true, 1.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const font_test::Pixels column{{16 + 5, 3}, {16 + 5, 9}};
        if (c.sixteenBit)
            WriteGrid16(c.name, 32, 16, column);
        else
            WriteGrid32(c.name, 32, 16, column);
        WritePage(std::string(c.name) + ".ddsx");
        FontPointer font = NewFont();
        ASSERT_EQ(font->LoadFont(c.name, 32, 16, 2, 1, 16, 16, 0), 1);
        EXPECT_EQ(font->GlyphCount(), 2u);
        EXPECT_EQ(font->GlyphSize(), 16.0f);
        EXPECT_EQ(font->LineHeight(), 16.0f);

        const GlyphMetrics empty = MetricsOf(*font, 0);
        EXPECT_EQ(empty.advance, 8.0f);
        EXPECT_EQ(empty.leftOffset, 0.0f);
        const GlyphMetrics one = MetricsOf(*font, 1);
        EXPECT_EQ(one.advance, c.advance);
        EXPECT_EQ(one.leftOffset, 4.0f);

        // Corners of the second cell, top-left round to bottom-left; characters without a
        // cell show glyph 0.
        font->SelectGlyph(1);
        const float expected[8] = {0.5f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.5f, 1.0f};
        for (int i = 0; i < 8; ++i) EXPECT_EQ(font->CurrentGlyph().uv[i], expected[i]) << i;
        font->SelectGlyph(u'Z');
        EXPECT_EQ(font->CurrentGlyph().uv[2], 0.5f);
        EXPECT_EQ(font->GetGlyphAdvance(u'Z'), 8.0f);
    }
}

TEST_F(FontTest, TrackingCountsInMeasuresAndMetricsButNotInTheBareAdvance) {
    WriteGrid32("track.tga", 32, 16, {{16 + 5, 0}});
    WritePage("track.tga.ddsx");
    FontPointer font = NewFont();
    ASSERT_EQ(font->LoadFont("track.tga", 32, 16, 2, 1, 16, 16, 0), 1);
    font->SetTracking(2.0f);
    const WCHAR text[] = {0, 1, 1, 0};
    float width = 0.0f;
    float height = 0.0f;
    font->MeasureN(text, 3, &width, &height);
    EXPECT_EQ(width, 8.0f + 3.0f + 3.0f + 6.0f);
    EXPECT_EQ(height, 16.0f);
    font->MeasureN(text, 0, &width, &height);
    EXPECT_EQ(width, 0.0f);
    font->MeasureN(nullptr, 3, &width, &height);
    EXPECT_EQ(width, 0.0f);
    EXPECT_EQ(font->GetGlyphAdvance(1), 3.0f);
    EXPECT_EQ(MetricsOf(*font, 1).advance, 5.0f);
    float advance = 0.0f;
    EXPECT_EQ(font->SelectGlyphWidth(1, &advance), 3.0f);
    EXPECT_EQ(advance, 3.0f);
}

TEST_F(FontTest, GlyphFilesMapEveryCodeUnitAndTheLaterEntryWins) {
    WriteGrid32("menu.tga", 8, 8, {});
    WritePage("menu.ddsx");
    // Code unit 0xFFFF has its own entry: the index holds all 65,536 code units.
    WriteFile("menu.fnt", MakeGlyphFile(20,
                                        {{0, 0, 65535, 32767, 11, u'A'},
                                         {13107, 0, 26214, 65535, 7, u'A'},
                                         {100, 200, 300, 400, 9, 0xFFFF}},
                                        3));
    FontPointer font = NewFont();
    ASSERT_EQ(font->LoadFont("menu.tga", 0, 0, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(font->GlyphSize(), 0.0f);
    EXPECT_EQ(font->LineHeight(), 20.0f);
    EXPECT_EQ(font->GlyphNumber(u'A'), 1u);
    EXPECT_EQ(font->GetGlyphAdvance(u'A'), 7.0f);
    EXPECT_EQ(MetricsOf(*font, u'A').leftOffset, 0.0f);
    font->SelectGlyph(u'A');
    EXPECT_FLOAT_EQ(font->CurrentGlyph().uv[0], 0.2f);
    EXPECT_FLOAT_EQ(font->CurrentGlyph().uv[2], 0.4f);
    EXPECT_FLOAT_EQ(font->CurrentGlyph().uv[5], 1.0f);
    EXPECT_EQ(font->GlyphNumber(0xFFFF), 2u);
    EXPECT_EQ(font->GetGlyphAdvance(0xFFFF), 9.0f);
    // Unmapped characters show glyph 0.
    EXPECT_EQ(font->GetGlyphAdvance(u'q'), 11.0f);
}

TEST_F(FontTest, FontsThatCannotBeReadWhollyAreRefusedAndStaySafeToUse) {
    WriteGrid32("plain.tga", 64, 64, {{1, 1}});
    WriteGrid32("small.tga", 128, 128, {{127, 127}});
    WritePage("small.tga.ddsx");
    WriteFile("rgb.tga", render_test::MakeTga(2, 16, 0x20, 16, 16, std::vector<std::uint8_t>(16 * 16 * 2, 0xFF)));
    WritePage("rgb.tga.ddsx");
    WriteGrid32("empty.tga", 8, 8, {});
    WritePage("empty.ddsx");
    WriteFile("empty.fnt", MakeGlyphFile(12, {}, 0));
    WriteGrid32("short.tga", 8, 8, {});
    WritePage("short.ddsx");
    WriteFile("short.fnt", MakeGlyphFile(12, {{0, 0, 1, 1, 5, u'A'}}, 2));
    WriteGrid32("nopage.tga", 8, 8, {});
    WriteFile("nopage.fnt", MakeGlyphFile(12, {{0, 0, 1, 1, 5, u'A'}}, 1));

    struct Case {
        const char* what;
        const char* name;
        std::int32_t columns, rows, cell;
    };
    const Case cases[] = {
        {"no image", "missing.tga", 16, 16, 16},
        {"16 x 16 cells of 16 pixels on a 128-pixel image", "small.tga", 16, 16, 16},
        {"a grid without cells", "small.tga", 0, 16, 16},
        {"an image without alpha", "rgb.tga", 1, 1, 16},
        {"a grid image without its page", "plain.tga", 4, 4, 16},
        {"a glyph file without glyphs", "empty.tga", 0, 0, 0},
        {"a glyph file shorter than its count", "short.tga", 0, 0, 0},
        {"a glyph file without its page", "nopage.tga", 0, 0, 0},
    };
    engine_test::CapturedLog log;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FontPointer font = NewFont();
        EXPECT_EQ(font->LoadFont(c.name, 128, 128, c.columns, c.rows, c.cell, c.cell, 0), 0);
        // Whatever was left, every character measures and selects inside the tables.
        for (WCHAR character : {WCHAR{0}, WCHAR{u'A'}, WCHAR{0xFFFF}}) {
            font->SelectGlyph(character);
            (void)font->GetGlyphAdvance(character);
        }
        float width = -1.0f;
        font->Measure(u"AZ", &width, nullptr);
        EXPECT_GE(width, 0.0f);
    }
    // A font without glyphs draws no text at all: the log names the file that is wrong.
    EXPECT_EQ(log.Count("empty.fnt is not a glyph file"), 1) << log.Text();
    EXPECT_EQ(log.Count("short.fnt is not a glyph file"), 1) << log.Text();
    EXPECT_EQ(log.Count("nopage.ddsx cannot be loaded"), 1) << log.Text();
}

TEST_F(FontTest, AGridOffsetPastTheCellsShowsGlyphZero) {
    WriteGrid32("offset.tga", 32, 16, {{16 + 5, 0}});
    WritePage("offset.tga.ddsx");
    FontPointer font = NewFont();
    ASSERT_EQ(font->LoadFont("offset.tga", 32, 16, 2, 1, 16, 16, 1), 1);
    EXPECT_EQ(font->GlyphNumber(0), 1u);
    EXPECT_EQ(font->GlyphNumber(1), 2u);
    EXPECT_EQ(font->GetGlyphAdvance(0), 3.0f);
    EXPECT_EQ(font->GetGlyphAdvance(1), 8.0f);
}

}  // namespace
