// Level files read and prepared for play, every model a plain node, then one step of play and
// the teardown.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/core/node/KNode.h"
#include "fuzz/PlainModels.h"
#include "game/world/level/Level.h"
#include "game/world/levelfile/LevelFile.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/update/LevelUpdate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    static PlainModels models;
    if (!ready) return 0;
    SetModelSource(&models);
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto* level = new Level();
    auto* character = new PlayerCharacter();
    level->character = character;
    LoadLevelText(*level, text.c_str(), "fuzz");
    UpdateLevel(*level, 0.033f);
    Unload(*level);
    delete level;
    delete character;
    return 0;
}
