// PlayHud: what the game's flow asks of the HUD: pop-ups and banners, the pressed on-screen
// buttons and where they stand, and the comic pages. SilentHud stands in until the HUD is
// built: it shows nothing, so its queues are always empty and a comic has no pages.
#pragma once

#include <cstdint>

// Pop-up kinds.
constexpr std::int32_t kPopupAward = 0;
constexpr std::int32_t kPopupWorldUnlocked = 1;
constexpr std::int32_t kPopupWorldComplete = 2;

constexpr std::uint32_t kWhite = 0xFFFFFFFF;

// The on-screen buttons, in the order in which a touch tests them.
enum PlayButton : std::int32_t {
    kButtonForward,
    kButtonForwardLeft,
    kButtonForwardRight,
    kButtonTurnA,
    kButtonTurnB,
    kButtonStepLeft,
    kButtonStepRight,
    kPlayButtonCount,
};

class PlayHud {
public:
    virtual ~PlayHud() = default;

    // A pop-up of `kind` (an award: `number` is its index and icon; a world notice: the
    // world) with the text of `textKey`, white.
    virtual void AddFloatingText(std::int32_t kind, std::int32_t number, const char* textKey) = 0;
    // A banner for `seconds`; `number` fills the text's number when it has one (-1: none).
    virtual void PushNotification(const char* textKey, std::int32_t number, float seconds, std::uint32_t colour) = 0;
    virtual void ClearNotifications() = 0;
    virtual bool BannersEmpty() const = 0;
    virtual bool FloatingTextsEmpty() const = 0;
    virtual void SetPressedButtons(std::uint32_t set) = 0;
    // A button's centre in 0..1 screen units.
    virtual void ButtonCentre(PlayButton button, float& x, float& y) const = 0;
    // Both comics back to their first page; the next page of each (0: no further page).
    virtual void ResetComics() = 0;
    virtual std::int32_t NextIntroPage() = 0;
    virtual std::int32_t NextOutroPage() = 0;
    virtual void Update(float dt) = 0;
};

class SilentHud : public PlayHud {
public:
    void AddFloatingText(std::int32_t, std::int32_t, const char*) override {}
    void PushNotification(const char*, std::int32_t, float, std::uint32_t) override {}
    void ClearNotifications() override {}
    bool BannersEmpty() const override { return true; }
    bool FloatingTextsEmpty() const override { return true; }
    void SetPressedButtons(std::uint32_t) override {}
    void ButtonCentre(PlayButton button, float& x, float& y) const override;
    void ResetComics() override {}
    std::int32_t NextIntroPage() override { return 0; }
    std::int32_t NextOutroPage() override { return 0; }
    void Update(float) override {}
};
