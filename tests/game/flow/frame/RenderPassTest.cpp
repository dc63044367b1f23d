// The frame: its guard, the eased display rotation, the quarter-turn rows, the portrait
// viewport, the 2D view, the title and loading alphas over time; and on llvmpipe the title
// picture fading in on the turned screen, the play screen's clear colour and the results
// page over it, against references.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/math/MatrixMath.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/widgets/OverlayLayer.h"
#include "game/flow/frame/RenderPass.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/interfaces/PlayHud.h"
#include "game/flow/screens/ScreenFlow.h"
#include "game/flow/services/GameServices.h"
#include "platform/screen/Display.h"
#include "tests/engine/render/RenderTestSupport.h"
#include "tests/game/flow/RunningGame.h"

namespace {

Vector3 Apply(const Matrix34& m, float x, float y) {
    Vector3 out;
    Matrix34TransformPoint(m, Vector3{x, y, 0.0f}, out);
    return out;
}

TEST(RotationEasing, AFifthOfTheRemainingTurnEachFrameWrappingThroughZero) {
    struct Case {
        float start;
        std::int32_t target;
        std::vector<float> angles;
    };
    const Case cases[] = {
        {90.0f, 180, {108.0f, 122.4f, 133.92f, 143.136f}},
        {350.0f, 10, {354.0f, 357.2f, 359.76f, 1.808f}},
        {10.0f, 350, {6.0f, 2.8f, 0.24f, 358.192f}},
        {90.0f, 90, {90.0f, 90.0f}},
    };
    for (const Case& c : cases) {
        float angle = c.start;
        for (float expected : c.angles) {
            angle = EaseRotation(angle, c.target);
            EXPECT_NEAR(angle, expected, 1e-3f) << c.start << " toward " << c.target;
            EXPECT_GE(angle, 0.0f);
            EXPECT_LT(angle, 360.0f);
        }
    }
    const std::pair<float, std::int32_t> shown[] = {{359.6f, 0}, {359.4f, 359}, {133.92f, 134}, {134.5f, 135},
                                                    {0.4f, 0},   {90.0f, 90}};
    for (const auto& [angle, rotation] : shown) EXPECT_EQ(ShownRotation(angle), rotation) << angle;
}

TEST(QuarterTurn, EachRowTurnsTheScreenAndItsSize) {
    struct Case {
        std::int32_t a;
        std::uint32_t width, height;
        float x, y;  // where the game point (100, 30) lands on a 480 x 800 viewport
    };
    const Case cases[] = {
        {0, 480, 800, 100, 30},    {44, 480, 800, 100, 30},  {45, 800, 480, 450, 100}, {90, 800, 480, 450, 100},
        {134, 800, 480, 450, 100}, {135, 480, 800, 380, 770}, {214, 480, 800, 380, 770}, {215, 800, 480, 30, 700},
        {315, 800, 480, 30, 700},  {316, 480, 800, 100, 30},
    };
    for (const Case& c : cases) {
        const QuarterTurn turn = QuarterTurnView(c.a, 480, 800);
        EXPECT_EQ(turn.width, c.width) << c.a;
        EXPECT_EQ(turn.height, c.height) << c.a;
        const Vector3 p = Apply(turn.view, 100.0f, 30.0f);
        EXPECT_NEAR(p.x, c.x, 1e-3f) << c.a;
        EXPECT_NEAR(p.y, c.y, 1e-3f) << c.a;
    }
}

TEST(QuarterTurn, TheGameAreaIsCentredPortraitOrLandscapeByTheSurfaceTurn) {
    struct Case {
        std::int32_t sw, sh;
        std::uint32_t index;
        ScreenArea area;
    };
    const Case cases[] = {
        {480, 800, 0, {0, 0, 480, 800}},
        {480, 800, 2, {0, 0, 480, 800}},
        {800, 480, 1, {0, 0, 800, 480}},
        {481, 801, 0, {0, 0, 480, 800}},
        {600, 900, 3, {-100, 210, 800, 480}},
    };
    for (const Case& c : cases) {
        const ScreenArea area = GameArea(c.sw, c.sh, c.index);
        EXPECT_EQ(area.x, c.area.x);
        EXPECT_EQ(area.y, c.area.y);
        EXPECT_EQ(area.width, c.area.width);
        EXPECT_EQ(area.height, c.area.height);
    }
}

TEST(QuarterTurn, TheTwoDViewAtNinetyDegreesPutsTheLandscapeScreenOnThePortraitOne) {
    const Matrix34 view = MakeView2D(90.0f, 1.0f, 800, 480, 480, 800);
    const float points[][4] = {{0, 0, 480, 0}, {800, 480, 0, 800}, {100, 30, 450, 100}, {400, 240, 240, 400}};
    for (const auto& p : points) {
        const Vector3 out = Apply(view, p[0], p[1]);
        EXPECT_NEAR(out.x, p[2], 1e-3f);
        EXPECT_NEAR(out.y, p[3], 1e-3f);
    }
    // Unturned, the screen is centred in the viewport.
    const Vector3 centre = Apply(MakeView2D(0.0f, 0.5f, 800, 480, 480, 800), 400.0f, 240.0f);
    EXPECT_NEAR(centre.x, 440.0f, 1e-3f);
    EXPECT_NEAR(centre.y, 520.0f, 1e-3f);
}

TEST(FrameGuard, AnyMissingConditionLeavesTheFrameUndrawn) {
    GameFlowState state;
    state.screenState = kScreenMenus;
    state.requestedScreenState = kScreenMenus;
    const FrameConditions all{true, true, true};
    EXPECT_TRUE(MayDrawFrame(state, all));

    GameFlowState pending = state;
    pending.requestedScreenState = kScreenLevelLoading;
    EXPECT_FALSE(MayDrawFrame(pending, all)) << "a state change is pending";
    GameFlowState powerOff = state;
    powerOff.powerOff = 1;
    EXPECT_FALSE(MayDrawFrame(powerOff, all)) << "the power went off";
    EXPECT_FALSE(MayDrawFrame(state, FrameConditions{false, true, true})) << "no device";
    EXPECT_FALSE(MayDrawFrame(state, FrameConditions{true, false, true})) << "the shell has not started";
    EXPECT_FALSE(MayDrawFrame(state, FrameConditions{true, true, false})) << "the application is inactive";
}

TEST(FrameAlphas, TitleAndLoadingTextsOverTime) {
    struct Case {
        float t, loading, picture, prompt;
    };
    const Case cases[] = {
        {0.0f, 1.0f, 0.0f, 0.5f},  {0.5f, 1.0f, 0.5f, 1.0f}, {1.0f, 1.0f, 1.0f, 0.5f},
        {1.5f, 0.5f, 1.0f, 0.0f},  {2.0f, 1.0f, 1.0f, 0.5f}, {3.5f, 0.5f, 1.0f, 0.0f},
        {4.5f, 1.0f, 1.0f, 1.0f},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(LoadingTextAlpha(c.t), c.loading, 1e-4f) << c.t;
        EXPECT_NEAR(TitlePictureAlpha(c.t), c.picture, 1e-4f) << c.t;
        EXPECT_NEAR(TitlePromptAlpha(c.t), c.prompt, 1e-4f) << c.t;
    }
}

// Makes the demo data the frames draw with into `out`, by the data tools from the sources in
// data/: the system font, the HUD's sheets, the title, the loading icon and the divider, and
// the English texts. Each test makes its own, so that tests running at once do not meet.
bool MakeDemoData(const std::filesystem::path& out) {
    const std::filesystem::path source = std::filesystem::path(HANDSET_SOURCE_DIR) / "data/game/archives/startup";
    std::filesystem::create_directories(out / "gfx/fonts");
    std::filesystem::create_directories(out / "ui");
    std::filesystem::create_directories(out / "text/eng");
    auto run = [](const std::string& command) { return std::system((command + " > /dev/null").c_str()) == 0; };
    bool made = run(std::string(MAKE_FONT_PROGRAM) + " '" + (source / "gfx/fonts/sysfont.font").string() + "' '" +
                    (out / "gfx/fonts/sysfont").string() + "'");
    for (const char* sheet : {"ui/hud_02", "ui/frame1", "ui/menu_01", "ui/scrollbar", "ui/loading", "gfx/splash2", "gfx/intro1"})
        made = made && run(std::string(MAKE_HUD_TEXTURES_PROGRAM) + " '" + (source / sheet).string() + ".sprites' '" +
                           (out / sheet).string() + ".dds'");
    std::filesystem::copy_file(source / "text/eng/menu.text", out / "text/eng/menu.text",
                               std::filesystem::copy_options::overwrite_existing);
    return made;
}

// The running game on llvmpipe with its 2D layer, drawing frames of a chosen state.
class FrameOnGlTest : public RunningGameOnGlTest {
protected:
    void SetUp() override {
        RunningGameOnGlTest::SetUp();
        if (HasFatalFailure()) return;
        SetDataFolder("\\data\\");
        ASSERT_EQ(GlobalResourceCache().Init(), 0);
        ASSERT_EQ(StartOverlayLayer(), 0);
        MainWindowInfo().active = true;
        // The texts' scale as the start-up page leaves it for every later screen.
        Overlay2D().textScale = 0.5f;
    }
    void TearDown() override {
        // The HUD and the frame give their textures back while the cache holds them.
        if (game_ != nullptr) game_->Shutdown();
        StopOverlayLayer();
        RunningGameOnGlTest::TearDown();
    }

    // The demo data in the data folder, before the 2D layer loads its font; its English texts.
    void UseDemoData() {
        StopOverlayLayer();
        ASSERT_TRUE(MakeDemoData(std::filesystem::path(root_.Path()) / "fs" / "data"))
            << "the data tools could not make the demo data";
        ASSERT_EQ(StartOverlayLayer(), 0);
        ASSERT_EQ(game_->LoadLocalisation("eng"), 1);
    }

    void WriteData(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::filesystem::path path = std::filesystem::path(root_.Path()) / "fs" / "data" / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
    }

    // A 2 x 2 picture: red, green on top, blue, white below.
    void WriteQuadrantPicture(const std::string& name) {
        const std::vector<std::uint8_t> pixels = {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255};
        WriteData(name, render_test::MakeDds(render_test::DdsFormat{0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u}, 2, 2,
                                             1, 0, pixels));
    }

    void Show(DWORD screenState, float stateTime) {
        GameFlowState& state = game_->Flow().State();
        state.screenState = screenState;
        state.requestedScreenState = screenState;
        state.stateTime = stateTime;
    }

    std::array<int, 3> Pixel(const platform::screen::Image& image, int x, int y) {
        const std::uint8_t* p = image.PixelAt(x, y);
        return {p[0], p[1], p[2]};
    }
};

void ExpectNear(const std::array<int, 3>& actual, const std::array<int, 3>& expected, const char* what) {
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(actual[c], expected[c], 9) << what << " channel " << c;
}

TEST_F(FrameOnGlTest, TheTitlePictureFadesInOnTheTurnedScreenInTheFullPortraitViewport) {
    WriteQuadrantPicture("gfx/splash2.dds");
    // Game point (200, 120) shows at surface (360, 200); (600, 120) at (360, 600); (200, 360) at (120, 200).
    struct Case {
        float t;
        int level;
    };
    for (const Case c : {Case{0.0f, 0}, Case{0.5f, 128}, Case{1.0f, 255}, Case{2.0f, 255}}) {
        Show(kScreenTitle, c.t);
        ASSERT_EQ(game_->Render(), 0u);
        const platform::screen::Image frame = platform::screen::Capture();
        ASSERT_EQ(frame.width, 480);
        ASSERT_EQ(frame.height, 800);
        ExpectNear(Pixel(frame, 360, 200), {c.level, 0, 0}, "top left of the picture");
        ExpectNear(Pixel(frame, 360, 600), {0, c.level, 0}, "top right");
        ExpectNear(Pixel(frame, 120, 200), {0, 0, c.level}, "bottom left");
    }
    EXPECT_EQ(RenderValues().viewportWidth, 480u);
    EXPECT_EQ(RenderValues().viewportHeight, 800u);
    std::int32_t x = -1, y = -1, w = 0, h = 0;
    RenderDevice()->GetViewport(&x, &y, &w, &h);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(w, 480);
    EXPECT_EQ(h, 800);
    EXPECT_EQ(Overlay2D().displayRotation, 90);
    EXPECT_EQ(Overlay2D().screenWidth, 800u) << "the second part lays out on the landscape screen";
    EXPECT_EQ(Overlay2D().textScale, 0.5f);
}

TEST_F(FrameOnGlTest, APendingStateChangeLeavesTheLastPictureOnTheScreen) {
    WriteQuadrantPicture("gfx/splash2.dds");
    Show(kScreenTitle, 1.0f);
    game_->Render();
    game_->Flow().State().requestedScreenState = kScreenMenus;
    game_->Flow().State().stateTime = 0.0f;  // would draw the picture black
    game_->Render();
    ExpectNear(Pixel(platform::screen::Capture(), 360, 200), {255, 0, 0}, "the frame before stays");
}

TEST_F(FrameOnGlTest, PlayClearsToItsBrownFromTheSecondFrameAndDrawsTheResultsOverTheScene) {
    UseDemoData();
    ASSERT_EQ(game_->Flow().LoadGameData(), 1);
    // Play comes after the title, whose frames leave the text scale at its value between frames:
    // without it the page would depend on what an earlier test in the same process drew.
    Show(kScreenTitle, 1.0f);
    game_->Render();
    IngameController& controller = *GetController();
    controller.SetState(kPlayResults);
    controller.currentLevel = 8;
    controller.stateTimer = 7.5f;
    controller.elapsedCopy = 42.5f;
    controller.logicMeasure = 12.0f;
    controller.timeRating = 3.0f;
    controller.logicRating = 5.0f;
    controller.timePoints = 300;
    controller.logicPoints = 500;
    controller.previousBest = 640;
    controller.medal = 4;
    controller.resultTitle = "GOLD_MEDAL";
    controller.resultColour = 0xFFE3A41C;
    Show(kScreenPlay, 1.0f);
    game_->Flow().State().previousScreenState = kScreenLevelLoading;
    game_->Render();
    game_->Render();
    const platform::screen::Image frame = platform::screen::Capture();
    ExpectNear(Pixel(frame, 5, 5), {33, 24, 0}, "the play clear colour");
    EXPECT_NE(Pixel(frame, 250, 400), Pixel(frame, 5, 5)) << "the results frame covers the middle";
    EXPECT_TRUE(render_test::MatchesReference(frame, "results_page"));

    // In the first half second after loading only the scene shows, no overlay.
    Show(kScreenPlay, 0.2f);
    game_->Render();
    ExpectNear(Pixel(platform::screen::Capture(), 250, 400), {33, 24, 0}, "no overlay yet");
}

// The frames of the demo data, each against its reference: they differ from the empty
// frame and from each other.
TEST_F(FrameOnGlTest, TitleLoadingBriefingAndPlayWithTheHudAndABanner) {
    UseDemoData();
    ASSERT_EQ(game_->Flow().LoadGameData(), 1);
    ASSERT_TRUE(game_->LoadLoadingPicture());
    IngameController& controller = *GetController();

    Show(kScreenTitle, 1.0f);
    game_->Render();
    EXPECT_TRUE(render_test::MatchesReference(platform::screen::Capture(), "title"));

    Show(kScreenLevelLoading, 1.5f);
    game_->Flow().State().loadingValue = 30.0f;
    game_->Render();
    EXPECT_TRUE(render_test::MatchesReference(platform::screen::Capture(), "level_loading"));

    controller.SetState(kPlayTutorialPage);
    controller.currentLevel = 3;
    controller.stateTimer = 1.0f;
    Show(kScreenPlay, 1.0f);
    game_->Render();
    game_->Render();
    EXPECT_TRUE(render_test::MatchesReference(platform::screen::Capture(), "briefing"));

    controller.SetState(kPlayPlaying);
    controller.currentLevel = 9;
    controller.lastCompleted = 8;
    controller.stateTimer = 1.0f;
    GetPlayHud().PushNotification("NOTIFICATION_LEVEL_COMPLETE", -1, 3.0f, 0xFFFFFFFF);
    // Half a second of frames: the HUD fades in and the banner opens.
    for (int frame = 0; frame < 15; ++frame) {
        platform::clock::Advance(33);
        FrameDriver();
        GetPlayHud().Update(FrameTime());
        game_->Render();
    }
    EXPECT_TRUE(render_test::MatchesReference(platform::screen::Capture(), "play_hud"));
}

}  // namespace

// The intro comic over several frames: the page's picture shows in every frame, also after
// the frame start has changed the device's texture mode behind the 2D layer's cache.
namespace {

TEST_F(FrameOnGlTest, TheIntroComicShowsItsPictureInEveryFrame) {
    UseDemoData();
    ASSERT_EQ(game_->Flow().LoadGameData(), 1);
    GetPlayHud().ResetComics();
    Show(kScreenIntroComic, 1.0f);
    game_->Flow().State().comicTimer = 2.0f;  // the first panel fully revealed
    for (int frame = 0; frame < 3; ++frame) {
        game_->Render();
        const platform::screen::Image shot = platform::screen::Capture();
        const std::array<int, 3> middle = Pixel(shot, 240, 400);
        EXPECT_FALSE(middle[0] > 240 && middle[1] > 240 && middle[2] > 240) << "frame " << frame << ": no picture";
        EXPECT_NE(middle, Pixel(shot, 5, 5)) << "frame " << frame;
    }
}

}  // namespace
