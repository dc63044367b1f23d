// Path animation text sources: what reads is sampled once, at its end and looping far beyond.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "engine/core/files/TagFile.h"
#include "game/world/pathanim/PathAnim.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    TagFile root;
    PathAnim path;
    if (!ready || root.ParseText(std::string(reinterpret_cast<const char*>(data), size).c_str()) != 0 ||
        !ReadPathAnimationText(path, root, "fuzz"))
        return 0;
    Vector3 position;
    Quaternion rotation;
    for (float time : {0.0f, 0.3f, 1e7f}) {
        path.looping = time > 1.0f;
        path.Sample(time, position, rotation);
    }
    return 0;
}
