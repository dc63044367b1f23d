// IngameController: the one object that runs play. It drives the game world's level and
// player character through PlayWorld, keeps the play state machine, turns touches, keys and
// the tilt into movement commands, moves the camera and measures the attempt for the results.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/math/MathTypes.h"
#include "platform/base/Types.h"

class FlowHost;

// Play states.
enum PlayState : std::int32_t {
    kPlayLoad = 1,
    kPlayFlyIn = 2,
    kPlayCutscene = 3,
    kPlayTutorialPage = 4,
    kPlayPlaying = 5,
    kPlayScroll = 6,
    kPlayComplete = 7,
    kPlayCompleteWait = 8,
    kPlayResults = 9,
    kPlayReset = 10,
    kPlayLeave = 11,
};

// Movement command bits for the character.
constexpr std::uint32_t kCommandStepLeft = 1;
constexpr std::uint32_t kCommandStepRight = 2;
constexpr std::uint32_t kCommandForward = 4;
constexpr std::uint32_t kCommandTurnB = 16;
constexpr std::uint32_t kCommandTurnA = 32;

// The world's fixed update step.
constexpr float kFixedStep = 0.033f;
constexpr std::uint32_t kTouchDragCapacity = 30;

// Medal colours of the results line.
constexpr std::uint32_t kMedalColourGold = 0xFFE3A41C;
constexpr std::uint32_t kMedalColourSilver = 0xFFA2AEB2;
constexpr std::uint32_t kMedalColourBronze = 0xFFBD924F;
constexpr std::uint32_t kMedalColourNone = 0xFFAAE467;

struct TouchDrag {
    std::int32_t valid = 0;
    float x = 0.0f, y = 0.0f, dx = 0.0f, dy = 0.0f;
};

struct PlayCamera {
    Vector3 target{};
    Vector3 eye{};
    Vector3 desiredEye{};
    Vector3 look{0.0f, 0.0f, 1.0f};
    float distance = 50.0f;
    float distanceTarget = 80.0f;
};

class IngameController {
public:
    explicit IngameController(FlowHost& host);
    ~IngameController();
    IngameController(const IngameController&) = delete;
    IngameController& operator=(const IngameController&) = delete;

    // One frame of play with the frame's step; 0 once play is left (state 11), else 1.
    int Update(float dt);
    // Before play starts: 1 when the character cannot be loaded; else the controls' opacity
    // from the profile and the custom levels listed, and 0.
    int Prepare();
    void SetState(std::int32_t state);
    void ResetPlay();
    void RestartLevel();
    void UnloadLevel();
    void OnSphereCollected();
    void AddTouchDrag(float x, float y, float dx, float dy);
    void ProcessTouchDrags();
    void PanCamera(const TouchDrag& drag, float dt);
    void ApplyCameraShot(std::int32_t slot);
    // The level the next load plays, with the first level of its world; the level chosen on
    // a selection page is the one that loads.
    void SelectLevel(std::int32_t level);
    void RequestWorldCutscene(std::int32_t world);
    void SetRequest(std::int32_t value);
    bool WorldChanged() const;
    // Lists the custom levels ("customlevels/*.qvn") again; their count.
    std::int32_t RefreshCustomLevels();
    // A vibration pulse for the level's objects when the player has rumble on; not while the
    // character is inactive in play.
    void TriggerRumble();
    // True when at least one custom level file exists.
    static bool HasCustomLevels();
    const std::vector<std::string>& CustomLevels() const { return customLevels_; }

    // Record (what the results page, the HUD and the screen state machine read).
    float elapsedCopy = 0.0f;
    float logicMeasure = 0.0f;
    float timeRating = 0.0f;
    float logicRating = 0.0f;
    BYTE medal = 0;
    std::int32_t timePoints = 0;
    std::int32_t logicPoints = 0;
    std::int32_t newRecord = 0;
    const char* resultTitle = "";  // text key of the medal line
    std::uint32_t resultColour = 0;
    float stateTimer = 0.0f;
    float stepAccumulator = 0.0f;
    std::int32_t state = 0;
    std::int32_t pendingState = 0;
    std::int32_t previousState = 0;
    std::int32_t clockIdle = 1;
    std::int32_t previousBest = 0;
    std::int32_t holdMarker = 0;
    float elapsedTime = 0.0f;
    std::int32_t nextLevel = 0;
    std::int32_t lastCompleted = -1;
    std::int32_t currentLevel = 0;
    std::int32_t finale = 0;
    std::int32_t startedWithCutscene = 0;
    std::int32_t cutsceneRequest = 0;
    std::int32_t requestedWorld = 0;
    std::int32_t secondRequest = 0;
    std::int32_t secondRequestValue = 0;
    std::int32_t cutsceneRunning = 0;
    std::int32_t cutsceneShot = 0;
    std::int32_t controlLayout = 1;
    std::int32_t invertDrag = 0;
    std::int32_t option = 1;
    float controllerAlpha = 0.8f;
    std::int32_t leaveToWorld = 0;
    std::int32_t firstLevelOfWorld = 0;
    TouchDrag drags[kTouchDragCapacity];
    std::uint32_t dragCount = 0;
    std::uint32_t dragStart = 0;
    PlayCamera camera;
    std::uint32_t commandWord = 0;  // what the character was last told
    std::uint32_t pressedButtons = 0;

private:
    void FixedStepUpdate(float dt, bool levelOnly);
    void EnterLoad();
    void EnterCutscene();
    void EnterPlay();
    void EnterComplete();
    void EnterLeave();
    void ScoreLevel();
    void UpdateCutscene(float dt);
    void UpdateTutorialPage(float dt);
    // False when the state's update returned early.
    bool UpdatePlay(float dt);
    void UpdateScroll(float dt);
    void UpdateResults(float dt);
    void UpdateReset(float dt);
    std::uint32_t TouchCommand(float x, float y, int touch, bool moving);
    std::uint32_t TiltCommand(bool moving);
    void OpenPauseMenu(DWORD screenState);
    void Notify(const char* key, std::int32_t number, float seconds);

    FlowHost& host_;
    float lastStep_ = 0.0f;  // the step of the frame being updated
    struct VibrationPattern* rumble_ = nullptr;  // made by Prepare, owned by the lights
    std::int32_t buttonHeld_ = 0;
    std::int32_t tiltHeld_ = 0;
    std::int32_t continueLatch_ = 0;
    std::int32_t touchWaiting_ = 0;
    std::vector<std::string> customLevels_;  // file names without ".qvn", in listing order
};
