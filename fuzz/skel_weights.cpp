// Weights files of skeletal animations, read into an animation with bones whose names begin
// one another, one bone without a name and one whose name fills its field.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/resources/animation/SkelAnimation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    if (!ready || size > 0xFFFFFFFFu) return 0;
    static const char* const kNames[] = {"Hip", "HipLeft", "", "Leg", "a_name_that_fills_all_32_bytes__"};
    constexpr std::uint32_t kBones = 5;
    const std::uint32_t keys[kBones] = {};
    auto* animation = new SkelAnimation();
    if (animation->AllocateBones(kBones, 1, keys)) {
        for (std::uint32_t bone = 0; bone < kBones; ++bone)
            std::memcpy(animation->BoneNames()[bone].name, kNames[bone], std::strlen(kNames[bone]));
        auto* image = static_cast<BYTE*>(EngineAlloc(size));
        if (image != nullptr && size > 0) std::memcpy(image, data, size);
        FileStream stream;
        stream.AttachImage(image, static_cast<DWORD>(size), 0);
        animation->ReadWeights(stream);
    }
    animation->Release();
    return 0;
}
