// Animation sources (".kansrc"): the text read as make_animation reads it, then built.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/core/files/TagFile.h"
#include "engine/core/node/Animation.h"
#include "tools/make_animation/AnimationSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    TagFile root;
    if (!ready || text.find('\0') != std::string::npos || root.ParseText(text.c_str()) != 0) return 0;
    std::string error;
    if (Animation* animation = BuildAnimation(root, "fuzz.kansrc", error)) animation->Release();
    return 0;
}
