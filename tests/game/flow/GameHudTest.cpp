// The flow's HUD: texts by key with their numbers filled in safely, the play state handed to
// the HUD, and the touch buttons where the HUD draws them.
#include <gtest/gtest.h>

#include <string>

#include "engine/core/memory/EngineMemory.h"
#include "engine/core/text/EngineWString.h"
#include "engine/overlay/text/TextTable.h"
#include "game/flow/GameHud.h"
#include "game/flow/GameServices.h"
#include "game/flow/IngameController.h"
#include "tests/game/flow/FlowFakes.h"

namespace flow_test {
namespace {

class GameHudTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(HeapInit(), 0);
        ASSERT_EQ(TextTableCreate(), 1);
        const char texts[] = "NOTIFICATION_SPHERES_LEFT \"%d spheres left, 100%% sure\"\n"
                             "AWARD_NAME_3 \"50% of %s done %n\"\n"
                             "PORTAL_IS_OPEN \"The portal is open %s\"\n";
        ParseTextFile(*GlobalTextTable(), reinterpret_cast<const std::uint8_t*>(texts), sizeof texts - 1);
        ASSERT_TRUE(StartGameHud());
        SetPlayWorld(&world_);
    }
    void TearDown() override {
        SetPlayWorld(nullptr);
        StopGameHud();
        TextTableDestroy();
        HeapTeardown();
    }
    static std::u16string Head(const KDLList& list) {
        if (list.head == nullptr) return u"(none)";
        return static_cast<const HudBanner*>(list.head->item)->text.Text();
    }
    FakeWorld world_;
};

TEST_F(GameHudTest, TranslatedTextsAreShownAsTheyAreWithOnlyTheirNumberFilledIn) {
    Hud& hud = *CurrentHud();
    ASSERT_EQ(&GetPlayHud(), static_cast<PlayHud*>(static_cast<GameHud*>(hud.host)));
    GetPlayHud().PushNotification("NOTIFICATION_SPHERES_LEFT", 3, 2.0f, 0xFFFFFFFF);
    EXPECT_EQ(Head(hud.banners), u"3 spheres left, 100% sure");
    GetPlayHud().ClearNotifications();
    GetPlayHud().PushNotification("PORTAL_IS_OPEN", -1, 3.0f, 0xFFFFFFFF);
    EXPECT_EQ(Head(hud.banners), u"The portal is open %s");
    EXPECT_FALSE(GetPlayHud().BannersEmpty());

    GetPlayHud().AddFloatingText(kPopupAward, 5, "AWARD_NAME_3");
    ASSERT_NE(hud.popups.head, nullptr);
    const auto* popup = static_cast<const HudPopup*>(hud.popups.head->item);
    EXPECT_EQ(std::u16string(popup->text.Text()), u"50% of %s done %n");
    EXPECT_EQ(popup->number, 5);
    EXPECT_FALSE(GetPlayHud().FloatingTextsEmpty());
}

TEST_F(GameHudTest, TheHudReadsTheControllerTheCharacterAndTheLevel) {
    world_.character.rotateCharge = 1.5f;
    world_.character.mayMove = false;
    world_.character.state = 2;
    world_.character.position.z = 6.0f;
    world_.level.sphereTotal = 4;
    world_.level.spheresCollected = 1;
    FakeScreenHost host;
    IngameController controller(host);
    controller.state = kPlayPlaying;
    controller.controllerAlpha = 0.5f;
    controller.controlLayout = 2;
    SetController(&controller);
    const HudPlayState play = static_cast<GameHud&>(GetPlayHud()).PlayState();
    SetController(nullptr);
    EXPECT_EQ(play.controllerState, kPlayPlaying);
    EXPECT_FLOAT_EQ(play.controlOpacity, 0.5f);
    EXPECT_TRUE(play.buttonsSwapped);
    EXPECT_FLOAT_EQ(play.rotateCharge, 1.5f);
    EXPECT_FALSE(play.mayMove);
    EXPECT_EQ(play.characterState, 2);
    EXPECT_FLOAT_EQ(play.fallHeight, 6.0f);
    EXPECT_EQ(play.sphereTotal, 4);
    EXPECT_EQ(play.spheresCollected, 1);
}

// A touch at a button's centre is where DrawTouchControls draws that button.
TEST_F(GameHudTest, ButtonCentresAreWhereTheHudDrawsTheButtons) {
    const std::pair<PlayButton, std::pair<float, float>> cases[] = {
        {kButtonForward, {400, 48}},  {kButtonForwardLeft, {144, 96}}, {kButtonForwardRight, {656, 96}},
        {kButtonTurnA, {176, 360}},   {kButtonTurnB, {624, 360}},      {kButtonStepLeft, {48, 240}},
        {kButtonStepRight, {752, 240}},
    };
    for (const auto& [button, pixels] : cases) {
        float x = 0.0f;
        float y = 0.0f;
        GetPlayHud().ButtonCentre(button, x, y);
        EXPECT_FLOAT_EQ(x * 800.0f, pixels.first) << button;
        EXPECT_FLOAT_EQ(y * 480.0f, pixels.second) << button;
    }
}

TEST_F(GameHudTest, ComicPagesAdvanceThroughTheHudsPanels) {
    GetPlayHud().ResetComics();
    int turns = 1;
    while (GetPlayHud().NextIntroPage() != 0) ++turns;
    EXPECT_EQ(turns, 10);
    EXPECT_EQ(CurrentHud()->introPanel, 10u);
}

}  // namespace
}  // namespace flow_test
