// The probe checks against an object's footprint, the landing they may cause, the TESK's
// zones of the character, and the TESK encounter.
#include "engine/core/node/KNode.h"
#include "game/world/level/Level.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/objects/PortalObjects.h"
#include "game/world/objects/TeskObject.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/rules/CharacterInteractions.h"
#include "game/world/rules/LocalDirections.h"
#include "game/world/rules/MovementRules.h"
#include "game/world/services/WorldServices.h"

namespace {

constexpr float kFastRise = -16.0f;
constexpr float kBounceSpeed = 16.0f;

int Check(Level& level, PlayerCharacter& character, std::int32_t dx, std::int32_t dy, const Vector3& footprint,
          float landingProbe) {
    const Vector2 tile = WorldToTile(footprint);
    const std::int32_t facing = character.facing;
    auto meets = [&](const Vector3& direction, float distance) {
        return level.SegmentHitsTile(character.position, direction, distance, tile, dx, dy, false, facing);
    };
    if (meets(kLocalHere, 0.0f)) return kStepInside;
    if (meets(kLocalBelow, landingProbe)) {
        LandCharacter(level, character);
        return kStepLanded;
    }
    if (character.fallSpeed < kFastRise && meets(kLocalAbove, kLandingProbe)) {
        character.fallSpeed = kBounceSpeed;
        return kStepBounce;
    }
    if (meets(kLocalRight, kSideProbe)) {
        character.lateralSpeed = 0.0f;
        ClampToTileSide(character.position, facing, 0);
        character.Push(1);
        return kStepWallRight;
    }
    if (meets(kLocalLeft, kSideProbe)) {
        character.lateralSpeed = 0.0f;
        ClampToTileSide(character.position, facing, 1);
        character.Push(0);
        return kStepWallLeft;
    }
    return kStepClear;
}

}  // namespace

bool KillCharacter(PlayerCharacter& character) {
    const bool newly = character.dead == 0;
    character.dead = 1;
    if (newly) GetWorldServices().PlaySoundEffect(kSoundDie, false, false);
    return newly;
}

void LandCharacter(Level&, PlayerCharacter& character) {
    if (character.dead == 0) {
        if (character.HasFallenFar(false))
            KillCharacter(character);
        else
            character.SetGrounded(true);
    }
    character.fallSpeed = 0.0f;
    CentreOnTile(character.position, character.facing);
}

int StepCheck(Level& level, PlayerCharacter& character, std::int32_t dx, std::int32_t dy, const Vector3& footprint) {
    return Check(level, character, dx, dy, footprint, kLandingProbe);
}

int StepCheckWide(Level& level, PlayerCharacter& character, std::int32_t dx, std::int32_t dy,
                  const Vector3& footprint) {
    return Check(level, character, dx, dy, footprint, kWideLandingProbe);
}

std::int32_t ClassifyObject(const Level& level, const PlayerCharacter& character, const LevelObject& object,
                            bool trueVariant) {
    const Vector2 tile = WorldToTile(object.GetWorldPosition());
    const std::int32_t facing = character.facing;
    const TeskObject* tesk = object.Tesk();
    std::int32_t pairs[4][2] = {};
    if (tesk != nullptr)
        for (int i = 0; i < 4; ++i) {
            pairs[i][0] = tesk->reach[2 * i];
            pairs[i][1] = tesk->reach[2 * i + 1];
        }
    const Vector3 origins[2] = {
        character.position,
        Vector3{character.position.x + object.offset.x, character.position.y + object.offset.y,
                character.position.z + object.offset.z}};
    auto meets = [&](const Vector3& direction, float distance, std::int32_t dx, std::int32_t dy) {
        for (const Vector3& from : origins)
            if (level.SegmentHitsTile(from, direction, distance, tile, dx, dy, false, facing)) return true;
        return false;
    };
    const Vector3 side = trueVariant ? kLocalRight : kLocalLeft;
    if (meets(side, 3.0f, 0, 0)) return trueVariant ? 9 : 8;
    if (meets(kLocalBelow, kLandingProbe, 0, 0)) return 11;
    if (meets(kLocalHere, 0.0f, 0, 0)) return 7;
    if (meets(kLocalBelow, 2.51f, pairs[0][0], pairs[0][1]) || meets(kLocalLeft, 1.5f, pairs[0][0], pairs[0][1]) ||
        meets(kLocalRight, 1.5f, pairs[0][0], pairs[0][1]))
        return 6;
    if (meets(kLocalBelow, kLandingProbe, pairs[1][0], pairs[1][1])) return 1;
    if (character.fallSpeed < kFastRise && meets(kLocalAbove, kLandingProbe, 0, 0)) return 10;
    if (meets(side, 3.0f, pairs[2][0], pairs[2][1])) return trueVariant ? 3 : 2;
    if (meets(side, 0.75f, pairs[2][0], pairs[2][1])) return trueVariant ? 5 : 4;
    if (meets(side, 3.0f, pairs[3][0], pairs[3][1])) return 1;
    return 0;
}

void TeskEncounter(Level& level, PlayerCharacter& character, std::int32_t zone, TeskObject& tesk) {
    if (!tesk.IsAlive()) return;
    switch (zone) {
    case 0: tesk.Sleep(); break;
    case 1: tesk.Wake(); break;
    case 2:
    case 3:
        tesk.AttackLow();
        KillCharacter(character);
        character.lateralSpeed = 0.0f;
        break;
    case 4:
    case 5:
        tesk.AttackMedium();
        KillCharacter(character);
        character.fallSpeed = kBounceSpeed;
        character.lateralSpeed = 0.0f;
        break;
    case 6:
    case 7:
        tesk.AttackHigh();
        KillCharacter(character);
        character.lateralSpeed = character.fallSpeed = 0.0f;
        break;
    case 8:
        character.lateralSpeed = 0.0f;
        ClampToTileSide(character.position, character.facing, 1);
        character.Push(0);
        break;
    case 9:
        character.lateralSpeed = 0.0f;
        ClampToTileSide(character.position, character.facing, 0);
        character.Push(1);
        break;
    case 10: character.fallSpeed = kBounceSpeed; break;
    case 11: LandCharacter(level, character); break;
    default: break;
    }
}

void OpenExitPortal(Level& level, bool playSound) {
    LevelObject* portal = level.exitPortal;
    if (portal == nullptr) return;
    if (portal->kind >= kObjectFirstPortal && portal->kind <= kObjectLastPortal)
        static_cast<ExitPortalObject*>(portal)->Open(playSound);
    portal->flags |= 0x8;
}
