// The HUD's sprite batch and its elements, read from the queued vertices.
#include "tests/game/ui/hud/HudTestSupport.h"

namespace hud_test {
namespace {

TEST_F(HudTest, IconsTakeTheirAtlasCellAndBaseSizeAndUnknownIdsDrawNothing) {
    struct Case {
        std::int32_t id;
        bool centred;
        float scale;
        Quad expected;
    };
    const Case cases[] = {
        {0, false, 1.0f, {100, 50, 32, 32, 0, 0, 64, 64, 255}},
        {1, false, 1.0f, {100, 50, 32, 32, 0, 64, 64, 0, 255}},     // upside down
        {2, false, 1.0f, {100, 50, 32, 32, 128, 0, 64, 64, 255}},   // mirrored
        {6, true, 2.0f, {68, 18, 64, 64, 128, 385, 192, 449, 255}},  // a direction button, centred
        {13, false, 1.0f, {100, 50, 32, 32, 256, 449, 320, 513, 255}},
        {18, false, 1.0f, {100, 50, 16, 16, 128, 0, 160, 32, 255}},
        {25, false, 1.0f, {100, 50, 64, 64, 129, 256, 257, 384, 255}},
        {30, false, 1.0f, {100, 50, 74, 32, 2, 192, 150, 256, 255}},
        {37, false, 2.0f, {100, 50, 44, 104, 328, 94, 372, 198, 255}},
    };
    for (const Case& c : cases) {
        hud_->ClearBatch();
        EXPECT_TRUE(hud_->DrawIcon(c.id, 100, 50, c.centred, c.scale, 1.0f)) << c.id;
        ASSERT_EQ(Batch().size(), 1u) << c.id;
        EXPECT_TRUE(SameQuad(Batch()[0], c.expected)) << "icon " << c.id;
    }
    hud_->ClearBatch();
    const Brush before = hud_->brushes[kHudBrushAtlas];
    for (std::int32_t id : {22, 38, 100, -1}) {
        EXPECT_FALSE(hud_->DrawIcon(id, 10, 10, true, 1.0f, 0.5f)) << id;
        EXPECT_EQ(hud_->vertexCount, 0u) << id;
        for (int i = 0; i < 8; ++i) EXPECT_EQ(hud_->brushes[kHudBrushAtlas].corners[i], before.corners[i]) << id;
        EXPECT_EQ(hud_->brushes[kHudBrushAtlas].colours[0], before.colours[0]) << id;
    }
}

TEST_F(HudTest, AnIconAtReducedAlphaDoesNotLeakItsAlphaIntoTheNextSprite) {
    hud_->DrawIcon(4, 0, 0, false, 1.0f, 0.5f);
    hud_->DrawIcon(5, 0, 0, false, 1.0f, 1.0f);
    ASSERT_EQ(Batch().size(), 2u);
    EXPECT_EQ(Batch()[0].alpha, 127);
    EXPECT_EQ(Batch()[1].alpha, 255);
}

TEST_F(HudTest, SpritesFollowTheCanvasOffsetScaleAndScreenOriginRoundedHalfAway) {
    canvas_.offsetX = 10.0f;
    canvas_.scaleX = canvas_.scaleY = 0.5f;
    Overlay2D().screenOriginY = 3;
    hud_->DrawAtlasSprite(0, 0, 64, 64, 5.0f, 7.0f, 33.0f, 21.0f);
    ASSERT_EQ(Batch().size(), 1u);
    // x: (5 + 10) * 0.5 = 7.5 -> 8; y: 7 * 0.5 + 3 = 6.5 -> 7; 16.5 -> 17; 10.5 -> 11.
    EXPECT_TRUE(SameQuad(Batch()[0], {8, 7, 17, 11, 0, 0, 64, 64, 255}));
}

TEST_F(HudTest, TheBatchHoldsSixtyFourQuadsAndFlushDrawsThemInOneCallWithTheAtlas) {
    for (int i = 0; i < 70; ++i) hud_->DrawIcon(0, static_cast<float>(i), 0, false, 1.0f, 1.0f);
    EXPECT_EQ(hud_->vertexCount, kHudBatchVertices);  // the six more were left out
    hud_->brushes[kHudBrushAtlas].flags |= kBrushTextured;
    hud_->Flush();
    ASSERT_EQ(device_.batches.size(), 1u);
    EXPECT_EQ(device_.batches[0], 64u);
    EXPECT_EQ(device_.textureBinds, 1);
    EXPECT_EQ(hud_->vertexCount, kHudBatchVertices);  // flushing keeps the count

    // Without its texture the batch still draws, binding nothing.
    hud_->brushes[kHudBrushAtlas].flags &= ~kBrushTextured;
    hud_->Flush();
    EXPECT_EQ(device_.batches.size(), 2u);
    EXPECT_EQ(device_.textureBinds, 1);
}

TEST_F(HudTest, MeterBarWidthsWithAnOddIntegerPartGrowByOneAndShortBarsAreOnlyTheirCaps) {
    struct Case {
        float width;
        std::vector<Quad> pieces;  // middle (when any), left cap, right cap
    };
    const Case cases[] = {
        {7.3f, {{297, 86, 6, 28, 396, 146, 408, 174, 255}, {299, 86, 6, 28, 420, 146, 432, 174, 255}}},  // 8.3
        {12.0f, {{297, 86, 6, 28, 396, 146, 408, 174, 255}, {303, 86, 6, 28, 420, 146, 432, 174, 255}}},
        {20.0f,
         {{303, 86, 8, 28, 404, 146, 408, 174, 255},
          {297, 86, 6, 28, 396, 146, 408, 174, 255},
          {311, 86, 6, 28, 420, 146, 432, 174, 255}}},
        {21.0f,
         {{303, 86, 10, 28, 404, 146, 408, 174, 255},
          {297, 86, 6, 28, 396, 146, 408, 174, 255},
          {313, 86, 6, 28, 420, 146, 432, 174, 255}}},
    };
    for (const Case& c : cases) {
        hud_->ClearBatch();
        hud_->DrawMeterBar(100.0f, c.width);
        const std::vector<Quad> batch = Batch();
        ASSERT_EQ(batch.size(), c.pieces.size()) << c.width;
        for (std::size_t i = 0; i < batch.size(); ++i) EXPECT_TRUE(SameQuad(batch[i], c.pieces[i])) << c.width;
    }
}

TEST_F(HudTest, TheSphereRowShowsFilledEmptyAndUnavailableSlots) {
    host_.state.sphereTotal = 3;
    host_.state.spheresCollected = 1;
    hud_->DrawSphereRow();
    const std::vector<Quad> batch = Batch();
    ASSERT_EQ(batch.size(), 5u);
    EXPECT_TRUE(SameQuad(batch[0], {0, 422, 64, 64, 448, 128, 512, 192, 255}));    // filled, centred (32, 454)
    EXPECT_TRUE(SameQuad(batch[1], {58, 422, 64, 64, 368, 192, 432, 256, 255}));   // empty
    EXPECT_TRUE(SameQuad(batch[2], {116, 422, 64, 64, 368, 192, 432, 256, 255}));  // empty
    EXPECT_TRUE(SameQuad(batch[3], {172, 422, 64, 64, 448, 192, 512, 256, 255}));  // unavailable
    EXPECT_TRUE(SameQuad(batch[4], {230, 422, 64, 64, 448, 192, 512, 256, 255}));
    EXPECT_FLOAT_EQ(hud_->sphereScales[0], 1.0f);
    EXPECT_FLOAT_EQ(hud_->sphereScales[1], 0.0f);

    // More than five spheres: five slots.
    hud_->ClearBatch();
    host_.state.sphereTotal = 8;
    host_.state.spheresCollected = 6;
    hud_->DrawSphereRow();
    EXPECT_EQ(Batch().size(), 5u);
}

TEST_F(HudTest, TouchControlsShowPressedButtonsAndSwapTheRotateCells) {
    host_.state.controllerState = kHudStatePlaying;
    hud_->alpha = 1.0f;
    hud_->SetPressedButtons(kPressedTop | kPressedRight);
    hud_->DrawTouchControls();
    std::vector<Quad> batch = Batch();
    ASSERT_EQ(batch.size(), 7u);
    const float tops[5] = {385, 385, 449, 385, 449};  // top and right pressed
    const float us[5] = {0, 64, 128, 192, 256};
    for (int i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(batch[i].u0, us[i]) << i;
        EXPECT_FLOAT_EQ(batch[i].v0, tops[i]) << i;
        EXPECT_FLOAT_EQ(batch[i].w, 64.0f) << i;
    }
    EXPECT_TRUE(SameQuad(batch[0], {16, 208, 64, 64, 0, 385, 64, 449, 255}));  // left at (48, H/2)
    EXPECT_TRUE(SameQuad(batch[5], {112, 296, 128, 128, 129, 256, 257, 384, 255}));
    EXPECT_TRUE(SameQuad(batch[6], {560, 296, 128, 128, 383, 256, 511, 384, 255}));

    hud_->ClearBatch();
    host_.state.buttonsSwapped = true;
    host_.state.controlOpacity = 0.5f;
    hud_->DrawTouchControls();
    batch = Batch();
    ASSERT_EQ(batch.size(), 7u);
    EXPECT_FLOAT_EQ(batch[5].u0, 383.0f);
    EXPECT_FLOAT_EQ(batch[6].u0, 129.0f);
    EXPECT_EQ(batch[0].alpha, 127);

    // Outside play and look mode: nothing.
    hud_->ClearBatch();
    host_.state.controllerState = 7;
    hud_->DrawTouchControls();
    EXPECT_EQ(hud_->vertexCount, 0u);
}

TEST_F(HudTest, EachTouchButtonIsDrawnAroundTheCentreTouchesAreTestedAt) {
    host_.state.controllerState = kHudStatePlaying;
    hud_->DrawTouchControls();
    const std::vector<Quad> batch = Batch();
    ASSERT_EQ(batch.size(), static_cast<std::size_t>(kHudButtonCount));
    for (int button = 0; button < kHudButtonCount; ++button) {
        float x = 0.0f;
        float y = 0.0f;
        Hud::ButtonCentre(button, x, y);
        EXPECT_FLOAT_EQ(batch[button].x + batch[button].w / 2, x) << button;
        EXPECT_FLOAT_EQ(batch[button].y + batch[button].h / 2, y) << button;
    }
    float x = 0.0f;
    float y = 0.0f;
    Hud::ButtonCentre(kHudButtonCount, x, y);
    EXPECT_FLOAT_EQ(x, -1.0f);
}

TEST_F(HudTest, LookModeShowsTheThreeArrowsAndTheCentreIconLowOrHigh) {
    host_.state.controllerState = kHudStateLooking;
    hud_->DrawTouchControls();
    std::vector<Quad> batch = Batch();
    ASSERT_EQ(batch.size(), 4u);
    EXPECT_TRUE(SameQuad(batch[0], {368, 16, 64, 64, 0, 0, 64, 64, 255}));
    EXPECT_TRUE(SameQuad(batch[1], {16, 208, 64, 64, 128, 0, 64, 64, 255}));
    EXPECT_TRUE(SameQuad(batch[2], {720, 208, 64, 64, 64, 0, 128, 64, 255}));
    EXPECT_TRUE(SameQuad(batch[3], {368, 352, 64, 64, 0, 64, 64, 0, 255}));  // centred at (400, H - 96)
    hud_->ClearBatch();
    hud_->lowPosition = 1;
    hud_->DrawTouchControls();
    EXPECT_FLOAT_EQ(Batch()[3].y, 304.0f);
}

TEST_F(HudTest, CornerAndPauseButtons) {
    host_.state.controllerState = kHudStatePlaying;
    hud_->DrawCornerButtons();
    hud_->DrawPauseButton();
    host_.state.controllerState = kHudStateLooking;
    hud_->DrawCornerButtons();
    const std::vector<Quad> batch = Batch();
    ASSERT_EQ(batch.size(), 5u);
    EXPECT_TRUE(SameQuad(batch[0], {653, 424, 148, 64, 0, 194, 148, 258, 255}));
    EXPECT_TRUE(SameQuad(batch[1], {507, 424, 148, 64, 0, 132, 148, 196, 255}));
    EXPECT_TRUE(SameQuad(batch[2], {718, 18, 64, 64, 320, 384, 384, 448, 255}));
    EXPECT_TRUE(SameQuad(batch[4], {509, 424, 148, 64, 156, 132, 304, 196, 255}));
}

TEST_F(HudTest, TheRotateMeterFillsWithTheChargeAndPlaysItsSoundOnceWhenFull) {
    host_.state.controllerState = kHudStatePlaying;
    host_.state.rotateCharge = 0.95f;  // half of the full 1.9
    hud_->DrawRotateMeter();
    std::vector<Quad> batch = Batch();
    ASSERT_EQ(batch.size(), 4u);
    EXPECT_TRUE(SameQuad(batch[0], {290, 422, 221, 64, 150, 192, 370, 256, 255}));
    EXPECT_FLOAT_EQ(batch[1].w, 94.0f);  // 0.5 * 198 + 6 = 105 -> 106, less the caps
    EXPECT_TRUE(host_.sounds.empty());

    host_.state.rotateCharge = 1.9f;
    for (int frame = 0; frame < 3; ++frame) hud_->DrawRotateMeter();
    EXPECT_EQ(host_.sounds, std::vector<std::int32_t>{kSoundRotateMeterFull});
    EXPECT_EQ(hud_->meterSoundLatch, 1u);
    // The full fill pulses below full opacity.
    batch = Batch();
    EXPECT_LT(batch.back().alpha, 255);
    EXPECT_EQ(batch[batch.size() - 4].alpha, 255);  // the frame does not pulse

    host_.state.rotateCharge = 1.0f;
    hud_->DrawRotateMeter();
    EXPECT_EQ(hud_->meterSoundLatch, 0u);
    host_.state.rotateCharge = 1.9f;
    hud_->DrawRotateMeter();
    EXPECT_EQ(host_.sounds.size(), 2u);
}

}  // namespace
}  // namespace hud_test
