// Level: the one loaded level: its grid of tiles, the level objects, lights and cameras, the
// cut-scene table and the statistics; and the queries on the grid that the rules of movement,
// the player character and the level objects ask.
//
// World coordinates: tile (column c, row r) covers x from 10c to 10c + 10 and y from 10r to
// 10r + 10 at z = 0; facings 0 to 3 step (0, -10), (+10, 0), (0, +10), (-10, 0).
//
// Sections: records; the level (grid, queries, objects, cut-scene table); free functions.
#pragma once

#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/core/math/MathTypes.h"
#include "engine/core/text/EngineString.h"
#include "game/world/level/LevelTile.h"

class Animation;
class FireflySwarm;
class KNode;
class LevelObject;
class PlayerCharacter;
struct TextTable;

// [SECTION] Records.
constexpr std::int32_t kCutsceneCapacity = 64;
constexpr int kCameraSlotCount = 9;
constexpr int kBigPlantAnimationCount = 10;
constexpr std::int32_t kMaximumFireflySwarms = 5;
// The free-tile search covers this many first columns and rows.
constexpr std::int32_t kFreeTileSearchSize = 32;
// Larger grids are refused: no level comes near it, and a count from a file cannot ask for more.
constexpr std::int32_t kMaximumGridSide = 1024;

enum CutsceneSpeaker : std::uint32_t {
    kSpeakerBram = 1,
    kSpeakerOdile = 2,
};

struct CutsceneEntry {
    std::uint32_t speaker = 0;
    EngineString text;
    std::int32_t speakerMood = 0;
    std::int32_t camera = -1;
    std::int32_t listenerMood = 0;
};

// What the cut-scene player keeps of its view while a script runs.
struct CutsceneView {
    Vector3 vector{0, 0, 0};
    float factor = 1.0f;
    KDLList list;
};

// The glow sprites' shared state: the quad the draw pass fills and the effect words reset
// whenever the glow list is collected.
struct GlowEffectState {
    float corners[4][11] = {};
    float scale[2] = {1.0f, 1.0f};
    float timer[2] = {-1.0f, -1.0f};
    float blend[2] = {0.0f, 0.0f};
};

// [SECTION] The level.
class Level {
public:
    // Empty: no grid, no objects, the fall vector and the big-plant animations looked up.
    Level();
    // The grid, every object and every list.
    ~Level();
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    // The scalar fields as constructed; the lists are left alone.
    void Clear();

    // Grid. A fresh grid of empty tiles; false (and no grid) for sides outside 1 to 1024.
    bool AllocateGrid(std::int32_t gridWidth, std::int32_t gridHeight);
    void FreeGrid();
    bool HasGrid() const { return tiles != nullptr; }
    // The tile at (column, row); null outside the grid.
    LevelTile* TileAt(std::int32_t column, std::int32_t row) const;
    // The tile under tile coordinates, truncated; negative coordinates count as 0, coordinates
    // beyond the grid give null (no tile: empty).
    LevelTile* TileAtCoordinates(float column, float row) const;

    // Queries.
    bool IsSolidAt(const Vector2& tile) const;
    void ComputeBounds();
    std::int32_t CountFreeTiles() const;
    Vector3 RandomEmptyTile() const;
    const Vector3& GetCameraEye(int slot) const;
    const Vector3& GetCameraTarget(int slot) const;
    // The tile of position + distance x the direction turned to the facing.
    Vector2 PointAhead(const Vector3& position, const Vector3& localDirection, float distance, bool normalise,
                       std::int32_t facing) const;
    bool GroundAhead(const Vector3& position, const Vector3& localDirection, std::int32_t facing) const;
    // 0 when the tile there is empty; else 1, with `blocked` set when that tile's spikes face
    // the motion.
    int SpikeAhead(const Vector3& position, const Vector3& localDirection, float distance, std::int32_t facing,
                   int& blocked) const;
    bool SegmentHitsTile(const Vector3& from, const Vector3& localDirection, float distance, const Vector2& tile,
                         std::int32_t dx, std::int32_t dy, bool normalise, std::int32_t facing) const;
    // Whether a tile-covering object covers the tile; `isSpikeCube` says whether a spike cube
    // does.
    bool ObjectCovers(const Vector2& tile, int& isSpikeCube) const;
    // The first tile-covering object other than `skip` that covers the tile; null when none.
    const LevelObject* CoveringObject(const Vector2& tile, const LevelObject* skip) const;
    bool IsWalkable(const Vector2& tile) const;

    // Objects. The level owns the active and the collected ones.
    bool AddObject(LevelObject* object);
    void DeleteObjects();

    // Cut-scene table. Entries stop at the capacity: false, nothing stored, once it is full.
    void ClearCutscene();
    bool AddCutsceneEntry(std::uint32_t speaker, const EngineString& text, std::int32_t speakerMood,
                          std::int32_t camera, std::int32_t listenerMood);
    // The entry at the controller's cut-scene step; null when the step is outside the entries.
    const CutsceneEntry* CurrentCutsceneEntry() const;
    // Its text looked up in the table (the "DEFAULT" text without a current entry).
    const WCHAR* CutsceneText(TextTable* table) const;

    // Fields, in the order of the record.
    LevelTile* tiles = nullptr;  // owned, width x height
    LevelObject* exitPortal = nullptr;
    KDLList activeObjects;     // owned
    KDLList collectedObjects;  // owned: taken out of active play, not out of the level
    KDLList glowList;
    KDLList bigPlantTiles;
    KDLList spareList;
    KNode* background = nullptr;  // owned
    KDLList mergedBlocks;
    Color ambience{0, 0, 0, 1};
    KDLList lights;  // owned records
    Animation* bigPlantAnimations[kBigPlantAnimationCount] = {};
    CutsceneEntry cutscenes[kCutsceneCapacity];
    std::int32_t cutsceneCount = 0;
    Vector3 cameraEyes[kCameraSlotCount] = {};
    Vector3 cameraTargets[kCameraSlotCount] = {};
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t columnSpan = 0;
    std::int32_t rowSpan = 0;
    std::int32_t firstColumn = 0;
    std::int32_t firstRow = 0;
    std::int32_t keyTotal = 0;
    std::int32_t keysCollected = 0;
    float referenceTime = 0.0f;
    float referenceLogic = 0.0f;
    Vector3 fallVector{0, 0, 0};
    float startColumn = 0.0f;
    float startRow = 0.0f;
    DWORD ruleFlags = 0;
    std::int32_t attempts = 0;
    std::uint32_t bramInvisible = 0;
    std::uint32_t odileInvisible = 0;
    CutsceneView cutsceneView;
    GlowEffectState glowEffect;
    FireflySwarm* fireflySwarms[kMaximumFireflySwarms] = {};  // owned
    std::int32_t fireflySwarmCount = 0;
    Vector3 glowAxes[2] = {};  // the camera's right and up axes of the last glow pass
    // The character the level's rules move and its checkpoints save; not owned. The in-game
    // controller (or a tool) sets it before loading.
    PlayerCharacter* character = nullptr;

    // Deletes the firefly swarms.
    void DeleteFireflySwarms();
};

// [SECTION] Free functions.
// Each coordinate x 0.1, truncated; (0, 0) when x or y is negative.
Vector2 WorldToTile(const Vector3& position);
bool SameTile(const Vector3& a, const Vector3& b);
// The character's side inside its tile across its facing: 0 near the middle, else 1 or -1.
std::int32_t LateralSide(const Vector3& position, std::int32_t facing);
// Moves the lateral coordinate to 3 units inside one side of the tile.
void ClampToTileSide(Vector3& position, std::int32_t facing, std::int32_t side);
void CentreOnTile(Vector3& position, std::int32_t facing);
