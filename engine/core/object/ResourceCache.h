// ResourceCache: textures, shaders, sound samples and animation sets are loaded once per
// name and shared. A request by name gives the cached object with a reference added, or
// calls the kind's loader and caches what it gives.
#pragma once

#include <cstdint>

#include "engine/core/containers/KHashTable.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/object/Interface.h"
#include "platform/base/Types.h"

enum ResourceKind : DWORD {
    kResourceTexture = 0,
    kResourceShader = 1,
    kResourceSound = 2,
    kResourceAnimation = 3,
    kResourceSpare = 4,  // a table no getter fills
};

struct ResourceEntry {
    std::uintptr_t ownerTag;  // the cache's owner tag when one is set, else the resource
    DWORD kind;
    Interface* resource;
};

// What the cache needs of the resource code, which builds on the engine core and fills
// this in at start-up. A missing loader gives null (nothing cached), a missing name hook
// puts every entry in bucket 0.
struct ResourceHooks {
    Interface* (*loadTexture)(const char* name, DWORD flags) = nullptr;
    Interface* (*loadShader)(const char* name) = nullptr;
    Interface* (*loadSound)(const char* name) = nullptr;
    Interface* (*loadAnimation)(const char* name) = nullptr;
    // The name a resource of that kind holds.
    const char* (*resourceName)(DWORD kind, const Interface* resource) = nullptr;
    // Called once for every texture the loader made; the texture gives its image data one
    // Release there.
    void (*textureLoaded)(Interface* texture) = nullptr;
    // Releases every registered effect node; the last step of ResourceCache::Clear.
    void (*releaseAllEffects)() = nullptr;
    // A cached texture gives up what the render device holds of it before the device goes
    // (releaseTextureData), and builds it again on the device made anew (restoreTexture).
    void (*releaseTextureData)(Interface* texture) = nullptr;
    void (*restoreTexture)(Interface* texture) = nullptr;
};
void SetResourceHooks(const ResourceHooks& hooks);
const ResourceHooks& GetResourceHooks();

// The bucket of a name: the sum of its characters as signed bytes, letters folded to lower
// case so that names differing only in case meet, taken modulo the bucket count as an
// unsigned value (so names with bytes from 0x80 have a bucket too).
std::int32_t ResourceNameBucket(const char* name, std::int32_t bucketCount);

class ResourceCache : public EngineAllocated {
public:
    ResourceCache() = default;
    virtual ~ResourceCache();
    ResourceCache(const ResourceCache&) = delete;
    ResourceCache& operator=(const ResourceCache&) = delete;

    // Clears first when initialised, then makes the five tables. 0, or 1 when memory ran out.
    int Init();
    // Every cached resource of every table is deleted, whatever references are left; then
    // the effects are released. Not initialised afterwards.
    void Clear();

    // Null for a null name, a failed load or a cache that is not initialised.
    Interface* GetTexture(const char* name, DWORD flags);
    Interface* GetShader(const char* name);
    // Also null for an empty name, without calling the loader.
    Interface* GetSound(const char* name);
    Interface* GetAnimation(const char* name);

    // Every cached texture through the releaseTextureData hook, before the render device is
    // taken down; and through the restoreTexture hook once a new device exists. Nothing
    // without the hook or before Init.
    void ReleaseTextureData();
    void RestoreTextures();

    // Drops one reference of a texture of the global cache; the last one takes it out of
    // the cache and deletes it. A texture at its last reference that the cache does not hold
    // is left alone.
    static void ReleaseTexture(Interface* texture);

    KHashTable* Table(DWORD kind) const { return kind <= kResourceSpare ? tables_[kind] : nullptr; }
    std::uintptr_t OwnerTag() const { return ownerTag_; }
    // kNoOwnerTag: entries are tagged with their resource.
    void SetOwnerTag(std::uintptr_t tag) { ownerTag_ = tag; }
    bool IsInitialised() const { return initialised_; }

    static constexpr std::uintptr_t kNoOwnerTag = static_cast<std::uintptr_t>(-1);

private:
    Interface* Get(DWORD kind, const char* name, DWORD flags);
    void ForEachTexture(void (*action)(Interface* texture));

    KHashTable* tables_[kResourceSpare + 1] = {};
    std::uintptr_t ownerTag_ = kNoOwnerTag;
    bool initialised_ = false;
};

// The one cache the game uses. It lives for the whole run.
ResourceCache& GlobalResourceCache();
