// Animation files: bit 0 of the first byte picks NodeAnimation's text form (else a ".kan" file
// made by the class its header names), bit 1 samples skeletal keys looping and bit 2 plays
// node keys looping; the rest is the file. What reads is played and sampled.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/core/files/FileStream.h"
#include "engine/core/files/TagFile.h"
#include "engine/core/node/KNode.h"
#include "engine/core/node/NodeAnimation.h"
#include "engine/core/object/Module.h"
#include "engine/resources/animation/AnimationLoader.h"
#include "engine/resources/animation/SkelAnimation.h"

namespace {
const ModuleEntry kTable[] = {{"Create_NodeAnimation", AsModuleFunction(&CreateNodeAnimation)},
                              {"Create_SkelAnimation", AsModuleFunction(&CreateSkelAnimation)},
                              {nullptr, nullptr}};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0 && RegisterModule("libkel", kTable) != nullptr;
    if (!ready || size < 1 || size > 0xFFFFFFFFu) return 0;
    Animation* animation = nullptr;
    if ((data[0] & 1) != 0) {
        TagFile node;
        auto* text = new NodeAnimation();
        if (node.ParseText(std::string(reinterpret_cast<const char*>(data + 1), size - 1).c_str()) != 0 ||
            text->ReadText(node) != 0)
            text->Release();
        else
            animation = text;
    } else {
        auto* image = static_cast<BYTE*>(EngineAlloc(size - 1));
        if (image != nullptr && size > 1) std::memcpy(image, data + 1, size - 1);
        FileStream stream;
        stream.AttachImage(image, static_cast<DWORD>(size - 1), 0);
        animation = ReadAnimationFile(stream, "fuzz");
    }
    if (animation == nullptr) return 0;
    KNode* node = new KNode();
    if (node->PlayAnimation(animation, 1.0f, (data[0] & 4) != 0 ? kPlayLoop : 0, 0.0f, 0.0f) > 0)
        for (const float step : {0.5f, 7.25f, 1e6f}) node->UpdateAnimation(step);
    node->Release();
    if (animation->IsKindOf(SkelAnimation::StaticTypeId())) {
        const auto* skeletal = static_cast<SkelAnimation*>(animation);
        for (std::uint32_t bone = 0; bone < skeletal->BoneCount() && bone < 64; ++bone) {
            std::uint32_t key = 0;
            SkelBonePose pose;
            for (const float frame : {0.0f, 2.5f, 70000.0f}) skeletal->SampleBone(bone, frame, (data[0] & 2) != 0, key, pose);
        }
    }
    animation->Release();
    FreeSceneNodeLists();
    return 0;
}
