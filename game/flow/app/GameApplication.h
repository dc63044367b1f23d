// GameApplication: the game's one application object, of type "GameEngine". The shell makes
// it through the game module's "Create_GameEngine", runs its Init, its main loop Run until
// the quit flag is set, and its Shutdown; the window procedure sends it the game events.
// It runs the screen flow once a frame, gives up the render device while the game is in the
// background and makes it again when the game comes back.
#pragma once

#include "engine/core/object/GameEngine.h"
#include "engine/overlay/menu/MenuRoot.h"
#include "game/flow/devices/AccelerometerKey.h"
#include "game/flow/screens/ScreenFlow.h"
#include "game/flow/sound/SoundOutput.h"
#include "platform/base/Types.h"

class SoundManager;
struct PhoneStateWatcher;
struct PowerWatch;
class PlayerProfile;
class GameHud;

#include "engine/overlay/widgets/OverlayManager.h"

// The game composes a landscape screen on the portrait display: a quarter turn.
constexpr DWORD kLandscapeScreenAngle = 90;

class GameApplication : public GameEngine, public ScreenHost, public MenuRootHost {
public:
    // Turns the display to landscape (90 degrees) for the game.
    GameApplication();
    ~GameApplication() override;

    // The sound manager, the player profile with its language's texts and the menus; holds
    // the display's rotation and sets the accelerometer's poll delay. 0, or 1 when a step
    // failed: what was brought up is shut down again.
    DWORD Init() override;
    void Shutdown() override;
    DWORD Run() override;
    // One frame of the current screen state (RenderPass.h): the scene, the widget overlay (the
    // menu root and the shown menu pages) and the state's own 2D layer, then the present.
    DWORD Render() override;
    void OnEvent(DWORD event, LPARAM a, LPARAM b) override;

    // One step of the screen state machine; Run calls it once a frame, the menu root once a
    // frame of a page's modal run.
    void UpdateScreenState() override;
    // The game's frame under the menu pages: nothing of its own yet.
    void DrawGameFrame(Canvas2D* canvas) override;
    // 0 makes the render device again, 1 gives it up; nothing before the shell has started.
    void SetSuspended(DWORD request) override;
    // The state machine enters `state` at its next step.
    void RequestScreenState(DWORD state) { flow_.RequestScreenState(state); }

    const GameFlowState& State() const { return flow_.State(); }
    ScreenFlow& Flow() { return flow_; }

    // ScreenHost.
    bool CanRun() const override;
    int KeyState(std::int32_t key) const override;
    void TouchPoint(float& x, float& y) override;
    void Tilt(std::int32_t& x, std::int32_t& y, std::int32_t& z) override;
    void ProcessInput() override;
    void RunFrameDriverOnce() override;
    void RequestQuit() override;
    int LoadGameResources() override;
    int LoadLocalisation(const char* folder) override;
    bool LoadLoadingPicture() override;
    void SetClickSounds(DWORD on) override;
    PowerWatch* Power() override { return powerWatch_; }
    bool ShellActive() const override;

    // The last accelerometer sample (x, y, z), read in play every 0.025 s.
    const std::uint32_t* AccelSample() const { return accelSample_; }
    PhoneStateWatcher* PhoneState() const { return phoneState_; }

private:
    // The point in screen coordinates from a packed device position (x low, y high, signed).
    void StorePointer(LPARAM packed);
    void Resume();
    void Suspend();
    // Seeds the random numbers, makes the profile key and the profile, applies its volumes.
    bool CreateProfile();

    ScreenFlow flow_;
    MenuRoot menuRoot_;
    DeviceSoundOutput soundOutput_;
    SoundManager* sound_ = nullptr;
    PlayerProfile* profile_ = nullptr;
    float pointerX_ = 0.0f;  // last pointer position in screen coordinates
    float pointerY_ = 0.0f;
    GameHud* hud_ = nullptr;  // made with the game's resources
    AccelSettings accel_;
    bool accelTaken_ = false;
    bool rendering_ = false;  // inside Render
    bool rotationHeld_ = false;
    bool tvOutStarted_ = false;
    PhoneStateWatcher* phoneState_ = nullptr;  // made with the object
    bool phoneStateWatched_ = false;
    // Whether the last language loaded has its menu texts; menus without them are unusable.
    bool menuTextsLoaded_ = false;
    PowerWatch* powerWatch_ = nullptr;
    std::uint32_t accelSample_[3] = {};
};
