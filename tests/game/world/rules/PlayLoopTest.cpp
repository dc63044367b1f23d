// The character played frame by frame against a small level with the rules alone: walking off
// a ledge lands on the floor below, a jump bounces off the ceiling, a turn changes where the
// character falls, a jump never carries it more than a tile across, and the open portal ends
// the level with the controller's request 7.
#include <cmath>

#include "game/world/objects/LevelObject.h"
#include "game/world/rules/CharacterInteractions.h"
#include "game/world/rules/MovementRules.h"
#include "tests/game/world/CharacterTestSupport.h"

namespace world_test {
namespace {

constexpr float kFrame = 0.033f;

class PlayLoopTest : public CharacterTest {
protected:
    // One frame of play in the in-game controller's order: the input, the level's update (as
    // far as the rules go), then the character's own.
    void Step(Level& level, PlayerCharacter& character, std::uint32_t bits) {
        character.ApplyInput(bits);
        if (character.pendingLeap != 0) {
            if (ResolveMove(level, character) == 0)
                character.leapVector = character.savedLeapVector;
            else
                character.SaveCheckpoint();
            character.pendingLeap = 0;
        }
        UpdateCharacterAgainstTiles(level, character, kFrame);
        if (!(character.IsMoving() && character.IsFallingWhileTurning())) InteractWithObjects(level, character);
        UpdatePlayer(character, kFrame);
        // Keep the pass over the cross-axis limit honest.
        maxAcross_ = std::fmax(maxAcross_, std::fabs(character.position.x - character.lateralReference.x));
    }
    void Run(Level& level, PlayerCharacter& character, std::uint32_t bits, int frames) {
        for (int i = 0; i < frames; ++i) Step(level, character, bits);
    }
    static void Start(PlayerCharacter& character, std::int32_t column, std::int32_t row) {
        // As the level file's spawn point puts it: centred, just short of the floor at -y.
        character.startPosition = {10.0f * static_cast<float>(column) + 5.0f,
                                   10.0f * static_cast<float>(row + 1) - 5.02f, 0.0f};
        character.Reset();
    }
    float maxAcross_ = 0.0f;
};

// Row 0 is the bottom floor; facing 0 falls toward it.
const std::vector<std::string> kLedge = {
    "#######",
    "#.....#",
    "###.###",
    "#.....#",
    "#######",
};

TEST_F(PlayLoopTest, WalkingOffALedgeLandsOnTheFloorBelowAlive) {
    Level level;
    DrawGrid(level, kLedge);
    PlayerCharacter character;
    Start(character, 1, 3);
    Run(level, character, 0, 10);
    EXPECT_EQ(character.grounded, 1u);
    EXPECT_NEAR(character.position.y, 34.98f, 1e-3f) << "standing still on its floor";
    // Run right: over the hole at column 3 the character falls to row 1.
    Run(level, character, kInputJumpRight, 25);
    Run(level, character, 0, 60);
    EXPECT_EQ(character.dead, 0u);
    EXPECT_EQ(character.grounded, 1u);
    EXPECT_NEAR(character.position.y, 14.98f, 1e-3f);
    const Vector2 tile = WorldToTile(character.position);
    EXPECT_FLOAT_EQ(tile.y, 1.0f);
    EXPECT_FALSE(character.IsMoving());
}

TEST_F(PlayLoopTest, AJumpUpBouncesOffTheCeilingAndLandsAgain) {
    Level level;
    DrawGrid(level, {"#####", "#...#", "#####"});
    PlayerCharacter character;
    Start(character, 2, 1);
    Run(level, character, 0, 10);
    Run(level, character, kInputJumpUp, 1);
    EXPECT_LT(character.fallSpeed, 0.0f);
    float highest = character.position.y;
    for (int frame = 0; frame < 40; ++frame) {
        Step(level, character, 0);
        highest = std::fmax(highest, character.position.y);
    }
    EXPECT_LT(highest, 20.0f) << "the ceiling at row 2 stops the rise";
    EXPECT_EQ(character.dead, 0u);
    EXPECT_EQ(character.grounded, 1u);
    EXPECT_NEAR(character.position.y, 14.98f, 1e-3f);
}

TEST_F(PlayLoopTest, ATurnMakesTheCharacterFallTheNewWay) {
    // A shaft: after a right turn (facing 1) the character falls toward +x onto column 5.
    Level level;
    DrawGrid(level, {"######", "#....#", "######"});
    PlayerCharacter character;
    Start(character, 1, 1);
    Run(level, character, 0, 70);  // the turn lock runs out
    Run(level, character, kInputTurnRight, 1);
    Run(level, character, 0, 120);
    EXPECT_EQ(character.facing, 1);
    EXPECT_EQ(character.dead, 0u);
    EXPECT_EQ(character.grounded, 1u);
    const Vector2 tile = WorldToTile(character.position);
    EXPECT_FLOAT_EQ(tile.x, 4.0f);
    EXPECT_FLOAT_EQ(tile.y, 1.0f);
    EXPECT_NEAR(character.position.x, 44.98f, 1e-3f);
}

TEST_F(PlayLoopTest, ASideJumpCarriesNoFurtherThanOneTileAcross) {
    Level level;
    DrawGrid(level, {"#########", "#.......#", "#.......#", "#.......#", "#########"});
    PlayerCharacter character;
    Start(character, 2, 1);
    Run(level, character, 0, 10);
    Run(level, character, kInputJumpUp | kInputJumpRight, 1);
    Run(level, character, 0, 60);
    EXPECT_LE(maxAcross_, 10.0f + 1e-3f);
}

TEST_F(PlayLoopTest, AJumpAgainstAStepClimbsOverItsCorner) {
    Level level;
    DrawGrid(level, {"#######", "#...#.#", "#.....#", "#######"});
    PlayerCharacter character;
    Start(character, 2, 1);
    Run(level, character, 0, 5);
    Run(level, character, kInputJumpRight, 20);
    EXPECT_FLOAT_EQ(character.position.x, 37.0f) << "the step stops the walk";
    Run(level, character, kInputJumpRight | kInputJumpUp, 1);
    EXPECT_EQ(character.transferState, 1u);
    Run(level, character, 0, 40);
    EXPECT_EQ(character.transferState, 0u);
    EXPECT_EQ(character.dead, 0u);
    EXPECT_EQ(character.grounded, 1u);
    const Vector2 tile = WorldToTile(character.position);
    EXPECT_FLOAT_EQ(tile.x, 4.0f);
    EXPECT_FLOAT_EQ(tile.y, 2.0f);
}

TEST_F(PlayLoopTest, TheOpenPortalTakesTheCharacterOutAndAsksForState7) {
    Level level;
    DrawGrid(level, {"######", "#....#", "######"});
    LevelObject* portal = Place(level, kObjectFirstPortal + 1, 3, 1);
    level.exitPortal = portal;
    PlayerCharacter character;
    Start(character, 1, 1);
    Run(level, character, kInputJumpRight, 30);
    EXPECT_EQ(awardServices_.controller.requestedState, 0u) << "a closed portal lets the character pass";
    OpenExitPortal(level, false);
    Start(character, 1, 1);
    int frames = 0;
    while (awardServices_.controller.requestedState != kPlayStateComplete && frames < 200) {
        Step(level, character, frames < 25 ? kInputJumpRight : 0);
        ++frames;
    }
    EXPECT_EQ(awardServices_.controller.requestedState, kPlayStateComplete);
    EXPECT_EQ(character.exitStarted, 1u);
    EXPECT_FLOAT_EQ(character.position.x, 35.0f);
}

}  // namespace
}  // namespace world_test
