// The game material table and its growable arrays.
#include "engine/resources/gamemat/GameMaterialTable.h"

#include <cstring>

#include "engine/core/memory/EngineLog.h"
#include "engine/core/text/TextCompare.h"

bool GrowableArrayAppend(GrowableArray& array, void* item) {
    if (array.entries == nullptr || array.count == array.capacity) {
        const std::uint64_t capacity =
            array.entries == nullptr ? array.capacity : std::uint64_t{array.capacity} + array.growth;
        if (capacity == 0 || capacity > kMaximumEngineAllocation / sizeof(void*)) return false;
        auto** entries = static_cast<void**>(EngineAlloc(static_cast<std::size_t>(capacity) * sizeof(void*)));
        if (entries == nullptr) return false;
        if (array.count > 0) std::memcpy(entries, array.entries, array.count * sizeof(void*));
        EngineFree(array.entries);
        array.entries = entries;
        array.capacity = static_cast<DWORD>(capacity);
    }
    array.entries[array.count++] = item;
    return true;
}

void GrowableArrayFree(GrowableArray& array) {
    EngineFree(array.entries);
    array.entries = nullptr;
    array.count = 0;
}

GameMaterialTable::~GameMaterialTable() {
    for (DWORD i = 0; i < materials.count; ++i) delete static_cast<GameMaterial*>(materials.entries[i]);
    GrowableArrayFree(materials);
    GrowableArrayFree(second);
}

DWORD GetGameMaterialTableIndex(const GameMaterialTable* table, const char* name) {
    if (table != nullptr && name != nullptr) {
        for (DWORD i = 0; i < table->materials.count; ++i) {
            const auto* material = static_cast<const GameMaterial*>(table->materials.entries[i]);
            if (CompareNoCase(material->name.Text(), name) == 0) return i;
        }
    }
    KEL_LOG_EXCEPTION("Failed to find game material '%s', using default", name != nullptr ? name : "");
    return 0;
}

std::int32_t AddGameMaterial(GameMaterialTable& table, const char* name) {
    auto* material = new GameMaterial;
    if (material == nullptr) return -1;
    material->name.Assign(name);
    if (!GrowableArrayAppend(table.materials, material)) {
        delete material;
        return -1;
    }
    return static_cast<std::int32_t>(table.materials.count - 1);
}
