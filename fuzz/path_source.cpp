// Path animation sources (".pathsrc"): what reads is baked, as make_world_data does.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/core/memory/EngineMemory.h"
#include "game/world/pathanim/PathAnim.h"
#include "tools/make_world_data/PathSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    if (!ready) return 0;
    PathAnim path;
    std::string error;
    BuildPathAnimation(std::string(reinterpret_cast<const char*>(data), size), "fuzz.pathsrc", path, error);
    return 0;
}
