// Tests of WrapText in word and character mode with a font of fixed character widths.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "engine/core/text/WrapText.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

using WrapTest = engine_test::HeapTest;

// Every character is 10 units wide, 'W' is 100; a special value can replace all widths.
class FixedFont : public TextMeasure {
public:
    explicit FixedFont(float special = 0.0f) : special_(special) {}
    float TextWidth(const WCHAR* text, std::size_t count) const override {
        float width = 0.0f;
        for (std::size_t i = 0; i < count; ++i) width += CharacterWidth(text[i]);
        return width;
    }
    float CharacterWidth(WCHAR character) const override {
        if (special_ != 0.0f) return special_;
        return character == u'W' ? 100.0f : 10.0f;
    }

private:
    float special_;
};

std::vector<std::u16string> Wrap(const std::u16string& text, float width, int byCharacter,
                                 const TextMeasure& font = FixedFont(), float scale = 1.0f) {
    EngineWString source(text.c_str());
    KDLList lines;
    EXPECT_EQ(WrapText(source, lines, width, font, scale, byCharacter), 1);
    std::vector<std::u16string> result;
    for (KDLLink* link = lines.head; link != nullptr; link = link->next) {
        auto* line = static_cast<EngineWString*>(link->item);
        result.emplace_back(line->Text(), line->Length());
    }
    ListDeleteAll(lines, EngineWString::DeleteItem);
    return result;
}

using Lines = std::vector<std::u16string>;

TEST_F(WrapTest, WordModeBreaksBetweenWords) {
    const struct {
        const char* what;
        std::u16string text;
        float width;
        Lines expected;
    } cases[] = {
        {"forced break", u"one two|three", 1000, {u"one two", u"three"}},
        {"newline", u"a\nb", 1000, {u"a", u"b"}},
        {"blank line", u"a\n\nb", 1000, {u"a", u"", u"b"}},
        {"fills lines", u"aa bb cc", 55, {u"aa bb", u"cc"}},
        {"leading blanks", u"   aa", 100, {u"aa"}},
        {"wide word alone", u"aa bbbbbbbbbb cc", 35, {u"aa", u"bbbbbbbbbb", u"cc"}},
        {"wide word then break", u"bbbbbbbbbb|cc", 35, {u"bbbbbbbbbb", u"cc"}},
        {"empty", u"", 100, {}},
        {"only blanks", u"  \t ", 100, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Wrap(c.text, c.width, 0), c.expected);
    }
}

TEST_F(WrapTest, WordsLongerThanAnyLineBufferStayWhole) {
    const std::u16string longWord(600, u'x');
    const Lines lines = Wrap(u"a " + longWord + u" b", 50, 0);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], u"a " + longWord);  // a one-character line takes the next word along
    EXPECT_EQ(lines[1], u"b");
    EXPECT_EQ(Wrap(longWord + u"|" + longWord, 1000000, 0), (Lines{longWord, longWord}));
}

TEST_F(WrapTest, CharacterModeFillsBelowTheWidth) {
    const struct {
        const char* what;
        std::u16string text;
        float width;
        Lines expected;
    } cases[] = {
        {"forced break", u"abc|d", 1000, {u"abc", u"d"}},
        {"fills lines", u"abcdef", 35, {u"abc", u"def"}},
        {"blanks after a break", u"ab|  cd", 1000, {u"ab", u"cd"}},
        {"glyph wider than the box", u"WWW", 50, {u"W", u"W", u"W"}},
        {"zero width", u"abc", 0, {u"a", u"b", u"c"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Wrap(c.text, c.width, 1), c.expected);
    }
    EXPECT_EQ(Wrap(u"abcdef", 35, 1, FixedFont(), 0.5f), (Lines{u"abcdef"}));
}

TEST_F(WrapTest, UnmeasurableWidthsStillEnd) {
    for (float special : {std::nanf(""), std::numeric_limits<float>::infinity(), -1.0e30f, 3.0e38f}) {
        SCOPED_TRACE(special);
        FixedFont font(special);
        for (int byCharacter : {0, 1}) {
            const Lines lines = Wrap(u"ab cd|ef", 40, byCharacter, font, 1.0e10f);
            EXPECT_FALSE(lines.empty());
            EXPECT_LE(lines.size(), 8u);
        }
    }
}

}  // namespace
