// The HUD record behind the flow's and the frame's HUD interfaces.
#include "game/flow/frame/GameHud.h"

#include "engine/app/FrameDriver.h"
#include "engine/core/math/ColorMath.h"
#include "engine/overlay/widgets/OverlayLayer.h"
#include "game/flow/frame/FrameText.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/interfaces/PlayWorld.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundManager.h"
#include "game/ui/text/TextFormat.h"

namespace {

// The record draws through the 2D layer's canvas; preparing it loads its textures (the
// frame as a nine-slice box).
void PrepareRecord(Hud& hud) {
    hud.canvas = OverlayCanvas();
    hud.Prepare();
}

}  // namespace

GameHud::GameHud() : hud_(new Hud) {
    if (hud_ == nullptr) return;
    hud_->host = this;
    PrepareRecord(*hud_);
}

GameHud::~GameHud() {
    if (hud_ == nullptr) return;
    hud_->FreeLists();
    delete hud_;
}

void GameHud::AddFloatingText(std::int32_t kind, std::int32_t number, const char* textKey) {
    if (hud_ == nullptr) return;
    // A world notice shows its world's number; an award's name is shown as it is.
    const WCHAR* translation = KeyedText(textKey);
    const EngineWString text = kind != kPopupAward ? FillNumber(translation, number) : CopyText(translation);
    hud_->AddFloatingText(static_cast<std::uint8_t>(kind), static_cast<std::uint8_t>(number), text.Text(),
                          Color{1.0f, 1.0f, 1.0f, 1.0f});
}

void GameHud::PushNotification(const char* textKey, std::int32_t number, float seconds, std::uint32_t colour) {
    if (hud_ == nullptr) return;
    const WCHAR* translation = KeyedText(textKey);
    const EngineWString text = number >= 0 ? FillNumber(translation, number) : CopyText(translation);
    Color tint;
    ColorFromARGB(colour, tint);
    hud_->PushNotification(text.Text(), seconds, tint);
}

void GameHud::ClearNotifications() {
    if (hud_ != nullptr) hud_->ClearNotifications();
}

bool GameHud::BannersEmpty() const { return hud_ == nullptr || hud_->banners.count == 0; }

bool GameHud::FloatingTextsEmpty() const { return hud_ == nullptr || hud_->popups.count == 0; }

void GameHud::SetPressedButtons(std::uint32_t set) {
    if (hud_ != nullptr) hud_->SetPressedButtons(set);
}

void GameHud::ButtonCentre(PlayButton button, float& x, float& y) const {
    // Touches are tested where the HUD draws the buttons.
    static constexpr int kDrawn[kPlayButtonCount] = {kHudButtonTop,        kHudButtonUpperLeft, kHudButtonUpperRight,
                                                     kHudButtonRotateLeft, kHudButtonRotateRight, kHudButtonLeft,
                                                     kHudButtonRight};
    if (button < 0 || button >= kPlayButtonCount) {
        layout_.ButtonCentre(button, x, y);
        return;
    }
    Hud::ButtonCentre(kDrawn[button], x, y);
    x /= Hud::ScreenWidth();
    y /= Hud::ScreenHeight();
}

void GameHud::ResetComics() {
    if (hud_ != nullptr) PrepareRecord(*hud_);
}

std::int32_t GameHud::NextIntroPage() { return hud_ != nullptr ? hud_->NextIntroPanel() : 0; }

std::int32_t GameHud::NextOutroPage() { return hud_ != nullptr ? hud_->NextOutroPanel() : 0; }

void GameHud::Update(float dt) {
    if (hud_ != nullptr) hud_->Update(dt);
}

void GameHud::DrawIntroPage(float t) {
    if (hud_ != nullptr) hud_->DrawIntroPage(t);
}

void GameHud::DrawOutroPage(float t) {
    if (hud_ != nullptr) hud_->DrawOutroPage(t);
}

void GameHud::DrawPauseButton() {
    if (hud_ != nullptr) hud_->DrawPauseButton();
}

void GameHud::Flush() {
    if (hud_ == nullptr) return;
    hud_->Flush();
    hud_->ClearBatch();
}

void GameHud::DrawBanners() {
    if (hud_ != nullptr) hud_->DrawBanners(FrameTime());
}

void GameHud::DrawPopups() {
    if (hud_ != nullptr) hud_->DrawPopups(FrameTime());
}

void GameHud::DrawSphereRow() {
    if (hud_ != nullptr) hud_->DrawSphereRow();
}

void GameHud::DrawRotateMeter() {
    if (hud_ != nullptr) hud_->DrawRotateMeter();
}

void GameHud::DrawTouchControls() {
    if (hud_ != nullptr) hud_->DrawTouchControls();
}

void GameHud::DrawCornerButtons() {
    if (hud_ != nullptr) hud_->DrawCornerButtons();
}

void GameHud::DrawFrameQuad(float x, float y, float width, float height, float alpha) {
    if (hud_ != nullptr) hud_->DrawFrameQuad(x, y, width, height, alpha);
}

void GameHud::DrawIcon(std::int32_t icon, float x, float y, float scale, float alpha) {
    if (hud_ != nullptr) hud_->DrawIcon(icon, x, y, true, scale, alpha);
}

void GameHud::DrawAtlasCell(float u0, float v0, float u1, float v1, float x, float y, float width, float height,
                            float alpha) {
    if (hud_ == nullptr) return;
    hud_->DrawAtlasSprite(u0 * kHudAtlasSize, v0 * kHudAtlasSize, u1 * kHudAtlasSize, v1 * kHudAtlasSize, x, y, width,
                          height, alpha);
}

void GameHud::DrawMedalIcon(std::int32_t medal, float x, float y, float scale) {
    if (hud_ != nullptr) hud_->DrawMedalIcon(medal, x, y, scale);
}

HudPlayState GameHud::PlayState() const {
    HudPlayState play;
    const IngameController* controller = GetController();
    if (controller == nullptr) return play;
    const PlayWorld& world = GetPlayWorld();
    const CharacterFacts character = world.Character();
    const LevelFacts level = world.Level();
    play.controllerState = controller->state;
    play.controlOpacity = controller->controllerAlpha;
    play.buttonsSwapped = controller->controlLayout == 2;
    play.characterState = character.state;
    play.mayMove = !character.moving;
    play.rotateCharge = character.rotateCharge;
    play.fallHeight = character.position.z;
    play.sphereTotal = level.sphereTotal;
    play.spheresCollected = level.spheresCollected;
    return play;
}

void GameHud::PlaySound(std::int32_t soundId) { PlaySoundEffect(static_cast<std::uint32_t>(soundId), 0, 0); }
