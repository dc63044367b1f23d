// FlowAccess: what the world's side of play reaches of the game's flow (the in-game controller,
// the sound manager and the player profile) without the flow's headers, whose names for sound
// ids and level counts are also the world's own.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

namespace flow_access {

// The in-game controller's fields the world's record follows.
struct ControllerView {
    bool exists = false;
    std::int32_t state = 0;
    std::int32_t pendingState = 0;
    std::int32_t currentLevel = 0;
    std::int32_t startedWithCutscene = 0;
    std::int32_t cutsceneRequest = 0;
    std::int32_t requestedWorld = 0;
    std::int32_t cutsceneShot = 0;
};

ControllerView ReadController();
void SetPendingState(std::int32_t state);
// The controller's own operations; nothing without a controller.
void SphereCollected();
void RestartLevel();
void TriggerRumble();

// The sound manager's effects; 0 and false without one.
std::uint32_t PlayEffect(std::uint32_t soundId, DWORD mode, DWORD fixedFrequency);
bool IsEffectPlaying(std::uint32_t handle);
void StopEffect(std::uint32_t handle);

// The profile's counters raised by one, the new value; 0 without a profile.
std::int32_t RaiseOneLeafDoorCount();
std::int32_t RaiseTeskKillCount();
// The profile's award (its bit and pop-up, once); the grant steps of awards 5 and 8.
void GrantAward(std::int32_t award);
void GrantAward10();
void GrantAward11();

}  // namespace flow_access
