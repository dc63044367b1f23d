// The character meeting objects: keys taken once, the portal, spike cube heights, walk-off
// leaps, step check codes, the TESK's zones and encounters, doors and bridges that kill.
#include "game/world/objects/BlockerDoorObject.h"
#include "game/world/objects/BridgeObject.h"
#include "game/world/objects/PortalObjects.h"
#include "game/world/objects/TeskObject.h"
#include "game/world/rules/CharacterInteractions.h"
#include "game/world/rules/MovementRules.h"
#include "tests/game/world/CharacterTestSupport.h"

namespace world_test {
namespace {

class InteractionTest : public CharacterTest {
protected:
    // A 9 x 9 room of empty tiles walled by floor on every side.
    static void Room(Level& level) {
        std::vector<std::string> rows(9, "#.......#");
        rows.front() = rows.back() = "#########";
        DrawGrid(level, rows);
    }
    int Sounds(int id) const {
        int count = 0;
        for (int sound : awardServices_.sounds) count += sound == id ? 1 : 0;
        return count;
    }
};

TEST_F(InteractionTest, AKeyIsTakenOnceAndNeverByTheDead) {
    Level level;
    Room(level);
    LevelObject* key = Place(level, kObjectKey, 3, 3);
    LevelObject* sphere = Place(level, kObjectFirstSphere + 2, 3, 3);
    PlayerCharacter character;
    character.position = Centre(3, 3);
    character.dead = 1;
    InteractWithObjects(level, character);
    EXPECT_EQ(level.keysCollected, 0);
    EXPECT_EQ(key->flags & 0x18u, 0x8u);
    EXPECT_EQ(sphere->flags & 0x18u, 0x10u) << "a pickup is taken even by the dead";
    character.dead = 0;
    for (int frame = 0; frame < 3; ++frame) InteractWithObjects(level, character);
    EXPECT_EQ(level.keysCollected, 1);
    EXPECT_EQ(awardServices_.spheresCollected, 1);
    EXPECT_EQ(key->flags & 0x18u, 0x10u);
}

TEST_F(InteractionTest, TheOpenPortalCatchesTheLivingCharacterAndLiftsItOut) {
    struct Case {
        const char* label;
        bool open;
        std::uint32_t dead, transfer;
        float z;
        bool caught;
        float liftedZ;
    } cases[] = {
        {"closed", false, 0, 0, 0.0f, false, 0.0f},
        {"open", true, 0, 0, 0.0f, true, 5.0f},
        {"open, already high", true, 0, 0, 7.0f, true, 7.0f},
        {"open, dead", true, 1, 0, 0.0f, false, 0.0f},
        {"open, climbing", true, 0, 1, 0.0f, false, 0.0f},
    };
    for (const Case& c : cases) {
        Level level;
        Room(level);
        LevelObject* portal = Place(level, kObjectFirstPortal + 1, 5, 5);
        level.exitPortal = portal;
        if (c.open) {
            OpenExitPortal(level, true);
            OpenExitPortal(level, true);
        }
        PlayerCharacter character;
        character.position = {51, 53, c.z};
        character.lateralSpeed = 3.0f;
        character.dead = c.dead;
        character.transferState = c.transfer;
        InteractWithObjects(level, character);
        EXPECT_EQ(character.position.x == 55.0f, c.caught) << c.label;
        EXPECT_FLOAT_EQ(character.position.z, c.liftedZ) << c.label;
        EXPECT_FLOAT_EQ(character.lateralSpeed, c.caught ? 0.0f : 3.0f) << c.label;
    }
    EXPECT_EQ(Sounds(kSoundPortalOpen), 4) << "once for each of the four levels with an open portal";
}

TEST_F(InteractionTest, ASpikeCubeKillsUpToHeight4Point9AndOnlyStopsAbove) {
    struct Case {
        float z;
        std::uint32_t dead;
    } cases[] = {{0.0f, 1}, {4.9f, 1}, {4.91f, 0}, {6.0f, 0}, {-3.0f, 1}};
    for (const Case& c : cases) {
        awardServices_.sounds.clear();
        Level level;
        Room(level);
        Place(level, kObjectSpikeCube, 2, 6);
        PlayerCharacter character;
        character.position = {22, 61, c.z};
        character.fallSpeed = 12.0f;
        InteractWithObjects(level, character);
        EXPECT_EQ(character.dead, c.dead) << c.z;
        EXPECT_EQ(Sounds(kSoundDie), static_cast<int>(c.dead)) << c.z;
        EXPECT_FLOAT_EQ(character.fallSpeed, 0.0f) << c.z;
    }
}

TEST_F(InteractionTest, ADamperHoldsOffTheCharacterBesideItButLeavesOneInItsOwnTileInPlace) {
    struct Case {
        const char* label;
        Vector3 position;
        float expectedX;
    } cases[] = {
        {"in the damper's tile", {35, 25, 0}, 35.0f},
        {"beside it, to the right", {41, 25, 0}, 43.0f},
        {"beside it, to the left", {29, 25, 0}, 27.0f},
    };
    for (const Case& c : cases) {
        Level level;
        Room(level);
        Place(level, kObjectFirstDamper, 3, 2);
        PlayerCharacter character;
        character.position = c.position;
        for (int frame = 0; frame < 4; ++frame) {
            InteractWithObjects(level, character);
            EXPECT_FLOAT_EQ(character.position.x, c.expectedX) << c.label << ", frame " << frame;
        }
    }
}

TEST_F(InteractionTest, WalkingOffAnEdgeStartsALeapBackTowardTheTileLeft) {
    struct Case {
        std::int32_t facing;
        float lateral;
        Vector3 position;  // over the empty tile (4, 4); the floor lies elsewhere
        Vector3 leap;
        std::uint32_t along;
    } cases[] = {
        {0, -11.2f, {44, 45, 0}, {5, 0, 0}, 4},  {0, 11.2f, {44, 45, 0}, {-5, 0, 0}, 4},
        {1, -11.2f, {45, 44, 0}, {0, 5, 0}, 4},  {2, 11.2f, {44, 45, 0}, {5, 0, 0}, 4},
        {3, -11.2f, {45, 44, 0}, {0, -5, 0}, 4}, {3, 0.05f, {45, 44, 0}, {7, 7, 7}, 4},
    };
    for (const Case& c : cases) {
        Level level;
        Room(level);
        PlayerCharacter character;
        character.position = c.position;
        character.facing = c.facing;
        character.lateralSpeed = c.lateral;
        character.grounded = 1;
        character.walking = 1;
        character.leapVector = {7, 7, 7};
        InteractWithObjects(level, character);
        EXPECT_EQ(character.pendingLeap, 1u) << c.facing;
        EXPECT_EQ(character.leaping, 1u) << c.facing;
        EXPECT_EQ(character.walking, 0u) << c.facing;
        EXPECT_EQ(character.grounded, 0u) << "nothing holds it: it falls";
        EXPECT_EQ(character.leapAlong, c.along) << c.facing;
        EXPECT_FLOAT_EQ(character.leapVector.x, c.leap.x) << c.facing << " " << c.lateral;
        EXPECT_FLOAT_EQ(character.leapVector.y, c.leap.y) << c.facing << " " << c.lateral;
        EXPECT_FLOAT_EQ(character.lateralSpeed, 0.0f) << c.facing;
    }
    // Over a floor, falling, or not walking: no leap.
    Level level;
    Room(level);
    PlayerCharacter character;
    character.position = Centre(4, 1);
    character.walking = 1;
    InteractWithObjects(level, character);
    EXPECT_EQ(character.pendingLeap, 0u);
    character.position = Centre(4, 4);
    character.fallSpeed = 3.0f;
    InteractWithObjects(level, character);
    EXPECT_EQ(character.pendingLeap, 0u);
    character.fallSpeed = 0.0f;
    character.walking = 0;
    InteractWithObjects(level, character);
    EXPECT_EQ(character.pendingLeap, 0u);
}

TEST_F(InteractionTest, StepChecksAnswerTheFirstProbeThatMeetsTheFootprint) {
    // The footprint is tile (4, 4); facing 0 falls toward -y, its right is +x.
    struct Case {
        const char* label;
        Vector3 position;
        float fall;
        std::int32_t dx, dy;
        int code;
        float x, y, fallAfter;
        std::uint32_t pushed, pushDirection, grounded;
    } cases[] = {
        {"inside", {45, 45, 0}, 3.0f, 0, 0, kStepInside, 45, 45, 3.0f, 0, 0, 0},
        {"inside by a step", {35, 45, 0}, 3.0f, 1, 0, kStepInside, 35, 45, 3.0f, 0, 0, 0},
        {"above it: lands", {45, 54.5f, 0}, 9.0f, 0, 0, kStepLanded, 45, 54.98f, 0.0f, 0, 0, 1},
        {"below it, rising fast", {45, 35, 0}, -20.0f, 0, 0, kStepBounce, 45, 35, 16.0f, 0, 0, 0},
        {"below it, rising slowly", {45, 35, 0}, -10.0f, 0, 0, kStepClear, 45, 35, -10.0f, 0, 0, 0},
        {"to its left", {38.5f, 45, 0}, 0.0f, 0, 0, kStepWallRight, 37, 45, 0.0f, 1, 1, 0},
        {"to its right", {51.5f, 45, 0}, 0.0f, 0, 0, kStepWallLeft, 53, 45, 0.0f, 1, 0, 0},
        {"far", {75, 75, 0}, 0.0f, 1, 1, kStepClear, 75, 75, 0.0f, 0, 0, 0},
    };
    for (const Case& c : cases) {
        Level level;
        Room(level);
        PlayerCharacter character;
        character.position = c.position;
        character.fallReference = c.position;
        character.fallSpeed = c.fall;
        character.lateralSpeed = 4.0f;
        EXPECT_EQ(StepCheck(level, character, c.dx, c.dy, Centre(4, 4)), c.code) << c.label;
        EXPECT_FLOAT_EQ(character.position.x, c.x) << c.label;
        EXPECT_NEAR(character.position.y, c.y, 1e-4f) << c.label;
        EXPECT_FLOAT_EQ(character.fallSpeed, c.fallAfter) << c.label;
        EXPECT_EQ(character.pushed, c.pushed) << c.label;
        EXPECT_EQ(character.pushDirection, c.pushDirection) << c.label;
        EXPECT_EQ(character.grounded, c.grounded) << c.label;
    }
    // The wide check reaches half a unit further below.
    Level level;
    Room(level);
    PlayerCharacter character;
    character.position = {45, 55.3f, 0};
    character.fallSpeed = 5.0f;
    EXPECT_EQ(StepCheck(level, character, 0, 0, Centre(4, 4)), kStepClear);
    EXPECT_EQ(StepCheckWide(level, character, 0, 0, Centre(4, 4)), kStepLanded);
    // Landing after a long fall kills.
    character.position = {45, 54.5f, 0};
    character.fallSpeed = 20.0f;
    character.fallReference = {45, 120, 0};
    EXPECT_EQ(StepCheck(level, character, 0, 0, Centre(4, 4)), kStepLanded);
    EXPECT_EQ(character.dead, 1u);
    EXPECT_EQ(Sounds(kSoundDie), 1);
}

TEST_F(InteractionTest, TheTeskSeesTheCharacterBesideBelowOrFarAndReactsByZone) {
    Level level;
    Room(level);
    auto* left = static_cast<TeskObject*>(Place(level, kObjectFirstTesk + 0, 4, 4));
    auto* right = static_cast<TeskObject*>(Place(level, kObjectFirstTesk + 4, 4, 4));
    struct Case {
        const char* label;
        Vector3 position;
        const TeskObject* tesk;
        bool trueVariant;
        std::int32_t zone;
    } cases[] = {
        {"far", {75, 75, 0}, left, false, 0},
        {"beside on the left", {52, 45, 0}, left, false, 8},
        {"beside on the right", {38, 45, 0}, right, true, 9},
        {"falling onto it", {45, 55, 0}, left, false, 11},
    };
    for (const Case& c : cases) {
        PlayerCharacter character;
        character.position = c.position;
        EXPECT_EQ(ClassifyObject(level, character, *c.tesk, c.trueVariant), c.zone) << c.label;
    }

    struct Effect {
        std::int32_t zone;
        std::int32_t teskState;
        std::uint32_t dead;
        float lateral, fall;
        std::uint32_t pushed;
    } effects[] = {
        {1, kTeskIdle, 0, 4.0f, -5.0f, 0},         {2, kTeskAttackLow, 1, 0.0f, -5.0f, 0},
        {5, kTeskAttackMedium, 1, 0.0f, 16.0f, 0}, {6, kTeskAttackHigh, 1, 0.0f, 0.0f, 0},
        {8, kTeskSleep, 0, 0.0f, -5.0f, 1},        {10, kTeskSleep, 0, 4.0f, 16.0f, 0},
    };
    for (const Effect& e : effects) {
        awardServices_.sounds.clear();
        left->Reset();
        left->attackTimer = 2.0f;
        PlayerCharacter character;
        character.position = {45, 55, 0};
        character.lateralSpeed = 4.0f;
        character.fallSpeed = -5.0f;
        TeskEncounter(level, character, e.zone, *left);
        EXPECT_EQ(left->current, e.teskState) << e.zone;
        EXPECT_EQ(character.dead, e.dead) << e.zone;
        EXPECT_EQ(Sounds(kSoundDie), static_cast<int>(e.dead)) << e.zone;
        EXPECT_FLOAT_EQ(character.lateralSpeed, e.lateral) << e.zone;
        EXPECT_FLOAT_EQ(character.fallSpeed, e.fall) << e.zone;
        EXPECT_EQ(character.pushed, e.pushed) << e.zone;
    }
    // Nothing at all from a dead TESK.
    left->alive = 0;
    PlayerCharacter character;
    TeskEncounter(level, character, 2, *left);
    EXPECT_EQ(character.dead, 0u);
}

TEST_F(InteractionTest, AnOpeningDoorKillsInItsActionWindowAndABridgeSweepKillsUnlessFallingPast) {
    {
        Level level;
        Room(level);
        auto* door = static_cast<BlockerDoorObject*>(Place(level, kObjectFirstBlocker + 0, 4, 4));
        door->door.closed = 0;
        door->door.moving = 1;
        door->door.openTime = 0.31f;
        PlayerCharacter character;
        character.position = Centre(4, 3);  // the tile next to an "UP" door
        InteractWithObjects(level, character);
        EXPECT_EQ(character.dead, 1u);
        door->door.openTime = 0.4f;
        PlayerCharacter late;
        late.position = Centre(4, 3);
        late.lateralSpeed = 6.0f;
        InteractWithObjects(level, late);
        EXPECT_EQ(late.dead, 0u);
        EXPECT_FLOAT_EQ(late.lateralSpeed, 0.0f);
    }
    struct Case {
        std::int32_t facing;
        float fall;
        std::uint32_t dead;
    } cases[] = {{0, 0.0f, 1}, {0, 30.0f, 0}, {0, 20.0f, 1}, {2, 30.0f, 1}};
    for (const Case& c : cases) {
        Level level;
        Room(level);
        auto* bridge = static_cast<BridgeObject*>(Place(level, kObjectFirstBridge + 3, 2, 4));
        // Lowering, early in the swing: level 1 sweeps (1, 0) and (2, 0).
        bridge->bridge.swung = 0;
        bridge->bridge.swingingBack = 1;
        bridge->bridge.swingBackTime = 0.2f;
        ASSERT_EQ(bridge->MotionLevel(), 1u);
        PlayerCharacter character;
        character.position = Centre(4, 4);
        character.facing = c.facing;
        character.fallSpeed = c.fall;
        InteractWithObjects(level, character);
        EXPECT_EQ(character.dead, c.dead) << c.facing << " " << c.fall;
    }
    Vector2 swept[3];
    EXPECT_EQ(BridgeSweptTiles(kObjectFirstBridge + 1, 2, swept), 3);
    EXPECT_FLOAT_EQ(swept[2].x, -2.0f);
    EXPECT_FLOAT_EQ(swept[2].y, 1.0f);
    EXPECT_EQ(BridgeSweptTiles(kObjectFirstBridge, 0, swept), 0);
    EXPECT_EQ(BridgeSweptTiles(kObjectSpikeCube, 1, swept), 0);
}

TEST_F(InteractionTest, InACutSceneBramTakesHisMoodFromTheScriptAndLetsItemScenesFinish) {
    AddCharacterModels();
    WriteCharacterAnimations();
    Level level;
    Room(level);
    PlayerCharacter character;
    character.LoadModel();
    level.AddCutsceneEntry(kSpeakerBram, EngineString("T1"), 4, 0, 0);   // BRAM angry
    level.AddCutsceneEntry(kSpeakerOdile, EngineString("T2"), 12, 2, 0);  // BRAM listens
    level.AddCutsceneEntry(kSpeakerBram, EngineString("T3"), 7, 0, 0);   // BRAM receives the item
    level.AddCutsceneEntry(kSpeakerBram, EngineString("T4"), 6, 0, 0);   // then is happy
    level.AddCutsceneEntry(kSpeakerBram, EngineString("T5"), 99, 0, 0);  // no mood: idle
    struct Step {
        std::int32_t entry;
        std::int32_t animation;
    } steps[] = {{0, kAnimAngry},       {1, kAnimListen}, {2, kAnimReceiveItem},
                 {3, kAnimReceiveItem}, {3, kAnimHappy},  {4, kAnimIdle}};
    for (const Step& step : steps) {
        awardServices_.controller.cutsceneEntry = step.entry;
        FollowCutscene(level, character);
        EXPECT_EQ(character.currentAnimation, step.animation) << step.entry;
    }
    EXPECT_EQ(character.animationChanged, 1u);
}

}  // namespace
}  // namespace world_test
