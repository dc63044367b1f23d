// The object factory: objects placed on their tiles, codes that make nothing, models that are
// missing, the tutorial signs of the first eight levels, and running out of memory.
#include <vector>

#include "engine/core/memory/EngineMemory.h"
#include "engine/resources/kdb/KDB.h"
#include "game/world/factory/LevelObjectFactory.h"
#include "game/world/level/Level.h"
#include "game/world/objects/BlockerDoorObject.h"
#include "game/world/objects/LevelObject.h"
#include "tests/game/world/WorldTestSupport.h"

namespace world_test {
namespace {

class LevelObjectFactoryTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        WriteObjectPaths();
        AddObjectModels();
        for (int i = 0; i < kTutorialSignCount; ++i) models_->Add(TutorialSignName(i));
        level = new Level();
        ASSERT_TRUE(level->AllocateGrid(8, 8));
    }
    void TearDown() override {
        delete level;
        WorldTest::TearDown();
    }
    LevelObject* Last() const { return static_cast<LevelObject*>(level->activeObjects.tail->item); }
    // The names of the children of the last object's model.
    std::vector<std::string> Signs() const {
        std::vector<std::string> names;
        for (KNode* child = Last()->model->FirstChild(); child != nullptr; child = child->NextSibling())
            names.emplace_back(child->Name());
        return names;
    }
    Level* level = nullptr;
};

TEST_F(LevelObjectFactoryTest, ObjectsArePlacedOnTheirTilesWithTheirModelsOwnOffset) {
    KNode* door = models_->FindOrLoadObject("blocker_01_up");
    door->Transform().position = {1, 2, 3};
    ASSERT_EQ(CreateLevelObjects(*level, 19, 3, 4), 1);
    LevelObject* object = Last();
    EXPECT_FLOAT_EQ(object->position.x, 31.0f);
    EXPECT_FLOAT_EQ(object->position.y, 42.0f);
    EXPECT_FLOAT_EQ(object->placement.z, 3.0f);
    EXPECT_FLOAT_EQ(object->model->Transform().local.m[1][3], 42.0f);
    EXPECT_NE(level->TileAt(3, 4)->flags & kTileHasObject, 0u);
    object->position = {0, 0, 0};
    object->Reset();
    EXPECT_FLOAT_EQ(object->position.x, 31.0f);

    // A code of 37 or more makes nothing and leaves the tile as it was.
    EXPECT_EQ(CreateLevelObjects(*level, 37, 5, 5), 0);
    EXPECT_EQ(CreateLevelObjects(*level, 1000, 5, 5), 0);
    EXPECT_EQ(level->TileAt(5, 5)->flags, 0u);
    // A model that cannot be found: not added, but the tile keeps its object flag.
    models_->Clear("spikecube_01");
    EXPECT_EQ(CreateLevelObjects(*level, 14, 6, 6), 0);
    EXPECT_EQ(level->activeObjects.count, 1u);
    EXPECT_EQ(level->TileAt(6, 6)->flags, kTileHasObject);
    // A placement outside the grid marks no tile.
    EXPECT_EQ(CreateLevelObjects(*level, 0, 9, -1), 1);
    EXPECT_EQ(level->activeObjects.count, 2u);
    EXPECT_EQ(level->exitPortal, nullptr);
    EXPECT_EQ(CreateLevelObjects(*level, 12, 7, 7), 1);
    EXPECT_EQ(level->exitPortal, Last());
}

TEST_F(LevelObjectFactoryTest, ALevelGivesBackEveryObjectAndTileItMade) {
    // Paths, models and their clones are made once here, so that the counts below see only what
    // the level owns.
    models_->Add("tile1a");
    for (std::int32_t code = 0; code < static_cast<std::int32_t>(kObjectNone); ++code)
        ASSERT_EQ(CreateLevelObjects(*level, code, code % 8, code / 8), 1) << code;
    delete level;
    const std::size_t blocks = EngineBlockCount();
    level = new Level();
    ASSERT_TRUE(level->AllocateGrid(8, 8));
    for (std::int32_t code = 0; code < static_cast<std::int32_t>(kObjectNone); ++code) {
        ASSERT_EQ(CreateLevelObjects(*level, code, code % 8, code / 8), 1) << code;
        level->TileAt(code % 8, code / 8)->AssignType(1);
    }
    EXPECT_GT(EngineBlockCount(), blocks + 2 * kObjectNone);
    delete level;
    level = nullptr;
    EXPECT_EQ(EngineBlockCount(), blocks);
}

TEST_F(LevelObjectFactoryTest, TheSpawnPointOfATutorialLevelCarriesItsSign) {
    struct Case {
        std::int32_t levelIndex;
        std::uint32_t cutsceneStage;
        std::vector<std::string> children;
    } cases[] = {
        {3, 0, {"portaleffect1", "tutorial04"}},
        {0, 0, {"portaleffect1", "tutorial01"}},
        {7, 0, {"portaleffect1", "tutorial08"}},
        {8, 0, {"portaleffect1"}},
        {3, 1, {"portaleffect1"}},  // the cut-scene stage
    };
    for (const Case& c : cases) {
        services_.controller.levelIndex = c.levelIndex;
        services_.controller.cutsceneStage = c.cutsceneStage;
        ASSERT_EQ(CreateLevelObjects(*level, 35, 1, 1), 1) << c.levelIndex;
        EXPECT_EQ(Signs(), c.children) << c.levelIndex << " " << c.cutsceneStage;
    }
    // A sign the object database does not hold leaves the spawn point without one.
    models_->Clear("tutorial02");
    services_.controller.levelIndex = 1;
    services_.controller.cutsceneStage = 0;
    ASSERT_EQ(CreateLevelObjects(*level, 35, 1, 1), 1);
    EXPECT_EQ(Signs(), std::vector<std::string>{"portaleffect1"});
}

TEST_F(LevelObjectFactoryTest, RunningOutOfMemoryCreatesNothingAndTouchesNoObject) {
    std::vector<void*> taken;
    for (std::size_t size = std::size_t{1} << 20; size >= 16; size /= 2)
        while (void* block = EngineAlloc(size)) taken.push_back(block);
    const int created = CreateLevelObjects(*level, 19, 2, 2);
    for (void* block : taken) EngineFree(block);
    EXPECT_EQ(created, 0);
    EXPECT_EQ(level->activeObjects.count, 0u);
    EXPECT_EQ(CreateLevelObjects(*level, 19, 2, 2), 1);
}

}  // namespace
}  // namespace world_test

namespace world_test {
namespace {

// Without a source of their own, models come from the current object database: here a scene
// file of plain named nodes, as the demo's level objects are made.
TEST_F(LevelObjectFactoryTest, ModelsComeFromTheCurrentObjectDatabaseWhenNoOtherSourceIsSet) {
    std::filesystem::create_directories(DataPath("objects"));
    WriteData("objects/blocker_01_left.knode",
              "Object\n{\nNAME blocker_01_left\nNode\n{\nNAME door1\n}\nNode\n{\nNAME door2\nPOS [5 0.5 0]\n}\n}\n");
    auto* database = new KDB();
    SetCurrentKdb(database);
    SetModelSource(nullptr);
    ASSERT_EQ(CreateLevelObjects(*level, 21, 4, 2), 1) << KeptExceptions();
    auto* door = static_cast<BlockerDoorObject*>(Last());
    EXPECT_STREQ(door->model->Name(), "blocker_01_left");
    EXPECT_NE(door->model, database->FindOrLoadObject("blocker_01_left"));  // a clone of it
    door->Open(false);
    for (int frame = 0; frame < 30; ++frame) door->Update(1.0f / 30.0f);
    EXPECT_EQ(door->door.closed, 0u);
    // The leaves move from where the scene file puts them.
    EXPECT_FLOAT_EQ(FindNodeByName(door->model, "door2")->Transform().position.x, 25.0f);
    EXPECT_FLOAT_EQ(FindNodeByName(door->model, "door2")->Transform().position.y, 0.5f);
    EXPECT_FLOAT_EQ(FindNodeByName(door->model, "door1")->Transform().position.x, 10.0f);
    door->Reset();
    EXPECT_FLOAT_EQ(FindNodeByName(door->model, "door2")->Transform().position.x, 5.0f);
    EXPECT_EQ(CreateLevelObjects(*level, 23, 5, 2), 0);  // the database has no bridge
    delete level;
    level = nullptr;
    SetCurrentKdb(nullptr);
    delete database;
}

}  // namespace
}  // namespace world_test
