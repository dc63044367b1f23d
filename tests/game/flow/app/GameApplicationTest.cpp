// The application object: its type as the shell sees it, a fresh object's state, the
// pointer transform, the render device given up and made again with the focus (on GL, which
// shows the new device's frame and the cached textures drawn again), the retry of a failed
// re-creation, and the main loop ending on the quit flag.
#include <GLES/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

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
#include "engine/render/NullRenderDevice.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/render/RenderModule.h"
#include "engine/render/TextureData.h"
#include "engine/resources/texture/Texture.h"
#include "game/flow/devices/AccelerometerKey.h"
#include "game/flow/app/GameApplication.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundManager.h"
#include "platform/registry/Registry.h"
#include "game/flow/app/GameModule.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/profile/PlayerProfile.h"
#include "engine/overlay/text/TextTable.h"
#include "game/flow/devices/TvOutRate.h"
#include "platform/base/Clock.h"
#include "platform/base/Library.h"
#include "platform/device/Power.h"
#include "platform/screen/Display.h"
#include "platform/user/Window.h"
#include "tests/engine/support/EngineTestSupport.h"
#include "tests/game/flow/FlowFakes.h"
#include "tests/game/flow/RunningGame.h"
#include "tests/support/TestSupport.h"

namespace {

LPARAM Packed(int x, int y) {
    return static_cast<LPARAM>((static_cast<DWORD>(static_cast<WORD>(y)) << 16) | static_cast<WORD>(x));
}

// The engine heaps and modules only: enough for the object itself.
class GameObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(HeapInit(), 0);
        ASSERT_EQ(RegisterCoreModule(), 0);
        ASSERT_EQ(RegisterGameModule(), 0);
    }
    void TearDown() override {
        ShutdownModules();
        ResetMainWindowState();
        HeapTeardown();
    }
};

TEST_F(GameObjectTest, TheGameModuleMakesAGameEngineThatAnswersTypeQueriesByItsThreeNames) {
    Interface* created = CreateByName("Quorvane", "GameEngine", Engine::StaticTypeId());
    ASSERT_NE(created, nullptr);
    EXPECT_STREQ(created->GetTypeName(), "GameEngine");
    EXPECT_STREQ(created->GetBaseTypeName(), "Engine");
    for (const char* name : {"GameEngine", "Engine", "Interface"}) EXPECT_TRUE(created->IsA(name)) << name;
    EXPECT_FALSE(created->IsA("Node"));
    EXPECT_EQ(created->GetTypeDistance(GameEngine::StaticTypeId()), 1);
    EXPECT_EQ(created->GetTypeDistance(Engine::StaticTypeId()), 2);
    EXPECT_EQ(created->GetTypeDistance(Interface::StaticTypeId()), 3);
    EXPECT_EQ(created->GetTypeDistance(OpenGLRenderDevice::StaticTypeId()), 0);
    EXPECT_EQ(created->Release(), 0u);

    // A render device is not what the game module makes.
    EXPECT_EQ(CreateByName("Quorvane", "GameEngine", OpenGLRenderDevice::StaticTypeId()), nullptr);
    KDLList names;
    auto enumerate = reinterpret_cast<ModuleEnumerateFunction>(FindModule("Quorvane")->FindEntry("EnumerateInterfaces"));
    ASSERT_NE(enumerate, nullptr);
    enumerate(&names, Interface::StaticTypeId());
    ASSERT_EQ(names.count, 1u);
    EXPECT_STREQ(static_cast<EngineString*>(names.head->item)->Text(), "GameEngine");
    ListDeleteAll(names, EngineString::DeleteItem);
}

TEST_F(GameObjectTest, AFreshObjectWaitsInTheBootStateWithNothingRequestedAndTurnsTheDisplay) {
    GameApplication* game = new GameApplication;
    ASSERT_NE(game, nullptr);
    const GameFlowState& state = game->State();
    EXPECT_EQ(state.screenState, 0u);
    EXPECT_EQ(state.requestedScreenState, 0u);
    EXPECT_EQ(state.previousScreenState, 15u);
    EXPECT_EQ(state.activityRequest, kActivitySettled);
    EXPECT_EQ(state.inputLatch, 1u);
    EXPECT_EQ(state.resumeCount, 0u);
    EXPECT_EQ(state.suspendBusy, 0u);
    EXPECT_EQ(state.activeTime, 0.0f);
    EXPECT_EQ(MainWindowInfo().screenAngle, 90u);
    game->RequestScreenState(7);
    EXPECT_EQ(state.requestedScreenState, 7u);
    EXPECT_EQ(state.screenState, 0u);
    // Before the shell has started, focus events change nothing of the device.
    game->OnEvent(kGameEventFocusLost, 0, 0);
    EXPECT_EQ(state.activityRequest, kActivitySuspend);
    EXPECT_EQ(game->Release(), 0u);
}

TEST_F(RunningGameTest, PointerPositionsAreTurnedIntoTheLandscapeScreenAtRotation90) {
    std::int32_t width = 0;
    RenderDevice()->GetViewport(nullptr, nullptr, &width, nullptr);
    ASSERT_EQ(width, 480);
    game_->OnEvent(kGameEventPenDown, Packed(10, 700), 0);
    EXPECT_EQ(game_->State().pointerX, 700.0f);
    EXPECT_EQ(game_->State().pointerY, 470.0f);
    game_->OnEvent(kGameEventPenMove, Packed(-3, 20), 0);  // signed halves
    EXPECT_EQ(game_->State().pointerX, 20.0f);
    EXPECT_EQ(game_->State().pointerY, 483.0f);
    game_->OnEvent(kGameEventPenUp, Packed(100, 100), 0);
    EXPECT_EQ(game_->State().pointerX, 20.0f) << "a release stores nothing";

    SetScreenAngle(0);
    game_->OnEvent(kGameEventPenDown, Packed(30, 40), 0);
    EXPECT_EQ(game_->State().pointerX, 30.0f);
    EXPECT_EQ(game_->State().pointerY, 40.0f);
}

TEST_F(RunningGameTest, TheTextsOfALanguageComeFromItsFolder) {
    SetDataFolder("\\data\\");
    const std::filesystem::path folder = std::filesystem::path(root_.Path()) / "fs" / "data" / "text" / "ger";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "menu.text") << "MENU_SETTINGS \"Einstellungen\"\n";
    std::ofstream(folder / "credits.text") << "CREDITS_TITLE \"Mitwirkende\"\n";
    ASSERT_EQ(game_->LoadLocalisation(LanguageFolder(2)), 1);
    EXPECT_EQ(std::u16string(TextTableFind(GlobalTextTable(), "MENU_SETTINGS", nullptr)), u"Einstellungen");
    EXPECT_EQ(std::u16string(TextTableFind(GlobalTextTable(), "CREDITS_TITLE", nullptr)), u"Mitwirkende");
}

TEST_F(RunningGameTest, DragsWhilePlayScrollsReachTheControllerAsScreenSteps) {
    ASSERT_EQ(game_->Flow().LoadGameData(), 1);
    IngameController& controller = *game_->Flow().Controller();
    game_->OnEvent(kGameEventPenDown, Packed(100, 300), 0);
    game_->OnEvent(kGameEventPenMove, Packed(90, 320), 0);
    EXPECT_EQ(controller.dragCount, 0u) << "not while play does not scroll";
    controller.SetState(kPlayScroll);
    game_->OnEvent(kGameEventPenMove, Packed(80, 330), 0);
    ASSERT_EQ(controller.dragCount, 1u);
    EXPECT_EQ(controller.drags[0].x, 330.0f);
    EXPECT_EQ(controller.drags[0].y, 400.0f);
    EXPECT_EQ(controller.drags[0].dx, 10.0f);
    EXPECT_EQ(controller.drags[0].dy, 10.0f);
}

TEST_F(RunningGameOnGlTest, LosingTheFocusGivesUpTheDeviceAndRegainingItMakesItAgain) {
    ASSERT_NE(RenderDevice(), nullptr);
    ASSERT_TRUE(platform::device::IsUnattendedMode());
    platform::clock::Advance(500);
    FrameDriver();
    game_->UpdateScreenState();
    EXPECT_GT(game_->State().activeTime, 0.0f);

    game_->OnEvent(kGameEventFocusLost, 0, 0);
    EXPECT_EQ(RenderDevice(), nullptr);
    EXPECT_FALSE(platform::device::IsUnattendedMode());
    EXPECT_EQ(game_->State().activityRequest, kActivitySettled);
    EXPECT_EQ(game_->State().activeTime, 0.0f);
    EXPECT_EQ(game_->Render(), 0u) << "a frame without a device draws nothing";

    game_->OnEvent(kGameEventFocusGained, 0, 0);
    ASSERT_NE(RenderDevice(), nullptr) << LastEglTrace();
    EXPECT_TRUE(platform::device::IsUnattendedMode());
    EXPECT_EQ(game_->State().resumeCount, 1u);
    EXPECT_EQ(game_->State().activityRequest, kActivitySettled);
    EXPECT_EQ(game_->State().suspendBusy, 0u);

    // The new device draws: the frame is its clear and present.
    RenderDevice()->SetClearColor(Color{1.0f, 0.0f, 0.0f, 1.0f});
    EXPECT_EQ(game_->Render(), 0u);
    const platform::screen::Image frame = platform::screen::Capture();
    ASSERT_GT(frame.width, 0);
    EXPECT_GE(frame.rgba[0], 247);
    EXPECT_EQ(frame.rgba[1], 0);

    // Deactivation gives the device up at once.
    game_->OnEvent(kGameEventDeactivated, 0, 0);
    EXPECT_EQ(RenderDevice(), nullptr);
    EXPECT_EQ(game_->State().activityRequest, kActivitySettled);
}

// Textures in the data folder for the restore test: 4 x 4 TGA files of one colour each.
void WriteDataFile(const std::string& root, const std::string& name, const std::string& bytes) {
    const std::filesystem::path path = root + "/fs/data/" + name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string SolidTga(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::string tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 4, 0, 24, 0x20};
    for (int i = 0; i < 16; ++i) tga += {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r)};
    return tga;
}

// Draws each texture over its quarter of the screen's top half and reads the middle of each
// quarter back.
std::array<std::array<int, 3>, 3> DrawTextures(const std::array<Texture*, 3>& textures) {
    OpenGLRenderDevice* device = RenderDevice();
    std::int32_t width = 0;
    std::int32_t height = 0;
    device->GetScreenSize(&width, &height);
    device->SetClearColor(Color{0.0f, 0.0f, 0.0f, 1.0f});
    device->Clear(0);
    device->SetDepthMode(0);
    device->SetOrtho(0, 0, static_cast<float>(width), static_cast<float>(height), 0.0f, 1.0f);
    device->SetViewMatrix(kIdentityMatrix34);
    device->SetWorldMatrix(kIdentityMatrix34);
    device->SetTextureMode(0);  // the texture's colour alone
    const float side = static_cast<float>(width) / 4.0f;
    std::array<std::array<int, 3>, 3> seen{};
    for (int i = 0; i < 3; ++i) {
        device->SetTexture(textures[i]->Data(), 0, 0x6000);
        const float x = side * static_cast<float>(i);
        ImmediateVertex quad[4] = {};
        const float corners[4][4] = {{x, 0, 0, 0}, {x, side, 0, 1}, {x + side, side, 1, 1}, {x + side, 0, 1, 0}};
        for (int c = 0; c < 4; ++c) {
            quad[c].position = Vector3{corners[c][0], corners[c][1], 0.5f};
            std::memset(quad[c].colour, 255, 4);
            quad[c].u = corners[c][2];
            quad[c].v = corners[c][3];
        }
        device->DrawPrimitives(kDrawQuads, 1, quad);
        std::uint8_t pixel[4] = {};
        glReadPixels(static_cast<GLint>(x + side / 2), static_cast<GLint>(height - side / 2), 1, 1, GL_RGBA,
                     GL_UNSIGNED_BYTE, pixel);
        seen[i] = {pixel[0], pixel[1], pixel[2]};
    }
    return seen;
}

TEST_F(RunningGameOnGlTest, CachedTexturesDrawTheSameOnTheDeviceMadeAgain) {
    SetDataFolder("\\data\\");
    WriteDataFile(root_.Path(), "gfx/red.tga", SolidTga(255, 0, 0));
    WriteDataFile(root_.Path(), "gfx/green.tga", SolidTga(0, 255, 0));
    WriteDataFile(root_.Path(), "gfx/green.ktx", "libkel.Texture\n\"gfx/green.tga\"\n");
    WriteDataFile(root_.Path(), "gfx/blue.tga", SolidTga(0, 0, 255));
    ASSERT_EQ(GlobalResourceCache().Init(), 0);
    // A plain image, a ".ktx" texture, and one whose data survives the device.
    const std::array<Texture*, 3> textures = {
        static_cast<Texture*>(GlobalResourceCache().GetTexture("gfx/red.tga", 0)),
        static_cast<Texture*>(GlobalResourceCache().GetTexture("gfx/green.ktx", 0)),
        static_cast<Texture*>(GlobalResourceCache().GetTexture("gfx/blue.tga", kTextureKeepData))};
    for (Texture* texture : textures) ASSERT_NE(texture, nullptr);
    const std::array<std::array<int, 3>, 3> colours = {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};
    EXPECT_EQ(DrawTextures(textures), colours);

    game_->OnEvent(kGameEventFocusLost, 0, 0);
    ASSERT_EQ(RenderDevice(), nullptr);
    game_->OnEvent(kGameEventFocusGained, 0, 0);
    ASSERT_NE(RenderDevice(), nullptr) << LastEglTrace();
    EXPECT_EQ(DrawTextures(textures), colours);
}

TEST_F(RunningGameTest, AFailedReCreationWaitsAndIsTriedAgainAtTheNextStep) {
    game_->OnEvent(kGameEventFocusLost, 0, 0);
    ASSERT_EQ(RenderDevice(), nullptr);
    SetRenderClass("NoSuchDevice");
    const DWORD before = GetTickCount();
    game_->OnEvent(kGameEventFocusGained, 0, 0);
    EXPECT_EQ(RenderDevice(), nullptr);
    EXPECT_EQ(game_->State().activityRequest, kActivityResume) << "the request stays for the next try";
    EXPECT_EQ(GetTickCount() - before, 100u) << "a failed attempt waits 100 ms";
    EXPECT_EQ(game_->State().resumeCount, 0u);

    SetRenderClass(renderClass_);
    game_->UpdateScreenState();
    EXPECT_NE(RenderDevice(), nullptr) << LastEglTrace();
    EXPECT_EQ(game_->State().resumeCount, 1u);
    EXPECT_EQ(game_->State().activityRequest, kActivitySettled);
}

TEST_F(RunningGameTest, RunEndsOnTheQuitFlagAndPacesItsFramesByTheTvOutRate) {
    // With TV-out at video mode 3 a frame lasts 50 ms.
    SetTvOutEnabled(true);
    UpdateTvOutFrameRate(3);
    MainWindowInfo().active = true;
    const DWORD frames = FrameCounter();
    const DWORD start = GetTickCount();
    // The Ctrl+Q hot key arrives in the first frame's message pump.
    ASSERT_TRUE(PostMessageW(MainWindowHandle(), WM_HOTKEY, kHotKeyControlQ, 0));
    EXPECT_EQ(game_->Run(), 0u);
    EXPECT_TRUE(IsQuitRequested());
    EXPECT_EQ(FrameCounter() - frames, 1u);
    EXPECT_EQ(GetTickCount() - start, 50u);
    EXPECT_EQ(static_cast<NullRenderDevice*>(RenderDevice())->PresentedFrames(), 1u) << "the frame was presented";

    // Once the flag is set the loop runs no frame at all.
    EXPECT_EQ(game_->Run(), 0u);
    EXPECT_EQ(FrameCounter() - frames, 1u);
}

// The accelerometer driver's key, made for the test, and its "poll_delay" (-1: absent).
class DriverKey {
public:
    DriverKey() {
        DWORD disposition = 0;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Drivers\\BuiltIn\\Accelerometer", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key_, &disposition);
    }
    ~DriverKey() { RegCloseKey(key_); }
    void Set(DWORD value) {
        RegSetValueExW(key_, u"poll_delay", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    std::int64_t PollDelay() const {
        DWORD value = 0;
        DWORD size = sizeof value;
        DWORD type = 0;
        if (RegQueryValueExW(key_, u"poll_delay", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != 0) return -1;
        return value;
    }
    void SetResolution(const char16_t* text) {
        RegSetValueExW(key_, u"resolution", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>((std::char_traits<char16_t>::length(text) + 1) * 2));
    }

private:
    HKEY key_ = nullptr;
};

TEST_F(RunningGameTest, ThePollDelayIsShortenedWhileTheGameRunsAndGivenBackOrDeletedAtTheEnd) {
    struct Case {
        std::int64_t before;  // -1: no value
        std::int64_t after;
    };
    for (const Case c : {Case{-1, -1}, Case{30, 30}, Case{0, -1}}) {
        game_->Shutdown();
        DriverKey key;
        if (c.before >= 0) key.Set(static_cast<DWORD>(c.before));
        ASSERT_EQ(game_->Init(), 0u);
        EXPECT_EQ(key.PollDelay(), 50) << c.before;
        game_->Shutdown();
        EXPECT_EQ(key.PollDelay(), c.after) << c.before;
        game_->Shutdown();
        EXPECT_EQ(key.PollDelay(), c.after) << "a second shutdown gives nothing back again";
    }
    ASSERT_EQ(game_->Init(), 0u);
}

TEST_F(RunningGameTest, TheResolutionReadsAsItsNumberOrTheDefaultBelowATenth) {
    DriverKey key;
    struct Case {
        const char16_t* text;
        double resolution;
    };
    for (const Case c : {Case{u"31.25", 31.25}, Case{u"0.05", 15.625}, Case{u"nonsense", 15.625}, Case{u"", 15.625},
                         Case{u"nan", 15.625}, Case{u"1e999", 15.625}, Case{u"-4", 15.625}}) {
        key.SetResolution(c.text);
        EXPECT_EQ(TakeAccelerometer().resolution, c.resolution);
    }
}

// Menu pages whose every label would read "<UNKNOWN STRING>" leave a game nobody can use:
// without its menu texts the start stops, and the log names the file.
TEST_F(RunningGameTest, MenusWithoutTheirTextsStopTheStart) {
    flow_test::ScriptedMenus menus;
    MenuPages& before = GetMenuPages();
    SetMenuPages(&menus);
    SetDataFolder("\\data\\");
    const std::filesystem::path data = std::filesystem::path(root_.Path()) / "fs" / "data";
    const std::filesystem::path texts = data / "text" / LanguageFolder(kLanguageEnglish);
    const struct {
        const char* what;
        const char* menuText;  // null: no file
        const char* logged;
    } cases[] = {
        {"no menu texts", nullptr, "menu.text cannot be read"},
        {"menu texts without the main menu's", "MENU_SETTINGS \"Settings\"\n", "holds no menu texts"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(texts);
        if (c.menuText != nullptr) {
            std::filesystem::create_directories(texts);
            std::ofstream(texts / "menu.text") << c.menuText;
        }
        engine_test::CapturedLog log;
        EXPECT_EQ(game_->Init(), 1u);
        EXPECT_TRUE(log.Contains(c.logged)) << log.Text();
        EXPECT_TRUE(log.Contains("the menus have no texts")) << log.Text();
    }
    std::ofstream(texts / "menu.text") << "MENU_MAINMENU \"Main menu\"\n";
    EXPECT_EQ(game_->Init(), 0u);
    // Without menu files the pages take their default commands: no texts are needed.
    menus.pages.clear();
    std::filesystem::remove_all(texts);
    game_->Shutdown();
    EXPECT_EQ(game_->Init(), 0u);
    game_->Shutdown();
    SetMenuPages(&before);
}

// A game whose texts cannot be loaded.
class TextlessGame : public GameApplication {
public:
    int LoadLocalisation(const char*) override { return 0; }
};

TEST_F(RunningGameTest, AFailedStepOfTheStartIsReportedAndWhatWasBroughtUpIsShutDown) {
    game_->Shutdown();
    DriverKey key;
    key.Set(30);
    auto* game = new TextlessGame;
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->Init(), 1u);
    EXPECT_EQ(GetProfile(), nullptr);
    EXPECT_EQ(GetSoundManager(), nullptr);
    EXPECT_EQ(key.PollDelay(), 30) << "the later steps did not run";
    EXPECT_EQ(game->Release(), 0u);
    EXPECT_EQ(key.PollDelay(), 30);
    ASSERT_EQ(game_->Init(), 0u);
    EXPECT_NE(GetProfile(), nullptr);
}

}  // namespace
