// The level file: grid sizes and rows that are refused or cut to the grid, objects and
// decorations placed by their tags, lights and cameras, default statistics, fireflies, and the
// preparation that follows even a failing tag.
#include <string>
#include <vector>

#include "engine/core/containers/KDLList.h"
#include "engine/core/math/Random.h"
#include "engine/render/RenderTypes.h"
#include "game/world/level/FireflySwarm.h"
#include "game/world/level/Level.h"
#include "game/world/levelfile/LevelFile.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/update/LevelUpdate.h"
#include "tests/game/world/WorldTestSupport.h"

namespace world_test {
namespace {

class LevelFileTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        std::filesystem::create_directories(DataPath("levels"));
        WriteObjectPaths();
        AddObjectModels();
        for (const char* tile : {"tile0", "tile1a", "tile2a", "tilebg"}) models_->Add(tile);
        for (const char* mesh : {"spikes_01_left", "flower1_up", "bigplant_01_down"}) models_->Add(mesh);
        level = new Level();
        character = new PlayerCharacter();
        level->character = character;
    }
    void TearDown() override {
        Unload(*level);
        delete level;
        delete character;
        WorldTest::TearDown();
    }
    int Load(const std::string& body, const char* root = "LEVEL") {
        WriteData("levels/test.qvn", std::string(root) + "\n{\n" + body + "\n}\n");
        return LoadLevelFile(*level, "levels/", "test");
    }
    std::vector<std::uint32_t> Kinds() const {
        std::vector<std::uint32_t> kinds;
        for (KDLLink* link = level->activeObjects.head; link != nullptr; link = link->next)
            kinds.push_back(static_cast<LevelObject*>(link->item)->kind);
        return kinds;
    }
    std::uint32_t TypeAt(int column, int row) const { return level->TileAt(column, row)->type; }

    Level* level = nullptr;
    PlayerCharacter* character = nullptr;
};

struct GridCase {
    const char* name;
    const char* body;
    int result;
    int width, height;
};

TEST_F(LevelFileTest, SizesAndRowsOutsideTheGridAreRefusedWithoutWritingPastIt) {
    const GridCase cases[] = {
        {"zero width", "SIZE 0 3", 0, 0, 0},
        {"negative height", "SIZE 4 -2", 0, 0, 0},
        {"over the cap", "SIZE 257 4", 0, 0, 0},
        {"missing height", "SIZE 4", 0, 0, 0},
        {"second size", "SIZE 2 2\nSIZE 3 3", 0, 2, 2},
        {"row before size", "ROW 1 1\nSIZE 2 2", 0, 0, 0},
        {"row too short", "SIZE 3 2\nROW 1 1", 0, 3, 2},
        {"row too long uses the first values", "SIZE 2 1\nROW 1 2 5 5 5", 1, 2, 1},
        {"rows past the height are ignored", "SIZE 2 1\nROW 1 1\nROW 2 2\nROW 2 2", 1, 2, 1},
    };
    for (const GridCase& c : cases) {
        SCOPED_TRACE(c.name);
        Unload(*level);
        EXPECT_EQ(Load(c.body), c.result);
        EXPECT_EQ(level->width, c.width);
        EXPECT_EQ(level->height, c.height);
    }
    // The last case kept only its first row; the long row wrote its first two values.
    EXPECT_EQ(TypeAt(0, 0), 1u);
    Unload(*level);
    ASSERT_EQ(Load("SIZE 2 1\nROW 1 2 5 5 5"), 1);
    EXPECT_EQ(TypeAt(1, 0), 2u);
    // The messages name the file and the row.
    Unload(*level);
    EXPECT_EQ(Load("SIZE 3 2\nROW 1 1 1\nROW 1 1"), 0);
    EXPECT_NE(KeptExceptions().find("levels/test.qvn: ROW 1 is shorter than SIZE."), std::string::npos)
        << KeptExceptions();
}

TEST_F(LevelFileTest, RootNodeAndReloadRules) {
    EXPECT_EQ(Load("SIZE 2 2\nROW 1 1\nROW 1 1", "level"), 1);
    // A level with a grid is not loaded over.
    EXPECT_EQ(Load("SIZE 3 3"), 0);
    EXPECT_EQ(level->width, 2);
    Unload(*level);
    EXPECT_EQ(Load("SIZE 3 3", "STAGE"), 0);
    EXPECT_FALSE(level->HasGrid());
    EXPECT_EQ(LoadLevelFile(*level, "levels/", "absent"), 0);
    EXPECT_EQ(LoadLevelFile(*level, "levels/", nullptr), 0);
}

TEST_F(LevelFileTest, ObjectTagsPlaceTheirCodesAndAnUnknownDirectionMakesNothing) {
    ASSERT_EQ(Load("SIZE 6 6\nROW 1 1 1 1 1 1\nROW 1 1 1 1 1 1\nSPAWNPOINT 0 0\nKEY 1 1\nKEY 2 1\n"
                   "EXITPOINT RIGHT 3 1\nEXITPOINT SIDEWAYS 4 1\nBLOCKER down 5 5\nBRIDGE LEFT 2 2\n"
                   "TESK_R UP 3 3\nDAMPER RIGHT 4 4\nSPIKECUBE 0 5\nKEY 40 1"),
              1);
    EXPECT_EQ(Kinds(), (std::vector<std::uint32_t>{35, 0, 0, 13, 20, 25, 31, 18, 14}));
    EXPECT_EQ(level->keyTotal, 2);
    ASSERT_NE(level->exitPortal, nullptr);
    EXPECT_EQ(level->exitPortal->kind, 13u);
    EXPECT_NE(level->TileAt(1, 1)->flags & kTileHasObject, 0u);
}

TEST_F(LevelFileTest, ABadExitDirectionFailsOnlyWhenValuesAreMissing) {
    EXPECT_EQ(Load("SIZE 2 2\nEXITPOINT NORTH 1 1\nKEY 0 0"), 1);
    EXPECT_EQ(level->exitPortal, nullptr);
    EXPECT_EQ(level->keyTotal, 1);
    Unload(*level);
    // The walk stops at the failing tag: the key after it is not placed.
    EXPECT_EQ(Load("SIZE 2 2\nEXITPOINT UP 1\nKEY 0 0"), 0);
    EXPECT_EQ(level->exitPortal, nullptr);
    EXPECT_EQ(level->keyTotal, 0);
}

TEST_F(LevelFileTest, StartTileAndStartPositionFollowTheLastStartTag) {
    ASSERT_EQ(Load("SIZE 8 8\nSPAWNPOINT 2 3\nODILE 6 7"), 1);
    EXPECT_EQ(level->startColumn, 6.0f);
    EXPECT_EQ(level->startRow, 7.0f);
    // Only the spawn point moves the character's start, to the middle of the tile's far edge.
    EXPECT_FLOAT_EQ(character->startPosition.x, 25.0f);
    EXPECT_FLOAT_EQ(character->startPosition.y, 40.0f - 5.02f);
    EXPECT_FLOAT_EQ(character->position.x, 25.0f);
}

TEST_F(LevelFileTest, DefaultStatisticsComeFromTheStartTile) {
    struct Case {
        const char* stats;
        float time, logic;
    } cases[] = {{"", 1.4f, 0.7f}, {"STATSTIME 30", 1.4f, 0.7f}, {"STATSTIME 30\nSTATSLOGIC 0", 1.4f, 0.7f},
                 {"STATSTIME 30\nSTATSLOGIC 15", 30.0f, 15.0f}, {"STATSLOGIC 4", 0.0f, 4.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stats);
        Unload(*level);
        ASSERT_EQ(Load(std::string("SIZE 5 5\nSPAWNPOINT 3 4\n") + c.stats), 1);
        EXPECT_NEAR(level->referenceLogic, c.logic, 1e-5f);
        EXPECT_NEAR(level->referenceTime, c.time, 1e-5f);
    }
}

TEST_F(LevelFileTest, LightsAreBrightenedAndIncompleteOnesLeftOut) {
    ASSERT_EQ(Load("SIZE 1 1\nLIGHT AMBIENCE [0.2 0.4 0.6 0.5]\nLIGHT OMNI (1 2 3) [0.2 0.2 0.2 1] 4 40\n"
                   "LIGHT OMNI (1 2 3) [1 1 1 1] 4\nLIGHT DIR (0 0 -2) [0.4 0.4 0.4 1]\nLIGHT DIR (0 0 1)\n"
                   "LIGHT SPOT (0 0 1) [1 1 1 1]\nCAM PORTAL (1 2 3) (4 5 6)\nCAM NOWHERE (1 1 1) (2 2 2)"),
              1);
    EXPECT_NEAR(level->ambience.g, 0.6f, 1e-5f);
    EXPECT_NEAR(level->ambience.a, 0.5f, 1e-5f);
    ASSERT_EQ(level->lights.count, 2u);
    const auto* omni = static_cast<const RenderLight*>(level->lights.head->item);
    const auto* directional = static_cast<const RenderLight*>(level->lights.tail->item);
    EXPECT_EQ(omni->kind, 0u);
    EXPECT_NEAR(omni->diffuse.r, 0.3f, 1e-5f);
    EXPECT_EQ(omni->farRange, 40.0f);
    EXPECT_EQ(directional->kind, 2u);
    EXPECT_NEAR(directional->direction.z, -1.0f, 1e-5f);
    EXPECT_EQ(level->GetCameraEye(7).y, 2.0f);
    EXPECT_EQ(level->GetCameraTarget(7).z, 6.0f);
}

TEST_F(LevelFileTest, AFailedTagStillPreparesTheLevelAsFarAsItWasRead) {
    EXPECT_EQ(Load("SIZE 3 2\nROW 1 1 1\nROW 1 99 1\nSPAWNPOINT 1 0\nSPIKES LEFT 2 1\nFLOWER UP 0 1\nKEY 1\n"
                   "KEY 2 0"),
              0);
    // Spikes went into the baked block; the flower is back on its tile; the background and the
    // bounds are there; the character stands at its start with the first checkpoint saved.
    const LevelTile* flowered = level->TileAt(0, 1);
    ASSERT_NE(flowered->node, nullptr);
    ASSERT_EQ(flowered->node->ChildCount(), 1u);
    EXPECT_STREQ(flowered->node->FirstChild()->Name(), "flower1_up");
    EXPECT_EQ(level->TileAt(2, 1)->node->ChildCount(), 0u);
    EXPECT_NE(level->background, nullptr);
    EXPECT_EQ(level->columnSpan, 2);
    EXPECT_FLOAT_EQ(character->checkpointPosition.x, 15.0f);
    EXPECT_EQ(level->attempts, 0);
    EXPECT_EQ(level->keysCollected, 0);
    EXPECT_EQ(level->keyTotal, 0);
    EXPECT_EQ(Kinds(), (std::vector<std::uint32_t>{35}));
}

TEST_F(LevelFileTest, SpikesAndDecorationsAccumulateAndStayOnTheGrid) {
    ASSERT_EQ(Load("SIZE 2 2\nSPIKES UP 1 1\nSPIKES RIGHT 1 1\nSPIKES UP 5 5\nSPIKES ASKEW 0 0\n"
                   "GRASS LEFT 0 0\nGRASS RIGHT 0 0\nBIGPLANT DOWN -1 0"),
              1);
    EXPECT_EQ(level->TileAt(1, 1)->flags, kTileSpikesUp | kTileSpikesRight);
    EXPECT_EQ(level->TileAt(0, 0)->flags, 0u);
    EXPECT_EQ(level->TileAt(0, 0)->decoration, 0x40000000u | 0x80000000u);
}

TEST_F(LevelFileTest, FireflySwarmsOneForEveryTenFreeTilesAtMostFive) {
    struct Case {
        int side;
        int swarms;
    } cases[] = {{3, 0}, {4, 1}, {5, 2}, {12, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        Unload(*level);
        std::string body = "SIZE " + std::to_string(c.side) + " " + std::to_string(c.side) + "\n";
        for (int row = 0; row < c.side; ++row) {
            body += "ROW";
            for (int column = 0; column < c.side; ++column) body += " 99";
            body += "\n";
        }
        ASSERT_EQ(Load(body), 1);
        EXPECT_EQ(level->fireflySwarmCount, c.swarms);
        for (int i = 0; i < level->fireflySwarmCount; ++i) {
            EXPECT_GE(level->fireflySwarms[i]->count, 1);
            EXPECT_LE(level->fireflySwarms[i]->count, 5);
        }
    }
}

TEST_F(LevelFileTest, TheFireflyCountIsRoundedInSinglePrecision) {
    // On a grid of 32 x 32 empty tiles (each takes one value as it is read) the first tile
    // drawn is free, so the first swarm takes two values for its tile and then one for its
    // count: 1 + float(value) / 2^25, truncated. In single precision 2^25 - 1 and 2^27 - 1
    // round up, to counts 2 and 5 (in double: 1 and 4).
    std::string body = "SIZE 32 32\n";
    for (int row = 0; row < 32; ++row) {
        body += "ROW";
        for (int column = 0; column < 32; ++column) body += " 99";
        body += "\n";
    }
    const struct {
        std::uint32_t seed;  // 1027 steps before a value of 2^25 - 1 or 2^27 - 1
        std::int32_t count;
        float x, y;  // the first tile drawn
    } cases[] = {{0x28526a5bu, 2, 315, 265}, {0xeedc8e0cu, 5, 155, 245}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        Unload(*level);
        SetRandomSeed(c.seed);
        ASSERT_EQ(Load(body), 1);
        ASSERT_EQ(level->fireflySwarmCount, 5);
        EXPECT_EQ(level->fireflySwarms[0]->count, c.count);
        EXPECT_FLOAT_EQ(level->fireflySwarms[0]->centre.x, c.x);
        EXPECT_FLOAT_EQ(level->fireflySwarms[0]->centre.y, c.y);
    }
}

}  // namespace
}  // namespace world_test
