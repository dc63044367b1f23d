// The HUD's elements: touch controls, rotate meter, meter bar, sphere row, corner and pause
// buttons. Each queues its sprites into the batch.
#include <algorithm>
#include <cmath>

#include "game/ui/hud/Hud.h"

namespace {

constexpr float kMeterFillWidth = 198.0f;
constexpr float kMeterFullCharge = 0.99f;
constexpr float kSphereSpacing = 58.0f;

struct DirectionButton {
    std::int32_t icon, pressedIcon;
    std::uint32_t pressedBit;
};
constexpr DirectionButton kDirectionButtons[5] = {
    {4, 9, kPressedLeft}, {5, 10, kPressedUpperLeft}, {6, 11, kPressedTop}, {7, 12, kPressedUpperRight},
    {8, 13, kPressedRight},
};

constexpr float kRotateButtonSize = 128.0f;

}  // namespace

void Hud::ButtonCentre(int button, float& x, float& y) {
    const float w = ScreenWidth();
    const float h = ScreenHeight();
    const float centres[kHudButtonCount][2] = {
        {48, h / 2}, {144, 96}, {w / 2, 48}, {w - 144, 96}, {w - 48, h / 2},
        {112 + kRotateButtonSize / 2, 0.75f * h}, {w - 240 + kRotateButtonSize / 2, 0.75f * h},
    };
    if (button < 0 || button >= kHudButtonCount) {
        x = y = -1.0f;
        return;
    }
    x = centres[button][0];
    y = centres[button][1];
}

void Hud::DrawTouchControls() {
    const HudPlayState play = Play();
    const float w = ScreenWidth();
    const float h = ScreenHeight();
    if (play.controllerState == kHudStatePlaying) {
        const float directionAlpha = play.controlOpacity * opacities[2] * alpha;
        for (int i = 0; i < 5; ++i) {
            const DirectionButton& button = kDirectionButtons[i];
            const std::int32_t icon = (pressedButtons & button.pressedBit) != 0 ? button.pressedIcon : button.icon;
            float x = 0.0f;
            float y = 0.0f;
            ButtonCentre(kHudButtonLeft + i, x, y);
            DrawIcon(icon, x, y, true, 2.0f, directionAlpha);
        }
        const float rotateAlpha = play.controlOpacity * opacities[5] * alpha;
        const float cells[2] = {129.0f, 383.0f};
        const int leftCell = play.buttonsSwapped ? 1 : 0;
        for (int side = 0; side < 2; ++side) {
            const float left = cells[side == 0 ? leftCell : 1 - leftCell];
            float x = 0.0f;
            float y = 0.0f;
            ButtonCentre(kHudButtonRotateLeft + side, x, y);
            const float half = kRotateButtonSize / 2;
            DrawAtlasSprite(left, 256.0f, left + 128.0f, 384.0f, x - half, y - half, kRotateButtonSize,
                            kRotateButtonSize, rotateAlpha);
        }
    } else if (play.controllerState == kHudStateLooking) {
        DrawAtlasSprite(0.0f, 0.0f, 64.0f, 64.0f, w / 2 - 32.0f, 16.0f, 64.0f, 64.0f);
        DrawAtlasSprite(128.0f, 0.0f, 64.0f, 64.0f, 16.0f, h / 2 - 32.0f, 64.0f, 64.0f);
        DrawAtlasSprite(64.0f, 0.0f, 128.0f, 64.0f, w - 80.0f, h / 2 - 32.0f, 64.0f, 64.0f);
        DrawIcon(1, w / 2, lowPosition != 0 ? h - 144.0f : h - 96.0f, true, 2.0f, 1.0f);
    }
}

void Hud::DrawMeterBar(float y, float width) {
    if (static_cast<std::int64_t>(width) % 2 != 0) width += 1.0f;
    const float top = y - 14.0f;
    const float pieceAlpha = meterAlpha;
    if (width > 12.0f) DrawAtlasSprite(404.0f, 146.0f, 408.0f, 174.0f, 303.0f, top, width - 12.0f, 28.0f, pieceAlpha);
    DrawAtlasSprite(396.0f, 146.0f, 408.0f, 174.0f, 297.0f, top, 6.0f, 28.0f, pieceAlpha);
    DrawAtlasSprite(420.0f, 146.0f, 432.0f, 174.0f, 297.0f + width - 6.0f, top, 6.0f, 28.0f, pieceAlpha);
}

void Hud::DrawRotateMeter() {
    const HudPlayState play = Play();
    const float h = ScreenHeight();
    const float charge = play.rotateCharge / kRotateChargeFull;
    DrawAtlasSprite(150.0f, 192.0f, 370.0f, 256.0f, 290.0f, h - 58.0f, 221.0f, 64.0f);
    meterAlpha = 1.0f;
    if (charge > kMeterFullCharge && play.controllerState == kHudStatePlaying) {
        if (!meterPulseStarted) {
            meterPulse.StartPulse(0.4f, 0.4f, 1.0f, 3.0f);
            meterPulseStarted = true;
        }
        meterAlpha = meterPulse.Update();
        if (meterSoundLatch == 0) {
            Sound(kSoundRotateMeterFull);
            meterSoundLatch = 1;
        }
    } else {
        meterSoundLatch = 0;
    }
    DrawMeterBar(h - 26.0f, std::min(charge, 1.0f) * kMeterFillWidth + 6.0f);
    meterAlpha = 1.0f;
}

void Hud::DrawSphereIcon(int slot, float x, float y) {
    if (slot < 0 || slot >= kHudSphereSlots) return;
    const float size = 64.0f * sphereScales[slot];
    DrawAtlasSprite(448.0f, 128.0f, 512.0f, 192.0f, x - size * 0.5f, y - size * 0.5f, size, size);
}

void Hud::DrawSphereRow() {
    const HudPlayState play = Play();
    const float h = ScreenHeight();
    for (int i = 0; i < kHudSphereSlots; ++i) {
        const float x = kSphereSpacing * static_cast<float>(i);
        if (i < play.spheresCollected) {
            sphereScales[i] = 1.0f;
            DrawSphereIcon(i, x + 32.0f, h - 26.0f);
        } else if (i < play.sphereTotal) {
            sphereScales[i] = 0.0f;
            DrawAtlasSprite(368.0f, 192.0f, 432.0f, 256.0f, x, h - 58.0f, 64.0f, 64.0f);
        } else {
            DrawAtlasSprite(448.0f, 192.0f, 512.0f, 256.0f, x - 2.0f, h - 58.0f, 64.0f, 64.0f);
        }
    }
}

void Hud::DrawCornerButtons() {
    const float top = ScreenHeight() - 56.0f;
    DrawAtlasSprite(0.0f, 194.0f, 148.0f, 258.0f, 653.0f, top, 148.0f, 64.0f);
    if (Play().controllerState == kHudStateLooking)
        DrawAtlasSprite(156.0f, 132.0f, 304.0f, 196.0f, 509.0f, top, 148.0f, 64.0f);
    else
        DrawAtlasSprite(0.0f, 132.0f, 148.0f, 196.0f, 507.0f, top, 148.0f, 64.0f);
}

void Hud::DrawPauseButton() { DrawAtlasSprite(320.0f, 384.0f, 384.0f, 448.0f, 718.0f, 18.0f, 64.0f, 64.0f); }
