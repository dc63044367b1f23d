// Cut-scene scripts read into a level's cut-scene table; every entry is then looked at.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/core/files/TagFile.h"
#include "game/world/cutscene/Cutscene.h"
#include "game/world/level/Level.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    TagFile root;
    if (!ready || root.ParseText(std::string(reinterpret_cast<const char*>(data), size).c_str()) != 0) return 0;
    auto* level = new Level();
    ReadCutscene(*level, root, "fuzz");
    volatile std::uint32_t characters = 0;
    for (std::int32_t i = 0; i < level->cutsceneCount; ++i) characters = characters + level->cutscenes[i].text.Length();
    delete level;
    return 0;
}
