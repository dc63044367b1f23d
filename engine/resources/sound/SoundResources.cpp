// The sound resources' hooks into the resource cache.
#include "engine/resources/sound/SoundResources.h"

#include "engine/core/object/ResourceCache.h"
#include "engine/resources/sound/WaveReader.h"

namespace {

using NameHook = const char* (*)(DWORD kind, const Interface* resource);

// What the name hook answered for the other kinds before.
NameHook otherKinds = nullptr;

const char* ResourceName(DWORD kind, const Interface* resource) {
    if (kind == kResourceSound) return static_cast<const SoundSample*>(resource)->name.Text();
    return otherKinds != nullptr ? otherKinds(kind, resource) : nullptr;
}

Interface* LoadSoundResource(const char* name) { return LoadSound(name); }

}  // namespace

void InstallSoundResourceHooks() {
    ResourceHooks hooks = GetResourceHooks();
    if (hooks.resourceName != ResourceName) {
        otherKinds = hooks.resourceName;
        hooks.resourceName = ResourceName;
    }
    hooks.loadSound = LoadSoundResource;
    SetResourceHooks(hooks);
}
