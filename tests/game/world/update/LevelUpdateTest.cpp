// The level between load and unload: checkpoints and rewinding keys, the exit portal's sound,
// bridges and doors that follow the facing with one sound a frame, sliding objects, baking
// the grid into blocks of 5 x 5, and the teardown.
#include <algorithm>
#include <string>

#include "engine/core/containers/KDLList.h"
#include "engine/core/node/KNode.h"
#include "engine/resources/kdb/KDB.h"
#include "game/world/level/Level.h"
#include "game/world/levelfile/LevelFile.h"
#include "game/world/objects/BlockerDoorObject.h"
#include "game/world/objects/BridgeObject.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/objects/PortalObjects.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/update/LevelUpdate.h"
#include "tests/game/world/WorldTestSupport.h"

namespace world_test {
namespace {

class LevelUpdateTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        WriteObjectPaths();
        AddObjectModels();
        for (const char* tile : {"tile1a", "tilebg"}) models_->Add(tile);
        level = new Level();
        character = new PlayerCharacter();
        level->character = character;
        services_.controller.playState = kPlayStatePlaying;
    }
    void TearDown() override {
        Unload(*level);
        delete level;
        delete character;
        WorldTest::TearDown();
    }
    void Load(const std::string& body) {
        ASSERT_EQ(LoadLevelText(*level, ("LEVEL\n{\n" + body + "\n}\n").c_str(), "test"), 1);
        services_.sounds.clear();
    }
    LevelObject* Active(std::uint32_t kind, int nth = 0) const {
        for (KDLLink* link = level->activeObjects.head; link != nullptr; link = link->next) {
            auto* object = static_cast<LevelObject*>(link->item);
            if (object->kind == kind && nth-- == 0) return object;
        }
        return nullptr;
    }
    // What the character's key rule does to a key it stands on.
    void Collect(LevelObject* key) {
        ASSERT_NE(key, nullptr);
        key->flags = (key->flags & ~0x18u) | kObjectCollected;
        ++level->keysCollected;
        key->scale = 0.0f;
        CollectFadedObjects(*level, 0.1f);
    }
    int SoundCount(int id) const { return static_cast<int>(std::count(services_.sounds.begin(), services_.sounds.end(), id)); }
    ExitPortalObject* Portal() const { return static_cast<ExitPortalObject*>(level->exitPortal); }

    Level* level = nullptr;
    PlayerCharacter* character = nullptr;
};

constexpr char kThreeKeys[] = "SIZE 5 1\nROW 1 1 1 1 1\nSPAWNPOINT 0 0\nKEY 1 0\nKEY 2 0\nKEY 3 0\nEXITPOINT UP 4 0";

TEST_F(LevelUpdateTest, RewindingReturnsOnlyTheKeysOfTheLostAttempt) {
    Load(kThreeKeys);
    SaveCheckpoint(*level);
    EXPECT_EQ(level->attempts, 1);
    Collect(Active(kObjectKey, 0));
    SaveCheckpoint(*level);
    Collect(Active(kObjectKey, 0));
    Collect(Active(kObjectKey, 0));
    EXPECT_EQ(level->keysCollected, 3);
    EXPECT_EQ(level->collectedObjects.count, 3u);

    UpdateExitPortal(*level);
    EXPECT_EQ(level->keysCollected, 1);
    EXPECT_EQ(level->collectedObjects.count, 1u);
    EXPECT_NE(Active(kObjectKey, 1), nullptr);
    // Keys still missing: the portal stays closed and hidden, and makes no sound.
    EXPECT_EQ(Portal()->state, kPortalClosing);
    EXPECT_EQ(Portal()->flags & 0x8u, 0u);
    EXPECT_EQ(SoundCount(kSoundPortalOpen), 0);
}

TEST_F(LevelUpdateTest, TheLastKeyOpensThePortalWithOneSoundAndARewindClosesIt) {
    Load(kThreeKeys);
    SaveCheckpoint(*level);
    for (int i = 0; i < 3; ++i) Collect(Active(kObjectKey, 0));
    SaveCheckpoint(*level);
    UpdateExitPortal(*level);
    UpdateExitPortal(*level);
    EXPECT_EQ(SoundCount(kSoundPortalOpen), 1);
    EXPECT_NE(Portal()->state, kPortalClosed);
    EXPECT_NE(Portal()->flags & 0x8u, 0u);

    level->keysCollected = 2;
    UpdateExitPortal(*level);
    EXPECT_EQ(Portal()->state, kPortalClosing);
    EXPECT_EQ(Portal()->flags & 0x8u, 0u);
    EXPECT_EQ(SoundCount(kSoundPortalOpen), 1);
}

TEST_F(LevelUpdateTest, RestartBringsEverythingBack) {
    Load(kThreeKeys);
    SaveCheckpoint(*level);
    Collect(Active(kObjectKey, 0));
    SaveCheckpoint(*level);
    Collect(Active(kObjectKey, 0));
    character->position = Vector3{33, 5, 0};
    Restart(*level);
    EXPECT_EQ(level->collectedObjects.count, 0u);
    EXPECT_EQ(level->keysCollected, 0);
    EXPECT_EQ(level->attempts, 0);
    EXPECT_FLOAT_EQ(character->position.x, 5.0f);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Active(kObjectKey, i)->flags & kObjectCollected, 0u);
}

TEST_F(LevelUpdateTest, BridgesFollowTheFacingAndOnlyTheFirstToMovePlaysItsSound) {
    Load("SIZE 6 6\nBRIDGE UP 1 1\nBRIDGE UP 3 3\nBRIDGE DOWN 5 5");
    // A bridge starts down; "UP" rises with facing 2 and lowers with facing 3.
    character->facing = 2;
    UpdateObjects(*level, 0.033f);
    EXPECT_EQ(SoundCount(kSoundBridges), 1);
    EXPECT_EQ(Active(23, 0)->Bridge()->swung, 0u);
    EXPECT_EQ(Active(23, 1)->Bridge()->swung, 0u);
    EXPECT_EQ(Active(24, 0)->Bridge()->swung, 1u);
    UpdateObjects(*level, 0.033f);
    EXPECT_EQ(SoundCount(kSoundBridges), 1);
    character->facing = 3;
    UpdateObjects(*level, 0.033f);
    EXPECT_EQ(SoundCount(kSoundBridges), 2);
    EXPECT_EQ(Active(23, 1)->Bridge()->swung, 1u);
}

TEST_F(LevelUpdateTest, DoorsFollowTheFacingWithOneSoundAFrame) {
    models_->Add("spikecube_01")->SetPosition(Vector3{5, 5, 0});
    std::string floor;
    for (int row = 0; row < 8; ++row) floor += "ROW 1 1 1 1 1 1 1 1\n";
    Load("SIZE 8 8\n" + floor + "SPIKECUBE 3 2\nSPIKECUBE 5 3\nBLOCKER UP 1 4\nBLOCKER UP 3 4\nBLOCKER UP 5 4");
    // "UP" opens across the way with facing 2: both leaves when the two tiles it spans are
    // free, one when the farther is covered, none when the nearer is.
    character->facing = 2;
    UpdateObjects(*level, 0.033f);
    EXPECT_EQ(SoundCount(kSoundBlockers), 1);
    const DoorState* free = Active(19, 0)->Door();
    const DoorState* farCovered = Active(19, 1)->Door();
    EXPECT_EQ(free->moving, 1u);
    EXPECT_EQ(free->oneLeaf, 0u);
    EXPECT_EQ(farCovered->moving, 1u);
    EXPECT_EQ(farCovered->oneLeaf, 1u);
    EXPECT_EQ(Active(19, 2)->Door()->moving, 0u);
    // Run the motion out: the one-leaf door is not set going again, and both stand across the
    // way until they close with facing 0, with one sound.
    for (int i = 0; i < 30; ++i) UpdateObjects(*level, 0.033f);
    EXPECT_EQ(SoundCount(kSoundBlockers), 1);
    EXPECT_EQ(free->closed, 0u);
    EXPECT_EQ(farCovered->closed, 0u);
    EXPECT_EQ(farCovered->moving, 0u);
    character->facing = 0;
    UpdateObjects(*level, 0.033f);
    EXPECT_EQ(SoundCount(kSoundBlockers), 2);
    EXPECT_EQ(free->closing, 1u);
    EXPECT_EQ(farCovered->closing, 1u);
}

TEST_F(LevelUpdateTest, ASlidingObjectFallsAlongTheFacingUntilAFloorStopsIt) {
    models_->Add("spikecube_01")->SetPosition(Vector3{5, 5, 0});
    // Facing 0 falls toward -y, as the character does: from row 3 over the two empty rows
    // onto the floor of row 0.
    Load("SIZE 1 4\nROW 1\nROW 99\nROW 99\nROW 1\nSPIKECUBE 0 3");
    LevelObject* cube = Active(kObjectSpikeCube);
    ASSERT_NE(cube, nullptr);
    const float start = cube->position.y;
    EXPECT_GT(start, 30.0f);
    services_.controller.playState = kPlayStateScroll;
    UpdateObjects(*level, 0.1f);
    EXPECT_FLOAT_EQ(cube->position.y, start);
    services_.controller.playState = kPlayStatePlaying;
    for (int i = 0; i < 60; ++i) UpdateObjects(*level, 0.033f);
    EXPECT_NEAR(cube->position.y, 14.98f, 1e-4f);
    EXPECT_FLOAT_EQ(cube->motion.y, 0.0f);
    EXPECT_FLOAT_EQ(cube->model->Transform().position.y, cube->position.y);
}

TEST_F(LevelUpdateTest, ABlockOfFiveTilesAcrossHoldsTheMergedMeshAndTheTilesKeepTheirNodes) {
    std::filesystem::create_directories(DataPath("objects"));
    std::filesystem::create_directories(DataPath("materials"));
    WriteData("materials/default.kml", "KML1 Material \"default\"\n{\n}\n");
    // One unit quad in the plane z = 0, with texture coordinates and normals.
    WriteData("objects/tile1a.fmesh",
              "Geometry\n{\n1 1 4 5\n4 [0 1 2 3] 0 default\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n"
              "0 0\n1 0\n1 1\n0 1\n0 0 1\n0 0 1\n0 0 1\n0 0 1\n}\n");
    auto* database = new KDB();
    SetCurrentKdb(database);
    SetModelSource(nullptr);
    Load("SIZE 7 3\nROW 1 1 1 1 1 1 1\nROW 1 99 1 1 1 1 1\nROW 1 1 1 1 1 1 1\nLIGHT AMBIENCE [0.2 0.2 0.2 1]");
    EXPECT_EQ(level->mergedBlocks.count, 2u);
    EXPECT_NE(level->TileAt(0, 0)->mergedBlock, nullptr);
    EXPECT_NE(level->TileAt(5, 0)->mergedBlock, nullptr);
    EXPECT_EQ(level->TileAt(1, 0)->mergedBlock, nullptr);
    EXPECT_NEAR(LevelLighting().ambient.r, 0.3f, 1e-5f);
    ASSERT_NE(level->TileAt(6, 2)->node, nullptr);
    EXPECT_EQ(level->TileAt(6, 2)->node->Parent(), nullptr);
    // Unloading releases the blocks once, and the database no longer lists them.
    Unload(*level);
    database->Clear();
    SetCurrentKdb(nullptr);
    delete database;
}

TEST_F(LevelUpdateTest, APendingLeapIsUndoneWhileBlockedAndSavesOneCheckpointWhenItStands) {
    Load("SIZE 3 3\nROW 1 1 1\nROW 1 1 1\nROW 1 1 1\nSPAWNPOINT 1 1");
    character->pendingLeap = 1;
    character->blocked = 1;
    character->leapVector = Vector3{4, 0, 0};
    character->savedLeapVector = Vector3{1, 2, 0};
    UpdateLevel(*level, 0.033f);
    EXPECT_EQ(character->pendingLeap, 0u);
    EXPECT_FLOAT_EQ(character->leapVector.y, 2.0f);
    EXPECT_EQ(level->attempts, 0);

    character->pendingLeap = 1;
    character->blocked = 0;
    UpdateLevel(*level, 0.033f);
    EXPECT_EQ(character->pendingLeap, 0u);
    EXPECT_EQ(level->attempts, 1);
    UpdateLevel(*level, 0.033f);
    EXPECT_EQ(level->attempts, 1);
}

TEST_F(LevelUpdateTest, ADeathPutsFadingObjectsAsideAndAsksForTheRestart) {
    struct Case {
        std::uint32_t playState;
        std::uint32_t inputSeen;
        int rumbles;
    } cases[] = {{kPlayStatePlaying, 0, 0}, {kPlayStatePlaying, 1, 1}, {kPlayStateCutscene, 0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.playState * 10 + c.inputSeen);
        Unload(*level);
        Load(kThreeKeys);
        services_.rumbles = 0;
        services_.controller.playState = c.playState;
        services_.controller.requestedState = 0;
        LevelObject* fading = Active(kObjectKey, 1);
        fading->scale = 0.5f;
        character->dead = 1;
        character->inputSeen = c.inputSeen;
        UpdateLevel(*level, 0.033f);
        EXPECT_EQ(services_.controller.requestedState, kPlayStateReset);
        EXPECT_EQ(services_.rumbles, c.rumbles);
        ASSERT_EQ(level->collectedObjects.count, 1u);
        EXPECT_EQ(level->collectedObjects.head->item, fading);
        EXPECT_EQ(fading->scale, 0.0f);
    }
}

TEST_F(LevelUpdateTest, BigPlantsAreCollectedRowByRowAndATurnIsTakenOnce) {
    for (const char* plant : {"bigplant_01_down", "bigplant_02_up"}) models_->Add(plant);
    Load("SIZE 3 2\nROW 1 1 1\nROW 1 1 1\nBIGPLANT2 UP 0 1\nBIGPLANT DOWN 2 0\nPLANT UP 1 0");
    ASSERT_EQ(level->bigPlantTiles.count, 2u);
    EXPECT_EQ(level->bigPlantTiles.head->item, level->TileAt(2, 0));
    EXPECT_NE(FindNodeByName(level->TileAt(0, 1)->node, "bigplant_02_up"), nullptr);
    character->turnFinished = 1;
    UpdateBigPlants(*level, 0.033f);
    EXPECT_EQ(character->turnFinished, 0u);
    StopBigPlants(*level);
}

}  // namespace
}  // namespace world_test
