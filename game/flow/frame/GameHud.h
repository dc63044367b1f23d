// GameHud: the HUD of play as the flow and the frame see it. The notices, pop-ups, pressed
// buttons and comic pages the flow asks for, and the controls, meters, banners, frames,
// icons and comic pages the frame draws, all go to one Hud record, which reads play through
// this object: the controller's state and options, the character and the level's spheres.
#pragma once

#include <cstdint>

#include "game/flow/interfaces/HudDrawing.h"
#include "game/flow/interfaces/PlayHud.h"
#include "game/ui/hud/Hud.h"

class GameHud : public PlayHud, public HudDrawing, public HudHost {
public:
    // The record drawing through the 2D layer's canvas, its textures loaded.
    GameHud();
    ~GameHud() override;
    GameHud(const GameHud&) = delete;
    GameHud& operator=(const GameHud&) = delete;

    Hud& Record() { return *hud_; }

    // PlayHud: texts by key from the text table, copied as they are.
    void AddFloatingText(std::int32_t kind, std::int32_t number, const char* textKey) override;
    void PushNotification(const char* textKey, std::int32_t number, float seconds, std::uint32_t colour) override;
    void ClearNotifications() override;
    bool BannersEmpty() const override;
    bool FloatingTextsEmpty() const override;
    void SetPressedButtons(std::uint32_t set) override;
    void ButtonCentre(PlayButton button, float& x, float& y) const override;
    // Both comics at their start, with the textures loaded again.
    void ResetComics() override;
    std::int32_t NextIntroPage() override;
    std::int32_t NextOutroPage() override;
    void Update(float dt) override;

    // HudDrawing.
    void DrawIntroPage(float t) override;
    void DrawOutroPage(float t) override;
    void DrawPauseButton() override;
    void Flush() override;
    void DrawBanners() override;
    void DrawPopups() override;
    void DrawSphereRow() override;
    void DrawRotateMeter() override;
    void DrawTouchControls() override;
    void DrawCornerButtons() override;
    void DrawFrameQuad(float x, float y, float width, float height, float alpha) override;
    void DrawIcon(std::int32_t icon, float x, float y, float scale, float alpha) override;
    void DrawAtlasCell(float u0, float v0, float u1, float v1, float x, float y, float width, float height,
                       float alpha) override;
    void DrawMedalIcon(std::int32_t medal, float x, float y, float scale) override;

    // HudHost.
    HudPlayState PlayState() const override;
    void PlaySound(std::int32_t soundId) override;

private:
    Hud* hud_ = nullptr;
    SilentHud layout_;  // where the on-screen buttons stand
};
