// Path animation caches: a count and its frames; what reads is sampled at its end and looping.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "engine/core/memory/EngineMemory.h"
#include "game/world/pathanim/PathAnim.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    PathAnim path;
    if (!ready || !ReadPathAnimationCache(path, data, size)) return 0;
    Vector3 position;
    Quaternion rotation;
    for (float time : {0.5f, 1e9f, -3.0f}) {
        path.looping = time < 1.0f;
        path.Sample(time, position, rotation);
    }
    return 0;
}
