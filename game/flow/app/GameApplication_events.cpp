// The application object's game events, and the giving up and making again of the render
// device when the game loses and regains the screen.
#include "engine/app/Application.h"
#include "engine/app/GameObject.h"
#include "engine/app/MainWindow.h"
#include "engine/app/RenderDeviceSetup.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "game/flow/app/GameApplication.h"
#include "game/flow/devices/FramePacer.h"
#include "game/flow/devices/TvOutMonitor.h"
#include "game/flow/devices/TvOutRate.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/sound/SoundManager.h"
#include "platform/base/Clock.h"

namespace {

// A failed re-creation waits this long before the next event or step tries again.
constexpr DWORD kResumeRetrySleepMs = 100;

float SecondsSince(DWORD startTick) { return static_cast<float>(GetTickCount() - startTick) * 0.001f; }

}  // namespace

void GameApplication::StorePointer(LPARAM packed) {
    const auto word = static_cast<DWORD>(packed);
    const float x = static_cast<float>(static_cast<SHORT>(word & 0xFFFF));
    const float y = static_cast<float>(static_cast<SHORT>(word >> 16));
    if (MainWindowInfo().screenAngle != kLandscapeScreenAngle) {
        flow_.State().pointerX = x;
        flow_.State().pointerY = y;
        return;
    }
    // The device's pixels are portrait; the game's screen is that picture turned a quarter.
    std::int32_t width = Config().renderSettings.width;
    if (OpenGLRenderDevice* device = RenderDevice()) device->GetViewport(nullptr, nullptr, &width, nullptr);
    flow_.State().pointerX = y;
    flow_.State().pointerY = static_cast<float>(width) - x;
}

void GameApplication::OnEvent(DWORD event, LPARAM a, LPARAM) {
    switch (event) {
        case kGameEventPenDown:
            StorePointer(a);
            break;
        case kGameEventPenMove: {
            // A drag pans the camera while play scrolls; the controller keeps what it takes.
            const float previousX = flow_.State().pointerX;
            const float previousY = flow_.State().pointerY;
            StorePointer(a);
            if (IngameController* controller = flow_.Controller()) {
                const float x = flow_.State().pointerX;
                const float y = flow_.State().pointerY;
                controller->AddTouchDrag(x, y, x - previousX, y - previousY);
            }
            break;
        }
        case kGameEventFocusGained:
            flow_.State().activityRequest = kActivityResume;
            // Back in front: the display is held in the game's orientation again.
            if (rotationHeld_) WriteRotationOverride(kRotationOverrideHeld);
            flow_.State().rotationHoldTimer = 0.0f;
            break;
        case kGameEventFocusLost:
            flow_.State().activityRequest = kActivitySuspend;
            // Another program may turn the display while the game is behind it.
            if (rotationHeld_) WriteRotationOverride(kRotationOverrideReleased);
            break;
        case kGameEventDeactivated:
            flow_.State().activityRequest = kActivitySuspend;
            SetSuspended(kActivitySuspend);
            return;
        case kGameEventModalFrameStart:
            DrainTvOutQueue();
            ModalFramePacer().Begin(GetTvOutFrameRate());
            break;
        case kGameEventModalFrameEnd:
            ModalFramePacer().SleepOut();
            break;
        default:
            break;
    }
    if (flow_.State().activityRequest != kActivitySettled) SetSuspended(flow_.State().activityRequest);
}

void GameApplication::SetSuspended(DWORD request) {
    // Before the shell has started there is no device to give up or make; while a change is
    // under way (making a device can pump messages) a second one would tear it apart.
    if (!App().started || flow_.State().suspendBusy != 0) return;
    const bool hasDevice = RenderDevice() != nullptr;
    if ((flow_.State().activityRequest == kActivityResume && hasDevice) ||
        (flow_.State().activityRequest == kActivitySuspend && !hasDevice)) {
        flow_.State().activityRequest = kActivitySettled;
        return;
    }
    flow_.State().suspendBusy = 1;
    if (request == kActivityResume && !hasDevice)
        Resume();
    else if (request == kActivitySuspend && hasDevice)
        Suspend();
    flow_.State().suspendBusy = 0;
}

void GameApplication::Resume() {
    const DWORD start = GetTickCount();
    // Creation also puts the system in unattended mode, so that the screen going dark does
    // not stop the game.
    if (CreateRenderDevice() != 0 || RenderDevice() == nullptr) {
        // The request stays: the next event or step tries again.
        Sleep(kResumeRetrySleepMs);
        return;
    }
    // Every cached texture uploads its image to the new device.
    GlobalResourceCache().RestoreTextures();
    if (sound_ != nullptr) sound_->Resume();
    flow_.State().lastResumeSeconds = SecondsSince(start);
    ++flow_.State().resumeCount;
    flow_.State().activityRequest = kActivitySettled;
}

void GameApplication::Suspend() {
    const DWORD start = GetTickCount();
    // The textures give up their images while the device that holds them still exists.
    GlobalResourceCache().ReleaseTextureData();
    if (sound_ != nullptr) sound_->Suspend();
    // Shuts the device down, releases it and leaves unattended mode.
    DestroyRenderDevice();
    flow_.State().activeTime = 0.0f;
    flow_.State().lastSuspendSeconds = SecondsSince(start);
    flow_.State().activityRequest = kActivitySettled;
}
