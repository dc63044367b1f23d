// Whether a leap along the facing stands: spike cubes between the character and the floor,
// doors and bridges close ahead, and the walk to the floor that ends at the grid's edge.
#include "game/world/objects/LevelObject.h"
#include "game/world/rules/MovementRules.h"
#include "tests/game/world/CharacterTestSupport.h"

namespace world_test {
namespace {

using ResolveMoveTest = CharacterTest;

TEST_F(ResolveMoveTest, ASpikeCubeFailsTheLeapOnlyBetweenTheCharacterAndTheFloor) {
    // Facing 1 falls toward +x: from column 3 over the empty columns 4 and 5 to the floor at 6.
    struct Case {
        std::int32_t column, row;
        int result;
    } cases[] = {{3, 2, 0}, {4, 2, 0}, {5, 2, 0}, {6, 2, 1}, {2, 2, 1}, {4, 1, 1}, {5, 3, 1}};
    for (const Case& c : cases) {
        Level level;
        DrawGrid(level, {"........", "........", "......#.", "........"});
        Place(level, kObjectSpikeCube, c.column, c.row);
        PlayerCharacter character;
        character.position = Centre(3, 2);
        character.facing = 1;
        EXPECT_EQ(ResolveMove(level, character), c.result) << c.column << ", " << c.row;
        character.blocked = 1;
        EXPECT_EQ(ResolveMove(level, character), 0) << "a blocked character never leaps";
    }
}

TEST_F(ResolveMoveTest, TheWalkToTheFloorStopsAtTheGridsEdgeForEveryFacing) {
    // No floor anywhere, tile (0, 0) included: facings 0 and 3 used to walk into (0, 0) forever.
    Level level;
    DrawGrid(level, {"....", "....", "...."});
    const Vector2 expected[] = {{1, -1}, {4, 1}, {1, 3}, {-1, 1}};
    for (std::int32_t facing = 0; facing < 4; ++facing) {
        bool offGrid = false;
        const Vector2 floor = FirstFloorAlong(level, {1, 1}, facing, &offGrid);
        EXPECT_TRUE(offGrid) << facing;
        EXPECT_FLOAT_EQ(floor.x, expected[facing].x) << facing;
        EXPECT_FLOAT_EQ(floor.y, expected[facing].y) << facing;
        PlayerCharacter character;
        character.position = Centre(1, 1);
        character.facing = facing;
        EXPECT_EQ(ResolveMove(level, character), 1) << facing;
    }
    // A character at the corner itself, and one standing over a floor.
    PlayerCharacter corner;
    corner.position = {2, 3, 0};
    for (std::int32_t facing : {0, 3}) {
        corner.facing = facing;
        EXPECT_EQ(ResolveMove(level, corner), 1) << facing;
    }
    Place(level, kObjectSpikeCube, 0, 0);
    EXPECT_EQ(ResolveMove(level, corner), 0) << "a cube on the way to the edge still fails the leap";
    level.TileAt(1, 2)->type = 5;
    bool offGrid = true;
    const Vector2 floor = FirstFloorAlong(level, {1, 0}, 2, &offGrid);
    EXPECT_FALSE(offGrid);
    EXPECT_FLOAT_EQ(floor.y, 2.0f);
}

TEST_F(ResolveMoveTest, ADoorOneOrTwoTilesAheadFailsTheLeapForItsOneFacing) {
    struct Case {
        std::uint32_t code;
        std::int32_t facing;
        std::int32_t column, row;  // the door's tile; the character stands on (4, 4)
        int result;
    } cases[] = {
        {kObjectFirstBlocker + 0, 2, 4, 5, 0}, {kObjectFirstBlocker + 0, 2, 4, 6, 0},
        {kObjectFirstBlocker + 0, 2, 4, 7, 1}, {kObjectFirstBlocker + 0, 0, 4, 5, 1},
        {kObjectFirstBlocker + 0, 2, 5, 5, 1}, {kObjectFirstBlocker + 1, 0, 4, 3, 0},
        {kObjectFirstBlocker + 1, 0, 4, 2, 0}, {kObjectFirstBlocker + 1, 0, 4, 4, 1},
        {kObjectFirstBlocker + 2, 3, 3, 4, 0}, {kObjectFirstBlocker + 2, 3, 1, 4, 1},
        {kObjectFirstBlocker + 2, 1, 3, 4, 1}, {kObjectFirstBlocker + 3, 1, 6, 4, 0},
        {kObjectFirstBlocker + 3, 1, 5, 5, 1}, {kObjectFirstBlocker + 3, 3, 6, 4, 1},
    };
    for (const Case& c : cases) {
        Level level;
        DrawGrid(level, std::vector<std::string>(9, "#########"));
        Place(level, c.code, c.column, c.row);
        PlayerCharacter character;
        character.position = Centre(4, 4);
        character.facing = c.facing;
        EXPECT_EQ(ResolveMove(level, character), c.result)
            << "door " << c.code << " facing " << c.facing << " at " << c.column << ", " << c.row;
    }
}

TEST_F(ResolveMoveTest, ABridgeWithinOneTileAsideAndTwoAheadFailsTheLeap) {
    struct Case {
        std::uint32_t code;
        std::int32_t facing;
        std::int32_t dc, dr;  // the bridge's tile from the character's (4, 4)
        int result;
    } cases[] = {
        {kObjectFirstBridge + 0, 1, 1, 2, 0},  {kObjectFirstBridge + 0, 2, -1, 1, 0},
        {kObjectFirstBridge + 0, 2, 2, 1, 1},  {kObjectFirstBridge + 0, 0, 0, -2, 1},
        {kObjectFirstBridge + 0, 0, -2, 1, 0}, {kObjectFirstBridge + 0, 3, -1, 0, 0},
        {kObjectFirstBridge + 1, 0, 1, -1, 0}, {kObjectFirstBridge + 1, 3, 0, -3, 1},
        {kObjectFirstBridge + 1, 1, 2, -1, 0}, {kObjectFirstBridge + 1, 2, -2, 0, 1},
        {kObjectFirstBridge + 2, 0, 1, 1, 0},  {kObjectFirstBridge + 2, 1, 2, 2, 1},
        {kObjectFirstBridge + 2, 2, 1, 2, 0},  {kObjectFirstBridge + 2, 3, 0, 0, 1},
        {kObjectFirstBridge + 3, 0, -1, -2, 0}, {kObjectFirstBridge + 3, 1, 0, 1, 1},
        {kObjectFirstBridge + 3, 2, 1, -1, 1}, {kObjectFirstBridge + 3, 3, -2, 1, 0},
    };
    for (const Case& c : cases) {
        Level level;
        DrawGrid(level, std::vector<std::string>(9, "#########"));
        Place(level, c.code, 4 + c.dc, 4 + c.dr);
        PlayerCharacter character;
        character.position = Centre(4, 4);
        character.facing = c.facing;
        EXPECT_EQ(ResolveMove(level, character), c.result)
            << "bridge " << c.code << " facing " << c.facing << " at +" << c.dc << ", +" << c.dr;
    }
}

}  // namespace
}  // namespace world_test
