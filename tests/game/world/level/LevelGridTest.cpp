// The tile grid: positions to tiles, tile types onto meshes, bounds, free tiles, the footprints
// of tile-covering objects, and no reads outside small grids.
#include "engine/core/math/Random.h"
#include "game/world/level/Level.h"
#include "game/world/objects/BlockerDoorObject.h"
#include "game/world/objects/BridgeObject.h"
#include "game/world/objects/SpikeCubeObject.h"
#include "game/world/objects/TeskObject.h"
#include "tests/game/world/WorldTestSupport.h"

namespace world_test {
namespace {

using LevelGridTest = WorldTest;

TEST_F(LevelGridTest, WorldPositionsTruncateToTilesAndANegativeCoordinateGivesTheFirstTile) {
    struct Case {
        Vector3 position;
        Vector2 tile;
    } cases[] = {{{-0.1f, 35, 0}, {0, 0}},
                 {{19.99f, 0, 0}, {1, 0}},
                 {{35, -4, 0}, {0, 0}},
                 {{10, 10, 0}, {1, 1}},
                 {{9.99f, 29.9f, 5}, {0, 2}}};
    for (const Case& c : cases) {
        const Vector2 tile = WorldToTile(c.position);
        EXPECT_FLOAT_EQ(tile.x, c.tile.x) << c.position.x << ", " << c.position.y;
        EXPECT_FLOAT_EQ(tile.y, c.tile.y) << c.position.x << ", " << c.position.y;
    }
    EXPECT_TRUE(SameTile({11, 12, 0}, {19, 19.9f, 3}));
    EXPECT_FALSE(SameTile({11, 12, 0}, {21, 12, 0}));
}

TEST_F(LevelGridTest, ATileTypeIsAssignedOnceAndOnlyTypesUpTo46HaveMeshes) {
    models_->Add("tile0");
    models_->Add("tile1a");
    Level level;
    ASSERT_TRUE(level.AllocateGrid(4, 1));
    LevelTile& floor = *level.TileAt(0, 0);
    EXPECT_EQ(floor.AssignType(1), 1);
    ASSERT_NE(floor.node, nullptr);
    EXPECT_STREQ(floor.node->Name(), "tile1a");
    EXPECT_GE(floor.randomValues[0], 0.0f);
    EXPECT_LT(floor.randomValues[0], 2.0f);
    EXPECT_EQ(floor.randomValues[0], floor.randomValues[1]);
    const float drawn = floor.randomValues[0];
    KNode* mesh = floor.node;
    // The tile's buffers are its own: assigning a type gives them back.
    level.TileAt(3, 0)->buffers[0] = EngineAlloc(16);
    const std::size_t blocks = EngineBlockCount();
    level.TileAt(3, 0)->AssignType(kTileEmpty);
    EXPECT_EQ(EngineBlockCount(), blocks - 1);
    EXPECT_EQ(level.TileAt(3, 0)->buffers[0], nullptr);
    EXPECT_EQ(floor.AssignType(0), 0);
    EXPECT_EQ(floor.type, 1u);
    EXPECT_EQ(floor.node, mesh);
    EXPECT_EQ(floor.randomValues[0], drawn);

    LevelTile& plain = *level.TileAt(1, 0);
    EXPECT_EQ(plain.AssignType(0), 1);
    ASSERT_NE(plain.node, nullptr);
    EXPECT_STREQ(plain.node->Name(), "tile0");
    EXPECT_FALSE(plain.IsSolid());
    EXPECT_TRUE(plain.IsNotEmpty());
    for (std::uint32_t type : {47u, 98u}) {
        LevelTile& odd = *level.TileAt(type == 47 ? 2 : 3, 0);
        EXPECT_EQ(odd.AssignType(type), 1);
        EXPECT_EQ(odd.type, type);
        EXPECT_EQ(odd.node, nullptr);
    }
    EXPECT_EQ(TileMeshName(46), std::string("tile14a"));
    EXPECT_EQ(TileMeshName(47), nullptr);
}

TEST_F(LevelGridTest, SpikesAndDecorationsBecomeChildMeshesAndTheBigPlantBitFollowsItsOrder) {
    models_->Add("tile0");
    for (const char* name : {"spikes_01_left", "plant_01_up", "flower1_right", "bigplant_02_up"}) models_->Add(name);
    Level level;
    ASSERT_TRUE(level.AllocateGrid(2, 1));
    LevelTile& tile = *level.TileAt(0, 0);
    EXPECT_EQ(tile.AttachSpikes(), 0);  // no node yet
    tile.AssignType(0);
    EXPECT_EQ(tile.AttachSpikes(), 0);  // no bits
    tile.SetFlags(kTileSpikesLeft | kTileHasObject);
    tile.SetDecoration(0x10 | 0x8 | 0x100000);
    EXPECT_EQ(tile.AttachSpikes(), 1);
    EXPECT_EQ(tile.AttachDecorations(), 1);
    std::vector<std::string> children;
    for (KNode* child = tile.node->FirstChild(); child != nullptr; child = child->NextSibling())
        children.emplace_back(child->Name());
    EXPECT_EQ(children, (std::vector<std::string>{"spikes_01_left", "plant_01_up", "bigplant_02_up", "flower1_right"}));

    struct Case {
        DWORD decoration;
        DWORD bit;
    } cases[] = {{0, 0},
                 {0x10000 | 0x40000, 0x40000},
                 {0x100000 | 0x10000, 0x10000},
                 {0x100000 | 0x800000, 0x800000},
                 {0x20000 | 0x80000, 0x20000}};
    for (const Case& c : cases) {
        LevelTile plant;
        plant.decoration = c.decoration;
        EXPECT_EQ(plant.BigPlantBit(), c.bit) << std::hex << c.decoration;
    }
}

TEST_F(LevelGridTest, BoundsCoverTheSolidTilesAndAnEmptyGridHasUnitSpans) {
    Level level;
    level.ComputeBounds();
    EXPECT_EQ(level.columnSpan, 1);
    EXPECT_EQ(level.rowSpan, 1);
    EXPECT_EQ(level.firstColumn, 0x7FFFFFFF);
    EXPECT_EQ(level.firstRow, 0x7FFFFFFF);
    ASSERT_TRUE(level.AllocateGrid(6, 5));
    level.TileAt(1, 1)->AssignType(0);  // type 0 does not count
    level.ComputeBounds();
    EXPECT_EQ(level.firstColumn, 0x7FFFFFFF);
    level.TileAt(2, 1)->AssignType(5);
    level.TileAt(4, 3)->AssignType(9);
    level.ComputeBounds();
    EXPECT_EQ(level.firstColumn, 2);
    EXPECT_EQ(level.firstRow, 1);
    EXPECT_EQ(level.columnSpan, 2);
    EXPECT_EQ(level.rowSpan, 2);
}

TEST_F(LevelGridTest, QueriesBeyondASmallGridAnswerEmptyWithoutReadingOutsideIt) {
    Level level;
    EXPECT_FALSE(level.IsSolidAt({0, 0}));
    EXPECT_EQ(level.CountFreeTiles(), 0);
    ASSERT_TRUE(level.AllocateGrid(3, 2));
    for (std::int32_t row = 0; row < 2; ++row)
        for (std::int32_t column = 0; column < 3; ++column) level.TileAt(column, row)->AssignType(5);
    EXPECT_TRUE(level.IsSolidAt({2, 1}));
    EXPECT_TRUE(level.IsSolidAt({-4, -1}));  // negative coordinates count as the first tile
    for (const Vector2& outside : {Vector2{3, 0}, Vector2{0, 2}, Vector2{40, 40}, Vector2{1e30f, 0}}) {
        EXPECT_FALSE(level.IsSolidAt(outside)) << outside.x << ", " << outside.y;
        EXPECT_FALSE(level.IsWalkable(outside)) << outside.x << ", " << outside.y;
    }
    EXPECT_EQ(level.TileAt(3, 0), nullptr);
    EXPECT_FALSE(level.GroundAhead({25, 15, 0}, {0, -1, 0}, 1));  // 7 ahead to the right is x = 32

    // No free tile: (0, 0) without drawing; one free tile: found within the grid.
    SetRandomSeed(kInitialRandomSeed);
    EXPECT_EQ(level.CountFreeTiles(), 0);
    const Vector3 none = level.RandomEmptyTile();
    EXPECT_EQ(RandomSeed(), kInitialRandomSeed);
    EXPECT_FLOAT_EQ(none.x, 0.0f);
    EXPECT_FLOAT_EQ(none.y, 0.0f);
    Level holed;
    ASSERT_TRUE(holed.AllocateGrid(2, 2));
    for (std::int32_t i = 0; i < 3; ++i) holed.TileAt(i % 2, i / 2)->AssignType(5);
    EXPECT_EQ(holed.CountFreeTiles(), 1);
    const Vector3 free = holed.RandomEmptyTile();
    EXPECT_FLOAT_EQ(free.x, 15.0f);
    EXPECT_FLOAT_EQ(free.y, 15.0f);
    holed.TileAt(1, 1)->SetFlags(kTileHasObject);
    EXPECT_EQ(holed.CountFreeTiles(), 0);

    EXPECT_FALSE(level.AllocateGrid(0, 5));
    EXPECT_FALSE(level.AllocateGrid(5, kMaximumGridSide + 1));
    EXPECT_FALSE(level.HasGrid());
}

// The column and row draws repeat every 512 pairs and so never reach some squares: a single
// free tile on any square, from any seed, is still found, and the search ends.
TEST_F(LevelGridTest, ARandomEmptyTileIsFoundWhereverTheOnlyFreeTileLies) {
    Level level;
    ASSERT_TRUE(level.AllocateGrid(kFreeTileSearchSize, kFreeTileSearchSize));
    for (std::int32_t row = 0; row < kFreeTileSearchSize; ++row)
        for (std::int32_t column = 0; column < kFreeTileSearchSize; ++column) level.TileAt(column, row)->AssignType(5);
    constexpr std::int32_t kCells = kFreeTileSearchSize * kFreeTileSearchSize;
    for (std::int32_t cell = 0; cell < kCells; cell += 37) {
        const std::int32_t column = cell % kFreeTileSearchSize;
        const std::int32_t row = cell / kFreeTileSearchSize;
        level.TileAt(column, row)->type = kTileEmpty;
        for (const std::uint32_t seed : {kInitialRandomSeed, kInitialRandomSeed + 1}) {
            SetRandomSeed(seed);
            const Vector3 found = level.RandomEmptyTile();
            EXPECT_FLOAT_EQ(found.x, 10.0f * static_cast<float>(column) + 5.0f) << "cell " << cell;
            EXPECT_FLOAT_EQ(found.y, 10.0f * static_cast<float>(row) + 5.0f) << "cell " << cell;
        }
        level.TileAt(column, row)->type = 5;
    }
}

TEST_F(LevelGridTest, SpikesAheadBlockOnlyWhenTheyFaceTheMotion) {
    Level level;
    ASSERT_TRUE(level.AllocateGrid(3, 3));
    level.TileAt(1, 0)->AssignType(5);
    level.TileAt(1, 0)->SetFlags(kTileSpikesDown);
    level.TileAt(2, 1)->AssignType(5);
    level.TileAt(2, 1)->SetFlags(kTileSpikesDown);
    const Vector3 centre{15, 15, 0};
    struct Case {
        std::int32_t facing;
        int result;
        int blocked;
    } cases[] = {{0, 1, 1},   // north onto spikes facing south: blocked
                 {1, 1, 0},   // east onto spikes facing south: passes
                 {2, 0, 0},   // south onto an empty tile
                 {3, 0, 0}};  // west onto an empty tile
    for (const Case& c : cases) {
        int blocked = 0;
        EXPECT_EQ(level.SpikeAhead(centre, {0, -1, 0}, 10.0f, c.facing, blocked), c.result) << c.facing;
        EXPECT_EQ(blocked, c.blocked) << c.facing;
    }
}

TEST_F(LevelGridTest, TheTilesAheadTurnWithTheFacing) {
    Level level;
    ASSERT_TRUE(level.AllocateGrid(4, 4));
    level.TileAt(2, 1)->AssignType(5);
    const Vector3 at{15, 15, 0};
    const Vector3 forward{0, -1, 0};
    struct Case {
        std::int32_t facing;
        Vector2 tile;
    } cases[] = {{0, {1, 0}}, {1, {2, 1}}, {2, {1, 2}}, {3, {0, 1}}};
    for (const Case& c : cases) {
        const Vector2 ahead = level.PointAhead(at, forward, 10.0f, false, c.facing);
        EXPECT_FLOAT_EQ(ahead.x, c.tile.x) << c.facing;
        EXPECT_FLOAT_EQ(ahead.y, c.tile.y) << c.facing;
        EXPECT_EQ(level.GroundAhead(at, Vector3{0, -3, 0}, c.facing), c.facing == 1) << c.facing;
    }
    // From the tile ahead (1, 0), one step in x and then two in y reach (2, 2) but not (3, 0).
    EXPECT_TRUE(level.SegmentHitsTile(at, forward, 10.0f, {2, 2}, 1, 2, false, 0));
    EXPECT_TRUE(level.SegmentHitsTile(at, forward, 10.0f, {1, 0}, 0, 0, false, 0));
    EXPECT_FALSE(level.SegmentHitsTile(at, forward, 10.0f, {3, 0}, 1, 2, false, 0));
    EXPECT_TRUE(level.SegmentHitsTile(at, forward, 10.0f, {0, 0}, -1, 0, false, 0));
}

TEST_F(LevelGridTest, TheCharactersSideOfItsTileAndTheClampsToIt) {
    struct Case {
        Vector3 position;
        std::int32_t facing;
        std::int32_t side;
    } cases[] = {{{15, 0, 0}, 0, 0},  {{18, 0, 0}, 0, 1}, {{12, 0, 0}, 0, -1}, {{12, 0, 0}, 2, 1},
                 {{18, 0, 0}, 2, -1}, {{0, 27, 0}, 1, 1}, {{0, 22, 0}, 3, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(LateralSide(c.position, c.facing), c.side) << c.position.x << ", " << c.position.y << " " << c.facing;
    Vector3 position{15, 25, 0};
    ClampToTileSide(position, 0, 0);
    EXPECT_FLOAT_EQ(position.x, 17.0f);
    ClampToTileSide(position, 0, 1);
    EXPECT_FLOAT_EQ(position.x, 13.0f);
    ClampToTileSide(position, 3, 0);
    EXPECT_FLOAT_EQ(position.y, 23.0f);
    CentreOnTile(position, 1);
    EXPECT_FLOAT_EQ(position.x, 14.98f);
}

// Each footprint row: the object, its state, and the tiles covered relative to its own tile.
TEST_F(LevelGridTest, ObjectsCoverTheirFootprintsByTypeAndState) {
    Level level;
    ASSERT_TRUE(level.AllocateGrid(10, 10));
    auto place = [&](LevelObject* object, std::uint32_t kind, float column, float row) {
        object->kind = kind;
        object->position = object->placement = {10 * column, 10 * row, 0};
        level.AddObject(object);
        return object;
    };
    auto* door = static_cast<BlockerDoorObject*>(place(new BlockerDoorObject(), 20, 5, 5));
    auto* bridge = static_cast<BridgeObject*>(place(new BridgeObject(), 23, 2, 8));
    auto* tesk = static_cast<TeskObject*>(place(new TeskObject(), 30, 7, 2));
    auto* cube = place(new SpikeCubeObject(), kObjectSpikeCube, 1, 1);
    cube->offset = {0, 10, 0};
    int spike = -1;
    auto covers = [&](float column, float row) { return level.ObjectCovers({column, row}, spike); };

    EXPECT_FALSE(covers(4, 5));  // the door is closed
    door->door.closed = 0;
    EXPECT_TRUE(covers(4, 5));
    EXPECT_TRUE(covers(4, 6));
    EXPECT_TRUE(covers(4, 7));
    EXPECT_FALSE(covers(5, 5));

    EXPECT_TRUE(covers(3, 8));  // down flag set: toward +x
    EXPECT_TRUE(covers(4, 8));
    EXPECT_FALSE(covers(2, 7));
    bridge->bridge.swung = 0;
    EXPECT_TRUE(covers(2, 7));
    EXPECT_TRUE(covers(2, 6));
    EXPECT_FALSE(covers(3, 8));

    EXPECT_TRUE(covers(7, 2));
    EXPECT_TRUE(covers(8, 2));
    EXPECT_EQ(spike, 0);
    tesk->alive = 0;
    EXPECT_FALSE(covers(8, 2));

    EXPECT_TRUE(covers(1, 2));  // base + offset
    EXPECT_EQ(spike, 1);
    EXPECT_FALSE(covers(1, 1));
    cube->flags &= ~kObjectCoversTiles;
    EXPECT_FALSE(covers(1, 2));
    EXPECT_TRUE(level.IsWalkable({2, 7}));
}

}  // namespace
}  // namespace world_test
