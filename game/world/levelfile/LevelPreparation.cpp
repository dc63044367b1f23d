// Preparing a read level for play.
#include <cmath>

#include "engine/core/math/Random.h"
#include "engine/core/node/KNode.h"
#include "engine/core/node/NodeTransform.h"
#include "game/world/level/FireflySwarm.h"
#include "game/world/level/Level.h"
#include "game/world/levelfile/LevelFile.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/services/ModelSource.h"
#include "game/world/update/LevelUpdate.h"

namespace {

constexpr DWORD kBackgroundNodeFlag = 0x10000;
constexpr float kBackgroundScale = 1.2f;
constexpr float kBackgroundDepth = 50.0f;
// Free tiles per firefly swarm.
constexpr std::int32_t kFreeTilesPerSwarm = 10;
// 2^-25: a generator value (27 bits) as a float in [0, 4).
constexpr float kFireflyCountScale = 1.0f / 33554432.0f;

void ForEachTile(Level& level, void (*visit)(LevelTile&)) {
    for (std::int32_t row = 0; row < level.height; ++row)
        for (std::int32_t column = 0; column < level.width; ++column)
            if (LevelTile* tile = level.TileAt(column, row)) visit(*tile);
}

// The baked block now holds the geometry of a tile's children; the plants go on afresh.
void Redecorate(LevelTile& tile) {
    if (tile.node == nullptr) return;
    while (KNode* child = tile.node->FirstChild()) {
        tile.node->RemoveChild(child);
        child->Release();
    }
    tile.AttachDecorations();
}

void PlaceBackground(Level& level) {
    KNode* source = FindOrLoadModel("tilebg");
    if (source == nullptr) return;
    KNode* background = source->Clone(nullptr);
    if (background == nullptr) return;
    background->SetFlagBits(kBackgroundNodeFlag, true);
    const float width = static_cast<float>(level.width);
    const float height = static_cast<float>(level.height);
    background->SetScale(Vector3{kBackgroundScale * width, kBackgroundScale * height, 0});
    background->SetPosition(Vector3{5.0f * width, 5.0f * height, kBackgroundDepth});
    if (level.background != nullptr) level.background->Release();
    level.background = background;
}

void DefaultStatistics(Level& level) {
    if (level.referenceLogic >= 1.0f) return;
    const float column = level.startColumn;
    const float row = level.startRow;
    level.referenceLogic = 0.14f * std::sqrt(column * column + row * row);
    level.referenceTime = 2.0f * level.referenceLogic;
}

void AddFireflies(Level& level) {
    level.DeleteFireflySwarms();
    std::int32_t swarms = level.CountFreeTiles() / kFreeTilesPerSwarm;
    if (swarms > kMaximumFireflySwarms) swarms = kMaximumFireflySwarms;
    for (std::int32_t i = 0; i < swarms; ++i) {
        auto* swarm = new FireflySwarm();
        if (swarm == nullptr) break;
        const Vector3 start = level.RandomEmptyTile();
        const float drawn = static_cast<float>(NextRandom()) * kFireflyCountScale + 1.0f;
        swarm->Init(static_cast<std::int32_t>(drawn), start);
        level.fireflySwarms[level.fireflySwarmCount++] = swarm;
    }
}

}  // namespace

void PrepareLevel(Level& level) {
    ForEachTile(level, [](LevelTile& tile) { tile.AttachSpikes(); });
    BakeTileBlocks(level);
    ForEachTile(level, Redecorate);
    PlaceBackground(level);
    level.ComputeBounds();
    DefaultStatistics(level);
    if (level.character != nullptr) level.character->Reset();
    SaveCheckpoint(level);
    level.keysCollected = 0;
    level.attempts = 0;
    CollectGlowObjects(level);
    CollectBigPlantTiles(level);
    AddFireflies(level);
}
