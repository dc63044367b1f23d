// Event files (".trg"): the text is parsed as a TagFile and every event node that reads joins
// an animation's events in frame order; no event may then lie clearly before the one ahead of
// it (frames within 1/10000 count as equal).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/core/files/TagFile.h"
#include "engine/core/node/NodeAnimation.h"
#include "engine/resources/animation/AnimationEvents.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    if (!ready) return 0;
    TagFile root;
    if (root.ParseText(std::string(reinterpret_cast<const char*>(data), size).c_str()) != 0) return 0;
    auto* animation = new NodeAnimation();
    AddAnimationEvents(*animation, root);
    for (KDLLink* link = animation->Events().head; link != nullptr && link->next != nullptr; link = link->next)
        if (static_cast<double>(static_cast<AnimationEvent*>(link->next->item)->frame) <
            static_cast<double>(static_cast<AnimationEvent*>(link->item)->frame) - 0.0002)
            std::abort();
    animation->Release();
    return 0;
}
