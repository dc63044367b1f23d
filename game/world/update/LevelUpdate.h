// The level between loading and unloading: the per-frame update and its order, the objects'
// reactions to the character's facing, checkpoints and restarts, the big plants, baking the
// tile grid into lit blocks, the glow sprites and fireflies, and the teardown.
//
// Sections: per frame; checkpoints; scene build; effects; teardown.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/render/RenderTypes.h"

class Level;
class LevelObject;

// [SECTION] Per frame.
// One step of play, dt in seconds: the pending leap checked (a checkpoint when it stands),
// the character against the tiles, the objects, the character against the objects (not while
// it falls in mid-turn), the big plants, faded objects put aside, and a death reported.
void UpdateLevel(Level& level, float dt);
// Every active object in list order, then the firefly swarms.
void UpdateObjects(Level& level, float dt);
// Idle and rest animations of every big plant; a turn of the character sways them.
void UpdateBigPlants(Level& level, float dt);
void StopBigPlants(Level& level);
// Active objects whose fade is below the limit go to the collected list.
void CollectFadedObjects(Level& level, float limit);
// After a death: what is still fading goes at once, its fade and its second state word 0.
void RemoveFadedObjects(Level& level);

// [SECTION] Checkpoints.
// A new attempt: every active object and the character save their state.
void SaveCheckpoint(Level& level);
// Rewinds a lost attempt: what was collected in it comes back, every object restores its saved
// state, and the portal opens or closes by the keys still missing.
void UpdateExitPortal(Level& level);
// The attempt from the start: character, objects, keys, portal and plants.
void Restart(Level& level);
void CloseExitPortal(Level& level);

// [SECTION] Scene build.
// The grid in blocks of 5 x 5 tiles, each merged into one mesh object and lit by the level's
// lights. 1.
int BakeTileBlocks(Level& level);
constexpr std::int32_t kTileBlockSide = 5;
// The level's ambience and its first 8 lights become the lighting the render path uses.
void PublishLevelLighting(const Level& level);
const RenderLightSet& LevelLighting();

// [SECTION] Effects.
// The objects whose model has a "glow" node, and the effect state reset.
void CollectGlowObjects(Level& level);
// Every tile with a big plant, row by row.
void CollectBigPlantTiles(Level& level);
// The corners of one camera-facing glow quad at p with size a and pulse b at game time t.
void GlowSpriteCorners(const Vector3& p, const Vector3& right, const Vector3& up, float size, float pulse,
                       float gameTime, Vector3 corners[4]);

// [SECTION] Teardown.
// Back to the empty level: swarms, grid, objects, lights, plants, merged blocks and
// background gone, the scalar fields as constructed.
void Unload(Level& level);
