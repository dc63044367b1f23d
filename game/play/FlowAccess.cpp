// The flow's side of play's bridge.
#include "game/play/FlowAccess.h"

#include "game/flow/ingame/IngameController.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundManager.h"

namespace flow_access {

ControllerView ReadController() {
    ControllerView view;
    const IngameController* controller = GetController();
    if (controller == nullptr) return view;
    view.exists = true;
    view.state = controller->state;
    view.pendingState = controller->pendingState;
    view.currentLevel = controller->currentLevel;
    view.startedWithCutscene = controller->startedWithCutscene;
    view.cutsceneRequest = controller->cutsceneRequest;
    view.requestedWorld = controller->requestedWorld;
    view.cutsceneShot = controller->cutsceneShot;
    return view;
}

void SetPendingState(std::int32_t state) {
    if (IngameController* controller = GetController()) controller->pendingState = state;
}

void SphereCollected() {
    if (IngameController* controller = GetController()) controller->OnSphereCollected();
}

void RestartLevel() {
    if (IngameController* controller = GetController()) controller->RestartLevel();
}

void TriggerRumble() {
    if (IngameController* controller = GetController()) controller->TriggerRumble();
}

std::uint32_t PlayEffect(std::uint32_t soundId, DWORD mode, DWORD fixedFrequency) {
    return ::PlaySoundEffect(soundId, mode, fixedFrequency);
}

bool IsEffectPlaying(std::uint32_t handle) {
    SoundManager* sound = GetSoundManager();
    return sound != nullptr && sound->IsPlaying(handle);
}

void StopEffect(std::uint32_t handle) {
    if (SoundManager* sound = GetSoundManager()) sound->StopSound(handle);
}

std::int32_t RaiseOneLeafDoorCount() {
    PlayerProfile* profile = GetProfile();
    return profile != nullptr ? static_cast<std::int32_t>(++profile->award5Progress) : 0;
}

std::int32_t RaiseTeskKillCount() {
    PlayerProfile* profile = GetProfile();
    return profile != nullptr ? static_cast<std::int32_t>(++profile->award8Progress) : 0;
}

void GrantAward(std::int32_t award) {
    if (PlayerProfile* profile = GetProfile()) profile->GrantAward(award);
}

void GrantAward10() { ::GrantAward10(); }

void GrantAward11() { ::GrantAward11(); }

}  // namespace flow_access
