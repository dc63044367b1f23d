// The character against the tile grid, once per frame: the exit, the pull to the tile's centre
// while turning in the air, gravity, pushes toward a tile's centre, landing, corner climbs, the
// motion itself, and walls, spikes and ledges beside.
#include <cmath>
#include <initializer_list>

#include "game/world/level/Level.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/rules/CharacterInteractions.h"
#include "game/world/rules/LocalDirections.h"
#include "game/world/services/WorldServices.h"

namespace {

constexpr float kExitTop = 30.0f;
constexpr float kExitTurnRate = 450.0f;
constexpr float kCeilingProbe = 4.518f;
constexpr float kCornerProbe = 7.0f;
constexpr float kCornerAboveProbe = 10.0f;
constexpr float kLedgeFallLimit = 5.0f;

Vector3 Sum(const Vector3& a, const Vector3& b) { return Vector3{a.x + b.x, a.y + b.y, a.z + b.z}; }

// The tile's spike bit that faces the character coming up over it at a corner, by facing.
DWORD CornerEdgeBit(std::int32_t facing, bool right) {
    static constexpr int kRightEdge[] = {2, 0, 3, 1};
    static constexpr int kLeftEdge[] = {3, 1, 2, 0};
    const int code = right ? kRightEdge[facing & 3] : kLeftEdge[facing & 3];
    return DWORD{1} << code;
}

struct Pass {
    Level& level;
    PlayerCharacter& character;
    float dt;

    std::int32_t Facing() const { return character.facing; }

    bool SolidAhead(const Vector3& direction, float distance, bool normalise = false) const {
        return level.IsSolidAt(level.PointAhead(character.position, direction, distance, normalise, Facing()));
    }

    bool Exit() {
        if (character.position.z < kExitTop) {
            character.exitScale -= dt;
            character.yaw += kExitTurnRate * dt;
        }
        ControllerRecord& controller = GetWorldServices().Controller();
        if (character.exitScale < 0.01f && controller.playState < kPlayStateComplete &&
            controller.requestedState < kPlayStateComplete)
            controller.requestedState = kPlayStateComplete;
        character.StopLoopSound();
        return true;
    }

    void SideProbes() {
        const std::int32_t side = LateralSide(character.position, Facing());
        if (side == 0) {
            character.waiting = 1;
            character.pushed = 0;
            return;
        }
        character.waiting = 0;
        if (character.pushed != 0) return;
        if (character.lateralSpeed < -1.0f)
            character.Push(SolidAhead(kLocalLeft, kSideProbe) ? 0 : 1);
        else if (character.lateralSpeed > 1.0f)
            character.Push(SolidAhead(kLocalRight, kSideProbe) ? 1 : 0);
    }

    void Landing() {
        int spikes = 0;
        if (level.SpikeAhead(character.position, kLocalBelow, kLandingProbe, Facing(), spikes) == 0 ||
            character.fallSpeed < -0.1f)
            return;
        if (character.HasFallenFar(false) || spikes != 0) {
            KillCharacter(character);
            character.lateralSpeed = character.fallSpeed = character.depthSpeed = 0.0f;
        } else {
            character.SetGrounded(true);
        }
        character.fallSpeed = 0.0f;
        level.ruleFlags = 0;
        CentreOnTile(character.position, Facing());
    }

    // A grounded character rising beside a ledge climbs over its corner; true when it does.
    bool CornerClimb() {
        if (character.grounded == 0 || character.fallSpeed >= -1.0f) return false;
        for (const bool right : {true, false}) {
            if (right ? character.lateralSpeed <= 1.0f : character.lateralSpeed >= -1.0f) continue;
            const Vector3 side = right ? kLocalRight : kLocalLeft;
            const Vector2 beside = level.PointAhead(character.position, side, kCornerProbe, false, Facing());
            const Vector2 over = level.PointAhead(character.position, Sum(side, kLocalAbove), kCornerAboveProbe, true,
                                                  Facing());
            if (!level.IsWalkable(beside) || level.IsWalkable(over)) continue;
            const LevelTile* tile = level.TileAtCoordinates(beside.x, beside.y);
            if (tile != nullptr && (tile->flags & CornerEdgeBit(Facing(), right)) != 0) continue;
            int spikeCube = 0;
            level.ObjectCovers(beside, spikeCube);
            if (spikeCube != 0) continue;
            character.transferState = right ? 1 : 2;
            ClampToTileSide(character.position, Facing(), right ? 0 : 1);
            return true;
        }
        return false;
    }

    void Move() {
        if (!character.IsFallingWhileTurning()) {
            int spikes = 0;
            if (character.dead == 0 &&
                level.SpikeAhead(character.position, kLocalAbove, kCeilingProbe, Facing(), spikes) != 0) {
                character.fallSpeed = 16.0f;
                if (spikes != 0) KillCharacter(character);
            }
        }
        const Vector2 step = LocalToWorld(character.lateralSpeed, character.fallSpeed, character.yaw);
        const Vector3 delta{step.x * dt, step.y * dt, character.depthSpeed * dt};
        character.position = Sum(character.position, delta);
        character.trackingPoint = Sum(character.trackingPoint, delta);
        if (character.IsMoving()) {
            if (level.ruleFlags == 0 && character.airborne != 0 && std::fabs(character.lateralSpeed) > 1.0f) {
                // A jump carries the character at most one tile across its facing.
                const bool acrossX = Facing() == 0 || Facing() == 2;
                float& across = acrossX ? character.position.x : character.position.y;
                const float reference = acrossX ? character.lateralReference.x : character.lateralReference.y;
                if (across > reference + 10.0f) across = reference + 10.0f;
                if (across < reference - 10.0f) across = reference - 10.0f;
            }
        } else {
            character.trackingPoint = character.position;
        }
    }

    // Ground straight beside: a wall, deadly when its spikes face the character.
    bool Wall(bool right) {
        int spikes = 0;
        if (level.SpikeAhead(character.position, right ? kLocalRight : kLocalLeft, kSideProbe, Facing(), spikes) == 0)
            return false;
        if (spikes != 0 && KillCharacter(character) && right) character.fallSpeed = 16.0f;
        character.lateralSpeed = 0.0f;
        ClampToTileSide(character.position, Facing(), right ? 0 : 1);
        return true;
    }

    // Falling sideways past a corner below: the side decides death by spikes.
    bool CornerBelow(bool right) {
        if (character.fallSpeed <= 0.1f) return false;
        if (right ? character.lateralSpeed <= 0.1f : character.lateralSpeed >= -0.1f) return false;
        const Vector3 side = right ? kLocalRight : kLocalLeft;
        if (!level.GroundAhead(character.position, Sum(side, kLocalBelow), Facing())) return false;
        int spikes = 0;
        level.SpikeAhead(character.position, side, kLandingProbe, Facing(), spikes);
        if (spikes != 0) KillCharacter(character);
        character.lateralSpeed = 0.0f;
        return true;
    }

    // Only the character's own jump (not a walk off an edge) reaches for a ledge at its top:
    // otherwise a character walking off an edge would be pulled straight back onto it whenever
    // its jump animation happens to be short.
    bool LedgeCatch(bool right) {
        if (character.fallSpeed < -0.1f || character.grounded != 0 || character.airborne == 0 ||
            character.currentAnimation != kAnimAir || character.fallSpeed >= kLedgeFallLimit)
            return false;
        const Vector3 side = right ? kLocalRight : kLocalLeft;
        if (level.GroundAhead(character.position, side, Facing()) ||
            !level.GroundAhead(character.position, Sum(side, kLocalBelow), Facing()))
            return false;
        const Vector2 ledge = level.PointAhead(character.position, side, 10.0f, false, Facing());
        character.ledgeTarget = Facing() == 0 || Facing() == 2 ? ledge.x * 10.0f + 5.0f : ledge.y * 10.0f + 5.0f;
        character.ledgeCatchPending = 1;
        character.lateralSpeed = 0.0f;
        return true;
    }

    void Beside() {
        if (character.dead != 0) return;
        if (Wall(false) || Wall(true) || CornerBelow(true) || LedgeCatch(false) || CornerBelow(false)) return;
        LedgeCatch(true);
    }
};

// BRAM's animation for a cut-scene mood code 1 to 10.
constexpr std::int32_t kMoodAnimations[] = {kAnimIdle,          kAnimScared,        kAnimConfused,    kAnimAngry,
                                            kAnimAngry2,        kAnimHappy,         kAnimReceiveItem, kAnimMessagePickup,
                                            kAnimMessageRead,   kAnimMessageThrow};

// The receive-item, message pick-up and message throw scenes play to their end.
bool PlaysToItsEnd(std::int32_t code) { return code == 7 || code == 8 || code == 10; }

}  // namespace

void FollowCutscene(const Level& level, PlayerCharacter& character) {
    const CutsceneEntry* entry = level.CurrentCutsceneEntry();
    if (entry == nullptr) return;
    const bool bramSpeaks = entry->speaker == kSpeakerBram;
    const std::int32_t code = bramSpeaks ? entry->speakerMood : entry->listenerMood;
    std::int32_t animation = bramSpeaks ? kAnimIdle : kAnimListen;
    if (code >= 1 && code <= 10) animation = kMoodAnimations[code - 1];
    if (!PlaysToItsEnd(character.lastCutsceneCode)) character.SetAnimation(animation);
    character.lastCutsceneCode = code;
}

void UpdateCharacterAgainstTiles(Level& level, PlayerCharacter& character, float dt) {
    if (character.IsInTransfer()) return;
    Pass pass{level, character, dt};
    if (character.IsFallingWhileTurning()) {
        const Vector2 tile = WorldToTile(character.position);
        character.position.x = 0.8f * character.position.x + 0.2f * (tile.x * 10.0f + 5.0f);
        character.position.y = 0.8f * character.position.y + 0.2f * (tile.y * 10.0f + 5.0f);
        level.ruleFlags = 1;
    }
    if (character.IsInDeep()) {
        pass.Exit();
        return;
    }
    if (character.HasWalkedFar()) {
        character.lateralSpeed = 0.0f;
        character.lateralDistance = 0.0f;
    }
    if (!character.IsFallingWhileTurning() && character.onDamper == 0 && character.grounded == 0) {
        character.lateralSpeed += level.fallVector.x * dt;
        character.fallSpeed += level.fallVector.y * dt;
        character.depthSpeed += level.fallVector.z * dt;
    }
    pass.SideProbes();
    pass.Landing();
    if (character.pendingLeap != 0) level.ruleFlags = 0;
    if (pass.CornerClimb()) return;
    pass.Move();
    pass.Beside();
    if (GetWorldServices().Controller().playState == kPlayStateCutscene) FollowCutscene(level, character);
}
