// The big plants: each idles, leans to its rest side and sways toward the character's new
// facing whenever the character turns.
#include "engine/core/containers/KDLList.h"
#include "engine/core/node/KNode.h"
#include "game/world/level/Level.h"
#include "game/world/objects/ObjectParts.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/update/LevelUpdate.h"

namespace {

struct BigPlant {
    DWORD bit;
    const char* node;
    int idle;
    int rest;
    int byFacing[4];
};

// Indexes into the level's ten big-plant animations.
const BigPlant kBigPlants[] = {
    {0x20000, "bigplant_01_down", 0, 1, {1, 4, 2, 3}},  {0x40000, "bigplant_01_left", 0, 3, {3, 1, 4, 2}},
    {0x80000, "bigplant_01_right", 0, 4, {4, 2, 3, 1}}, {0x10000, "bigplant_01_up", 0, 2, {2, 3, 1, 4}},
    {0x200000, "bigplant_02_down", 5, 6, {6, 9, 7, 8}}, {0x400000, "bigplant_02_left", 5, 8, {8, 6, 9, 7}},
    {0x800000, "bigplant_02_right", 5, 9, {9, 7, 8, 6}}, {0x100000, "bigplant_02_up", 5, 7, {7, 8, 6, 9}}};

constexpr float kPlantFade = 5.0f;
constexpr float kSwayStopFade = 30.0f;
constexpr float kSwayFade = 20.0f;

const BigPlant* PlantOf(const LevelTile& tile) {
    const DWORD bit = tile.BigPlantBit();
    for (const BigPlant& plant : kBigPlants)
        if (plant.bit == bit) return &plant;
    return nullptr;
}

KNode* PlantNode(const LevelTile& tile, const BigPlant& plant) {
    return tile.node != nullptr ? FindNodeByName(tile.node, plant.node) : nullptr;
}

bool IsPlaying(KNode* node, std::int32_t playId) { return playId >= 0 && node->IsAnimationId(playId) != 0; }

}  // namespace

void CollectBigPlantTiles(Level& level) {
    ListReset(level.bigPlantTiles);
    for (std::int32_t row = 0; row < level.height; ++row)
        for (std::int32_t column = 0; column < level.width; ++column) {
            LevelTile* tile = level.TileAt(column, row);
            if (tile != nullptr && tile->BigPlantBit() != 0) ListPushBack(level.bigPlantTiles, tile);
        }
}

void UpdateBigPlants(Level& level, float) {
    PlayerCharacter* character = level.character;
    const bool turned = character != nullptr && character->turnFinished != 0;
    const std::int32_t facing = character != nullptr ? character->facing & 3 : 0;
    for (KDLListIterator it(level.bigPlantTiles); !it.AtEnd(); it.Next()) {
        auto* tile = static_cast<LevelTile*>(it.Item());
        const BigPlant* plant = PlantOf(*tile);
        KNode* node = plant != nullptr ? PlantNode(*tile, *plant) : nullptr;
        if (node == nullptr) continue;
        if (!IsPlaying(node, tile->objectWords[0]))
            tile->objectWords[0] = PlayOnNode(node, level.bigPlantAnimations[plant->idle], kPlantFade, true);
        if (!IsPlaying(node, tile->objectWords[1]))
            tile->objectWords[1] = PlayOnNode(node, level.bigPlantAnimations[plant->rest], kPlantFade, false);
        if (turned) {
            StopOnNode(node, tile->objectWords[1], kSwayStopFade);
            tile->objectWords[1] =
                PlayOnNode(node, level.bigPlantAnimations[plant->byFacing[facing]], kSwayFade, false);
        }
    }
    if (character != nullptr) character->turnFinished = 0;
}

void StopBigPlants(Level& level) {
    for (KDLListIterator it(level.bigPlantTiles); !it.AtEnd(); it.Next()) {
        auto* tile = static_cast<LevelTile*>(it.Item());
        const BigPlant* plant = PlantOf(*tile);
        KNode* node = plant != nullptr ? PlantNode(*tile, *plant) : nullptr;
        if (node != nullptr) node->StopAnimations(0.0f);
    }
}
