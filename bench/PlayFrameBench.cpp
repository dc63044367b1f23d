// One full frame of play on llvmpipe (headless, the handset's 480 x 800 portrait screen):
// the play scene of a level drawn through the play camera, then the play overlay with the
// HUD's touch controls, meters, sphere row, corner buttons and the level's title, presented;
// against the plainest frame the same device can show, a clear and a present, in the same
// run. The level is the largest demo level (by its grid), loaded from the startup archive by the
// game world's level loader with the player character landed on it; the goal is at most 2
// times the empty frame. Wall clock, as llvmpipe draws on threads of its own;
// presents unpaced (HANDSET_REFRESH=0 unless set otherwise).
//
// Needs the demo data of the bench build (its demo_data target).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/BenchCompare.h"
#include "engine/app/Application.h"
#include "engine/app/MainWindow.h"
#include "engine/core/math/VectorMath.h"
#include "engine/core/node/KNode.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/text/TextTable.h"
#include "engine/overlay/widgets/OverlayLayer.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/resources/mesh/Geometry.h"
#include "engine/resources/meshnode/MeshObject.h"
#include "engine/resources/skelobject/SkelObject.h"
#include "game/flow/frame/GameHud.h"
#include "game/flow/frame/RenderPass.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/interfaces/FlowHost.h"
#include "game/flow/interfaces/PlayWorld.h"
#include "game/flow/screens/ScreenFlow.h"
#include "game/flow/services/GameServices.h"
#include "game/world/level/Level.h"
#include "game/world/levelfile/LevelFile.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/rules/CharacterInteractions.h"
#include "game/world/update/LevelUpdate.h"
#include "platform/screen/Display.h"
#include "platform/screen/PngFile.h"
#include "tools/kelview/LevelFixture.h"
#include "tools/kelview/ViewSession.h"

namespace {

// Play without input: no keys, no touch, the handset flat.
class QuietHost : public FlowHost {
public:
    DWORD CurrentScreenState() const override { return kScreenPlay; }
    void RequestScreenState(DWORD) override {}
    int KeyState(std::int32_t) const override { return 0; }
    void TouchPoint(float& x, float& y) override { x = y = -1.0f; }
    void Tilt(std::int32_t& x, std::int32_t& y, std::int32_t& z) const override { x = y = z = 0; }
};

// The fixture level as play's world: its tiles and objects drawn from the nodes they hang on.
class FixtureWorld : public NoPlayWorld {
public:
    void DrawTileGrid() override {
        if (!drawLevel) return;
        OpenGLRenderDevice* device = RenderDevice();
        WalkSubtree(*root, [&](KNode& node) {
            RenderTransform transform;
            node.GetWorldMatrix(transform.world);
            if (node.IsKindOf(Object::StaticTypeId())) {
                if (RenderMesh* mesh = GeometryRenderMesh(static_cast<Object&>(node).GetGeometry()))
                    device->SubmitMesh(nullptr, mesh, transform);
            } else if (node.IsKindOf(SkelObject::StaticTypeId())) {
                auto& skel = static_cast<SkelObject&>(node);
                for (std::uint32_t g = 0; g < skel.GeometryCount(); ++g)
                    if (RenderMesh* mesh = skel.SkinnedRenderMesh(g)) device->SubmitMesh(&skel, mesh, transform);
            }
            return WalkStep::kDescend;
        });
    }
    LevelFacts Level() const override {
        LevelFacts facts;
        facts.sphereTotal = 3;
        facts.spheresCollected = 1;
        return facts;
    }

    KNode* root = nullptr;
    bool drawLevel = true;
};

struct PlayScene {
    PlayScene() {
        // Presents are not held to the display's refresh: the frames are measured, not paced.
        setenv("HANDSET_REFRESH", "0", 0);
        kelview::ViewOptions options;
        options.dataFolder = BENCH_DATA_FOLDER;
        options.width = 480;
        options.height = 800;
        if (!session.Start(options, &error) || !session.StartDevice(options, &error)) return;
        level = new Level();
        character = new PlayerCharacter();
        character->LoadModel();
        level->character = character;
        root = new KNode();
        if (LoadLevelFile(*level, "levels/", PLAY_LEVEL) == 0) {
            error = std::string("the level ") + PLAY_LEVEL + " does not load from the startup archive.";
            return;
        }
        LandCharacter(*level, *character);
        kelview::AttachFixtureLevel(*level, *root);
        if (character->mainModel != nullptr) root->AddChildEx(character->mainModel, false);
        // One picture through kelview lights the level's meshes and prepares their buffers.
        platform::screen::Image frame;
        if (!session.Render(*root, options, &frame, &error)) return;

        SetUiScreenSize(800, 480);
        App().started = true;
        MainWindowInfo().active = true;
        Overlay2D().displayRotation = 90;
        if (StartOverlayLayer() != 0 || TextTableCreate() == 0) {
            error = "the 2D layer cannot start.";
            return;
        }
        LoadTextFile("text/eng/menu.text");
        world.root = root;
        SetPlayWorld(&world);
        controller = new IngameController(host);
        hud = new GameHud;
        SetPlayHud(hud);
        SetHudDrawing(hud);

        // The camera looks at the middle of the level from where play puts it.
        Vector3 sum{};
        int count = 0;
        WalkSubtree(*root, [&](KNode& node) {
            Matrix34 world;
            node.GetWorldMatrix(world);
            sum = {sum.x + world.m[0][3], sum.y + world.m[1][3], sum.z + world.m[2][3]};
            ++count;
            return WalkStep::kDescend;
        });
        const float n = count > 0 ? static_cast<float>(count) : 1.0f;
        controller->SetState(kPlayPlaying);
        controller->currentLevel = 9;
        controller->lastCompleted = 8;
        controller->stateTimer = 1.0f;
        controller->camera.target = {sum.x / n, sum.y / n, sum.z / n};
        controller->camera.distance = 30.0f;
        controller->camera.eye = {sum.x / n, sum.y / n - 6.0f, sum.z / n + 30.0f};
        state.screenState = kScreenPlay;
        state.requestedScreenState = kScreenPlay;
        state.previousScreenState = kScreenLevelLoading;
        state.stateTime = 1.0f;
        conditions = FrameConditions{true, true, true};
        ready = true;
    }
    ~PlayScene() {
        SetHudDrawing(nullptr);
        SetPlayHud(nullptr);
        delete hud;
        delete controller;
        SetPlayWorld(nullptr);
        ResetRenderValues();
        TextTableDestroy();
        StopOverlayLayer();
        if (root != nullptr) {
            kelview::DetachFixtureLevel(*root);
            root->Release();
        }
        if (level != nullptr) Unload(*level);
        delete level;
        delete character;
    }

    kelview::ViewSession session;
    std::string error;
    Level* level = nullptr;
    PlayerCharacter* character = nullptr;
    KNode* root = nullptr;
    FixtureWorld world;
    QuietHost host;
    IngameController* controller = nullptr;
    GameHud* hud = nullptr;
    GameFlowState state;
    FrameConditions conditions;
    bool ready = false;
};

PlayScene& Scene() {
    static PlayScene scene;
    return scene;
}

void Skip(benchmark::State& state) {
    state.SkipWithError(("the play scene cannot be set up: " + Scene().error).c_str());
    for (auto _ : state) {
    }
}

void BM_FullPlayFrameWithHud(benchmark::State& state) {
    PlayScene& scene = Scene();
    if (!scene.ready) return Skip(state);
    // PLAY_FRAME_PNG=<file> keeps a picture of the frame measured, to look at.
    if (const char* picture = std::getenv("PLAY_FRAME_PNG")) {
        RenderFrame(scene.state, scene.conditions, scene.controller);
        std::string error;
        platform::screen::WritePng(platform::screen::Capture(), picture, error);
    }
    DWORD result = 0;
    OpenGLRenderDevice::ResetStatistics();
    result += RenderFrame(scene.state, scene.conditions, scene.controller);
    const RenderStatistics counts = OpenGLRenderDevice::Statistics();
    state.counters["draws"] = static_cast<double>(counts.drawCalls);
    state.counters["triangles"] = static_cast<double>(counts.primitives);
    state.counters["batches"] = static_cast<double>(counts.batches);
    state.counters["stateCalls"] = static_cast<double>(counts.stateCalls);
    for (auto _ : state) {
        result += RenderFrame(scene.state, scene.conditions, scene.controller);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_FullPlayFrameWithHud)->UseRealTime()->Unit(benchmark::kMillisecond);

// The same frame without the level's meshes: what the 2D layer and the HUD cost alone.
void BM_PlayFrameHudOnly(benchmark::State& state) {
    PlayScene& scene = Scene();
    if (!scene.ready) return Skip(state);
    scene.world.drawLevel = false;
    DWORD result = 0;
    for (auto _ : state) {
        result += RenderFrame(scene.state, scene.conditions, scene.controller);
        benchmark::DoNotOptimize(result);
    }
    scene.world.drawLevel = true;
}
BENCHMARK(BM_PlayFrameHudOnly)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_EmptyClearAndPresent(benchmark::State& state) {
    PlayScene& scene = Scene();
    if (!scene.ready) return Skip(state);
    OpenGLRenderDevice* device = RenderDevice();
    int result = 0;
    for (auto _ : state) {
        result += device->Clear(15);
        result += device->Present();
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_EmptyClearAndPresent)->UseRealTime()->Unit(benchmark::kMillisecond);

const bool compared = bench::Compare(bench::Comparison{"BM_FullPlayFrameWithHud", "BM_EmptyClearAndPresent",
                                                       bench::Ratio::Time, bench::Clock::Real, 2.0});

}  // namespace
