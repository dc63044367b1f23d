// GameHud: the HUD of play behind the flow's PlayHud. It owns the HUD record, answers the
// flow's calls with it (texts looked up by key, numbers filled in without reading the texts
// as formats), and tells the HUD what it needs of play: the controller's state and the
// player's options, the character and the level's spheres, and the sound manager.
#pragma once

#include "game/flow/PlayHud.h"
#include "game/ui/hud/Hud.h"

class GameHud : public EngineAllocated, public PlayHud, public HudHost {
public:
    // Null when memory runs out.
    static GameHud* Create();
    ~GameHud() override;

    void AddFloatingText(std::int32_t kind, std::int32_t number, const char* textKey) override;
    void PushNotification(const char* textKey, std::int32_t number, float seconds, std::uint32_t colour) override;
    void ClearNotifications() override;
    bool BannersEmpty() const override;
    bool FloatingTextsEmpty() const override;
    void SetPressedButtons(std::uint32_t set) override;
    void ButtonCentre(PlayButton button, float& x, float& y) const override;
    void ResetComics() override;
    std::int32_t NextIntroPage() override;
    std::int32_t NextOutroPage() override;
    void Update(float dt) override;
    void Prepare() override;

    HudPlayState PlayState() const override;
    void PlaySound(std::int32_t soundId) override;

    Hud& Record() { return *hud_; }

private:
    explicit GameHud(Hud* hud);
    Hud* hud_;
};

// The running game's HUD record; null while none exists.
Hud* CurrentHud();
// Makes the game's HUD and sets it as the flow's (once; true when it exists); false when
// memory runs out. Stop deletes it and gives the flow its stand-in back.
bool StartGameHud();
void StopGameHud();
