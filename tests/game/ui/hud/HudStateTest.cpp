// The HUD's fade and dimming, its pools of messages, banners and pop-ups over time, and the
// comic panels.
#include "engine/core/text/EngineWString.h"
#include "tests/game/ui/hud/HudTestSupport.h"

namespace hud_test {
namespace {

constexpr Color kWhite{1, 1, 1, 1};

TEST_F(HudTest, RotateButtonsKeepTheirDimmingBetweenTheTwoChargeThresholds) {
    struct Case {
        float before;  // charge fraction first
        float after;
        float target;
        bool disabled;
    };
    const Case cases[] = {{0.95f, 0.5f, 1.0f, false}, {0.05f, 0.5f, kControlDimmed, true}};
    for (const Case& c : cases) {
        host_.state.rotateCharge = c.before * kRotateChargeFull;
        hud_->Update(0.0f);
        host_.state.rotateCharge = c.after * kRotateChargeFull;
        hud_->Update(0.0f);
        EXPECT_FLOAT_EQ(hud_->targets[5], c.target) << c.before;
        EXPECT_FLOAT_EQ(hud_->targets[6], c.target) << c.before;
        EXPECT_EQ((hud_->disabledButtons & kDisabledRotate) != 0, c.disabled) << c.before;
    }
    // A busy character dims everything, whatever the charge.
    host_.state.rotateCharge = kRotateChargeFull;
    host_.state.characterState = 2;
    hud_->Update(0.0f);
    EXPECT_FLOAT_EQ(hud_->targets[5], kControlDimmed);
    EXPECT_FLOAT_EQ(hud_->targets[2], kControlDimmed);
    EXPECT_EQ(hud_->disabledButtons, kDisabledRotate | kDisabledDirections);
}

TEST_F(HudTest, DisabledButtonsAreSetByZeroAndClearedOtherwise) {
    hud_->SetDisabledButtons(kDisabledRotate, 0);
    hud_->SetDisabledButtons(kDisabledDirections, 0);
    EXPECT_EQ(hud_->disabledButtons, kDisabledRotate | kDisabledDirections);
    hud_->SetDisabledButtons(kDisabledRotate, 1);
    EXPECT_EQ(hud_->disabledButtons, kDisabledDirections & ~kDisabledRotate);
}

TEST_F(HudTest, OpacitiesApproachTheirTargetsByFourPerSecond) {
    host_.state.mayMove = false;
    hud_->Update(0.1f);
    EXPECT_NEAR(hud_->opacities[2], 0.6f, 1e-5f);
    hud_->Update(0.1f);
    EXPECT_NEAR(hud_->opacities[2], 0.2f, 1e-5f);
    hud_->Update(0.1f);
    EXPECT_FLOAT_EQ(hud_->opacities[2], kControlDimmed);
}

TEST_F(HudTest, TheHudFadesInWhilePlayingOnTheGroundAndOutOtherwise) {
    struct Case {
        std::int32_t state;
        bool allowed;
        float fall;
        std::uint32_t fadeIn;
    };
    const Case cases[] = {
        {kHudStatePlaying, true, 0.0f, 1},  {kHudStatePlaying, true, 5.0f, 0}, {kHudStatePlaying, false, 0.0f, 0},
        {kHudStateLooking, true, 0.0f, 0}, {kHudStateLevelDone, true, 0.0f, 0},
    };
    for (const Case& c : cases) {
        host_.state.controllerState = c.state;
        host_.state.hudAllowed = c.allowed;
        host_.state.fallHeight = c.fall;
        hud_->Update(0.0f);
        EXPECT_EQ(hud_->fadeIn, c.fadeIn) << c.state << " " << c.fall;
    }
    // Alpha moves by the step, held to 0..1.
    host_.state = HudPlayState{};
    host_.state.controllerState = kHudStatePlaying;
    hud_->Update(0.0f);
    hud_->Update(0.25f);
    EXPECT_FLOAT_EQ(hud_->alpha, 0.25f);
    hud_->Update(2.0f);
    EXPECT_FLOAT_EQ(hud_->alpha, 1.0f);
    host_.state.controllerState = kHudStateLevelDone;
    hud_->Update(0.0f);
    hud_->Update(0.5f);
    EXPECT_FLOAT_EQ(hud_->alpha, 0.5f);
}

TEST_F(HudTest, PoolsHoldSixteenEntriesAndAFullPoolDropsTheNewText) {
    EXPECT_EQ(hud_->bannerPool.count, kHudPoolSize);
    EXPECT_EQ(hud_->popupPool.count, kHudPoolSize);
    for (std::uint32_t i = 0; i < kHudPoolSize; ++i) {
        hud_->AddFloatingText(kPopupKindAward, 1, u"award", kWhite);
        hud_->PushNotification(u"banner", 2.0f, kWhite);
    }
    EXPECT_EQ(hud_->popups.count, kHudPoolSize);
    EXPECT_EQ(hud_->popupPool.count, 0u);
    hud_->AddFloatingText(kPopupKindWorldComplete, 3, u"one too many", kWhite);
    hud_->PushNotification(u"one too many", 2.0f, kWhite);
    EXPECT_EQ(hud_->popups.count, kHudPoolSize);
    EXPECT_EQ(hud_->banners.count, kHudPoolSize);
    auto* last = static_cast<HudPopup*>(hud_->popups.tail->item);
    EXPECT_EQ(last->kind, kPopupKindAward);
    EXPECT_EQ(std::u16string(last->text.Text()), u"award");

    hud_->ClearNotifications();
    EXPECT_EQ(hud_->banners.count, 0u);
    EXPECT_EQ(hud_->bannerPool.count, kHudPoolSize);
    hud_->Reset();
    EXPECT_EQ(hud_->popups.count, 0u);
    EXPECT_EQ(hud_->popupPool.count, kHudPoolSize);
}

TEST_F(HudTest, AFloatingTextIsKeptAsItIsAndNeverReadAsAFormat) {
    const WCHAR* translated = u"100% %s %n %d done";
    hud_->AddFloatingText(kPopupKindWorldUnlocked, 2, translated, Color{1, 0.5f, 0, 1});
    auto* popup = static_cast<HudPopup*>(hud_->popups.head->item);
    EXPECT_EQ(std::u16string(popup->text.Text()), std::u16string(translated));
    EXPECT_EQ(popup->number, 2);
    EXPECT_FLOAT_EQ(popup->colour.g, 0.5f);
    EXPECT_FLOAT_EQ(popup->remaining, 4.0f);
    EXPECT_FLOAT_EQ(popup->duration, 4.0f);
}

// The banner bar's top edge each frame, and its alpha from the text's colour, over time.
TEST_F(HudTest, ABannerSlidesUpAsItFadesInAndDownAsItFadesOut) {
    hud_->brushes[kHudBrushAtlas].flags |= kBrushTextured;
    hud_->PushNotification(u"spheres", 2.0f, kWhite);
    struct Step {
        float dt;
        float barTop;  // H - 58 - 46 a
    };
    const Step steps[] = {
        {0.25f, 422 - 23},  // elapsed 0.25: a 0.5
        {0.5f, 422 - 46},   // elapsed 0.75: a 1
        {0.75f, 422 - 46},  // remaining 0.5: a 1
        {0.25f, 422 - 23},  // remaining 0.25: a 0.5
    };
    for (const Step& step : steps) {
        device_.quads.clear();
        hud_->DrawBanners(step.dt);
        ASSERT_EQ(device_.quads.size(), 1u);
        EXPECT_TRUE(SameQuad(device_.quads[0], {240, step.barTop, 320, 64, 0, 64, 320, 128, 255})) << step.dt;
        EXPECT_EQ(hud_->bannerShowing, 1u);
    }
    // Time up: the bar at rest, the entry back in the pool.
    device_.quads.clear();
    hud_->DrawBanners(0.3f);
    EXPECT_TRUE(SameQuad(device_.quads[0], {240, 422, 320, 64, 0, 64, 320, 128, 255}));
    EXPECT_EQ(hud_->banners.count, 0u);
    EXPECT_EQ(hud_->bannerPool.count, kHudPoolSize);
    // No banner: the collapsed bar, and the flag cleared.
    device_.quads.clear();
    hud_->DrawBanners(0.1f);
    EXPECT_TRUE(SameQuad(device_.quads[0], {240, 422, 320, 14, 0, 64, 320, 78, 255}));
    EXPECT_EQ(hud_->bannerShowing, 0u);
}

TEST_F(HudTest, AShortBannerNeverReachesFullAlphaAndQueuedBannersTakeTurns) {
    hud_->PushNotification(u"first", 0.8f, kWhite);
    hud_->PushNotification(u"second", 3.0f, kWhite);
    device_.quads.clear();
    hud_->DrawBanners(0.4f);  // elapsed 0.4: the fade-in rule, a 0.8, although only 0.4 remains
    EXPECT_FLOAT_EQ(device_.quads[0].y, 422.0f - std::round(46.0f * 0.8f) + 0.0f);
    device_.quads.clear();
    hud_->DrawBanners(0.2f);  // elapsed 0.6, remaining 0.2: a 0.4
    EXPECT_FLOAT_EQ(device_.quads[0].y, 422.0f - std::round(46.0f * 0.4f));
    hud_->DrawBanners(0.3f);  // the first is over
    EXPECT_EQ(hud_->banners.count, 1u);
    auto* head = static_cast<HudBanner*>(hud_->banners.head->item);
    EXPECT_EQ(std::u16string(head->text.Text()), u"second");
    EXPECT_FLOAT_EQ(head->remaining, 3.0f);  // its own time starts when it shows
}

// The frame quad of a pop-up: its size gives the scale.
TEST_F(HudTest, APopupScalesInHoldsAndScalesOutAndAWorldPopupPlaysItsSoundOnce) {
    hud_->brushes[kHudBrushFrame].flags = 0;
    hud_->AddFloatingText(kPopupKindWorldUnlocked, 2, u"World 2", kWhite);
    struct Step {
        float dt;
        float frameWidth;  // 280 s
    };
    const Step steps[] = {
        {0.1f, 224},   // e 0.1: s 0.8
        {0.2f, 560},   // e 0.3: s 2
        {0.5f, 560},   // e 0.8: hold
        {2.8f, 560},   // e 3.6: s 2 - 0.8
        {0.2f, 0},     // e 3.8: s 0
    };
    for (const Step& step : steps) {
        device_.quads.clear();
        hud_->DrawPopups(step.dt);
        ASSERT_FALSE(device_.quads.empty()) << step.dt;
        EXPECT_NEAR(device_.quads[0].w, step.frameWidth + (step.dt == 2.8f ? -224.0f : 0.0f), 0.51f) << step.dt;
    }
    EXPECT_EQ(host_.sounds, std::vector<std::int32_t>{kSoundWorldUnlocked});
    device_.quads.clear();
    hud_->DrawPopups(0.3f);  // e 4.1: time up
    EXPECT_TRUE(device_.quads.empty());
    EXPECT_EQ(hud_->popups.count, 0u);

    // An award pop-up plays nothing.
    hud_->AddFloatingText(kPopupKindAward, 3, u"Award", kWhite);
    for (int frame = 0; frame < 20; ++frame) hud_->DrawPopups(0.1f);
    EXPECT_EQ(host_.sounds.size(), 1u);
}

TEST_F(HudTest, NextIntroPanelEndsAfterPanelNineLeavingTheLastPage) {
    const std::uint32_t introPages[10] = {1, 2, 2, 2, 3, 3, 4, 4, 4, 5};
    hud_->ResetComicPanels();
    for (std::uint32_t panel = 1; panel < 10; ++panel) {
        EXPECT_EQ(hud_->NextIntroPanel(), 1) << panel;
        EXPECT_EQ(hud_->introPanel, panel);
        EXPECT_EQ(hud_->introPage, introPages[panel]);
    }
    EXPECT_EQ(hud_->NextIntroPanel(), 0);
    EXPECT_EQ(hud_->introPanel, 10u);
    EXPECT_EQ(hud_->introPage, 5u);

    for (int i = 0; i < 10; ++i) EXPECT_EQ(hud_->NextOutroPanel(), 1) << i;
    EXPECT_EQ(hud_->NextOutroPanel(), 1);  // panel 11
    EXPECT_EQ(hud_->NextOutroPanel(), 0);
    EXPECT_EQ(hud_->outroPanel, 12u);
}

TEST_F(HudTest, ComicPanelsFollowTheScreenSize) {
    Overlay2D().screenWidth = 640;
    Overlay2D().screenHeight = 400;
    hud_->InitComicPanels();
    EXPECT_FLOAT_EQ(hud_->introPanels[0].width, 640.0f);
    EXPECT_FLOAT_EQ(hud_->introPanels[2].width, 280.0f);
    EXPECT_FLOAT_EQ(hud_->outroPanels[1].x, 320.0f);
    EXPECT_FLOAT_EQ(hud_->outroPanels[6].height, 189.0f);
    EXPECT_EQ(hud_->outroPanels[11].page, 5u);
}

// The quads after the page picture are the covers: their alpha over the reveal time.
TEST_F(HudTest, TheCurrentPanelUncoversWithinASecondAndLaterPanelsOfItsPageStayCovered) {
    hud_->introPanel = 1;  // page 2, its first of three panels
    hud_->introPage = 2;
    struct Case {
        float t;
        int alpha;
    };
    const Case cases[] = {{0.0f, 255}, {0.5f, 127}, {1.0f, 0}, {3.0f, 0}};
    for (const Case& c : cases) {
        device_.quads.clear();
        hud_->DrawIntroPage(c.t);
        ASSERT_EQ(device_.quads.size(), 4u) << c.t;  // picture, then panels 1, 2 and 3
        EXPECT_TRUE(SameQuad(device_.quads[0], {0, 0, 800, 480, 0, 0, 0, 0, 255}));  // no picture loaded
        EXPECT_EQ(device_.quads[1].alpha, c.alpha) << c.t;
        EXPECT_EQ(device_.quads[2].alpha, 255);
        EXPECT_EQ(device_.quads[3].alpha, 255);
        EXPECT_EQ(hud_->coverBrush.colours[0] >> 24, 255u);
    }
    // The last panel of the page: the others before it are not covered any more.
    hud_->introPanel = 3;
    device_.quads.clear();
    hud_->DrawIntroPage(2.0f);
    EXPECT_EQ(device_.quads.size(), 2u);
    // Over: the whole last page.
    hud_->introPanel = 10;
    device_.quads.clear();
    hud_->DrawIntroPage(0.0f);
    EXPECT_EQ(device_.quads.size(), 1u);
}

}  // namespace
}  // namespace hud_test
