// The game as the shell's start-up leaves it, for the tests that run the application
// object: the main window, a render device (null or GL on llvmpipe), the game object made
// by the game module, a manual clock.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>

#include "engine/app/Application.h"
#include "engine/app/CoreModule.h"
#include "engine/app/FrameDriver.h"
#include "engine/app/GameObject.h"
#include "engine/app/InputEvents.h"
#include "engine/app/KeyStates.h"
#include "engine/app/MainWindow.h"
#include "engine/app/RenderDeviceSetup.h"
#include "engine/core/device/NotificationLights.h"
#include "engine/core/files/DataFolder.h"
#include "engine/core/object/Module.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/render/RenderModule.h"
#include "game/flow/app/GameApplication.h"
#include "game/flow/app/GameModule.h"
#include "game/flow/devices/TvOutRate.h"
#include "platform/base/Clock.h"
#include "platform/base/Library.h"
#include "platform/device/Power.h"
#include "platform/screen/Display.h"
#include "tests/support/TestSupport.h"

inline void SetRenderClass(const char* className) {
    std::snprintf(Config().render.module, sizeof Config().render.module, "OpenGLRender");
    std::snprintf(Config().render.className, sizeof Config().render.className, "%s", className);
}

// The game as start-up leaves it: the main window and the null render device, the game
// object made by the shell, a manual clock.
class RunningGameTest : public ::testing::Test {
protected:
    RunningGameTest() = default;
    explicit RunningGameTest(const char* renderClass) : renderClass_(renderClass) {}

    void SetUp() override {
        platform::clock::UseManualClock(100000, 0);
        platform::screen::Configure(platform::screen::DisplayGeometry{});
        platform::device::ResetPowerState();
        ASSERT_EQ(HeapInit(), 0);
        ASSERT_EQ(RegisterCoreModule(), 0);
        ASSERT_EQ(RegisterRenderModule(), 0);
        ASSERT_EQ(RegisterGameModule(), 0);
        SetRenderClass(renderClass_);
        App().started = true;
        ASSERT_EQ(CreateMainWindow(platform::ProgramModule()), 1);
        ASSERT_EQ(CreateRenderDevice(), 0) << LastEglTrace();
        ASSERT_EQ(CreateGameEngine("Quorvane", "GameEngine"), 0);
        game_ = static_cast<GameApplication*>(GameObject());
        FrameDriver();
    }

    void TearDown() override {
        // Cached textures go while their device exists.
        GlobalResourceCache().Clear();
        SetDataFolder(nullptr);
        DestroyGameEngine();
        DestroyRenderDevice();
        DestroyMainWindow();
        FrameDriver();
        ShutdownModules();
        ResetMainWindowState();
        ResetKeyStates();
        ClearInputEvents();
        ResetFrameClock();
        SetBacklight(false);
        // The rumble pattern that loading the game made lives in the lights' lists.
        ShutdownLights();
        App().started = false;
        Config().render = ModuleClassName{};
        ResetTvOutRate();
        HeapTeardown();
        platform::device::ResetPowerState();
        platform::screen::Configure(platform::screen::DisplayGeometry{});
        platform::clock::UseRealClock();
    }

    const char* renderClass_ = "NullRenderDevice";
    handset_test::TempHandsetRoot root_;
    GameApplication* game_ = nullptr;
};

// The same on the GL device on llvmpipe (headless), for the tests that look at the frame.
class RunningGameOnGlTest : public RunningGameTest {
protected:
    RunningGameOnGlTest() : RunningGameTest("OpenGLRenderDevice") {}
};

