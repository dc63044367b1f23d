// The character meets the level objects: keys and pickups are taken, the open exit portal
// catches the character, spike cubes kill, dampers catch and throw, doors and bridges block
// and crush, a TESK reacts; then a character walking off a floor's edge starts a leap.
#include <cmath>

#include "engine/core/node/KNode.h"
#include "game/world/level/Level.h"
#include "game/world/objects/BlockerDoorObject.h"
#include "game/world/objects/BridgeObject.h"
#include "game/world/objects/DamperObject.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/objects/TeskObject.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/rules/CharacterInteractions.h"
#include "game/world/rules/LocalDirections.h"
#include "game/world/rules/MovementRules.h"
#include "game/world/services/WorldServices.h"

namespace {

constexpr DWORD kInteractive = 0x8;
constexpr DWORD kCollected = 0x10;
constexpr float kPortalHeight = 5.0f;
constexpr float kDamperTriggerSpeed = 30.0f;
constexpr float kDamperThrowSpeed = -12.0f;

void StopCharacter(PlayerCharacter& character) {
    character.lateralSpeed = character.fallSpeed = character.depthSpeed = 0.0f;
}

void Collect(LevelObject& object) { object.flags = (object.flags & ~(kInteractive | kCollected)) | kCollected; }

std::int32_t NodeId(const LevelObject& object) {
    return object.model != nullptr ? static_cast<std::int32_t>(object.model->GetGUID()) : -1;
}

struct Interaction {
    Level& level;
    PlayerCharacter& character;
    bool blocked = false;

    bool Meets(const Vector3& direction, float distance, const Vector2& tile, std::int32_t dx = 0,
               std::int32_t dy = 0) const {
        return level.SegmentHitsTile(character.position, direction, distance, tile, dx, dy, false, character.facing);
    }

    void Key(LevelObject& key) {
        if (character.dead != 0 || !SameTile(character.position, key.GetWorldPosition())) return;
        Collect(key);
        ++level.keysCollected;
        GetWorldServices().OnSphereCollected();
    }

    void Pickup(LevelObject& pickup) {
        if (SameTile(character.position, pickup.GetWorldPosition())) Collect(pickup);
    }

    void Portal(LevelObject& portal) {
        const Vector3 at = portal.GetWorldPosition();
        if (character.dead != 0 || character.IsInTransfer() || !SameTile(character.position, at)) return;
        StopCharacter(character);
        character.position.x = at.x;
        character.position.y = at.y;
        if (character.position.z < kExitHeight) character.position.z = kPortalHeight;
    }

    void SpikeCube(LevelObject& cube) {
        if (!SameTile(character.position, cube.GetWorldPosition())) return;
        if (character.position.z <= kExitHeight) KillCharacter(character);
        StopCharacter(character);
    }

    void Damper(DamperObject& damper) {
        const Vector2 tile = WorldToTile(damper.GetWorldPosition());
        const std::int32_t id = NodeId(damper);
        if (damper.triggered == 0 && character.fallSpeed > kDamperTriggerSpeed &&
            Meets(kLocalBelow, kLandingProbe, tile)) {
            StopCharacter(character);
            CentreOnTile(character.position, character.facing);
            damper.Trigger();
            character.SetStandingOn(true, id);
        }
        if (damper.triggered == 0 && character.IsStandingOn(id)) character.ClearStandingOn();
        if (character.IsStandingOn(id)) {
            const Vector3 at = damper.GetWorldPosition();
            const float top = damper.top.node != nullptr ? damper.top.node->Transform().position.y : 0.0f;
            switch (damper.kind - kObjectFirstDamper) {
            case 0: character.position.y = at.y - 5.0f + top; break;
            case 1: character.position.y = at.y + 5.0f - top; break;
            case 2: character.position.x = at.x - 5.0f + top; break;
            default: character.position.x = at.x + 5.0f - top; break;
            }
            if (top < 0.0f && character.fallSpeed > -0.01f) {
                character.fallSpeed = kDamperThrowSpeed;
                character.ClearStandingOn();
            }
        }
        if (!character.IsStandingOn(id) && character.fallSpeed > -8.0f && Meets(kLocalBelow, kLandingProbe, tile)) {
            character.fallSpeed = 0.0f;
            character.SetGrounded(true);
            blocked = true;
            if (damper.active == 0) damper.Activate();
        } else {
            if (damper.active != 0) {
                damper.active = 0;
                damper.stepOnTime = 0.0f;
            }
            if (character.fallSpeed < -16.0f && Meets(kLocalAbove, kLandingProbe, tile)) character.fallSpeed = 16.0f;
        }
        // The side probes keep the character out of a damper beside it. Inside the damper's own
        // tile, where a landing leaves it, both probes meet that tile and would throw the
        // character from one side to the other every frame.
        if (SameTile(character.position, damper.GetWorldPosition())) return;
        if (Meets(kLocalRight, kSideProbe, tile)) {
            character.lateralSpeed = 0.0f;
            ClampToTileSide(character.position, character.facing, 0);
        } else if (Meets(kLocalLeft, kSideProbe, tile)) {
            character.lateralSpeed = 0.0f;
            ClampToTileSide(character.position, character.facing, 1);
        }
    }

    void Door(LevelObject& door) {
        const DoorState* state = door.Door();
        if (state == nullptr) return;
        const std::uint32_t code = door.kind - kObjectFirstBlocker;  // UP, DOWN, LEFT, RIGHT
        const bool upOrRight = code == 0 || code == 3;
        const std::int32_t s = state->closed != 0 ? 1 : (upOrRight ? -3 : 3);
        const Vector3 at = door.GetWorldPosition();
        if (state->moving != 0) {
            static constexpr Vector2 kBeside[] = {{0, -10}, {0, 10}, {10, 0}, {-10, 0}};
            const std::int32_t dx[] = {1, 1, s + 1, s - 4};
            const std::int32_t dy[] = {s - 4, s + 2, 1, 1};
            const Vector3 next{at.x + kBeside[code].x, at.y + kBeside[code].y, at.z};
            if (StepCheck(level, character, dx[code], dy[code], next) != kStepClear) {
                if (door.IsInActionWindow())
                    KillCharacter(character);
                else if (door.IsPastActionWindow())
                    character.lateralSpeed = 0.0f;
            }
        }
        const bool vertical = code == 0 || code == 1;
        if (StepCheck(level, character, vertical ? 1 : s, vertical ? s : 1, at) == kStepLanded) blocked = true;
    }

    // Whether a falling character passes the sweeping arm instead of being struck.
    bool FallsPast(std::uint32_t code, std::uint32_t motion, bool lowering, bool raising) const {
        if (character.fallSpeed <= 25.0f) return false;
        // Per bridge code: the facing that passes at levels 1-2 while lowering, at 2-3 while raising.
        static constexpr std::int32_t kLoweringFacing[] = {3, 1, 2, 0};
        static constexpr std::int32_t kRaisingFacing[] = {2, 0, 1, 3};
        if (lowering && motion <= 2 && character.facing == kLoweringFacing[code]) return true;
        return raising && motion >= 2 && character.facing == kRaisingFacing[code];
    }

    void Bridge(BridgeObject& bridge) {
        const std::uint32_t code = bridge.kind - kObjectFirstBridge;
        const std::uint32_t motion = bridge.MotionLevel();
        const bool lowering = bridge.bridge.swingingBack != 0;
        const bool raising = bridge.bridge.swingingOver != 0;
        const Vector3 at = bridge.GetWorldPosition();
        if (motion != 0) {
            Vector2 offsets[3];
            const int count = BridgeSweptTiles(bridge.kind, motion, offsets);
            const Vector2 own = WorldToTile(character.position);
            const Vector2 base = WorldToTile(at);
            for (int i = 0; i < count; ++i) {
                if (own.x - base.x != offsets[i].x || own.y - base.y != offsets[i].y) continue;
                if (!FallsPast(code, motion, lowering, raising)) KillCharacter(character);
                break;
            }
        }
        std::int32_t dx = 1, dy = 1;
        if (!lowering && !raising) {
            dx = bridge.bridge.swung != 0 ? 1 : 3;
            dy = bridge.bridge.swung != 0 ? 3 : 1;
        }
        if (StepCheck(level, character, dx, dy, at) == kStepLanded) blocked = true;
    }

    void Tesk(TeskObject& tesk) {
        if (!tesk.IsAlive()) return;
        const bool trueVariant = tesk.kind >= kObjectFirstTesk + 4;
        const std::int32_t zone = ClassifyObject(level, character, tesk, trueVariant);
        TeskEncounter(level, character, zone, tesk);
        if (zone == 11) blocked = true;
    }

    void WalkOff() {
        if (blocked) character.leaping = 0;
        character.blocked = blocked ? 1 : 0;
        const Vector2 ahead = level.PointAhead(character.position, kLocalBelow, 10.0f, false, character.facing);
        if (character.dead != 0 || character.IsMoving() || character.onDamper != 0 || character.blocked != 0 ||
            character.walking == 0)
            return;
        if (level.IsSolidAt(ahead)) return;
        const std::int32_t facing = character.facing;
        if (facing < 0 || facing > 3) {
            StopCharacter(character);
            return;
        }
        character.pendingLeap = 1;
        character.leaping = 1;
        character.walking = 0;
        character.blocked = 0;
        // Nothing holds the character any more: the fall begins.
        character.grounded = 0;
        character.leapAlong = static_cast<std::uint32_t>(facing == 0 || facing == 2 ? ahead.x : ahead.y);
        const float v = character.lateralSpeed;
        // The leap vector points back onto the tile the character came from.
        static constexpr Vector3 kBack[] = {{5, 0, 0}, {0, 5, 0}, {-5, 0, 0}, {0, -5, 0}};
        const Vector3 back = kBack[facing];
        if (v < -0.1f)
            character.leapVector = back;
        else if (v > 0.1f)
            character.leapVector = Vector3{-back.x, -back.y, -back.z};
        StopCharacter(character);
    }
};

}  // namespace

void InteractWithObjects(Level& level, PlayerCharacter& character) {
    Interaction pass{level, character};
    for (KDLLink* link = level.activeObjects.head; link != nullptr; link = link->next) {
        auto* object = static_cast<LevelObject*>(link->item);
        if (object == nullptr || (object->flags & kInteractive) == 0) continue;
        const std::uint32_t kind = object->kind;
        if (kind == kObjectKey)
            pass.Key(*object);
        else if (kind >= kObjectFirstSphere && kind <= kObjectLastSphere)
            pass.Pickup(*object);
        else if (kind >= kObjectFirstPortal && kind <= kObjectLastPortal)
            pass.Portal(*object);
        else if (kind == kObjectSpikeCube)
            pass.SpikeCube(*object);
        else if (kind >= kObjectFirstDamper && kind <= kObjectLastDamper && dynamic_cast<DamperObject*>(object))
            pass.Damper(*dynamic_cast<DamperObject*>(object));
        else if (kind >= kObjectFirstBlocker && kind <= kObjectLastBlocker)
            pass.Door(*object);
        else if (kind >= kObjectFirstBridge && kind <= kObjectLastBridge && dynamic_cast<BridgeObject*>(object))
            pass.Bridge(*dynamic_cast<BridgeObject*>(object));
        else if (kind >= kObjectFirstTesk && kind <= kObjectLastTesk && dynamic_cast<TeskObject*>(object))
            pass.Tesk(*dynamic_cast<TeskObject*>(object));
    }
    pass.WalkOff();
}

int BridgeSweptTiles(std::uint32_t bridgeKind, std::uint32_t motionLevel, Vector2 offsets[3]) {
    if (bridgeKind < kObjectFirstBridge || bridgeKind > kObjectLastBridge || motionLevel < 1 || motionLevel > 3)
        return 0;
    struct Sweep {
        int count;
        Vector2 tiles[3];
    };
    // By code UP, DOWN, LEFT, RIGHT, then motion level 1 to 3.
    static constexpr Sweep kSweeps[4][3] = {
        {{2, {{0, -1}, {0, -2}}}, {3, {{1, -1}, {1, -2}, {2, -1}}}, {2, {{1, 0}, {2, 0}}}},
        {{2, {{0, 1}, {0, 2}}}, {3, {{-1, 1}, {-1, 2}, {-2, 1}}}, {2, {{-1, 0}, {-2, 0}}}},
        {{2, {{-1, 0}, {-2, 0}}}, {3, {{-1, -1}, {-1, -2}, {-2, -1}}}, {2, {{0, -1}, {0, -2}}}},
        {{2, {{1, 0}, {2, 0}}}, {3, {{1, 1}, {1, 2}, {2, 1}}}, {2, {{0, 1}, {0, 2}}}},
    };
    const Sweep& sweep = kSweeps[bridgeKind - kObjectFirstBridge][motionLevel - 1];
    for (int i = 0; i < sweep.count; ++i) offsets[i] = sweep.tiles[i];
    return sweep.count;
}
