// Tile types, spikes and decorations onto meshes.
#include "game/world/level/LevelTile.h"

#include <iterator>

#include "engine/core/math/Random.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/node/KNode.h"
#include "game/world/services/ModelSource.h"

namespace {

const char* const kTileMeshes[kTileMeshTypeCount] = {
    "tile0",   "tile1a",  "tile1b",  "tile1c",  "tile1d",  "tile2a",  "tile2b",  "tile2c",  "tile2d",  "tile3a",
    "tile3b",  "tile3c",  "tile3d",  "tile4a",  "tile5a",  "tile5b",  "tile6a",  "tile6b",  "tile6c",  "tile6d",
    "tile7a",  "tile7b",  "tile7c",  "tile7d",  "tile8a",  "tile8b",  "tile8c",  "tile8d",  "tile9a",  "tile9b",
    "tile9c",  "tile9d",  "tile10a", "tile10b", "tile10c", "tile10d", "tile11a", "tile11b", "tile11c", "tile11d",
    "tile12a", "tile12b", "tile13a", "tile13b", "tile13c", "tile13d", "tile14a"};

struct BitMesh {
    DWORD bit;
    const char* mesh;
};

const BitMesh kSpikeMeshes[] = {{kTileSpikesUp, "spikes_01_up"},
                                {kTileSpikesDown, "spikes_01_down"},
                                {kTileSpikesLeft, "spikes_01_left"},
                                {kTileSpikesRight, "spikes_01_right"}};

// In the order they are attached.
const BitMesh kDecorationMeshes[] = {{0x10, "plant_01_up"},
                                     {0x20, "plant_01_down"},
                                     {0x40, "plant_01_left"},
                                     {0x80, "plant_01_right"},
                                     {0x100, "lightplant_01_up"},
                                     {0x200, "lightplant_01_down"},
                                     {0x400, "lightplant_01_left"},
                                     {0x800, "lightplant_01_right"},
                                     {0x1000000, "rootplant1_up"},
                                     {0x2000000, "rootplant1_down"},
                                     {0x4000000, "rootplant1_left"},
                                     {0x8000000, "rootplant1_right"},
                                     {0x10000000, "grass1_up"},
                                     {0x20000000, "grass1_down"},
                                     {0x40000000, "grass1_left"},
                                     {0x80000000, "grass1_right"},
                                     {0x10000, "bigplant_01_up"},
                                     {0x20000, "bigplant_01_down"},
                                     {0x40000, "bigplant_01_left"},
                                     {0x80000, "bigplant_01_right"},
                                     {0x100000, "bigplant_02_up"},
                                     {0x200000, "bigplant_02_down"},
                                     {0x400000, "bigplant_02_left"},
                                     {0x800000, "bigplant_02_right"},
                                     {0x1000, "leaf_01_up"},
                                     {0x2000, "leaf_01_down"},
                                     {0x4000, "leaf_01_left"},
                                     {0x8000, "leaf_01_right"},
                                     {0x1, "flower1_up"},
                                     {0x2, "flower1_down"},
                                     {0x4, "flower1_left"},
                                     {0x8, "flower1_right"}};

const DWORD kBigPlantOrder[] = {0x20000, 0x40000, 0x80000, 0x10000, 0x200000, 0x400000, 0x800000, 0x100000};

// 2^-26: a generator value (27 bits) as a float in [0, 2).
constexpr float kRandomScale = 1.0f / 67108864.0f;

template <std::size_t N>
int AttachMeshes(KNode* node, DWORD bits, const BitMesh (&meshes)[N]) {
    if (node == nullptr || bits == 0) return 0;
    for (const BitMesh& entry : meshes) {
        if ((bits & entry.bit) == 0) continue;
        if (KNode* child = CloneModel(entry.mesh)) {
            if (node->AddChild(child) == 0) child->Release();
        }
    }
    return 1;
}

}  // namespace

const char* TileMeshName(std::uint32_t type) { return type < kTileMeshTypeCount ? kTileMeshes[type] : nullptr; }

const char* SpikeMeshName(std::size_t index) {
    return index < std::size(kSpikeMeshes) ? kSpikeMeshes[index].mesh : nullptr;
}

const char* DecorationMeshName(std::size_t index) {
    return index < std::size(kDecorationMeshes) ? kDecorationMeshes[index].mesh : nullptr;
}

LevelTile::~LevelTile() {
    if (node != nullptr) node->Release();
    EngineFree(buffers[0]);
    EngineFree(buffers[1]);
}

int LevelTile::AssignType(std::uint32_t newType) {
    if (node != nullptr) return 0;
    type = newType;
    if (const char* mesh = TileMeshName(newType)) node = CloneModel(mesh);
    // The buffers belong to the tile: they are given back, not just forgotten.
    EngineFree(buffers[0]);
    EngineFree(buffers[1]);
    buffers[0] = buffers[1] = nullptr;
    randomValues[0] = randomValues[1] = static_cast<float>(NextRandom()) * kRandomScale;
    return 1;
}

int LevelTile::AttachSpikes() { return AttachMeshes(node, flags & 0xF, kSpikeMeshes); }

int LevelTile::AttachDecorations() { return AttachMeshes(node, decoration, kDecorationMeshes); }

DWORD LevelTile::BigPlantBit() const {
    for (DWORD bit : kBigPlantOrder)
        if ((decoration & bit) != 0) return bit;
    return 0;
}
