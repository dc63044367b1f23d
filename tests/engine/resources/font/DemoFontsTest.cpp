// Fonts rendered from their descriptions as the data build renders them load as the engine's
// fonts: the shipped system font (data/game/archives/startup/gfx/fonts) as a measured grid, and
// a larger one in the packed form (testdata/; the game ships none) from its .fnt file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/resources/font/BitmapFont.h"
#include "tests/engine/resources/font/FontTestSupport.h"
#include "tools/make_font/FontSheet.h"

namespace {

class DemoFontsTest : public font_test::FontTest {
protected:
    // Renders <folder>/<name>.font (the shipped fonts' folder by default) into the data folder
    // under gfx/fonts/.
    void Render(const std::string& name, const std::string& folder = "data/game/archives/startup/gfx/fonts") {
        const std::filesystem::path source = std::filesystem::path(HANDSET_SOURCE_DIR) / folder / (name + ".font");
        std::ifstream in(source, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        FontDescription description;
        FontSheet sheet;
        std::string error;
        ASSERT_TRUE(ParseFontDescription(text, &description, &error)) << name << ": " << error;
        ASSERT_TRUE(RenderFontSheet(description, kDejaVuFontFolder, &sheet, &error)) << name << ": " << error;
        const std::string base = "gfx/fonts/" + name;
        WriteFile(base + ".tga", EncodeTga(sheet.page));
        if (description.grid) {
            WriteFile(base + ".tga.ddsx", EncodeDds(sheet.page));
        } else {
            WriteFile(base + ".ddsx", EncodeDds(sheet.page));
            WriteFile(base + ".fnt", EncodeGlyphFile(sheet));
        }
    }
};

TEST_F(DemoFontsTest, TheSystemFontIsAMeasuredGridOfLatin1) {
    Render("sysfont");
    BitmapFont font;
    ASSERT_EQ(font.LoadFont("gfx/fonts/sysfont.tga", 256, 256, 16, 16, 16, 16, 0), 1);
    EXPECT_EQ(font.GlyphCount(), 256u);
    EXPECT_EQ(font.LineHeight(), 16.0f);
    EXPECT_EQ(font.GetGlyphAdvance(u' '), 8.0f);  // an empty cell
    // Glyphs start in the cell's second column: no left offset, and "W" is wider than "i".
    for (WCHAR character : {u'H', u'i', u'W', u'\u00E9'}) {
        float advance = 0.0f;
        float left = -1.0f;
        font.GetGlyphMetrics(character, &advance, &left);
        EXPECT_EQ(left, 0.0f) << static_cast<int>(character);
        EXPECT_GT(advance, 3.0f) << static_cast<int>(character);
        EXPECT_LE(advance, 16.0f) << static_cast<int>(character);
    }
    EXPECT_GT(font.GetGlyphAdvance(u'W'), font.GetGlyphAdvance(u'i'));
}

TEST_F(DemoFontsTest, TheLargeFontComesFromItsGlyphFile) {
    Render("large", "tests/engine/resources/font/testdata");
    BitmapFont font;
    ASSERT_EQ(font.LoadFont("gfx/fonts/large.tga", 0, 0, 0, 0, 0, 0, 0), 1);
    EXPECT_GT(font.GlyphCount(), 190u);
    EXPECT_EQ(font.GlyphSize(), 0.0f);
    EXPECT_GE(font.LineHeight(), 24.0f);
    EXPECT_NE(font.GlyphNumber(u'\u20AC'), 0u);  // the euro sign has a glyph of its own
    float width = 0.0f;
    font.Measure(u"Quorvane", &width, nullptr);
    EXPECT_GT(width, 80.0f);
    EXPECT_LT(width, 200.0f);
}

}  // namespace
