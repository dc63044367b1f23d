// The level's draw passes: ODILE alone in her own pass, models culled by their bounds when they
// ask for it while their children are still offered, the object's scale in its matrix, and the
// tile grid in row order with the background last.
#include <string>
#include <vector>

#include "engine/core/node/KNode.h"
#include "game/world/objects/ObjectParts.h"
#include "game/world/player/NodeDrawer.h"
#include "game/world/rules/LevelDrawing.h"
#include "tests/game/world/CharacterTestSupport.h"

namespace world_test {
namespace {

class RecordingDrawer : public NodeDrawer {
public:
    const PlaneSet* Frustum() const override { return frustum; }
    void DrawMesh(KNode& node, const Matrix34& world) override {
        drawn.push_back(std::string("mesh:") + node.Name());
        scales.push_back(world.m[0][0]);
    }
    void DrawTree(KNode& node) override { drawn.push_back(std::string("tree:") + node.Name()); }

    const PlaneSet* frustum = nullptr;
    std::vector<std::string> drawn;
    std::vector<float> scales;
};

using DrawPassTest = CharacterTest;

TEST_F(DrawPassTest, OdileIsDrawnOnlyInHerPassAndEveryOtherObjectOnlyInTheFirst) {
    models_->Add("odile", {"odile1/lefthand"});
    Level level;
    DrawGrid(level, {"....."});
    LevelObject* key = Place(level, kObjectKey, 1, 0);
    Place(level, kObjectOdile, 2, 0);
    LevelObject* cube = Place(level, kObjectSpikeCube, 3, 0);
    key->scale = 2.0f;
    SetPartPosition(key->model, {15, 5, 0});
    SetPartPosition(cube->model, {-100, 5, 0});
    // The cube asks to be culled by its bounds and lies behind the one plane x >= 0.
    cube->model->SetFlagBits(0x80, true);
    cube->model->Bounds() = NodeBounds{{-1, -1, -1}, {1, 1, 1}, {0, 0, 0}, 1.0f};
    if (KNode* part = CloneModel("twizturn01")) cube->model->AddChild(part);
    PlaneSet planes{};
    planes.count = 1;
    planes.planes[0] = Plane{1, 0, 0, 0};

    RecordingDrawer first;
    first.frustum = &planes;
    DrawObjects(level, first, false);
    const std::vector<std::string> expected = {"mesh:key_01", "mesh:spikecube_01", "tree:twizturn01"};
    std::vector<std::string> withoutCube = {"mesh:key_01", "tree:twizturn01"};
    EXPECT_EQ(first.drawn, withoutCube) << "the cube is culled, its child still offered";
    ASSERT_FALSE(first.scales.empty());
    EXPECT_FLOAT_EQ(first.scales[0], 2.0f) << "the object's scale is in its matrix";

    RecordingDrawer unculled;
    DrawObjects(level, unculled, false);
    EXPECT_EQ(unculled.drawn, expected);

    RecordingDrawer second;
    DrawObjects(level, second, true);
    const std::vector<std::string> odile = {"mesh:odile", "tree:odile1"};
    EXPECT_EQ(second.drawn, odile);
}

TEST_F(DrawPassTest, TheGridDrawsItsTilesInRowOrderThenTheBackground) {
    models_->Add("tile1a");
    models_->Add("tile2a");
    Level level;
    ASSERT_TRUE(level.AllocateGrid(2, 2));
    level.TileAt(1, 0)->AssignType(1);
    level.TileAt(0, 1)->AssignType(5);
    level.TileAt(0, 1)->SetFlags(kTileSpikesUp);
    level.background = CloneModel("twizturn01");
    RecordingDrawer drawer;
    DrawTileGrid(level, drawer);
    const std::vector<std::string> expected = {"mesh:tile1a", "mesh:tile2a", "tree:twizturn01"};
    EXPECT_EQ(drawer.drawn, expected);

    Level empty;
    empty.background = CloneModel("twizturn01");
    RecordingDrawer only;
    DrawTileGrid(empty, only);
    const std::vector<std::string> background = {"tree:twizturn01"};
    EXPECT_EQ(only.drawn, background);
}

TEST_F(DrawPassTest, TheCharacterDrawsItsExitModelAboveTheExitHeightItsGhostWhenAGhostElseItself) {
    AddCharacterModels();
    PlayerCharacter character;
    character.LoadModel();
    struct Case {
        float z;
        std::uint32_t ghost;
        std::int32_t levelIndex;
        std::vector<std::string> drawn, extra;
    } cases[] = {
        {0.0f, 0, 0, {"tree:bram_cutscene"}, {}},
        {0.0f, 1, 0, {"tree:bram_ghost"}, {}},
        {4.9f, 1, 0, {"tree:bram_ghost"}, {}},
        {5.0f, 0, 0, {"tree:character_02_jumper"}, {}},
        {0.0f, 0, 8 + 2 * 5, {"tree:bram_cutscene"}, {"tree:message1"}},  // world 3 shows the message
    };
    for (const Case& c : cases) {
        awardServices_.controller.levelIndex = c.levelIndex;
        character.position.z = c.z;
        character.ghostMode = c.ghost;
        RecordingDrawer drawer;
        character.Draw(drawer);
        EXPECT_EQ(drawer.drawn, c.drawn) << c.z << " " << c.ghost;
        RecordingDrawer extra;
        character.DrawExtraNodes(extra);
        EXPECT_EQ(extra.drawn, c.extra) << c.levelIndex;
    }
}

}  // namespace
}  // namespace world_test
