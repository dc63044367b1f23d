// The frame driver and the engine's frame clocks.
#include "engine/app/FrameDriver.h"

#include "engine/app/Application.h"
#include "engine/app/GameObject.h"
#include "engine/app/KeyStates.h"
#include "engine/app/MainWindow.h"
#include "engine/core/device/DisplayOrientation.h"
#include "engine/core/device/NotificationLights.h"
#include "engine/sound/SoundDevice.h"
#include "platform/base/Clock.h"
#include "platform/user/Window.h"

namespace {

FrameClock frameClock;

// The game draws its landscape picture itself on the display's native orientation: a turn
// of the display is told to the game and turned back.
void CheckOrientation(MainWindowState& window) {
    if (window.orientationCountdown < 0.0f) window.orientationCheck = false;
    Application& application = App();
    DWORD kind = 0;
    RECT rect{};
    SaveDisplayMode(kind, rect);
    // The saved mode stays the native one, so turning the display back is no change.
    if (kind != application.displayKind) {
        RefreshScreenRect();
        SendGameEvent(kGameEventDisplayChanged, 0, 0);
    }
    DWORD orientation = 0;
    if (QueryDisplayOrientation(orientation) && orientation != 0) {
        SendGameEvent(kGameEventDisplayChanged, 0, 0);
        SetNativeDisplayOrientation();
    }
}

}  // namespace

const FrameClock& GetFrameClock() { return frameClock; }

DWORD FrameCounter() { return frameClock.frameCounter; }

float FrameTime() { return frameClock.frameTime; }

void ResetFrameClock() { frameClock = FrameClock{}; }

float GetTimeSeconds() { return static_cast<float>(GetTickCount()) * 0.001f; }

void FrameDriver() {
    // The step comes from the tick difference: float seconds of the tick count lose their
    // milliseconds after a day of uptime, and the 32-bit difference stays right across the
    // tick count's wrap.
    const DWORD now = GetTickCount();
    float dt = static_cast<float>(now - frameClock.lastFrameTicks) * 0.001f;
    if (dt > kMaxFrameTime) dt = kMaxFrameTime;
    frameClock.lastFrameTicks = now;
    frameClock.gameTime[0] += dt;
    frameClock.gameTime[1] += dt;
    frameClock.frameTime = dt;
    ++frameClock.frameCounter;

    MainWindowState& window = MainWindowInfo();
    if (window.active) {
        UpdateVibration(dt);
        window.orientationCountdown -= dt;
        const bool running = App().started && window.activated;
        if (window.screenRectRefresh && running) {
            RefreshScreenRect();
            window.screenRectRefresh = false;
        }
        if (window.orientationCheck && running) CheckOrientation(window);
        if (SoundDevice* sound = GetSoundDevice()) sound->Update();
    }

    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }

    if (window.active) KeyStateStep(frameClock.frameCounter);
}
