// TESK and ODILE: TESK's sleep, wake, attacks and deaths with what they count, its life across
// checkpoints; ODILE's moods and the item in her hand.
#include "game/world/objects/OdileObject.h"
#include "game/world/objects/TeskObject.h"
#include "tests/game/world/objects/ObjectTestSupport.h"

namespace world_test {
namespace {

using CreatureTest = ObjectTest;

TEST_F(CreatureTest, ATeskWakesAttacksAndDiesOnceAndTheFifteenthKillEarnsTheAward) {
    auto* tesk = Make<TeskObject>(27);
    EXPECT_EQ(tesk->current, kTeskSleep);
    EXPECT_FLOAT_EQ(tesk->offset.y, -5.0f);
    EXPECT_EQ(tesk->reach[1], -3);
    tesk->Sleep();  // only from idle
    EXPECT_TRUE(services_.sounds.empty());
    tesk->Wake();
    EXPECT_EQ(tesk->current, kTeskIdle);
    tesk->Update(0.1f);
    tesk->AttackHigh();
    EXPECT_EQ(tesk->current, kTeskAttackHigh);
    tesk->AttackLow();  // the attack timer was just reset
    EXPECT_EQ(tesk->current, kTeskAttackHigh);
    Run(tesk, 2.0f);
    EXPECT_EQ(tesk->current, kTeskAttackHigh);  // the high attack stays
    tesk->AttackMedium();
    Run(tesk, 0.9f);
    EXPECT_EQ(tesk->current, kTeskIdle);  // a medium attack ends after 0.8 s
    EXPECT_EQ(services_.sounds, (std::vector<int>{kSoundTeskWakeup, kSoundTeskAttack, kSoundTeskAttack}));

    services_.teskKills = 13;
    tesk->Kill(kTeskDeathFront);
    EXPECT_FALSE(tesk->IsAlive());
    EXPECT_EQ(tesk->current, kTeskDeathFront);
    EXPECT_EQ(services_.award11, 0);
    tesk->Kill(kTeskDeathBack);  // already dead: nothing played, nothing counted
    EXPECT_EQ(tesk->current, kTeskDeathFront);
    EXPECT_EQ(services_.teskKills, 14);
    EXPECT_EQ(services_.sounds.back(), kSoundTeskDie);
    auto* second = Make<TeskObject>(31);
    second->Kill(kTeskDeathTop);
    EXPECT_EQ(services_.teskKills, 15);
    EXPECT_EQ(services_.award11, 1);
}

TEST_F(CreatureTest, ATeskKeepsItsLifeAcrossCheckpointsAndComesBackOnReset) {
    auto* tesk = Make<TeskObject>(33);
    tesk->SaveState(1);
    tesk->Kill(kTeskDeathBack);
    tesk->RestoreState();
    EXPECT_TRUE(tesk->IsAlive());
    EXPECT_EQ(tesk->current, kTeskSleep);

    tesk->Kill(kTeskDeathBack);
    tesk->SaveState(2);
    tesk->RestoreState();
    EXPECT_FALSE(tesk->IsAlive());
    EXPECT_EQ(tesk->current, kTeskDeathTop);
    EXPECT_NEAR(Part(tesk, "tesk1")->Transform().position.y, 7.4f, 1e-5f);
    const int kills = services_.teskKills;

    tesk->Reset();
    EXPECT_TRUE(tesk->IsAlive());
    EXPECT_EQ(tesk->savedAlive, 1u);
    EXPECT_FLOAT_EQ(Part(tesk, "tesk1")->Transform().position.y, 0.0f);
    // The right-hand variants are turned half a turn about y.
    EXPECT_NEAR(Part(tesk, "tesk1")->Transform().rotation.y, 1.0f, 1e-5f);
    EXPECT_EQ(services_.teskKills, kills);
}

TEST_F(CreatureTest, OdileChangesMoodAndHidesTheItemOnceSheHasGivenIt) {
    auto* odile = Make<OdileObject>(36);
    ASSERT_NE(odile->heldItem, nullptr);
    EXPECT_EQ(odile->heldItem->Parent(), Part(odile, "lefthand"));
    EXPECT_TRUE(odile->IsItemShown());
    odile->SetMood(kOdileAngry);
    EXPECT_EQ(odile->currentMood, kOdileAngry);
    odile->SetMood(kOdileGiveItem);
    EXPECT_EQ(odile->currentMood, kOdileGiveItem);
    EXPECT_TRUE(odile->IsItemShown());
    odile->SetMood(kOdileHappy);  // leaving the give-item mood hides the item
    EXPECT_FALSE(odile->IsItemShown());
    odile->SetMood(42);
    EXPECT_EQ(odile->currentMood, kOdileHappy);

    // A custom level of world 1 shows it again at the first cut-scene line.
    services_.controller.customLevel = 1;
    services_.controller.customWorld = 1;
    odile->Update(0.1f);
    EXPECT_TRUE(odile->IsItemShown());
    EXPECT_FLOAT_EQ(odile->heldItem->Transform().position.y, 3.617f);
    services_.controller.customWorld = 2;
    odile->Update(0.1f);
    EXPECT_FALSE(odile->IsItemShown());
    services_.controller.customLevel = 0;
    services_.controller.levelIndex = 8 + 5;  // world 2
    odile->heldItem->SetFlagBits(0x2000000, false);
    odile->Update(0.1f);
    EXPECT_FALSE(odile->IsItemShown());

    odile->Reset();
    EXPECT_EQ(odile->currentMood, kOdileIdle);
}

}  // namespace
}  // namespace world_test
