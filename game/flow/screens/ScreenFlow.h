// ScreenFlow: the game's top-level flow, one step a frame: boot, the start-up page, the two
// logos, loading, the title, the menus, level loading, the intro and outro comics, play, the
// pause menu and the way back from play. It also holds the rotation override, follows the
// power state and turns the volume keys into the player's volumes. What it needs of the
// application around it (the device, input, the frame driver) it asks of a ScreenHost.
#pragma once

#include <cstdint>

#include "game/flow/interfaces/FlowHost.h"
#include "platform/base/Types.h"

class IngameController;
struct PowerWatch;

// What the game wants of the render device; kept in activityRequest.
constexpr DWORD kActivityResume = 0;
constexpr DWORD kActivitySuspend = 1;
constexpr DWORD kActivitySettled = 2;

constexpr DWORD kScreenStateNone = 15;

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
    DWORD leaveKind = 0;     // 1 play ended, 2 the language changed
    DWORD languageChanged = 0;
    DWORD exitGame = 0;
    DWORD inputLatch = 1;  // a touch that changed the state is ignored until released
    float rotationHoldTimer = 0.0f;
    float comicTimer = 0.0f;
    float loadingValue = 0.0f;
    float accelPollTimer = 0.0f;
    float pointerX = 0.0f;  // last pointer position in screen coordinates
    float pointerY = 0.0f;
    DWORD suspendBusy = 0;  // 1 while SetSuspended works
    DWORD powerOff = 0;     // the power watch saw the power going off
    DWORD audioFlag = 1;    // the widgets' click sounds
};

// The application's side of the flow.
class ScreenHost {
public:
    virtual ~ScreenHost() = default;

    // The render device exists, the shell has started and the application has the focus.
    virtual bool CanRun() const = 0;
    // Makes the device again (0) or gives it up (1).
    virtual void SetSuspended(DWORD request) = 0;
    virtual int KeyState(std::int32_t key) const = 0;
    // The pointer's last position in game screen pixels.
    virtual void TouchPoint(float& x, float& y) = 0;
    virtual void Tilt(std::int32_t& x, std::int32_t& y, std::int32_t& z) = 0;
    // Dispatches queued input to the widgets.
    virtual void ProcessInput() = 0;
    // One frame driver step, and the frame clock restarted so the time before is no frame.
    virtual void RunFrameDriverOnce() = 0;
    virtual void RequestQuit() = 0;
    // The work of the loading screen that is not the flow's: archives read into memory, the
    // camera and the object database; 1 when done.
    virtual int LoadGameResources() = 0;
    // The texts of a language folder; 1 on success.
    virtual int LoadLocalisation(const char* folder) = 0;
    // The loading picture; false when it is missing.
    virtual bool LoadLoadingPicture() = 0;
    // The widgets' click sounds on or off.
    virtual void SetClickSounds(DWORD on) = 0;
    // The power watch the flow polls at each step; none by default.
    virtual PowerWatch* Power() { return nullptr; }
    // The shell has started and the application has the focus (the device may be missing).
    virtual bool ShellActive() const { return true; }
};

class ScreenFlow : public FlowHost {
public:
    explicit ScreenFlow(ScreenHost& host);
    ~ScreenFlow() override;
    ScreenFlow(const ScreenFlow&) = delete;
    ScreenFlow& operator=(const ScreenFlow&) = delete;

    // One step with the frame's time step.
    void Step(float delta);
    void EnterScreenState(DWORD state);
    // The work of the loading screen: sounds, the controller and the resources. 1 when done.
    int LoadGameData();

    DWORD CurrentScreenState() const override { return state_.screenState; }
    void RequestScreenState(DWORD state) override { state_.requestedScreenState = state; }
    int KeyState(std::int32_t key) const override { return host_.KeyState(key); }
    void TouchPoint(float& x, float& y) override;
    void Tilt(std::int32_t& x, std::int32_t& y, std::int32_t& z) const override;

    GameFlowState& State() { return state_; }
    const GameFlowState& State() const { return state_; }
    IngameController* Controller() const { return controller_; }

private:
    void StepVolumeKeys();
    // Follows the power watch; true when the step ends here (the power just went off).
    bool StepPowerWatch(bool& stayedOff);
    void StepComic(bool intro);
    void EndComic(bool intro);
    void StepLeavePlay();
    void ActOnMenuResult(std::int32_t result);
    void StartGame();
    void SetAudioFlag(DWORD on);
    bool TouchReleased() const;

    ScreenHost& host_;
    GameFlowState state_;
    IngameController* controller_ = nullptr;
    std::int32_t tilt_[3] = {};
};

// Writes the rotation override "OverrideCounter" under HKEY_LOCAL_MACHINE
// "Services\MultiService\mods\Rotation"; nothing when the key cannot be opened.
void WriteRotationOverride(DWORD value);
// The counter that holds the display in the game's orientation, renewed every 15 s, and the
// one that gives it back.
constexpr DWORD kRotationOverrideHeld = 30;
constexpr DWORD kRotationOverrideReleased = 1;
constexpr float kRotationOverridePeriod = 15.0f;
// The override written between two short sleeps, which give the rotation service time to
// see the value before and after.
void HoldRotation();
void ReleaseRotation();
