// The screen's start, stop and pump: the desktop window and the script player of this
// process, driven from the message loop of the thread that started them.
#include "platform/screen/Screen.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/base/Clock.h"
#include "platform/screen/DesktopWindow.h"
#include "platform/screen/PngFile.h"
#include "platform/screen/ScriptPlayer.h"
#include "platform/user/Message.h"

namespace platform::screen {

namespace {

struct ScreenState {
    std::recursive_mutex mutex;
    bool started = false;
    DisplayMode mode = DisplayMode::Headless;
    // Read without the lock by every thread's pump, so that threads other than the
    // screen's never wait for it.
    std::atomic<std::thread::id> owner;
    std::unique_ptr<DesktopWindow> desktop;
    std::optional<ScriptPlayer> script;
    bool pumping = false;  // a capture source may pump messages from inside a pump
};

ScreenState& State() {
    static ScreenState* state = new ScreenState;  // never destroyed: loops may pump at exit
    return *state;
}

}  // namespace

bool Start(const ScreenSettings& settings, std::string& error) {
    Stop();
    if (!Configure(settings.geometry)) {
        error = "The display size " + std::to_string(settings.geometry.nativeWidth) + "x" +
                std::to_string(settings.geometry.nativeHeight) + " at " + std::to_string(settings.geometry.dpi) +
                " dpi is outside what the handset supports.";
        return false;
    }
    std::optional<ScriptPlayer> script;
    if (!settings.scriptPath.empty()) {
        ScriptPlayer player;
        if (!ScriptPlayer::Load(settings.scriptPath, GetTickCount(), player, error)) return false;
        script = std::move(player);
    }
    std::unique_ptr<DesktopWindow> desktop;
    DisplayMode mode = settings.mode;
    if (mode == DisplayMode::Desktop) {
        desktop = DesktopWindow::Open(error);
        if (!desktop) {
            if (!settings.modeChosenByDefault) return false;
            std::fprintf(stderr, "%s Running headless.\n", error.c_str());
            error.clear();
            mode = DisplayMode::Headless;
        }
    }
    SetRefreshRate(settings.refreshHz);
    ScreenState& state = State();
    {
        std::lock_guard<std::recursive_mutex> guard(state.mutex);
        state.started = true;
        state.mode = mode;
        state.owner = std::this_thread::get_id();
        state.desktop = std::move(desktop);
        state.script = std::move(script);
    }
    platform::AddMessagePumpHook(&PumpInput);
    return true;
}

bool StartFromEnvironment(std::string& error) {
    ScreenSettings settings;
    if (!SettingsFromEnvironment(settings, error)) return false;
    return Start(settings, error);
}

void Stop() {
    ScreenState& state = State();
    std::unique_ptr<DesktopWindow> desktop;
    {
        std::lock_guard<std::recursive_mutex> guard(state.mutex);
        if (!state.started) return;
        platform::RemoveMessagePumpHook(&PumpInput);
        state.started = false;
        state.owner = std::thread::id();
        state.mode = DisplayMode::Headless;
        state.script.reset();
        desktop = std::move(state.desktop);
    }
}

bool IsStarted() {
    ScreenState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.mutex);
    return state.started;
}

DisplayMode Mode() {
    ScreenState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.mutex);
    return state.mode;
}

void PumpInput() {
    ScreenState& state = State();
    if (state.owner.load() != std::this_thread::get_id()) return;
    std::lock_guard<std::recursive_mutex> guard(state.mutex);
    if (!state.started || state.pumping || state.owner.load() != std::this_thread::get_id()) return;
    state.pumping = true;
    if (state.desktop) state.desktop->Pump();
    if (state.script) state.script->PlayDue(GetTickCount());
    state.pumping = false;
}

bool ScriptFinished() {
    ScreenState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.mutex);
    return !state.script || state.script->Finished();
}

std::uintptr_t NativeWindow() {
    ScreenState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.mutex);
    return state.desktop ? state.desktop->NativeWindow() : 0;
}

void* NativeDisplay() {
    ScreenState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.mutex);
    return state.desktop ? state.desktop->NativeDisplay() : nullptr;
}

void ClaimNativeWindow(bool claimed) {
    ScreenState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.mutex);
    if (state.desktop) state.desktop->SetClaimed(claimed);
}

bool SaveScreenshot(const std::string& path, std::string& error) { return WritePng(Capture(), path, error); }

}  // namespace platform::screen
