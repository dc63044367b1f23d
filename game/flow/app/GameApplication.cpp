// The application object's life and its main loop: construction, Init and Shutdown, the
// frame loop with its pacing, the per-frame step of the screen state machine and the frame.
#include "game/flow/app/GameApplication.h"

#include <cstdio>
#include <cstdlib>

#include "engine/app/Application.h"
#include "engine/app/FrameDriver.h"
#include "engine/app/KeyStates.h"
#include "engine/app/MainWindow.h"
#include "engine/core/files/ArchiveFileSystem.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/overlay/text/TextTable.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/widgets/OverlayLayer.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/core/memory/EngineLog.h"
#include "game/flow/devices/AccelerometerDevice.h"
#include "game/flow/devices/AccelerometerKey.h"
#include "game/flow/devices/FramePacer.h"
#include "game/flow/frame/GameHud.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/interfaces/MenuPages.h"
#include "game/flow/frame/PlayOverlay.h"
#include "game/flow/frame/PlayScene.h"
#include "game/flow/devices/PhoneStateWatcher.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/devices/PowerWatch.h"
#include "game/flow/frame/RenderPass.h"
#include "game/flow/sound/SoundManager.h"
#include "game/flow/devices/TvOutMonitor.h"
#include "game/flow/devices/TvOutRate.h"
#include "game/ui/text/ShadowedText.h"
#include "platform/base/Clock.h"

namespace {

// The main menu's title: a text every language's menu texts hold.
constexpr char kMainMenuTitleKey[] = "MENU_MAINMENU";

}  // namespace

GameApplication::GameApplication() : flow_(*this) {
    phoneState_ = new PhoneStateWatcher;
    SetScreenAngle(kLandscapeScreenAngle);
    // The display starts turned a quarter, unrotated surface, and the frame keeps it there.
    ResetRenderValues();
    Overlay2D().displayRotation = static_cast<std::int32_t>(kLandscapeScreenAngle);
    Overlay2D().rotationIndex = 0;
}

GameApplication::~GameApplication() {
    Shutdown();
    delete phoneState_;
}

DWORD GameApplication::Init() {
    // The start-up archive is read whole into memory once, so that the first screens do not
    // wait for the storage card; a missing archive leaves the files where they are.
    LoadStartupArchive();
    if (sound_ == nullptr) {
        sound_ = new SoundManager(soundOutput_);
        SetSoundManager(sound_);
    }
    // A step that fails stops the start: what was brought up goes down again and the shell
    // hears of the failure, rather than running a game without its profile, texts or menus.
    const char* failed = nullptr;
    if (sound_ == nullptr)
        failed = "the sound manager cannot be made";
    else if (!CreateProfile())
        failed = "the player profile cannot be made";
    else if (LoadLocalisation(LanguageFolder(profile_->Option(kOptionLanguage))) == 0)
        failed = "the text table cannot be made";
    if (failed == nullptr && !tvOutStarted_) {
        // A monitor that could not start leaves the frame cap as the connector was found.
        StartTvOutMonitor();
        tvOutStarted_ = true;
    }
    if (failed == nullptr && menuRoot_.created == 0) {
        // The menu root goes under the overlay root before the pages, so that they draw over it.
        if (menuRoot_.Setup(this) == 0)
            failed = "the menu root cannot be made";
        else
            SetVisible(&menuRoot_, 1);
    }
    if (failed == nullptr && GetMenuPages().LoadMenus() == 0) failed = "the menus cannot be loaded";
    // Menu pages whose every label reads "<UNKNOWN STRING>" leave a game nobody can use.
    if (failed == nullptr && !menuTextsLoaded_ && GetMenuPages().HasPages()) failed = "the menus have no texts";
    if (failed != nullptr) {
        KEL_LOG_EXCEPTION("The game cannot start: %s.", failed);
        Shutdown();
        return 1;
    }
    flow_.State().loadingValue = 0.0f;
    SetupPhoneStateWatcher(*phoneState_);
    HoldRotation();
    rotationHeld_ = true;
    flow_.State().rotationHoldTimer = 0.0f;
    RegisterPhoneStateWatches(*phoneState_);
    phoneStateWatched_ = true;
    // A handset without the accelerometer plays with a level sample.
    OpenAccelerometer();
    accel_ = TakeAccelerometer();
    accelTaken_ = true;
    flow_.State().accelPollTimer = 0.0f;
    if (powerWatch_ == nullptr) {
        powerWatch_ = new PowerWatch;
        if (StartPowerWatch(*powerWatch_)) RegisterHotKeys();
    }
    return 0;
}

bool GameApplication::CreateProfile() {
    std::srand(static_cast<unsigned>(static_cast<float>(GetTickCount()) * 0.001f));
    const unsigned r1 = static_cast<unsigned>(std::rand());
    const unsigned r2 = static_cast<unsigned>(std::rand());
    const unsigned r3 = static_cast<unsigned>(std::rand());
    const unsigned r4 = static_cast<unsigned>(std::rand());
    const std::uint32_t words[2] = {r4 + (r3 << 16), r2 + (r1 << 16)};
    BYTE key[kUserSaveKeySize];
    for (int i = 0; i < 8; ++i) key[i] = static_cast<BYTE>(words[i / 4] >> (8 * (i % 4)));
    delete profile_;
    SetProfile(nullptr);
    profile_ = CreatePlayerProfile(key, App().languageSetup);
    if (profile_ == nullptr) return false;
    SetProfile(profile_);
    const std::int32_t music = profile_->Option(kOptionMusicVolume);
    const std::int32_t effects = profile_->Option(kOptionEffectsVolume);
    sound_->SetMusicVolume(static_cast<float>(music) * 0.1f);
    sound_->SetEffectsVolume(static_cast<float>(effects) * 0.1f);
    flow_.State().audioFlag = music != 0 || effects != 0 ? 1 : 0;
    SetClickSounds(flow_.State().audioFlag);
    // Arabic text blocks run from their last line; the Chinese ones break between characters.
    const std::int32_t language = profile_->Option(kOptionLanguage);
    Overlay2D().reversedLines = language == kLanguageArabic ? 1 : 0;
    SetTextLanguage(language);
    return true;
}

int GameApplication::LoadLocalisation(const char* folder) {
    menuTextsLoaded_ = false;
    if (TextTableCreate() == 0) return 0;
    char path[64];
    std::snprintf(path, sizeof path, "text/%s/menu.text", folder);
    // The main menu's title is a text every language's file holds: without it, the file is
    // missing or damaged and every label would read "<UNKNOWN STRING>".
    if (LoadTextFile(path) == 0)
        LogWrite("%s cannot be read: the menus have no texts", "Text", 1, path);
    else if (!TextTableHas(GlobalTextTable(), kMainMenuTitleKey))
        LogWrite("%s holds no menu texts (no %s): the menus have no texts", "Text", 1, path, kMainMenuTitleKey);
    else
        menuTextsLoaded_ = true;
    std::snprintf(path, sizeof path, "text/%s/credits.text", folder);
    if (LoadTextFile(path) == 0) LogWrite("%s cannot be read: the credits have no texts", "Text", 1, path);
    return 1;
}

void GameApplication::Shutdown() {
    if (tvOutStarted_) {
        StopTvOutMonitor();
        tvOutStarted_ = false;
    }
    if (GetProfile() == profile_) SetProfile(nullptr);
    delete profile_;
    profile_ = nullptr;
    if (hud_ != nullptr) {
        SetPlayHud(nullptr);
        SetHudDrawing(nullptr);
        delete hud_;
        hud_ = nullptr;
    }
    // The controller goes with the flow; its sounds are stopped by the manager's end.
    if (accelTaken_) {
        GiveBackAccelerometer(accel_);
        accelTaken_ = false;
    }
    if (rotationHeld_) {
        ReleaseRotation();
        rotationHeld_ = false;
    }
    CloseAccelerometer();
    if (powerWatch_ != nullptr) {
        StopPowerWatch(*powerWatch_);
        delete powerWatch_;
        powerWatch_ = nullptr;
        flow_.State().powerOff = 0;
    }
    if (phoneStateWatched_) {
        TeardownPhoneStateWatcher(*phoneState_);
        phoneStateWatched_ = false;
    }
    if (GetSoundManager() == sound_) SetSoundManager(nullptr);
    delete sound_;
    sound_ = nullptr;
    // The frame's pictures and the loading icon go back to the cache.
    ResetRenderValues();
    ResetPlayOverlay();
    ResetSceneCamera();
    // The texts go while the font their laid-out lines use still exists.
    TextTableDestroy();
    GetMenuPages().Shutdown();
    // Out of the overlay's tree before the overlay goes: the root is part of this object.
    menuRoot_.Destroy(0);
}

DWORD GameApplication::Run() {
    FramePacer pacer(true);
    while (!IsQuitRequested()) {
        DrainTvOutQueue();
        pacer.Begin(GetTvOutFrameRate());
        FrameDriver();
        UpdateScreenState();
        Render();
        pacer.SleepOut();
    }
    return 0;
}

DWORD GameApplication::Render() {
    FrameConditions conditions;
    conditions.deviceExists = RenderDevice() != nullptr;
    conditions.shellStarted = App().started;
    conditions.applicationActive = MainWindowInfo().active;
    rendering_ = true;
    const DWORD result = RenderFrame(flow_.State(), conditions, flow_.Controller());
    rendering_ = false;
    return result;
}

// The render pass draws the widget tree, the menu root with it: from inside the pass the
// frame is being drawn already, and only a draw of the tree from elsewhere renders one.
void GameApplication::DrawGameFrame(Canvas2D* /*canvas*/) {
    if (!rendering_) Render();
}

void GameApplication::UpdateScreenState() { flow_.Step(FrameTime()); }

bool GameApplication::CanRun() const {
    return RenderDevice() != nullptr && App().started && MainWindowInfo().active;
}

int GameApplication::KeyState(std::int32_t key) const { return GetKeyState(key); }

void GameApplication::TouchPoint(float& x, float& y) {
    x = flow_.State().pointerX;
    y = flow_.State().pointerY;
}

// A fresh sample from the accelerometer in the tilt controls' units; a failed read leaves
// the cleared sample, a level handset.
void GameApplication::Tilt(std::int32_t& x, std::int32_t& y, std::int32_t& z) {
    accelSample_[0] = accelSample_[1] = accelSample_[2] = 0;
    ReadAccelerometer(accelSample_);
    x = ScaledTilt(accelSample_[0], accel_.resolution);
    y = ScaledTilt(accelSample_[1], accel_.resolution);
    z = ScaledTilt(accelSample_[2], accel_.resolution);
}

bool GameApplication::ShellActive() const { return App().started && MainWindowInfo().active; }

void GameApplication::ProcessInput() { Overlay().ProcessEvents(); }

void GameApplication::RunFrameDriverOnce() { FrameDriver(); }

void GameApplication::RequestQuit() { ::RequestQuit(); }

int GameApplication::LoadGameResources() {
    LoadArchivesIntoMemory();
    if (hud_ == nullptr) {
        hud_ = new GameHud;
        SetPlayHud(hud_);
        SetHudDrawing(hud_);
    }
    return 1;
}

bool GameApplication::LoadLoadingPicture() { return LoadLoadingIcon(); }

void GameApplication::SetClickSounds(DWORD on) { Overlay().soundFlag = on; }
