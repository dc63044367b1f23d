// Compound animations: bit 0 of the first byte picks the text form (else the binary form);
// the rest is the data. The cache gives an animation for every name of up to 8 characters.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/core/files/FileStream.h"
#include "engine/core/files/TagFile.h"
#include "engine/core/node/NodeAnimation.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/resources/animation/CompoundAnimation.h"

namespace {

Interface* LoadShortName(const char* name) {
    if (std::strlen(name) > 8) return nullptr;
    auto* animation = new NodeAnimation();
    animation->SetName(name);
    animation->AddRef();  // the cache's own reference, as the engine's loader keeps one
    return animation;
}

const char* AnimationName(DWORD, const Interface* resource) {
    return static_cast<const Animation*>(resource)->Name().Text();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    if (!ready || size < 1 || size > 0xFFFFFFFFu || GlobalResourceCache().Init() != 0) return 0;
    ResourceHooks hooks;
    hooks.loadAnimation = LoadShortName;
    hooks.resourceName = AnimationName;
    SetResourceHooks(hooks);
    auto* compound = new CompoundAnimation();
    if ((data[0] & 1) != 0) {
        TagFile node;
        if (node.ParseText(std::string(reinterpret_cast<const char*>(data + 1), size - 1).c_str()) == 0)
            compound->ReadText(node);
    } else {
        auto* image = static_cast<BYTE*>(EngineAlloc(size - 1));
        if (image != nullptr && size > 1) std::memcpy(image, data + 1, size - 1);
        FileStream stream;
        stream.AttachImage(image, static_cast<DWORD>(size - 1), 0);
        compound->ReadBinary(stream);
    }
    compound->Release();
    GlobalResourceCache().Clear();
    return 0;
}
