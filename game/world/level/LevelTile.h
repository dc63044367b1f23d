// LevelTile: one 10 x 10 square of a level's grid: its type (which floor mesh it shows, or 99
// for none), its spike and object flags and the plants that decorate it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/base/Types.h"

class KNode;

constexpr std::uint32_t kTileEmpty = 99;
// Types 0 to 46 have a floor mesh.
constexpr std::uint32_t kTileMeshTypeCount = 47;

// Tile flags.
constexpr DWORD kTileSpikesUp = 0x1;
constexpr DWORD kTileSpikesDown = 0x2;
constexpr DWORD kTileSpikesLeft = 0x4;
constexpr DWORD kTileSpikesRight = 0x8;
constexpr DWORD kTileHasObject = 0x10;  // a level object stands here

struct LevelTile {
    LevelTile() = default;
    // Deletes the node and frees the two buffers.
    ~LevelTile();
    LevelTile(const LevelTile&) = delete;
    LevelTile& operator=(const LevelTile&) = delete;

    bool IsSolid() const { return type != kTileEmpty && type != 0; }
    bool IsNotEmpty() const { return type != kTileEmpty; }
    bool IsOccupied() const { return type != kTileEmpty || (flags & kTileHasObject) != 0; }
    void SetFlags(DWORD bits) { flags |= bits; }
    void SetDecoration(DWORD bits) { decoration |= bits; }

    // 0 when the tile already has a node; else stores the type, clones its mesh (types 0 to
    // 46), frees the buffers, draws the two random values and gives 1.
    int AssignType(std::uint32_t newType);
    // The spike meshes of the flags, and the plants of the decoration bits, as children of the
    // node; 0 without a node or without bits.
    int AttachSpikes();
    int AttachDecorations();
    // The first big-plant bit set, in the order the plants are animated; 0 when none.
    DWORD BigPlantBit() const;

    KNode* node = nullptr;         // owned
    KNode* mergedBlock = nullptr;  // not owned
    std::uint32_t type = kTileEmpty;
    DWORD flags = 0;
    DWORD decoration = 0;
    std::int32_t objectWords[2] = {-1, -1};
    void* buffers[2] = {nullptr, nullptr};  // owned, engine memory
    float randomValues[2] = {0, 0};
};

// The floor mesh of a tile type; null for types without one.
const char* TileMeshName(std::uint32_t type);
// The mesh of the index-th spike bit (0-3) and of the index-th decoration bit in the order
// they are attached (0-31); null past the last.
const char* SpikeMeshName(std::size_t index);
const char* DecorationMeshName(std::size_t index);
