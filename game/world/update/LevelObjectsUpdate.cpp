// The objects' share of a frame: sliding objects fall along the character's facing; bridges
// and blocker doors follow the facing; ODILE follows the cut-scene; the fireflies drift.
#include <cmath>

#include "engine/core/containers/KDLList.h"
#include "engine/core/math/VectorMath.h"
#include "engine/core/node/KNode.h"
#include "game/world/level/FireflySwarm.h"
#include "game/world/level/Level.h"
#include "game/world/objects/BlockerDoorObject.h"
#include "game/world/objects/BridgeObject.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/objects/OdileObject.h"
#include "game/world/objects/SpikeCubeObject.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/services/WorldServices.h"
#include "game/world/update/LevelUpdate.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
// How far ahead of a sliding object the floor is looked for, and where it stops.
constexpr float kSlideProbe = 5.02f;
// Speeds above this count as moving fast: a sliding object bounces, a covering one is passed.
constexpr float kFastSpeed = 8.0f;
constexpr float kRestingPhase = 0.1f;

// Once per frame, the first mover of a family plays its sound; the rest move silently.
struct FrameSounds {
    bool bridgeGiven = false;
    bool doorGiven = false;
};

// The sub-code 0 to 3 (UP, DOWN, LEFT, RIGHT) of an object family.
std::uint32_t SubCode(const LevelObject& object, std::uint32_t first) { return object.kind - first; }

float Speed(const Vector3& motion) {
    return std::sqrt(motion.x * motion.x + motion.y * motion.y + motion.z * motion.z);
}

// The phase a resting sliding object is recognised by: a spike cube's bounce.
float SlidePhase(const LevelObject& object) {
    if (object.kind != kObjectSpikeCube) return 0.0f;
    return static_cast<const SpikeCubeObject&>(object).bounce.y;
}

void Slide(Level& level, LevelObject& object, float dt) {
    const PlayerCharacter* character = level.character;
    const std::int32_t facing = character != nullptr ? character->facing & 3 : 0;
    const Vector2 tile = WorldToTile(object.position);
    if (character != nullptr && character->IsFallingWhileTurning()) {
        // While the world turns the object settles on its tile's centre.
        object.motion = Vector3{0, 0, 0};
        object.position.x = 0.8f * object.position.x + 0.2f * (10.0f * tile.x + 5.0f);
        object.position.y = 0.8f * object.position.y + 0.2f * (10.0f * tile.y + 5.0f);
    } else {
        object.motion.x += 2.0f * dt * level.fallVector.x;
        object.motion.y += 2.0f * dt * level.fallVector.y;
        object.motion.z += 2.0f * dt * level.fallVector.z;
        if (object.motion.y > kSlideSpeedLimit) object.motion.y = kSlideSpeedLimit;
        // The object falls the way the character does: along the fall of the character's
        // facing, so that a cube never slides up while the character falls down.
        const float angle = character != nullptr ? character->FacingYaw() : 0.0f;
        const Vector2 moved = LocalToWorld(object.motion.x, object.motion.y, angle);
        object.position.x += moved.x * dt;
        object.position.y += moved.y * dt;
        object.position.z += object.motion.z * dt;

        const Vector2 along = LocalToWorld(0.0f, 1.0f, angle);
        const Vector2 ahead = WorldToTile(Vector3{object.position.x + kSlideProbe * along.x,
                                                  object.position.y + kSlideProbe * along.y, object.position.z});
        const LevelTile* aheadTile = level.TileAtCoordinates(ahead.x, ahead.y);
        const bool empty = aheadTile == nullptr || !aheadTile->IsNotEmpty();
        const LevelObject* covering = level.CoveringObject(ahead, &object);
        if (!empty || covering != nullptr) {
            if (covering == nullptr || Speed(covering->motion) <= kFastSpeed) {
                const Vector2 own = WorldToTile(object.position);
                if (facing == 1 || facing == 3)
                    object.position.x = 10.0f * (own.x + 1.0f) - kSlideProbe;
                else
                    object.position.y = 10.0f * (own.y + 1.0f) - kSlideProbe;
            }
            if (object.motion.y > kFastSpeed) {
                if (object.kind == kObjectSpikeCube) static_cast<SpikeCubeObject&>(object).Bounce();
            } else if (std::fabs(SlidePhase(object)) <= kRestingPhase) {
                object.motion = Vector3{0, 0, 0};
            }
        }
    }
    if (object.model != nullptr) object.model->SetPosition(object.position);
}

// Lowered with one facing while up, raised with another while down.
void FollowFacingBridge(BridgeObject& bridge, std::int32_t facing, FrameSounds& sounds) {
    static const std::int32_t kLowerFacing[4] = {3, 1, 2, 0};
    static const std::int32_t kRaiseFacing[4] = {2, 0, 1, 3};
    const std::uint32_t code = SubCode(bridge, kObjectFirstBridge);
    if (bridge.bridge.swung == 0 && facing == kLowerFacing[code]) {
        bridge.SwingOver(!sounds.bridgeGiven);
        sounds.bridgeGiven = true;
    } else if (bridge.bridge.swung != 0 && facing == kRaiseFacing[code]) {
        bridge.SwingBack(!sounds.bridgeGiven);
        sounds.bridgeGiven = true;
    }
}

// The two tiles a door spans when it stands across the way, nearer first.
void DoorTiles(const BlockerDoorObject& door, Vector2& nearer, Vector2& farther) {
    static const float kOffsets[4][2][2] = {
        {{0, -10}, {0, -20}}, {{-10, 0}, {-10, 10}}, {{0, 0}, {10, 0}}, {{-10, -10}, {-20, -10}}};
    const std::uint32_t code = SubCode(door, kObjectFirstBlocker);
    const Vector3& base = door.position;
    nearer = WorldToTile(Vector3{base.x + kOffsets[code][0][0], base.y + kOffsets[code][0][1], base.z});
    farther = WorldToTile(Vector3{base.x + kOffsets[code][1][0], base.y + kOffsets[code][1][1], base.z});
}

void FollowFacingDoor(const Level& level, BlockerDoorObject& door, std::int32_t facing, FrameSounds& sounds) {
    static const std::int32_t kCloseFacing[4] = {0, 2, 1, 3};
    static const std::int32_t kOpenFacing[4] = {2, 0, 3, 1};
    const std::uint32_t code = SubCode(door, kObjectFirstBlocker);
    if (facing == kCloseFacing[code] && door.door.closed == 0) {
        const bool starts = door.door.closing == 0;
        door.Close(starts && !sounds.doorGiven);
        sounds.doorGiven = sounds.doorGiven || starts;
        return;
    }
    if (facing != kOpenFacing[code] || (door.door.closed == 0 && door.door.oneLeaf == 0)) return;
    Vector2 nearer{0, 0};
    Vector2 farther{0, 0};
    DoorTiles(door, nearer, farther);
    if (level.CoveringObject(nearer, &door) != nullptr) return;
    const bool farFree = level.CoveringObject(farther, &door) == nullptr;
    // A door already open on one leaf stays so until the farther tile frees: opening that leaf
    // again would restart a finished motion that no update then ends, with a second sound.
    if (!farFree && door.door.oneLeaf != 0) return;
    const bool starts = door.door.moving == 0;
    if (farFree)
        door.Open(starts && !sounds.doorGiven);
    else
        door.OpenOneLeaf(starts && !sounds.doorGiven);
    sounds.doorGiven = sounds.doorGiven || starts;
}

// ODILE's mood from the current cut-scene line: her own mood while she speaks, her listening
// mood while BRAM speaks in a running cut-scene.
void FollowCutscene(const Level& level, OdileObject& odile) {
    const CutsceneEntry* entry = level.CurrentCutsceneEntry();
    if (entry == nullptr) return;
    constexpr std::int32_t kFirstOdileMood = 12;
    constexpr std::int32_t kLastOdileMood = 18;
    std::int32_t code = 0;
    std::int32_t mood = 0;
    if (entry->speaker == kSpeakerOdile) {
        code = entry->speakerMood;
        mood = kOdileIdle;
    } else if (GetWorldServices().Controller().playState == kPlayStateCutscene) {
        code = entry->listenerMood;
        mood = kOdileListen;
    } else {
        return;
    }
    if (code >= kFirstOdileMood && code <= kLastOdileMood) mood = code - kFirstOdileMood;
    odile.SetMood(mood);
}

}  // namespace

void UpdateObjects(Level& level, float dt) {
    const bool scrolling = GetWorldServices().Controller().playState == kPlayStateScroll;
    const std::int32_t facing = level.character != nullptr ? level.character->facing : 0;
    FrameSounds sounds;
    for (KDLListIterator it(level.activeObjects); !it.AtEnd(); it.Next()) {
        auto* object = static_cast<LevelObject*>(it.Item());
        object->Update(dt);
        if ((object->flags & kObjectSliding) != 0 && !scrolling) Slide(level, *object, dt);
        const std::uint32_t kind = object->kind;
        if (kind >= kObjectFirstBridge && kind <= kObjectLastBridge && object->Bridge() != nullptr)
            FollowFacingBridge(*static_cast<BridgeObject*>(object), facing, sounds);
        else if (kind >= kObjectFirstBlocker && kind <= kObjectLastBlocker && object->Door() != nullptr)
            FollowFacingDoor(level, *static_cast<BlockerDoorObject*>(object), facing, sounds);
        else if (kind == kObjectOdile)
            FollowCutscene(level, *static_cast<OdileObject*>(object));
    }
    const float clock = GetWorldServices().ClockSeconds();
    for (std::int32_t i = 0; i < level.fireflySwarmCount && i < kMaximumFireflySwarms; ++i)
        if (level.fireflySwarms[i] != nullptr) level.fireflySwarms[i]->Update(dt, clock, level);
}
