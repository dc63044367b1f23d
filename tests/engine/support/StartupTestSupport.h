// Shared pieces of the start-up, window and frame tests: a game object that records the
// game events it is sent, registered in a test module, and a fixture that brings up the
// engine heaps, the modules, that game and the real main window in a fresh handset root on
// a manual clock, and takes everything down again.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "engine/app/Application.h"
#include "engine/app/CoreModule.h"
#include "engine/app/FrameDriver.h"
#include "engine/app/GameObject.h"
#include "engine/app/InputEvents.h"
#include "engine/app/KeyStates.h"
#include "engine/app/MainWindow.h"
#include "engine/core/device/NotificationLights.h"
#include "engine/core/object/GameEngine.h"
#include "engine/core/object/Module.h"
#include "engine/sound/SoundDevice.h"
#include "platform/base/Clock.h"
#include "platform/base/Library.h"
#include "platform/screen/Display.h"
#include "platform/user/Window.h"
#include "tests/support/TestSupport.h"

namespace startup_test {

struct GameEventRecord {
    DWORD event;
    LPARAM a;
    LPARAM b;
};

// What the recording game saw; kept outside the object so that tests can read it after the
// game is gone.
inline std::vector<GameEventRecord>& RecordedEvents() {
    static std::vector<GameEventRecord> events;
    return events;
}

class RecordingGame : public GameEngine {
    KEL_DECLARE_TYPE(RecordingGame, GameEngine, "RecordingGame")

public:
    DWORD Init() override { return 0; }
    void Shutdown() override {}
    DWORD Run() override { return 0; }
    DWORD Render() override { return 0; }
    void OnEvent(DWORD event, LPARAM a, LPARAM b) override { RecordedEvents().push_back({event, a, b}); }
};

inline Interface* CreateRecordingGame() { return new RecordingGame(); }

inline const ModuleEntry kRecordingGameModule[] = {
    {"Create_RecordingGame", AsModuleFunction(&CreateRecordingGame)},
    {nullptr, nullptr},
};

// The game events of one code, in order.
inline std::vector<GameEventRecord> EventsOf(DWORD event) {
    std::vector<GameEventRecord> found;
    for (const GameEventRecord& record : RecordedEvents())
        if (record.event == event) found.push_back(record);
    return found;
}

class GameWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::clock::UseManualClock(100000, 0);
        platform::screen::Configure(platform::screen::DisplayGeometry{});
        ASSERT_EQ(HeapInit(), 0);
        ASSERT_EQ(RegisterCoreModule(), 0);
        ASSERT_NE(RegisterModule("WindowTest", kRecordingGameModule), nullptr);
        ASSERT_EQ(CreateGameEngine("WindowTest", "RecordingGame"), 0);
        App().started = true;
        SaveDisplayMode(App().displayKind, App().screenRect);
        ASSERT_EQ(CreateMainWindow(platform::ProgramModule()), 1);
        window_ = MainWindowHandle();
        Frame();
        RecordedEvents().clear();
        ClearInputEvents();
    }

    void TearDown() override {
        DestroyGameEngine();
        DestroyMainWindow();
        Frame();
        ShutdownModules();
        ResetMainWindowState();
        ResetKeyStates();
        ClearInputEvents();
        ResetFrameClock();
        SetBacklight(false);
        App().started = false;
        RecordedEvents().clear();
        HeapTeardown();
        platform::screen::Configure(platform::screen::DisplayGeometry{});
        platform::clock::UseRealClock();
    }

    // One frame of the game's loop as the frame driver runs it.
    void Frame() { FrameDriver(); }

    handset_test::TempHandsetRoot root_;
    HWND window_ = nullptr;
};

}  // namespace startup_test
