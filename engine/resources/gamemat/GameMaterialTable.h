// The game material table: the game-material names of ".kml" materials turned into indices
// for the game's physics and sounds. Index 0 is the default a name falls back to.
#pragma once

#include <cstdint>

#include "engine/core/memory/EngineMemory.h"
#include "engine/core/text/EngineString.h"
#include "platform/base/Types.h"

// An array of pointers that grows by a fixed step; its entries are allocated on the first
// append.
struct GrowableArray {
    void** entries = nullptr;
    DWORD capacity = 64;
    DWORD count = 0;
    DWORD growth = 64;
};

// False (the array unchanged) when memory runs out.
bool GrowableArrayAppend(GrowableArray& array, void* item);
// Frees the entries (not the items); the array is empty afterwards.
void GrowableArrayFree(GrowableArray& array);

// A game material record: its name comes first.
struct GameMaterial : EngineAllocated {
    EngineString name;
};

struct GameMaterialTable : EngineAllocated {
    GrowableArray materials;  // GameMaterial records, by index
    GrowableArray second;     // not read by the look-up
    ~GameMaterialTable();     // deletes the records
};

// The index of the first material whose name equals `name` without regard to case. An
// empty table or no match logs "Failed to find game material '<name>', using default" and
// gives 0.
DWORD GetGameMaterialTableIndex(const GameMaterialTable* table, const char* name);

// Appends a material of that name; its index, or -1 when memory runs out.
std::int32_t AddGameMaterial(GameMaterialTable& table, const char* name);
