// The application object's life and its main loop: construction, Init and Shutdown, the
// frame loop with its pacing, the per-frame step of the screen state machine and the frame.
#include "game/flow/GameApplication.h"

#include "engine/app/Application.h"
#include "engine/app/FrameDriver.h"
#include "engine/app/MainWindow.h"
#include "engine/core/files/ArchiveFileSystem.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "game/flow/FramePacer.h"
#include "game/flow/TvOutRate.h"
#include "platform/base/Clock.h"

namespace {

// A step without a device to draw on or without the focus only waits this long, so that a
// game in the background takes little processor time.
constexpr DWORD kIdleStepSleepMs = 100;

// The TV-out monitor is not part of the game yet, so no notification can change the rate
// and TV-out stays off.
void DrainTvOutNotifications() {}

}  // namespace

GameApplication::GameApplication() { SetScreenAngle(kLandscapeScreenAngle); }

DWORD GameApplication::Init() {
    // The start-up archive is read whole into memory once, so that the first screens do not
    // wait for the storage card; a missing archive leaves the files where they are.
    LoadStartupArchive();
    state_.loadingValue = 0.0f;
    return 0;
}

void GameApplication::Shutdown() {}

DWORD GameApplication::Run() {
    FramePacer pacer(true);
    while (!IsQuitRequested()) {
        DrainTvOutNotifications();
        pacer.Begin(GetTvOutFrameRate());
        FrameDriver();
        UpdateScreenState();
        Render();
        pacer.SleepOut();
    }
    return 0;
}

DWORD GameApplication::Render() {
    OpenGLRenderDevice* device = RenderDevice();
    if (device == nullptr) return 0;
    device->Clear(0);
    device->Present();
    return 0;
}

void GameApplication::UpdateScreenState() {
    const float delta = FrameTime();
    state_.activeTime += delta;
    // A resume that failed is tried again here, once a step.
    if (state_.activityRequest != kActivitySettled) SetSuspended(state_.activityRequest);
    if (RenderDevice() == nullptr || !App().started || !MainWindowInfo().active) {
        Sleep(kIdleStepSleepMs);
        return;
    }
    state_.stateTime += delta;
    state_.comicTimer += delta;
}
