// The flow's HUD: texts by key with their numbers filled in without reading the texts as
// formats, and touch buttons tested where the HUD draws them.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/memory/EngineMemory.h"
#include "engine/overlay/text/TextTable.h"
#include "game/flow/frame/GameHud.h"

namespace {

class GameHudTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(HeapInit(), 0);
        ASSERT_EQ(TextTableCreate(), 1);
        const char texts[] = "NOTIFICATION_SPHERES_LEFT \"%d spheres left, 100%% sure\"\n"
                             "AWARD_NAME_3 \"50% of %s done %n\"\n"
                             "PORTAL_IS_OPEN \"The portal is open %s\"\n"
                             "NOTIFICATION_WORLD_UNLOCKED \"World %d unlocked, %s\"\n";
        ParseTextFile(*GlobalTextTable(), reinterpret_cast<const std::uint8_t*>(texts), sizeof texts - 1);
        hud_ = new GameHud;
    }
    void TearDown() override {
        delete hud_;
        TextTableDestroy();
        HeapTeardown();
    }
    std::u16string HeadBanner() {
        const KDLList& list = hud_->Record().banners;
        return list.head != nullptr ? static_cast<const HudBanner*>(list.head->item)->text.Text() : u"(none)";
    }
    GameHud* hud_ = nullptr;
};

TEST_F(GameHudTest, TranslatedTextsAreShownAsTheyAreWithOnlyTheirNumberFilledIn) {
    hud_->PushNotification("NOTIFICATION_SPHERES_LEFT", 3, 2.0f, 0xFFFFFFFF);
    EXPECT_EQ(HeadBanner(), u"3 spheres left, 100% sure");
    hud_->ClearNotifications();
    hud_->PushNotification("PORTAL_IS_OPEN", -1, 3.0f, 0xFFFFFFFF);
    EXPECT_EQ(HeadBanner(), u"The portal is open %s");
    hud_->AddFloatingText(0, 5, "AWARD_NAME_3");
    ASSERT_NE(hud_->Record().popups.head, nullptr);
    const auto* popup = static_cast<const HudPopup*>(hud_->Record().popups.head->item);
    EXPECT_EQ(std::u16string(popup->text.Text()), u"50% of %s done %n");
    EXPECT_EQ(popup->number, 5);
    // A world notice shows its world's number and nothing else is read as a format.
    hud_->AddFloatingText(1, 4, "NOTIFICATION_WORLD_UNLOCKED");
    const auto* world = static_cast<const HudPopup*>(hud_->Record().popups.tail->item);
    EXPECT_EQ(std::u16string(world->text.Text()), u"World 4 unlocked, %s");
}

// A touch at a button's centre lands on the button the HUD draws there.
TEST_F(GameHudTest, ButtonCentresAreWhereTheHudDrawsTheButtons) {
    const std::pair<PlayButton, std::pair<float, float>> cases[] = {
        {kButtonForward, {400, 48}},  {kButtonForwardLeft, {144, 96}}, {kButtonForwardRight, {656, 96}},
        {kButtonTurnA, {176, 360}},   {kButtonTurnB, {624, 360}},      {kButtonStepLeft, {48, 240}},
        {kButtonStepRight, {752, 240}},
    };
    for (const auto& [button, pixels] : cases) {
        float x = 0.0f;
        float y = 0.0f;
        hud_->ButtonCentre(button, x, y);
        EXPECT_FLOAT_EQ(x * 800.0f, pixels.first) << button;
        EXPECT_FLOAT_EQ(y * 480.0f, pixels.second) << button;
    }
}

}  // namespace
