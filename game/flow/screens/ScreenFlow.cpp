// One step of the screen state machine and the work of each screen state.
#include "game/flow/screens/ScreenFlow.h"

#include "engine/app/GameKeys.h"
#include "engine/app/KeyStates.h"
#include "engine/core/device/NotificationLights.h"
#include "game/flow/devices/PowerWatch.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/interfaces/MenuPages.h"
#include "game/flow/interfaces/PlayHud.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundManager.h"
#include "platform/base/Clock.h"
#include "platform/registry/Registry.h"

namespace {

constexpr DWORD kIdleStepSleepMs = 100;
constexpr DWORD kPowerOnSleepMs = 50;
constexpr DWORD kPowerOffStepSleepMs = 500;
constexpr DWORD kRotationWriteSleepMs = 10;
constexpr float kBootTime = 0.5f;
constexpr float kLogoTouchTime = 3.0f;
constexpr float kLogoTime = 4.0f;
constexpr float kLoadingTime = 1.0f;
constexpr float kLevelLoadingTime = 2.0f;
constexpr float kLeavePlayTime = 1.0f;
constexpr float kTiltPollPeriod = 0.025f;
constexpr float kComicPageTime = 3.0f;
constexpr float kComicTouchDelay = 0.5f;
constexpr std::int32_t kMaxVolume = 10;

// The top right corner of the comic pages skips them.
bool InSkipCorner(float x, float y) { return x > 660.0f && y < 90.0f; }

}  // namespace

void WriteRotationOverride(DWORD value) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Services\\MultiService\\mods\\Rotation", 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExW(key, u"OverrideCounter", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

void HoldRotation() {
    Sleep(kRotationWriteSleepMs);
    WriteRotationOverride(kRotationOverrideHeld);
    Sleep(kRotationWriteSleepMs);
}

void ReleaseRotation() {
    Sleep(kRotationWriteSleepMs);
    WriteRotationOverride(kRotationOverrideReleased);
    Sleep(kRotationWriteSleepMs);
}

ScreenFlow::ScreenFlow(ScreenHost& host) : host_(host) { SetFlowHost(this); }

ScreenFlow::~ScreenFlow() {
    if (GetFlowHost() == this) SetFlowHost(nullptr);
    delete controller_;
}

void ScreenFlow::TouchPoint(float& x, float& y) {
    host_.TouchPoint(state_.pointerX, state_.pointerY);
    x = state_.pointerX;
    y = state_.pointerY;
}

void ScreenFlow::Tilt(std::int32_t& x, std::int32_t& y, std::int32_t& z) const {
    x = tilt_[0];
    y = tilt_[1];
    z = tilt_[2];
}

void ScreenFlow::SetAudioFlag(DWORD on) {
    state_.audioFlag = on;
    host_.SetClickSounds(on);
}

bool ScreenFlow::TouchReleased() const {
    return host_.KeyState(kPenKey) == kKeyReleased || host_.KeyState(kGameKeyAction) == kKeyReleased;
}

void ScreenFlow::StepVolumeKeys() {
    PlayerProfile* profile = GetProfile();
    SoundManager* sound = GetSoundManager();
    auto store = [&](std::int32_t option, std::int32_t change) {
        const std::int32_t value = profile->Option(option) + change;
        profile->SetOption(option, value);
        if (sound == nullptr) return;
        if (option == kOptionEffectsVolume)
            sound->SetEffectsVolume(static_cast<float>(value) * 0.1f);
        else
            sound->SetMusicVolume(static_cast<float>(value) * 0.1f);
    };
    if (host_.KeyState(kGameKeyF6) == kKeyReleased) {
        if (profile != nullptr) {
            if (profile->Option(kOptionEffectsVolume) < kMaxVolume) store(kOptionEffectsVolume, 1);
            if (profile->Option(kOptionMusicVolume) < kMaxVolume) store(kOptionMusicVolume, 1);
        }
        SetAudioFlag(1);
    }
    if (host_.KeyState(kGameKeyF7) == kKeyReleased && profile != nullptr) {
        if (profile->Option(kOptionEffectsVolume) > 0) {
            store(kOptionEffectsVolume, -1);
            if (profile->Option(kOptionEffectsVolume) > 0)
                SetAudioFlag(1);
            else if (profile->Option(kOptionMusicVolume) == 0)
                SetAudioFlag(0);
        }
        if (profile->Option(kOptionMusicVolume) > 0) store(kOptionMusicVolume, -1);
    }
}

bool ScreenFlow::StepPowerWatch(bool& stayedOff) {
    PowerWatch* watch = host_.Power();
    if (watch == nullptr) return false;
    const DWORD wasOff = watch->powerOff;
    PollPowerWatch(*watch);
    state_.powerOff = watch->powerOff;
    stayedOff = wasOff != 0 && watch->powerOff != 0;
    if (wasOff == 0 && watch->powerOff != 0) {
        // The screen goes dark: no sound, no device, and the backlight is not held.
        if (SoundManager* sound = GetSoundManager()) sound->Suspend();
        state_.activityRequest = kActivitySuspend;
        host_.SetSuspended(kActivitySuspend);
        if (IsBacklightRequested()) SetBacklight(false);
        return true;
    }
    if (wasOff != 0 && watch->powerOff == 0 && host_.ShellActive()) {
        Sleep(kPowerOnSleepMs);
        state_.activityRequest = kActivityResume;
        host_.SetSuspended(kActivityResume);
        if (SoundManager* sound = GetSoundManager()) sound->Resume();
        SetBacklight(true);
    }
    return false;
}

void ScreenFlow::Step(float delta) {
    state_.activeTime += delta;
    if (state_.activityRequest != kActivitySettled) host_.SetSuspended(state_.activityRequest);
    state_.rotationHoldTimer += delta;
    if (state_.rotationHoldTimer > kRotationOverridePeriod) {
        // The rotation service lets the display turn again unless the counter is renewed.
        HoldRotation();
        state_.rotationHoldTimer = 0.0f;
    }
    bool stayedOff = false;
    if (StepPowerWatch(stayedOff)) return;
    if (!host_.CanRun()) {
        Sleep(kIdleStepSleepMs);
        return;
    }
    if (stayedOff) {
        Sleep(kPowerOffStepSleepMs);
        return;
    }
    state_.stateTime += delta;
    state_.comicTimer += delta;
    StepVolumeKeys();
    if (state_.requestedScreenState != state_.screenState) EnterScreenState(state_.requestedScreenState);

    MenuPages& menus = GetMenuPages();
    switch (state_.screenState) {
        case kScreenBoot:
            host_.ProcessInput();
            if (state_.stateTime > kBootTime) {
                OpenMenuPage(menus, kPageStartup);
                RequestScreenState(kScreenStartupMenu);
            }
            break;
        case kScreenStartupMenu:
            if (!menus.Busy()) {
                const std::int32_t result = menus.ProcessPendingPage();
                if (result == kMenuCommandStart) RequestScreenState(kScreenMakerLogo);
                if (result == kMenuCommandQuit) host_.RequestQuit();
            }
            break;
        case kScreenMakerLogo:
        case kScreenStudioLogo:
            host_.ProcessInput();
            // A touch ends a logo only once it has been seen for a while.
            if ((TouchReleased() && state_.stateTime > kLogoTouchTime) || state_.stateTime > kLogoTime)
                RequestScreenState(state_.screenState + 1);
            break;
        case kScreenLoading:
            host_.ProcessInput();
            if (state_.stateTime > kLoadingTime && LoadGameData() != 0) RequestScreenState(kScreenTitle);
            break;
        case kScreenTitle:
            host_.ProcessInput();
            if (TouchReleased()) {
                PlaySoundEffect(kSoundMenuSelect, 0, 0);
                OpenMenuPage(menus, kPageMain);
                RequestScreenState(kScreenMenus);
            }
            break;
        case kScreenMenus:
        case kScreenPauseMenu:
            if (!menus.Busy()) ActOnMenuResult(menus.ProcessPendingPage());
            if (host_.KeyState(kPenKey) > 0) host_.TouchPoint(state_.pointerX, state_.pointerY);
            break;
        case kScreenLevelLoading:
            host_.ProcessInput();
            if (state_.stateTime > 0.0f && controller_ != nullptr) {
                controller_->Update(delta);
                if (controller_->state >= kPlayFlyIn) {
                    if (controller_->stateTimer > kLevelLoadingTime)
                        RequestScreenState(kScreenPlay);
                    else
                        state_.loadingValue = (4.0f * delta + 1.0f) * (state_.loadingValue + delta);
                }
            }
            break;
        case kScreenIntroComic: StepComic(true); break;
        case kScreenOutroComic: StepComic(false); break;
        case kScreenPlay:
            host_.ProcessInput();
            state_.accelPollTimer += delta;
            if (state_.accelPollTimer > kTiltPollPeriod) {
                host_.Tilt(tilt_[0], tilt_[1], tilt_[2]);
                state_.accelPollTimer = 0.0f;
            }
            if (controller_ != nullptr && controller_->Update(delta) != 0) {
                GetPlayHud().Update(delta);
            } else {
                state_.leaveKind = 1;
                RequestScreenState(kScreenLeavePlay);
            }
            break;
        case kScreenLeavePlay: StepLeavePlay(); break;
        default: break;
    }
    if (SoundManager* sound = GetSoundManager()) sound->Update();
    if (host_.KeyState(kPenKey) == kKeyUp) state_.inputLatch = 0;
}

void ScreenFlow::StartGame() {
    PlayerProfile* profile = GetProfile();
    const bool pending = controller_ != nullptr && controller_->secondRequest != 0;
    const bool toOutro = pending && controller_->secondRequestValue > 0;
    const std::int32_t next = controller_ != nullptr ? controller_->nextLevel : 0;
    const bool introDue = profile != nullptr && profile->IntroNotStarted();
    if (next < kFirstCustomLevel && introDue) {
        RequestScreenState(toOutro ? kScreenOutroComic : kScreenIntroComic);
    } else if (!pending) {
        RequestScreenState(kScreenLevelLoading);
        return;
    } else {
        RequestScreenState(toOutro ? kScreenOutroComic : kScreenIntroComic);
    }
    if (profile != nullptr) profile->MarkIntroStarted();
}

void ScreenFlow::ActOnMenuResult(std::int32_t result) {
    switch (result) {
        case kMenuCommandStart: StartGame(); break;
        case kMenuCommandQuit: host_.RequestQuit(); break;
        case kMenuCommandExitGame:
            state_.exitGame = 1;
            state_.leaveKind = 0;
            RequestScreenState(kScreenLeavePlay);
            break;
        case kMenuCommandResumeGame: RequestScreenState(kScreenPlay); break;
        case kMenuCommandTitle: RequestScreenState(kScreenTitle); break;
        case kMenuCommandRestartLevel:
            if (controller_ != nullptr) controller_->RestartLevel();
            RequestScreenState(kScreenPlay);
            break;
        case kMenuCommandLanguageChanged:
            // The frame shows the menu background and the loading text while the texts and
            // pages are made again.
            state_.languageChanged = 1;
            state_.leaveKind = 2;
            RequestScreenState(kScreenLeavePlay);
            break;
        default: break;
    }
}

void ScreenFlow::StepComic(bool intro) {
    host_.ProcessInput();
    const int touch = host_.KeyState(kPenKey);
    const bool touching = touch == kKeyPressed || touch == kKeyHeld;
    if (touching) host_.TouchPoint(state_.pointerX, state_.pointerY);
    const bool skipKey = host_.KeyState(kGameKeyRight) > 0;
    const bool inCorner = InSkipCorner(state_.pointerX, state_.pointerY);
    const bool skip = intro ? skipKey || (state_.inputLatch == 0 && touching && inCorner) : skipKey || inCorner;
    if (skip) {
        EndComic(intro);
        return;
    }
    if ((touching || state_.comicTimer > kComicPageTime) && state_.inputLatch == 0 &&
        state_.comicTimer > kComicTouchDelay) {
        // The latch holds until the touch is lifted, so a held touch turns one page.
        state_.inputLatch = 1;
        state_.comicTimer = 0.0f;
        PlayHud& hud = GetPlayHud();
        if ((intro ? hud.NextIntroPage() : hud.NextOutroPage()) == 0) EndComic(intro);
    }
}

void ScreenFlow::EndComic(bool intro) {
    MenuPages& menus = GetMenuPages();
    if (intro) {
        if (controller_ != nullptr && controller_->secondRequest != 0) {
            controller_->secondRequest = 0;
            OpenMenuPage(menus, kPageWorldSelect);
            RequestScreenState(kScreenMenus);
        } else {
            RequestScreenState(kScreenLevelLoading);
        }
        return;
    }
    if (controller_ != nullptr) controller_->secondRequest = 0;
    RequestScreenState(kScreenMenus);
    OpenMenuPage(menus, kPageCredits);
    if (SoundManager* sound = GetSoundManager()) {
        sound->SetGroup(kSoundGroupMenus);
        sound->PlayMusic(kMusicMenus, 1);
    }
}

void ScreenFlow::StepLeavePlay() {
    MenuPages& menus = GetMenuPages();
    if (state_.leaveKind == 2) {
        OpenMenuPage(menus, kPageMain);
        RequestScreenState(kScreenMenus);
        state_.leaveKind = 0;
        return;
    }
    host_.ProcessInput();
    if (state_.stateTime <= kLeavePlayTime && state_.exitGame == 0) return;
    if (controller_ != nullptr && controller_->nextLevel >= 0 && controller_->lastCompleted != -1 &&
        state_.exitGame == 0) {
        RequestScreenState(kScreenLevelLoading);
        return;
    }
    state_.exitGame = 0;
    const char* page = kPageMain;
    if (controller_ != nullptr) {
        controller_->UnloadLevel();
        // Play is over: the controller rests in its leave state until the next load.
        controller_->state = kPlayLeave;
        controller_->pendingState = kPlayLeave;
        if (WorldOfLevel(controller_->currentLevel) >= 10) page = kPageCustomLevelSelect;
    }
    OpenMenuPage(menus, page);
    RequestScreenState(kScreenMenus);
}
