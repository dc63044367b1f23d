// The award checks of a recorded level, with the pop-ups they queue in their order.
#include <gtest/gtest.h>

#include <cstring>

#include "game/flow/profile/PlayerProfile.h"
#include "tests/game/flow/FlowFakes.h"

namespace {

using flow_test::InstalledFakes;

class AwardRulesTest : public ::testing::Test {
protected:
    AwardRulesTest() { SetProfile(&profile_); }

    std::vector<std::string> PopupKeys() const {
        std::vector<std::string> keys;
        for (const flow_test::Popup& popup : fakes_.hud.popups) keys.push_back(popup.key);
        return keys;
    }
    // Marks the level done as a recording would, without its checks.
    void MarkDone(std::int32_t level) {
        const std::int32_t world = WorldOfLevel(level);
        profile_.worldFlags[world] |= static_cast<std::uint16_t>(1u << ((level - 8) % 5));
        profile_.worldFlags[world] |= kWorldUnlocked;
        profile_.levels[level - 8].medal = kMedalGold;
    }

    InstalledFakes fakes_;
    PlayerProfile profile_;
};

TEST_F(AwardRulesTest, TheEighthTutorialLevelGrantsAwardZeroOnceWithoutAWorldNotice) {
    for (std::int32_t level = 0; level < 7; ++level) profile_.RecordLevelResult(level, nullptr);
    EXPECT_TRUE(fakes_.hud.popups.empty());
    profile_.RecordLevelResult(7, nullptr);
    ASSERT_EQ(fakes_.hud.popups.size(), 1u);
    EXPECT_EQ(fakes_.hud.popups[0].kind, kPopupAward);
    EXPECT_EQ(fakes_.hud.popups[0].number, 0);
    EXPECT_EQ(fakes_.hud.popups[0].key, "AWARD_NAME_6");
    EXPECT_EQ(profile_.awardWords[0], 0x1u);
    profile_.RecordLevelResult(7, nullptr);
    EXPECT_EQ(fakes_.hud.popups.size(), 1u) << "a replay grants nothing";
}

TEST_F(AwardRulesTest, TheThirdLevelOfAWorldUnlocksTheNextOnce) {
    const LevelScore score{kMedalSilver, 100, 200};
    profile_.worldFlags[2] |= kWorldUnlocked;
    for (std::int32_t level : {13, 14}) profile_.RecordLevelResult(level, &score);
    EXPECT_FALSE(profile_.WorldUnlocked(3));
    profile_.RecordLevelResult(15, &score);
    EXPECT_TRUE(profile_.WorldUnlocked(3));
    ASSERT_EQ(fakes_.hud.popups.size(), 1u);
    EXPECT_EQ(fakes_.hud.popups[0].kind, kPopupWorldUnlocked);
    EXPECT_EQ(fakes_.hud.popups[0].number, 3);
    profile_.RecordLevelResult(16, &score);
    EXPECT_EQ(fakes_.hud.popups.size(), 1u) << "no second unlock notice";
    EXPECT_EQ(profile_.Medal(13), kMedalSilver);
    EXPECT_EQ(profile_.BestScore(13), 300u);
}

TEST_F(AwardRulesTest, TheFirstCompletedWorldQueuesItsNoticeThenAwardSeven) {
    for (std::int32_t level : {18, 19, 20, 21}) MarkDone(level);
    profile_.worldFlags[4] |= kWorldUnlocked;
    profile_.RecordLevelResult(22, nullptr);
    EXPECT_EQ(PopupKeys(), (std::vector<std::string>{"NOTIFICATION_WORLD_COMPLETE", "AWARD_NAME_2"}));
    EXPECT_EQ(fakes_.hud.popups[0].number, 3);
    fakes_.hud.popups.clear();
    for (std::int32_t level : {23, 24, 25, 26}) MarkDone(level);
    profile_.worldFlags[5] |= kWorldUnlocked;
    profile_.RecordLevelResult(27, nullptr);
    EXPECT_EQ(PopupKeys(), (std::vector<std::string>{"NOTIFICATION_WORLD_COMPLETE"}));
}

TEST_F(AwardRulesTest, TheFractionAwardsComeAtTwelveTwentyThreeThirtyFourAndFortyFiveLevels) {
    struct Step {
        int done;
        std::int32_t award;
    };
    const Step steps[] = {{12, 9}, {23, 10}, {34, 11}, {45, 12}};
    // Levels are done world by world, all unlocked, so that only the fractions grant.
    for (std::int32_t world = 1; world <= 9; ++world) profile_.worldFlags[world] |= kWorldUnlocked | kWorldComplete;
    int done = 0;
    for (const Step& step : steps) {
        while (done < step.done - 1) MarkDone(8 + done++);
        EXPECT_FALSE(profile_.HasAward(step.award)) << done << " done";
        profile_.RecordLevelResult(8 + done++, nullptr);
        EXPECT_TRUE(profile_.HasAward(step.award)) << done << " done";
    }
    EXPECT_EQ(45.0f * 0.022222223f, 1.0f);
    EXPECT_EQ(profile_.FractionDone(), 1.0f);
}

TEST_F(AwardRulesTest, TheLastLevelWithAllGoldGrantsAwardFourAfterTheFractions) {
    for (std::int32_t world = 1; world <= 8; ++world) profile_.worldFlags[world] |= kWorldUnlocked | kWorldComplete;
    profile_.worldFlags[9] |= kWorldUnlocked;
    for (std::int32_t level = 8; level < 52; ++level) MarkDone(level);
    profile_.awardWords[0] |= (1u << 9) | (1u << 10) | (1u << 11) | (1u << 13);
    const LevelScore gold{kMedalGold, 500, 500};
    profile_.RecordLevelResult(52, &gold);
    EXPECT_EQ(PopupKeys(), (std::vector<std::string>{"NOTIFICATION_WORLD_COMPLETE", "AWARD_NAME_2", "AWARD_NAME_15",
                                                     "AWARD_NAME_8"}));
}

TEST_F(AwardRulesTest, TheThirdDoneLevelOfWorldNineGrantsAwardThirteenAndStartsTheFinaleOnce) {
    profile_.worldFlags[9] |= kWorldUnlocked;
    const LevelScore score{kMedalBronze, 10, 10};
    EXPECT_FALSE(profile_.RecordLevelResult(48, &score));
    EXPECT_FALSE(profile_.RecordLevelResult(49, &score));
    EXPECT_TRUE(profile_.RecordLevelResult(50, &score)) << "the finale starts";
    EXPECT_TRUE(profile_.HasAward(13));
    EXPECT_EQ(fakes_.hud.popups.back().key, "AWARD_NAME_3");
    EXPECT_EQ(fakes_.hud.popups.back().number, 13);
    EXPECT_FALSE(profile_.RecordLevelResult(51, &score)) << "a fourth does neither";
}

TEST_F(AwardRulesTest, CustomLevelsRecordNothingAndTheCountedAwardsNeedAProfile) {
    const std::vector<BYTE> before(reinterpret_cast<const BYTE*>(profile_.worldFlags),
                                   reinterpret_cast<const BYTE*>(profile_.worldFlags) + sizeof profile_.worldFlags);
    profile_.RecordLevelResult(53, nullptr);
    EXPECT_EQ(std::memcmp(before.data(), profile_.worldFlags, before.size()), 0);
    GrantAward11();
    EXPECT_TRUE(profile_.HasAward(8));
    EXPECT_EQ(fakes_.hud.popups.back().key, "AWARD_NAME_11");
    SetProfile(nullptr);
    GrantAward10();
    EXPECT_FALSE(profile_.HasAward(5));
}

}  // namespace
