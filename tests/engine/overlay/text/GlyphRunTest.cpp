// Glyph runs and text references: layout in the system font, the run limits, format texts,
// measuring, and who frees what.
#include "engine/core/text/EngineString.h"
#include "engine/core/text/EngineWString.h"
#include "engine/overlay/text/TextRef.h"
#include "tests/engine/overlay/text/TextTestSupport.h"

namespace {

using text_test::TextTest;

TEST_F(TextTest, KeyedTextsAreLaidOutOnceAndLongOnesAreCutAtTheRunLimit) {
    const std::string longText(1500, 'x');
    Parse("SHORT \"Hi!\"\nLONG " + longText + "\nFORMAT \"Level %d\"\n");
    const GlyphRun* run = FindTextGlyphRun("SHORT");
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->count, 3u);
    EXPECT_EQ(run->width, 30.0f);
    EXPECT_EQ(run->lineHeight, 20.0f);
    EXPECT_EQ(run->font, font_);
    // The second glyph: from pen 10 (left offset 0) to 10 + its advance (a ".fnt" font has
    // no glyph size), the whole page, white.
    const ImmediateVertex* quad = run->quads + 4;
    EXPECT_EQ(quad[0].position.x, 10.0f);
    EXPECT_EQ(quad[0].position.y, 0.0f);
    EXPECT_EQ(quad[2].position.x, 20.0f);
    EXPECT_EQ(quad[2].position.y, 20.0f);
    EXPECT_EQ(quad[2].u, 1.0f);
    EXPECT_EQ(quad[3].v, 1.0f);
    EXPECT_EQ(quad[1].colour[3], 255);

    const GlyphRun* cut = FindTextGlyphRun("LONG");
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->count, kTableRunGlyphs);
    EXPECT_EQ(cut->width, 10.0f * kTableRunGlyphs);
    EXPECT_EQ(Find("LONG").size(), 1500u);  // the text itself stays whole

    EXPECT_EQ(FindTextGlyphRun("FORMAT"), nullptr);
}

TEST_F(TextTest, FormatTextsAreThoseWithAPlaceholderAfterTheFirstCharacter) {
    struct Case {
        const char16_t* text;
        bool format;
    };
    const Case cases[] = {
        {u"Level %d", true}, {u"100%", true},   {u"%d points", false}, {u"50%% off", false},
        {u"%", false},       {u"a%%", false},  {u"%%b%c", true},      {u"plain", false},
    };
    for (const Case& c : cases) {
        const std::u16string text(c.text);
        EXPECT_EQ(IsFormatText(text.c_str(), static_cast<std::uint32_t>(text.size())), c.format)
            << std::string(text.begin(), text.end());
    }
}

TEST_F(TextTest, LayoutStopsAtTheRunsRoom) {
    GlyphRun* run = NewGlyphRun(kSharedRunGlyphs);
    ASSERT_NE(run, nullptr);
    LayOutGlyphRun(*run, u"AB", 2, *font_);
    EXPECT_EQ(run->width, 20.0f);
    LayOutGlyphRun(*run, nullptr, 5, *font_);
    EXPECT_EQ(run->count, 0u);
    const std::u16string eighty(80, u'w');
    LayOutGlyphRun(*run, eighty.c_str(), 80, *font_);
    EXPECT_EQ(run->count, kSharedRunGlyphs);
    DeleteGlyphRun(run);
}

TEST_F(TextTest, ReferencesGiveTheirOwnTextFirstAndFreeOnlyWhatTheyOwn) {
    Parse("GREETING \"Hello\"\n");
    const std::size_t blocks = EngineBlockCount();

    TextRef keyed = TextRefFromKey(EngineString::New("GREETING"), 1);
    EXPECT_EQ(std::u16string(TextRefGetText(keyed), TextRefGetLength(keyed)), u"Hello");
    EXPECT_EQ(MeasureText(keyed, nullptr, 0.5f), 25.0f);  // the run's width

    EngineWString own(u"Hi");
    TextRef both = TextRefCopy(keyed);
    both.text = &own;
    EXPECT_EQ(std::u16string(TextRefGetText(both)), u"Hi");
    EXPECT_EQ(TextRefGetLength(both), 2u);
    EXPECT_EQ(MeasureText(both, font_, 2.0f), 40.0f);  // measured in the font
    ReleaseTextRef(both);                               // not owned: nothing happens
    EXPECT_EQ(both.text, &own);

    TextRef none;
    EXPECT_EQ(TextRefGetText(none), nullptr);
    EXPECT_EQ(TextRefGetLength(none), 0u);
    EXPECT_EQ(MeasureText(none, font_, 1.0f), 0.0f);

    ReleaseTextRef(keyed);
    EXPECT_EQ(keyed.key, nullptr);
    EXPECT_EQ(EngineBlockCount(), blocks + 1);  // the own text's buffer is all that is left

    TextRef plain = TextRefFromText(&own);
    EXPECT_EQ(plain.flags, 0u);
    TextRefClear(plain);
    EXPECT_EQ(plain.text, nullptr);

    EXPECT_EQ(FindWideText(u"say hello", u"hello"), 4);
    EXPECT_EQ(FindWideText(u"say hello", u"bye"), -1);
    EXPECT_EQ(FindWideText(u"", u"a"), -1);
    EXPECT_TRUE(IsBlankOrTab(u'\t'));
    EXPECT_FALSE(IsBlankOrTab(u'\n'));
}

TEST_F(TextTest, TheSharedRunTakesAtMost64GlyphsOfAnyText) {
    ASSERT_EQ(CreateGlyphBuffer(), 1);
    GlyphRun* shared = SharedGlyphRun();
    ASSERT_NE(shared, nullptr);
    EngineWString eighty(std::u16string(80, u'w').c_str());
    TextRef reference = TextRefFromText(&eighty);
    EXPECT_EQ(FillGlyphRun(*shared, reference, nullptr), 1);
    EXPECT_EQ(shared->count, 64u);
    EXPECT_EQ(shared->width, 640.0f);
    EngineWString empty(u"");
    reference = TextRefFromText(&empty);
    EXPECT_EQ(FillGlyphRun(*shared, reference, nullptr), 0);
    FreeGlyphBuffer();
    EXPECT_EQ(SharedGlyphRun(), nullptr);
}

}  // namespace
