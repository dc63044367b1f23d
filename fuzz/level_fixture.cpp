// kelview's fixture levels: the text is built into a level with the game world's grid and
// object factory (every model a plain node), hung below a root as kelview draws it, taken off
// again and freed. A malformed fixture may only be refused with a sentence.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/core/memory/EngineMemory.h"
#include "engine/core/node/KNode.h"
#include "fuzz/PlainModels.h"
#include "game/world/level/Level.h"
#include "tools/kelview/LevelFixture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    static PlainModels models;
    if (!ready) return 0;
    SetModelSource(&models);
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto* level = new Level();
    auto* root = new KNode();
    std::string error;
    if (kelview::BuildFixtureLevel(text, "fuzz.level", *level, error)) {
        kelview::AttachFixtureLevel(*level, *root);
        kelview::DetachFixtureLevel(*root);
    } else if (error.empty()) {
        std::abort();
    }
    root->Release();
    delete level;
    return 0;
}
