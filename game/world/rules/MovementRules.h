// The rules of movement the level applies to the character every frame: whether a leap along
// the facing may stand, and what each kind of level object does when the character meets it
// (keys, pickups, the exit portal, spike cubes, dampers, blocker doors, bridges, TESK), ending
// with the walk off a floor's edge.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"

class Level;
class LevelObject;
class PlayerCharacter;

// The step of one tile along a facing (0 to 3), in world units; (0, 0) for other facings.
Vector2 FacingStep(std::int32_t facing);

// The first tile with a floor along the facing, starting with the tile itself. A walk that
// leaves the grid stops at the first tile outside it (`offGrid` set): there is no floor there.
Vector2 FirstFloorAlong(const Level& level, const Vector2& tile, std::int32_t facing, bool* offGrid = nullptr);

// 1 when the character's pending leap may stand, 0 when it must be undone (a spike cube on the
// way, a door or a bridge close ahead); 0 at once while the character is blocked.
int ResolveMove(const Level& level, const PlayerCharacter& character);

// The character meets the objects: once per frame from the level update.
void InteractWithObjects(Level& level, PlayerCharacter& character);

// How the object stands to the character, as the TESK encounter's zone: 0 (nothing near) to
// 11 (ahead within reach); `trueVariant` for the TESK codes that face the other way.
std::int32_t ClassifyObject(const Level& level, const PlayerCharacter& character, const LevelObject& object,
                            bool trueVariant);

// Tiles a moving bridge's arm sweeps at a motion level (1 to 3), as offsets of the character's
// tile from the bridge's; the count written (0 for a level or code outside the table).
int BridgeSweptTiles(std::uint32_t bridgeKind, std::uint32_t motionLevel, Vector2 offsets[3]);
