// The awards page: the badge a button shows, the selection with its sound, and leaving the
// page marking the new awards seen and saving them.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/app/Application.h"
#include "engine/overlay/menu/MenuStyle.h"
#include "engine/overlay/menu/PageDescription.h"
#include "game/menu/AwardsMenuPage.h"
#include "tests/game/menu/GamePageTestSupport.h"

namespace {

using game_page_test::GamePageTest;

class AwardsTest : public GamePageTest {
protected:
    void SetUp() override {
        GamePageTest::SetUp();
        if (HasFatalFailure()) return;
        WriteMenuFile("Awards.menu", "Awards\n{\nCLASS AwardsMenuPage\n"
                                     "BUTTON\n{\nNAME AWARD1\nPOS 160 8\nSIZE 128 128\nON_CLICK ShowAwardText 0\n}\n}\n");
        ASSERT_EQ(Menus().LoadMenus(), 1);
        SetSaveFolder("\\save\\");
        profile_.loadState = kUserSaveReady;
    }
    void TearDown() override {
        SetSaveFolder("");
        GamePageTest::TearDown();
    }
    Control* Badge() { return Menus().FindPage("Awards")->FindControlByName("AWARD1"); }
};

TEST_F(AwardsTest, TappingABadgeSelectsItsNumberWithASoundOnlyWhenItChanges) {
    AwardsMenuPage* page = Show<AwardsMenuPage>("Awards");
    ASSERT_NE(page, nullptr);
    page->OnShow(1, 0);
    EXPECT_EQ(page->selected, -1);
    EXPECT_EQ(page->SelectedAward(), -1);
    const std::int32_t played = EffectsPlayed();
    EXPECT_EQ(page->OnButton(Badge(), "ShowAwardText", "4", -1), 0);
    EXPECT_EQ(page->selected, 4);
    EXPECT_EQ(page->SelectedAward(), 6) << "button 4 shows award 6";
    EXPECT_EQ(EffectsPlayed(), played + 1);
    page->OnButton(Badge(), "showawardtext", "4", -1);
    EXPECT_EQ(EffectsPlayed(), played + 1) << "the same badge again is silent";
    // A number outside the grid selects nothing instead of reading past the order table.
    for (const char* argument : {"15", "99", "-2"}) {
        page->OnButton(Badge(), "ShowAwardText", argument, -1);
        EXPECT_EQ(page->selected, -1) << argument;
        EXPECT_EQ(page->SelectedAward(), -1) << argument;
    }
    page->OnButton(Badge(), "ShowAwardText", "14", -1);
    EXPECT_EQ(page->SelectedAward(), 12);
    // The grid: three columns of awards 0-8, two of 9-14.
    float x = 0.0f;
    float y = 0.0f;
    AwardsMenuPage::CellCorner(5, x, y);
    EXPECT_FLOAT_EQ(x, 416.0f);
    EXPECT_FLOAT_EQ(y, 136.0f);
    AwardsMenuPage::CellCorner(14, x, y);
    EXPECT_FLOAT_EQ(x, 672.0f);
    EXPECT_FLOAT_EQ(y, 264.0f);
}

TEST_F(AwardsTest, LeavingThePageMarksNewAwardsSeenAndSavesSoTheStarsShowOnce) {
    profile_.awardWords[0] = 0x4005;  // awards 0, 2 and 14 won
    profile_.awardWord2 = 0x1;        // award 0 seen before
    AwardsMenuPage* page = Show<AwardsMenuPage>("Awards");
    ASSERT_NE(page, nullptr);
    page->OnShow(1, 0);
    EXPECT_EQ(page->unlocked[2], 1u);
    EXPECT_EQ(page->seen[2], 0u) << "new: it has a star";
    EXPECT_EQ(page->seen[0], 1u);
    EXPECT_EQ(page->unlocked[1], 0u);
    page->OnShow(0, 0);
    EXPECT_EQ(profile_.awardWord2, 0x4005u);

    // The file holds the seen bits: the next start reads them back.
    const BYTE key[kUserSaveKeySize] = {};
    PlayerProfile* next = CreatePlayerProfile(key, 1);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->awardWord2, 0x4005u);
    delete next;

    // On the next visit no award is new.
    page->OnShow(1, 0);
    for (std::int32_t k = 0; k < kAwardCount; ++k) EXPECT_FALSE(page->unlocked[k] != 0 && page->seen[k] == 0) << k;
}

TEST_F(AwardsTest, WithoutAProfileEveryAwardIsLockedAndNothingIsWritten) {
    SetProfile(nullptr);
    AwardsMenuPage* page = Show<AwardsMenuPage>("Awards");
    ASSERT_NE(page, nullptr);
    page->OnShow(1, 0);
    for (std::int32_t k = 0; k < kAwardCount; ++k) EXPECT_EQ(page->unlocked[k], 0u);
    page->OnShow(0, 0);
    EXPECT_FALSE(std::filesystem::exists(root_.Path() + "/fs/save/user.sav"));
}

}  // namespace

namespace {

// The shipped style holds every brush the settings, how-to-play, awards and credits pages
// look up, and the ones after them: a brace lost in the file would hide the rest.
TEST_F(AwardsTest, TheDemoStyleHasEveryBrushOfThePages) {
    const std::filesystem::path source = std::filesystem::path(HANDSET_SOURCE_DIR) / "data/game/archives/startup/menus";
    std::filesystem::copy_file(source / "Default.menustyle", root_.Path() + "/fs/data/menus/Shipped.menustyle",
                               std::filesystem::copy_options::overwrite_existing);
    MenuStyle* style = LoadMenuStyle("Shipped");
    ASSERT_NE(style, nullptr);
    std::vector<std::string> names = {"STAR_BRUSH", "STUDIOMARK_BRUSH", "HALVORN_BRUSH", "HERO_BRUSH",
                                      "CONTROLLER_ALPHA_BUTTON", "UFM_UNDERLAY", "BUTTON_UP"};
    for (int n = 1; n <= 15; ++n) {
        names.push_back("AWARD_LOCKED_BRUSH_" + std::to_string(n));
        names.push_back("AWARD_UNLOCKED_BRUSH_" + std::to_string(n));
    }
    for (int n = 1; n <= 14; ++n) names.push_back((n < 10 ? "HOWTOPLAYIMAGE0" : "HOWTOPLAYIMAGE") + std::to_string(n));
    for (const char* arrow : {"LEFT", "RIGHT", "UP", "DOWN"})
        for (const char* look : {"UP", "DOWN", "FOCUSED", "DISABLED"})
            names.push_back(std::string("SCROLL_") + arrow + "_" + look + "_BRUSH");
    for (const std::string& name : names) EXPECT_NE(style->FindBrush(name.c_str()), nullptr) << name;
}

}  // namespace
