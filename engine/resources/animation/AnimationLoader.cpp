// LoadAnimation and the ".kan" header; the resource cache's hooks for animations.
#include "engine/resources/animation/AnimationLoader.h"

#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/files/TagFile.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/node/Animation.h"
#include "engine/core/object/Module.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/resources/animation/AnimationEvents.h"

#define ANIMATION_LOG(format, ...) LogException(format, "animation", __LINE__ __VA_OPT__(, ) __VA_ARGS__)

namespace {

constexpr char kKanMagic[4] = {'K', 'A', 'N', '1'};
constexpr DWORD kWeightsStreamFlags = kStreamBinary | kStreamText;

const char* (*otherResourceName)(DWORD kind, const Interface* resource) = nullptr;
bool namingOthers = false;

const char* ResourceNameWithAnimations(DWORD kind, const Interface* resource) {
    if (kind == kResourceAnimation)
        return resource->IsKindOf(Animation::StaticTypeId()) ? static_cast<const Animation*>(resource)->Name().Text()
                                                             : nullptr;
    // Installers that each pass other kinds on can end up passing them to one another when
    // start-up runs twice; a look-up that comes back here has no name.
    if (otherResourceName == nullptr || namingOthers) return nullptr;
    namingOthers = true;
    const char* name = otherResourceName(kind, resource);
    namingOthers = false;
    return name;
}

// The cache lists an animation until it is cleared, whatever its users do: it keeps a
// reference of its own, so a user giving back every reference it was handed never deletes an
// animation the cache still hands out.
Interface* LoadAnimationResource(const char* name) {
    Animation* animation = LoadAnimation(name);
    if (animation != nullptr) animation->AddRef();
    return animation;
}

// The zero-padded name field as a terminated text.
void TakeName(const BYTE* field, char (&name)[kKanNameSize + 1]) {
    std::memcpy(name, field, kKanNameSize);
    name[kKanNameSize] = 0;
}

}  // namespace

Animation* ReadAnimationFile(FileStream& stream, const char* name) {
    BYTE header[kKanHeaderSize];
    if (stream.Read(header, kKanHeaderSize) != kKanHeaderSize || std::memcmp(header, kKanMagic, 4) != 0) return nullptr;
    char moduleName[kKanNameSize + 1];
    char className[kKanNameSize + 1];
    TakeName(header + 4, moduleName);
    TakeName(header + 4 + kKanNameSize, className);
    // A module name whose first four bytes are zero stands for the first module.
    const bool firstModule = header[4] == 0 && header[5] == 0 && header[6] == 0 && header[7] == 0;
    Module* module = FindModule(firstModule ? nullptr : moduleName);
    Interface* created = module != nullptr ? CreateByClassName(module, className, Animation::StaticTypeId()) : nullptr;
    if (created == nullptr) {
        ANIMATION_LOG("Failed to create object '%s'", className);
        return nullptr;
    }
    auto* animation = static_cast<Animation*>(created);
    animation->SetName(name);
    if (animation->ReadBinary(stream) != 0) {
        animation->Release();
        return nullptr;
    }
    return animation;
}

int WriteAnimationFile(FileStream& stream, Animation& animation, const char* moduleName) {
    BYTE header[kKanHeaderSize] = {};
    std::memcpy(header, kKanMagic, 4);
    const char* className = animation.GetTypeName();
    std::strncpy(reinterpret_cast<char*>(header + 4), moduleName != nullptr ? moduleName : "", kKanNameSize);
    std::strncpy(reinterpret_cast<char*>(header + 4 + kKanNameSize), className, kKanNameSize);
    if (stream.Write(header, kKanHeaderSize) != kKanHeaderSize) return 1;
    return animation.WriteBinary(stream);
}

Animation* LoadAnimation(const char* name) {
    if (name == nullptr) return nullptr;
    FileStream stream;
    if (stream.Open(EngineString::Format("animations\\%s.kan", name).Text(), kStreamBinary) == 0 &&
        stream.Open(EngineString::Format("animations\\%s.kanim", name).Text(), kStreamBinary) == 0)
        return nullptr;
    Animation* animation = ReadAnimationFile(stream, name);
    if (animation == nullptr) return nullptr;

    FileStream weights;
    if (weights.Open(EngineString::Format("animations\\%s.weights", name).Text(), kWeightsStreamFlags) != 0) {
        animation->ReadWeights(weights);  // optional: a weight read that stops keeps what it took
        weights.Close();
    }
    stream.Close();

    TagFile events;
    if (events.Load(EngineString::Format("animations\\%s.trg", name).Text(), 0) == 0)
        AddAnimationEvents(*animation, events);
    return animation;
}

void InstallAnimationResources() {
    ResourceHooks hooks = GetResourceHooks();
    if (hooks.resourceName != ResourceNameWithAnimations) otherResourceName = hooks.resourceName;
    hooks.resourceName = ResourceNameWithAnimations;
    hooks.loadAnimation = LoadAnimationResource;
    SetResourceHooks(hooks);
}
