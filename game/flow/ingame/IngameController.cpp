// The controller's record, its per-frame update, the touch-drag ring and the camera.
#include "game/flow/ingame/IngameController.h"

#include <cmath>

#include "engine/app/GameKeys.h"
#include "engine/app/KeyStates.h"
#include "engine/core/device/NotificationLights.h"
#include "engine/resources/kdb/KDB.h"
#include "game/flow/interfaces/FlowHost.h"
#include "game/flow/interfaces/MenuPages.h"
#include "game/flow/interfaces/PlayHud.h"
#include "game/flow/interfaces/PlayWorld.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundManager.h"
#include "game/ui/AnimatedValue.h"
#include "game/ui/StepVector.h"

namespace {

// The bottom strip of the screen holds the pause and scroll buttons.
constexpr float kBottomStrip = 64.0f;
constexpr float kPauseButtonX = 652.0f;
constexpr float kScrollButtonX = 504.0f;
constexpr float kInputDelay = 0.2f;
constexpr float kButtonReach = 0.1f;
constexpr float kMaxFlyInFrame = 0.1f;

struct ButtonCommand {
    PlayButton button;
    std::uint32_t bits;
    std::uint32_t pressedSet;
    bool clearsHoldMarker;
};

constexpr std::uint32_t kPressedTurnA = 0x4000000;
constexpr std::uint32_t kPressedTurnB = 0x2000000;

constexpr ButtonCommand kButtons[] = {
    {kButtonForward, kCommandForward, 64, true},
    {kButtonForwardLeft, kCommandForward | kCommandStepLeft, 32, true},
    {kButtonForwardRight, kCommandForward | kCommandStepRight, 128, true},
    {kButtonTurnA, kCommandTurnA, kPressedTurnA, false},
    {kButtonTurnB, kCommandTurnB, kPressedTurnB, false},
    {kButtonStepLeft, kCommandStepLeft, 16, false},
    {kButtonStepRight, kCommandStepRight, 256, false},
};

bool Released(const FlowHost& host, std::int32_t key) { return host.KeyState(key) == kKeyReleased; }

}  // namespace

IngameController::IngameController(FlowHost& host) : host_(host) {
    SetController(this);
    ResetPlay();
}

IngameController::~IngameController() {
    GetPlayWorld().Release();
    if (GetController() == this) SetController(nullptr);
}

void IngameController::ResetPlay() {
    clockIdle = 1;
    holdMarker = 0;
    previousBest = 0;
    finale = 0;
    dragCount = 0;
    dragStart = 0;
    cutsceneShot = 0;
    cutsceneRunning = 0;
    camera.target = GetPlayWorld().Character().position;
    camera.eye = {camera.target.x, camera.target.y, camera.target.z - 5.0f};
    camera.desiredEye = camera.eye;
    camera.look = {0.0f, 0.0f, 1.0f};
    if (SoundManager* sound = GetSoundManager()) sound->StopGroup1Effects();
}

void IngameController::SelectLevel(std::int32_t level) {
    nextLevel = level;
    firstLevelOfWorld = level < kFirstScoredLevel ? 0 : level - (level - kFirstScoredLevel) % kLevelsPerWorld;
}

void IngameController::RequestWorldCutscene(std::int32_t world) {
    cutsceneRequest = 1;
    requestedWorld = world == 0 ? 1 : world;
}

void IngameController::SetRequest(std::int32_t value) {
    secondRequest = 1;
    secondRequestValue = value;
}

bool IngameController::WorldChanged() const {
    if (lastCompleted < 0) return false;
    const std::int32_t lastWorld = lastCompleted < kFirstScoredLevel ? 0 : (lastCompleted - kFirstScoredLevel) / 5 + 1;
    return lastWorld != WorldOfLevel(currentLevel);
}

int IngameController::Prepare() {
    if (!GetPlayWorld().LoadCharacterModel()) return 1;
    if (const PlayerProfile* profile = GetProfile())
        controllerAlpha = static_cast<float>(profile->Option(kOptionControllerOpacity)) * 0.01f;
    cutsceneShot = 0;
    if (rumble_ == nullptr) rumble_ = NewVibrationPattern();
    RefreshCustomLevels();
    return 0;
}

void IngameController::TriggerRumble() {
    const PlayerProfile* profile = GetProfile();
    if (profile == nullptr || profile->Option(kOptionRumble) == 0) return;
    if (state == kPlayPlaying && (GetPlayWorld().Character().flags & kCharacterActive) == 0) return;
    StartVibrationPulse(rumble_);
}

void IngameController::AddTouchDrag(float x, float y, float dx, float dy) {
    if (state != kPlayScroll || dragCount >= kTouchDragCapacity) return;
    drags[(dragStart + dragCount) % kTouchDragCapacity] = {1, x, y, dx, dy};
    ++dragCount;
}

void IngameController::ProcessTouchDrags() {
    // The pan reads the frame's step; the ring is emptied whatever the entries hold.
    for (std::uint32_t i = 0; i < dragCount; ++i) {
        const TouchDrag& drag = drags[(dragStart + i) % kTouchDragCapacity];
        if (drag.valid == 1) PanCamera(drag, lastStep_);
    }
    dragStart = (dragStart + dragCount) % kTouchDragCapacity;
    dragCount = 0;
}

void IngameController::PanCamera(const TouchDrag& drag, float dt) {
    float dx = drag.dx;
    float dy = drag.dy;
    if (invertDrag != 0) {
        dx = -dx;
        dy = -dy;
    }
    const LevelFacts level = GetPlayWorld().Level();
    const float left = static_cast<float>(level.firstColumn);
    const float bottom = static_cast<float>(level.firstRow);
    const float width = static_cast<float>(level.columns);
    const float height = static_cast<float>(level.rows);
    float stepY = 0.0f;
    float stepX = 0.0f;
    float margin = 4.0f;
    switch (GetPlayWorld().Character().facing) {
        case 0: stepY = -2 * dt * dy; stepX = -2 * dt * dx; break;
        case 1: stepY = -2 * dt * dx; stepX = 2 * dt * dy; margin = 3.0f; break;
        case 2: stepY = 2 * dt * dy; stepX = 2 * dt * dx; break;
        case 3: stepY = 2 * dt * dx; stepX = -2 * dt * dy; margin = 3.0f; break;
        default: return;
    }
    Vector3& target = camera.target;
    if ((stepY > 0 && target.y < (bottom + height - 1) * 10) || (stepY < 0 && target.y > (bottom + 2) * 10))
        target.y += stepY;
    if ((stepX > 0 && target.x < (left + width - margin) * 10) || (stepX < 0 && target.x > (left + margin) * 10))
        target.x += stepX;
}

void IngameController::ApplyCameraShot(std::int32_t slot) {
    Vector3 position;
    Vector3 target;
    GetPlayWorld().CameraSlot(slot, position, target);
    camera.desiredEye = position;
    camera.target = target;
    const Vector3 between{target.x - position.x, target.y - position.y, target.z - position.z};
    camera.distance = std::sqrt(between.x * between.x + between.y * between.y + between.z * between.z);
}

void IngameController::FixedStepUpdate(float dt, bool levelOnly) {
    PlayWorld& world = GetPlayWorld();
    stepAccumulator += dt;
    while (stepAccumulator >= kFixedStep) {
        world.UpdateLevel(kFixedStep);
        if (!levelOnly) world.UpdateCharacter(kFixedStep);
        stepAccumulator -= kFixedStep;
    }
    if (stepAccumulator > 0.0f) {
        world.UpdateLevel(stepAccumulator);
        if (!levelOnly) world.UpdateCharacter(stepAccumulator);
    }
    stepAccumulator = 0.0f;
}

void IngameController::OpenPauseMenu(DWORD screenState) {
    OpenMenuPage(GetMenuPages(), kPageIngame);
    host_.RequestScreenState(screenState);
}

int IngameController::Update(float dt) {
    lastStep_ = dt;
    stateTimer += dt;
    if (pendingState != state) SetState(pendingState);
    if (host_.CurrentScreenState() != kScreenPlay) return 1;
    PlayWorld& world = GetPlayWorld();
    bool follow = true;
    switch (state) {
        case kPlayFlyIn:
            // A long frame during the fly-in (a load stall) must not hurry the world along.
            FixedStepUpdate(dt > kMaxFlyInFrame ? 0.0f : dt, false);
            if (stateTimer > 0.5f) {
                camera.distance = 50.0f;
                pendingState = currentLevel < kFirstScoredLevel ? kPlayTutorialPage : kPlayPlaying;
            }
            break;
        case kPlayCutscene:
            if (stateTimer > kInputDelay && Released(host_, kGameKeyEscape)) {
                OpenPauseMenu(kScreenMenus);
                return 1;
            }
            UpdateCutscene(dt);
            follow = cutsceneShot >= world.Level().shotCount;
            if (follow) camera.desiredEye = {150.0f, 170.0f, -40.0f};
            break;
        case kPlayTutorialPage: UpdateTutorialPage(dt); break;
        case kPlayPlaying:
            if (!UpdatePlay(dt)) return 1;
            break;
        case kPlayScroll:
            UpdateScroll(dt);
            follow = false;
            break;
        case kPlayComplete:
            world.UpdateLevel(dt);
            world.UpdateCharacter(dt);
            if (GetPlayHud().BannersEmpty()) pendingState = kPlayCompleteWait;
            break;
        case kPlayCompleteWait:
            world.UpdateLevel(dt);
            if (GetPlayHud().FloatingTextsEmpty()) {
                if (SoundManager* sound = GetSoundManager()) sound->StopGroup1Effects();
                if (currentLevel < kFirstScoredLevel || currentLevel >= kFirstCustomLevel) {
                    leaveToWorld = 0;
                    pendingState = kPlayLeave;
                } else {
                    pendingState = kPlayResults;
                }
            }
            break;
        case kPlayResults: UpdateResults(dt); break;
        case kPlayReset: UpdateReset(dt); break;
        case kPlayLeave: return 0;
        default: break;
    }
    if (follow) {
        const Vector3 step = StepVectorToward(camera.target, world.Character().position, 100.0f);
        const float scale = dt * 4.0f;
        camera.target = {camera.target.x + step.x * scale, camera.target.y + step.y * scale,
                         camera.target.z + step.z * scale};
    }
    // The animations of the scene objects (the character's, the level objects') run on the
    // frame's time.
    if (KDB* database = CurrentKdb()) database->UpdateObjects(dt);
    return 1;
}

void IngameController::UpdateCutscene(float dt) {
    PlayWorld& world = GetPlayWorld();
    const LevelFacts level = world.Level();
    const CharacterFacts character = world.Character();
    const int touch = host_.KeyState(kPenKey);
    if (touch != kKeyReleased) {
        if (cutsceneRunning == 0 && (character.flags & kCharacterCutsceneReady) != 0) {
            ApplyCameraShot(world.ShotCameraSlot(cutsceneShot));
            world.SetCharacterAnimation(0);
            cutsceneRunning = 1;
        }
        if (cutsceneShot >= level.shotCount) {
            if (character.position.x > 167.5f) {
                holdMarker = 0;
                world.MoveCharacter(6);
            } else {
                world.MoveCharacter(2);
            }
        }
    } else {
        float x = 0.0f;
        float y = 0.0f;
        host_.TouchPoint(x, y);
        if ((x > 660.0f && y < 90.0f) || cutsceneShot == level.shotCount - 1) {
            cutsceneShot = level.shotCount;
            world.HideCharacter();
        } else if ((character.flags & kCharacterShown) != 0) {
            ++cutsceneShot;
        }
        if (cutsceneShot >= 0 && cutsceneShot < level.shotCount) ApplyCameraShot(world.ShotCameraSlot(cutsceneShot));
    }
    FixedStepUpdate(dt, false);
}

void IngameController::UpdateTutorialPage(float dt) {
    FixedStepUpdate(dt, false);
    const int touch = host_.KeyState(kPenKey);
    const bool touching = touch != kKeyUp;
    if (!touching && !Released(host_, kGameKeyAction)) {
        continueLatch_ = 0;
        return;
    }
    if (continueLatch_ != 0) return;
    if (stateTimer > 0.5f) {
        // The last tutorial page has a second text, shown for its own five seconds.
        if (currentLevel == kTutorialLevelCount - 1 && stateTimer < 5.0f)
            stateTimer += 5.0f;
        else
            pendingState = kPlayPlaying;
    }
    continueLatch_ = touch == kKeyPressed || touch == kKeyHeld ? 1 : 0;
}

std::uint32_t IngameController::TouchCommand(float x, float y, int touch, bool moving) {
    PlayHud& hud = GetPlayHud();
    const float u = x / kGameScreenWidth;
    const float v = y / kGameScreenHeight;
    auto hit = [&](const ButtonCommand& entry) {
        float cx = 0.0f;
        float cy = 0.0f;
        hud.ButtonCentre(entry.button, cx, cy);
        return std::hypot(u - cx, v - cy) < kButtonReach;
    };
    auto bitsOf = [this](const ButtonCommand& entry) {
        if (controlLayout == 1) return entry.bits;
        if (entry.bits == kCommandTurnA) return kCommandTurnB;
        if (entry.bits == kCommandTurnB) return kCommandTurnA;
        return entry.bits;
    };
    std::uint32_t command = 0;
    if (!moving) {
        for (const ButtonCommand& entry : kButtons) {
            if (!hit(entry)) continue;
            command = bitsOf(entry);
            buttonHeld_ = 1;
            if (entry.clearsHoldMarker) holdMarker = 0;
            pressedButtons = entry.pressedSet;
            hud.SetPressedButtons(pressedButtons);
            break;
        }
    }
    if (command == 0 && buttonHeld_ == 0) {
        // The turn buttons answer also while the character moves.
        for (const ButtonCommand& entry : kButtons) {
            if (entry.button != kButtonTurnA && entry.button != kButtonTurnB) continue;
            if (!hit(entry)) continue;
            command = bitsOf(entry);
            pressedButtons = entry.pressedSet;
            hud.SetPressedButtons(pressedButtons);
            break;
        }
    }
    if (touch == kKeyReleased) {
        holdMarker = 0;
        buttonHeld_ = 0;
        pressedButtons = 0;
        hud.SetPressedButtons(0);
    }
    return command;
}

std::uint32_t IngameController::TiltCommand(bool moving) {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;
    host_.Tilt(x, y, z);
    const std::uint32_t turnA = controlLayout == 1 ? kCommandTurnA : kCommandTurnB;
    const std::uint32_t turnB = controlLayout == 1 ? kCommandTurnB : kCommandTurnA;
    std::uint32_t command = 0;
    std::uint32_t pressed = pressedButtons;
    auto turns = [&](bool holds) {
        if (x < -500 && y >= 401) {
            command = turnA;
            pressed = kPressedTurnA;
        } else if (x >= 501 && y >= 401) {
            command = turnB;
            pressed = kPressedTurnB;
        } else {
            return;
        }
        if (holds) tiltHeld_ = 1;
    };
    if (!moving) {
        if (z < -600) {
            if (tiltHeld_ == 0) {
                command = x < -200 ? kCommandForward | kCommandStepLeft
                                   : (x > 200 ? kCommandForward | kCommandStepRight : kCommandForward);
                pressed = 64;
                tiltHeld_ = 1;
            }
        } else {
            turns(true);
            if (command == 0 && x < -200) {
                command = kCommandStepLeft;
                pressed = 16;
            } else if (command == 0 && x > 200) {
                command = kCommandStepRight;
                pressed = 256;
            }
        }
    }
    if (tiltHeld_ == 0 && command == 0) turns(false);
    if (command == 0 && z >= -600 && x >= -500 && x <= 500) {
        tiltHeld_ = 0;
        pressed = 0;
    }
    if (pressed != pressedButtons) {
        pressedButtons = pressed;
        GetPlayHud().SetPressedButtons(pressed);
    }
    return command;
}

bool IngameController::UpdatePlay(float dt) {
    PlayWorld& world = GetPlayWorld();
    const CharacterFacts character = world.Character();
    if (stateTimer > kInputDelay) {
        if (Released(host_, kGameKeyAction)) {
            OpenPauseMenu(kScreenMenus);
            return false;
        }
        std::uint32_t command = 0;
        const int touch = host_.KeyState(kPenKey);
        if (touch != kKeyUp) {
            float x = 0.0f;
            float y = 0.0f;
            host_.TouchPoint(x, y);
            if (y > kGameScreenHeight - kBottomStrip && touch == kKeyReleased && x > kPauseButtonX) {
                OpenPauseMenu(kScreenPauseMenu);
                if (SoundManager* sound = GetSoundManager()) sound->SetGroup(kSoundGroupMenus);
                PlaySoundEffect(kSoundMenuSelect, 0, 0);
                return false;
            }
            if (y > kGameScreenHeight - kBottomStrip && touch == kKeyReleased && x > kScrollButtonX)
                pendingState = kPlayScroll;
            else if (character.state != 1 && character.state != 2)
                command = TouchCommand(x, y, touch, character.moving);
        } else if (const PlayerProfile* profile = GetProfile(); profile != nullptr &&
                                                               profile->Option(kOptionAccelerometer) != 0) {
            command = TiltCommand(character.moving);
        }
        if (command != 0 && clockIdle != 0) {
            elapsedTime = 0.0f;
            clockIdle = 0;
        }
        commandWord = command;
        world.MoveCharacter(command);
    }
    if (character.position.z > kCharacterAirHeight)
        camera.distanceTarget = std::fmax(camera.distanceTarget - 60.0f * dt, 50.0f);
    else
        camera.distanceTarget = 80.0f;
    FixedStepUpdate(dt, false);
    const CharacterFacts after = world.Character();
    if ((after.flags & kCharacterLost) == 0 && after.position.z <= kCharacterAirHeight &&
        (after.flags & kCharacterActive) != 0)
        elapsedTime += dt;
    camera.distance = camera.distance < camera.distanceTarget ? 50.0f + 20.0f * stateTimer * stateTimer
                                                              : camera.distanceTarget;
    return true;
}

void IngameController::UpdateScroll(float dt) {
    PlayWorld& world = GetPlayWorld();
    if (stateTimer > kInputDelay) {
        if (Released(host_, kGameKeyEscape)) {
            OpenPauseMenu(kScreenMenus);
            return;
        }
        const int touch = host_.KeyState(kPenKey);
        if (touch != kKeyUp) {
            float x = 0.0f;
            float y = 0.0f;
            host_.TouchPoint(x, y);
            if (y > kGameScreenHeight - kBottomStrip) {
                if (x > kPauseButtonX)
                    OpenPauseMenu(kScreenPauseMenu);
                else if (x > kScrollButtonX && touch == kKeyReleased)
                    pendingState = kPlayPlaying;
            } else {
                ProcessTouchDrags();
            }
        }
    }
    world.UpdateLevel(dt);
    world.UpdateLevelObjects(dt);
    constexpr std::int32_t kHiddenAwardLevel = 20;
    constexpr std::int32_t kHiddenAward = 14;
    if (currentLevel == kHiddenAwardLevel && camera.target.y < 100.0f) {
        if (PlayerProfile* profile = GetProfile()) profile->GrantAward(kHiddenAward);
    }
}

void IngameController::UpdateResults(float dt) {
    FixedStepUpdate(dt, true);
    constexpr float kResultsAnimation = 6.75f;
    const int touch = host_.KeyState(kPenKey);
    if (touch == kKeyUp) {
        touchWaiting_ = 0;
        return;
    }
    if (stateTimer < kResultsAnimation) {
        // The first touch skips the page's animation.
        stateTimer = kResultsAnimation;
        touchWaiting_ = 1;
        return;
    }
    float x = 0.0f;
    float y = 0.0f;
    host_.TouchPoint(x, y);
    auto near = [x, y](float cx, float cy) { return std::hypot(x - cx, y - cy) < 32.0f; };
    PlayerProfile* profile = GetProfile();
    if (near(630.0f, 398.0f)) {
        const std::int32_t next = profile != nullptr ? profile->NextLevel(currentLevel) : -1;
        if (next >= 1 && finale == 0) {
            leaveToWorld = 0;
            pendingState = kPlayLeave;
        } else if (finale != 0 && (next >= 1 || currentLevel == kFirstCustomLevel - 1)) {
            finale = 0;
            host_.RequestScreenState(kScreenOutroComic);
            if (profile != nullptr) profile->MarkOutroSeen();
            UnloadLevel();
        }
    } else if (near(400.0f, 398.0f) && finale == 0) {
        RestartLevel();
    } else if (near(170.0f, 398.0f) && finale == 0) {
        // The result is written now: going on to the next level saves as play is left, but the
        // main menu may be the last screen before the game is closed.
        if (profile != nullptr) profile->Save();
        OpenMenuPage(GetMenuPages(), kPageMain);
        host_.RequestScreenState(kScreenMenus);
    }
}

void IngameController::UpdateReset(float dt) {
    PlayWorld& world = GetPlayWorld();
    const CharacterFacts character = world.Character();
    if ((character.flags & kCharacterFallDone) != 0) {
        world.LandCharacter();
        world.UpdateExitPortal();
        pendingState = kPlayPlaying;
    } else if (stateTimer > 1.0f && (character.flags & kCharacterRespawn) == 0) {
        world.RespawnCharacter();
    } else {
        world.UpdateCharacter(dt);
    }
}
