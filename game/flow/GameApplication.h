// GameApplication: the game's one application object, of type "GameEngine". The shell makes
// it through the game module's "Create_GameEngine", runs its Init, its main loop Run until
// the quit flag is set, and its Shutdown; the window procedure sends it the game events.
// It also gives up the render device while the game is in the background and makes it
// again when the game comes back.
#pragma once

#include "engine/core/object/GameEngine.h"
#include "platform/base/Types.h"

// What the game wants of the render device; kept in activityRequest.
constexpr DWORD kActivityResume = 0;
constexpr DWORD kActivitySuspend = 1;
constexpr DWORD kActivitySettled = 2;

// The two modal-frame events of the overlay's modal loops.
constexpr DWORD kGameEventModalFrameBegin = 14;
constexpr DWORD kGameEventModalFrameEnd = 15;

constexpr DWORD kScreenStateNone = 15;

// The game composes a landscape screen on the portrait display: a quarter turn.
constexpr DWORD kLandscapeScreenAngle = 90;

struct GameFlowState {
    float activeTime = 0.0f;  // seconds since the render device was last made again
    float lastSuspendSeconds = 0.0f;
    float lastResumeSeconds = 0.0f;
    DWORD resumeCount = 0;
    DWORD activityRequest = kActivitySettled;
    DWORD screenState = 0;
    DWORD requestedScreenState = 0;
    DWORD previousScreenState = kScreenStateNone;
    float stateTime = 0.0f;  // seconds in the current screen state
    DWORD leaveKind = 0;
    DWORD languageChanged = 0;
    DWORD inputLatch = 1;  // a touch that changed the state is ignored until released
    float rotationHoldTimer = 0.0f;
    float comicTimer = 0.0f;
    float loadingValue = 0.0f;
    float pointerX = 0.0f;  // last pointer position in screen coordinates
    float pointerY = 0.0f;
    DWORD suspendBusy = 0;  // 1 while SetSuspended works
};

class GameApplication : public GameEngine {
public:
    // Turns the display to landscape (90 degrees) for the game.
    GameApplication();
    ~GameApplication() override = default;

    DWORD Init() override;
    void Shutdown() override;
    DWORD Run() override;
    // Until the game draws its screens, a frame is the device's clear and present.
    DWORD Render() override;
    void OnEvent(DWORD event, LPARAM a, LPARAM b) override;

    // One step of the screen state machine; Run calls it once a frame.
    void UpdateScreenState();
    // 0 makes the render device again, 1 gives it up; nothing before the shell has started.
    void SetSuspended(DWORD request);
    // The state machine enters `state` at its next step.
    void RequestScreenState(DWORD state) { state_.requestedScreenState = state; }

    const GameFlowState& State() const { return state_; }

private:
    // The point in screen coordinates from a packed device position (x low, y high, signed).
    void StorePointer(LPARAM packed);
    void Resume();
    void Suspend();

    GameFlowState state_;
};
