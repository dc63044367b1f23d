// The level record: construction, its grid, its objects and its cut-scene table.
#include "game/world/level/Level.h"

#include <new>

#include "engine/core/memory/EngineMemory.h"
#include "engine/core/node/Animation.h"
#include "engine/core/node/KNode.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/overlay/text/TextTable.h"
#include "game/world/level/FireflySwarm.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/services/WorldServices.h"

namespace {

// The fall vector's y: the single-precision number with the bits 0x424046A7.
constexpr float kFallSpeed = 48.069f;

const char* const kBigPlantAnimationNames[kBigPlantAnimationCount] = {
    "bigplant1_idle", "bigplant1_up", "bigplant1_down", "bigplant1_left", "bigplant1_right",
    "bigplant2_idle", "bigplant2_up", "bigplant2_down", "bigplant2_left", "bigplant2_right"};

void DeleteObject(void* item) { delete static_cast<LevelObject*>(item); }

}  // namespace

Level::Level() {
    Clear();
    for (int i = 0; i < kBigPlantAnimationCount; ++i)
        bigPlantAnimations[i] = static_cast<Animation*>(GlobalResourceCache().GetAnimation(kBigPlantAnimationNames[i]));
}

Level::~Level() {
    DeleteFireflySwarms();
    DeleteObjects();
    FreeGrid();
    if (background != nullptr) background->Release();
    ListFreeAll(lights);
    ListReset(collectedObjects);
    ListReset(glowList);
    ListReset(bigPlantTiles);
    ListReset(spareList);
    ListReset(mergedBlocks);
    ListReset(cutsceneView.list);
    for (Animation*& animation : bigPlantAnimations) {
        if (animation != nullptr) animation->Release();
        animation = nullptr;
    }
}

void Level::Clear() {
    ambience = {0, 0, 0, 1};
    width = height = 0;
    keyTotal = keysCollected = 0;
    referenceTime = referenceLogic = 0.0f;
    startColumn = startRow = 0.0f;
    ruleFlags = 0;
    attempts = 0;
    fallVector = {0, kFallSpeed, 0};
    cutsceneCount = 0;
    bramInvisible = odileInvisible = 0;
}

bool Level::AllocateGrid(std::int32_t gridWidth, std::int32_t gridHeight) {
    FreeGrid();
    if (gridWidth < 1 || gridHeight < 1 || gridWidth > kMaximumGridSide || gridHeight > kMaximumGridSide) return false;
    const std::uint64_t count = std::uint64_t(gridWidth) * std::uint64_t(gridHeight);
    void* block = EngineAlloc(static_cast<std::size_t>(count * sizeof(LevelTile)));
    if (block == nullptr) return false;
    tiles = static_cast<LevelTile*>(block);
    for (std::uint64_t i = 0; i < count; ++i) new (&tiles[i]) LevelTile();
    width = gridWidth;
    height = gridHeight;
    return true;
}

void Level::FreeGrid() {
    if (tiles != nullptr) {
        const std::uint64_t count = std::uint64_t(width) * std::uint64_t(height);
        for (std::uint64_t i = 0; i < count; ++i) tiles[i].~LevelTile();
        EngineFree(tiles);
    }
    tiles = nullptr;
    width = height = 0;
}

LevelTile* Level::TileAt(std::int32_t column, std::int32_t row) const {
    if (tiles == nullptr || column < 0 || row < 0 || column >= width || row >= height) return nullptr;
    return &tiles[column + width * row];
}

LevelTile* Level::TileAtCoordinates(float column, float row) const {
    // Compared as floats first, so a huge or undefined coordinate is never converted.
    if (!(column >= 0.0f)) column = 0.0f;
    if (!(row >= 0.0f)) row = 0.0f;
    if (column >= static_cast<float>(width) || row >= static_cast<float>(height)) return nullptr;
    return TileAt(static_cast<std::int32_t>(column), static_cast<std::int32_t>(row));
}

void Level::DeleteFireflySwarms() {
    for (FireflySwarm*& swarm : fireflySwarms) {
        delete swarm;
        swarm = nullptr;
    }
    fireflySwarmCount = 0;
}

bool Level::AddObject(LevelObject* object) { return object != nullptr && ListPushBack(activeObjects, object); }

void Level::DeleteObjects() {
    exitPortal = nullptr;
    ListReset(glowList);
    ListDeleteAll(activeObjects, &DeleteObject);
    ListDeleteAll(collectedObjects, &DeleteObject);
}

void Level::ClearCutscene() {
    for (CutsceneEntry& entry : cutscenes) entry = CutsceneEntry{};
    cutsceneCount = 0;
}

bool Level::AddCutsceneEntry(std::uint32_t speaker, const EngineString& text, std::int32_t speakerMood,
                             std::int32_t camera, std::int32_t listenerMood) {
    if (cutsceneCount < 0 || cutsceneCount >= kCutsceneCapacity) return false;
    CutsceneEntry& entry = cutscenes[cutsceneCount++];
    entry.speaker = speaker;
    entry.text.Copy(text);
    entry.speakerMood = speakerMood;
    entry.camera = camera;
    entry.listenerMood = listenerMood;
    return true;
}

const CutsceneEntry* Level::CurrentCutsceneEntry() const {
    const std::int32_t step = GetWorldServices().Controller().cutsceneEntry;
    if (step < 0 || step >= cutsceneCount) return nullptr;
    return &cutscenes[step];
}

const WCHAR* Level::CutsceneText(TextTable* table) const {
    const CutsceneEntry* entry = CurrentCutsceneEntry();
    return TextTableFind(table, entry != nullptr ? entry->text.Text() : "", nullptr);
}
