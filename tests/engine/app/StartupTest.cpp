// Tests of the start-up and shutdown sequences in this process: a missing configuration
// file, each failing step shutting down what came before, a full start with the null render
// device and the silent sound device, the entry's skipped main loop after a failed start,
// and a second start handing over to the running game.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/app/OverlayLayerSteps.h"
#include "engine/app/Startup.h"
#include "engine/core/device/KeyboardHook.h"
#include "engine/core/files/DataFolder.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/node/KNode.h"
#include "engine/core/node/NodeAnimation.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/render/RenderModule.h"
#include "platform/device/NotificationLed.h"
#include "platform/device/Power.h"
#include "platform/fs/ModulePath.h"
#include "tests/engine/support/EngineTestSupport.h"
#include "tests/engine/support/StartupTestSupport.h"

namespace startup_test {
namespace {

int gamesAlive = 0;
int gameRuns = 0;

class CountedGame : public RecordingGame {
public:
    explicit CountedGame(bool starts) : starts_(starts) { ++gamesAlive; }
    ~CountedGame() override { --gamesAlive; }
    DWORD Init() override { return starts_ ? 0 : 1; }
    DWORD Run() override {
        ++gameRuns;
        return 0;
    }

private:
    bool starts_;
};

Interface* CreateStartingGame() { return new CountedGame(true); }
Interface* CreateFailingGame() { return new CountedGame(false); }

const ModuleEntry kStartupTestModule[] = {
    {"Create_GameEngine", AsModuleFunction(&CreateStartingGame)},
    {"Create_FailingGame", AsModuleFunction(&CreateFailingGame)},
    {nullptr, nullptr},
};

// The modules this test program starts with.
void RegisterModules() {
    RegisterRenderModule();
    RegisterModule("StartupTest", kStartupTestModule);
}

constexpr const char* kWorkingIni =
    "Render=OpenGLRender.NullRenderDevice\n"
    "Engine=StartupTest.GameEngine\n"
    "Sound=FmodSound.FmodSoundDevice\n";

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(ProgramFolder());
        platform::SetProgramHandsetPath(u"\\Program Files\\Quorvane\\Quorvane.exe");
        platform::device::RegisterNotificationLedDriver();
        platform::screen::Configure(platform::screen::DisplayGeometry{});
        ResetMainWindowState();
        Config() = AppConfig{};
        gamesAlive = 0;
        gameRuns = 0;
    }
    void TearDown() override {
        AppShutdown(App());
        if (HeapIsInitialised()) HeapTeardown();
        ResetMainWindowState();
        platform::screen::Configure(platform::screen::DisplayGeometry{});
    }
    std::filesystem::path ProgramFolder() const {
        return std::filesystem::path(root_.Path()) / "fs" / "Program Files" / "Quorvane";
    }
    void WriteIni(const std::string& text) { std::ofstream(ProgramFolder() / "Quorvane.ini", std::ios::binary) << text; }
    int Start() {
        EXPECT_EQ(HeapInit(), 0);
        return AppInit(App(), platform::ProgramModule(), kProgramName, &RegisterModules);
    }
    // After a failed start nothing of it is left.
    void ExpectAllShutDown() {
        EXPECT_FALSE(App().started);
        EXPECT_EQ(App().profileNames.count, 0u);
        EXPECT_EQ(ModuleList().count, 0u);
        EXPECT_EQ(GameObject(), nullptr);
        EXPECT_EQ(GetSoundDevice(), nullptr);
        EXPECT_EQ(RenderDevice(), nullptr);
        EXPECT_EQ(MainWindowHandle(), nullptr);
        EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), nullptr);
        EXPECT_FALSE(platform::device::IsUnattendedMode());
        EXPECT_EQ(gamesAlive, 0);
    }

    handset_test::TempHandsetRoot root_;
};

TEST_F(StartupTest, AMissingConfigurationFileIsLoggedAndShutsDown) {
    engine_test::CapturedLog log;
    EXPECT_EQ(Start(), 1);
    EXPECT_TRUE(log.Contains("LoadConfig"));
    EXPECT_STREQ(App().programFolder, "\\Program Files\\Quorvane\\");
    ExpectAllShutDown();
}

TEST_F(StartupTest, EachFailingStepIsLoggedAndShutsDownWhatCameBefore) {
    const struct {
        const char* what;
        const char* ini;
        const char* logged;
    } cases[] = {
        {"no render device", "Engine=StartupTest.GameEngine\n",
         "No render device is configured: the configuration has no Render= line."},
        {"a render class that is no render device", "Render=libkel.NullSoundDevice\nEngine=StartupTest.GameEngine\n",
         "The render device libkel.NullSoundDevice of the configuration's Render= line cannot be created"},
        {"no game", "Render=OpenGLRender.NullRenderDevice\n", "No game object is configured"},
        {"a game that fails to start", "Render=OpenGLRender.NullRenderDevice\nEngine=StartupTest.FailingGame\n",
         "The game object StartupTest.FailingGame of the configuration's Engine= line"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Config() = AppConfig{};
        WriteIni(c.ini);
        engine_test::CapturedLog log;
        EXPECT_EQ(Start(), 1);
        EXPECT_TRUE(log.Contains(c.logged)) << log.Text();
        ExpectAllShutDown();
        HeapTeardown();
    }
}

TEST_F(StartupTest, AFullStartRunsEveryDeviceAndShutsThemAllDown) {
    WriteIni(kWorkingIni);
    ASSERT_EQ(Start(), 0);
    EXPECT_TRUE(App().started);
    ASSERT_NE(GameObject(), nullptr);
    ASSERT_NE(RenderDevice(), nullptr);
    EXPECT_STREQ(RenderDevice()->GetTypeName(), "NullRenderDevice");
    ASSERT_NE(GetSoundDevice(), nullptr);
    EXPECT_STREQ(GetSoundDevice()->GetTypeName(), "NullSoundDevice");
    EXPECT_TRUE(GlobalResourceCache().IsInitialised());
    EXPECT_TRUE(platform::device::IsUnattendedMode());
    EXPECT_TRUE(IsLedDeviceOpen());
    ASSERT_EQ(App().profileNames.count, 1u);
    EXPECT_STREQ(static_cast<EngineString*>(App().profileNames.head->item)->Text(), "Default");
    EXPECT_STREQ(DataFolder(), "\\Program Files\\Quorvane\\data\\");
    EXPECT_STREQ(App().saveFolder, "\\Program Files\\Quorvane\\save\\");
    // The render settings took the window's client size.
    RECT client{};
    GetClientRect(MainWindowHandle(), &client);
    EXPECT_EQ(Config().renderSettings.width, client.right);
    EXPECT_EQ(Config().renderSettings.height, client.bottom);
    // A second start while started is refused at once.
    EXPECT_EQ(AppInit(App(), platform::ProgramModule(), kProgramName, &RegisterModules), 1);
    EXPECT_NE(GameObject(), nullptr);

    AppShutdown(App());
    ExpectAllShutDown();
    EXPECT_FALSE(GlobalResourceCache().IsInitialised());
    EXPECT_FALSE(IsLedDeviceOpen());
    AppShutdown(App());  // nothing more to do
}

TEST_F(StartupTest, ShutdownFreesTheSceneNodeLists) {
    WriteIni(kWorkingIni);
    ASSERT_EQ(Start(), 0);
    auto* animation = new NodeAnimation();
    ASSERT_TRUE(animation->AllocateKeys(2, 0));
    auto* node = new KNode();
    ASSERT_GT(node->PlayAnimation(animation, 1.0f, kPlayLoop, 0.0f, 0.0f), 0);
    node->StopAnimations(0.0f);  // the player is back in the pool; the node stays listed
    EXPECT_EQ(AnimatedNodes().count, 1u);
    EXPECT_GT(PooledAnimationPlayers(), 0u);

    AppShutdown(App());
    EXPECT_EQ(AnimatedNodes().count, 0u);
    EXPECT_EQ(PooledAnimationPlayers(), 0u);
    EXPECT_EQ(node->Flags() & kNodeAnimated, 0u);
    node->Release();
    animation->Release();
}

// The 2D layer starts once the resource cache exists and before the game object, and stops
// after the archives are unmounted, before the cache is emptied and the devices go.
std::vector<std::string> layerSteps;
int layerStartResult = 0;

int RecordLayerStart() {
    layerSteps.push_back(std::string("start") + (GlobalResourceCache().IsInitialised() ? " cache" : "") +
                         (RenderDevice() != nullptr ? " device" : "") + (GameObject() != nullptr ? " game" : ""));
    return layerStartResult;
}

void RecordLayerStop() {
    layerSteps.push_back(std::string("stop") + (GlobalResourceCache().IsInitialised() ? " cache" : "") +
                         (RenderDevice() != nullptr ? " device" : "") + (GameObject() != nullptr ? " game" : ""));
}

TEST_F(StartupTest, TheTwoDimensionalLayerStartsBeforeTheGameAndStopsBeforeTheCacheEmpties) {
    WriteIni(kWorkingIni);
    SetOverlayLayerSteps(OverlayLayerSteps{RecordLayerStart, RecordLayerStop});
    layerSteps.clear();
    layerStartResult = 0;
    ASSERT_EQ(Start(), 0);
    AppShutdown(App());
    EXPECT_EQ(layerSteps, (std::vector<std::string>{"start cache device", "stop cache device"}));
    HeapTeardown();

    // A failing layer is logged and shuts down what came before, the layer's own stop too.
    engine_test::CapturedLog log;
    layerSteps.clear();
    layerStartResult = 1;
    EXPECT_EQ(Start(), 1);
    EXPECT_TRUE(log.Contains("WindowManager init failed"));
    EXPECT_EQ(layerSteps, (std::vector<std::string>{"start cache device", "stop cache device"}));
    ExpectAllShutDown();
    SetOverlayLayerSteps(OverlayLayerSteps{});
}

TEST_F(StartupTest, TheEntryRunsTheGameOnlyAfterASuccessfulStart) {
    engine_test::CapturedLog log;
    // A failed start-up is a failure of the program.
    EXPECT_EQ(ProgramEntry(platform::ProgramModule(), &RegisterModules), 1);
    EXPECT_EQ(gameRuns, 0);
    EXPECT_TRUE(log.Contains("The configuration file \\Program Files\\Quorvane\\Quorvane.ini cannot be read."))
        << log.Text();
    EXPECT_TRUE(log.Contains("LoadConfig"));
    EXPECT_FALSE(HeapIsInitialised());

    WriteIni(kWorkingIni);
    EXPECT_EQ(ProgramEntry(platform::ProgramModule(), &RegisterModules), 0);
    EXPECT_EQ(gameRuns, 1);
    EXPECT_FALSE(App().started);
    EXPECT_FALSE(HeapIsInitialised());
}

TEST_F(StartupTest, ASecondStartBringsTheRunningGameToTheFront) {
    WNDCLASSW runningClass{};
    runningClass.lpfnWndProc = DefWindowProcW;
    runningClass.lpszClassName = kMainWindowClass;
    ASSERT_NE(RegisterClassW(&runningClass), 0);
    HWND running = CreateWindowExW(0, kMainWindowClass, u"Quorvane", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    runningClass.lpszClassName = u"OtherProgram";
    RegisterClassW(&runningClass);
    HWND other = CreateWindowExW(0, u"OtherProgram", u"Other", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
    ASSERT_EQ(GetForegroundWindow(), other);

    WriteIni(kWorkingIni);
    EXPECT_EQ(ProgramEntry(platform::ProgramModule(), &RegisterModules), 0);
    EXPECT_EQ(GetForegroundWindow(), running);
    EXPECT_EQ(gameRuns, 0);
    EXPECT_FALSE(HeapIsInitialised());
    DestroyWindow(other);
    DestroyWindow(running);
    UnregisterClassW(u"OtherProgram", nullptr);
    UnregisterClassW(kMainWindowClass, nullptr);
}

}  // namespace
}  // namespace startup_test
