// Numbers filled into translated texts without reading them as formats, and bounded printf.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/core/memory/EngineMemory.h"
#include "game/ui/text/ShadowedText.h"
#include "game/ui/text/TextFormat.h"

namespace {

class TextFormatTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(HeapInit(), 0); }
    void TearDown() override { HeapTeardown(); }
};

TEST_F(TextFormatTest, ANumberFillsItsSlotsAndEveryOtherPercentIsText) {
    struct Case {
        const char16_t* text;
        std::int32_t number;
        const char16_t* shown;
    };
    const Case cases[] = {
        {u"%d spheres left", 3, u"3 spheres left"},
        {u"Noch %i Kugeln", 12, u"Noch 12 Kugeln"},
        {u"%2d left, %u in all", 4, u"4 left, 4 in all"},
        {u"100%% of %d", -7, u"100% of -7"},
        {u"%s %n %x %", 5, u"%s %n %x %"},  // never read as conversions
        {u"no number", 9, u"no number"},
        {u"", 1, u""},
        {u"ends in %", 1, u"ends in %"},
    };
    for (const Case& c : cases) {
        const EngineWString shown = FillNumber(c.text, c.number);
        EXPECT_EQ(std::u16string(shown.Text()), std::u16string(c.shown));
    }
    EXPECT_EQ(FillNumber(nullptr, 1).Length(), 0u);
}

TEST_F(TextFormatTest, BoundedFormattingCutsAndTerminates) {
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(FormatBounded(buffer, sizeof buffer, "LEVEL_NAME_%i", 12345), 7u);
    EXPECT_STREQ(buffer, "LEVEL_N");
    EXPECT_EQ(FormatBounded(buffer, sizeof buffer, "%d", 42), 2u);
    EXPECT_STREQ(buffer, "42");
    EXPECT_EQ(FormatBounded(buffer, 1, "%d", 42), 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(FormatBounded(nullptr, 0, "%d", 42), 0u);
}

TEST_F(TextFormatTest, OnlyTheChineseLanguagesBreakBetweenCharacters) {
    const std::pair<std::int32_t, bool> cases[] = {{0, false}, {19, false}, {20, true}, {22, true}, {23, false}};
    for (const auto& [language, breaks] : cases) EXPECT_EQ(BreaksByCharacter(language), breaks) << language;
}

}  // namespace
