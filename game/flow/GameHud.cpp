// The flow's HUD: keys to texts, the play state for the HUD, the buttons where the HUD
// draws them.
#include "game/flow/GameHud.h"

#include "engine/overlay/text/TextTable.h"
#include "game/flow/GameServices.h"
#include "game/flow/IngameController.h"
#include "game/flow/PlayWorld.h"
#include "game/flow/SoundManager.h"
#include "game/ui/text/TextFormat.h"

namespace {

GameHud* current = nullptr;

Color ColorOf(std::uint32_t argb) {
    return Color{static_cast<float>((argb >> 16) & 0xFF) / 255.0f, static_cast<float>((argb >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(argb & 0xFF) / 255.0f, static_cast<float>(argb >> 24) / 255.0f};
}

const WCHAR* TextOf(const char* key) { return TextTableFind(GlobalTextTable(), key, nullptr); }

}  // namespace

GameHud* GameHud::Create() {
    Hud* hud = new Hud;
    if (hud == nullptr) return nullptr;
    auto* made = new GameHud(hud);
    if (made == nullptr) {
        delete hud;
        return nullptr;
    }
    current = made;
    return made;
}

GameHud::GameHud(Hud* hud) : hud_(hud) { hud_->host = this; }

GameHud::~GameHud() {
    if (current == this) current = nullptr;
    delete hud_;
}

Hud* CurrentHud() { return current != nullptr ? &current->Record() : nullptr; }

bool StartGameHud() {
    if (current != nullptr) return true;
    GameHud* hud = GameHud::Create();
    if (hud == nullptr) return false;
    SetPlayHud(hud);
    return true;
}

void StopGameHud() {
    if (current == nullptr) return;
    SetPlayHud(nullptr);
    delete current;
}

void GameHud::AddFloatingText(std::int32_t kind, std::int32_t number, const char* textKey) {
    // The translation is shown as it is: a '%' in it is text, never a format.
    hud_->AddFloatingText(static_cast<std::uint8_t>(kind), static_cast<std::uint8_t>(number), TextOf(textKey),
                          Color{1.0f, 1.0f, 1.0f, 1.0f});
}

void GameHud::PushNotification(const char* textKey, std::int32_t number, float seconds, std::uint32_t colour) {
    const WCHAR* text = TextOf(textKey);
    if (number < 0) {
        hud_->PushNotification(text, seconds, ColorOf(colour));
        return;
    }
    const EngineWString filled = FillNumber(text, number);
    hud_->PushNotification(filled.Text(), seconds, ColorOf(colour));
}

void GameHud::ClearNotifications() { hud_->ClearNotifications(); }
bool GameHud::BannersEmpty() const { return hud_->banners.count == 0; }
bool GameHud::FloatingTextsEmpty() const { return hud_->popups.count == 0; }
void GameHud::SetPressedButtons(std::uint32_t set) { hud_->SetPressedButtons(set); }

void GameHud::ButtonCentre(PlayButton button, float& x, float& y) const {
    const float w = Hud::ScreenWidth();
    const float h = Hud::ScreenHeight();
    // Where DrawTouchControls puts each button, in screen pixels.
    struct Centre {
        float x, y;
    };
    Centre centre{-w, -h};
    switch (button) {
        case kButtonForward: centre = {w / 2, 48}; break;
        case kButtonForwardLeft: centre = {144, 96}; break;
        case kButtonForwardRight: centre = {w - 144, 96}; break;
        case kButtonTurnA: centre = {176, 0.75f * h}; break;
        case kButtonTurnB: centre = {w - 176, 0.75f * h}; break;
        case kButtonStepLeft: centre = {48, h / 2}; break;
        case kButtonStepRight: centre = {w - 48, h / 2}; break;
        default: break;
    }
    x = centre.x / w;
    y = centre.y / h;
}

void GameHud::ResetComics() {
    hud_->Prepare();
    hud_->ResetComicPanels();
}

std::int32_t GameHud::NextIntroPage() { return hud_->NextIntroPanel(); }
std::int32_t GameHud::NextOutroPage() { return hud_->NextOutroPanel(); }
void GameHud::Update(float dt) { hud_->Update(dt); }
void GameHud::Prepare() { hud_->Prepare(); }

HudPlayState GameHud::PlayState() const {
    HudPlayState play;
    if (const IngameController* controller = GetController()) {
        play.controllerState = controller->state;
        play.controlOpacity = controller->controllerAlpha;
        play.buttonsSwapped = controller->controlLayout != 1;
    }
    const PlayWorld& world = GetPlayWorld();
    const CharacterFacts character = world.Character();
    play.characterState = character.state;
    play.rotateCharge = character.rotateCharge;
    play.mayMove = character.mayMove;
    play.fallHeight = character.position.z;
    const LevelFacts level = world.Level();
    play.sphereTotal = level.sphereTotal;
    play.spheresCollected = level.spheresCollected;
    return play;
}

void GameHud::PlaySound(std::int32_t soundId) {
    if (soundId >= 0) PlaySoundEffect(static_cast<std::uint32_t>(soundId), 0, 1);
}
