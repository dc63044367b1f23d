// The character against the level: the per-frame pass that moves the character by its speeds
// and resolves landing, walls, spikes, ledges and corner climbs; the step checks the rules run
// against an object's footprint; the encounter with a TESK; and opening the exit portal.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"

class Level;
class PlayerCharacter;
class TeskObject;

// Results of the step checks, in the order the probes are tried.
enum StepCheckResult : int {
    kStepClear = 0,        // nothing met
    kStepBounce = 1,       // rising fast into it: falls back
    kStepWallLeft = 2,     // beside on the left
    kStepWallRight = 3,    // beside on the right
    kStepLanded = 4,       // below: lands on it
    kStepInside = 5,       // the character stands in it
};

// Probe lengths of the checks.
constexpr float kLandingProbe = 5.02f;
constexpr float kWideLandingProbe = 5.52f;
constexpr float kSideProbe = 3.0f;

// Once per frame from the level update; dt in seconds.
void UpdateCharacterAgainstTiles(Level& level, PlayerCharacter& character, float dt);

// Probes from the character against the tile of `footprint` widened by dx and dy whole tiles,
// with the effect of the first that hits on the character. The wide check probes further below.
int StepCheck(Level& level, PlayerCharacter& character, std::int32_t dx, std::int32_t dy, const Vector3& footprint);
int StepCheckWide(Level& level, PlayerCharacter& character, std::int32_t dx, std::int32_t dy,
                  const Vector3& footprint);

// Marks the character dead, with the death sound when it was alive; true when it was.
bool KillCharacter(PlayerCharacter& character);

// Lands the character on what is below it: dead when it fell too far, else grounded; its fall
// stops and it is centred on its tile.
void LandCharacter(Level& level, PlayerCharacter& character);

// What a living TESK does at zone 0 to 11 of the character, and what that does to the character.
void TeskEncounter(Level& level, PlayerCharacter& character, std::int32_t zone, TeskObject& tesk);

// During a cut-scene: BRAM's animation from the current script entry's mood (as speaker, or as
// listener while ODILE speaks); a receive-item, message pick-up or throw scene is left to finish.
void FollowCutscene(const Level& level, PlayerCharacter& character);

// Opens a closed exit portal (with its sound when asked) and shows it in any case.
void OpenExitPortal(Level& level, bool playSound);
