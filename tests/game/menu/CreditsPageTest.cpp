// The credits: one entry every 4 seconds, "[TITLE]" joining the next entry, the logo tags,
// "[PART3]" leading to the closing screen that stays, and the tag split of a closing line.
#include <gtest/gtest.h>

#include "game/menu/CreditsMenuPage.h"
#include "tests/game/menu/GamePageTestSupport.h"

namespace {

using game_page_test::GamePageTest;

class CreditsTest : public GamePageTest {
protected:
    void SetUp() override {
        GamePageTest::SetUp();
        if (HasFatalFailure()) return;
        AddText("CREDITS_001", u"[PART1]");
        AddText("CREDITS_002", u"[TITLE]Programming");
        AddText("CREDITS_003", u"Ada\nGrace");
        AddText("CREDITS_004", u"No tag at all");
        AddText("CREDITS_005", u"[PART2]");
        AddText("CREDITS_006", u"[MUSIC]Someone");
        AddText("CREDITS_007", u"[PART3]");
        AddText("CREDITS_008", u"Thank you for playing");
        WriteMenuFile("Credits.menu", "Credits\n{\nCLASS CreditsMenuPage\n}\n");
        ASSERT_EQ(Menus().LoadMenus(), 1);
        page_ = Show<CreditsMenuPage>("Credits");
        ASSERT_NE(page_, nullptr);
        page_->OnShow(1, 0);
    }
    CreditsMenuPage* page_ = nullptr;
};

TEST_F(CreditsTest, EntriesFollowEveryFourSecondsWithTheirTagsUntilTheClosingScreenStays) {
    page_->Update(16);
    EXPECT_EQ(page_->entryNumber, 1) << "the first entry comes at once";
    EXPECT_EQ(page_->part1, 1u);
    page_->Update(3900);
    EXPECT_EQ(page_->entryNumber, 1);
    page_->Update(200);
    // "[TITLE]" takes the next entry along, one line apart, for one slot.
    EXPECT_EQ(page_->entryNumber, 3);
    EXPECT_EQ(Wide(page_->body.Text()), u"Programming\nAda\nGrace");
    EXPECT_EQ(page_->lineCount, 3);
    EXPECT_EQ(page_->part1, 0u) << "an entry without a logo tag ends the logo";
    page_->Update(4100);
    EXPECT_EQ(Wide(page_->body.Text()), u"No tag at all") << "shown whole";
    EXPECT_EQ(page_->lineCount, 0);
    page_->Update(4100);
    EXPECT_EQ(page_->part2, 1u);
    page_->Update(4100);
    EXPECT_EQ(Wide(page_->body.Text()), u"Someone") << "an unknown tag shows no logo";
    EXPECT_EQ(page_->part2, 0u);

    page_->Update(4100);
    EXPECT_EQ(page_->entryNumber, 7);
    EXPECT_EQ(page_->part3, 1u);
    page_->Update(16);
    EXPECT_EQ(page_->entryNumber, 8) << "the closing entry follows at the next frame";
    EXPECT_EQ(Wide(page_->body.Text()), u"Thank you for playing");
    EXPECT_EQ(page_->finalLatch, 1u);
    page_->Update(3500);
    EXPECT_FLOAT_EQ(page_->EntryAlpha(), 1.0f) << "the closing screen does not fade out";
    page_->Update(20000);
    EXPECT_EQ(page_->entryNumber, 8) << "and stays";

    // Shown again, the credits start over.
    page_->OnShow(1, 0);
    EXPECT_EQ(page_->part3, 0u);
    page_->Update(16);
    EXPECT_EQ(page_->entryNumber, 1);
}

TEST_F(CreditsTest, EntriesFadeInAndOutAndAMissingEntryShowsTheFallbackText) {
    page_->Update(16);
    page_->timer = 0.5f;
    EXPECT_FLOAT_EQ(page_->EntryAlpha(), 0.5f);
    EXPECT_FLOAT_EQ(page_->EntryGrow(), 0.5f);
    page_->timer = 3.25f;
    EXPECT_FLOAT_EQ(page_->EntryAlpha(), 0.75f);
    EXPECT_FLOAT_EQ(page_->EntryGrow(), 1.0f);

    page_->entryNumber = 40;
    page_->NextEntry();
    EXPECT_EQ(Wide(page_->body.Text()), std::u16string(kUnknownText));
}

TEST(CreditsEntry, SplitsAtTheFirstBracketAndClosingLinesKeepShortTexts) {
    struct Case {
        const char16_t* text;
        const char16_t* tag;
        const char16_t* body;
    };
    const Case cases[] = {
        {u"[PART3]Thanks", u"[PART3]", u"Thanks"},
        {u"[TITLE]", u"[TITLE]", u""},
        {u"a]b]c", u"a]", u"b]c"},
        {u"Short", u"", u"Short"},
        {u"", u"", u""},
    };
    for (const Case& c : cases) {
        const CreditsEntry entry = SplitCreditsEntry(c.text);
        EXPECT_EQ(std::u16string(entry.tag.Text()), c.tag) << std::string(c.text, c.text + 0);
        EXPECT_EQ(std::u16string(entry.body.Text()), c.body);
    }
    // A closing line shorter than its tag would be shown whole, never as an empty text.
    EXPECT_EQ(std::u16string(ClosingLine(u"[PART3]Danke").Text()), u"Danke");
    EXPECT_EQ(std::u16string(ClosingLine(u"Merci").Text()), u"Merci");
    EXPECT_EQ(std::u16string(ClosingLine(nullptr).Text()), u"");
}

}  // namespace
