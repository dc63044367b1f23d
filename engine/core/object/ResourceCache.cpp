// The resource cache: look-up by name, loading on a miss, releasing and clearing.
#include "engine/core/object/ResourceCache.h"

#include <new>

#include "engine/core/memory/EngineLog.h"
#include "engine/core/text/TextCompare.h"

namespace {

ResourceHooks hooks;

// Tables are cleared in this order.
constexpr DWORD kClearOrder[] = {kResourceTexture, kResourceShader, kResourceSpare, kResourceSound,
                                 kResourceAnimation};

const char* NameOf(const ResourceEntry& entry) {
    if (entry.kind > kResourceSpare || hooks.resourceName == nullptr || entry.resource == nullptr) return nullptr;
    return hooks.resourceName(entry.kind, entry.resource);
}

std::int32_t HashEntry(const void* item, std::int32_t bucketCount) {
    const char* name = NameOf(*static_cast<const ResourceEntry*>(item));
    return name != nullptr ? ResourceNameBucket(name, bucketCount) : 0;
}

Interface* Load(DWORD kind, const char* name, DWORD flags) {
    switch (kind) {
        case kResourceTexture:
            return hooks.loadTexture != nullptr ? hooks.loadTexture(name, flags) : nullptr;
        case kResourceShader:
            return hooks.loadShader != nullptr ? hooks.loadShader(name) : nullptr;
        case kResourceSound:
            return hooks.loadSound != nullptr ? hooks.loadSound(name) : nullptr;
        case kResourceAnimation:
            return hooks.loadAnimation != nullptr ? hooks.loadAnimation(name) : nullptr;
        default:
            return nullptr;
    }
}

}  // namespace

void SetResourceHooks(const ResourceHooks& newHooks) { hooks = newHooks; }

const ResourceHooks& GetResourceHooks() { return hooks; }

std::int32_t ResourceNameBucket(const char* name, std::int32_t bucketCount) {
    if (name == nullptr || bucketCount <= 0) return 0;
    std::int32_t sum = 0;
    for (const char* at = name; *at != 0; ++at) {
        const char c = *at >= 'A' && *at <= 'Z' ? static_cast<char>(*at + ('a' - 'A')) : *at;
        sum += static_cast<signed char>(c);
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(sum) % static_cast<std::uint32_t>(bucketCount));
}

ResourceCache::~ResourceCache() {
    if (initialised_) Clear();
}

int ResourceCache::Init() {
    if (initialised_) Clear();
    for (KHashTable*& table : tables_) {
        table = KHashTable::Create(kHashBucketCount);
        if (table == nullptr) {
            KEL_LOG_EXCEPTION("The resource cache could not make its tables: out of memory.");
            for (KHashTable*& made : tables_) {
                KHashTable::Destroy(made);
                made = nullptr;
            }
            return 1;
        }
        table->hash = HashEntry;
    }
    ownerTag_ = kNoOwnerTag;
    initialised_ = true;
    return 0;
}

void ResourceCache::Clear() {
    ownerTag_ = kNoOwnerTag;
    if (!initialised_) return;
    for (DWORD kind : kClearOrder) {
        KHashTable* table = tables_[kind];
        KHashTableIterator iterator;
        iterator.Begin(*table);
        while (!iterator.AtEnd()) {
            auto* entry = static_cast<ResourceEntry*>(iterator.Remove());
            delete entry->resource;  // whatever references are left: the whole cache goes
            EngineFree(entry);
        }
        KHashTable::Destroy(table);
        tables_[kind] = nullptr;
    }
    if (hooks.releaseAllEffects != nullptr) hooks.releaseAllEffects();
    initialised_ = false;
}

Interface* ResourceCache::Get(DWORD kind, const char* name, DWORD flags) {
    if (!initialised_ || name == nullptr) return nullptr;
    KHashTable& table = *tables_[kind];
    KDLList& bucket = table.buckets[ResourceNameBucket(name, table.bucketCount)];
    for (KDLListIterator iterator(bucket); !iterator.AtEnd(); iterator.Next()) {
        auto* entry = static_cast<ResourceEntry*>(iterator.Item());
        const char* held = NameOf(*entry);
        if (held == nullptr || CompareNoCase(held, name) != 0) continue;
        entry->resource->AddRef();
        // Most recently used first keeps the names a level asks for again near the head.
        if (kind != kResourceSound) ListIteratorMoveToFront(iterator);
        return entry->resource;
    }
    auto* entry = static_cast<ResourceEntry*>(EngineAlloc(sizeof(ResourceEntry)));
    if (entry == nullptr) return nullptr;
    Interface* resource = Load(kind, name, flags);
    if (resource == nullptr) {
        EngineFree(entry);
        return nullptr;
    }
    *entry = ResourceEntry{ownerTag_ != kNoOwnerTag ? ownerTag_ : reinterpret_cast<std::uintptr_t>(resource), kind,
                           resource};
    if (!table.Insert(entry)) {
        // Not cached, but the caller still gets what was loaded; the next request loads again.
        EngineFree(entry);
    }
    if (kind == kResourceTexture && hooks.textureLoaded != nullptr) hooks.textureLoaded(resource);
    return resource;
}

Interface* ResourceCache::GetTexture(const char* name, DWORD flags) { return Get(kResourceTexture, name, flags); }

Interface* ResourceCache::GetShader(const char* name) { return Get(kResourceShader, name, 0); }

Interface* ResourceCache::GetSound(const char* name) {
    if (name == nullptr || name[0] == 0) return nullptr;
    return Get(kResourceSound, name, 0);
}

Interface* ResourceCache::GetAnimation(const char* name) { return Get(kResourceAnimation, name, 0); }

void ResourceCache::ForEachTexture(void (*action)(Interface* texture)) {
    if (!initialised_ || action == nullptr) return;
    KHashTableIterator iterator;
    iterator.Begin(*tables_[kResourceTexture]);
    while (!iterator.AtEnd()) action(static_cast<ResourceEntry*>(iterator.Next())->resource);
}

void ResourceCache::ReleaseTextureData() { ForEachTexture(hooks.releaseTextureData); }

void ResourceCache::RestoreTextures() { ForEachTexture(hooks.restoreTexture); }

void ResourceCache::ReleaseTexture(Interface* texture) {
    if (texture == nullptr) return;
    if (texture->ReferenceCount() > 0) {
        texture->Release();
        return;
    }
    ResourceCache& cache = GlobalResourceCache();
    if (!cache.initialised_) return;
    KHashTable& table = *cache.tables_[kResourceTexture];
    KHashTableIterator iterator;
    iterator.Begin(table);
    while (!iterator.AtEnd()) {
        auto* entry = static_cast<ResourceEntry*>(iterator.current->item);
        if (entry->resource != texture) {
            iterator.Next();
            continue;
        }
        iterator.Remove();
        EngineFree(entry);
        texture->Release();
        return;
    }
}

ResourceCache& GlobalResourceCache() {
    // Never destroyed: at exit the engine heap its tables live in may already be gone.
    alignas(ResourceCache) static unsigned char storage[sizeof(ResourceCache)];
    static ResourceCache* cache = ::new (storage) ResourceCache;
    return *cache;
}
